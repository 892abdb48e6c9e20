// Varnel as the Windows that Wine reports to it would run it, and its wakes
// seen. Wine's KERNEL32 has every function whatever version it reports;
// linked with Varnel's own objects, this answers the program's run-time
// lookups as that Windows would (Windows 95 has neither the call that keeps
// the machine awake nor waitable timers; NT 4.0 lacks the first), and shows
// in the relay log the due time of each wake, which the log's own line of
// SetWaitableTimer gives only as a pointer.
#include <windows.h>

#include "replace_import.h"

// The first version of each family that has the function: 9x by minor
// version (98 is 4.10), NT by major version (2000 is 5).
static const struct
{
    const char *name;
    DWORD first9x, firstNt;
} SINCE[] = {
    {"SetThreadExecutionState", 10, 5},
    {"CreateWaitableTimerA", 10, 4},
    {"SetWaitableTimer", 10, 4},
    {"CancelWaitableTimer", 10, 4},
};

static int Lacks(LPCSTR name)
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    for (const auto &since : SINCE)
        if (lstrcmpA(name, since.name) == 0)
            return version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? version.dwMinorVersion < since.first9x
                                                                      : version.dwMajorVersion < since.firstNt;
    return 0;
}

typedef BOOL(WINAPI *SetTimerDue)(HANDLE, const LARGE_INTEGER *, LONG, PTIMERAPCROUTINE, LPVOID, BOOL);
static SetTimerDue realSetWaitableTimer;

static BOOL WINAPI ShownSetWaitableTimer(HANDLE timer, const LARGE_INTEGER *due, LONG period, PTIMERAPCROUTINE routine,
                                         LPVOID argument, BOOL resume)
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    char text[64];
    wsprintfA(text, "wake due %08lx%08lx now %08lx%08lx", (DWORD)due->HighPart, due->LowPart, now.dwHighDateTime,
              now.dwLowDateTime);
    OutputDebugStringA(text);
    return realSetWaitableTimer(timer, due, period, routine, argument, resume);
}

static FARPROC WINAPI AsReportedGetProcAddress(HMODULE module, LPCSTR name)
{
    if (HIWORD(name) == 0) // an ordinal: passed on
        return RealGetProcAddress(module, name);
    if (Lacks(name))
    {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return NULL;
    }
    FARPROC found = RealGetProcAddress(module, name);
    if (found != NULL && lstrcmpA(name, "SetWaitableTimer") == 0)
    {
        realSetWaitableTimer = (SetTimerDue)(void *)found;
        return (FARPROC)(void *)ShownSetWaitableTimer;
    }
    return found;
}

REPLACE_WINAPI_IMPORT(GetProcAddress, 8, AsReportedGetProcAddress)
