// Last night: what Windows recorded of the last 24 hours, told in one
// message box.
#ifndef VARNEL_LASTNIGHT_LAST_NIGHT_H
#define VARNEL_LASTNIGHT_LAST_NIGHT_H

#include <windows.h>

struct Telling
{
    const char *text;
    UINT icon;  // MB_ICONWARNING or MB_ICONINFORMATION
    int status; // the exit status
};

// Reads the log and tells what it holds.
Telling TellLastNight();

// Shows the box; returns the exit status: 2 where nothing could be read,
// 1 where the warning shows, otherwise 0.
int LastNight();

#endif
