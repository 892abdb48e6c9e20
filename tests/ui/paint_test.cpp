// The panel as painted, read back as pixels from a real window that paints
// with the program's own painting code.
#include <doctest/doctest.h>

#include <windows.h>

#include "job/job.h"
#include "job/lamps.h"
#include "pixels.h"
#include "schedule/schedule.h"
#include "ui/paint.h"
#include "contract.h"

static LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT)
        return OnPaint(window);
    return DefWindowProcA(window, message, wParam, lParam);
}

static HWND PanelWindow()
{
    static HWND window;
    if (window == NULL)
    {
        InitPanelFonts();
        WNDCLASSA panelClass = {};
        panelClass.lpfnWndProc = PanelProc;
        panelClass.hInstance = GetModuleHandleA(NULL);
        panelClass.hbrBackground = (HBRUSH)(COLOR_SCROLLBAR + 1);
        panelClass.lpszClassName = "PaintTestPanel";
        RegisterClassA(&panelClass);
        window = CreateWindowExA(0, "PaintTestPanel", "", WS_POPUP | WS_VISIBLE, 10, 10, 212, 110, NULL, NULL,
                                 panelClass.hInstance, NULL);
    }
    return window;
}

// Repaints the whole panel, background included, and reads it back.
static Pixels Show(MinuteOfDay start, MinuteOfDay stop, BYTE lamps, int x, int y, int width, int height)
{
    Schedule.startMinute = start;
    Schedule.stopMinute = stop;
    Job.lampFlags = lamps;
    HWND window = PanelWindow();
    InvalidateRect(window, NULL, TRUE);
    UpdateWindow(window);
    HDC dc = GetDC(window);
    Pixels pixels = Grab(dc, x, y, width, height);
    ReleaseDC(window, dc);
    return pixels;
}

static Pixels ShowArea(BYTE lamps, const RECT &area)
{
    return Show(0, 0, lamps, area.left, area.top, area.right - area.left, area.bottom - area.top);
}

TEST_CASE("lamps: each in its colour inside its rectangle, only while its bit is set")
{
    const COLORREF background = GetSysColor(COLOR_SCROLLBAR);
    struct Lamp
    {
        BYTE bit;
        RECT area;
        COLORREF colour;
    } lamps[] = {
        {LAMP_REC, Contract::RECT_LAMP_REC, Contract::COLOUR_LAMP_REC},
        {LAMP_STOP, Contract::RECT_LAMP_STOP, Contract::COLOUR_LAMP_STOP},
        {LAMP_SHUTDOWN, Contract::RECT_LAMP_SHUTDOWN, Contract::COLOUR_LAMP_SHUTDOWN},
    };
    const BYTE settings[] = {0, LAMP_REC, LAMP_STOP, LAMP_SHUTDOWN, LAMP_REC | LAMP_STOP | LAMP_SHUTDOWN};

    for (BYTE flags : settings)
        for (const Lamp &lamp : lamps)
        {
            CAPTURE((int)flags);
            CAPTURE((int)lamp.bit);
            // The lamp's area and a pixel's margin round it.
            RECT around = {lamp.area.left - 1, lamp.area.top - 1, lamp.area.right + 1, lamp.area.bottom + 1};
            Pixels pixels = ShowArea(flags, around);
            int centreX = (lamp.area.right - lamp.area.left) / 2 + 1,
                centreY = (lamp.area.bottom - lamp.area.top) / 2 + 1;
            bool lit = (flags & lamp.bit) != 0;
            CHECK(pixels.At(centreX, centreY) == (lit ? lamp.colour : background));
            CHECK(pixels.At(1, centreY) == (lit ? RGB(0, 0, 0) : background)); // the outline
            // Nothing outside the rectangle, and the round lamp leaves its corners.
            for (int x = 0; x < pixels.width; x++)
            {
                CHECK(pixels.At(x, 0) == background);
                CHECK(pixels.At(x, pixels.height - 1) == background);
            }
            CHECK(pixels.At(1, 1) == background);
        }
}

TEST_CASE("the times show as hh:mm in the large font, each drawn opaque at its place")
{
    struct Row
    {
        MinuteOfDay minute;
        const char *text;
    } rows[] = {{0, "00:00"}, {1439, "23:59"}, {65, "01:05"}, {11 * 60, "11:00"}};

    for (const Row &row : rows)
    {
        CAPTURE(row.text);
        Pixels expected = RenderText(PanelTimeFont(), row.text, true, RGB(255, 255, 255));
        CHECK(Show(row.minute, 0, 0, 60, 3, expected.width, expected.height) == expected);
        CHECK(Show(0, row.minute, 0, 60, 37, expected.width, expected.height) == expected);
    }
    // The comparison tells digits apart.
    Pixels other = RenderText(PanelTimeFont(), "00:01", true, RGB(255, 255, 255));
    CHECK_FALSE(Show(0, 0, 0, 60, 3, other.width, other.height) == other);
}

TEST_CASE("the offsets -1 and +1 are in the large font, over the background")
{
    const COLORREF background = GetSysColor(COLOR_SCROLLBAR);
    Pixels minus = RenderText(PanelTimeFont(), "-1", false, background);
    Pixels plus = RenderText(PanelTimeFont(), "+1", false, background);
    CHECK(Show(0, 0, 0, 163, 3, minus.width, minus.height) == minus);
    CHECK(Show(0, 0, 0, 163, 37, plus.width, plus.height) == plus);

    Pixels small = RenderText(PanelLabelFont(), "-1", false, background);
    CHECK_FALSE(Show(0, 0, 0, 163, 3, small.width, small.height) == small);
}

TEST_CASE("the labels are in the small font at their places")
{
    const COLORREF background = GetSysColor(COLOR_SCROLLBAR);
    struct Row
    {
        int x, y;
        const char *text;
    } rows[] = {{8, 4, "REC"}, {8, 39, "STOP"}, {57, 70, "shutdown Windows"}, {57, 83, "when waveflt2/lame/gogo lost"}};
    for (const Row &row : rows)
    {
        CAPTURE(row.text);
        Pixels expected = RenderText(PanelLabelFont(), row.text, false, background);
        Pixels shown = Show(0, 0, 0, row.x, row.y, expected.width, expected.height);
        // The REC and STOP labels share their area with the lamps, which are off here.
        CHECK(shown == expected);
    }
}

// Wine does not count GDI objects per process, but it hands out freed
// handle slots again: if painting leaked, fresh objects would need new slots.
static int HighestFreshSlot()
{
    HBRUSH brushes[32];
    int highest = 0;
    for (HBRUSH &brush : brushes)
    {
        brush = CreateSolidBrush(RGB(1, 2, 3));
        int slot = (int)((UINT_PTR)brush & 0xFFFF);
        highest = slot > highest ? slot : highest;
    }
    for (HBRUSH brush : brushes)
        DeleteObject(brush);
    return highest;
}

TEST_CASE("painting keeps no GDI object over many hundreds of repaints")
{
    Show(0, 0, LAMP_REC | LAMP_STOP | LAMP_SHUTDOWN, 0, 0, 1, 1);
    int before = HighestFreshSlot();
    for (int i = 0; i < 600; i++)
        Show(i, 1439 - i, LAMP_REC | LAMP_STOP | LAMP_SHUTDOWN, 0, 0, 1, 1);
    CHECK(HighestFreshSlot() == before);
}
