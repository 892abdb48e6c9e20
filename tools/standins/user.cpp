// Plays the person at the machine: finds Varnel's window and, at the moment
// given, clicks its controls as a mouse click on each would, or closes it;
// or reads the night check's box and presses its buttons. Started well
// before that moment, so that how long a program takes to start under Wine
// does not decide when the person acts.
//
//   standin-user.exe [--at T] COMMAND [ID...]
//   standin-user.exe [--after HWND] [--wait S] [--title T] box [ID]
//
// As soon as Varnel's window and its controls are there, prints its client
// area on screen and its handle: x y width height hwnd. Then, at T (a local
// clock time, see standin.h; at once without), does COMMAND and prints a
// line stamped with the local time it was done:
//   click ID...    clicks the controls with these IDs, in order
//   ping           "ping 1" when the window answers a message within a second
//   close          closes the window from its caption
// box: once the night check's box, or the box titled T, is up (another than
// HWND; within S seconds, 120 without), prints
// "box x y width height hwnd" of its window on screen and "text TEXT", its
// text with each line end written \n; with ID, then presses that button and
// prints a stamped "press ID".
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "contract.h"
#include "standin.h"

static int Box(int argc, char **argv, int first)
{
    HWND other = (HWND)(INT_PTR)strtoul(StandInOption("--after") ? StandInOption("--after") : "0", NULL, 16);
    int waitMs = (int)(StandInSeconds("--wait", 120) * 1000);
    const char *title = StandInOption("--title") ? StandInOption("--title") : Contract::NIGHT_CHECK_TITLE;
    HWND box = NULL;
    for (int waited = 0; waited < waitMs && box == NULL; waited += 50)
    {
        box = FindWindowA("#32770", title);
        if (box == other || (box != NULL && !IsWindowVisible(box)))
            box = NULL;
        if (box == NULL)
            Sleep(50);
    }
    if (box == NULL)
    {
        fprintf(stderr, "no box titled %s\n", title);
        return 1;
    }
    Sleep(300); // laid out and painted
    // Its text is its Static child that has some (the icon is another):
    // found by class, for its ID differs between Windows and Wine. Asked
    // with a message, as another program's control must be.
    static char text[8192];
    for (HWND child = NULL; (child = FindWindowExA(box, child, "Static", NULL)) != NULL && text[0] == '\0';)
        SendMessageTimeoutA(child, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, NULL);
    RECT place;
    GetWindowRect(box, &place);
    printf("box %ld %ld %ld %ld %p\ntext ", place.left, place.top, place.right - place.left, place.bottom - place.top,
           (void *)box);
    for (const char *c = text; *c; c++)
        if (*c == '\n')
            printf("\\n");
        else if (*c != '\r')
            putchar(*c);
    printf("\n");
    fflush(stdout);
    if (argc > first + 1)
    {
        SendMessageA(GetDlgItem(box, atoi(argv[first + 1])), BM_CLICK, 0, 0);
        StandInSay("press %s", argv[first + 1]);
    }
    return 0;
}

int main(int argc, char **argv)
{
    StandInStart(argc, argv);
    int first = 1; // the command, after the options and their values
    while (first + 1 < argc && strncmp(argv[first], "--", 2) == 0)
        first += 2;
    if (argc > first && strcmp(argv[first], "box") == 0)
        return Box(argc, argv, first);
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
