// Last night, night by night, on a System log the test writes: Wine keeps
// no records (its ReadEventLogA ends at once), so the test answers the
// program's lookups of the log's functions and lays the records out itself
// as Windows does. "Now" is placed too: Thursday 2026-12-10, 07:30 in US
// Eastern time, where the test runs (TZ=EST5EDT).
#include <doctest/doctest.h>

#include <windows.h>

#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

#include "box_user.h"
#include "contract.h"
#include "lastnight/last_night.h"
#include "replace_import.h"
#include "sequence.h"

// GCC 12 at -O3 takes the table's vectors, made as the program starts, for
// uninitialized where they are destroyed.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

namespace
{

const DWORD NOW = 1796905800;      // 12:30 UTC
const int NOW_LOCAL = 7 * 60 + 30; // minutes of the local day
const int MISSING = -1;
const HANDLE SYSTEM_LOG = (HANDLE)(INT_PTR)0x10C, APPLICATION_LOG = (HANDLE)(INT_PTR)0x110;

// How a record can be damaged, as a log read while written, or a driver
// that wrote it, leaves it.
enum Damage
{
    INTACT,
    LENGTH_PAST_READ, // its length runs past the bytes read
    SOURCE_UNENDED,   // its source name runs to its end
    STRING_UNENDED,   // its last insertion string runs to its end
};

struct Record
{
    const char *at; // local "HH:MM" or "HH:MM:SS", the latest such before now; "-HH:MM" a day earlier
    const char *source;
    DWORD id;
    std::vector<std::string> strings;
    Damage damage = INTACT;
};

// A machine's System and Application logs, as one night left them.
struct Log
{
    std::vector<Record> records; // the System log's, oldest first
    DWORD refused = 0;           // OpenEventLogA's error; 0: opened
    int functions = 0;           // MISSING: looked up in vain
    DWORD platform = VER_PLATFORM_WIN32_NT;
    std::vector<Record> application = {}; // the Application log's
    DWORD applicationRefused = 0;
};

Log log;
Sequence calls;   // what the program asked of the logs
size_t served[2]; // records handed out, newest first, of each

const char *LogName(HANDLE handle)
{
    return handle == SYSTEM_LOG ? "System" : handle == APPLICATION_LOG ? "Application" : "?";
}

DWORD Written(const char *at)
{
    int days = at[0] == '-', minutes = ((at[days] - '0') * 10 + at[days + 1] - '0') * 60 + atoi(at + days + 3);
    int seconds = at[days + 5] == ':' ? atoi(at + days + 6) : 0;
    return NOW - 60 * ((NOW_LOCAL - minutes + 1440) % 1440 + 1440 * days) + seconds;
}

// A record as ReadEventLogA lays it out: the header, the source and the
// computer's name, then the insertion strings.
std::string LaidOut(const Record &record)
{
    std::string names = std::string(record.source) + '\0' + "PC" + '\0', strings, end(4, '\0');
    for (const std::string &string : record.strings)
        strings += string + '\0';
    if (record.damage == SOURCE_UNENDED)
        names = record.source, end.clear();
    if (record.damage == STRING_UNENDED)
        strings.pop_back(), end.clear();
    EVENTLOGRECORD header = {};
    header.Length = sizeof header + names.size() + strings.size() + end.size();
    header.Reserved = 0x654c664c; // "LfLe"
    header.TimeGenerated = header.TimeWritten = Written(record.at);
    header.EventID = record.id;
    header.NumStrings = (WORD)record.strings.size();
    header.StringOffset = sizeof header + names.size();
    std::string laid = std::string((const char *)&header, sizeof header) + names + strings + end;
    if (record.damage == LENGTH_PAST_READ)
        *(DWORD *)&laid[0] += 0x10000;
    return laid;
}

HANDLE WINAPI FakeOpenEventLogA(const char *server, const char *name)
{
    calls.push_back(std::string("open ") + (server ? server : "here") + " " + name);
    int application = lstrcmpA(name, "Application") == 0;
    DWORD refused = application ? log.applicationRefused : log.refused;
    SetLastError(refused);
    return refused ? NULL : application ? APPLICATION_LOG : SYSTEM_LOG;
}

BOOL WINAPI FakeReadEventLogA(HANDLE handle, DWORD flags, DWORD offset, void *buffer, DWORD size, DWORD *read,
                              DWORD *needed)
{
    calls.push_back(std::string("read ") + LogName(handle) + " flags=" + std::to_string(flags) +
                    " offset=" + std::to_string(offset) + " size=" + std::to_string(size));
    const std::vector<Record> &records = handle == APPLICATION_LOG ? log.application : log.records;
    size_t &taken = served[handle == APPLICATION_LOG];
    *read = *needed = 0;
    for (; taken < records.size(); taken++)
    {
        std::string record = LaidOut(records[records.size() - 1 - taken]);
        if (*read + record.size() > size)
        {
            if (*read)
                return TRUE;
            *needed = record.size();
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        CopyMemory((char *)buffer + *read, record.data(), record.size());
        *read += record.size();
    }
    if (*read)
        return TRUE;
    SetLastError(ERROR_HANDLE_EOF);
    return FALSE;
}

BOOL WINAPI FakeCloseEventLog(HANDLE handle)
{
    calls.push_back(std::string("close ") + LogName(handle));
    return TRUE;
}

// A recorder's program file of the longest name, which this test's own
// file, whose window the recorder's is, cannot have.
const char *recorderPath;

BOOL WINAPI LongQueryFullProcessImageNameA(HANDLE, DWORD, char *path, DWORD *size)
{
    lstrcpynA(path, recorderPath, *size);
    *size = lstrlenA(path);
    return TRUE;
}

FARPROC WINAPI AnsweringGetProcAddress(HMODULE module, const char *name)
{
    static const struct
    {
        const char *name;
        FARPROC answer;
    } ANSWERED[] = {{"OpenEventLogA", (FARPROC)(void *)FakeOpenEventLogA},
                    {"ReadEventLogA", (FARPROC)(void *)FakeReadEventLogA},
                    {"CloseEventLog", (FARPROC)(void *)FakeCloseEventLog}};
    for (const auto &answered : ANSWERED)
        if (HIWORD(name) != 0 && lstrcmpA(name, answered.name) == 0)
            return log.functions == MISSING ? NULL : answered.answer;
    if (HIWORD(name) != 0 && lstrcmpA(name, "QueryFullProcessImageNameA") == 0 && recorderPath)
        return (FARPROC)(void *)LongQueryFullProcessImageNameA;
    return RealGetProcAddress(module, name);
}

// Seconds since 1970 as a FILETIME's count, from 1601 in 100 ns.
ULONGLONG Since1601(DWORD seconds)
{
    return (seconds + 11644473600ULL) * 10000000;
}

void WINAPI PlacedGetSystemTime(SYSTEMTIME *now)
{
    FILETIME at;
    ULONGLONG since1601 = Since1601(NOW);
    at.dwLowDateTime = (DWORD)since1601, at.dwHighDateTime = (DWORD)(since1601 >> 32);
    FileTimeToSystemTime(&at, now);
}

BOOL WINAPI AnsweringGetVersionExA(OSVERSIONINFOA *version)
{
    version->dwPlatformId = log.platform, version->dwMajorVersion = 4, version->dwMinorVersion = 10;
    return TRUE;
}

} // namespace

REPLACE_WINAPI_IMPORT(GetProcAddress, 8, AnsweringGetProcAddress)
REPLACE_WINAPI_IMPORT(GetSystemTime, 4, PlacedGetSystemTime)
REPLACE_WINAPI_IMPORT(GetVersionExA, 4, AnsweringGetVersionExA)

namespace
{

const char *const POWER = Contract::SOURCE_KERNEL_POWER;
const char *const GENERAL = Contract::SOURCE_KERNEL_GENERAL;
const char *const WAKES = Contract::SOURCE_POWER_TROUBLESHOOTER;
const char *const USER32 = Contract::SOURCE_USER32;
const char *const EVENTLOG = Contract::SOURCE_EVENT_LOG;

// Power-Troubleshooter 1's strings up to WakeSourceText, the fifteenth.
std::vector<std::string> Woken(const char *source)
{
    std::vector<std::string> strings(14, "0");
    strings.push_back(source);
    return strings;
}

// User32 1074's: the process, computer, reason, code, kind, comment, user.
std::vector<std::string> Asked(const char *process, const char *kind)
{
    return {process, "PC", "Other (Planned)", "0x80000000", kind, "", "PC\\user"};
}

// Kernel-Boot 27: its boot type, as "0x1" or as "1", and the load options.
Record Boot(const char *at, int type, const char *format = "0x%x")
{
    char written[8];
    wsprintfA(written, format, type);
    return {at, Contract::SOURCE_KERNEL_BOOT, Contract::EVENT_BOOT_TYPE, {written, " NOEXECUTE=OPTIN"}};
}
// A request as Windows 10 writes it, its ID with the qualifier bits.
Record Request(const char *at, const char *program, const char *kind)
{
    return {at, USER32, 0x80000000 | Contract::EVENT_SHUTDOWN_ASKED, Asked(program, kind)};
}
const char *const VARNEL = "C:\\Varnel\\varnel.exe (PC)", *const EXPLORER = "C:\\Windows\\explorer.exe (PC)",
                  *const SVCHOST = "C:\\Windows\\System32\\svchost.exe (PC)";
Record Crash(const char *at, const char *program)
{
    return {at, Contract::SOURCE_APPLICATION_ERROR, Contract::EVENT_CRASHED, {program, "1.0.0.0", "5f1e2d3c"}};
}
Record Other(const char *at)
{
    return {at, "Service Control Manager", 7036, {"Windows Update", "running"}};
}

const Record SLEPT = {"01:00", POWER, Contract::EVENT_SLEEP, {}};
const Record WOKE = {"04:58", WAKES, Contract::EVENT_WOKE, Woken("Timer - Varnel")};
const Record VARNEL_ASKED = Request("06:05", VARNEL, "power off");
const Record SHUT_DOWN = {"06:06", EVENTLOG, Contract::EVENT_SHUT_DOWN, {}};

// More records than fit: into Modern Standby and out of it in turn, every
// 20 minutes from 01:00 to 05:40, with another service's record after each.
std::vector<Record> Standbys()
{
    static char at[15][6];
    std::vector<Record> records;
    for (int i = 0; i < 15; i++)
    {
        wsprintfA(at[i], "%02d:%02d", 1 + i / 3, i % 3 * 20);
        records.push_back({at[i], POWER, i % 2 ? Contract::EVENT_STANDBY_LEFT : Contract::EVENT_STANDBY_ENTERED, {}});
        records.push_back(Other(at[i]));
    }
    return records;
}

// A program's last use of the sound input, as Windows keeps it: its path
// (RECORDER: this test's own file, the program of the recorder's window
// the row opens) and when the use began and ended, as a record's time
// ("": 0; NULL: no value), of another type where a row damages it.
struct Use
{
    const char *path;
    const char *began, *ended;
    DWORD type = REG_QWORD, size = 8;
};
const char RECORDER[] = "the recorder";

// What Windows keeps of the sound input: nothing, or the microphone's key
// with (where there are uses) its key of desktop programs, the user's or
// (as on some earlier builds) the machine's, in its 64-bit view.
struct Sound
{
    int kept = 0;
    std::vector<Use> uses = {};
    int recorder = 0; // a window of the recorder's class is open
    int machine = 0;
};

struct Night
{
    const char *what;
    Log log;
    std::vector<const char *> first; // what the first line says
    Sequence lines;                  // the lines after the two first, oldest first; empty: not checked
    UINT icon;
    int status;
    Sound sound = {};
    std::vector<const char *> second = {}; // what the second line says; empty: that Windows keeps no record
};

// Each night's records in Windows' order: the kernel's of a shutdown after
// the service's 6006, its of a start before 6005, with earlier times.
// clang-format off
const Night NIGHTS[] = {
    {"a good night: asleep, woken by a timer from hibernation, Varnel's power-off, the shutdown, a start in the morning",
     {{SLEPT, Boot("04:58", Contract::BOOT_FROM_HIBERNATION), WOKE, VARNEL_ASKED, SHUT_DOWN,
       {"06:06:04", POWER, Contract::EVENT_SHUTDOWN_TRANSITION, {"5", "0", "5"}},
       {"06:06:05", GENERAL, Contract::EVENT_KERNEL_SHUTTING_DOWN, {}}, {"07:20:00", GENERAL, Contract::EVENT_KERNEL_STARTED, {}},
       Boot("07:20:00", Contract::BOOT_AFTER_SHUTDOWN), {"07:20:25", EVENTLOG, Contract::EVENT_STARTED, {}}},
      0, 0, VER_PLATFORM_WIN32_NT, {Crash("03:00", "chrome.exe"), Crash("03:30", "Chrome.exe")}},
     {"The last power off, at 06:05, was asked for by Varnel."},
     {"01:00 went to sleep", "04:58 woke: Timer - Varnel", "04:59 lastnight_tests.exe (the recorder) had the sound input "
      "until 06:01 (62 min)", "06:05 power off by varnel.exe", "06:06 Windows shut down", "07:20 Windows started",
      "1 other program stopped working."}, Contract::LAST_NIGHT_ICON_NONE, 0,
     {1, {{RECORDER, "04:59:10", "06:01:05"}}, 1},
     {"The recorder, lastnight_tests.exe, had the sound input from 04:59 to 06:01 (62 min)."}},
    {"Varnel's power-off asked for and held up, after the recorder crashed",
     {{SLEPT, WOKE, VARNEL_ASKED}, 0, 0, VER_PLATFORM_WIN32_NT, {Crash("05:40:30", "lastnight_tests.exe")}},
     {"A power off asked for at 06:05 by Varnel did not happen", "save its work", "forced shutdown"},
     {"01:00 went to sleep", "04:58 woke: Timer - Varnel",
      "04:59 lastnight_tests.exe (the recorder) had the sound input until 05:40 (41 min)",
      "05:40 lastnight_tests.exe stopped working", "06:05 power off by varnel.exe"},
     Contract::LAST_NIGHT_ICON_WARNING, Contract::LAST_NIGHT_WARNED, {1, {{RECORDER, "04:59", "05:40"}}, 1},
     {"lastnight_tests.exe (the recorder) stopped working at 05:40, after it took the sound input at 04:59."}},
    {"restarts by other programs, each 6006 written before its 1074: a second later, and in the same second",
     {{{"03:00:01", EVENTLOG, Contract::EVENT_SHUT_DOWN, {}}, Request("03:00:00", SVCHOST, "restart"),
       {"03:03", EVENTLOG, Contract::EVENT_STARTED, {}}, {"05:10:00", EVENTLOG, Contract::EVENT_SHUT_DOWN, {}},
       {"05:10:00", USER32, Contract::EVENT_SHUTDOWN_ASKED, Asked("C:\\Users\\me\\Downloads\\setup (1).exe (PC)", "restart")},
       {"05:11", EVENTLOG, Contract::EVENT_STARTED, {}}}, 0, 0, VER_PLATFORM_WIN32_NT,
      {Crash("03:50", "audacity.exe"), Crash("04:30", "VARNEL.EXE")}},
     {"The last restart, at 05:10, was asked for by setup (1).exe."},
     {"3 earlier lines left out.", "03:50 audacity.exe stopped working",
      "04:00 audacity.exe had the sound input; no end was recorded",
      "04:30 Varnel stopped working", "05:10 restart by setup (1).exe", "05:10 Windows shut down", "05:11 Windows started"},
     Contract::LAST_NIGHT_ICON_WARNING, Contract::LAST_NIGHT_WARNED,
     {1, {{"C:\\Program Files\\Audacity\\audacity.exe", "04:00", ""}}},
     {"Windows recorded audacity.exe using the sound input."}},
    {"a shutdown from the Start menu, on XP",
     {{{"23:10", "USER32", Contract::EVENT_SHUTDOWN_ASKED, Asked("C:\\WINDOWS\\Explorer.EXE", "shutdown")},
       {"23:10:40", EVENTLOG, Contract::EVENT_SHUT_DOWN, {}}}, 0, 0, VER_PLATFORM_WIN32_NT, {}, ERROR_ACCESS_DENIED},
     {"The last shutdown, at 23:10, was asked for by you, from the Start menu."},
     {"23:10 shutdown by Explorer.EXE", "23:10 Windows shut down", "It could not read which programs stopped working."},
     Contract::LAST_NIGHT_ICON_NONE, 0},
    {"power lost minutes after a start and a request: the stop's line at 41's time, the last record a minute before",
     {{Request("01:50", SVCHOST, "restart"), {"01:50:30", EVENTLOG, Contract::EVENT_SHUT_DOWN, {}},
       {"02:38:00", GENERAL, Contract::EVENT_KERNEL_STARTED, {}}, Boot("02:38:00", Contract::BOOT_AFTER_SHUTDOWN),
       {"02:38:20", EVENTLOG, Contract::EVENT_STARTED, {}}, Request("02:40", VARNEL, "power off"), Other("02:41:10"),
       {"02:42:00", Contract::SOURCE_KERNEL_BOOT, 20, {"true", "true"}},
       {"02:42:30", GENERAL, Contract::EVENT_KERNEL_STARTED, {}}, {"02:42:40", EVENTLOG, Contract::EVENT_UNEXPECTED, {}},
       {"02:42:50", EVENTLOG, Contract::EVENT_STARTED, {}}, Boot("02:42:30", Contract::BOOT_AFTER_SHUTDOWN),
       {"02:43:40", POWER, Contract::EVENT_REBOOTED_UNCLEAN, {}}, Other("02:44")}},
     {"Windows stopped without shutting down (power lost, or a crash). It started again at 02:43."},
     {"01:50 restart by svchost.exe", "01:50 Windows shut down", "02:38 Windows started", "02:40 power off by varnel.exe",
      "02:43 Windows had stopped without shutting down; the last record before: 02:41"},
     Contract::LAST_NIGHT_ICON_WARNING, Contract::LAST_NIGHT_WARNED},
    {"Modern Standby, in and out, the recorder's use kept by the machine", {{{"01:00", POWER, Contract::EVENT_STANDBY_ENTERED, {}},
                                     {"06:30", POWER, Contract::EVENT_STANDBY_LEFT, {}}}},
     {Contract::LAST_NIGHT_NO_SHUTDOWN},
     {"01:00 went into Modern Standby", "04:59 lastnight_tests.exe (the recorder) had the sound input and still has it",
      "06:30 came out of Modern Standby"}, Contract::LAST_NIGHT_ICON_NONE, 0, {1, {{RECORDER, "04:59", ""}}, 1, 1},
     {"The recorder, lastnight_tests.exe, had the sound input from 04:59 and still has it."}},
    {"an empty log", {}, {Contract::LAST_NIGHT_NOTHING, "cannot tell how the night went"}, {},
     Contract::LAST_NIGHT_ICON_NONE, 0},
    {"a refused log", {{}, ERROR_ACCESS_DENIED}, {"did not let this program read", "(error 5)"}, {},
     Contract::LAST_NIGHT_ICON_NONE, Contract::LAST_NIGHT_UNREAD},
    {"no functions to read it with", {{}, 0, MISSING}, {"no record of the night that this program can read"}, {},
     Contract::LAST_NIGHT_ICON_NONE, Contract::LAST_NIGHT_UNREAD},
    {"Windows 98", {{SLEPT}, 0, 0, VER_PLATFORM_WIN32_WINDOWS}, {"keeps no record", "95, 98 and Me"}, {},
     Contract::LAST_NIGHT_ICON_NONE, Contract::LAST_NIGHT_UNREAD},
    {"older than 24 hours, and other sources, left out",
     {{{"-07:20", USER32, Contract::EVENT_SHUTDOWN_ASKED, Asked("x.exe", "restart")}, {"06:00", "Tcpip", 42, {}},
       {"06:10", "Service Control Manager", 6006, {}}, {"06:20", GENERAL, 1074, {}}, {"06:25", "Tcpip", 12, {}}}},
     {Contract::LAST_NIGHT_NO_SHUTDOWN}, {}, Contract::LAST_NIGHT_ICON_WARNING, Contract::LAST_NIGHT_WARNED,
     {1, {{"C:\\Tools\\old.exe", "-01:00", "-02:00"}}}, {Contract::LAST_NIGHT_NO_SOUND_INPUT}},
    {"records without their strings, or with the last running to the record's end, still have their lines",
     {{{"02:00", WAKES, Contract::EVENT_WOKE, {"0"}}, {"02:30", Contract::SOURCE_KERNEL_BOOT, Contract::EVENT_BOOT_TYPE, {}},
       {"03:00", USER32, Contract::EVENT_SHUTDOWN_ASKED, {"C:\\x.exe (PC)"}, STRING_UNENDED}}},
     {"A shutdown asked for at 03:00 by a program did not happen"},
     {"02:00 woke", "02:40 good.exe had the sound input until 02:50 (10 min)", "03:00 shutdown by a program",
      "3 records of the sound input could not be read."}, Contract::LAST_NIGHT_ICON_WARNING, Contract::LAST_NIGHT_WARNED,
     {1, {{"C:\\Tools\\wrong type.exe", "02:40", "02:50", REG_BINARY}, {"C:\\Tools\\short.exe", "02:40", "02:50", REG_QWORD, 4},
          {"NoFolder.exe", "02:40", "02:50"}, {"C:\\Tools\\good.exe", "02:40", "02:50"}}},
     {"Windows recorded good.exe using the sound input."}},
    {"a record larger than the buffer, after a shutdown with no request",
     {{{"02:00", WAKES, Contract::EVENT_WOKE, Woken(std::string(70000, 'x').c_str())}, SHUT_DOWN}},
     {Contract::LAST_NIGHT_NO_REQUEST}, {"06:06 Windows shut down", Contract::LAST_NIGHT_CUT},
     Contract::LAST_NIGHT_ICON_NONE, 0},
    {"a night across midnight, with a wake source longer than a line",
     {{{"23:40", POWER, Contract::EVENT_SLEEP, {}},
       {"00:10", WAKES, Contract::EVENT_WOKE, Woken("Intel(R) Ethernet Connection I219-V, wake on pattern match")}}},
     {Contract::LAST_NIGHT_NO_SHUTDOWN},
     {"Wed 23:40 went to sleep", "Thu 00:10 woke: Intel(R) Ethernet Connection I219-V, wak"},
     Contract::LAST_NIGHT_ICON_NONE, 0},
    {"more records and programs than fit, others between: the newest lines, and how many earlier ones were left out",
     {Standbys()}, {Contract::LAST_NIGHT_NO_SHUTDOWN},
     {"13 earlier lines left out.", "05:00 went into Modern Standby", "05:20 came out of Modern Standby",
      "05:40 went into Modern Standby", "05:45 two.exe had the sound input until 05:46 (1 min)",
      "05:50 three.exe had the sound input until 05:51 (1 min)", "05:55 four.exe had the sound input until 05:56 (1 min)"},
     Contract::LAST_NIGHT_ICON_NONE, 0,
     {1, {{"C:\\one.exe", "01:10", "01:11"}, {"C:\\two.exe", "05:45", "05:46"}, {"C:\\three.exe", "05:50", "05:51"},
          {"C:\\four.exe", "05:55", "05:56"}}},
     {"Windows recorded four.exe and three.exe using the sound input, and 2 more."}},
    {"Fast Startup shutdowns from the Start menu: then a sleep, a shutdown transition, or a program closed, and a start",
     {{Request("23:30:00", EXPLORER, "power off"), {"23:30:05", POWER, Contract::EVENT_SLEEP, {}},
       Boot("01:10", Contract::BOOT_AFTER_FAST_STARTUP), Request("03:00:00", EXPLORER, "power off"),
       {"03:00:06", POWER, Contract::EVENT_SHUTDOWN_TRANSITION, {"2", "0", "1"}}, Boot("04:00", Contract::BOOT_AFTER_FAST_STARTUP),
       Request("05:00", EXPLORER, "power off"), Boot("06:00", Contract::BOOT_AFTER_FAST_STARTUP, "%d")},
      0, 0, VER_PLATFORM_WIN32_NT, {{"05:00:20", Contract::SOURCE_APPLICATION_HANG, Contract::EVENT_HUNG, {"notes.exe"}}}},
     {"The last power off, at Thu 05:00, was asked for by you, from the Start menu."},
     {"4 earlier lines left out.", "Thu 01:20 obs64.exe had the sound input until Thu 01:50 (30 min)",
      "Thu 03:00 power off by explorer.exe", "Thu 03:00 Windows shut down", "Thu 04:00 Windows started",
      "Thu 05:00 power off by explorer.exe", "Thu 06:00 Windows started", "1 other program stopped working."},
     Contract::LAST_NIGHT_ICON_WARNING, Contract::LAST_NIGHT_WARNED,
     {1, {{"C:\\Zoom\\zoom.exe", "23:45", "00:30"}, {"C:\\OBS\\obs64.exe", "01:20", "01:50"}}, 1},
     {"Windows recorded no sound input by the recorder, lastnight_tests.exe, in the last 24 hours; obs64.exe and "
      "zoom.exe had it."}},
    {"Varnel's power-off held up, then a sleep two hours later, and a shutdown by the power button",
     {{Request("03:00", VARNEL, "power off"), {"05:00", POWER, Contract::EVENT_SLEEP, {}},
       {"05:30", WAKES, Contract::EVENT_WOKE, Woken("Power Button")},
       {"06:00:00", EVENTLOG, Contract::EVENT_SHUT_DOWN, {}}, {"06:00:05", POWER, Contract::EVENT_SHUTDOWN_TRANSITION, {}}}},
     {"A power off asked for at 03:00 by Varnel did not happen"},
     {"03:00 power off by varnel.exe", "05:00 went to sleep", "05:30 woke: Power Button", "06:00 Windows shut down"},
     Contract::LAST_NIGHT_ICON_WARNING, Contract::LAST_NIGHT_WARNED},
    {"Varnel's power-off held up, then the user's own restart",
     {{Request("05:40", VARNEL, "power off"), Request("06:00:00", EXPLORER, "restart"),
       {"06:00:30", EVENTLOG, Contract::EVENT_SHUT_DOWN, {}},
       {"06:00:35", POWER, Contract::EVENT_SHUTDOWN_TRANSITION, {}}, {"06:00:36", GENERAL, Contract::EVENT_KERNEL_SHUTTING_DOWN, {}},
       {"06:01:00", GENERAL, Contract::EVENT_KERNEL_STARTED, {}}, Boot("06:01:00", Contract::BOOT_AFTER_SHUTDOWN),
       {"06:01:30", EVENTLOG, Contract::EVENT_STARTED, {}}}},
     {"A power off asked for at 05:40 by Varnel did not happen"},
     {"05:40 power off by varnel.exe", "06:00 restart by explorer.exe", "06:00 Windows shut down", "06:01 Windows started"},
     Contract::LAST_NIGHT_ICON_WARNING, Contract::LAST_NIGHT_WARNED},
    {"a clock set back ten hours within the 24 hours: what it wrote before is read",
     {{Request("16:00", SVCHOST, "restart"), {"16:01", EVENTLOG, Contract::EVENT_SHUT_DOWN, {}},
       {"16:03", EVENTLOG, Contract::EVENT_STARTED, {}},
       {"-06:04", GENERAL, 1, {}}, Other("-08:00"), SLEPT, WOKE}},
     {"The last restart, at Wed 16:00, was asked for by svchost.exe."},
     {"Wed 16:00 restart by svchost.exe", "Wed 16:01 Windows shut down", "Wed 16:03 Windows started",
      "Thu 01:00 went to sleep", "Thu 04:58 woke: Timer - Varnel"},
     Contract::LAST_NIGHT_ICON_WARNING, Contract::LAST_NIGHT_WARNED},
    {"Windows XP: a start, and two hours later a crash, with no record from the kernel",
     {{{"04:00", EVENTLOG, Contract::EVENT_STARTED, {}}, Other("05:10"), {"06:00:00", EVENTLOG, Contract::EVENT_STARTED, {}},
       {"06:00:10", EVENTLOG, Contract::EVENT_UNEXPECTED, {}}}},
     {"It started again at 06:00."},
     {"04:00 Windows started", "06:00 Windows had stopped without shutting down; the last record before: 05:10"},
     Contract::LAST_NIGHT_ICON_WARNING, Contract::LAST_NIGHT_WARNED},
    {"the newest record larger than the buffer: nothing read",
     {{{"02:00", WAKES, Contract::EVENT_WOKE, Woken(std::string(70000, 'x').c_str())}}},
     {Contract::LAST_NIGHT_UNREADABLE}, {}, Contract::LAST_NIGHT_ICON_NONE, Contract::LAST_NIGHT_UNREAD},
    {"a record whose length runs past the bytes read",
     {{{"02:00", WAKES, Contract::EVENT_WOKE, Woken("x"), LENGTH_PAST_READ}, {"03:00", POWER, Contract::EVENT_SLEEP, {}}}},
     {Contract::LAST_NIGHT_NO_SHUTDOWN}, {"03:00 went to sleep", Contract::LAST_NIGHT_CUT}, Contract::LAST_NIGHT_ICON_NONE, 0},
    {"a record whose source name runs to its end",
     {{{"02:00", WAKES, Contract::EVENT_WOKE, {}, SOURCE_UNENDED}, {"03:00", POWER, Contract::EVENT_SLEEP, {}}}},
     {Contract::LAST_NIGHT_NO_SHUTDOWN}, {"03:00 went to sleep", Contract::LAST_NIGHT_CUT}, Contract::LAST_NIGHT_ICON_NONE, 0},
};
// clang-format on

std::string OwnFile()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    return path;
}

void SetTime(HKEY key, const char *name, const char *at, const Use &use)
{
    ULONGLONG since1601 = at && *at ? Since1601(Written(at)) : 0;
    if (at)
        RegSetValueExA(key, name, 0, use.type, (const BYTE *)&since1601, use.size);
}

// Removes the microphone's key, the user's and the machine's.
void RemoveSound()
{
    HKEY store;
    const char *microphone = strrchr(Contract::SOUND_INPUT_KEY, '\\');
    std::string parent(Contract::SOUND_INPUT_KEY, microphone);
    RegDeleteTreeA(HKEY_CURRENT_USER, Contract::SOUND_INPUT_KEY);
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, parent.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &store) == ERROR_SUCCESS)
        RegDeleteTreeA(store, microphone + 1), RegCloseKey(store);
}

// The machine as the night left it: its logs, the recorder's window, and
// the sound input's record in this test's registry, made anew.
HWND Arrange(const Log &logs, const Sound &sound)
{
    log = logs;
    calls.clear();
    served[0] = served[1] = 0;
    RemoveSound();
    HKEY key, root = sound.machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    REGSAM view = sound.machine ? KEY_WOW64_64KEY : 0;
    if (sound.kept && RegCreateKeyExA(root, Contract::SOUND_INPUT_KEY, 0, NULL, 0, KEY_WRITE | view, NULL, &key,
                                      NULL) == ERROR_SUCCESS)
        RegCloseKey(key);
    for (const Use &use : sound.uses)
    {
        std::string name = use.path == RECORDER ? OwnFile() : use.path;
        for (char &c : name)
            c = c == '\\' ? '#' : c;
        std::string path = std::string(Contract::SOUND_INPUT_KEY) + "\\" + Contract::SOUND_INPUT_PROGRAMS + "\\" + name;
        REQUIRE(RegCreateKeyExA(root, path.c_str(), 0, NULL, 0, KEY_WRITE | view, NULL, &key, NULL) == ERROR_SUCCESS);
        SetTime(key, Contract::SOUND_INPUT_BEGAN, use.began, use);
        SetTime(key, Contract::SOUND_INPUT_ENDED, use.ended, use);
        RegCloseKey(key);
    }
    WNDCLASSA recorder = {};
    recorder.lpfnWndProc = DefWindowProcA;
    recorder.lpszClassName = Contract::RECORDER_CLASS;
    RegisterClassA(&recorder);
    return sound.recorder ? CreateWindowA(Contract::RECORDER_CLASS, "", 0, 0, 0, 0, 0, NULL, NULL, NULL, NULL) : NULL;
}

std::string TextOn(const Night &night, Telling *telling)
{
    char text[TEXT_SIZE];
    HWND recorder = Arrange(night.log, night.sound);
    *telling = TellLastNight(text);
    DestroyWindow(recorder);
    return text;
}

} // namespace

TEST_CASE("every night of the table, as the box tells it")
{
    for (const Night &night : NIGHTS)
    {
        CAPTURE(std::string(night.what));
        Telling telling;
        std::string text = TextOn(night, &telling);
        Sequence lines = Lines(text);
        CAPTURE(text);
        // The first line, the second, a blank line, the lines of what
        // happened, a blank line where there are any, and what it cannot
        // tell.
        REQUIRE(lines.size() >= 4);
        for (const char *said : night.first)
            CHECK(lines[0].find(said) != std::string::npos);
        for (const char *said :
             night.second.empty() ? std::vector<const char *>{Contract::LAST_NIGHT_NO_SOUND_RECORD} : night.second)
            CHECK(lines[1].find(said) != std::string::npos);
        CHECK(lines[2].empty());
        CHECK(lines.back() == Contract::LAST_NIGHT_CANNOT_TELL);
        Sequence shown(lines.begin() + 3, lines.end() - (lines.size() > 4 ? 2 : 1));
        CHECK_SEQUENCE(shown, night.lines);
        CHECK(telling.icon == night.icon);
        CHECK(telling.status == night.status);
    }
}

TEST_CASE("what it asks of the logs: System, then Application, newest first, in one 64 KB buffer, each closed once "
          "read")
{
    Telling telling;
    TextOn(NIGHTS[0], &telling);
    std::string read =
        " flags=" + std::to_string(EVENTLOG_SEQUENTIAL_READ | EVENTLOG_BACKWARDS_READ) + " offset=0 size=65536";
    CHECK_SEQUENCE(calls, {"open here System", "read System" + read, "read System" + read, "close System",
                           "open here Application", "read Application" + read, "read Application" + read,
                           "close Application"});
    // Windows 95's stubs are never called.
    TextOn(NIGHTS[9], &telling);
    CHECK(calls.empty());
}

TEST_CASE("the box: its title, OK, the icon the night calls for, and the exit status")
{
    for (const Night *night : {&NIGHTS[0], &NIGHTS[1], &NIGHTS[7]})
    {
        CAPTURE(std::string(night->what));
        HWND recorder = Arrange(night->log, night->sound);
        StartBoxUser(Contract::LAST_NIGHT_TITLE, {Contract::LAST_NIGHT_OK});
        CHECK(LastNight() == night->status);
        DestroyWindow(recorder);
        std::vector<BoxSeen> seen = BoxesSeen();
        REQUIRE(seen.size() == 1);
        CHECK(seen[0].title == Contract::LAST_NIGHT_TITLE);
        CHECK((seen[0].ok && !seen[0].retry && !seen[0].cancel));
        CHECK(seen[0].warning == (night->icon == Contract::LAST_NIGHT_ICON_WARNING));
        CHECK(seen[0].information == (night->icon == Contract::LAST_NIGHT_ICON_NONE));
    }
}

TEST_CASE("the box fits a 640 x 480 screen at its longest: every line as long as a line can be")
{
    // The longest first line, a request held up; the longest second, the
    // recorder of a name of 40 characters not in the record, two other
    // programs in it; then the most lines, on two dates, each a use of the
    // sound input by a program of a name of 40 characters, the longest
    // line there is; and every line that may follow them.
    Log longest;
    longest.records = {
        {"07:34", WAKES, Contract::EVENT_WOKE, Woken("x"), LENGTH_PAST_READ},
        {"07:35", USER32, Contract::EVENT_SHUTDOWN_ASKED,
         Asked("Windows Update Medic Service Helper2.exe (PC)", "Herunterfahren und Neustart, geplant (Ak")}};
    longest.application = {{"07:36", WAKES, Contract::EVENT_WOKE, Woken("x"), SOURCE_UNENDED},
                           {"07:37", Contract::SOURCE_APPLICATION_ERROR, Contract::EVENT_CRASHED, {"Other.exe"}},
                           {"07:38", Contract::SOURCE_APPLICATION_HANG, Contract::EVENT_HUNG, {"Another.exe"}}};
    std::vector<std::string> names;
    for (int i = 0; i < Contract::LAST_NIGHT_MOST_LINES + 1; i++)
        names.push_back("C:\\Program Files\\Recording Suite\\Multitrack Recorder Studio Edition " +
                        std::to_string(10 + i) + ".exe");
    Sound sound = {1, {{"C:\\Sound\\wrong type.exe", "07:39", "", REG_DWORD, 4}}, 1};
    for (const std::string &name : names)
        sound.uses.push_back({name.c_str(), "07:40", "07:20"});
    recorderPath = "C:\\Program Files\\Torvik\\Torvik Sound Recorder Professional Edition.exe";
    HWND recorder = Arrange(longest, sound);
    StartBoxUser(Contract::LAST_NIGHT_TITLE, {Contract::LAST_NIGHT_OK});
    CHECK(LastNight() == Contract::LAST_NIGHT_WARNED);
    DestroyWindow(recorder);
    recorderPath = NULL;
    std::vector<BoxSeen> seen = BoxesSeen();
    REQUIRE(seen.size() == 1);
    CAPTURE(seen[0].text);
    Sequence lines = Lines(seen[0].text);
    CHECK(lines.back() == Contract::LAST_NIGHT_CANNOT_TELL);
    MESSAGE("the box at its longest: ", seen[0].rect.right - seen[0].rect.left, " x ",
            seen[0].rect.bottom - seen[0].rect.top, ", of ", seen[0].text.size(), " characters");
    CHECK(seen[0].rect.right - seen[0].rect.left <= 640);
    CHECK(seen[0].rect.bottom - seen[0].rect.top <= 480);
    RemoveSound();
}
