#include "ui/main_window.h"

#include "actions/awake.h"
#include "job/job.h"
#include "res/resource.h"
#include "schedule/schedule.h"
#include "ui/controls.h"
#include "ui/paint.h"

static LRESULT OnCreate(HWND window)
{
    InitSchedule();
    // Without its timer the window would show REC and STOP as if a job were
    // armed, and nothing would ever happen: better not to open at all.
    if (!SetTimer(window, TIMER_ID, TICK_MS, NULL))
        return -1;
    InitPanelFonts();
    // An armed job must not be lost to the machine dozing off, nor to its
    // being put to sleep.
    KeepMachineAwake();
    WakeForNextStep();
    return 0;
}

static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    // clang-format off
    case WM_CREATE:  return OnCreate(window);
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_PAINT:   return OnPaint(window);
    case WM_COMMAND: return OnCommand(window, LOWORD(wParam));
    case WM_TIMER:   return OnTick(window);
    case WM_POWERBROADCAST: return OnPowerEvent(wParam);
        // clang-format on
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE module, HINSTANCE, LPSTR, int)
{
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WndProc;
    windowClass.hInstance = module;
    windowClass.hIcon = LoadIconA(module, MAKEINTRESOURCEA(IDI_VARNEL));
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_SCROLLBAR + 1);
    windowClass.lpszClassName = WINDOW_CLASS;
    if (!RegisterClassA(&windowClass))
        return 0;

    // WM_CREATE sets up the schedule, the timer and the fonts in here.
    HWND window = CreateWindowExA(0, WINDOW_CLASS, WINDOW_TITLE, WINDOW_STYLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                  WINDOW_WIDTH, WINDOW_HEIGHT, NULL, NULL, module, NULL);
    if (window == NULL || CreateControls(window, module) == NULL)
        return 0;

    // Posted, so the box shows ticked once the loop runs.
    PostMessageA(shutdownCheck, BM_SETCHECK, BST_CHECKED, 0);

    // No TranslateMessage: the panel takes no typed input. GetMessageA
    // returns -1 on an error, which must end the loop rather than spin.
    MSG message = {};
    BOOL result;
    while ((result = GetMessageA(&message, NULL, 0, 0)) > 0)
        DispatchMessageA(&message);
    return result == 0 ? (int)message.wParam : 0;
}
