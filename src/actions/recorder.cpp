#include "actions/recorder.h"

int SendRecorderCommand(int code)
{
    HWND recorder = FindWindowA(RECORDER_CLASS, NULL);
    if (recorder == NULL)
        return 0;
    SetForegroundWindow(recorder); // as a user would, before pressing its button
    if (code != CMD_REC_START && code != CMD_REC_STOP)
        return 0;
    // A command the recorder's queue refused (window just closed, queue full)
    // has not gone out: report it, so that the next tick tries again.
    return PostMessageA(recorder, WM_COMMAND, (WPARAM)code, 0) ? 1 : 0;
}
