#include "actions/driver_alert.h"

#include <windows.h>

int DismissDriverAlert()
{
    HWND alert = FindWindowA(NULL, ALERT_TITLE);
    if (alert == NULL)
        return 0;
    if (!SetForegroundWindow(alert))
        return 0;
    // The alert's own thread carries out the activation, later. Until it has,
    // a key would go to whatever window has the input, perhaps the recorder
    // that was just started: wait for the next tick instead.
    if (GetForegroundWindow() != alert)
        return 0;
    keybd_event(VK_SPACE, ALERT_SCAN_CODE, 0, 0);
    keybd_event(VK_SPACE, ALERT_SCAN_CODE, KEYEVENTF_KEYUP, 0);
    return 1;
}
