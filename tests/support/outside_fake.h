// What the sequencer reaches outside itself, played by the test: a clock it
// sets, outside actions that answer as told and log each call, and a real
// panel window with a real "shutdown Windows" check box.
#ifndef VARNEL_TESTS_JOB_OUTSIDE_FAKE_H
#define VARNEL_TESTS_JOB_OUTSIDE_FAKE_H

#include <windows.h>

#include <string>
#include <vector>

#include "job/job.h"
#include "job/lamps.h"
#include "schedule/minute.h"
#include "sequence.h"

enum EventKind
{
    EV_RECORDER,   // SendRecorderCommand(arg)
    EV_ALERT,      // DismissDriverAlert()
    EV_ENCODERS,   // EncodersRunning()
    EV_CHECK_READ, // BM_GETCHECK reached the check box
    EV_SHUTDOWN,   // ShutdownWindows()
    EV_EXIT,       // exit(arg)
    EV_WAKE,       // SetWakeUp(when): arg the minute it wakes at, or NO_WAKE
    EV_AWAKE       // KeepMachineAwake()
};

const int NO_WAKE = -1; // the wake cancelled

struct Event
{
    EventKind kind;
    int arg;
    int result;
};

struct OutsideFake
{
    // The clock: the minute the sequencer reads, and the calendar time the
    // wake is found from. These tests run in a zone at UTC without summer
    // time, where one follows from the other (SetClock).
    MinuteOfDay now;
    time_t calendar;
    time_t wakeDue;     // what SetWakeUp was last given: 0 when cancelled
    int recorderAnswer; // what SendRecorderCommand returns for the two commands
    int alertAnswer;
    int encodersAnswer;
    std::vector<Event> events;
};

extern OutsideFake Outside;
extern const JobRecord JobAtStart; // Job as the program image holds it

// Midnight (UTC) of the day each run's window opens.
const time_t FIRST_DAY = 1799971200; // 2027-01-15
const int SECONDS_PER_DAY = 86400;

// The clock at a calendar time, and the minute it reads then.
void SetClock(time_t calendar);
MinuteOfDay MinuteAt(time_t calendar);

// A fresh run as its window opens at midnight: Job as at start (or in the
// state given), the given times, its wake set for them, nothing logged, box
// unticked.
void ResetRun(MinuteOfDay start, MinuteOfDay stop, JobState state = STATE_WAIT_START);

// One timer tick on the panel; 1 when it ended the process.
int Tick();
// Moves the clock on to the next start of the given minute (it stays when
// it reads that minute already), then ticks n times there.
int TickAt(MinuteOfDay now, int n = 1);

HWND Panel();
HWND OtherWindow(); // a second top-level window, to take the foreground
void SetBox(int ticked);

// The panel's pending update region as a list of rectangles, and whether an
// erase was asked for; both are then cleared.
struct Redraw
{
    std::vector<RECT> rects;
    int erase;
};
Redraw TakeRedraw();
int SameRects(const std::vector<RECT> &actual, std::initializer_list<RECT> expected);

// An event as sequences show it, e.g. "recorder(1001)->1" for a start
// command that went out, "wake(10:57)->1" for a wake set for 10:57.
std::string Ev(EventKind kind, int arg = 0, int result = 0);
Sequence Lines(const std::vector<Event> &events);
// The events logged so far, and the log emptied.
Sequence TakeEvents();
int CountEvents(EventKind kind, int arg = -1);

#endif
