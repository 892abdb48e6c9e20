// The recording job: one run from waiting for REC to the final exit,
// moved forward by the window's two-second timer.
#ifndef VARNEL_JOB_JOB_H
#define VARNEL_JOB_JOB_H

#include <time.h>
#include <windows.h>

const UINT_PTR TIMER_ID = 1;
const UINT TICK_MS = 2000;
const int ALERT_TRY_LIMIT = 5;    // a sixth handled tick ends the alert watch
const int SHUTDOWN_COUNTDOWN = 5; // handled ticks between the yellow lamp and the shutdown

enum JobState : int
{
    STATE_WAIT_START = 0,    // waiting for the minute before REC (or the one after STOP)
    STATE_DISMISS_ALERT = 1, // recorder started; answering the driver's alert
    STATE_WAIT_STOP = 2,     // recording; waiting for the minute after STOP
    STATE_WAIT_ENCODERS = 3, // recorder stopped; waiting for the encoders to finish
    STATE_COUNTDOWN = 4      // counting down to the shutdown
};

struct JobRecord
{
    JobState state;
    int countdown;
    int skipNextTick;
    int alertTries;
    BYTE lampFlags; // LAMPS bits; only the yellow one is ever cleared
};

extern JobRecord Job;

// The "shutdown Windows" check box, made with the window; read once the
// encoders are gone.
extern HWND shutdownCheck;

// One timer tick. Returns 0, unless it ends the process.
LRESULT OnTick(HWND window);

// Every click: skip the next tick, step a time, redraw both times, and
// wake the machine for the times as they now are.
LRESULT OnCommand(HWND window, int id);

// When the machine should wake, seen from `now`, for the next minute the job
// watches for: two minutes before that minute begins (or as it begins, when
// that is too late). While waiting for REC that is the minute before REC or
// the one after STOP, whichever comes first; while recording, the one after
// STOP. 0 once the recorder is stopped: nothing more to wake for.
time_t WakeMoment(time_t now);

// Sets the machine's wake-up for the job as it now stands, or cancels it.
void WakeForNextStep();

// Every handled tick: once the moment of the wake set has come, sets the
// next one, if it differs; nothing otherwise.
void KeepWakeAhead();

// WM_POWERBROADCAST: Windows' news of a sleep or a wake (a PBT_ event).
// Returns TRUE, which also grants a query to sleep.
LRESULT OnPowerEvent(WPARAM event);

#endif
