#include "actions/awake.h"

#include "actions/lookup.h"

typedef EXECUTION_STATE(WINAPI *SetExecutionState)(EXECUTION_STATE);

static SetExecutionState setState; // NULL where this Windows lacks the call
static int lookedUp;

int KeepMachineAwake()
{
    // Windows 95 and NT 4.0 lack the call: looked up once, on the first ask.
    if (!lookedUp)
    {
        lookedUp = 1;
        setState = (SetExecutionState)(void *)LookUpKernel32("SetThreadExecutionState");
    }
    // Continuous: in force until the process ends, however it ends, or until
    // a sleep the user asks for.
    return setState != NULL && setState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED) != 0 ? 1 : 0;
}
