#include "companion/windows_version.h"

OSVERSIONINFOA WindowsVersion()
{
    OSVERSIONINFOA version;
    ZeroMemory(&version, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version))
        ZeroMemory(&version, sizeof version);
    return version;
}
