#include "schedule/schedule.h"

static const int HOUR_STEP = 60;
static const int MINUTE_STEP = 5;

ScheduleTimes Schedule;

const RECT RECT_START_TIME = {60, 3, 150, 34};
const RECT RECT_STOP_TIME = {60, 37, 150, 68};

void InitSchedule()
{
    MinuteOfDay now = GetNowMinute();
    Schedule.startMinute = FloorToHour(AddMinutes(now, HOUR_STEP + MINUTE_STEP));
    Schedule.stopMinute = FloorToHour(AddMinutes(Schedule.startMinute, HOUR_STEP));
}

void StepSchedule(int id)
{
    switch (id)
    {
    // clang-format off
    case IDC_START_HOUR_UP:   Schedule.startMinute = AddMinutes(Schedule.startMinute, HOUR_STEP); break;
    case IDC_START_HOUR_DOWN: Schedule.startMinute = SubMinutes(Schedule.startMinute, HOUR_STEP); break;
    case IDC_START_MIN_UP:    Schedule.startMinute = AddMinutes(Schedule.startMinute, MINUTE_STEP); break;
    case IDC_START_MIN_DOWN:  Schedule.startMinute = SubMinutes(Schedule.startMinute, MINUTE_STEP); break;
    case IDC_STOP_HOUR_UP:    Schedule.stopMinute = AddMinutes(Schedule.stopMinute, HOUR_STEP); break;
    case IDC_STOP_HOUR_DOWN:  Schedule.stopMinute = SubMinutes(Schedule.stopMinute, HOUR_STEP); break;
    case IDC_STOP_MIN_UP:     Schedule.stopMinute = AddMinutes(Schedule.stopMinute, MINUTE_STEP); break;
    case IDC_STOP_MIN_DOWN:   Schedule.stopMinute = SubMinutes(Schedule.stopMinute, MINUTE_STEP); break;
    default: break; // the check box keeps its own state
        // clang-format on
    }
}
