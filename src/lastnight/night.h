// What Windows' System log recorded of the last 24 hours, as last night
// reads it: each record it knows a happening, then, in time order, the
// lines the box shows.
#ifndef VARNEL_LASTNIGHT_NIGHT_H
#define VARNEL_LASTNIGHT_NIGHT_H

#include <windows.h>

enum Happened
{
    NOT_KNOWN,     // a record of another kind, left out
    SLEPT,         // the machine went to sleep
    STANDBY_BEGAN, // a Modern Standby machine went into it
    STANDBY_ENDED, // and came out of it
    WOKE,          // it woke, and what woke it
    ASKED,         // a program asked for a shutdown, restart or power-off
    STARTED,       // Windows started
    SHUT_DOWN,     // Windows shut down
    STOPPED,       // at the next start: Windows had stopped without shutting down
};

// What one record of a start adds to its line.
enum Mark
{
    PLAIN,
    KERNEL_STOP,  // Kernel-Power 41: its time is the stop's line's, before EventLog 6008's
    FAST_STARTUP, // Kernel-Boot 27 of boot type 1: the shutdown before it hibernated
};

// The lines shown at most, the newest: each may take two lines of the box,
// which must fit a 640 x 480 screen.
const int MOST_LINES = 10;
// A detail, such as a wake source, is cut to this many characters.
const int DETAIL_LENGTH = 40;
const DWORD DAY_SECONDS = 24 * 3600;
// The records it knows that it keeps at most, the newest; a real night's
// log holds far fewer. Any older ones count as lines left out.
const int MOST_KEPT = 512;
// Seconds in which some record was written, counted from the start of the
// 24 hours over two days: a clock set back may have written the newest.
const DWORD WRITTEN_SECONDS = 2 * DAY_SECONDS;

struct Happening
{
    Happened what;
    DWORD time;                     // TimeGenerated: seconds since 1970, UTC
    DWORD read;                     // counted as read, newest record first: the record order
    DWORD before;                   // STOPPED: the last record written before that start; 0: none
    char detail[DETAIL_LENGTH + 1]; // what woke it, or the program that asked
    char kind[DETAIL_LENGTH + 1];   // what the program asked for
    BYTE mark;                      // a Mark
};

enum Reading
{
    READ_WHOLE,     // every record of the 24 hours
    READ_CUT,       // the older ones not: one too large, or damaged
    NO_LOG,         // Windows 95, 98 and Me keep none
    LOG_MISSING,    // this Windows lacks the functions that read it
    LOG_REFUSED,    // Windows refused it
    LOG_UNREADABLE, // its newest record too large, or damaged
};

struct Night
{
    Reading reading;
    DWORD error; // why it was refused
    DWORD since; // the 24 hours begin
    DWORD read;  // whole records read, of any time
    int records; // of the 24 hours, of every kind
    // The records it knows: as read, the newest first by time; once
    // arranged, its lines, oldest first.
    Happening happenings[MOST_KEPT];
    int count, dropped;                // kept; older ones not kept
    BYTE written[WRITTEN_SECONDS / 8]; // a bit a second from `since`
    int stopped;                       // a STOPPED among them: when Windows started again, the newest
    DWORD startedAgain;
    int heldUp; // the newest request that Windows did not go down for
    Happening heldUpRequest;
    int asked; // the newest request
    Happening lastRequest;
    int wentDownOrUp; // a line of Windows shutting down or starting
};

// event_log.cpp: reads the System log's records of the 24 hours from
// `since` on into the night, newest first, back to two days before now:
// a clock set back writes newer records with older times.
void ReadNight(Night *night, DWORD since);

// records.cpp: takes one record, which the reader has found whole.
void TakeRecord(Night *night, const EVENTLOGRECORD *record);

// timeline.cpp: keeps a record's happening among the newest; once all are
// taken, makes them the lines in time order and finds what matters most.
void Keep(Night *night, const Happening &happening);
void ArrangeNight(Night *night);

#endif
