#include "job/job.h"

#include <stdlib.h>

#include "actions/driver_alert.h"
#include "actions/encoders.h"
#include "actions/recorder.h"
#include "actions/shutdown.h"
#include "job/lamps.h"
#include "schedule/schedule.h"

static void LightLamp(HWND window, BYTE bit)
{
    Job.lampFlags |= bit;
    for (const Lamp &lamp : LAMPS)
        if (lamp.bit == bit)
            InvalidateRect(window, &lamp.bounds, FALSE);
}

// WAIT_START and WAIT_STOP share this: a missed start (or a STOP that comes
// round first) still stops the recorder and ends the job.
static void WatchStartAndStop(HWND window)
{
    MinuteOfDay now = GetNowMinute();

    if (Job.state == STATE_WAIT_START && now == SubMinutes(Schedule.startMinute, 1))
    {
        if (SendRecorderCommand(CMD_REC_START))
        {
            LightLamp(window, LAMP_REC);
            Job.state = STATE_DISMISS_ALERT;
            WakeForNextStep(); // now for the minute after STOP
        }
        return;
    }

    if (now == AddMinutes(Schedule.stopMinute, 1) && SendRecorderCommand(CMD_REC_STOP))
    {
        Job.state = STATE_WAIT_ENCODERS;
        LightLamp(window, LAMP_STOP);
        SetForegroundWindow(window);
        WakeForNextStep(); // cancelled: nothing more to wake for
    }
}

static void WatchDriverAlert()
{
    if (DismissDriverAlert() == 1)
        Job.state = STATE_WAIT_STOP;
    Job.alertTries++;
    if (Job.alertTries > ALERT_TRY_LIMIT)
        Job.state = STATE_WAIT_STOP;
}

static void WatchEncoders(HWND window)
{
    if (EncodersRunning())
        return;
    // The box is read only now, so it can be changed right up to this moment.
    if (SendMessageA(shutdownCheck, BM_GETCHECK, 0, 0))
    {
        LightLamp(window, LAMP_SHUTDOWN);
        Job.state = STATE_COUNTDOWN;
        return;
    }
    exit(0);
}

static void CountDown()
{
    if (Job.countdown > 0)
    {
        Job.countdown--;
        return;
    }
    ShutdownWindows();
    exit(0);
}

LRESULT OnTick(HWND window)
{
    if (Job.skipNextTick == 1)
    {
        Job.skipNextTick = 0;
        return 0;
    }

    switch (Job.state)
    {
    case STATE_WAIT_START:
    case STATE_WAIT_STOP:     WatchStartAndStop(window); break;
    case STATE_DISMISS_ALERT: WatchDriverAlert(); break;
    case STATE_WAIT_ENCODERS: WatchEncoders(window); break;
    case STATE_COUNTDOWN:     CountDown(); break;
    }
    KeepWakeAhead();
    return 0;
}
