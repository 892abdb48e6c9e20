#include "pixels.h"

#include "contract.h"

static LOGFONTA Font(const char *face, int height, int weight, BYTE pitchAndFamily)
{
    LOGFONTA font = {};
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfCharSet = ANSI_CHARSET;
    font.lfPitchAndFamily = pitchAndFamily;
    lstrcpynA(font.lfFaceName, face, LF_FACESIZE);
    return font;
}

LOGFONTA PanelTimeFont()
{
    return Font(Contract::TIME_FONT_FACE, Contract::TIME_FONT_HEIGHT, Contract::TIME_FONT_WEIGHT,
                Contract::TIME_FONT_PITCH);
}

LOGFONTA PanelLabelFont()
{
    return Font(Contract::LABEL_FONT_FACE, Contract::LABEL_FONT_HEIGHT, Contract::LABEL_FONT_WEIGHT,
                Contract::LABEL_FONT_PITCH);
}

Pixels Grab(HDC dc, int x, int y, int width, int height)
{
    // Copied into a 32-bit bitmap first: one transfer, not a call per pixel.
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void *bits = NULL;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, dc, x, y, SRCCOPY);
    GdiFlush();

    Pixels pixels = {width, height, std::vector<COLORREF>(width * height)};
    const DWORD *row = (const DWORD *)bits;
    for (int i = 0; i < width * height; i++)
    {
        DWORD bgr = row[i]; // 0x00RRGGBB in a DIB
        pixels.colours[i] = RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
    return pixels;
}

Pixels RenderText(const LOGFONTA &font, const char *text, bool opaque, COLORREF background)
{
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HFONT handle = CreateFontIndirectA(&font);
    HGDIOBJ oldFont = SelectObject(memory, handle);
    SIZE extent;
    GetTextExtentPoint32A(memory, text, lstrlenA(text), &extent);

    HBITMAP bitmap = CreateCompatibleBitmap(screen, extent.cx, extent.cy);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    RECT all = {0, 0, extent.cx, extent.cy};
    HBRUSH fill = CreateSolidBrush(background);
    FillRect(memory, &all, fill);
    DeleteObject(fill);
    SetBkMode(memory, opaque ? OPAQUE : TRANSPARENT);
    SetBkColor(memory, RGB(255, 255, 255));
    SetTextColor(memory, RGB(0, 0, 0));
    TextOutA(memory, 0, 0, text, lstrlenA(text));
    Pixels pixels = Grab(memory, 0, 0, extent.cx, extent.cy);

    SelectObject(memory, oldBitmap);
    SelectObject(memory, oldFont);
    DeleteObject(bitmap);
    DeleteObject(handle);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return pixels;
}
