// The nine small controls on the panel.
#ifndef VARNEL_UI_CONTROLS_H
#define VARNEL_UI_CONTROLS_H

#include <windows.h>

// Creates the controls on the main window, keeping the check box in the
// job's shutdownCheck; returns the check box, or NULL.
HWND CreateControls(HWND window, HINSTANCE module);

#endif
