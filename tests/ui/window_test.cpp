// The real program, observed from outside as another program would: its
// window, its controls, its pixels, its end. Each case that depends on the
// time of day runs in a process whose local clock its test entry placed
// (tests/CMakeLists.txt), and Varnel inherits that clock.
#include <doctest/doctest.h>

#include <windows.h>

#include <string>
#include <time.h>

#include "contract.h"
#include "pixels.h"
#include "replace_import.h"
#include "standin_process.h"

struct Varnel
{
    HANDLE process;
    HWND window;
};

// The local time of day, in seconds, as the runtime reads it.
static int LocalSecond()
{
    time_t now = time(NULL);
    const struct tm *local = localtime(&now);
    return local->tm_hour * 3600 + local->tm_min * 60 + local->tm_sec;
}

static Varnel StartVarnel()
{
    char command[] = "varnel.exe";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    REQUIRE(CreateProcessA(NULL, command, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &info));
    CloseHandle(info.hThread);
    Varnel varnel = {info.hProcess, NULL};
    for (int i = 0; i < 500 && varnel.window == NULL; i++)
    {
        Sleep(20);
        varnel.window = FindWindowA(Contract::WINDOW_CLASS, Contract::WINDOW_TITLE);
    }
    REQUIRE(varnel.window != NULL);
    Settle(700); // the loop has run and the panel is painted
    return varnel;
}

static void Close(Varnel &varnel)
{
    PostMessageA(varnel.window, WM_CLOSE, 0, 0);
    DWORD status = 1;
    CHECK(WaitForSingleObject(varnel.process, 10000) == WAIT_OBJECT_0);
    GetExitCodeProcess(varnel.process, &status);
    CHECK(status == 0);
    CloseHandle(varnel.process);
}

// What the screen shows at a point of the panel's client area.
static Pixels Shown(HWND window, int x, int y, int width, int height)
{
    POINT origin = {x, y};
    ClientToScreen(window, &origin);
    HDC screen = GetDC(NULL);
    Pixels pixels = Grab(screen, origin.x, origin.y, width, height);
    ReleaseDC(NULL, screen);
    return pixels;
}

static bool ShowsTimes(HWND window, const char *start, const char *stop)
{
    Pixels startText = RenderText(PanelTimeFont(), start, true, RGB(255, 255, 255));
    Pixels stopText = RenderText(PanelTimeFont(), stop, true, RGB(255, 255, 255));
    return Shown(window, 60, 3, startText.width, startText.height) == startText &&
           Shown(window, 60, 37, stopText.width, stopText.height) == stopText;
}

TEST_CASE("the window, its class, its nine controls, and the panel at start")
{
    // Placed at 10:20:30.
    Varnel varnel = StartVarnel();
    HWND window = varnel.window;

    char name[64];
    GetClassNameA(window, name, sizeof name);
    CHECK(std::string(name) == Contract::WINDOW_CLASS);
    GetWindowTextA(window, name, sizeof name);
    CHECK(std::string(name) == Contract::WINDOW_TITLE);
    CHECK(GetClassLongA(window, GCL_STYLE) == Contract::CLASS_STYLE);
    // Wine does not give another process the class's brush or icon: the
    // background is checked as pixels below, the icon in the file.

    // The system adds clipping of siblings to every top-level window.
    CHECK((GetWindowLongA(window, GWL_STYLE) & ~WS_CLIPSIBLINGS) == (LONG)Contract::WINDOW_STYLE);
    CHECK((GetWindowLongA(window, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE) == 0);
    RECT outer;
    GetWindowRect(window, &outer);
    CHECK(outer.right - outer.left == Contract::WINDOW_WIDTH);
    CHECK(outer.bottom - outer.top == Contract::WINDOW_HEIGHT);

    // The controls, in the order they were made.
    HWND control = GetWindow(window, GW_CHILD);
    for (const Contract::ControlPlace &expected : Contract::CONTROLS)
    {
        CAPTURE(expected.id);
        REQUIRE(control != NULL);
        CHECK(GetDlgCtrlID(control) == expected.id);
        GetClassNameA(control, name, sizeof name);
        CHECK(lstrcmpiA(name, "Button") == 0);
        GetWindowTextA(control, name, sizeof name);
        CHECK(std::string(name) == "");
        CHECK((DWORD)GetWindowLongA(control, GWL_STYLE) == expected.style);
        CHECK(GetWindowLongA(control, GWL_EXSTYLE) == 0);
        RECT place;
        GetWindowRect(control, &place);
        MapWindowPoints(NULL, window, (POINT *)&place, 2);
        CHECK(place.left == expected.x);
        CHECK(place.top == expected.y);
        CHECK(place.right - place.left == Contract::CONTROL_SIZE);
        CHECK(place.bottom - place.top == Contract::CONTROL_SIZE);
        control = GetWindow(control, GW_HWNDNEXT);
    }
    CHECK(control == NULL);

    CHECK(SendMessageA(GetDlgItem(window, Contract::IDC_SHUTDOWN_CHECK), BM_GETCHECK, 0, 0) == BST_CHECKED);
    CHECK(ShowsTimes(window, "11:00", "12:00"));

    const COLORREF background = GetSysColor(COLOR_SCROLLBAR);
    const RECT lamps[] = {Contract::RECT_LAMP_REC, Contract::RECT_LAMP_STOP, Contract::RECT_LAMP_SHUTDOWN};
    for (const RECT &lamp : lamps)
    {
        Pixels area = Shown(window, lamp.left, lamp.top, lamp.right - lamp.left, lamp.bottom - lamp.top);
        for (COLORREF colour : area.colours)
            REQUIRE(colour == background);
    }
    Close(varnel);
}

TEST_CASE("the buttons step the times shown, across midnight; the check box only toggles")
{
    // Placed at 23:10:20.
    Varnel varnel = StartVarnel();
    CHECK(ShowsTimes(varnel.window, "00:00", "01:00"));

    struct Row
    {
        int id;
        const char *start, *stop;
    } rows[] = {
        {Contract::IDC_START_MIN_DOWN, "23:55", "01:00"},  {Contract::IDC_START_MIN_UP, "00:00", "01:00"},
        {Contract::IDC_START_HOUR_DOWN, "23:00", "01:00"}, {Contract::IDC_START_HOUR_UP, "00:00", "01:00"},
        {Contract::IDC_STOP_HOUR_DOWN, "00:00", "00:00"},  {Contract::IDC_STOP_MIN_DOWN, "00:00", "23:55"},
        {Contract::IDC_STOP_MIN_UP, "00:00", "00:00"},     {Contract::IDC_STOP_HOUR_UP, "00:00", "01:00"},
        {Contract::IDC_SHUTDOWN_CHECK, "00:00", "01:00"},
    };
    HWND check = GetDlgItem(varnel.window, Contract::IDC_SHUTDOWN_CHECK);
    for (const Row &row : rows)
    {
        CAPTURE(row.id);
        SendMessageA(GetDlgItem(varnel.window, row.id), BM_CLICK, 0, 0);
        Settle(300);
        CHECK(ShowsTimes(varnel.window, row.start, row.stop));
    }
    CHECK(SendMessageA(check, BM_GETCHECK, 0, 0) == BST_UNCHECKED);
    SendMessageA(check, BM_CLICK, 0, 0);
    CHECK(SendMessageA(check, BM_GETCHECK, 0, 0) == BST_CHECKED);
    Close(varnel);
}

TEST_CASE("closing the window ends the program with status 0 and sends nothing to anyone")
{
    StandInProcess recorder = StartStandIn("standin-recorder.exe");
    StandInProcess encoder = StartStandIn("standin-encoder.exe", "--title lame");
    // Placed at 10:58:25, time to start everything even under load: ticks run
    // before the minute ahead of REC, and nothing is due.
    Varnel varnel = StartVarnel();
    SendMessageA(GetDlgItem(varnel.window, Contract::IDC_START_HOUR_DOWN), BM_CLICK, 0, 0); // REC 11:00
    Settle(2500);
    Close(varnel);
    REQUIRE(LocalSecond() < 10 * 3600 + 59 * 60);
    while (LocalSecond() < 10 * 3600 + 59 * 60 + 6) // past the ticks that would have started it
        Settle(200);

    for (StandInProcess *standIn : {&recorder, &encoder})
        CHECK_SEQUENCE(Only(LoggedEvents(*standIn), {"command", "key", "syskey"}), {});
    StopStandIn(encoder);
    StopStandIn(recorder);
}

// Group icon entries as stored in the file (packed, 14 bytes).
#pragma pack(push, 2)
struct IconEntry
{
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
struct IconGroup
{
    WORD reserved, type, count;
    IconEntry entries[1];
};
#pragma pack(pop)

TEST_CASE("the program file holds icon group 101 with a 32 x 32 and a 16 x 16 image in 16 colours, and a version")
{
    HMODULE file = LoadLibraryExA("varnel.exe", NULL, LOAD_LIBRARY_AS_DATAFILE);
    REQUIRE(file != NULL);
    HRSRC found = FindResourceA(file, MAKEINTRESOURCEA(Contract::ICON_ID), MAKEINTRESOURCEA(14)); // RT_GROUP_ICON
    REQUIRE(found != NULL);
    const IconGroup *group = (const IconGroup *)LockResource(LoadResource(file, found));
    REQUIRE(group->count == 2);
    int sizes[2];
    for (int i = 0; i < 2; i++)
    {
        const IconEntry &entry = group->entries[i];
        CHECK(entry.colours == 16);
        CHECK(entry.bitCount == 4);
        sizes[i] = entry.width;
        CHECK(entry.height == entry.width);
        HRSRC image = FindResourceA(file, MAKEINTRESOURCEA(entry.id), MAKEINTRESOURCEA(3)); // RT_ICON
        REQUIRE(image != NULL);
        const BITMAPINFOHEADER *header = (const BITMAPINFOHEADER *)LockResource(LoadResource(file, image));
        CHECK(header->biBitCount == 4);
        CHECK(header->biWidth == entry.width);
        CHECK(header->biHeight == 2 * entry.width); // colours and mask
    }
    CHECK(((sizes[0] == 32 && sizes[1] == 16) || (sizes[0] == 16 && sizes[1] == 32)));

    HRSRC version = FindResourceA(file, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16)); // RT_VERSION
    REQUIRE(version != NULL);
    // The strings are UTF-16; look for the product name among them.
    const char *data = (const char *)LockResource(LoadResource(file, version));
    std::string text;
    for (DWORD i = 0; i + 1 < SizeofResource(file, version); i += 2)
        text += data[i] ? data[i] : '|';
    CHECK(text.find("ProductName||Varnel") != std::string::npos);
    CHECK(text.find("FileDescription") != std::string::npos);
    CHECK(text.find("FileVersion") != std::string::npos);
    FreeLibrary(file);
}

// Cases the system does not produce on demand, with the window made in this
// test program by Varnel's own WinMain and a function played by the test:
// SetTimer refusing (it also ends the message loop, should the window open
// regardless), and GetMessageA failing.
static Sequence timerCalls;
static int refuseTimer;
static int failMessages, messageCalls;

static UINT_PTR WINAPI RefusingSetTimer(HWND window, UINT_PTR id, UINT ms, TIMERPROC callback)
{
    if (!refuseTimer)
        return RealUser32<UINT_PTR(WINAPI *)(HWND, UINT_PTR, UINT, TIMERPROC)>("SetTimer")(window, id, ms, callback);
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    timerCalls.push_back(std::string("SetTimer ") + name + " id=" + std::to_string(id) + " ms=" + std::to_string(ms) +
                         (callback ? " callback" : " no callback"));
    PostQuitMessage(0);
    return 0;
}

// Fails three times; then, as a quit message would, ends a loop that did not
// stop at the first failure, with a status that tells.
static BOOL WINAPI FailingGetMessage(LPMSG message, HWND window, UINT first, UINT last)
{
    if (!failMessages)
        return RealUser32<BOOL(WINAPI *)(LPMSG, HWND, UINT, UINT)>("GetMessageA")(message, window, first, last);
    if (++messageCalls <= 3)
    {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    message->message = WM_QUIT;
    message->wParam = 55;
    return 0;
}

REPLACE_WINAPI_IMPORT(SetTimer, 16, RefusingSetTimer)
REPLACE_WINAPI_IMPORT(GetMessageA, 16, FailingGetMessage)

TEST_CASE("the window asks for its two-second tick, and without it the program ends at once, showing nothing")
{
    refuseTimer = 1;
    CHECK(WinMain(GetModuleHandleA(NULL), NULL, NULL, SW_SHOWDEFAULT) == 0);
    const std::string tick = std::to_string(Contract::TICK_MS), id = std::to_string(Contract::TIMER_ID);
    CHECK_SEQUENCE(timerCalls,
                   {std::string("SetTimer ") + Contract::WINDOW_CLASS + " id=" + id + " ms=" + tick + " no callback"});
    CHECK(FindWindowA(Contract::WINDOW_CLASS, NULL) == NULL);
}

TEST_CASE("a message loop whose GetMessageA fails ends at once with status 0, rather than spinning")
{
    failMessages = 1;
    CHECK(WinMain(GetModuleHandleA(NULL), NULL, NULL, SW_SHOWDEFAULT) == 0);
    CHECK(messageCalls == 1);
    HWND window = FindWindowA(Contract::WINDOW_CLASS, Contract::WINDOW_TITLE);
    CHECK(window != NULL); // it had opened: the loop itself gave up
    DestroyWindow(window);
}
