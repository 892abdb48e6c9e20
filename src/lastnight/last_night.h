// Last night: what Windows recorded of the last 24 hours, told in one
// message box.
#ifndef VARNEL_LASTNIGHT_LAST_NIGHT_H
#define VARNEL_LASTNIGHT_LAST_NIGHT_H

#include <windows.h>

struct Telling
{
    UINT icon;  // MB_ICONWARNING or MB_ICONINFORMATION
    int status; // the exit status
};

// Room for the longest text the box can hold, every part whole: some 1,500
// characters, the first and second lines of 200 each and six lines of 120.
const int TEXT_SIZE = 2048;

// Reads what Windows recorded and tells it into the text, of TEXT_SIZE.
Telling TellLastNight(char *text);

// Shows the box; returns the exit status: 2 where the System log could not
// be read, 1 where the warning shows, otherwise 0.
int LastNight();

#endif
