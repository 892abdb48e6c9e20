// Plays Windows around a sleep and an automatic wake: once the file MARK
// exists, and three seconds later, it asks Varnel's window whether the
// machine may sleep and tells it that it goes to sleep; --asleep-for
// seconds later, that it has woken by itself. Windows sends these
// (WM_POWERBROADCAST) to every top-level window and waits for each answer;
// this sends them to Varnel's, and logs each with its answer.
//
//   standin-power.exe --log FILE --sleep-on MARK --asleep-for S
//
// The harness makes MARK once Varnel's buttons are clicked: the sleep
// follows the job's setting however long the programs took to start, and
// the wake Varnel sets as the machine goes is seconds apart from the
// clicks' own.
#include <windows.h>

#include "contract.h"
#include "standin.h"

static const DWORD SLEEP_AFTER_MARK_MS = 3000;

static void Send(HWND window, WPARAM event, const char *name)
{
    StandInSay("sending %s", name);
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutA(window, WM_POWERBROADCAST, event, 0, SMTO_ABORTIFHUNG, 20000, &answer))
        StandInSay("%s answered %lu", name, (unsigned long)answer);
    else
        StandInSay("%s not answered", name);
}

int main(int argc, char **argv)
{
    StandInStart(argc, argv);
    const char *mark = StandInOption("--sleep-on");
    while (mark != NULL && GetFileAttributesA(mark) == INVALID_FILE_ATTRIBUTES)
        Sleep(100);
    Sleep(SLEEP_AFTER_MARK_MS);
    HWND varnel = NULL;
    for (int i = 0; i < 600 && varnel == NULL; i++)
    {
        varnel = FindWindowA(Contract::WINDOW_CLASS, Contract::WINDOW_TITLE);
        if (varnel == NULL)
            Sleep(50);
    }
    if (varnel == NULL)
    {
        StandInSay("no Varnel window");
        return 1;
    }
    Send(varnel, PBT_APMQUERYSUSPEND, "PBT_APMQUERYSUSPEND");
    Send(varnel, PBT_APMSUSPEND, "PBT_APMSUSPEND");
    Sleep((DWORD)(StandInSeconds("--asleep-for", 0) * 1000));
    Send(varnel, PBT_APMRESUMEAUTOMATIC, "PBT_APMRESUMEAUTOMATIC");
    return 0;
}
