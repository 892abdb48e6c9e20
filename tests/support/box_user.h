// Plays the user at a program's message boxes, from another thread: waits
// for each box of the title (another than the last), reads it, then
// presses the next button of the list.
#ifndef VARNEL_TESTS_BOX_USER_H
#define VARNEL_TESTS_BOX_USER_H

#include <windows.h>

#include <string>
#include <vector>

struct BoxSeen
{
    std::string title, text;
    int warning, information; // its icon
    int ok, retry, cancel;    // its buttons
    RECT rect;                // on screen
};

// Starts the user; `before`, where given, runs before each press.
void StartBoxUser(const char *title, const std::vector<int> &presses, void (*before)(int press) = NULL);

// Once the user is done: every box it saw.
std::vector<BoxSeen> BoxesSeen();

#endif
