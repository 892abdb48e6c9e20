#include "actions/shutdown.h"

// The NT family lets a process shut down only with the privilege enabled.
static void PowerOffNt()
{
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return;

    TOKEN_PRIVILEGES privileges;
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueA(NULL, SHUTDOWN_PRIVILEGE, &privileges.Privileges[0].Luid))
    {
        // Success is told only through the last error (ERROR_NOT_ALL_ASSIGNED
        // when the user may not shut down), and not every implementation
        // resets it on success: clear it first so a stale value cannot block.
        SetLastError(ERROR_SUCCESS);
        AdjustTokenPrivileges(token, FALSE, &privileges, 0, NULL, NULL);
        if (GetLastError() == ERROR_SUCCESS)
            ExitWindowsEx(SHUTDOWN_FLAGS_NT, 0);
    }
    CloseHandle(token);
}

void ShutdownWindows()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    // No tokens on the 95 family. But the NT family, run in its "Windows 95"
    // or "Windows 98 / Me" compatibility mode, says it is of the 95 family
    // and refuses that request for want of the privilege: then its own way.
    // On a real Windows 95, that way ends quietly at the token.
    if (version.dwPlatformId != VER_PLATFORM_WIN32_WINDOWS || !ExitWindowsEx(SHUTDOWN_FLAGS_95, 0))
        PowerOffNt();
}
