#include "job/job.h"

#include "actions/awake.h"

LRESULT OnPowerEvent(WPARAM event)
{
    switch (event)
    {
    case PBT_APMSUSPEND:
        // For the job as it stands at this moment: a wake whose moment has
        // come since the last tick would be all that is set for the night.
        WakeForNextStep();
        break;
    case PBT_APMRESUMEAUTOMATIC:
    case PBT_APMRESUMESUSPEND:
    case PBT_APMRESUMECRITICAL:
        // A sleep the user asked for ends the request to stay up
        // (PowerSetRequest, Remarks), and a machine woken with nobody at it
        // sleeps again within minutes unless asked not to ("System Wake-up
        // Events"): ask again, at once.
        KeepMachineAwake();
        break;
    }
    // Granted (PBT_APMQUERYSUSPEND, Windows 95 to XP: "Return TRUE to grant
    // the request"): the user's sleep is theirs, and the wake brings the
    // machine back for the job.
    return TRUE;
}
