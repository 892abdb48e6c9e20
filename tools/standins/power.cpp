// Plays Windows around a sleep and an automatic wake: at --sleep-at it asks
// Varnel's window whether the machine may sleep and tells it that it goes to
// sleep; --asleep-for seconds later, that it has woken by itself. Windows
// sends these (WM_POWERBROADCAST) to every top-level window and waits for
// each answer; this sends them to Varnel's, and logs each with its answer.
//
//   standin-power.exe --log FILE --sleep-at T --asleep-for S
#include <windows.h>

#include "contract.h"
#include "standin.h"

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
    double untilSleep = StandInSeconds("--sleep-at", 0);
    if (untilSleep > 12 * 3600)
    {
        // Started after its moment: say so rather than wait for tomorrow's.
        StandInSay("started after the sleep's moment");
        return 1;
    }
    Sleep((DWORD)(untilSleep * 1000));
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
