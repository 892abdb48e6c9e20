// Switching the machine off at the end of a job.
#ifndef VARNEL_ACTIONS_SHUTDOWN_H
#define VARNEL_ACTIONS_SHUTDOWN_H

// Forced shutdown on the Windows 95 family; forced power-off on the NT
// family. Returns once the request is made, or has failed.
void ShutdownWindows();

#endif
