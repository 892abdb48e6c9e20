#include "job/job.h"

#include <stdlib.h>

#include "actions/driver_alert.h"
#include "actions/encoders.h"
#include "actions/recorder.h"
#include "actions/shutdown.h"
#include "job/lamps.h"
#include "schedule/schedule.h"

// Lights the lamp, or puts it out once lit, and has it redrawn; only the
// yellow one ever goes out. Its area is then erased, since a paint draws
// only the lamps that are lit.
static void SwitchLamp(HWND window, BYTE bit)
{
    Job.lampFlags ^= bit;
    BOOL goneOut = !(Job.lampFlags & bit);
    for (const Lamp &lamp : LAMPS)
        if (lamp.bit == bit)
            InvalidateRect(window, &lamp.bounds, goneOut);
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
            SwitchLamp(window, LAMP_REC);
            Job.state = STATE_DISMISS_ALERT;
            WakeForNextStep(); // now for the minute after STOP
        }
        return;
    }

    if (now == AddMinutes(Schedule.stopMinute, 1) && SendRecorderCommand(CMD_REC_STOP))
    {
        Job.state = STATE_WAIT_ENCODERS;
        SwitchLamp(window, LAMP_STOP);
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

// WAIT_ENCODERS and COUNTDOWN share this: the encoders are looked for on
// every tick until the shutdown, since one may open after another has
// closed, or some seconds after the stop. Windows is shut down only once
// the whole countdown has passed without an encoder window.
static void WatchEncoders(HWND window)
{
    if (EncodersRunning())
    {
        if (Job.state == STATE_COUNTDOWN)
        {
            SwitchLamp(window, LAMP_SHUTDOWN);
            Job.state = STATE_WAIT_ENCODERS;
        }
        return;
    }
    if (Job.state == STATE_COUNTDOWN)
    {
        if (Job.countdown > 0)
        {
            Job.countdown--;
            return;
        }
        ShutdownWindows();
        exit(0);
    }
    // The box is read only as none is left, so it can be changed right up
    // to this moment.
    if (SendMessageA(shutdownCheck, BM_GETCHECK, 0, 0))
    {
        SwitchLamp(window, LAMP_SHUTDOWN);
        Job.state = STATE_COUNTDOWN;
        Job.countdown = SHUTDOWN_COUNTDOWN; // afresh after every encoder
        return;
    }
    exit(0);
}

LRESULT OnTick(HWND window)
{
    if (Job.skipNextTick == 1)
    {
        Job.skipNextTick = 0;
        return 0;
    }

    // Tests rather than a switch, which takes more bytes than the file has
    // left; the states after the stop are the last two.
    if (Job.state >= STATE_WAIT_ENCODERS)
        WatchEncoders(window);
    else if (Job.state == STATE_DISMISS_ALERT)
        WatchDriverAlert();
    else
        WatchStartAndStop(window);
    KeepWakeAhead();
    return 0;
}
