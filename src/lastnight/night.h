// What Windows recorded of the last 24 hours, as last night reads it: each
// record of its System and Application logs that it knows, and each
// program's last use of the sound input, a happening; then, in time order,
// the lines the box shows.
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
    SOUND_INPUT,   // a program had the sound input, from then on
    CRASHED,       // a program stopped working
    HUNG,          // a program stopped answering and was closed
};

// A program that crashed, or was closed when it stopped answering: the
// Application log's records.
inline int StoppedWorking(Happened what)
{
    return what == CRASHED || what == HUNG;
}

// What one record of a start adds to its line.
enum Mark
{
    PLAIN,
    KERNEL_STOP,   // Kernel-Power 41: its time is the stop's line's, before EventLog 6008's
    FAST_STARTUP,  // Kernel-Boot 27 of boot type 1: the shutdown before it hibernated
    RECORDER,      // the sound input's use by the recorder
    OTHER_PROGRAM, // a program that stopped working and had not the sound input: counted, no line
};

// The lines shown at most, the newest: each may take two lines of the box,
// which must fit a 640 x 480 screen.
const int MOST_LINES = 6;
// A detail, such as a wake source, is cut to this many characters.
const int DETAIL_LENGTH = 40;
const DWORD DAY_SECONDS = 24 * 3600;
// The records it knows that it keeps at most, the newest; a real night's
// log holds far fewer. Any older ones count as lines left out.
const int MOST_KEPT = 512;
// Seconds in which some record was written, counted from the start of the
// 24 hours over two days: a clock set back may have written the newest.
const DWORD WRITTEN_SECONDS = 2 * DAY_SECONDS;
// Varnel's own file, as Windows names the program that asked or crashed.
const char VARNEL_PROGRAM[] = "varnel.exe";

struct Happening
{
    Happened what;
    DWORD time;                     // TimeGenerated: seconds since 1970, UTC
    DWORD read;                     // counted as read, newest record first: the record order
    DWORD before;                   // STOPPED: the last record written before that start; 0: none
    DWORD until;                    // SOUND_INPUT: when the program let it go; 0: no end recorded
    char detail[DETAIL_LENGTH + 1]; // what woke it, or the program that asked, crashed or had the input
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

// How one of Windows' logs was read.
struct LogRead
{
    Reading reading;
    DWORD error; // why it was refused
    DWORD read;  // whole records read, of any time
};

struct Night
{
    DWORD since;                 // the 24 hours begin
    LogRead system, application; // the System log; the Application log, of programs that stopped working
    int records;                 // of the System log's 24 hours, of every kind
    // What Windows records of the programs that used the sound input:
    // whether this Windows keeps it, and its entries not read.
    int soundKept, soundUnread;
    char recorder[MAX_PATH]; // the recorder's program file, where it is running and Windows tells; "" otherwise
    char recorderFile[DETAIL_LENGTH + 1]; // its file name, without the folder
    // The records it knows: as read, the newest first by time; once
    // arranged, its lines, oldest first.
    Happening happenings[MOST_KEPT];
    int count, dropped;                // kept; older ones not kept
    BYTE written[WRITTEN_SECONDS / 8]; // a bit a second from `since`: a System record then
    int stopped;                       // a STOPPED among them: when Windows started again, the newest
    DWORD startedAgain;
    int heldUp; // the newest request that Windows did not go down for
    Happening heldUpRequest;
    int asked; // the newest request
    Happening lastRequest;
    int wentDownOrUp; // a line of Windows shutting down or starting
    DWORD lastStart;  // the newest line of Windows starting; 0: none
    int otherCrashes; // programs that stopped working, not shown
};

// event_log.cpp: reads the System and Application logs' records of the 24
// hours from `since` on into the night, newest first, back to two days
// before now: a clock set back writes newer records with older times.
void ReadNight(Night *night, DWORD since);

// records.cpp: takes one record of the System log, or of the Application
// log, which the reader has found whole.
void TakeRecord(Night *night, const EVENTLOGRECORD *record);
void TakeApplicationRecord(Night *night, const EVENTLOGRECORD *record);

// recorder.cpp: the recorder's program file, into night->recorder.
void FindRecorder(Night *night);

// sound_input.cpp: the programs that had the sound input in the 24 hours,
// or have it still.
void ReadSoundInput(Night *night);

// timeline.cpp: keeps a record's happening among the newest; once all are
// taken, makes them the lines in time order and finds what matters most.
void Keep(Night *night, const Happening &happening);
void ArrangeNight(Night *night);

// clock.cpp: a time in UTC as seconds since 1970; now.
DWORD SecondsSince1970(const SYSTEMTIME &at);
DWORD SecondsNow();

#endif
