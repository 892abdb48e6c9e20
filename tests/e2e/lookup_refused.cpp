// Varnel as Windows 95 and NT 4.0 would run it: their KERNEL32 has no
// SetThreadExecutionState, which Wine's always has. Linked with Varnel's own
// objects, this answers the program's lookup of that one name as those
// systems would, and passes every other lookup on.
#include <windows.h>

#include "replace_import.h"

struct AnsiName
{
    USHORT length, maximumLength;
    const char *buffer;
};
extern "C" LONG NTAPI LdrGetProcedureAddress(HMODULE, const AnsiName *, ULONG, void **);

static FARPROC WINAPI RefusingGetProcAddress(HMODULE module, LPCSTR name)
{
    void *found = NULL;
    if (HIWORD(name) == 0) // an ordinal
    {
        LdrGetProcedureAddress(module, NULL, LOWORD(name), &found);
        return (FARPROC)found;
    }
    if (lstrcmpA(name, "SetThreadExecutionState") == 0)
    {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return NULL;
    }
    AnsiName ansi = {(USHORT)lstrlenA(name), (USHORT)(lstrlenA(name) + 1), name};
    LdrGetProcedureAddress(module, &ansi, 0, &found);
    return (FARPROC)found;
}

REPLACE_WINAPI_IMPORT(GetProcAddress, 8, RefusingGetProcAddress)
