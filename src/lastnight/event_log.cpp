// Reading Windows' System log, newest record first, back two days. Its
// functions are looked up: Windows 95 has them only as stubs, and a lookup
// that fails is a plain answer where an import that fails stops the
// program from loading at all.
#include "companion/system_library.h"
#include "companion/windows_version.h"
#include "lastnight/night.h"

typedef HANDLE(WINAPI *OpenLog)(LPCSTR, LPCSTR);
typedef BOOL(WINAPI *ReadLog)(HANDLE, DWORD, DWORD, void *, DWORD, DWORD *, DWORD *);
typedef BOOL(WINAPI *CloseLog)(HANDLE);

// One record at most this large is read: a larger one ends the reading.
const DWORD BUFFER_SIZE = 65536;

// A record that lies whole within what was read, its source name ending
// within it.
static int Whole(const BYTE *at, DWORD left)
{
    const EVENTLOGRECORD *record = (const EVENTLOGRECORD *)at;
    if (left < sizeof *record || record->Length < sizeof *record || record->Length > left)
        return 0;
    for (const BYTE *c = at + sizeof *record; c < at + record->Length; c++)
        if (*c == '\0')
            return 1;
    return 0;
}

// Takes the records read, newest first, those of the 24 hours from
// `night->since`, until one is older than two days; 0 once one is, or one
// is damaged.
static int TakeRecords(Night *night, const BYTE *buffer, DWORD read)
{
    for (DWORD at = 0; at < read; at += ((const EVENTLOGRECORD *)(buffer + at))->Length)
    {
        if (!Whole(buffer + at, read - at))
        {
            night->reading = night->read ? READ_CUT : LOG_UNREADABLE;
            return 0;
        }
        const EVENTLOGRECORD *record = (const EVENTLOGRECORD *)(buffer + at);
        night->read++;
        if (record->TimeGenerated < night->since - DAY_SECONDS)
            return 0;
        if (record->TimeGenerated >= night->since)
            TakeRecord(night, record);
    }
    return 1;
}

void ReadNight(Night *night, DWORD since)
{
    night->since = since;
    // Decided by the platform: their stubs would answer with an error.
    if (WindowsVersion().dwPlatformId == VER_PLATFORM_WIN32_WINDOWS)
    {
        night->reading = NO_LOG;
        return;
    }
    HMODULE advapi = LoadSystemLibrary("advapi32.dll");
    OpenLog open = advapi ? (OpenLog)(void *)GetProcAddress(advapi, "OpenEventLogA") : NULL;
    ReadLog read = advapi ? (ReadLog)(void *)GetProcAddress(advapi, "ReadEventLogA") : NULL;
    CloseLog close = advapi ? (CloseLog)(void *)GetProcAddress(advapi, "CloseEventLog") : NULL;
    if (open == NULL || read == NULL || close == NULL)
    {
        night->reading = LOG_MISSING;
        return;
    }
    HANDLE log = open(NULL, "System");
    if (log == NULL)
    {
        night->reading = LOG_REFUSED;
        night->error = GetLastError();
        return;
    }
    // On the stack, whose pages this file's code touches in order as it
    // takes them: the program file stores no zeros for it.
    BYTE buffer[BUFFER_SIZE];
    night->reading = READ_WHOLE;
    for (;;)
    {
        DWORD got = 0, needed = 0;
        if (!read(log, EVENTLOG_SEQUENTIAL_READ | EVENTLOG_BACKWARDS_READ, 0, buffer, BUFFER_SIZE, &got, &needed))
        {
            // At the end of the log, a plain end. A record larger than the
            // buffer, or a log cleared while read, ends it short; an error
            // before any record is a refusal.
            DWORD error = GetLastError();
            if (error == ERROR_INSUFFICIENT_BUFFER && !night->read)
                night->reading = LOG_UNREADABLE;
            else if (error == ERROR_INSUFFICIENT_BUFFER || (error != ERROR_HANDLE_EOF && night->read))
                night->reading = READ_CUT;
            else if (error != ERROR_HANDLE_EOF)
                night->reading = LOG_REFUSED, night->error = error;
            break;
        }
        if (got == 0 || !TakeRecords(night, buffer, got))
            break;
    }
    close(log);
}
