#include "nightcheck/power_api.h"

#include "actions/lookup.h"
#include "companion/system_library.h"

// As winnt.h of later Windows defines them.
extern "C" const GUID NO_SUBGROUP_GUID = {0xfea3413e, 0x7e05, 0x4911, {0x9a, 0x71, 0x70, 0x03, 0x31, 0xf1, 0xc2, 0x94}};
extern "C" const GUID GUID_SLEEP_SUBGROUP = {
    0x238c9fa8, 0x0aad, 0x41ed, {0x83, 0xf4, 0x97, 0xbe, 0x24, 0x2c, 0x8f, 0x20}};
extern "C" const GUID GUID_ALLOW_RTC_WAKE = {
    0xbd3b718a, 0x0680, 0x4d9d, {0x8a, 0xb2, 0xe1, 0xd2, 0xb4, 0xac, 0x80, 0x6d}};
extern "C" const GUID GUID_LOCK_CONSOLE_ON_WAKE = {
    0x0e796bdb, 0x100d, 0x47d6, {0xa2, 0xd5, 0xf7, 0xd2, 0xda, 0xa5, 0x1f, 0x51}};
extern "C" const GUID GUID_SYSTEM_BUTTON_SUBGROUP = {
    0x4f971e89, 0xeebd, 0x4455, {0xa8, 0xde, 0x9e, 0x59, 0x04, 0x0e, 0x73, 0x47}};
extern "C" const GUID GUID_LIDCLOSE_ACTION = {
    0x5ca83367, 0x6e45, 0x459f, {0xa2, 0x7b, 0x47, 0x6b, 0x1d, 0x01, 0xc9, 0x36}};

typedef BOOL(WINAPI *GetPowerStatus)(SYSTEM_POWER_STATUS *);
typedef BOOLEAN(WINAPI *GetCapabilities)(SYSTEM_POWER_CAPABILITIES *);
typedef DWORD(WINAPI *GetActiveScheme)(HKEY, GUID **);
typedef DWORD(WINAPI *ReadValueIndex)(HKEY, const GUID *, const GUID *, const GUID *, DWORD *);
typedef BOOLEAN(WINAPI *ReadGlobal)(GLOBAL_POWER_POLICY *);

// GetSystemPowerStatus reports no system battery with this flag, and that
// it cannot tell with the other (SYSTEM_POWER_STATUS.BatteryFlag).
const BYTE BATTERY_NONE = 128;
const BYTE BATTERY_UNKNOWN = 255;

FARPROC LookUpPowrProf(const char *name)
{
    static HMODULE powrProf;
    static int loaded;
    if (!loaded)
    {
        loaded = 1;
        powrProf = LoadSystemLibrary("powrprof.dll"); // missing from Windows 95 and NT 4.0
    }
    return powrProf != NULL ? GetProcAddress(powrProf, name) : NULL;
}

int ReadPowerStatus(SYSTEM_POWER_STATUS *status)
{
    GetPowerStatus get = (GetPowerStatus)(void *)LookUpKernel32("GetSystemPowerStatus");
    return get != NULL && get(status) ? 1 : 0;
}

int HasBattery()
{
    SYSTEM_POWER_STATUS status;
    return ReadPowerStatus(&status) && status.BatteryFlag != BATTERY_NONE && status.BatteryFlag != BATTERY_UNKNOWN;
}

Capabilities ReadCapabilities(SYSTEM_POWER_CAPABILITIES *capabilities)
{
    // Cleared first: a Windows older than 8 (and Wine) never writes the
    // Modern Standby byte.
    ZeroMemory(capabilities, sizeof *capabilities);
    GetCapabilities get = (GetCapabilities)(void *)LookUpPowrProf("GetPwrCapabilities");
    if (get == NULL)
        return CAPABILITIES_MISSING;
    return get(capabilities) ? CAPABILITIES_READ : CAPABILITIES_UNTOLD;
}

ModernStandby ReadModernStandby()
{
    SYSTEM_POWER_CAPABILITIES capabilities;
    switch (ReadCapabilities(&capabilities))
    {
    case CAPABILITIES_MISSING:
        return STANDBY_NONE; // Windows 95 and NT 4.0: no such sleep
    case CAPABILITIES_UNTOLD:
        return STANDBY_UNTOLD;
    default:
        // AoAc, as Windows 8 and later name the byte after FastSystemS4.
        return capabilities.spare2[2] ? STANDBY_MODERN : STANDBY_NONE;
    }
}

PlanRead ReadPlanSetting(const GUID &subgroup, const GUID &setting, DWORD *onMains, DWORD *onBattery)
{
    *onMains = NOT_READ;
    *onBattery = HasBattery() ? NOT_READ : NO_BATTERY;
    GetActiveScheme getActive = (GetActiveScheme)(void *)LookUpPowrProf("PowerGetActiveScheme");
    if (getActive == NULL)
        return PLAN_NONE;
    GUID *scheme = NULL;
    if (getActive(NULL, &scheme) != ERROR_SUCCESS || scheme == NULL)
        return PLAN_UNREADABLE;

    ReadValueIndex readMains = (ReadValueIndex)(void *)LookUpPowrProf("PowerReadACValueIndex");
    ReadValueIndex readBattery = (ReadValueIndex)(void *)LookUpPowrProf("PowerReadDCValueIndex");
    DWORD value;
    if (readMains != NULL && readMains(NULL, scheme, &subgroup, &setting, &value) == ERROR_SUCCESS)
        *onMains = value;
    if (*onBattery == NOT_READ && readBattery != NULL &&
        readBattery(NULL, scheme, &subgroup, &setting, &value) == ERROR_SUCCESS)
        *onBattery = value;
    LocalFree(scheme); // Windows allocated it for the caller
    return PLAN_READ;
}

PlanRead ReadGlobalPolicy(GLOBAL_POWER_POLICY *policy)
{
    ReadGlobal read = (ReadGlobal)(void *)LookUpPowrProf("ReadGlobalPwrPolicy");
    if (read == NULL)
        return PLAN_NONE;
    return read(policy) ? PLAN_READ : PLAN_UNREADABLE;
}
