// Windows' power functions that only later Windows have, looked up as the
// check runs: POWRPROF.DLL itself is missing from Windows 95 and NT 4.0.
#ifndef VARNEL_NIGHTCHECK_POWER_API_H
#define VARNEL_NIGHTCHECK_POWER_API_H

#include <windows.h>

#include <powrprof.h>

// The named POWRPROF function, or NULL where this Windows lacks it.
FARPROC LookUpPowrProf(const char *name);

// The machine's power status (GetSystemPowerStatus, which NT 4.0 lacks);
// 0 where Windows cannot tell.
int ReadPowerStatus(SYSTEM_POWER_STATUS *status);

// 1 where the machine has a battery, 0 where it has none or cannot tell.
int HasBattery();

// What the machine can do, as GetPwrCapabilities tells, into a structure
// cleared first: CAPABILITIES_MISSING where this Windows lacks the call
// (95, NT 4.0), CAPABILITIES_UNTOLD where it fails.
enum Capabilities
{
    CAPABILITIES_MISSING,
    CAPABILITIES_UNTOLD,
    CAPABILITIES_READ,
};
Capabilities ReadCapabilities(SYSTEM_POWER_CAPABILITIES *capabilities);

// Whether the machine sleeps in Modern Standby (S0 Low Power Idle), from
// which no wake of a program's timer is documented.
enum ModernStandby
{
    STANDBY_UNTOLD = -1, // Windows could not tell
    STANDBY_NONE = 0,    // it sleeps otherwise, or this Windows has none
    STANDBY_MODERN = 1,
};
ModernStandby ReadModernStandby();

// A setting of the active power plan (Windows Vista and later).
enum PlanRead
{
    PLAN_NONE,       // this Windows has no power plans
    PLAN_UNREADABLE, // it has, but the active one could not be found
    PLAN_READ,       // the values were asked for
};
const DWORD NOT_READ = 0xFFFFFFFF;   // the value could not be read
const DWORD NO_BATTERY = 0xFFFFFFFE; // the machine has no battery to read it for
// The setting's value on mains and on battery; either may be NOT_READ, and
// the second NO_BATTERY.
PlanRead ReadPlanSetting(const GUID &subgroup, const GUID &setting, DWORD *onMains, DWORD *onBattery);

// Before power plans (Windows 2000 and XP): the global power policy, read
// as PLAN_READ, PLAN_UNREADABLE, or PLAN_NONE where this Windows has none.
PlanRead ReadGlobalPolicy(GLOBAL_POWER_POLICY *policy);

// The plan settings read are named as winnt.h names them
// (GUID_SLEEP_SUBGROUP, GUID_ALLOW_RTC_WAKE for "Allow wake timers",
// NO_SUBGROUP_GUID, GUID_LOCK_CONSOLE_ON_WAKE for "Require a password on
// wakeup", GUID_SYSTEM_BUTTON_SUBGROUP, GUID_LIDCLOSE_ACTION for "When I
// close the lid"); power_api.cpp defines them, for the program links no
// uuid library.

#endif
