// What other programs and the user see of Varnel, written down once for
// every test and stand-in, apart from the program's own headers: a test
// that took these from the program could not fail when the program had one
// wrong. tests/contract/contract.py reads this file for the Python tests, so
// each value stays on one line in one of the forms used here.
#ifndef VARNEL_TESTS_CONTRACT_H
#define VARNEL_TESTS_CONTRACT_H

#include <windows.h>

namespace Contract
{

// The main window.
const char WINDOW_CLASS[] = "VARNEL";
const char WINDOW_TITLE[] = "Varnel";
const DWORD WINDOW_STYLE = 0x10C80000; // visible, caption, close box; no sizing
const UINT CLASS_STYLE = 0x0003;       // redrawn whole when resized
const int WINDOW_WIDTH = 212;
const int WINDOW_HEIGHT = 132;
const int ICON_ID = 101;

// Its nine controls: BUTTON windows, 12 x 12, with an empty caption.
const int CONTROL_SIZE = 12;
const int IDC_START_HOUR_UP = 0;
const int IDC_START_HOUR_DOWN = 1;
const int IDC_START_MIN_UP = 2;
const int IDC_START_MIN_DOWN = 3;
const int IDC_STOP_HOUR_UP = 4;
const int IDC_STOP_HOUR_DOWN = 5;
const int IDC_STOP_MIN_UP = 6;
const int IDC_STOP_MIN_DOWN = 7;
const int IDC_SHUTDOWN_CHECK = 8;
const DWORD PUSH_BUTTON_STYLE = 0x50000000; // child, visible
const DWORD CHECK_BOX_STYLE = 0x50000003;   // child, visible, automatic check box

struct ControlPlace
{
    int id, x, y;
    DWORD style;
};
// In the order they are created: on each row the upper button raises the
// time and the lower one lowers it; those at x 43 step the hour, those at
// x 148 the minutes.
// clang-format off
const ControlPlace CONTROLS[] = {
    {IDC_START_HOUR_UP, 43, 4, PUSH_BUTTON_STYLE},  {IDC_START_HOUR_DOWN, 43, 18, PUSH_BUTTON_STYLE},
    {IDC_START_MIN_UP, 148, 4, PUSH_BUTTON_STYLE},  {IDC_START_MIN_DOWN, 148, 18, PUSH_BUTTON_STYLE},
    {IDC_STOP_HOUR_UP, 43, 39, PUSH_BUTTON_STYLE},  {IDC_STOP_HOUR_DOWN, 43, 53, PUSH_BUTTON_STYLE},
    {IDC_STOP_MIN_UP, 148, 39, PUSH_BUTTON_STYLE},  {IDC_STOP_MIN_DOWN, 148, 53, PUSH_BUTTON_STYLE},
    {IDC_SHUTDOWN_CHECK, 40, 73, CHECK_BOX_STYLE},
};
// clang-format on

// The tick.
const UINT_PTR TIMER_ID = 1;
const UINT TICK_MS = 2000;

// The panel: the areas redrawn without erasing, the lamps' colours, the fonts.
const RECT RECT_START_TIME = {60, 3, 150, 34};
const RECT RECT_STOP_TIME = {60, 37, 150, 68};
const RECT RECT_LAMP_REC = {8, 18, 18, 28};
const RECT RECT_LAMP_STOP = {8, 53, 18, 63};
const RECT RECT_LAMP_SHUTDOWN = {8, 73, 18, 83};
const COLORREF COLOUR_LAMP_REC = RGB(255, 0, 0);
const COLORREF COLOUR_LAMP_STOP = RGB(0, 0, 255);
const COLORREF COLOUR_LAMP_SHUTDOWN = RGB(255, 255, 0);
const char TIME_FONT_FACE[] = "Courier New";
const int TIME_FONT_HEIGHT = 32;
const int TIME_FONT_WEIGHT = 700;
const BYTE TIME_FONT_PITCH = 0x31; // fixed pitch, modern
const char LABEL_FONT_FACE[] = "MS Sans Serif";
const int LABEL_FONT_HEIGHT = 12;
const int LABEL_FONT_WEIGHT = 400;
const BYTE LABEL_FONT_PITCH = 0x22; // variable pitch, swiss

// The recorder: found by its window class, sent WM_COMMAND with lParam 0.
const char RECORDER_CLASS[] = "TORVIK";
const int CMD_REC_START = 1001;
const int CMD_REC_STOP = 1003;

// The sound driver's alert: found by its whole title, answered with Space.
const char ALERT_TITLE[] = "C-Media PCI Audio Driver Alert";
const int ALERT_KEY = 0x20;       // VK_SPACE
const int ALERT_SCAN_CODE = 0x45; // not Space's usual 0x39

// The encoders: found by whole titles.
const char *const ENCODER_TITLES[] = {"waveflt2", "lame", "gogo"};

// The shutdown request to the system, and on the NT family the privilege
// asked for first, through a token opened for adjusting and querying.
const UINT SHUTDOWN_FLAGS_95 = 0x5; // shutdown, forced
const UINT SHUTDOWN_FLAGS_NT = 0xC; // power-off, forced
const char SHUTDOWN_PRIVILEGE[] = "SeShutdownPrivilege";
const DWORD TOKEN_ACCESS = 0x28;

// Asked of the system once the window and its tick exist, and again after
// every wake, where the system has the call (SetThreadExecutionState): stay
// awake, until the process ends.
const DWORD EXECUTION_STATE = 0x80000001; // continuous, system required

// The window's answer to every WM_POWERBROADCAST: TRUE, which grants a
// query to sleep.
const LRESULT POWER_ANSWER = 1;

// The night check (nightcheck.exe): one message box with Retry and Cancel.
// Its text, exactly:
//   Every night: <count>
//   A night asleep: <count>
//   <blank line>
//   <a paragraph a topic of every night, in the order below>
//   <blank line>
//   <a paragraph a topic of a night asleep, in the order below>
//   <blank line>
//   More in readme.txt, under "Every night" and "A night asleep".
// Each count is "no problem.", "1 problem (<topic>)." or "<n> problems
// (<topic>, <topic>...).", every problem topic named in the order of the
// paragraphs; each paragraph is "<verdict>: <topic>: ...". The warning icon
// where every night has a problem, the information icon otherwise. Its exit
// status is the number of problems its last box counted, both nights'.
const char NIGHT_CHECK_TITLE[] = "Varnel night check";
const UINT NIGHT_CHECK_BUTTONS = 0x5;       // MB_RETRYCANCEL
const UINT NIGHT_CHECK_ICON_PROBLEM = 0x30; // MB_ICONWARNING
const UINT NIGHT_CHECK_ICON_NONE = 0x40;    // MB_ICONINFORMATION
const int NIGHT_CHECK_RETRY = 4;            // IDRETRY
const int NIGHT_CHECK_CANCEL = 2;           // IDCANCEL
const char EVERY_NIGHT[] = "Every night";
const char NIGHT_ASLEEP[] = "A night asleep";
const char COUNT_NONE[] = "no problem.";
const char COUNT_ONE[] = "1 problem";  // then " (<topic>)."
const char COUNT_MANY[] = " problems"; // after the number, from 2 on, then " (<topics>)."
const char TOPICS_SEPARATOR[] = ", ";
const char NIGHT_CHECK_MORE[] = "More in readme.txt, under \"Every night\" and \"A night asleep\".";
const char VERDICT_PROBLEM[] = "Problem"; // this would stop tonight's job, or a night asleep
const char VERDICT_CHECK[] = "Check";     // Windows cannot tell, or it is up to the user
const char VERDICT_FINE[] = "Fine";       // checked, and in order; one line
// The topics, in the order of the box: first every night's, then a night
// asleep's.
const char TOPIC_RECORDER[] = "recorder";
const char TOPIC_VARNEL[] = "Varnel";
const char TOPIC_ENCODERS[] = "encoders";
const char TOPIC_POWER[] = "power";
const char TOPIC_LID[] = "lid";
const char TOPIC_SCREEN_SAVER[] = "screen saver";
const char TOPIC_WINDOWS_UPDATE[] = "Windows Update";
const char TOPIC_WAKE_TIMERS[] = "wake timers";
const char TOPIC_WAKING[] = "waking";
const char TOPIC_MODERN_STANDBY[] = "Modern Standby";
const char TOPIC_SIGN_IN[] = "sign-in";
const char *const NIGHT_CHECK_TOPICS[] = {TOPIC_RECORDER, TOPIC_VARNEL,         TOPIC_ENCODERS,       TOPIC_POWER,
                                          TOPIC_LID,      TOPIC_SCREEN_SAVER,   TOPIC_WINDOWS_UPDATE, TOPIC_WAKE_TIMERS,
                                          TOPIC_WAKING,   TOPIC_MODERN_STANDBY, TOPIC_SIGN_IN};
const int EVERY_NIGHT_TOPICS = 7; // the first seven; the rest are a night asleep's
// Posted to the recorder's window (a message registered under this name,
// which the recorder ignores) to learn whether Windows lets it through.
const char NIGHT_CHECK_MESSAGE[] = "VarnelNightCheck";
// Loaded from the system folder only.
const char POWER_DLL[] = "powrprof.dll";

// Last night (lastnight.exe): one message box with OK, of what Windows
// recorded of the last 24 hours: a first line that says what matters most
// of its System log, a second whether the sound input was taken, a blank
// line, a line for each thing that happened (oldest first by the time
// Windows gave it, each opening with its local time), a blank line, and
// what it cannot tell.
const char LAST_NIGHT_TITLE[] = "Varnel: last night";
const UINT LAST_NIGHT_BUTTONS = 0x0;       // MB_OK
const UINT LAST_NIGHT_ICON_WARNING = 0x30; // MB_ICONWARNING
const UINT LAST_NIGHT_ICON_NONE = 0x40;    // MB_ICONINFORMATION
const int LAST_NIGHT_OK = 1;               // IDOK
const int LAST_NIGHT_WARNED = 1;           // its exit status where the warning icon shows
const int LAST_NIGHT_UNREAD = 2;           // where the System log could not be read; 0 otherwise
const int LAST_NIGHT_MOST_LINES = 6;       // lines at most: the newest
// clang-format off
const char LAST_NIGHT_CANNOT_TELL[] = "It cannot tell whether what came in was the sound you wanted: it may be silence, or the wrong input.";
// clang-format on
const char LAST_NIGHT_NOTHING[] = "Windows recorded nothing in its System log in the last 24 hours";
const char LAST_NIGHT_UNREADABLE[] = "Windows' record of the night could not be read";
const char LAST_NIGHT_NO_SHUTDOWN[] = "Windows recorded no shutdown in the last 24 hours.";
const char LAST_NIGHT_NO_REQUEST[] = "Windows recorded no program's request for a shutdown in the last 24 hours.";
const char LAST_NIGHT_CUT[] = "Older records were not read: one is too large, or damaged.";
// The second line, of the programs that had the sound input.
const char LAST_NIGHT_NO_SOUND_RECORD[] = "This Windows does not record which programs use the sound input.";
// clang-format off
const char LAST_NIGHT_NO_SOUND_INPUT[] = "Windows recorded no desktop program using the sound input in the last 24 hours.";
// clang-format on
// Where Windows keeps each desktop program's last use of the sound input
// (Windows 10 1903 and later), under HKEY_CURRENT_USER, else under
// HKEY_LOCAL_MACHINE: a key a program, named by its path with # for \, its
// two values FILETIMEs (REG_QWORD), in UTC.
// clang-format off
const char SOUND_INPUT_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\CapabilityAccessManager\\ConsentStore\\microphone";
// clang-format on
const char SOUND_INPUT_PROGRAMS[] = "NonPackaged";
const char SOUND_INPUT_BEGAN[] = "LastUsedTimeStart";
const char SOUND_INPUT_ENDED[] = "LastUsedTimeStop";
// The records it reads, by source (in any capitals) and the low word of
// their event ID, as Windows writes them: in the System log, and in the
// Application log, the program its 1st string, 1000 a crash, 1002 a
// program closed when it stopped answering.
const char SOURCE_APPLICATION_ERROR[] = "Application Error";
const char SOURCE_APPLICATION_HANG[] = "Application Hang";
const WORD EVENT_CRASHED = 1000;
const WORD EVENT_HUNG = 1002;
const char SOURCE_KERNEL_POWER[] = "Microsoft-Windows-Kernel-Power";
const char SOURCE_KERNEL_GENERAL[] = "Microsoft-Windows-Kernel-General";
const char SOURCE_KERNEL_BOOT[] = "Microsoft-Windows-Kernel-Boot";
const char SOURCE_POWER_TROUBLESHOOTER[] = "Microsoft-Windows-Power-Troubleshooter";
const char SOURCE_USER32[] = "User32";
const char SOURCE_EVENT_LOG[] = "EventLog";
const WORD EVENT_SLEEP = 42;                // Kernel-Power
const WORD EVENT_STANDBY_ENTERED = 506;     // Kernel-Power
const WORD EVENT_STANDBY_LEFT = 507;        // Kernel-Power
const WORD EVENT_WOKE = 1;                  // Power-Troubleshooter; WakeSourceText is its 15th string
const WORD EVENT_SHUTDOWN_ASKED = 1074;     // User32; the program its 1st string, the kind its 5th
const WORD EVENT_STARTED = 6005;            // EventLog
const WORD EVENT_SHUT_DOWN = 6006;          // EventLog
const WORD EVENT_UNEXPECTED = 6008;         // EventLog
const WORD EVENT_REBOOTED_UNCLEAN = 41;     // Kernel-Power
const WORD EVENT_SHUTDOWN_TRANSITION = 109; // Kernel-Power
const WORD EVENT_KERNEL_STARTED = 12;       // Kernel-General
const WORD EVENT_KERNEL_SHUTTING_DOWN = 13; // Kernel-General
const WORD EVENT_BOOT_TYPE = 27;            // Kernel-Boot; BootType its 1st string
const int BOOT_AFTER_SHUTDOWN = 0;          // boot types: after a full shutdown,
const int BOOT_AFTER_FAST_STARTUP = 1;      // after a Fast Startup shutdown,
const int BOOT_FROM_HIBERNATION = 2;        // a resume: neither a start nor a shutdown

} // namespace Contract

#endif
