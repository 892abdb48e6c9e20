#include "outside_fake.h"

#include <stdio.h>

#include "actions/awake.h"
#include "actions/driver_alert.h"
#include "actions/encoders.h"
#include "actions/recorder.h"
#include "actions/shutdown.h"
#include "actions/wake.h"
#include "contract.h"
#include "exit_trap.h"
#include "schedule/schedule.h"

OutsideFake Outside;
const JobRecord JobAtStart = Job;

MinuteOfDay GetNowMinute()
{
    return Outside.now;
}

time_t GetNowTime()
{
    return Outside.calendar;
}

MinuteOfDay MinuteAt(time_t calendar)
{
    return (MinuteOfDay)(calendar / 60 % MINUTES_PER_DAY);
}

void SetClock(time_t calendar)
{
    Outside.calendar = calendar;
    Outside.now = MinuteAt(calendar);
}

static int Log(EventKind kind, int arg, int result)
{
    Outside.events.push_back({kind, arg, result});
    return result;
}

int SendRecorderCommand(int code)
{
    int known = code == Contract::CMD_REC_START || code == Contract::CMD_REC_STOP;
    return Log(EV_RECORDER, code, known ? Outside.recorderAnswer : 0);
}

int DismissDriverAlert()
{
    return Log(EV_ALERT, 0, Outside.alertAnswer);
}

int EncodersRunning()
{
    return Log(EV_ENCODERS, 0, Outside.encodersAnswer);
}

void ShutdownWindows()
{
    Log(EV_SHUTDOWN, 0, 0);
}

int KeepMachineAwake()
{
    return Log(EV_AWAKE, 0, 1);
}

int SetWakeUp(time_t when)
{
    Outside.wakeDue = when;
    return Log(EV_WAKE, when != 0 ? MinuteAt(when) : NO_WAKE, 1);
}

static WNDPROC checkBoxProc;
static HWND panel;
static HWND other;
static int erasePending;

static LRESULT CALLBACK CheckBoxSpy(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = CallWindowProcA(checkBoxProc, window, message, wParam, lParam);
    if (message == BM_GETCHECK)
        Log(EV_CHECK_READ, 0, (int)result);
    return result;
}

static LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ERASEBKGND)
        erasePending = 1;
    return DefWindowProcA(window, message, wParam, lParam);
}

static void CreateWindows()
{
    WNDCLASSA panelClass = {};
    panelClass.lpfnWndProc = PanelProc;
    panelClass.hInstance = GetModuleHandleA(NULL);
    panelClass.lpszClassName = "TestPanel";
    panelClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    RegisterClassA(&panelClass);
    panel = CreateWindowExA(0, "TestPanel", "panel", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 240, 160, NULL, NULL,
                            panelClass.hInstance, NULL);
    other = CreateWindowExA(0, "TestPanel", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 0, 240, 160, NULL, NULL,
                            panelClass.hInstance, NULL);
    shutdownCheck = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 40, 73, 12, 12, panel,
                                    (HMENU)(INT_PTR)Contract::IDC_SHUTDOWN_CHECK, panelClass.hInstance, NULL);
    checkBoxProc = (WNDPROC)SetWindowLongPtrA(shutdownCheck, GWLP_WNDPROC, (LONG_PTR)CheckBoxSpy);
}

HWND Panel()
{
    if (panel == NULL)
        CreateWindows();
    return panel;
}

HWND OtherWindow()
{
    Panel();
    return other;
}

void SetBox(int ticked)
{
    Panel();
    SendMessageA(shutdownCheck, BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void ResetRun(MinuteOfDay start, MinuteOfDay stop, JobState state)
{
    Job = JobAtStart;
    Job.state = state;
    Schedule.startMinute = start;
    Schedule.stopMinute = stop;
    Outside.recorderAnswer = 1;
    Outside.alertAnswer = 0;
    Outside.encodersAnswer = 0;
    SetClock(FIRST_DAY);
    WakeForNextStep(); // as the window opens
    SetBox(0);
    Outside.events.clear();
    TakeRedraw();
}

static void TickPanel(void *)
{
    OnTick(Panel());
}

int Tick()
{
    int status = 0;
    if (RunTrappingExit(TickPanel, NULL, &status))
    {
        Log(EV_EXIT, status, 0);
        return 1;
    }
    return 0;
}

int TickAt(MinuteOfDay now, int n)
{
    time_t minuteStart = Outside.calendar - Outside.calendar % 60;
    SetClock(minuteStart + 60 * SubMinutes(now, MinuteAt(minuteStart)));
    for (int i = 0; i < n; i++)
        if (Tick())
            return 1;
    return 0;
}

Redraw TakeRedraw()
{
    Redraw redraw = {};
    HWND window = Panel();
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (GetUpdateRgn(window, region, FALSE) > NULLREGION)
    {
        char buffer[4096];
        DWORD size = GetRegionData(region, sizeof buffer, (RGNDATA *)buffer);
        if (size > 0 && size <= sizeof buffer)
        {
            const RGNDATA *data = (const RGNDATA *)buffer;
            const RECT *rects = (const RECT *)data->Buffer;
            for (DWORD i = 0; i < data->rdh.nCount; i++)
                redraw.rects.push_back(rects[i]);
        }
    }
    DeleteObject(region);
    // Painting now shows whether the invalidation asked for an erase.
    erasePending = 0;
    UpdateWindow(window);
    redraw.erase = erasePending;
    ValidateRect(window, NULL);
    return redraw;
}

static HRGN RegionOf(const RECT *rects, size_t count)
{
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    for (size_t i = 0; i < count; i++)
    {
        HRGN piece = CreateRectRgnIndirect(&rects[i]);
        CombineRgn(region, region, piece, RGN_OR);
        DeleteObject(piece);
    }
    return region;
}

int SameRects(const std::vector<RECT> &actual, std::initializer_list<RECT> expected)
{
    HRGN have = RegionOf(actual.data(), actual.size());
    HRGN want = RegionOf(expected.begin(), expected.size());
    int same = EqualRgn(have, want);
    DeleteObject(have);
    DeleteObject(want);
    return same;
}

std::string Ev(EventKind kind, int arg, int result)
{
    static const char *const names[] = {"recorder", "alert", "encoders", "check-read",
                                        "shutdown", "exit",  "wake",     "awake"};
    char line[64];
    if (kind == EV_WAKE && arg == NO_WAKE)
        snprintf(line, sizeof line, "wake(none)->%d", result);
    else if (kind == EV_WAKE)
        snprintf(line, sizeof line, "wake(%02d:%02d)->%d", arg / 60, arg % 60, result);
    else
        snprintf(line, sizeof line, "%s(%d)->%d", names[kind], arg, result);
    return line;
}

Sequence Lines(const std::vector<Event> &events)
{
    Sequence lines;
    for (const Event &e : events)
        lines.push_back(Ev(e.kind, e.arg, e.result));
    return lines;
}

Sequence TakeEvents()
{
    Sequence lines = Lines(Outside.events);
    Outside.events.clear();
    return lines;
}

int CountEvents(EventKind kind, int arg)
{
    int count = 0;
    for (const Event &e : Outside.events)
        if (e.kind == kind && (arg < 0 || e.arg == arg))
            count++;
    return count;
}
