// The recording job: one run from waiting for REC to the final exit,
// moved forward by the window's two-second timer.
#ifndef VARNEL_JOB_JOB_H
#define VARNEL_JOB_JOB_H

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

// Lamps on the panel; set during a run, never cleared.
const BYTE LAMP_REC = 0x02;
const BYTE LAMP_STOP = 0x08;
const BYTE LAMP_SHUTDOWN = 0x10;

struct JobRecord
{
    JobState state;
    int countdown;
    int skipNextTick;
    int alertTries;
    BYTE lampFlags;
};

extern JobRecord Job;

// One timer tick. Returns 0, unless it ends the process.
LRESULT OnTick(HWND window);

#endif
