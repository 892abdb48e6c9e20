// Plays the person at the machine: finds Varnel's window and, at the moment
// given, clicks its controls as a mouse click on each would, or closes it.
// Started well before that moment, so that how long a program takes to
// start under Wine does not decide when the person acts.
//
//   standin-user.exe [--at T] COMMAND [ID...]
//
// As soon as the window and its controls are there, prints its client area
// on screen and its handle: x y width height hwnd. Then, at T (a local clock
// time, see standin.h; at once without), does COMMAND and prints a line
// stamped with the local time it was done:
//   click ID...    clicks the controls with these IDs, in order
//   ping           "ping 1" when the window answers a message within a second
//   close          closes the window from its caption
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "contract.h"
#include "standin.h"

int main(int argc, char **argv)
{
    StandInStart(argc, argv);
    int first = StandInOption("--at") != NULL ? 3 : 1; // the command follows the option
    HWND window = NULL;
    for (int i = 0; i < 300 && window == NULL; i++)
    {
        window = FindWindowA(Contract::WINDOW_CLASS, Contract::WINDOW_TITLE);
        if (window == NULL)
            Sleep(50);
    }
    // The window exists before its controls do: wait for the last of them.
    for (int i = 0; i < 100 && window != NULL && GetDlgItem(window, Contract::IDC_SHUTDOWN_CHECK) == NULL; i++)
        Sleep(50);
    if (window == NULL || argc <= first)
    {
        fprintf(stderr, "no Varnel window\n");
        return 1;
    }
    RECT client;
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    printf("%ld %ld %ld %ld %p\n", origin.x, origin.y, client.right, client.bottom, (void *)window);
    fflush(stdout);

    Sleep((DWORD)(StandInSeconds("--at", 0) * 1000));
    const char *command = argv[first];
    if (strcmp(command, "click") == 0)
    {
        for (int i = first + 1; i < argc; i++)
        {
            if (i > first + 1)
                Sleep(100);
            SendMessageA(GetDlgItem(window, atoi(argv[i])), BM_CLICK, 0, 0);
        }
        StandInSay("click");
    }
    else if (strcmp(command, "ping") == 0)
    {
        DWORD_PTR answer = 0;
        StandInSay("ping %d", SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer) ? 1 : 0);
    }
    else if (strcmp(command, "close") == 0)
    {
        PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        StandInSay("close");
    }
    return 0;
}
