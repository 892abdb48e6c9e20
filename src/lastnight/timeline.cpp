// The night in time order: the records kept, made into the box's lines.
// Windows' record order is not time order: the kernel writes its records
// of a shutdown and of the next start after the EventLog service's, and
// a 6006 may stand before the request that it followed.
#include "lastnight/night.h"

// A request is done where Windows went down within these of it.
const DWORD SHUTDOWN_WITHIN = 30 * 60;
const DWORD SLEEP_WITHIN = 2 * 60;
// The records of one start, or of one shutdown, lie within this of the first.
const DWORD ONE_START_WITHIN = 5 * 60;
// The last record before a stop is more than this older than that start.
const DWORD BEFORE_START = 60;

// Within one second: a request, then Windows going down, then coming up.
static int Rank(Happened what)
{
    switch (what)
    {
    case ASKED:
        return 0;
    case SLEPT:
    case STANDBY_BEGAN:
    case SHUT_DOWN:
        return 1;
    default:
        return 2;
    }
}

// Whether `one` comes before `other` in time order; of two of one second
// and one rank, the older record, which was read later.
static int ComesBefore(const Happening &one, const Happening &other)
{
    if (one.time != other.time)
        return one.time < other.time;
    if (Rank(one.what) != Rank(other.what))
        return Rank(one.what) < Rank(other.what);
    return one.read > other.read;
}

void Keep(Night *night, const Happening &happening)
{
    // Newest first, as the records mostly come: the oldest falls off the end.
    int at = night->count;
    while (at > 0 && ComesBefore(night->happenings[at - 1], happening))
        at--;
    if (night->count == MOST_KEPT)
    {
        night->dropped++;
        if (at == MOST_KEPT)
            return;
        night->count--;
    }
    for (int i = night->count; i > at; i--)
        night->happenings[i] = night->happenings[i - 1];
    night->happenings[at] = happening;
    night->count++;
}

// Whether, after the request and before the next, Windows went down for
// it: a shutdown record or a sleep soon after, or, first of all, a start
// after a Fast Startup shutdown, which hibernates and stops nothing that
// writes 6006.
static int Done(const Night *night, int request)
{
    const Happening *h = night->happenings;
    // The System log's next record: a program closed as Windows went down
    // is the Application log's, and a use of the sound input no record.
    int next = request + 1;
    while (next < night->count && (h[next].what == SOUND_INPUT || StoppedWorking(h[next].what)))
        next++;
    if (next < night->count && h[next].mark == FAST_STARTUP)
        return 1;
    for (int i = request + 1; i < night->count && h[i].what != ASKED; i++)
    {
        DWORD after = h[i].time - h[request].time;
        if ((h[i].what == SHUT_DOWN && after <= SHUTDOWN_WITHIN) || (h[i].what == SLEPT && after <= SLEEP_WITHIN))
            return 1;
    }
    return 0;
}

// 1 for a record of a start, 2 of a shutdown, 0 of neither.
static int Side(Happened what)
{
    return what == STARTED || what == STOPPED ? 1 : what == SHUT_DOWN ? 2 : 0;
}

// The newest second before `at`, of the 24 hours, in which Windows wrote
// any record; 0 where there is none.
static DWORD LastWrittenBefore(const Night *night, DWORD at)
{
    if (at <= night->since)
        return 0;
    DWORD second = at - night->since;
    if (second > WRITTEN_SECONDS)
        second = WRITTEN_SECONDS;
    while (second-- > 0)
        if (night->written[second / 8] & (1 << second % 8))
            return night->since + second;
    return 0;
}

// The records of one start, or of one shutdown, from its first: those
// within five minutes of it with no request, sleep or record of the other
// side between make one line, at the first's time. A start that holds a
// stop is the stop's line instead, at Kernel-Power 41's time, else at
// EventLog 6008's.
static void OneLine(Night *night, int first)
{
    Happening *h = night->happenings;
    Happening &line = h[first];
    DWORD stoppedAt = 0;
    int byKernel = 0;
    for (int i = first; i < night->count && h[i].time - line.time <= ONE_START_WITHIN; i++)
    {
        int side = Side(h[i].what);
        if (h[i].what == ASKED || h[i].what == SLEPT || (side && side != Side(line.what)))
            break;
        if (side == 0)
            continue;
        if (h[i].what == STOPPED && (!stoppedAt || (h[i].mark == KERNEL_STOP && !byKernel)))
            stoppedAt = h[i].time, byKernel = h[i].mark == KERNEL_STOP;
        if (i != first)
            h[i].what = NOT_KNOWN;
    }
    if (stoppedAt)
    {
        line.before = LastWrittenBefore(night, line.time - BEFORE_START);
        line.what = STOPPED, line.time = stoppedAt;
    }
}

// Whether a program that stopped working has its line: Varnel, or one
// that had the sound input.
static int Shown(const Night *night, const Happening &crash)
{
    if (lstrcmpiA(crash.detail, VARNEL_PROGRAM) == 0)
        return 1;
    for (int i = 0; i < night->count; i++)
        if (night->happenings[i].what == SOUND_INPUT && lstrcmpiA(night->happenings[i].detail, crash.detail) == 0)
            return 1;
    return 0;
}

void ArrangeNight(Night *night)
{
    Happening *h = night->happenings, swapped;
    for (int i = 0, j = night->count - 1; i < j; i++, j--)
        swapped = h[i], h[i] = h[j], h[j] = swapped;
    // Oldest first now; the newest request, and the newest held up.
    for (int i = 0; i < night->count; i++)
        if (h[i].what == ASKED)
        {
            night->asked = 1, night->lastRequest = h[i];
            if (!Done(night, i))
                night->heldUp = 1, night->heldUpRequest = h[i];
        }
    for (int i = 0; i < night->count; i++)
        if (Side(h[i].what))
            OneLine(night, i);
    // Of the programs that stopped working, those that had the sound input
    // and Varnel have lines; the others are counted, each program once.
    for (int i = 0; i < night->count; i++)
        if (StoppedWorking(h[i].what) && !Shown(night, h[i]))
        {
            int again = 0;
            for (int j = 0; j < i && !again; j++)
                again = StoppedWorking(h[j].what) && lstrcmpiA(h[j].detail, h[i].detail) == 0;
            night->otherCrashes += !again;
            h[i].mark = OTHER_PROGRAM;
        }
    // The lines, in time order again: a stop's line took a later time.
    int lines = 0;
    for (int i = 0; i < night->count; i++)
    {
        if (h[i].what == NOT_KNOWN || h[i].mark == OTHER_PROGRAM)
            continue;
        Happening line = h[i];
        int at = lines++;
        for (; at > 0 && ComesBefore(line, h[at - 1]); at--)
            h[at] = h[at - 1];
        h[at] = line;
    }
    night->count = lines;
    for (int i = 0; i < lines; i++)
    {
        if (Side(h[i].what) == 1)
            night->lastStart = h[i].time;
        night->wentDownOrUp |= Side(h[i].what) != 0;
        if (h[i].what == STOPPED)
            night->stopped = 1, night->startedAgain = h[i].time;
    }
}
