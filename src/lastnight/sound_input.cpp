// Which desktop programs had the sound input: Windows 10 from version 1903
// on keeps, for its privacy settings, each one's last use of the
// microphone or another input, when it began and when it ended, under a
// key named by the program's path with # for each \.
#include "lastnight/night.h"

static const char MICROPHONE_KEY[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\CapabilityAccessManager\\ConsentStore\\microphone";
static const char DESKTOP_PROGRAMS[] = "NonPackaged";
static const char BEGAN_VALUE[] = "LastUsedTimeStart";
static const char ENDED_VALUE[] = "LastUsedTimeStop";

enum Value
{
    ABSENT,
    READ,
    UNREADABLE, // of another type or size, or no time at all
};

// A FILETIME in UTC, as seconds since 1970; 0 where it is 0.
static Value ReadTime(HKEY key, const char *name, DWORD *seconds)
{
    FILETIME at = {0, 0};
    SYSTEMTIME utc;
    DWORD type, size = sizeof at;
    LONG result = RegQueryValueExA(key, name, NULL, &type, (BYTE *)&at, &size);
    *seconds = 0;
    if (result == ERROR_FILE_NOT_FOUND)
        return ABSENT;
    if (result != ERROR_SUCCESS || type != REG_QWORD || size != sizeof at)
        return UNREADABLE;
    if (at.dwLowDateTime == 0 && at.dwHighDateTime == 0)
        return READ;
    if (!FileTimeToSystemTime(&at, &utc) || utc.wYear < 1970)
        return UNREADABLE;
    *seconds = SecondsSince1970(utc);
    return READ;
}

// Whether the key's name, # for \, is the recorder's program file.
static int IsRecorder(const Night *night, const char *name)
{
    char path[MAX_PATH];
    lstrcpynA(path, name, sizeof path);
    for (char *c = path; *c; c++)
        if (*c == '#')
            *c = '\\';
    return night->recorder[0] && lstrcmpiA(path, night->recorder) == 0;
}

// One program's key: kept where its use began or ended in the 24 hours,
// or has not ended (no end, or one before the beginning).
static void ReadProgram(Night *night, HKEY programs, const char *name)
{
    HKEY key;
    const char *file = NULL;
    for (const char *c = name; *c; c++)
        if (*c == '#')
            file = c + 1;
    if (file == NULL || !*file || RegOpenKeyExA(programs, name, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    {
        night->soundUnread++;
        return;
    }
    DWORD began, ended;
    Value start = ReadTime(key, BEGAN_VALUE, &began), stop = ReadTime(key, ENDED_VALUE, &ended);
    RegCloseKey(key);
    if (start == UNREADABLE || stop == UNREADABLE || (start == READ && began == 0))
    {
        night->soundUnread++;
        return;
    }
    // A program allowed the input but never recorded using it.
    if (start == ABSENT)
        return;
    if (ended < began)
        ended = 0;
    if (began < night->since && ended < night->since && ended != 0)
        return;
    Happening use;
    ZeroMemory(&use, sizeof use);
    use.what = SOUND_INPUT;
    use.time = began;
    use.until = ended;
    use.mark = (BYTE)(IsRecorder(night, name) ? RECORDER : PLAIN);
    lstrcpynA(use.detail, file, sizeof use.detail);
    Keep(night, use);
}

void ReadSoundInput(Night *night)
{
    HKEY microphone, programs;
    // The user's own, or on some earlier builds the machine's, in the 64-bit
    // view where Windows has one.
    if (RegOpenKeyExA(HKEY_CURRENT_USER, MICROPHONE_KEY, 0, KEY_READ, &microphone) != ERROR_SUCCESS &&
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, MICROPHONE_KEY, 0, KEY_READ | KEY_WOW64_64KEY, &microphone) != ERROR_SUCCESS)
        return;
    night->soundKept = 1;
    LONG opened = RegOpenKeyExA(microphone, DESKTOP_PROGRAMS, 0, KEY_READ, &programs);
    RegCloseKey(microphone);
    if (opened != ERROR_SUCCESS)
        return;
    // Key names are at most 255 characters.
    char name[256];
    for (DWORD i = 0;; i++)
    {
        DWORD size = sizeof name;
        LONG found = RegEnumKeyExA(programs, i, name, &size, NULL, NULL, NULL, NULL);
        if (found == ERROR_MORE_DATA)
            night->soundUnread++;
        else if (found != ERROR_SUCCESS)
            break;
        else
            ReadProgram(night, programs, name);
    }
    RegCloseKey(programs);
}
