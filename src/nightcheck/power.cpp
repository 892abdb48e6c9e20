// How the machine is powered, and how it sleeps.
#include "nightcheck/checks.h"
#include "nightcheck/power_api.h"

// SYSTEM_POWER_STATUS.ACLineStatus: offline (on battery), online; 255 is
// unknown.
const BYTE ON_BATTERY = 0;
const BYTE ON_MAINS = 1;

void CheckPower()
{
    SYSTEM_POWER_STATUS status;
    if (!ReadPowerStatus(&status) || (status.ACLineStatus != ON_BATTERY && status.ACLineStatus != ON_MAINS))
        Say(VERDICT_CHECK, "not known. Keep it on mains.");
    else if (status.ACLineStatus == ON_BATTERY)
        Say(VERDICT_PROBLEM, "on battery. Keep it on mains.");
    else
        Say(VERDICT_FINE, "on mains.");
}

void CheckModernStandby()
{
    switch (ReadModernStandby())
    {
    case STANDBY_MODERN:
        // Its sleep comes with the screen going off, the lid closing or
        // Sleep chosen, ends the request to stay up, and pauses Varnel: a
        // night left on works where none of these comes.
        Say(VERDICT_PROBLEM, "Varnel cannot wake it. Keep it on mains, lid open; never choose Sleep.");
        break;
    case STANDBY_UNTOLD:
        Say(VERDICT_CHECK, "Windows does not tell; ask \"powercfg /a\".");
        break;
    case STANDBY_NONE:
        Say(VERDICT_FINE, "not used here.");
        break;
    }
}
