// The settings of the active power plan (Windows Vista and later), or of
// the older power policy (Windows 2000 and XP), that decide a night.
#include "nightcheck/checks.h"
#include "nightcheck/power_api.h"

// "When I close the lid", as the plan writes it ("Lid switch close
// action"); the older policy's actions (POWER_ACTION) are turned into these.
const DWORD LID_DO_NOTHING = 0;
const DWORD LID_SLEEP = 1;
const DWORD LID_HIBERNATE = 2;
const DWORD LID_SHUT_DOWN = 3;
static const char *const LID_NAMES[] = {"Do nothing", "Sleep", "Hibernate", "Shut down"};
// "Allow wake timers". Which timers count as important is Windows' to
// decide, and no page says that a program's does: that value is a problem
// too, as the guide says.
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

static int Known(DWORD value, DWORD highest)
{
    return value != NO_BATTERY && !Untold(value, highest);
}

// The values on mains and on battery that `wrong` picks, named where they
// are: "<value> on mains", "..., <value> on battery", or "<value> on mains
// and on battery" where both are one. Empty where none is picked.
static void NameWrong(char *out, const DWORD values[2], DWORD highest, const char *const names[], int (*wrong)(DWORD))
{
    static const char *const PLACES[] = {"on mains", "on battery"};
    out[0] = '\0';
    DWORD named = NOT_READ;
    for (int i = 0; i < 2; i++)
        if (Known(values[i], highest) && wrong(values[i]))
        {
            if (values[i] != named)
                wsprintfA(out + lstrlenA(out), "%s\"%s\"", out[0] ? ", " : "", names[values[i]]);
            wsprintfA(out + lstrlenA(out), "%s %s", values[i] == named ? " and" : "", PLACES[i]);
            named = values[i];
        }
}

// What closing the lid does, from the older policy's action.
static DWORD LidChoice(POWER_ACTION action)
{
    if (action == PowerActionNone)
        return LID_DO_NOTHING;
    if (action == PowerActionSleep)
        return LID_SLEEP;
    if (action == PowerActionHibernate)
        return LID_HIBERNATE;
    // Shut down, shut down and restart, shut down and power off.
    return action >= PowerActionShutdown && action <= PowerActionShutdownOff ? LID_SHUT_DOWN : NOT_READ;
}

static PlanRead ReadOlderLidChoice(DWORD values[2])
{
    GLOBAL_POWER_POLICY policy;
    PlanRead read = ReadGlobalPolicy(&policy);
    if (read == PLAN_READ)
    {
        values[0] = LidChoice(policy.user.LidCloseAc.Action);
        if (values[1] != NO_BATTERY)
            values[1] = LidChoice(policy.user.LidCloseDc.Action);
    }
    return read;
}

static int ClosesTheNight(DWORD value)
{
    return value != LID_DO_NOTHING;
}

void CheckLid()
{
    SYSTEM_POWER_CAPABILITIES capabilities;
    if (ReadCapabilities(&capabilities) != CAPABILITIES_READ)
    {
        Say(VERDICT_CHECK, "Windows does not say if there is one: on a laptop, leave the lid open.");
        return;
    }
    if (!capabilities.LidPresent)
    {
        Say(VERDICT_FINE, "none here.");
        return;
    }
    DWORD values[2]; // on mains, on battery
    PlanRead read = ReadPlanSetting(GUID_SYSTEM_BUTTON_SUBGROUP, GUID_LIDCLOSE_ACTION, &values[0], &values[1]);
    if (read == PLAN_NONE)
        read = ReadOlderLidChoice(values);
    char wrong[96];
    NameWrong(wrong, values, LID_SHUT_DOWN, LID_NAMES, ClosesTheNight);
    static const char advice[] = "Leave the lid open tonight, or set \"When I close the lid\" to \"Do nothing\".";
    if (read == PLAN_READ && wrong[0])
        Say(VERDICT_CHECK, "closing it: %s. %s", wrong, advice);
    else if (read != PLAN_READ || Untold(values[0], LID_SHUT_DOWN) || Untold(values[1], LID_SHUT_DOWN))
        Say(VERDICT_CHECK, "Windows does not say what closing it does. %s", advice);
    else
        Say(VERDICT_FINE, "closing it does nothing.");
}

static int KeepsVarnelOut(DWORD value)
{
    return value == WAKE_TIMERS_DISABLE || value == WAKE_TIMERS_IMPORTANT_ONLY;
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
    char wrong[96];
    NameWrong(wrong, values, WAKE_TIMERS_IMPORTANT_ONLY, WAKE_TIMER_NAMES, KeepsVarnelOut);
    if (wrong[0])
        Say(VERDICT_PROBLEM, "%s. Set \"Enable\".", wrong);
    else if (read == PLAN_UNREADABLE || Untold(values[0], WAKE_TIMERS_IMPORTANT_ONLY) ||
             Untold(values[1], WAKE_TIMERS_IMPORTANT_ONLY))
        Say(VERDICT_CHECK, "Windows did not tell. In Power Options, set \"Allow wake timers\" to \"Enable\".");
    else
        Say(VERDICT_FINE, "enabled.");
}

// Before power plans: one choice for mains and battery alike.
static PlanRead ReadOlderPasswordChoice(DWORD *onWake)
{
    GLOBAL_POWER_POLICY policy;
    PlanRead read = ReadGlobalPolicy(&policy);
    if (read == PLAN_READ)
        *onWake = (policy.user.GlobalFlags & EnablePasswordLogon) ? PASSWORD_ON_WAKE : 0;
    return read;
}

// Where the password on waking is turned off, as the guide says for each
// Windows. Windows 8, 8.1, 10 and 11 all tell this program 6.2, and 8 has
// it in the Control Panel, the later ones in Settings.
static const char *PasswordSteps(int olderChoice)
{
    if (olderChoice)
        return "Turn it off: Power Options, Advanced, \"Prompt for password...\"";
    OSVERSIONINFOA version = WindowsVersion();
    if (version.dwMajorVersion == 6 && version.dwMinorVersion < 2)
        return "Turn it off: Power Options, \"Require a password...\"";
    if (version.dwMajorVersion == 6)
        return "Off in Power Options (Windows 8), else Settings, Sign-in options";
    return "Turn it off: Settings, Accounts, Sign-in options";
}

void CheckSignIn()
{
    if (ReadModernStandby() == STANDBY_MODERN)
    {
        // Its sleep comes as the screen goes off, on a night left on too.
        Say(VERDICT_CHECK,
            "asked once the screen is off a while, left on too. Settings: \"If you've been away\": Never.");
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
        Say(VERDICT_PROBLEM, "a password on waking. %s.", PasswordSteps(older));
    else if (read == PLAN_NONE)
        Say(VERDICT_CHECK, "this Windows does not tell. Turn off any password on waking.");
    else if (read == PLAN_UNREADABLE || Untold(onMains, PASSWORD_ON_WAKE) || Untold(onBattery, PASSWORD_ON_WAKE))
        Say(VERDICT_CHECK, "could not be read. Turn off any password on waking.");
    else
        Say(VERDICT_FINE, "no password on waking.");
}
