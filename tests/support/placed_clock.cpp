#include "placed_clock.h"

#include <stdio.h>
#include <string.h>
#include <time.h>

#include <string>
#include <vector>

HANDLE StartWithClock(const char *command, int localSecondOfDay)
{
    const int day = 24 * 3600;
    int utcSecond = (int)(time(NULL) % day);
    int offset = ((localSecondOfDay - utcSecond) % day + day) % day;
    char tz[64];
    // "XYZ-h:mm:ss" puts local time h:mm:ss ahead of UTC.
    snprintf(tz, sizeof tz, "TZ=XYZ-%d:%02d:%02d", offset / 3600, offset / 60 % 60, offset % 60);

    std::vector<char> environment;
    char *inherited = GetEnvironmentStringsA();
    for (const char *entry = inherited; *entry; entry += strlen(entry) + 1)
        if (_strnicmp(entry, "TZ=", 3) != 0)
            environment.insert(environment.end(), entry, entry + strlen(entry) + 1);
    FreeEnvironmentStringsA(inherited);
    environment.insert(environment.end(), tz, tz + strlen(tz) + 1);
    environment.push_back('\0');

    std::string line(command);
    std::vector<char> commandLine(line.begin(), line.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(NULL, commandLine.data(), NULL, NULL, FALSE, 0, environment.data(), NULL, &startup, &process))
        return NULL;
    CloseHandle(process.hThread);
    return process.hProcess;
}

int WaitForStatus(HANDLE process, int ms)
{
    if (WaitForSingleObject(process, ms) != WAIT_OBJECT_0)
        return -1;
    DWORD status = 0;
    GetExitCodeProcess(process, &status);
    return (int)status;
}
