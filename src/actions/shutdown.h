// Switching the machine off at the end of a job.
#ifndef VARNEL_ACTIONS_SHUTDOWN_H
#define VARNEL_ACTIONS_SHUTDOWN_H

#include <windows.h>

// Other programs may not object: a forced shutdown on the Windows 95
// family, a forced power-off on the NT family.
const UINT SHUTDOWN_FLAGS_95 = EWX_SHUTDOWN | EWX_FORCE;
const UINT SHUTDOWN_FLAGS_NT = EWX_POWEROFF | EWX_FORCE;
const char SHUTDOWN_PRIVILEGE[] = "SeShutdownPrivilege";

// Returns once the request is made, or has failed; nothing is shown.
void ShutdownWindows();

#endif
