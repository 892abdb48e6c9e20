// The nine small controls on the panel.
#ifndef VARNEL_UI_CONTROLS_H
#define VARNEL_UI_CONTROLS_H

#include <windows.h>

struct ControlSpec
{
    int id; // IDC_ value: the WM_COMMAND it sends
    int x, y;
    DWORD style;
};

const int CONTROL_COUNT = 9;
const int CONTROL_SIZE = 12;

// In the order they are created.
extern const ControlSpec PANEL_CONTROLS[CONTROL_COUNT];

// The "shutdown Windows" check box; the job reads it when the encoders are gone.
extern HWND shutdownCheck;

// Creates the controls on the main window; returns the check box, or NULL.
HWND CreateControls(HWND window, HINSTANCE module);

#endif
