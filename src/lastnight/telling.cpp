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

static int ByVarnel(const Happening &request)
{
    return lstrcmpiA(request.detail, "varnel.exe") == 0;
}

static int ByExplorer(const Happening &request)
{
    return lstrcmpiA(request.detail, "explorer.exe") == 0;
}

// Who asked, as the user knows them.
static const char *Who(const Happening &request)
{
    if (ByVarnel(request))
        return "Varnel";
    if (ByExplorer(request))
        return "you, from the Start menu";
    return request.detail[0] ? request.detail : "a program";
}

static const char *Kind(const Happening &request)
{
    return request.kind[0] ? request.kind : "shutdown";
}

static void AddLine(BoxText *text, const Happening &line)
{
    static const char *const WORDS[] = {"",
                                        "went to sleep",
                                        "went into Modern Standby",
                                        "came out of Modern Standby",
                                        "woke",
                                        "asked for",
                                        "Windows started",
                                        "Windows shut down",
                                        "Windows had stopped without shutting down"};
    AddText(text, "%s ", LocalTime(line.time));
    if (line.what == WOKE && line.detail[0])
        AddText(text, "woke: %s\n", line.detail);
    else if (line.what == ASKED)
        AddText(text, "%s by %s\n", Kind(line), line.detail[0] ? line.detail : "a program");
    else if (line.what == STOPPED && line.before)
        AddText(text, "%s; the last record before: %s\n", WORDS[line.what], LocalTime(line.before));
    else if (line.what == STOPPED)
        AddText(text, "%s; it cannot tell when\n", WORDS[line.what]);
    else
        AddText(text, "%s\n", WORDS[line.what]);
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
        return ByVarnel(request) || ByExplorer(request) ? MB_ICONINFORMATION : MB_ICONWARNING;
    }
    // Windows 2000 records shutdowns and starts, but no requests.
    if (night->wentDownOrUp)
        AddString(text, "Windows recorded no program's request for a shutdown in the last 24 hours.");
    else
        AddString(text, "Windows recorded no shutdown in the last 24 hours.");
    return MB_ICONINFORMATION;
}

Telling TellNight(const Night *night)
{
    static char buffer[1536];
    BoxText text;
    StartText(&text, buffer, sizeof buffer);
    Telling telling = {buffer, MB_ICONINFORMATION, 0};
    // The newest lines, those that fit.
    int first = night->count > MOST_LINES ? night->count - MOST_LINES : 0;
    int leftOut = first + night->dropped;
    withDay = 0;
    for (int i = first + 1; i < night->count; i++)
        withDay |= Date(night->happenings[i].time) != Date(night->happenings[first].time);

    if (night->reading == NO_LOG)
        AddString(&text, "This Windows keeps no record of the night: Windows 95, 98 and Me have no event log.");
    else if (night->reading == LOG_MISSING)
        AddString(&text, "This Windows has no record of the night that this program can read.");
    else if (night->reading == LOG_REFUSED)
        AddText(&text, "Windows did not let this program read its record of the night (error %lu).", night->error);
    else if (night->reading == LOG_UNREADABLE)
        AddString(&text, "Windows' record of the night could not be read: its newest record is too large, or "
                         "damaged.");
    else if (night->records == 0)
        AddString(&text, "Windows recorded nothing in its System log in the last 24 hours: this cannot tell how "
                         "the night went.");
    else
        telling.icon = AddFirstLine(&text, night);
    if (night->reading >= NO_LOG)
        telling.status = 2;
    else if (telling.icon == MB_ICONWARNING)
        telling.status = 1;

    AddString(&text, "\n\n");
    if (leftOut)
        AddText(&text, "%d earlier line%s left out.\n", leftOut, leftOut == 1 ? "" : "s");
    for (int i = first; i < night->count; i++)
        AddLine(&text, night->happenings[i]);
    if (night->reading == READ_CUT)
        AddString(&text, "Older records were not read: one is too large, or damaged.\n");
    if (night->count || night->reading == READ_CUT)
        AddString(&text, "\n");
    AddString(&text, "It cannot tell whether the recorder recorded.");
    return telling;
}
