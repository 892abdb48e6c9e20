// The main window: what other programs and the tests find it by.
#ifndef VARNEL_UI_MAIN_WINDOW_H
#define VARNEL_UI_MAIN_WINDOW_H

#include <windows.h>

const char WINDOW_CLASS[] = "VARNEL";
const char WINDOW_TITLE[] = "Varnel";
// A caption with a close box; no sizing border, no minimise or maximise box.
const DWORD WINDOW_STYLE = WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
const int WINDOW_WIDTH = 212;
const int WINDOW_HEIGHT = 132;

#endif
