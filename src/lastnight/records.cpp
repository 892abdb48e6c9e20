// The records last night knows, and what each tells.
#include "lastnight/night.h"

static const char KERNEL_POWER[] = "Microsoft-Windows-Kernel-Power";
static const char KERNEL_GENERAL[] = "Microsoft-Windows-Kernel-General";
static const char EVENT_LOG[] = "EventLog";

struct Kind
{
    const char *source; // in any capitals: User32 is USER32 on XP
    WORD id;            // the low word: classic records carry qualifier bits above it
    Happened what;
    Mark mark;
};
// The event IDs as Windows 10's and 11's manifests and message files give
// them: Windows going down is the EventLog service stopping, the kernel's
// shutdown transition and the kernel shutting down; coming up, the service
// starting, the kernel starting and the kind of boot.
static const Kind KINDS[] = {
    {KERNEL_POWER, 42, SLEPT, PLAIN},
    {KERNEL_POWER, 506, STANDBY_BEGAN, PLAIN},
    {KERNEL_POWER, 507, STANDBY_ENDED, PLAIN},
    {"Microsoft-Windows-Power-Troubleshooter", 1, WOKE, PLAIN},
    {"User32", 1074, ASKED, PLAIN},
    {EVENT_LOG, 6005, STARTED, PLAIN},
    {KERNEL_GENERAL, 12, STARTED, PLAIN},
    {"Microsoft-Windows-Kernel-Boot", 27, STARTED, PLAIN},
    {EVENT_LOG, 6006, SHUT_DOWN, PLAIN},
    {KERNEL_POWER, 109, SHUT_DOWN, PLAIN},
    {KERNEL_GENERAL, 13, SHUT_DOWN, PLAIN},
    {EVENT_LOG, 6008, STOPPED, PLAIN},
    {KERNEL_POWER, 41, STOPPED, KERNEL_STOP},
    // In the Application log: Windows Error Reporting's records of a
    // program that crashed, and of one closed when it stopped answering.
    {"Application Error", 1000, CRASHED, PLAIN},
    {"Application Hang", 1002, HUNG, PLAIN},
};
const WORD BOOT_TYPE_EVENT = 27;
// Insertion strings, counted from 0, at their places in the events'
// templates: Power-Troubleshooter 1's WakeSourceText (%15, versions 0 to 3);
// User32 1074's process (%1) and the kind of shutdown (%5); Kernel-Boot
// 27's BootType (%1); Application Error 1000's and Application Hang 1002's
// program file (%1).
const int WAKE_SOURCE_STRING = 14;
const int PROGRAM_STRING = 0;
const int KIND_STRING = 4;
const int BOOT_TYPE_STRING = 0;
// Kernel-Boot 27's boot types: after a full shutdown, after a Fast Startup
// one; 2, a resume from hibernation, is neither a start nor a shutdown.
const int BOOT_FULL = 0;
const int BOOT_FAST = 1;

// The record's source name, which the reader has found whole.
static const char *Source(const EVENTLOGRECORD *record)
{
    return (const char *)(record + 1);
}

// Insertion string `index`, or NULL where the record has none there or it
// does not end within the record.
static const char *InsertionString(const EVENTLOGRECORD *record, int index)
{
    if (index >= record->NumStrings || record->StringOffset >= record->Length)
        return NULL;
    const char *string = (const char *)record + record->StringOffset;
    const char *end = (const char *)record + record->Length;
    for (const char *c = string; c < end; c++)
        if (*c == '\0')
        {
            if (index-- == 0)
                return string;
            string = c + 1;
        }
    return NULL;
}

// A number as the record writes it, "1" or "0x1"; -1 where it is none.
static int Number(const char *string)
{
    if (string == NULL || *string == '\0')
        return -1;
    int base = 10, number = 0;
    if (string[0] == '0' && (string[1] == 'x' || string[1] == 'X') && string[2])
        base = 16, string += 2;
    for (; *string; string++)
    {
        char c = (char)(*string | 0x20);
        int digit = c >= '0' && c <= '9' ? c - '0' : base == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0 || number > 0xFFFF)
            return -1;
        number = number * base + digit;
    }
    return number;
}

// A detail from an insertion string, where the record has it.
static void Cut(char *detail, const char *string)
{
    lstrcpynA(detail, string ? string : "", DETAIL_LENGTH + 1);
}

// The program's file name, without its folder and without the computer's
// name that ends it in brackets: "C:\Windows\explorer.exe (PC)" is
// explorer.exe, while "setup (1).exe" stays whole.
static void ProgramName(char *detail, const char *path)
{
    const char *name = path ? path : "";
    for (const char *c = name; *c; c++)
        if (*c == '\\' || *c == '/')
            name = c + 1;
    int length = lstrlenA(name);
    if (length > 0 && name[length - 1] == ')')
        for (int i = length - 2; i > 0; i--)
            if (name[i] == '(' && name[i - 1] == ' ')
            {
                length = i - 1;
                break;
            }
    lstrcpynA(detail, name, (length < DETAIL_LENGTH ? length : DETAIL_LENGTH) + 1);
}

static const Kind *KindOf(const EVENTLOGRECORD *record)
{
    for (const Kind &kind : KINDS)
        if (LOWORD(record->EventID) == kind.id && lstrcmpiA(Source(record), kind.source) == 0)
            return &kind;
    return NULL;
}

// The happening the record tells, where it is of a kind last night knows.
static void TakeKnown(Night *night, const EVENTLOGRECORD *record, DWORD read)
{
    const Kind *kind = KindOf(record);
    if (kind == NULL)
        return;
    Happening happening;
    ZeroMemory(&happening, sizeof happening);
    happening.what = kind->what;
    happening.mark = (BYTE)kind->mark;
    happening.time = record->TimeGenerated;
    happening.read = read;
    switch (happening.what)
    {
    case WOKE:
        Cut(happening.detail, InsertionString(record, WAKE_SOURCE_STRING));
        break;
    case ASKED:
    case CRASHED:
    case HUNG:
        ProgramName(happening.detail, InsertionString(record, PROGRAM_STRING));
        if (happening.what == ASKED)
            Cut(happening.kind, InsertionString(record, KIND_STRING));
        break;
    case STARTED:
        if (kind->id == BOOT_TYPE_EVENT)
        {
            int type = Number(InsertionString(record, BOOT_TYPE_STRING));
            if (type != BOOT_FULL && type != BOOT_FAST)
                return;
            happening.mark = (BYTE)(type == BOOT_FAST ? FAST_STARTUP : PLAIN);
        }
        break;
    default:
        break;
    }
    Keep(night, happening);
}

void TakeRecord(Night *night, const EVENTLOGRECORD *record)
{
    night->records++;
    DWORD second = record->TimeGenerated - night->since;
    if (second < WRITTEN_SECONDS)
        night->written[second / 8] |= (BYTE)(1 << second % 8);
    TakeKnown(night, record, night->system.read);
}

void TakeApplicationRecord(Night *night, const EVENTLOGRECORD *record)
{
    TakeKnown(night, record, night->application.read);
}
