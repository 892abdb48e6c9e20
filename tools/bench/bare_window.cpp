// The smallest program of Varnel's kind, for comparison: one window, a
// two-second timer that does nothing, and the message loop.
#include <windows.h>

static LRESULT CALLBACK BareProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
    {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE module, HINSTANCE, LPSTR, int)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = BareProc;
    windowClass.hInstance = module;
    windowClass.lpszClassName = "BARE";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "BARE", "Bare", WS_VISIBLE | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 212, 132, NULL, NULL, module, NULL);
    SetTimer(window, 1, 2000, NULL);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
