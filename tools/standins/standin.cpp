#include "standin.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <windows.h>

static int argCount;
static char **args;
static FILE *logFile;
static StandIn current;

static const UINT_PTR TIMER_CLOSE = 1;
static const UINT_PTR TIMER_HANG = 2;
static const UINT_PTR TIMER_CLOSE_ON = 3; // looks for the file of --close-on
static const UINT CLOSE_ON_POLL_MS = 200;

const char *StandInOption(const char *name)
{
    for (int i = 1; i + 1 < argCount; i++)
        if (strcmp(args[i], name) == 0)
            return args[i + 1];
    return NULL;
}

// Local time as Varnel reads it, through the C runtime's localtime (so a
// placed clock is seen alike), in milliseconds since midnight.
static long long LocalMilliseconds()
{
    const ULONGLONG FILETIME_1970_MS = 11644473600000ULL;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULONGLONG ms = ((((ULONGLONG)now.dwHighDateTime) << 32) | now.dwLowDateTime) / 10000 - FILETIME_1970_MS;
    time_t seconds = (time_t)(ms / 1000);
    const struct tm *local = localtime(&seconds);
    return (local->tm_hour * 3600 + local->tm_min * 60 + local->tm_sec) * 1000LL + (long long)(ms % 1000);
}

double StandInSeconds(const char *name, double otherwise)
{
    const char *text = StandInOption(name);
    if (text == NULL)
        return otherwise;
    int h, m;
    double s;
    if (sscanf(text, "%d:%d:%lf", &h, &m, &s) == 3)
    {
        double seconds = (h * 3600 + m * 60 + s) - LocalMilliseconds() / 1000.0;
        if (seconds < -12 * 3600)
            seconds += 86400; // the moment is tomorrow's, past midnight
        if (seconds < 0)
        {
            // Started too late for it: say so, and act at once rather than
            // at tomorrow's moment, so that the run ends and shows why.
            StandInSay("started after its moment: %s %s", name, text);
            return 0;
        }
        return seconds;
    }
    return atof(text);
}

void StandInSay(const char *format, ...)
{
    long long local = LocalMilliseconds();
    char line[256];
    int n = snprintf(line, sizeof line, "%02d:%02d:%02d.%03d ", (int)(local / 3600000), (int)(local / 60000 % 60),
                     (int)(local / 1000 % 60), (int)(local % 1000));
    va_list list;
    va_start(list, format);
    vsnprintf(line + n, sizeof line - n, format, list);
    va_end(list);
    fprintf(logFile, "%s\n", line);
    fflush(logFile);
}

void StandInStart(int argc, char **argv)
{
    argCount = argc;
    args = argv;
    const char *path = StandInOption("--log");
    logFile = path ? fopen(path, "a") : stdout;
    if (logFile == NULL)
        logFile = stdout;
}

static LRESULT CALLBACK StandInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_COMMAND:
        StandInSay("command wParam=%u lParam=%ld", (unsigned)wParam, (long)lParam);
        return 0;
    case WM_ACTIVATE:
        StandInSay(LOWORD(wParam) == WA_INACTIVE ? "deactivated" : "activated");
        break;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    {
        const char *name = message == WM_KEYDOWN      ? "keydown"
                           : message == WM_KEYUP      ? "keyup"
                           : message == WM_SYSKEYDOWN ? "syskeydown"
                                                      : "syskeyup";
        StandInSay("%s vk=0x%02X scan=0x%02X", name, (unsigned)wParam, (unsigned)((lParam >> 16) & 0xFF));
        if (message == WM_KEYUP && wParam == VK_SPACE && current.closeOnSpace)
            DestroyWindow(window);
        return 0;
    }
    case WM_TIMER:
        if (wParam == TIMER_CLOSE_ON)
        {
            if (GetFileAttributesA(StandInOption("--close-on")) != INVALID_FILE_ATTRIBUTES)
                DestroyWindow(window);
            return 0;
        }
        KillTimer(window, wParam);
        if (wParam == TIMER_CLOSE)
            DestroyWindow(window);
        else if (wParam == TIMER_HANG)
        {
            StandInSay("hang begins");
            Sleep((DWORD)(StandInSeconds("--hang-for", 0) * 1000));
            StandInSay("hang ends");
        }
        return 0;
    case WM_DESTROY:
        StandInSay("closed");
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int StandInRun(const StandIn &standIn)
{
    current = standIn;
    double appearAfter = StandInSeconds("--appear-after", 0);
    if (appearAfter > 0)
        Sleep((DWORD)(appearAfter * 1000));

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = StandInProc;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    windowClass.lpszClassName = standIn.className;
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, standIn.className, standIn.title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 420, 300, 300,
                                  120, NULL, NULL, windowClass.hInstance, NULL);
    if (window == NULL)
    {
        StandInSay("could not create the window");
        return 1;
    }
    StandInSay("appeared class=%s title=%s", standIn.className, standIn.title);

    double closeAfter = StandInSeconds("--close-after", -1);
    if (closeAfter >= 0)
        SetTimer(window, TIMER_CLOSE, (UINT)(closeAfter * 1000), NULL);
    if (StandInOption("--close-on") != NULL)
        SetTimer(window, TIMER_CLOSE_ON, CLOSE_ON_POLL_MS, NULL);
    double hangAt = StandInSeconds("--hang-at", -1);
    if (hangAt >= 0)
        SetTimer(window, TIMER_HANG, (UINT)(hangAt * 1000), NULL);

    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0)
    {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
