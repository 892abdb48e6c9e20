#include "ui/paint.h"

#include "job/job.h"
#include "schedule/schedule.h"
#include "ui/panel.h"

LOGFONTA TimeFont;
LOGFONTA LabelFont;

struct PanelText
{
    int x, y;
    const char *text;
};

static const PanelText LABELS[] = {
    {8, 4, "REC"},
    {8, 39, "STOP"},
    {57, 70, "shutdown Windows"},
    {57, 83, "when waveflt2/lame/gogo lost"},
};

struct Lamp
{
    BYTE bit;
    COLORREF colour;
    const RECT *bounds;
};

// Drawn in this order: red, blue, yellow.
static const Lamp LAMPS[] = {
    {LAMP_REC, RGB(255, 0, 0), &RECT_LAMP_REC},
    {LAMP_STOP, RGB(0, 0, 255), &RECT_LAMP_STOP},
    {LAMP_SHUTDOWN, RGB(255, 255, 0), &RECT_LAMP_SHUTDOWN},
};

static void FillFont(LOGFONTA *font, LONG height, LONG weight, BYTE pitchAndFamily, const char *face)
{
    ZeroMemory(font, sizeof *font);
    font->lfHeight = height;
    font->lfWeight = weight;
    font->lfCharSet = ANSI_CHARSET;
    font->lfPitchAndFamily = pitchAndFamily;
    lstrcpynA(font->lfFaceName, face, LF_FACESIZE);
}

void InitPanelFonts()
{
    FillFont(&TimeFont, 32, FW_BOLD, FIXED_PITCH | FF_MODERN, "Courier New");
    FillFont(&LabelFont, 12, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, "MS Sans Serif");
}

// "hh:mm" into text (room for 6); returns its length.
static int FormatTime(char *text, MinuteOfDay minute)
{
    // USER32's formatter: the C++ runtime's printf would pull in imports
    // that old Windows lacks.
    return wsprintfA(text, "%02d:%02d", minute / 60, minute % 60);
}

static void DrawTime(HDC dc, int x, int y, MinuteOfDay minute)
{
    char text[8];
    int length = FormatTime(text, minute);
    TextOutA(dc, x, y, text, length);
}

LRESULT OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);

    HFONT timeFont = CreateFontIndirectA(&TimeFont);
    HGDIOBJ originalFont = SelectObject(dc, timeFont);

    // Opaque and fixed-pitch: each time covers its old digits, so the
    // program's own redraws never need an erase.
    DrawTime(dc, 60, 3, Schedule.startMinute);
    DrawTime(dc, 60, 37, Schedule.stopMinute);

    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, 163, 3, "-1", 2);
    TextOutA(dc, 163, 37, "+1", 2);

    HFONT labelFont = CreateFontIndirectA(&LabelFont);
    SelectObject(dc, labelFont);
    DeleteObject(timeFont);
    for (const PanelText &label : LABELS)
        TextOutA(dc, label.x, label.y, label.text, lstrlenA(label.text));

    for (const Lamp &lamp : LAMPS)
    {
        if (!(Job.lampFlags & lamp.bit))
            continue;
        HBRUSH brush = CreateSolidBrush(lamp.colour);
        SelectObject(dc, brush);
        Ellipse(dc, lamp.bounds->left, lamp.bounds->top, lamp.bounds->right, lamp.bounds->bottom);
        SelectObject(dc, GetStockObject(WHITE_BRUSH));
        DeleteObject(brush);
    }

    SelectObject(dc, originalFont);
    DeleteObject(labelFont);
    EndPaint(window, &paint);
    return 0;
}
