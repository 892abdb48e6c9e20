#include "lastnight/telling.h"

#include <time.h>

#include "companion/box_text.h"

// Where the lines fall on two dates, each time also gives its day.
static int withDay;

// The time a record was written, as the local clock showed it.
static const char *LocalTime(DWORD seconds)
{
    static char out[16];
    time_t at = (time_t)seconds;
    const struct tm *local = localtime(&at);
    if (local == NULL)
        lstrcpyA(out, "--:--");
    else if (withDay)
        wsprintfA(out, "%.3s %02d:%02d", "SunMonTueWedThuFriSat" + 3 * local->tm_wday, local->tm_hour, local->tm_min);
    else
        wsprintfA(out, "%02d:%02d", local->tm_hour, local->tm_min);
    return out;
}

static int Date(DWORD seconds)
{
    time_t at = (time_t)seconds;
    const struct tm *local = localtime(&at);
    return local ? local->tm_year * 400 + local->tm_yday : 0;
}

static int IsVarnel(const char *program)
{
    return lstrcmpiA(program, VARNEL_PROGRAM) == 0;
}

static int ByExplorer(const Happening &request)
{
    return lstrcmpiA(request.detail, "explorer.exe") == 0;
}

// Who asked, as the user knows them.
static const char *Who(const Happening &request)
{
    if (IsVarnel(request.detail))
        return "Varnel";
    if (ByExplorer(request))
        return "you, from the Start menu";
    return request.detail[0] ? request.detail : "a program";
}

static const char *Kind(const Happening &request)
{
    return request.kind[0] ? request.kind : "shutdown";
}

// How a program's use of the sound input ended: at a time; with no end
// recorded, since Windows started after it began; or not yet.
enum InputEnd
{
    ENDED,
    NO_END,
    STILL_HAS,
};

static InputEnd EndOf(const Night *night, const Happening &use)
{
    if (use.until)
        return ENDED;
    return night->lastStart > use.time ? NO_END : STILL_HAS;
}

// After "had the sound input": until when, for how long, or why not.
static void AddInputEnd(BoxText *text, const Night *night, const Happening &use, const char *until)
{
    InputEnd end = EndOf(night, use);
    if (end == ENDED)
        AddText(text, " %s %s (%lu min)", until, LocalTime(use.until), (use.until - use.time + 30) / 60);
    else
        AddString(text, end == NO_END ? "; no end was recorded" : " and still has it");
}

static const char *RecorderMark(const Happening &use)
{
    return use.mark == RECORDER ? " (the recorder)" : "";
}

static void AddLine(BoxText *text, const Night *night, const Happening &line)
{
    static const char *const WORDS[] = {"",
                                        "went to sleep",
                                        "went into Modern Standby",
                                        "came out of Modern Standby",
                                        "woke",
                                        "asked for",
                                        "Windows started",
                                        "Windows shut down",
                                        "Windows had stopped without shutting down",
                                        "had the sound input",
                                        "stopped working",
                                        "was closed, not answering"};
    AddText(text, "%s ", LocalTime(line.time));
    if (line.what == WOKE && line.detail[0])
        AddText(text, "woke: %s", line.detail);
    else if (line.what == ASKED)
        AddText(text, "%s by %s", Kind(line), line.detail[0] ? line.detail : "a program");
    else if (line.what == STOPPED && line.before)
        AddText(text, "%s; the last record before: %s", WORDS[line.what], LocalTime(line.before));
    else if (line.what == STOPPED)
        AddText(text, "%s; it cannot tell when", WORDS[line.what]);
    else if (line.what == SOUND_INPUT)
    {
        AddText(text, "%s%s %s", line.detail, RecorderMark(line), WORDS[line.what]);
        AddInputEnd(text, night, line, "until");
    }
    else if (StoppedWorking(line.what))
        AddText(text, "%s %s", IsVarnel(line.detail) ? "Varnel" : line.detail, WORDS[line.what]);
    else
        AddString(text, WORDS[line.what]);
    AddString(text, "\n");
}

// The first line: what matters most, the first of these that holds.
static UINT AddFirstLine(BoxText *text, const Night *night)
{
    if (night->stopped)
    {
        AddText(text, "Windows stopped without shutting down (power lost, or a crash). It started again at %s.",
                LocalTime(night->startedAgain));
        return MB_ICONWARNING;
    }
    if (night->heldUp)
    {
        const Happening &request = night->heldUpRequest;
        AddText(text,
                "A %s asked for at %s by %s did not happen: a program that asks to save its work can hold up "
                "even a forced shutdown.",
                Kind(request), LocalTime(request.time), Who(request));
        return MB_ICONWARNING;
    }
    if (night->asked)
    {
        const Happening &request = night->lastRequest;
        AddText(text, "The last %s, at %s, was asked for by %s.", Kind(request), LocalTime(request.time), Who(request));
        // Another program's: an update's restart, most likely.
        return IsVarnel(request.detail) || ByExplorer(request) ? MB_ICONINFORMATION : MB_ICONWARNING;
    }
    // Windows 2000 records shutdowns and starts, but no requests.
    if (night->wentDownOrUp)
        AddString(text, "Windows recorded no program's request for a shutdown in the last 24 hours.");
    else
        AddString(text, "Windows recorded no shutdown in the last 24 hours.");
    return MB_ICONINFORMATION;
}

// The program's use of the sound input, the newest; NULL where it had none.
static const Happening *UseOf(const Night *night, const char *program)
{
    for (int i = night->count - 1; i >= 0; i--)
        if (night->happenings[i].what == SOUND_INPUT && lstrcmpiA(night->happenings[i].detail, program) == 0)
            return &night->happenings[i];
    return NULL;
}

// The two programs that had the sound input last, the newest first.
static void AddNames(BoxText *text, const Night *night)
{
    int named = 0;
    for (int i = night->count - 1; i >= 0 && named < 2; i--)
        if (night->happenings[i].what == SOUND_INPUT)
            AddText(text, "%s%s", named++ ? " and " : "", night->happenings[i].detail);
}

// The second line: whether the sound input was taken, the first of these
// that holds.
static UINT AddSecondLine(BoxText *text, const Night *night)
{
    if (!night->soundKept)
    {
        AddString(text, "This Windows does not record which programs use the sound input.");
        return MB_ICONINFORMATION;
    }
    // A program that stopped working after it took the input: the
    // recorder where it is among them, else the newest.
    const Happening *crash = NULL, *crashedUse = NULL, *recorder = NULL;
    for (int i = 0; i < night->count; i++)
    {
        const Happening &line = night->happenings[i];
        const Happening *use = StoppedWorking(line.what) ? UseOf(night, line.detail) : NULL;
        if (use && use->time < line.time && (!crash || use->mark == RECORDER || crashedUse->mark != RECORDER))
            crash = &line, crashedUse = use;
        if (line.what == SOUND_INPUT && line.mark == RECORDER)
            recorder = &line;
    }
    if (crash)
    {
        AddText(text, "%s%s %s at %s", crash->detail, RecorderMark(*crashedUse),
                crash->what == CRASHED ? "stopped working" : "was closed, not answering,", LocalTime(crash->time));
        AddText(text, ", after it took the sound input at %s.", LocalTime(crashedUse->time));
        return MB_ICONWARNING;
    }
    if (recorder)
    {
        AddText(text, "The recorder, %s, had the sound input from %s", recorder->detail, LocalTime(recorder->time));
        AddInputEnd(text, night, *recorder, "to");
        AddString(text, ".");
        return MB_ICONINFORMATION;
    }
    int programs = 0;
    for (int i = 0; i < night->count; i++)
        programs += night->happenings[i].what == SOUND_INPUT;
    if (night->recorder[0])
    {
        AddText(text, "Windows recorded no sound input by the recorder, %s, in the last 24 hours", night->recorderFile);
        if (programs)
        {
            AddString(text, "; ");
            AddNames(text, night);
            AddString(text, " had it");
        }
        AddString(text, ".");
        return MB_ICONWARNING;
    }
    if (programs)
    {
        AddString(text, "Windows recorded ");
        AddNames(text, night);
        AddString(text, " using the sound input");
        if (programs > 2)
            AddText(text, ", and %d more", programs - 2);
        AddString(text, ".");
        return MB_ICONINFORMATION;
    }
    if (night->soundUnread)
        AddString(text, "Windows' record of which programs used the sound input could not be read.");
    else
        AddString(text, "Windows recorded no desktop program using the sound input in the last 24 hours.");
    return MB_ICONWARNING;
}

Telling TellNight(const Night *night, char *buffer)
{
    BoxText text;
    StartText(&text, buffer, TEXT_SIZE);
    Telling telling = {MB_ICONINFORMATION, 0};
    // The newest lines, those that fit.
    int first = night->count > MOST_LINES ? night->count - MOST_LINES : 0;
    int leftOut = first + night->dropped;
    // Every time the box gives is a line's, or when its use or its stop
    // ended or began.
    withDay = 0;
    int date = night->count ? Date(night->happenings[0].time) : 0;
    for (int i = 0; i < night->count; i++)
    {
        const Happening &line = night->happenings[i];
        withDay |= Date(line.time) != date || (line.until && Date(line.until) != date) ||
                   (line.before && Date(line.before) != date);
    }

    Reading reading = night->system.reading;
    if (reading == NO_LOG)
        AddString(&text, "This Windows keeps no record of the night: Windows 95, 98 and Me have no event log.");
    else if (reading == LOG_MISSING)
        AddString(&text, "This Windows has no record of the night that this program can read.");
    else if (reading == LOG_REFUSED)
        AddText(&text, "Windows did not let this program read its record of the night (error %lu).",
                night->system.error);
    else if (reading == LOG_UNREADABLE)
        AddString(&text, "Windows' record of the night could not be read: its newest record is too large, or "
                         "damaged.");
    else if (night->records == 0)
        AddString(&text, "Windows recorded nothing in its System log in the last 24 hours: this cannot tell how "
                         "the night went.");
    else
        telling.icon = AddFirstLine(&text, night);
    AddString(&text, "\n");
    if (AddSecondLine(&text, night) == MB_ICONWARNING)
        telling.icon = MB_ICONWARNING;
    if (reading >= NO_LOG)
        telling.status = 2;
    else if (telling.icon == MB_ICONWARNING)
        telling.status = 1;

    AddString(&text, "\n\n");
    int timeline = lstrlenA(buffer);
    if (leftOut)
        AddText(&text, "%d earlier line%s left out.\n", leftOut, leftOut == 1 ? "" : "s");
    for (int i = first; i < night->count; i++)
        AddLine(&text, night, night->happenings[i]);
    if (night->otherCrashes)
        AddText(&text, "%d other program%s stopped working.\n", night->otherCrashes,
                night->otherCrashes == 1 ? "" : "s");
    if (night->soundUnread)
        AddText(&text, "%d record%s of the sound input could not be read.\n", night->soundUnread,
                night->soundUnread == 1 ? "" : "s");
    if (night->application.reading == READ_CUT)
        AddString(&text, "It could not read all the programs that stopped working.\n");
    else if (night->application.reading >= LOG_REFUSED)
        AddString(&text, "It could not read which programs stopped working.\n");
    if (reading == READ_CUT)
        AddString(&text, "Older records were not read: one is too large, or damaged.\n");
    if (lstrlenA(buffer) > timeline)
        AddString(&text, "\n");
    AddString(&text, "It cannot tell whether what came in was the sound you wanted: it may be silence, or the "
                     "wrong input.");
    return telling;
}
