// Waking the machine from standby or hibernation for the job.
#ifndef VARNEL_ACTIONS_WAKE_H
#define VARNEL_ACTIONS_WAKE_H

#include <time.h>

// Sets the machine to wake at `when` (calendar time, as time() gives), in
// place of any wake set before; 0 cancels it. One timer serves the whole
// run. 1 when set or cancelled; 0 on Windows 95, which has no waitable
// timers, or when Windows refused.
int SetWakeUp(time_t when);

#endif
