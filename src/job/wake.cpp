#include "job/job.h"

#include "actions/wake.h"
#include "schedule/schedule.h"

// Seconds: time for a machine to come out of standby or hibernation and for
// the tick to come round before the minute it is woken for.
static const int WAKE_LEAD = 2 * 60;

static time_t wakeAt; // the moment last given to Windows; 0 for none

time_t WakeMoment(time_t now)
{
    MinuteOfDay stop = AddMinutes(Schedule.stopMinute, 1);
    MinuteOfDay first = stop;
    if (Job.state == STATE_WAIT_START)
        first = SubMinutes(Schedule.startMinute, 1);
    else if (Job.state > STATE_WAIT_STOP)
        return 0;
    time_t begins = NextMinuteStart(now, first, stop);
    // Too late for the lead (a click just before the minute): wake as the
    // minute begins, still in time for it. A moment already past would
    // never wake the machine, and the next day's would miss tonight's job.
    return begins - WAKE_LEAD > now ? begins - WAKE_LEAD : begins;
}

static void WakeAt(time_t moment)
{
    wakeAt = moment;
    SetWakeUp(moment);
}

void WakeForNextStep()
{
    WakeAt(WakeMoment(GetNowTime()));
}

void KeepWakeAhead()
{
    // Until its moment comes the wake stands. Once it has come, whether it
    // woke the machine or the machine was awake through it, the next one is
    // due: the minute's own start, or, once a watched minute has gone by
    // without its step, the next minute watched.
    time_t now = GetNowTime();
    if (now < wakeAt)
        return;
    time_t next = WakeMoment(now);
    if (next != wakeAt)
        WakeAt(next);
}
