#include "job/job.h"

// Initialised in the program image: the job is ready before the window exists.
JobRecord Job = {STATE_WAIT_START, SHUTDOWN_COUNTDOWN, 0, 0, 0};

HWND shutdownCheck;
