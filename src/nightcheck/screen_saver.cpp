// The screen saver, which keeps the driver's alert from being answered.
#include "nightcheck/checks.h"

static const char DESKTOP_KEY[] = "Control Panel\\Desktop";

// A value under the user's desktop settings, as text (a number is written
// in decimal); 0 where it is missing.
static int ReadDesktopValue(const char *name, char *text, int size)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, DESKTOP_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
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

// The chosen screen saver's file: in SYSTEM.INI on Windows 95, 98 and Me,
// in the registry on the NT family. Empty where none is chosen.
static void ReadChosen(char *file, int size)
{
    file[0] = '\0';
    if (WindowsVersion().dwPlatformId == VER_PLATFORM_WIN32_WINDOWS)
        GetPrivateProfileStringA("boot", "SCRNSAVE.EXE", "", file, size, "system.ini");
    else if (!ReadDesktopValue("SCRNSAVE.EXE", file, size))
        file[0] = '\0';
}

void CheckScreenSaver()
{
    BOOL active = FALSE;
    char file[MAX_PATH];
    ReadChosen(file, sizeof file);
    if (!SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0) || !active)
    {
        Say(VERDICT_FINE, "off.");
        return;
    }
    if (file[0] == '\0')
    {
        Say(VERDICT_FINE, "none chosen.");
        return;
    }
    UINT seconds = 0;
    SystemParametersInfoA(SPI_GETSCREENSAVETIMEOUT, 0, &seconds, 0);
    UINT minutes = (seconds + 59) / 60;
    // Whether it asks for a password, where this Windows says: the NT family
    // under one name, the 95 family under another.
    char password[16];
    const char *asks = "";
    if (ReadDesktopValue("ScreenSaverIsSecure", password, sizeof password) ||
        ReadDesktopValue("ScreenSaveUsePassword", password, sizeof password))
        asks = password[0] == '0' ? ", no password" : ", with a password";
    const char *name = file; // without its folder
    for (const char *c = file; *c; c++)
        if (*c == '\\' || *c == '/')
            name = c + 1;
    // A long name cut: the box must keep its size.
    Say(VERDICT_PROBLEM, "\"%.40s\" starts after %u minute%s%s. Switch it off." SEE_EVERY_NIGHT, name, minutes,
        minutes == 1 ? "" : "s", asks);
}
