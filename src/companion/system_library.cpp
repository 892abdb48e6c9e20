#include "companion/system_library.h"

HMODULE LoadSystemLibrary(const char *file)
{
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length + 1 + lstrlenA(file) >= MAX_PATH)
        return NULL;
    lstrcatA(path, "\\");
    lstrcatA(path, file);
    UINT errorMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryA(path);
    SetErrorMode(errorMode);
    return module;
}
