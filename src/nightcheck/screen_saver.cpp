// The screen saver, which keeps the driver's alert from being answered.
#include "nightcheck/checks.h"

static const char DESKTOP_KEY[] = "Control Panel\\Desktop";
// Group policy's values, which take precedence over the user's own
// (Microsoft's registry reference for the policy's Control Panel key).
static const char POLICY_KEY[] = "Software\\Policies\\Microsoft\\Windows\\Control Panel\\Desktop";
// SPI_GETSCREENSAVESECURE, of later headers: Windows Vista and later answer.
const UINT GET_SCREEN_SAVE_SECURE = 0x0076;

// A value under one of the user's keys, as text (a number is written in
// decimal); 0 where it is missing.
static int ReadValue(const char *keyName, const char *name, char *text, int size)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyName, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return 0;
    BYTE data[MAX_PATH + 1];
    DWORD type, length = MAX_PATH;
    LONG result = RegQueryValueExA(key, name, NULL, &type, data, &length);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return 0;
    data[length] = '\0';
    if (type == REG_SZ || type == REG_EXPAND_SZ)
        lstrcpynA(text, (const char *)data, size);
    else // a DWORD, or the bytes Windows 95 writes
        wsprintfA(text, "%lu", length >= 4 ? *(DWORD *)data : (DWORD)data[0]);
    return 1;
}

static int ReadPolicy(const char *name, char *text, int size)
{
    return ReadValue(POLICY_KEY, name, text, size);
}

static UINT Number(const char *text)
{
    UINT number = 0;
    for (; *text >= '0' && *text <= '9'; text++)
        number = number * 10 + (UINT)(*text - '0');
    return number;
}

// The chosen screen saver's file: the policy's where it names one, else in
// SYSTEM.INI on Windows 95, 98 and Me, in the registry on the NT family.
// Empty where none is chosen.
static void ReadChosen(char *file, int size)
{
    file[0] = '\0';
    if (ReadPolicy("SCRNSAVE.EXE", file, size))
        return;
    if (WindowsVersion().dwPlatformId == VER_PLATFORM_WIN32_WINDOWS)
        GetPrivateProfileStringA("boot", "SCRNSAVE.EXE", "", file, size, "system.ini");
    else if (!ReadValue(DESKTOP_KEY, "SCRNSAVE.EXE", file, size))
        file[0] = '\0';
}

// Whether it asks for a password, as far as this Windows says: the policy,
// then Windows Vista and later, then the user's value under the NT
// family's name or the 95 family's. "" where nothing says.
static const char *Password()
{
    char value[16];
    BOOL secure;
    if (ReadPolicy("ScreenSaverIsSecure", value, sizeof value))
        secure = value[0] != '0';
    else if (!SystemParametersInfoA(GET_SCREEN_SAVE_SECURE, 0, &secure, 0))
    {
        if (!ReadValue(DESKTOP_KEY, "ScreenSaverIsSecure", value, sizeof value) &&
            !ReadValue(DESKTOP_KEY, "ScreenSaveUsePassword", value, sizeof value))
            return "";
        secure = value[0] != '0';
    }
    return secure ? ", with a password" : ", no password";
}

void CheckScreenSaver()
{
    char value[16];
    BOOL active = FALSE;
    if (ReadPolicy("ScreenSaveActive", value, sizeof value))
        active = value[0] != '0';
    else if (!SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0))
        active = FALSE;
    if (!active)
    {
        Say(VERDICT_FINE, "off.");
        return;
    }
    // Windows 2000 and 7 among others say it is on where none is chosen.
    char file[MAX_PATH];
    ReadChosen(file, sizeof file);
    if (file[0] == '\0')
    {
        Say(VERDICT_FINE, "none chosen.");
        return;
    }
    UINT seconds = 0;
    if (ReadPolicy("ScreenSaveTimeOut", value, sizeof value))
        seconds = Number(value);
    else
        SystemParametersInfoA(SPI_GETSCREENSAVETIMEOUT, 0, &seconds, 0);
    UINT minutes = (seconds + 59) / 60;
    const char *name = file; // without its folder
    for (const char *c = file; *c; c++)
        if (*c == '\\' || *c == '/')
            name = c + 1;
    // A long name cut: the box must keep its size.
    Say(VERDICT_PROBLEM, "\"%.24s\" starts after %u minute%s%s. Switch it off.", name, minutes, minutes == 1 ? "" : "s",
        Password());
}
