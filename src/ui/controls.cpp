#include "ui/controls.h"

#include "job/job.h"
#include "schedule/schedule.h"

struct ControlSpec
{
    BYTE id;   // IDC_ value: the WM_COMMAND it sends
    BYTE x, y; // on a panel 212 wide: a byte each keeps the table small
    DWORD style;
};

static const int CONTROL_SIZE = 12;

// In the order they are created. On each row the upper button raises the
// time and the lower one lowers it; those at x 43 step the hour, those at
// x 148 the minutes.
static const ControlSpec PANEL_CONTROLS[] = {
    {IDC_START_HOUR_UP, 43, 4, WS_CHILD | WS_VISIBLE},
    {IDC_START_HOUR_DOWN, 43, 18, WS_CHILD | WS_VISIBLE},
    {IDC_START_MIN_UP, 148, 4, WS_CHILD | WS_VISIBLE},
    {IDC_START_MIN_DOWN, 148, 18, WS_CHILD | WS_VISIBLE},
    {IDC_STOP_HOUR_UP, 43, 39, WS_CHILD | WS_VISIBLE},
    {IDC_STOP_HOUR_DOWN, 43, 53, WS_CHILD | WS_VISIBLE},
    {IDC_STOP_MIN_UP, 148, 39, WS_CHILD | WS_VISIBLE},
    {IDC_STOP_MIN_DOWN, 148, 53, WS_CHILD | WS_VISIBLE},
    {IDC_SHUTDOWN_CHECK, 40, 73, WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX},
};

HWND CreateControls(HWND window, HINSTANCE module)
{
    for (const ControlSpec &c : PANEL_CONTROLS)
    {
        HWND control = CreateWindowExA(0, "BUTTON", "", c.style, c.x, c.y, CONTROL_SIZE, CONTROL_SIZE, window,
                                       (HMENU)(INT_PTR)c.id, module, NULL);
        if (c.id == IDC_SHUTDOWN_CHECK)
            shutdownCheck = control;
    }
    return shutdownCheck;
}
