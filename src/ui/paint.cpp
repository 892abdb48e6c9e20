#include "ui/paint.h"

#include "job/job.h"
#include "job/lamps.h"
#include "schedule/schedule.h"

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

// Kept out of line: one copy for both fonts, where the program must fit its
// file.
__attribute__((noinline)) static void FillFont(LOGFONTA *font, LONG height, LONG weight, BYTE pitchAndFamily,
                                               const char *face)
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

// At the top left of the time's redraw area.
static void DrawTime(HDC dc, const RECT &area, MinuteOfDay minute)
{
    char text[8];
    int length = FormatTime(text, minute);
    TextOutA(dc, area.left, area.top, text, length);
}

// The whole panel into dc, reading only the schedule and the job; whatever
// it selects into dc it selects out again, so any device context will do.
static void PaintPanel(HDC dc)
{
    HFONT timeFont = CreateFontIndirectA(&TimeFont);
    HGDIOBJ originalFont = SelectObject(dc, timeFont);

    // Opaque and fixed-pitch: each time covers its old digits, so the
    // program's own redraws never need an erase.
    DrawTime(dc, RECT_START_TIME, Schedule.startMinute);
    DrawTime(dc, RECT_STOP_TIME, Schedule.stopMinute);

    int originalMode = SetBkMode(dc, TRANSPARENT);
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
        HGDIOBJ originalBrush = SelectObject(dc, brush);
        Ellipse(dc, lamp.bounds.left, lamp.bounds.top, lamp.bounds.right, lamp.bounds.bottom);
        SelectObject(dc, originalBrush);
        DeleteObject(brush);
    }

    SelectObject(dc, originalFont);
    DeleteObject(labelFont);
    SetBkMode(dc, originalMode);
}

LRESULT OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    PaintPanel(dc);
    EndPaint(window, &paint);
    return 0;
}
