// Reading Windows' System and Application logs, newest record first, back
// two days. Their functions are looked up: Windows 95 has them only as
// stubs, and a lookup that fails is a plain answer where an import that
// fails stops the program from loading at all.
#include "companion/system_library.h"
#include "companion/windows_version.h"
#include "lastnight/night.h"

typedef HANDLE(WINAPI *OpenLog)(LPCSTR, LPCSTR);
typedef BOOL(WINAPI *ReadLog)(HANDLE, DWORD, DWORD, void *, DWORD, DWORD *, DWORD *);
typedef BOOL(WINAPI *CloseLog)(HANDLE);
typedef void (*TakeOne)(Night *, const EVENTLOGRECORD *);

struct LogFunctions
{
    OpenLog open;
    ReadLog read;
    CloseLog close;
};

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
static int TakeRecords(Night *night, LogRead *log, TakeOne take, const BYTE *buffer, DWORD read)
{
    for (DWORD at = 0; at < read; at += ((const EVENTLOGRECORD *)(buffer + at))->Length)
    {
        if (!Whole(buffer + at, read - at))
        {
            log->reading = log->read ? READ_CUT : LOG_UNREADABLE;
            return 0;
        }
        const EVENTLOGRECORD *record = (const EVENTLOGRECORD *)(buffer + at);
        log->read++;
        if (record->TimeGenerated < night->since - DAY_SECONDS)
            return 0;
        if (record->TimeGenerated >= night->since)
            take(night, record);
    }
    return 1;
}

static void ReadOneLog(Night *night, const LogFunctions &functions, const char *name, LogRead *log, TakeOne take,
                       BYTE *buffer)
{
    HANDLE handle = functions.open(NULL, name);
    if (handle == NULL)
    {
        log->reading = LOG_REFUSED;
        log->error = GetLastError();
        return;
    }
    for (;;)
    {
        DWORD got = 0, needed = 0;
        if (!functions.read(handle, EVENTLOG_SEQUENTIAL_READ | EVENTLOG_BACKWARDS_READ, 0, buffer, BUFFER_SIZE, &got,
                            &needed))
        {
            // At the end of the log, a plain end. A record larger than the
            // buffer, or a log cleared while read, ends it short; an error
            // before any record is a refusal.
            DWORD error = GetLastError();
            if (error == ERROR_INSUFFICIENT_BUFFER && !log->read)
                log->reading = LOG_UNREADABLE;
            else if (error == ERROR_INSUFFICIENT_BUFFER || (error != ERROR_HANDLE_EOF && log->read))
                log->reading = READ_CUT;
            else if (error != ERROR_HANDLE_EOF)
                log->reading = LOG_REFUSED, log->error = error;
            break;
        }
        if (got == 0 || !TakeRecords(night, log, take, buffer, got))
            break;
    }
    functions.close(handle);
}

void ReadNight(Night *night, DWORD since)
{
    night->since = since;
    // Decided by the platform: their stubs would answer with an error.
    if (WindowsVersion().dwPlatformId == VER_PLATFORM_WIN32_WINDOWS)
    {
        night->system.reading = night->application.reading = NO_LOG;
        return;
    }
    HMODULE advapi = LoadSystemLibrary("advapi32.dll");
    LogFunctions functions = {NULL, NULL, NULL};
    if (advapi)
    {
        functions.open = (OpenLog)(void *)GetProcAddress(advapi, "OpenEventLogA");
        functions.read = (ReadLog)(void *)GetProcAddress(advapi, "ReadEventLogA");
        functions.close = (CloseLog)(void *)GetProcAddress(advapi, "CloseEventLog");
    }
    if (functions.open == NULL || functions.read == NULL || functions.close == NULL)
    {
        night->system.reading = night->application.reading = LOG_MISSING;
        return;
    }
    // On the stack, whose pages this file's code touches in order as it
    // takes them: the program file stores no zeros for it. One for both.
    BYTE buffer[BUFFER_SIZE];
    ReadOneLog(night, functions, "System", &night->system, TakeRecord, buffer);
    ReadOneLog(night, functions, "Application", &night->application, TakeApplicationRecord, buffer);
}
