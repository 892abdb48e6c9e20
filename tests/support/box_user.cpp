#include "box_user.h"

static const char *boxTitle;
static std::vector<int> presses;
static void (*beforePress)(int);
static std::vector<BoxSeen> seen;
static HANDLE user;

static HWND FindBox(HWND notThis)
{
    for (int i = 0; i < 400; i++)
    {
        HWND box = FindWindowA("#32770", boxTitle);
        if (box != NULL && box != notThis && IsWindowVisible(box))
            return box;
        Sleep(25);
    }
    return NULL;
}

static DWORD WINAPI PlayUser(void *)
{
    HWND last = NULL;
    for (int press : presses)
    {
        HWND box = FindBox(last);
        if (box == NULL)
            return 1;
        Sleep(200);
        BoxSeen found = {};
        char text[8192];
        GetWindowTextA(box, text, sizeof text);
        found.title = text;
        // The text is the box's Static child that has some; the icon another.
        for (HWND child = NULL; (child = FindWindowExA(box, child, "Static", NULL)) != NULL;)
        {
            HICON icon = (HICON)SendMessageA(child, STM_GETICON, 0, 0);
            found.warning |= icon != NULL && icon == LoadIconA(NULL, IDI_WARNING);
            found.information |= icon != NULL && icon == LoadIconA(NULL, IDI_INFORMATION);
            if (GetWindowTextA(child, text, sizeof text) > 0)
                found.text = text;
        }
        found.ok = GetDlgItem(box, IDOK) != NULL;
        found.retry = GetDlgItem(box, IDRETRY) != NULL;
        found.cancel = GetDlgItem(box, IDCANCEL) != NULL;
        GetWindowRect(box, &found.rect);
        seen.push_back(found);
        if (beforePress)
            beforePress(press);
        SendMessageA(GetDlgItem(box, press), BM_CLICK, 0, 0);
        last = box;
    }
    return 0;
}

void StartBoxUser(const char *title, const std::vector<int> &buttons, void (*before)(int press))
{
    boxTitle = title, presses = buttons, beforePress = before;
    seen.clear();
    user = CreateThread(NULL, 0, PlayUser, NULL, 0, NULL);
}

std::vector<BoxSeen> BoxesSeen()
{
    WaitForSingleObject(user, 10000);
    CloseHandle(user);
    return seen;
}
