// Drawing the panel from the schedule and the lamp bits.
#ifndef VARNEL_UI_PAINT_H
#define VARNEL_UI_PAINT_H

#include <windows.h>

// The two fonts the panel is drawn in, filled in once by InitPanelFonts.
extern LOGFONTA TimeFont;
extern LOGFONTA LabelFont;
void InitPanelFonts();

// WM_PAINT: the panel, between BeginPaint and EndPaint.
LRESULT OnPaint(HWND window);

#endif
