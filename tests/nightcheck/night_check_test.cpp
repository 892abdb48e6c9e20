// The night check, topic by topic, on a Windows that the test arranges:
// real windows of the recorder's and Varnel's classes and with encoders'
// titles, the user's real screen-saver settings and registry. What Wine
// cannot produce (the battery, the power plan and the capabilities, an older
// Windows's power options, the wake-up timer's answer, a refused message, an
// older Windows's version) the test answers at the program's run-time
// lookups and at its imports.
#include <doctest/doctest.h>

#include <windows.h>

#include <powrprof.h>
#include <stdio.h>
#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "box_user.h"
#include "contract.h"
#include "nightcheck/night_check.h"
#include "nightcheck/report.h"
#include "replace_import.h"
#include "sequence.h"

namespace
{

const int MISSING = -1; // this Windows lacks the function
const int FAILS = -2;   // it has it, and the call fails
const DWORD UNREAD = 0xFFFFFFFF;
const DWORD ERROR_RESUME_IGNORED = 722; // ERROR_TIMER_RESUME_IGNORED
const int NOT_SET = -1;

// Windows as one case sees it. The first part is real: windows and settings
// the test makes; the rest is answered by the functions below.
struct Machine
{
    int recorder;                           // a window of the recorder's class
    int varnels;                            // windows of Varnel's class
    std::vector<const char *> titles;       // other windows, by title
    int saverActive;                        // screen saving on
    const char *saverFile;                  // SCRNSAVE.EXE in the registry
    const char *saverIni;                   // SCRNSAVE.EXE in SYSTEM.INI's [boot]
    const char *saverSecure;                // ScreenSaverIsSecure
    int saverMinutes;                       // the time-out
    std::vector<const char *> saverPolicy;  // group policy's SAVER_POLICY_VALUES, NULL where not set
    int saverSecureAnswer;                  // SPI_GETSCREENSAVESECURE's answer; NOT_SET: fails, as before Vista
    int updateHours64[2], updateHours32[2]; // active hours, in each registry view
    std::vector<int> updatePolicy;          // group policy's UPDATE_POLICY_VALUES

    int powerStatus; // GetSystemPowerStatus: MISSING, FAILS or 0
    BYTE acLine, batteryFlag;
    int standby;                                    // GetPwrCapabilities: MISSING, FAILS, or its AoAc byte
    int lid;                                        // and its LidPresent
    int plan;                                       // PowerGetActiveScheme: MISSING, FAILS or 0
    DWORD wakeTimers[2], password[2], lidAction[2]; // the plan's values on mains, on battery, or UNREAD
    int olderPassword;                              // ReadGlobalPwrPolicy: MISSING, FAILS, or its flag
    POWER_ACTION olderLid[2];                       // and its lid actions on mains, on battery
    int timer;       // MISSING, CREATE_FAILS, SET_FAILS, or the last error a taken timer leaves
    DWORD postError; // the recorder's window refuses messages with it; 0: takes them
    DWORD platform, major, minor;
};
const int CREATE_FAILS = -3, SET_FAILS = -4;
const BYTE NO_SYSTEM_BATTERY = 128, BATTERY_HIGH = 1, BATTERY_UNKNOWN = 255;

// A Windows 10 desktop on which nothing would stop the job.
Machine FineMachine()
{
    Machine m = {};
    m.recorder = 1, m.varnels = 1;
    m.saverMinutes = 10;
    m.saverSecureAnswer = NOT_SET;
    m.updateHours64[0] = m.updateHours64[1] = m.updateHours32[0] = m.updateHours32[1] = NOT_SET;
    m.acLine = 1, m.batteryFlag = NO_SYSTEM_BATTERY;
    m.wakeTimers[0] = m.wakeTimers[1] = 1; // Enable
    m.olderPassword = MISSING;             // not asked where there are power plans
    m.platform = VER_PLATFORM_WIN32_NT, m.major = 10;
    return m;
}
const Machine FINE = FineMachine();

Machine machine;
Sequence calls; // what the answered functions were asked

const GUID SCHEME = {0x381b4222, 0xf694, 0x41f0, {0x96, 0x85, 0xff, 0x5b, 0xb2, 0x60, 0xdf, 0x2e}};
// Windows' own identifiers of the plan settings asked for.
const GUID SLEEP_SUBGROUP = {0x238c9fa8, 0x0aad, 0x41ed, {0x83, 0xf4, 0x97, 0xbe, 0x24, 0x2c, 0x8f, 0x20}};
const GUID ALLOW_WAKE_TIMERS = {0xbd3b718a, 0x0680, 0x4d9d, {0x8a, 0xb2, 0xe1, 0xd2, 0xb4, 0xac, 0x80, 0x6d}};
const GUID NO_SUBGROUP = {0xfea3413e, 0x7e05, 0x4911, {0x9a, 0x71, 0x70, 0x03, 0x31, 0xf1, 0xc2, 0x94}};
const GUID PASSWORD_ON_WAKEUP = {0x0e796bdb, 0x100d, 0x47d6, {0xa2, 0xd5, 0xf7, 0xd2, 0xda, 0xa5, 0x1f, 0x51}};
const GUID BUTTON_SUBGROUP = {0x4f971e89, 0xeebd, 0x4455, {0xa8, 0xde, 0x9e, 0x59, 0x04, 0x0e, 0x73, 0x47}};
const GUID LID_CLOSE_ACTION = {0x5ca83367, 0x6e45, 0x459f, {0xa2, 0x7b, 0x47, 0x6b, 0x1d, 0x01, 0xc9, 0x36}};
const HANDLE FAKE_TIMER = (HANDLE)(INT_PTR)0x71AE;

BOOL WINAPI FakeGetSystemPowerStatus(SYSTEM_POWER_STATUS *status)
{
    if (machine.powerStatus == FAILS)
        return FALSE;
    ZeroMemory(status, sizeof *status);
    status->ACLineStatus = machine.acLine;
    status->BatteryFlag = machine.batteryFlag;
    return TRUE;
}

BOOLEAN WINAPI FakeGetPwrCapabilities(SYSTEM_POWER_CAPABILITIES *capabilities)
{
    if (machine.standby == FAILS)
        return FALSE;
    // As Windows before 8 and Wine: the byte is written only where it is set.
    if (machine.standby)
        capabilities->spare2[2] = 1;
    capabilities->LidPresent = (BOOLEAN)machine.lid;
    return TRUE;
}

DWORD WINAPI FakePowerGetActiveScheme(HKEY root, GUID **scheme)
{
    if (machine.plan == FAILS || root != NULL)
        return ERROR_FILE_NOT_FOUND;
    *scheme = (GUID *)LocalAlloc(LPTR, sizeof(GUID));
    **scheme = SCHEME;
    return ERROR_SUCCESS;
}

DWORD ReadValue(const char *place, HKEY root, const GUID *scheme, const GUID *subgroup, const GUID *setting,
                DWORD *value, int index)
{
    DWORD answer = UNREAD;
    std::string what = "?";
    if (root == NULL && IsEqualGUID(*scheme, SCHEME) && IsEqualGUID(*subgroup, SLEEP_SUBGROUP) &&
        IsEqualGUID(*setting, ALLOW_WAKE_TIMERS))
        answer = machine.wakeTimers[index], what = "wake timers";
    if (root == NULL && IsEqualGUID(*scheme, SCHEME) && IsEqualGUID(*subgroup, NO_SUBGROUP) &&
        IsEqualGUID(*setting, PASSWORD_ON_WAKEUP))
        answer = machine.password[index], what = "password";
    if (root == NULL && IsEqualGUID(*scheme, SCHEME) && IsEqualGUID(*subgroup, BUTTON_SUBGROUP) &&
        IsEqualGUID(*setting, LID_CLOSE_ACTION))
        answer = machine.lidAction[index], what = "lid";
    calls.push_back(std::string(place) + " " + what);
    if (answer == UNREAD)
        return ERROR_FILE_NOT_FOUND;
    *value = answer;
    return ERROR_SUCCESS;
}

DWORD WINAPI FakePowerReadACValueIndex(HKEY root, const GUID *scheme, const GUID *subgroup, const GUID *setting,
                                       DWORD *value)
{
    return ReadValue("mains", root, scheme, subgroup, setting, value, 0);
}

DWORD WINAPI FakePowerReadDCValueIndex(HKEY root, const GUID *scheme, const GUID *subgroup, const GUID *setting,
                                       DWORD *value)
{
    return ReadValue("battery", root, scheme, subgroup, setting, value, 1);
}

BOOLEAN WINAPI FakeReadGlobalPwrPolicy(GLOBAL_POWER_POLICY *policy)
{
    if (machine.olderPassword == FAILS)
        return FALSE;
    ZeroMemory(policy, sizeof *policy);
    // The battery meter's flag beside it, which must not count.
    policy->user.GlobalFlags = 0x01 | (machine.olderPassword ? 0x04 : 0); // EnablePasswordLogon is 0x04
    policy->user.LidCloseAc.Action = machine.olderLid[0];
    policy->user.LidCloseDc.Action = machine.olderLid[1];
    return TRUE;
}

HANDLE WINAPI FakeCreateWaitableTimerA(SECURITY_ATTRIBUTES *, BOOL manualReset, const char *name)
{
    calls.push_back("create manual=" + std::to_string(manualReset) + " named=" + std::to_string(name != NULL));
    if (machine.timer == CREATE_FAILS)
    {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return NULL;
    }
    // A success that leaves an error of before: the timer's own answer must
    // not be read from it.
    SetLastError(ERROR_RESUME_IGNORED);
    return FAKE_TIMER;
}

BOOL WINAPI FakeSetWaitableTimer(HANDLE timer, const LARGE_INTEGER *due, LONG period, PTIMERAPCROUTINE routine, void *,
                                 BOOL resume)
{
    // Relative (negative) or absolute, its due time some hours ahead.
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    LONGLONG ahead = due->QuadPart < 0
                         ? -due->QuadPart
                         : due->QuadPart - (LONGLONG)(((ULONGLONG)now.dwHighDateTime << 32) | now.dwLowDateTime);
    calls.push_back("set timer=" + std::to_string(timer == FAKE_TIMER) + " hours ahead=" +
                    std::to_string(ahead / (3600LL * 10000000)) + " period=" + std::to_string(period) +
                    " routine=" + std::to_string(routine != NULL) + " resume=" + std::to_string(resume));
    if (machine.timer == SET_FAILS)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (machine.timer > 0)
        SetLastError(machine.timer);
    return TRUE;
}

BOOL WINAPI FakeCancelWaitableTimer(HANDLE timer)
{
    calls.push_back("cancel timer=" + std::to_string(timer == FAKE_TIMER));
    return TRUE;
}

// The functions the program looks up, answered as the machine says, where
// it has them.
struct Answered
{
    const char *name;
    FARPROC answer;
    int Machine::*missingWhen;
} ANSWERED[] = {
    {"GetSystemPowerStatus", (FARPROC)(void *)FakeGetSystemPowerStatus, &Machine::powerStatus},
    {"GetPwrCapabilities", (FARPROC)(void *)FakeGetPwrCapabilities, &Machine::standby},
    {"PowerGetActiveScheme", (FARPROC)(void *)FakePowerGetActiveScheme, &Machine::plan},
    {"PowerReadACValueIndex", (FARPROC)(void *)FakePowerReadACValueIndex, &Machine::plan},
    {"PowerReadDCValueIndex", (FARPROC)(void *)FakePowerReadDCValueIndex, &Machine::plan},
    {"ReadGlobalPwrPolicy", (FARPROC)(void *)FakeReadGlobalPwrPolicy, &Machine::olderPassword},
    {"CreateWaitableTimerA", (FARPROC)(void *)FakeCreateWaitableTimerA, &Machine::timer},
    {"SetWaitableTimer", (FARPROC)(void *)FakeSetWaitableTimer, &Machine::timer},
    {"CancelWaitableTimer", (FARPROC)(void *)FakeCancelWaitableTimer, &Machine::timer},
};

FARPROC WINAPI AnsweringGetProcAddress(HMODULE module, const char *name)
{
    if (HIWORD(name) != 0)
        for (const Answered &answered : ANSWERED)
            if (lstrcmpA(name, answered.name) == 0)
            {
                if (machine.*answered.missingWhen == MISSING)
                {
                    SetLastError(ERROR_PROC_NOT_FOUND);
                    return NULL;
                }
                return answered.answer;
            }
    return RealGetProcAddress(module, name);
}

Sequence loaded; // the DLLs the program loaded, by the path it gave

HMODULE WINAPI SpyLoadLibraryA(const char *path)
{
    loaded.push_back(path);
    static auto real =
        (HMODULE(WINAPI *)(const char *))(void *)RealGetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA");
    return real(path);
}

BOOL WINAPI RefusingPostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (machine.postError)
    {
        SetLastError(machine.postError);
        return FALSE;
    }
    static auto real = RealUser32<BOOL(WINAPI *)(HWND, UINT, WPARAM, LPARAM)>("PostMessageA");
    return real(window, message, wParam, lParam);
}

BOOL WINAPI AnsweringGetVersionExA(OSVERSIONINFOA *version)
{
    if (version->dwOSVersionInfoSize < sizeof *version)
        return FALSE;
    version->dwPlatformId = machine.platform;
    version->dwMajorVersion = machine.major;
    version->dwMinorVersion = machine.minor;
    return TRUE;
}

// SPI_GETSCREENSAVESECURE as Windows Vista and later answer it; every
// other question goes to Wine.
BOOL WINAPI AnsweringSystemParametersInfoA(UINT action, UINT number, void *value, UINT update)
{
    if (action == 0x0076 && machine.saverSecureAnswer != NOT_SET)
    {
        *(BOOL *)value = machine.saverSecureAnswer;
        return TRUE;
    }
    static auto real = RealUser32<BOOL(WINAPI *)(UINT, UINT, void *, UINT)>("SystemParametersInfoA");
    return real(action, number, value, update);
}

BOOL WINAPI SpyCloseHandle(HANDLE handle)
{
    if (handle == FAKE_TIMER)
    {
        calls.push_back("close timer");
        return TRUE;
    }
    static auto real =
        (BOOL(WINAPI *)(HANDLE))(void *)RealGetProcAddress(GetModuleHandleA("kernel32.dll"), "CloseHandle");
    return real(handle);
}

} // namespace

REPLACE_WINAPI_IMPORT(GetProcAddress, 8, AnsweringGetProcAddress)
REPLACE_WINAPI_IMPORT(LoadLibraryA, 4, SpyLoadLibraryA)
REPLACE_WINAPI_IMPORT(PostMessageA, 16, RefusingPostMessageA)
REPLACE_WINAPI_IMPORT(GetVersionExA, 4, AnsweringGetVersionExA)
REPLACE_WINAPI_IMPORT(CloseHandle, 4, SpyCloseHandle)
REPLACE_WINAPI_IMPORT(SystemParametersInfoA, 16, AnsweringSystemParametersInfoA)

namespace
{

Sequence recorderGot; // messages the recorder's window received

LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= 0xC000 || message == WM_COMMAND || (message >= WM_KEYFIRST && message <= WM_KEYLAST))
        recorderGot.push_back(std::to_string(message));
    return DefWindowProcA(window, message, wParam, lParam);
}

const char OTHER_CLASS[] = "NightCheckTestWindow";
const char DESKTOP_KEY[] = "Control Panel\\Desktop";
const char SAVER_POLICY_KEY[] = "Software\\Policies\\Microsoft\\Windows\\Control Panel\\Desktop";
const char *const SAVER_POLICY_VALUES[] = {"ScreenSaveActive", "SCRNSAVE.EXE", "ScreenSaveTimeOut",
                                           "ScreenSaverIsSecure"};
const char UPDATE_KEY[] = "SOFTWARE\\Microsoft\\WindowsUpdate\\UX\\Settings";
const char UPDATE_POLICY_KEY[] = "Software\\Policies\\Microsoft\\Windows\\WindowsUpdate";
const char *const UPDATE_POLICY_VALUES[] = {"SetActiveHours", "ActiveHoursStart", "ActiveHoursEnd"};

HWND OpenWindow(const char *className, const char *title)
{
    static int registered;
    if (!registered)
    {
        registered = 1;
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = RecorderProc;
        windowClass.hInstance = GetModuleHandleA(NULL);
        windowClass.lpszClassName = Contract::RECORDER_CLASS;
        RegisterClassA(&windowClass);
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = Contract::WINDOW_CLASS;
        RegisterClassA(&windowClass);
        windowClass.lpszClassName = OTHER_CLASS;
        RegisterClassA(&windowClass);
    }
    // Not shown: found all the same, and no focus taken.
    return CreateWindowExA(0, className, title, WS_OVERLAPPED, 0, 0, 100, 100, NULL, NULL, GetModuleHandleA(NULL),
                           NULL);
}

void SetDesktopValue(const char *name, const char *text, const char *keyName = DESKTOP_KEY)
{
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, keyName, 0, NULL, 0, KEY_SET_VALUE, NULL, &key, NULL);
    if (text)
        RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)text, lstrlenA(text) + 1);
    else
        RegDeleteValueA(key, name);
    RegCloseKey(key);
}

// DWORDs under a key of the machine's, or none where NOT_SET.
void SetNumbers(const char *keyName, REGSAM view, const char *const names[], const int *numbers, int count)
{
    HKEY key;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, NULL, 0, KEY_SET_VALUE | view, NULL, &key, NULL);
    for (int i = 0; i < count; i++)
        if (numbers[i] == NOT_SET)
            RegDeleteValueA(key, names[i]);
        else
        {
            DWORD number = (DWORD)numbers[i];
            RegSetValueExA(key, names[i], 0, REG_DWORD, (const BYTE *)&number, sizeof number);
        }
    RegCloseKey(key);
}

void SetUpdateHours(REGSAM view, const int hours[2])
{
    SetNumbers(UPDATE_KEY, view, UPDATE_POLICY_VALUES + 1, hours, 2);
}

// Makes the real part of the machine; Undo takes it away again.
std::vector<HWND> openWindows;

void Arrange(const Machine &arranged)
{
    machine = arranged;
    calls.clear();
    recorderGot.clear();
    if (machine.recorder)
        openWindows.push_back(OpenWindow(Contract::RECORDER_CLASS, "Recorder"));
    for (int i = 0; i < machine.varnels; i++)
        openWindows.push_back(OpenWindow(Contract::WINDOW_CLASS, Contract::WINDOW_TITLE));
    for (const char *title : machine.titles)
        openWindows.push_back(OpenWindow(OTHER_CLASS, title));
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, machine.saverActive, NULL, 0);
    SystemParametersInfoA(SPI_SETSCREENSAVETIMEOUT, machine.saverMinutes * 60, NULL, 0);
    SetDesktopValue("SCRNSAVE.EXE", machine.saverFile);
    SetDesktopValue("ScreenSaverIsSecure", machine.saverSecure);
    for (size_t i = 0; i < machine.saverPolicy.size(); i++)
        SetDesktopValue(SAVER_POLICY_VALUES[i], machine.saverPolicy[i], SAVER_POLICY_KEY);
    WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", machine.saverIni, "system.ini");
    SetUpdateHours(KEY_WOW64_64KEY, machine.updateHours64);
    SetUpdateHours(KEY_WOW64_32KEY, machine.updateHours32);
    SetNumbers(UPDATE_POLICY_KEY, 0, UPDATE_POLICY_VALUES, machine.updatePolicy.data(), machine.updatePolicy.size());
}

void Undo()
{
    // What reached the recorder's window first.
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    for (HWND window : openWindows)
        DestroyWindow(window);
    openWindows.clear();
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, TRUE, NULL, 0); // Wine's own default
    SetDesktopValue("SCRNSAVE.EXE", NULL);
    SetDesktopValue("ScreenSaverIsSecure", NULL);
    for (const char *name : SAVER_POLICY_VALUES)
        SetDesktopValue(name, NULL, SAVER_POLICY_KEY);
    WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", NULL, "system.ini");
    const int none[3] = {NOT_SET, NOT_SET, NOT_SET};
    SetUpdateHours(KEY_WOW64_64KEY, none);
    SetUpdateHours(KEY_WOW64_32KEY, none);
    SetNumbers(UPDATE_POLICY_KEY, 0, UPDATE_POLICY_VALUES, none, 3);
}

// The whole text the check gives on the machine.
std::string CheckOn(const Machine &arranged)
{
    Arrange(arranged);
    RunNightCheck();
    std::string text = ReportText();
    Undo();
    return text;
}

// The topics' paragraphs, both nights', without the counts above them, the
// blank lines and the line under them.
Sequence Paragraphs(const std::string &text)
{
    Sequence lines = Lines(text), paragraphs;
    for (size_t i = 2; i + 1 < lines.size(); i++)
        if (!lines[i].empty())
            paragraphs.push_back(lines[i]);
    return paragraphs;
}

// The paragraph of one topic: "<verdict>: <topic>: ...".
std::string TopicParagraph(const std::string &text, const char *topic)
{
    for (const std::string &paragraph : Paragraphs(text))
    {
        size_t colon = paragraph.find(": ");
        if (colon != std::string::npos &&
            paragraph.compare(colon + 2, strlen(topic) + 1, std::string(topic) + ":") == 0)
            return paragraph;
    }
    return "";
}

// A night's count line, naming its problem topics in order.
std::string CountLine(const char *night, const std::vector<std::string> &problems)
{
    std::string line = std::string(night) + ": ";
    if (problems.empty())
        return line + Contract::COUNT_NONE;
    line += problems.size() == 1 ? Contract::COUNT_ONE : std::to_string(problems.size()) + Contract::COUNT_MANY;
    for (size_t i = 0; i < problems.size(); i++)
        line += (i ? Contract::TOPICS_SEPARATOR : " (") + problems[i];
    return line + ").";
}

struct Case
{
    const char *what;
    const char *topic;
    const char *verdict;
    std::vector<const char *> told; // what the paragraph must say, as the user reads it
    void (*arrange)(Machine &);
};

// clang-format off
const Case CASES[] = {
    {"no recorder", Contract::TOPIC_RECORDER, Contract::VERDICT_PROBLEM, {"not running", "Start it"},
     [](Machine &m) { m.recorder = 0; }},
    {"the recorder takes the message", Contract::TOPIC_RECORDER, Contract::VERDICT_FINE, {"running"},
     [](Machine &) {}},
    {"Windows refuses the message: the recorder runs as administrator", Contract::TOPIC_RECORDER,
     Contract::VERDICT_PROBLEM, {"more rights", "by double-click (error 5)"},
     [](Machine &m) { m.postError = ERROR_ACCESS_DENIED; }},
    {"the recorder's window refuses for another reason", Contract::TOPIC_RECORDER, Contract::VERDICT_CHECK,
     {"error 1816", "Check again"}, [](Machine &m) { m.postError = ERROR_NOT_ENOUGH_QUOTA; }},

    {"no Varnel", Contract::TOPIC_VARNEL, Contract::VERDICT_CHECK, {"not running", "Start it and set the times"},
     [](Machine &m) { m.varnels = 0; }},
    {"one Varnel", Contract::TOPIC_VARNEL, Contract::VERDICT_FINE, {"one window"}, [](Machine &) {}},
    {"two Varnels", Contract::TOPIC_VARNEL, Contract::VERDICT_PROBLEM, {"2 windows", "Close all but one"},
     [](Machine &m) { m.varnels = 2; }},

    {"no encoder, and titles that only contain an encoder's", Contract::TOPIC_ENCODERS, Contract::VERDICT_FINE, {},
     [](Machine &m) { m.titles = {"lame.exe", "Lame encoder", "gogo2", "xwaveflt2"}; }},
    {"a folder window named Lame", Contract::TOPIC_ENCODERS, Contract::VERDICT_PROBLEM,
     {"\"Lame\" open", "Varnel would wait", "Close it, folders too"}, [](Machine &m) { m.titles = {"Lame"}; }},
    {"all three, in other capitals", Contract::TOPIC_ENCODERS, Contract::VERDICT_PROBLEM,
     {"\"WaveFlt2\", \"lame\", \"GOGO\" open", "Close them"},
     [](Machine &m) { m.titles = {"GOGO", "lame", "WaveFlt2"}; }},

    {"on mains", Contract::TOPIC_POWER, Contract::VERDICT_FINE, {"mains"}, [](Machine &) {}},
    {"on battery", Contract::TOPIC_POWER, Contract::VERDICT_PROBLEM, {"on battery", "mains"},
     [](Machine &m) { m.acLine = 0, m.batteryFlag = BATTERY_HIGH; }},
    {"Windows cannot tell the power line", Contract::TOPIC_POWER, Contract::VERDICT_CHECK, {"not known", "mains"},
     [](Machine &m) { m.acLine = 255; }},
    {"the power status cannot be read", Contract::TOPIC_POWER, Contract::VERDICT_CHECK, {"not known", "mains"},
     [](Machine &m) { m.powerStatus = FAILS; }},
    {"NT 4.0: no power status", Contract::TOPIC_POWER, Contract::VERDICT_CHECK, {"not known", "mains"},
     [](Machine &m) { m.powerStatus = MISSING; }},

    {"no lid", Contract::TOPIC_LID, Contract::VERDICT_FINE, {"none"}, [](Machine &m) { m.lidAction[0] = 1; }},
    {"a lid that does nothing", Contract::TOPIC_LID, Contract::VERDICT_FINE, {"does nothing"},
     [](Machine &m) { m.lid = 1; }},
    {"a lid that sleeps, on mains and on battery", Contract::TOPIC_LID, Contract::VERDICT_CHECK,
     {"\"Sleep\" on mains and on battery", "Leave the lid open tonight", "\"When I close the lid\" to \"Do nothing\""},
     [](Machine &m) { m.lid = 1, m.batteryFlag = BATTERY_HIGH, m.lidAction[0] = m.lidAction[1] = 1; }},
    {"shuts down on mains, hibernates on battery", Contract::TOPIC_LID, Contract::VERDICT_CHECK,
     {"\"Shut down\" on mains, \"Hibernate\" on battery"},
     [](Machine &m) { m.lid = 1, m.batteryFlag = BATTERY_HIGH, m.lidAction[0] = 3, m.lidAction[1] = 2; }},
    {"sleeps on battery, on a machine without one", Contract::TOPIC_LID, Contract::VERDICT_FINE, {},
     [](Machine &m) { m.lid = 1, m.lidAction[1] = 1; }},
    {"what the lid does cannot be read", Contract::TOPIC_LID, Contract::VERDICT_CHECK,
     {"does not say what closing it does", "Leave the lid open"},
     [](Machine &m) { m.lid = 1, m.lidAction[0] = UNREAD; }},
    {"a lid value this check does not know", Contract::TOPIC_LID, Contract::VERDICT_CHECK, {"does not say"},
     [](Machine &m) { m.lid = 1, m.lidAction[0] = 4; }},
    {"XP: the older policy powers off on closing", Contract::TOPIC_LID, Contract::VERDICT_CHECK,
     {"\"Shut down\" on mains"},
     [](Machine &m) { m.lid = 1, m.plan = MISSING, m.olderPassword = 0, m.olderLid[0] = PowerActionShutdownOff; }},
    {"XP, no battery: the older policy's sleep on battery counts for nothing", Contract::TOPIC_LID, Contract::VERDICT_FINE,
     {"does nothing"}, [](Machine &m) { m.lid = 1, m.plan = MISSING, m.olderPassword = 0, m.olderLid[1] = PowerActionSleep; }},
    {"XP: the older policy cannot be read", Contract::TOPIC_LID, Contract::VERDICT_CHECK, {"does not say"},
     [](Machine &m) { m.lid = 1, m.plan = MISSING, m.olderPassword = FAILS; }},
    {"NT 4.0: whether there is a lid", Contract::TOPIC_LID, Contract::VERDICT_CHECK,
     {"on a laptop, leave the lid open"},
     [](Machine &m) { m.standby = MISSING; }},

    {"wake timers enabled", Contract::TOPIC_WAKE_TIMERS, Contract::VERDICT_FINE, {"enabled"}, [](Machine &) {}},
    {"wake timers disabled on mains", Contract::TOPIC_WAKE_TIMERS, Contract::VERDICT_PROBLEM,
     {"\"Disable\" on mains. Set \"Enable\"."}, [](Machine &m) { m.wakeTimers[0] = 0; }},
    {"important wake timers only, on mains and on battery", Contract::TOPIC_WAKE_TIMERS, Contract::VERDICT_PROBLEM,
     {"\"Important Wake Timers Only\" on mains and on battery. Set \"Enable\"."},
     [](Machine &m) { m.wakeTimers[0] = m.wakeTimers[1] = 2, m.batteryFlag = BATTERY_HIGH; }},
    {"disabled on battery, on a machine with one", Contract::TOPIC_WAKE_TIMERS, Contract::VERDICT_PROBLEM,
     {"\"Disable\" on battery"}, [](Machine &m) { m.wakeTimers[1] = 0, m.batteryFlag = BATTERY_HIGH; }},
    {"disabled on battery, on a machine without one", Contract::TOPIC_WAKE_TIMERS, Contract::VERDICT_FINE, {},
     [](Machine &m) { m.wakeTimers[1] = 0; }},
    {"a battery Windows cannot tell of: only mains read", Contract::TOPIC_WAKE_TIMERS, Contract::VERDICT_FINE, {},
     [](Machine &m) { m.wakeTimers[1] = 0, m.batteryFlag = BATTERY_UNKNOWN; }},
    {"the setting cannot be read", Contract::TOPIC_WAKE_TIMERS, Contract::VERDICT_CHECK,
     {"did not tell", "Power Options", "\"Allow wake timers\" to \"Enable\""},
     [](Machine &m) { m.wakeTimers[0] = UNREAD; }},
    {"on battery, the setting cannot be read", Contract::TOPIC_WAKE_TIMERS, Contract::VERDICT_CHECK,
     {"\"Allow wake timers\" to \"Enable\""},
     [](Machine &m) { m.wakeTimers[1] = UNREAD, m.batteryFlag = BATTERY_HIGH; }},
    {"a value this check does not know", Contract::TOPIC_WAKE_TIMERS, Contract::VERDICT_CHECK,
     {"did not tell", "Power Options", "\"Allow wake timers\" to \"Enable\""},
     [](Machine &m) { m.wakeTimers[0] = 3; }},
    {"no active plan found", Contract::TOPIC_WAKE_TIMERS, Contract::VERDICT_CHECK,
     {"did not tell", "Power Options", "\"Allow wake timers\" to \"Enable\""},
     [](Machine &m) { m.plan = FAILS; }},
    {"XP: no power plans", Contract::TOPIC_WAKE_TIMERS, Contract::VERDICT_FINE, {"no such setting"},
     [](Machine &m) { m.plan = MISSING; }},

    {"a wake-up timer taken", Contract::TOPIC_WAKING, Contract::VERDICT_FINE, {"taken"}, [](Machine &) {}},
    {"taken, but resume ignored", Contract::TOPIC_WAKING, Contract::VERDICT_PROBLEM, {"cannot wake", "error 722"},
     [](Machine &m) { m.timer = ERROR_RESUME_IGNORED; }},
    {"taken, but resume not supported", Contract::TOPIC_WAKING, Contract::VERDICT_PROBLEM,
     {"cannot wake", "error 50"}, [](Machine &m) { m.timer = ERROR_NOT_SUPPORTED; }},
    {"refused", Contract::TOPIC_WAKING, Contract::VERDICT_CHECK, {"refused", "error 87", "Leave the machine on"},
     [](Machine &m) { m.timer = SET_FAILS; }},
    {"no timer made", Contract::TOPIC_WAKING, Contract::VERDICT_CHECK, {"error 8"},
     [](Machine &m) { m.timer = CREATE_FAILS; }},
    {"Windows 95: no waitable timers", Contract::TOPIC_WAKING, Contract::VERDICT_PROBLEM,
     {"cannot wake", "Leave it on", "suspend off"}, [](Machine &m) { m.timer = MISSING; }},
    {"Modern Standby: whatever the timer answers", Contract::TOPIC_WAKING, Contract::VERDICT_CHECK,
     {"see Modern Standby"}, [](Machine &m) { m.standby = 1, m.timer = ERROR_RESUME_IGNORED; }},

    {"sleeps otherwise", Contract::TOPIC_MODERN_STANDBY, Contract::VERDICT_FINE, {"not used"}, [](Machine &) {}},
    {"sleeps in Modern Standby", Contract::TOPIC_MODERN_STANDBY, Contract::VERDICT_PROBLEM,
     {"cannot wake", "mains, lid open; never choose Sleep"}, [](Machine &m) { m.standby = 1; }},
    {"Modern Standby, a laptop on mains whose lid does nothing", Contract::TOPIC_MODERN_STANDBY,
     Contract::VERDICT_PROBLEM, {"cannot wake"},
     [](Machine &m) { m.standby = 1, m.lid = 1, m.batteryFlag = BATTERY_HIGH; }},
    {"the capabilities cannot be read", Contract::TOPIC_MODERN_STANDBY, Contract::VERDICT_CHECK,
     {"does not tell", "powercfg /a"}, [](Machine &m) { m.standby = FAILS; }},
    {"Windows 95: no such sleep", Contract::TOPIC_MODERN_STANDBY, Contract::VERDICT_FINE, {},
     [](Machine &m) { m.standby = MISSING; }},

    {"no password on waking", Contract::TOPIC_SIGN_IN, Contract::VERDICT_FINE, {"no password"}, [](Machine &) {}},
    {"a password on waking, Windows 10", Contract::TOPIC_SIGN_IN, Contract::VERDICT_PROBLEM,
     {"password", "Settings, Accounts, Sign-in options"}, [](Machine &m) { m.password[0] = 1; }},
    {"Windows 8 to 11, which all say 6.2: both places", Contract::TOPIC_SIGN_IN, Contract::VERDICT_PROBLEM,
     {"Power Options (Windows 8), else Settings, Sign-in options"},
     [](Machine &m) { m.password[0] = 1, m.major = 6, m.minor = 2; }},
    {"a password on waking, Windows 7", Contract::TOPIC_SIGN_IN, Contract::VERDICT_PROBLEM,
     {"password", "Power Options, \"Require a password"},
     [](Machine &m) { m.password[0] = 1, m.major = 6, m.minor = 1; }},
    {"a password on battery only", Contract::TOPIC_SIGN_IN, Contract::VERDICT_PROBLEM, {"password"},
     [](Machine &m) { m.password[1] = 1, m.batteryFlag = BATTERY_HIGH; }},
    {"the choice cannot be read", Contract::TOPIC_SIGN_IN, Contract::VERDICT_CHECK,
     {"could not be read", "Turn off"}, [](Machine &m) { m.password[0] = UNREAD; }},
    {"Modern Standby: Settings decide", Contract::TOPIC_SIGN_IN, Contract::VERDICT_CHECK,
     {"once the screen is off a while, left on too", "Settings", "If you've been away", "Never"},
     [](Machine &m) { m.standby = 1, m.password[0] = 1; }},
    {"XP: the older choice on", Contract::TOPIC_SIGN_IN, Contract::VERDICT_PROBLEM,
     {"password", "Power Options, Advanced, \"Prompt for password"},
     [](Machine &m) { m.plan = MISSING, m.olderPassword = 1, m.major = 5, m.minor = 1; }},
    {"XP: the older choice off", Contract::TOPIC_SIGN_IN, Contract::VERDICT_FINE, {"no password"},
     [](Machine &m) { m.plan = MISSING, m.olderPassword = 0, m.major = 5, m.minor = 1; }},
    {"XP: the older choice cannot be read", Contract::TOPIC_SIGN_IN, Contract::VERDICT_CHECK,
     {"could not be read", "Turn off"},
     [](Machine &m) { m.plan = MISSING, m.olderPassword = FAILS, m.major = 5, m.minor = 1; }},
    {"NT 4.0: no power options at all", Contract::TOPIC_SIGN_IN, Contract::VERDICT_CHECK, {"does not tell"},
     [](Machine &m) { m.plan = MISSING, m.olderPassword = MISSING, m.major = 4; }},

    {"screen saving off", Contract::TOPIC_SCREEN_SAVER, Contract::VERDICT_FINE, {"off"},
     [](Machine &m) { m.saverFile = "C:\\windows\\system32\\ssText3d.scr"; }},
    {"screen saving on, none chosen", Contract::TOPIC_SCREEN_SAVER, Contract::VERDICT_FINE, {"none chosen"},
     [](Machine &m) { m.saverActive = 1; }},
    {"one chosen, with a password", Contract::TOPIC_SCREEN_SAVER, Contract::VERDICT_PROBLEM,
     {"\"ssText3d.scr\" starts after 10 minutes, with a password", "Switch it off"},
     [](Machine &m) { m.saverActive = 1, m.saverFile = "C:\\windows\\system32\\ssText3d.scr", m.saverSecure = "1"; }},
    {"one chosen, without a password, after a minute", Contract::TOPIC_SCREEN_SAVER, Contract::VERDICT_PROBLEM,
     {"\"Mystify.scr\" starts after 1 minute, no password"},
     [](Machine &m) { m.saverActive = 1, m.saverFile = "Mystify.scr", m.saverSecure = "0", m.saverMinutes = 1; }},
    {"a long name, cut", Contract::TOPIC_SCREEN_SAVER, Contract::VERDICT_PROBLEM,
     {"\"A screen saver with a na\" starts"},
     [](Machine &m) {
         m.saverActive = 1, m.saverFile = "C:\\A screen saver with a name much longer than any box.scr";
     }},
    {"Windows 98: chosen in SYSTEM.INI", Contract::TOPIC_SCREEN_SAVER, Contract::VERDICT_PROBLEM,
     {"\"FLYING~1.SCR\" starts after 10 minutes"},
     [](Machine &m) {
         m.saverActive = 1, m.saverIni = "C:\\WINDOWS\\SYSTEM\\FLYING~1.SCR";
         m.platform = VER_PLATFORM_WIN32_WINDOWS, m.major = 4, m.minor = 10;
     }},
    {"policy switches it off, whatever the user chose", Contract::TOPIC_SCREEN_SAVER, Contract::VERDICT_FINE, {"off"},
     [](Machine &m) { m.saverActive = 1, m.saverFile = "Mystify.scr", m.saverPolicy = {"0"}; }},
    {"policy's file, minutes and password, over the user's", Contract::TOPIC_SCREEN_SAVER, Contract::VERDICT_PROBLEM,
     {"\"scrnsave.scr\" starts after 15 minutes, with a password"},
     [](Machine &m) {
         m.saverFile = "Mystify.scr", m.saverSecure = "0", m.saverPolicy = {"1", "scrnsave.scr", "900", "1"};
     }},
    {"Windows Vista and later tell the password, over the user's value", Contract::TOPIC_SCREEN_SAVER,
     Contract::VERDICT_PROBLEM, {"starts after 10 minutes, with a password"},
     [](Machine &m) {
         m.saverActive = 1, m.saverFile = "Mystify.scr", m.saverSecure = "0", m.saverSecureAnswer = TRUE;
     }},
    {"Windows 98: SYSTEM.INI names none, whatever the registry says", Contract::TOPIC_SCREEN_SAVER,
     Contract::VERDICT_FINE, {"none chosen"},
     [](Machine &m) {
         m.saverActive = 1, m.saverFile = "ssText3d.scr";
         m.platform = VER_PLATFORM_WIN32_WINDOWS, m.major = 4, m.minor = 10;
     }},

    {"Windows Update: its hours not found", Contract::TOPIC_WINDOWS_UPDATE, Contract::VERDICT_CHECK,
     {"active hours", "cover the night"}, [](Machine &) {}},
    {"Windows Update: its hours, named as advice", Contract::TOPIC_WINDOWS_UPDATE, Contract::VERDICT_CHECK,
     {"seemingly 08:00 to 17:00"},
     [](Machine &m) { m.updateHours64[0] = 8, m.updateHours64[1] = 17, m.updateHours32[0] = 1,
                      m.updateHours32[1] = 2; }},
    {"Windows Update: hours only in the 32-bit view are not the machine's", Contract::TOPIC_WINDOWS_UPDATE,
     Contract::VERDICT_CHECK, {"set its active hours to cover the night"},
     [](Machine &m) { m.updateHours32[0] = 1, m.updateHours32[1] = 2; }},
    {"Windows Update: policy's hours, over the user's", Contract::TOPIC_WINDOWS_UPDATE, Contract::VERDICT_CHECK,
     {"22:00 to 06:00, set by policy", "cover the night"},
     [](Machine &m) { m.updatePolicy = {1, 22, 6}, m.updateHours64[0] = 8, m.updateHours64[1] = 17; }},
    {"Windows Update: policy's hours not in use", Contract::TOPIC_WINDOWS_UPDATE, Contract::VERDICT_CHECK,
     {"seemingly 08:00 to 17:00"},
     [](Machine &m) { m.updatePolicy = {0, 22, 6}, m.updateHours64[0] = 8, m.updateHours64[1] = 17; }},
};
// clang-format on

std::string Opening(const char *verdict, const char *topic)
{
    return std::string(verdict) + ": " + topic + ": ";
}

// The guide's section headings: a line underlined with dashes.
std::vector<std::string> GuideSections()
{
    std::vector<std::string> sections;
    FILE *file = fopen(VARNEL_GUIDE, "r");
    char line[256], previous[256] = "";
    while (file && fgets(line, sizeof line, file))
    {
        line[strcspn(line, "\r\n")] = '\0';
        if (line[0] == '-' && strspn(line, "-") == strlen(line) && strlen(line) == strlen(previous))
            sections.push_back(previous);
        lstrcpynA(previous, line, sizeof previous);
    }
    if (file)
        fclose(file);
    return sections;
}

// The whole text of each case, in the table's order: checked once.
const std::vector<std::string> &CaseTexts()
{
    static std::vector<std::string> texts;
    for (size_t i = texts.size(); i < std::size(CASES); i++)
    {
        Machine arranged = FINE;
        CASES[i].arrange(arranged);
        texts.push_back(CheckOn(arranged));
    }
    return texts;
}

} // namespace

TEST_CASE("every topic's every verdict, as the box tells it")
{
    for (size_t i = 0; i < std::size(CASES); i++)
    {
        const Case &c = CASES[i];
        CAPTURE(std::string(c.what));
        const std::string &text = CaseTexts()[i];
        CAPTURE(text);
        std::string paragraph = TopicParagraph(text, c.topic);
        CHECK(paragraph.compare(0, Opening(c.verdict, c.topic).size(), Opening(c.verdict, c.topic)) == 0);
        for (const char *told : c.told)
        {
            CAPTURE(told);
            CHECK(paragraph.find(told) != std::string::npos);
        }
    }
    // Each topic can give each verdict the table says, and no other.
    for (const char *topic : Contract::NIGHT_CHECK_TOPICS)
        for (const char *verdict : {Contract::VERDICT_FINE, Contract::VERDICT_CHECK, Contract::VERDICT_PROBLEM})
        {
            int rows = 0;
            for (const Case &c : CASES)
                rows += lstrcmpA(c.topic, topic) == 0 && lstrcmpA(c.verdict, verdict) == 0;
            CAPTURE(topic);
            CAPTURE(verdict);
            // Windows Update is always to be checked; an encoder window and
            // a screen saver are there or not; the lid is the user's to
            // close or not.
            auto is = [](const char *a, const char *b) { return lstrcmpA(a, b) == 0; };
            int never = is(topic, Contract::TOPIC_WINDOWS_UPDATE)
                            ? !is(verdict, Contract::VERDICT_CHECK)
                            : (is(verdict, Contract::VERDICT_CHECK) &&
                               (is(topic, Contract::TOPIC_ENCODERS) || is(topic, Contract::TOPIC_SCREEN_SAVER))) ||
                                  (is(verdict, Contract::VERDICT_PROBLEM) && is(topic, Contract::TOPIC_LID));
            CHECK((rows > 0) != never);
        }
}

TEST_CASE("the text: the two counts, each night's paragraphs in order, and where to read more")
{
    const std::vector<std::string> sections = GuideSections();
    for (const char *night : {Contract::EVERY_NIGHT, Contract::NIGHT_ASLEEP})
        CHECK(std::find(sections.begin(), sections.end(), night) != sections.end());
    const size_t everyNight = Contract::EVERY_NIGHT_TOPICS, topics = std::size(Contract::NIGHT_CHECK_TOPICS);
    for (size_t c = 0; c < std::size(CASES); c++)
    {
        CAPTURE(std::string(CASES[c].what));
        const std::string &text = CaseTexts()[c];
        CAPTURE(text);
        Sequence lines = Lines(text);
        REQUIRE(lines.size() == topics + 6);
        // Counts, blank, every night's, blank, a night asleep's, blank, more.
        CHECK((lines[2].empty() && lines[3 + everyNight].empty() && lines[4 + topics].empty()));
        CHECK(lines[5 + topics] == Contract::NIGHT_CHECK_MORE);
        std::vector<std::string> problems[2];
        for (size_t i = 0; i < topics; i++)
        {
            const std::string &paragraph = lines[i < everyNight ? 3 + i : 4 + i];
            CAPTURE(paragraph);
            int opened = 0;
            for (const char *verdict : {Contract::VERDICT_FINE, Contract::VERDICT_CHECK, Contract::VERDICT_PROBLEM})
            {
                std::string opening = Opening(verdict, Contract::NIGHT_CHECK_TOPICS[i]);
                if (paragraph.compare(0, opening.size(), opening) != 0)
                    continue;
                opened = 1;
                if (lstrcmpA(verdict, Contract::VERDICT_PROBLEM) == 0)
                    problems[i >= everyNight].push_back(Contract::NIGHT_CHECK_TOPICS[i]);
                // One line of the box, as Wine's lays it out (its widest
                // line holds about 48 characters).
                if (lstrcmpA(verdict, Contract::VERDICT_FINE) == 0)
                    CHECK(paragraph.size() <= 48);
            }
            CHECK(opened);
        }
        CHECK(lines[0] == CountLine(Contract::EVERY_NIGHT, problems[0]));
        CHECK(lines[1] == CountLine(Contract::NIGHT_ASLEEP, problems[1]));

        // A machine that sleeps in Modern Standby: no wake is promised, and
        // on mains with the lid left to do nothing, a night left on works.
        Machine m = FINE;
        CASES[c].arrange(m);
        if (m.standby == 1)
            CHECK(TopicParagraph(text, Contract::TOPIC_WAKING).find(Contract::VERDICT_FINE) != 0);
        if (m.standby == 1 && m.acLine == 1 && !m.lidAction[0] && !m.lidAction[1])
            CHECK(lines[0] == CountLine(Contract::EVERY_NIGHT, {}));
    }
    Machine worst = FINE;
    worst.recorder = 0, worst.varnels = 2, worst.acLine = 0, worst.timer = MISSING;
    CHECK(Lines(CheckOn(worst))[0] ==
          CountLine(Contract::EVERY_NIGHT, {Contract::TOPIC_RECORDER, Contract::TOPIC_VARNEL, Contract::TOPIC_POWER}));
}

TEST_CASE("what the check asks of Windows")
{
    SUBCASE("the recorder gets the registered message alone, which it ignores")
    {
        CheckOn(FINE);
        CHECK_SEQUENCE(recorderGot, {std::to_string(RegisterWindowMessageA(Contract::NIGHT_CHECK_MESSAGE))});
    }
    SUBCASE("the wake-up timer: one, resuming, hours ahead, cancelled and closed at once")
    {
        CheckOn(FINE);
        CHECK_SEQUENCE(Only(calls, {"create", "set", "cancel", "close"}),
                       {"create manual=0 named=0", "set timer=1 hours ahead=6 period=0 routine=0 resume=1",
                        "cancel timer=1", "close timer"});
    }
    SUBCASE("the plan's values on battery only where the machine has one")
    {
        CheckOn(FINE);
        CHECK_SEQUENCE(Only(calls, {"mains", "battery"}), {"mains wake timers", "mains password"});
        Machine laptop = FINE;
        laptop.batteryFlag = BATTERY_HIGH;
        CheckOn(laptop);
        CHECK_SEQUENCE(Only(calls, {"mains", "battery"}),
                       {"mains wake timers", "battery wake timers", "mains password", "battery password"});
    }
    SUBCASE("POWRPROF.DLL from the system folder, once")
    {
        CheckOn(FINE);
        CheckOn(FINE);
        char folder[MAX_PATH];
        GetSystemDirectoryA(folder, sizeof folder);
        Sequence dlls = Only(loaded, {folder});
        REQUIRE(dlls.size() == 1);
        CHECK(lstrcmpiA(dlls[0].c_str(), (std::string(folder) + "\\" + Contract::POWER_DLL).c_str()) == 0);
    }
}

namespace
{

std::vector<BoxSeen> seen;
void (*beforeRetry)();

void BeforePress(int press)
{
    if (press == Contract::NIGHT_CHECK_RETRY && beforeRetry)
        beforeRetry();
}

int ShowAndPlay(const Machine &arranged, std::vector<int> buttons)
{
    Arrange(arranged);
    StartBoxUser(Contract::NIGHT_CHECK_TITLE, buttons, BeforePress);
    int shown = NightCheck();
    seen = BoxesSeen();
    Undo();
    return shown;
}

} // namespace

TEST_CASE("the box: Retry checks again, Cancel ends with the problems it showed, both nights'")
{
    // On battery, and Windows cannot wake it; plugged in before Retry, only
    // a night asleep's problem is left, and that is no warning.
    Machine onBattery = FINE;
    onBattery.acLine = 0, onBattery.timer = ERROR_RESUME_IGNORED;
    beforeRetry = [] { machine.acLine = 1; };
    CHECK(ShowAndPlay(onBattery, {Contract::NIGHT_CHECK_RETRY, Contract::NIGHT_CHECK_CANCEL}) == 1);
    beforeRetry = NULL;
    REQUIRE(seen.size() == 2);
    for (const BoxSeen &box : seen)
    {
        CHECK(box.title == Contract::NIGHT_CHECK_TITLE);
        CHECK((box.retry && box.cancel && !box.ok));
        CHECK(Lines(box.text)[1] == CountLine(Contract::NIGHT_ASLEEP, {Contract::TOPIC_WAKING}));
    }
    CHECK(Lines(seen[0].text)[0] == CountLine(Contract::EVERY_NIGHT, {Contract::TOPIC_POWER}));
    CHECK((seen[0].warning && !seen[0].information));
    CHECK(Lines(seen[1].text)[0] == CountLine(Contract::EVERY_NIGHT, {}));
    CHECK((seen[1].information && !seen[1].warning));

    Machine three = FINE;
    three.recorder = 0, three.varnels = 2, three.titles = {"gogo"};
    CHECK(ShowAndPlay(three, {Contract::NIGHT_CHECK_CANCEL}) == 3);
    REQUIRE(seen.size() == 1);
    CHECK(Lines(seen[0].text)[0] == CountLine(Contract::EVERY_NIGHT, {Contract::TOPIC_RECORDER, Contract::TOPIC_VARNEL,
                                                                      Contract::TOPIC_ENCODERS}));
}

TEST_CASE("the box fits a 640 x 480 screen with every topic's longest paragraph")
{
    const size_t topics = std::size(Contract::NIGHT_CHECK_TOPICS);
    std::string longest[topics];
    for (const std::string &text : CaseTexts())
    {
        Sequence paragraphs = Paragraphs(text);
        for (size_t i = 0; i < paragraphs.size() && i < topics; i++)
            if (paragraphs[i].size() > longest[i].size())
                longest[i] = paragraphs[i];
    }
    // The counts naming every topic that can be a problem.
    std::vector<std::string> named[2];
    for (size_t i = 0; i < topics; i++)
        for (const Case &c : CASES)
            if (c.topic == Contract::NIGHT_CHECK_TOPICS[i] && c.verdict == Contract::VERDICT_PROBLEM)
            {
                named[i >= (size_t)Contract::EVERY_NIGHT_TOPICS].push_back(c.topic);
                break;
            }
    std::string text =
        CountLine(Contract::EVERY_NIGHT, named[0]) + "\n" + CountLine(Contract::NIGHT_ASLEEP, named[1]) + "\n";
    for (size_t i = 0; i < topics; i++)
        text += (i == 0 || i == (size_t)Contract::EVERY_NIGHT_TOPICS ? "\n" : "") + longest[i] + "\n";
    text += "\n" + std::string(Contract::NIGHT_CHECK_MORE);
    CAPTURE(text);
    StartBoxUser(Contract::NIGHT_CHECK_TITLE, {Contract::NIGHT_CHECK_CANCEL});
    MessageBoxA(NULL, text.c_str(), Contract::NIGHT_CHECK_TITLE,
                Contract::NIGHT_CHECK_BUTTONS | Contract::NIGHT_CHECK_ICON_PROBLEM);
    seen = BoxesSeen();
    REQUIRE(seen.size() == 1);
    MESSAGE("the box at its longest: ", seen[0].rect.right - seen[0].rect.left, " x ",
            seen[0].rect.bottom - seen[0].rect.top);
    CHECK(seen[0].rect.right - seen[0].rect.left <= 640);
    CHECK(seen[0].rect.bottom - seen[0].rect.top <= 480);
}
