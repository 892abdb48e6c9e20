// Starting a program whose local clock reads a chosen time of day: the C
// runtime takes its time zone from TZ, with seconds.
#ifndef VARNEL_TESTS_PLACED_CLOCK_H
#define VARNEL_TESTS_PLACED_CLOCK_H

#include <windows.h>

// Starts command with this process's environment plus a TZ that makes its
// local time localSecondOfDay now. Returns the process handle, or NULL.
HANDLE StartWithClock(const char *command, int localSecondOfDay);

// Waits up to ms for the process to end; its exit status, or -1.
int WaitForStatus(HANDLE process, int ms);

#endif
