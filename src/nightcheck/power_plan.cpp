// The active power plan's settings that decide a night asleep.
#include "nightcheck/checks.h"
#include "nightcheck/power_api.h"

#include <powrprof.h>

// "Allow wake timers": "Important Wake Timers Only" leaves out every
// program's timer, Varnel's among them.
const DWORD WAKE_TIMERS_DISABLE = 0;
const DWORD WAKE_TIMERS_IMPORTANT_ONLY = 2;
static const char *const WAKE_TIMER_NAMES[] = {"Disable", "Enable", "Important Wake Timers Only"};
// "Require a password on wakeup": yes.
const DWORD PASSWORD_ON_WAKE = 1;

// A value that is neither read nor known: wrong or right cannot be told.
static int Untold(DWORD value, DWORD highest)
{
    return value == NOT_READ || (value != NO_BATTERY && value > highest);
}

static int Known(DWORD value)
{
    return value != NOT_READ && value != NO_BATTERY;
}

void CheckWakeTimers()
{
    DWORD values[2]; // on mains, on battery
    PlanRead read = ReadPlanSetting(GUID_SLEEP_SUBGROUP, GUID_ALLOW_RTC_WAKE, &values[0], &values[1]);
    if (read == PLAN_NONE)
    {
        Say(VERDICT_FINE, "no such setting here.");
        return;
    }
    // Those that keep Varnel's wake out: "<value> on mains", "... and <value>
    // on battery", or "<value> on mains and on battery" where both are one.
    static const char *const PLACES[] = {"on mains", "on battery"};
    char wrong[96] = "";
    DWORD named = NOT_READ;
    for (int i = 0; i < 2; i++)
        if (Known(values[i]) && (values[i] == WAKE_TIMERS_DISABLE || values[i] == WAKE_TIMERS_IMPORTANT_ONLY))
        {
            if (values[i] != named)
                wsprintfA(wrong + lstrlenA(wrong), "%s\"%s\"", wrong[0] ? " and " : "", WAKE_TIMER_NAMES[values[i]]);
            wsprintfA(wrong + lstrlenA(wrong), "%s %s", values[i] == named ? " and" : "", PLACES[i]);
            named = values[i];
        }
    if (wrong[0])
        Say(VERDICT_PROBLEM, "%s. Set \"Allow wake timers\" to \"Enable\"." SEE_A_NIGHT_ASLEEP, wrong);
    else if (read == PLAN_UNREADABLE || Untold(values[0], WAKE_TIMERS_IMPORTANT_ONLY) ||
             Untold(values[1], WAKE_TIMERS_IMPORTANT_ONLY))
        Say(VERDICT_CHECK, "\"Allow wake timers\" could not be read. Set it to \"Enable\"." SEE_A_NIGHT_ASLEEP);
    else
        Say(VERDICT_FINE, "enabled.");
}

// Before power plans (Windows 2000 and XP): one choice for mains and
// battery alike. PLAN_NONE where this Windows has neither.
static PlanRead ReadOlderPasswordChoice(DWORD *onWake)
{
    typedef BOOLEAN(WINAPI * ReadGlobalPolicy)(GLOBAL_POWER_POLICY *);
    ReadGlobalPolicy read = (ReadGlobalPolicy)(void *)LookUpPowrProf("ReadGlobalPwrPolicy");
    if (read == NULL)
        return PLAN_NONE;
    GLOBAL_POWER_POLICY policy;
    if (!read(&policy))
        return PLAN_UNREADABLE;
    *onWake = (policy.user.GlobalFlags & EnablePasswordLogon) ? PASSWORD_ON_WAKE : 0;
    return PLAN_READ;
}

// Where the password on waking is turned off, as the guide says for each
// Windows: Vista and 7 in the power options, 8 and later in Settings.
static const char *PasswordSteps(int olderChoice)
{
    if (olderChoice)
        return "Power Options, Advanced, \"Prompt for password...\"";
    OSVERSIONINFOA version = WindowsVersion();
    return version.dwMajorVersion == 6 && version.dwMinorVersion < 2 ? "Power Options, \"Require a password...\""
                                                                     : "Settings, Accounts, Sign-in options";
}

void CheckSignIn()
{
    if (ReadModernStandby() == STANDBY_MODERN)
    {
        Say(VERDICT_CHECK,
            "Settings decide here: Accounts, Sign-in options, \"If you've been away...\": Never." SEE_A_NIGHT_ASLEEP);
        return;
    }
    DWORD onMains, onBattery;
    PlanRead read = ReadPlanSetting(NO_SUBGROUP_GUID, GUID_LOCK_CONSOLE_ON_WAKE, &onMains, &onBattery);
    int older = read == PLAN_NONE;
    if (older)
    {
        onBattery = NO_BATTERY;
        read = ReadOlderPasswordChoice(&onMains);
    }
    if (read == PLAN_READ && (onMains == PASSWORD_ON_WAKE || onBattery == PASSWORD_ON_WAKE))
        Say(VERDICT_PROBLEM, "a password is asked on waking. Turn it off: %s." SEE_A_NIGHT_ASLEEP,
            PasswordSteps(older));
    else if (read == PLAN_NONE)
        Say(VERDICT_CHECK, "this Windows does not tell. Turn off any password on waking." SEE_A_NIGHT_ASLEEP);
    else if (read == PLAN_UNREADABLE || Untold(onMains, PASSWORD_ON_WAKE) || Untold(onBattery, PASSWORD_ON_WAKE))
        Say(VERDICT_CHECK, "could not be read. Turn off any password on waking." SEE_A_NIGHT_ASLEEP);
    else
        Say(VERDICT_FINE, "no password on waking.");
}
