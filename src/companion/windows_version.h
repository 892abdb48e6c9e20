// The Windows a companion program runs on, as it tells a program without a
// manifest: Windows 8.1 and later say 6.2.
#ifndef VARNEL_COMPANION_WINDOWS_VERSION_H
#define VARNEL_COMPANION_WINDOWS_VERSION_H

#include <windows.h>

// All zero where Windows does not tell.
OSVERSIONINFOA WindowsVersion();

#endif
