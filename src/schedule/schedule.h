// The REC and STOP times the user sets, and the buttons that step them.
#ifndef VARNEL_SCHEDULE_SCHEDULE_H
#define VARNEL_SCHEDULE_SCHEDULE_H

#include <windows.h>

#include "schedule/minute.h"

// The IDs of the window's nine controls; each click arrives as WM_COMMAND.
enum
{
    IDC_START_HOUR_UP = 0,
    IDC_START_HOUR_DOWN = 1,
    IDC_START_MIN_UP = 2,
    IDC_START_MIN_DOWN = 3,
    IDC_STOP_HOUR_UP = 4,
    IDC_STOP_HOUR_DOWN = 5,
    IDC_STOP_MIN_UP = 6,
    IDC_STOP_MIN_DOWN = 7,
    IDC_SHUTDOWN_CHECK = 8
};

struct ScheduleTimes
{
    MinuteOfDay startMinute; // REC: the recorder starts in the minute before
    MinuteOfDay stopMinute;  // STOP: the recorder stops in the minute after
};

extern ScheduleTimes Schedule;

// Where the panel shows the two times, in client coordinates; redrawn
// without erasing whenever they may have changed.
extern const RECT RECT_START_TIME;
extern const RECT RECT_STOP_TIME;

// Defaults: REC on the first whole hour more than five minutes ahead, STOP an hour later.
void InitSchedule();

// The time the control steps; other IDs (the check box's) change nothing.
void StepSchedule(int id);

#endif
