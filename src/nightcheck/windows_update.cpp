// Windows Update, whose restart to finish an update ends the job.
#include "nightcheck/checks.h"

// Where Windows 10 and 11 keep the active hours; no documented function
// reads them, so what is found is told as advice.
static const char UPDATE_SETTINGS_KEY[] = "SOFTWARE\\Microsoft\\WindowsUpdate\\UX\\Settings";

static int ReadHour(HKEY key, const char *name, DWORD *hour)
{
    DWORD type, length = sizeof *hour;
    return RegQueryValueExA(key, name, NULL, &type, (BYTE *)hour, &length) == ERROR_SUCCESS && type == REG_DWORD &&
           *hour < 24;
}

void CheckWindowsUpdate()
{
    // Windows 8.1 and later tell a program without a manifest that they are
    // 6.2: the topic is told whatever the version says.
    char hours[48] = "";
    HKEY key;
    // The 64-bit view: 64-bit Windows shows a 32-bit program another key
    // under SOFTWARE unless asked for this one.
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UPDATE_SETTINGS_KEY, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) ==
        ERROR_SUCCESS)
    {
        DWORD start, end;
        if (ReadHour(key, "ActiveHoursStart", &start) && ReadHour(key, "ActiveHoursEnd", &end))
            wsprintfA(hours, " (seemingly %02lu:00 to %02lu:00 now)", start, end);
        RegCloseKey(key);
    }
    Say(VERDICT_CHECK, "set its active hours%s to cover the night." SEE_EVERY_NIGHT, hours);
}
