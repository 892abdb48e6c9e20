// The nine small controls on the panel.
#ifndef VARNEL_UI_CONTROLS_H
#define VARNEL_UI_CONTROLS_H

#include <windows.h>

// The "shutdown Windows" check box; the job reads it when the encoders are gone.
extern HWND shutdownCheck;

#endif
