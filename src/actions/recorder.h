// The recorder: an outside program driven through its top-level window.
#ifndef VARNEL_ACTIONS_RECORDER_H
#define VARNEL_ACTIONS_RECORDER_H

#include <windows.h>

const char RECORDER_CLASS[] = "TORVIK";

// Posted as the wParam of WM_COMMAND, lParam 0.
const int CMD_REC_START = 1001;
const int CMD_REC_STOP = 1003;

// Brings the recorder to the front and posts it one of the two commands.
// 1 when the recorder's queue took the command, 0 otherwise (try again later).
int SendRecorderCommand(int code);

#endif
