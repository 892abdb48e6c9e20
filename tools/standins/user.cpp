// Plays the person at the machine: finds Varnel's window and clicks its
// controls, as a mouse click on each would.
//
//   standin-user.exe where          print the window's client area on screen and
//                                   its handle: x y width height hwnd
//   standin-user.exe ping           1 when the window answers a message within a second
//   standin-user.exe click ID...    click the controls with these IDs, in order
//   standin-user.exe close          close the window from its caption
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "contract.h"

int main(int argc, char **argv)
{
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
    if (window == NULL || argc < 2)
    {
        fprintf(stderr, "no Varnel window\n");
        return 1;
    }
    if (strcmp(argv[1], "where") == 0)
    {
        RECT client;
        GetClientRect(window, &client);
        POINT origin = {0, 0};
        ClientToScreen(window, &origin);
        printf("%ld %ld %ld %ld %p\n", origin.x, origin.y, client.right, client.bottom, (void *)window);
    }
    else if (strcmp(argv[1], "ping") == 0)
    {
        DWORD_PTR answer = 0;
        printf("%d\n", SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer) ? 1 : 0);
    }
    else if (strcmp(argv[1], "click") == 0)
    {
        for (int i = 2; i < argc; i++)
        {
            SendMessageA(GetDlgItem(window, atoi(argv[i])), BM_CLICK, 0, 0);
            Sleep(100);
        }
    }
    else if (strcmp(argv[1], "close") == 0)
        PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    fflush(stdout);
    return 0;
}
