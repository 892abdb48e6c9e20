// The records last night knows, and what each tells.
#include "lastnight/night.h"

static const char KERNEL_POWER[] = "Microsoft-Windows-Kernel-Power";

struct Kind
{
    const char *source; // in any capitals: User32 is USER32 on XP
    WORD id;            // the low word: classic records carry qualifier bits above it
    Happened what;
};
// The event IDs as Windows 10's and 11's manifests and message files give
// them.
static const Kind KINDS[] = {
    {KERNEL_POWER, 42, SLEPT},
    {KERNEL_POWER, 506, STANDBY_BEGAN},
    {KERNEL_POWER, 507, STANDBY_ENDED},
    {"Microsoft-Windows-Power-Troubleshooter", 1, WOKE},
    {"User32", 1074, ASKED},
    {"EventLog", 6005, STARTED},
    {"EventLog", 6006, SHUT_DOWN},
    {"EventLog", 6008, STOPPED},
    {KERNEL_POWER, 41, STOPPED},
};
// Insertion strings, counted from 0, at their places in the events'
// templates: Power-Troubleshooter 1's WakeSourceText (%15, versions 0 to 3);
// User32 1074's process (%1) and the kind of shutdown (%5).
const int WAKE_SOURCE_STRING = 14;
const int PROGRAM_STRING = 0;
const int KIND_STRING = 4;

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

static void Cut(char *detail, const char *string)
{
    lstrcpynA(detail, string ? string : "", DETAIL_LENGTH + 1);
}

// The program's file name, without its folder and without the computer's
// name after it: "C:\Windows\explorer.exe (PC)" is explorer.exe.
static void ProgramName(char *detail, const char *path)
{
    const char *name = path ? path : "";
    for (const char *c = name; *c; c++)
        if (*c == '\\' || *c == '/')
            name = c + 1;
    Cut(detail, name);
    for (char *c = detail; *c; c++)
        if (c[0] == ' ' && c[1] == '(')
            *c = '\0';
}

static Happened What(const EVENTLOGRECORD *record)
{
    for (const Kind &kind : KINDS)
        if (LOWORD(record->EventID) == kind.id && lstrcmpiA(Source(record), kind.source) == 0)
            return kind.what;
    return NOT_KNOWN;
}

void TakeRecord(Night *night, const EVENTLOGRECORD *record)
{
    night->records++;
    Happening happening;
    ZeroMemory(&happening, sizeof happening);
    happening.what = What(record);
    happening.time = record->TimeGenerated;
    if (happening.what == NOT_KNOWN)
        return;
    // Kernel-Power 41 and EventLog 6008, written at the same start: one line.
    if (happening.what == STOPPED && night->lastTaken == STOPPED)
        return;
    night->lastTaken = happening.what;
    // The last record before a start after a stop: the first older one
    // that is not of that start.
    if (night->waitingBefore && happening.what != STARTED && happening.what != STOPPED)
    {
        night->lines[night->waitingBefore - 1].before = happening.time;
        night->waitingBefore = 0;
    }
    switch (happening.what)
    {
    case WOKE:
        Cut(happening.detail, InsertionString(record, WAKE_SOURCE_STRING));
        break;
    case ASKED:
        ProgramName(happening.detail, InsertionString(record, PROGRAM_STRING));
        Cut(happening.kind, InsertionString(record, KIND_STRING));
        // Read newest first: held up where no shutdown or start came
        // between it and the next request, or now.
        if (!night->ended && !night->heldUp)
            night->heldUp = 1, night->heldUpRequest = happening;
        if (!night->asked)
            night->asked = 1, night->lastRequest = happening;
        night->ended = 0;
        break;
    case STARTED:
    case SHUT_DOWN:
        night->ended = 1;
        break;
    case STOPPED:
        if (!night->stopped)
            night->stopped = 1, night->startedAgain = happening.time;
        break;
    default:
        break;
    }
    if (night->lineCount == MOST_LINES)
    {
        night->leftOut++;
        return;
    }
    night->lines[night->lineCount++] = happening;
    if (happening.what == STOPPED)
        night->waitingBefore = night->lineCount;
}
