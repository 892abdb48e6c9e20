// Reading painted pixels back, and drawing the text a panel should show so
// that the two can be compared.
#ifndef VARNEL_TESTS_PIXELS_H
#define VARNEL_TESTS_PIXELS_H

#include <windows.h>

#include <vector>

struct Pixels
{
    int width, height;
    std::vector<COLORREF> colours; // row by row

    COLORREF At(int x, int y) const { return colours[y * width + x]; }
    bool operator==(const Pixels &other) const
    {
        return width == other.width && height == other.height && colours == other.colours;
    }
};

// The pixels of a device context from (x, y), width by height.
Pixels Grab(HDC dc, int x, int y, int width, int height);

// text in the given font at (0, 0), black, on background; opaque or not.
Pixels RenderText(const LOGFONTA &font, const char *text, bool opaque, COLORREF background);

// The fonts the panel's times and labels are to be drawn in.
LOGFONTA PanelTimeFont();
LOGFONTA PanelLabelFont();

#endif
