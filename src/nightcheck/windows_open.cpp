// The programs Varnel works with, as their windows show now.
#include "actions/encoders.h"
#include "actions/recorder.h"
#include "nightcheck/checks.h"
#include "ui/main_window.h"

// Posted to the recorder, which knows nothing of it: Windows refuses it, as
// it would refuse Varnel's commands, when the recorder runs with rights this
// program lacks (as administrator, this program not). PostMessage, Remarks:
// a message blocked by User Interface Privilege Isolation sets error 5; and
// messages above WM_USER from a lower integrity are blocked by default.
static const char PROBE_MESSAGE[] = "VarnelNightCheck";

void CheckRecorder()
{
    HWND recorder = FindWindowA(RECORDER_CLASS, NULL);
    if (recorder == NULL)
    {
        Say(VERDICT_PROBLEM, "not running. Start it before the job: Varnel does not.");
        return;
    }
    if (PostMessageA(recorder, RegisterWindowMessageA(PROBE_MESSAGE), 0, 0))
    {
        Say(VERDICT_FINE, "running, and it takes messages.");
        return;
    }
    DWORD error = GetLastError();
    if (error == ERROR_ACCESS_DENIED)
        Say(VERDICT_PROBLEM, "it has more rights; Windows shields it. Start it by double-click (error %lu).", error);
    else
        Say(VERDICT_CHECK, "its window took no message (error %lu). Check again.", error);
}

void CheckVarnel()
{
    int windows = 0;
    for (HWND window = NULL; (window = FindWindowExA(NULL, window, WINDOW_CLASS, NULL)) != NULL;)
        windows++;
    if (windows == 0)
        Say(VERDICT_CHECK, "not running. Start it and set the times.");
    else if (windows == 1)
        Say(VERDICT_FINE, "one window open.");
    else
        // Each would run the job.
        Say(VERDICT_PROBLEM, "%d windows open. Close all but one.", windows);
}

void CheckEncoders()
{
    // Found as Varnel's watch finds them: whole titles, in any capitals, on
    // any window, a folder's among them. Named as they are written.
    char found[ENCODER_COUNT * 16] = "";
    int count = 0;
    for (int i = 0; i < ENCODER_COUNT; i++)
    {
        HWND window = FindWindowA(NULL, ENCODER_TITLES[i]);
        if (window == NULL)
            continue;
        char title[12];
        GetWindowTextA(window, title, sizeof title);
        wsprintfA(found + lstrlenA(found), "%s\"%s\"", count++ ? ", " : "", title);
    }
    if (count == 0)
        Say(VERDICT_FINE, "none open.");
    else
        Say(VERDICT_PROBLEM, "%s open: Varnel would wait. Close %s, folders too.", found, count == 1 ? "it" : "them");
}
