// A DLL of Windows', loaded from the system folder only: one of that name
// beside the program, or in the folder it was started from, is not Windows'.
#ifndef VARNEL_COMPANION_SYSTEM_LIBRARY_H
#define VARNEL_COMPANION_SYSTEM_LIBRARY_H

#include <windows.h>

// The DLL (a file name such as "powrprof.dll"), or NULL where this Windows
// lacks it; quietly, without Windows' box for a missing file.
HMODULE LoadSystemLibrary(const char *file);

#endif
