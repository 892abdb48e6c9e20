// Which program file the recorder runs from, where it is running and
// Windows tells: its window's process, asked for the path of its image
// with a function that Windows Vista brought, looked up.
#include "actions/recorder.h"
#include "lastnight/night.h"

typedef BOOL(WINAPI *QueryImageName)(HANDLE, DWORD, LPSTR, DWORD *);

// PROCESS_QUERY_LIMITED_INFORMATION, Vista's: the least access that the
// image's path needs.
const DWORD QUERY_LIMITED_INFORMATION = 0x1000;

void FindRecorder(Night *night)
{
    HWND window = FindWindowA(RECORDER_CLASS, NULL);
    QueryImageName query =
        (QueryImageName)(void *)GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameA");
    DWORD process = 0;
    if (window == NULL || query == NULL || !GetWindowThreadProcessId(window, &process))
        return;
    HANDLE handle = OpenProcess(QUERY_LIMITED_INFORMATION, FALSE, process);
    if (handle == NULL)
        return;
    DWORD size = sizeof night->recorder;
    if (!query(handle, 0, night->recorder, &size))
        night->recorder[0] = '\0';
    CloseHandle(handle);
    const char *file = night->recorder;
    for (const char *c = night->recorder; *c; c++)
        if (*c == '\\')
            file = c + 1;
    lstrcpynA(night->recorderFile, file, sizeof night->recorderFile);
}
