#include "standin_process.h"

#include <stdio.h>

StandInProcess StartStandIn(const char *program, const std::string &options)
{
    static int serial;
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    char log[MAX_PATH];
    snprintf(log, sizeof log, "%svarnel-%lu-%d.log", folder, GetCurrentProcessId(), ++serial);
    DeleteFileA(log);

    std::string command = std::string(program) + " --log \"" + log + "\" " + options;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    StandInProcess standIn = {NULL, log};
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    if (!CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, NULL, &startup, &info))
        return standIn;
    CloseHandle(info.hThread);
    standIn.process = info.hProcess;
    if (options.find("--appear-after") == std::string::npos)
        WaitForEvent(standIn, "appeared", 20000);
    Settle(300);
    return standIn;
}

std::vector<std::string> LoggedEvents(const StandInProcess &standIn)
{
    std::vector<std::string> events;
    FILE *file = fopen(standIn.log.c_str(), "r");
    if (file == NULL)
        return events;
    char line[512];
    while (fgets(line, sizeof line, file))
    {
        std::string text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        size_t space = text.find(' ');
        events.push_back(space == std::string::npos ? text : text.substr(space + 1));
    }
    fclose(file);
    return events;
}

int WaitForEvent(const StandInProcess &standIn, const char *event, int ms)
{
    for (int waited = 0;; waited += 20)
    {
        for (const std::string &e : LoggedEvents(standIn))
            if (e.compare(0, strlen(event), event) == 0)
                return 1;
        if (waited >= ms)
            return 0;
        Sleep(20);
    }
}

int WaitForExit(const StandInProcess &standIn, int ms)
{
    return WaitForSingleObject(standIn.process, ms) == WAIT_OBJECT_0;
}

void StopStandIn(StandInProcess &standIn)
{
    if (standIn.process != NULL)
    {
        TerminateProcess(standIn.process, 0);
        WaitForSingleObject(standIn.process, 5000);
        CloseHandle(standIn.process);
        standIn.process = NULL;
    }
    DeleteFileA(standIn.log.c_str());
}

void Settle(int ms)
{
    DWORD until = GetTickCount() + ms;
    while ((int)(until - GetTickCount()) > 0)
    {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        Sleep(10);
    }
}
