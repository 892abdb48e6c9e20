#include "actions/awake.h"

#include "actions/lookup.h"

typedef EXECUTION_STATE(WINAPI *SetExecutionState)(EXECUTION_STATE);

int KeepMachineAwake()
{
    // Windows 95 and NT 4.0 lack the call.
    SetExecutionState set = (SetExecutionState)(void *)LookUpKernel32("SetThreadExecutionState");
    if (set == NULL)
        return 0;
    // Continuous: in force until the process ends, however it ends.
    return set(ES_CONTINUOUS | ES_SYSTEM_REQUIRED) != 0 ? 1 : 0;
}
