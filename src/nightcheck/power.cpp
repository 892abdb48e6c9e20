// How the machine is powered, and how it sleeps.
#include "nightcheck/checks.h"
#include "nightcheck/power_api.h"

// SYSTEM_POWER_STATUS.ACLineStatus: offline (on battery), online.
const BYTE ON_BATTERY = 0;
const BYTE ON_MAINS = 1;

void CheckPower()
{
    SYSTEM_POWER_STATUS status;
    if (!ReadPowerStatus(&status) || (status.ACLineStatus != ON_BATTERY && status.ACLineStatus != ON_MAINS))
        Say(VERDICT_CHECK, "Windows does not tell. Keep the machine on mains." SEE_EVERY_NIGHT);
    else if (status.ACLineStatus == ON_BATTERY)
        Say(VERDICT_PROBLEM, "on battery: Windows may sleep all the same. Keep it on mains." SEE_EVERY_NIGHT);
    else
        Say(VERDICT_FINE, "on mains.");
}

void CheckModernStandby()
{
    switch (ReadModernStandby())
    {
    case STANDBY_MODERN:
        // Varnel itself keeps the machine from sleeping by itself.
        Say(VERDICT_PROBLEM, "Varnel cannot wake this machine. Do not put it to sleep tonight." SEE_A_NIGHT_ASLEEP);
        break;
    case STANDBY_UNTOLD:
        Say(VERDICT_CHECK, "Windows does not tell; ask \"powercfg /a\"." SEE_A_NIGHT_ASLEEP);
        break;
    case STANDBY_NONE:
        Say(VERDICT_FINE, "not used here.");
        break;
    }
}
