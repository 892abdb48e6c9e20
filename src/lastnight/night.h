// What Windows' System log recorded of the last 24 hours, as last night
// reads it: newest first, each record it knows a happening.
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

// The lines shown at most, the newest: each may take two lines of the box,
// which must fit a 640 x 480 screen.
const int MOST_LINES = 10;
// A detail, such as a wake source, is cut to this many characters.
const int DETAIL_LENGTH = 40;

struct Happening
{
    Happened what;
    DWORD time;                     // TimeGenerated: seconds since 1970, UTC
    char detail[DETAIL_LENGTH + 1]; // what woke it, or the program that asked
    char kind[DETAIL_LENGTH + 1];   // what the program asked for
    DWORD before;                   // STOPPED: when the last record before the start was written; 0: none
};

enum Reading
{
    READ_WHOLE,  // every record of the 24 hours
    READ_CUT,    // the older ones not: one too large, or damaged
    NO_LOG,      // Windows 95, 98 and Me keep none
    LOG_MISSING, // this Windows lacks the functions that read it
    LOG_REFUSED, // Windows refused it
};

struct Night
{
    Reading reading;
    DWORD error;                 // why it was refused
    int records;                 // of the 24 hours, of every kind
    Happening lines[MOST_LINES]; // the newest, newest first
    int lineCount, leftOut;
    int stopped; // a STOPPED among them: when Windows started again, the newest
    DWORD startedAgain;
    int heldUp; // the newest request that no shutdown or start followed
    Happening heldUpRequest;
    int asked; // the newest request
    Happening lastRequest;
    Happened lastTaken; // as the records are taken
    int ended;          // a shutdown or start taken since the last request
    int waitingBefore;  // 1 + the line of a STOPPED waiting for the record before its start
};

// event_log.cpp: reads the System log's records of the last 24 hours, those
// written from `since` on, into the night.
void ReadNight(Night *night, DWORD since);

// records.cpp: takes one record, newest first, which the reader has found
// whole.
void TakeRecord(Night *night, const EVENTLOGRECORD *record);

#endif
