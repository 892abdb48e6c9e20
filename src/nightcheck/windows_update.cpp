// Windows Update, whose restart to finish an update ends the job.
#include "nightcheck/checks.h"

// The documented place: group policy's active hours, used where
// SetActiveHours is 1 ("Manage device restarts after updates"). Shared by
// the 32-bit and 64-bit registry views ("Registry Keys Affected by WOW64").
static const char POLICY_KEY[] = "Software\\Policies\\Microsoft\\Windows\\WindowsUpdate";
// Where Windows 10 and 11 keep the hours the user set; no page documents
// it, so what is found there is told as a guess.
static const char UPDATE_SETTINGS_KEY[] = "SOFTWARE\\Microsoft\\WindowsUpdate\\UX\\Settings";

static int ReadNumber(HKEY key, const char *name, DWORD *number)
{
    DWORD type, length = sizeof *number;
    return RegQueryValueExA(key, name, NULL, &type, (BYTE *)number, &length) == ERROR_SUCCESS && type == REG_DWORD;
}

// The active hours under the key, where both are hours of the day; with
// policy, only where it says to use them.
static int ReadHours(const char *keyName, REGSAM view, int policy, DWORD hours[2])
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS)
        return 0;
    DWORD used = 1;
    int found = (!policy || (ReadNumber(key, "SetActiveHours", &used) && used == 1)) &&
                ReadNumber(key, "ActiveHoursStart", &hours[0]) && ReadNumber(key, "ActiveHoursEnd", &hours[1]) &&
                hours[0] < 24 && hours[1] < 24;
    RegCloseKey(key);
    return found;
}

void CheckWindowsUpdate()
{
    // Windows 8.1 and later tell a program without a manifest that they are
    // 6.2: the topic is told whatever the version says.
    DWORD hours[2];
    if (ReadHours(POLICY_KEY, 0, 1, hours))
        Say(VERDICT_CHECK, "active hours %02lu:00 to %02lu:00, set by policy: they must cover the night.", hours[0],
            hours[1]);
    // The 64-bit view: 64-bit Windows shows a 32-bit program another key
    // under SOFTWARE unless asked for this one.
    else if (ReadHours(UPDATE_SETTINGS_KEY, KEY_WOW64_64KEY, 0, hours))
        Say(VERDICT_CHECK, "set its active hours (seemingly %02lu:00 to %02lu:00) to cover the night.", hours[0],
            hours[1]);
    else
        Say(VERDICT_CHECK, "set its active hours to cover the night.");
}
