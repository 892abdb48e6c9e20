#include "job/job.h"

#include "schedule/schedule.h"

LRESULT OnCommand(HWND window, int id)
{
    // Any click means someone is at the machine: let the next tick pass so
    // that a time being stepped through is not acted on half-way.
    Job.skipNextTick = 1;
    StepSchedule(id);
    WakeForNextStep();
    InvalidateRect(window, &RECT_START_TIME, FALSE);
    InvalidateRect(window, &RECT_STOP_TIME, FALSE);
    return 0;
}
