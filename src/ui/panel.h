// The areas of the panel that change while the program runs, in client
// coordinates. Handlers invalidate them (never erasing); painting redraws them.
#ifndef VARNEL_UI_PANEL_H
#define VARNEL_UI_PANEL_H

#include <windows.h>

const RECT RECT_START_TIME = {60, 3, 150, 34};
const RECT RECT_STOP_TIME = {60, 37, 150, 68};
const RECT RECT_LAMP_REC = {8, 18, 18, 28};
const RECT RECT_LAMP_STOP = {8, 53, 18, 63};
const RECT RECT_LAMP_SHUTDOWN = {8, 73, 18, 83};

#endif
