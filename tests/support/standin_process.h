// Starts the stand-in programs (tools/standins) as real processes and reads
// what they logged.
#ifndef VARNEL_TESTS_STANDIN_PROCESS_H
#define VARNEL_TESTS_STANDIN_PROCESS_H

#include <windows.h>

#include <string>
#include <vector>

#include "sequence.h"

struct StandInProcess
{
    HANDLE process;
    std::string log;
};

// Starts e.g. "standin-recorder.exe" with the given options and waits until
// its window is up (unless the options delay it).
StandInProcess StartStandIn(const char *program, const std::string &options = "");
// The events it logged so far, without their times.
std::vector<std::string> LoggedEvents(const StandInProcess &standIn);
// Waits up to ms for an event; 1 when it came.
int WaitForEvent(const StandInProcess &standIn, const char *event, int ms);
// Ends the process (if still running) and removes its log.
void StopStandIn(StandInProcess &standIn);
// Waits up to ms for the process to end by itself; 1 when it did.
int WaitForExit(const StandInProcess &standIn, int ms);

// Lets queued messages and activations settle between processes.
void Settle(int ms);

#endif
