// Recorder commands, the driver alert and the encoder watch, against real
// windows of other processes: the stand-ins, which log what they receive.
#include <doctest/doctest.h>

#include <windows.h>

#include "actions/driver_alert.h"
#include "actions/encoders.h"
#include "actions/recorder.h"
#include "replace_import.h"
#include "standin_process.h"

// Cases Wine cannot produce on demand: a post the system refuses and a
// foreground change refused. These stand in for user32's functions in this
// test program and pass through to them unless a test arms them.
static int refusePost;
static int refuseForeground;
static int postCalls;

template <typename Function> static Function Real(const char *name)
{
    return (Function)(void *)GetProcAddress(GetModuleHandleA("user32.dll"), name);
}

static BOOL WINAPI PostMessageSpy(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    postCalls++;
    if (refusePost)
    {
        SetLastError(ERROR_NOT_ENOUGH_QUOTA);
        return FALSE;
    }
    static auto real = Real<BOOL(WINAPI *)(HWND, UINT, WPARAM, LPARAM)>("PostMessageA");
    return real(window, message, wParam, lParam);
}

static BOOL WINAPI SetForegroundWindowSpy(HWND window)
{
    if (refuseForeground)
        return FALSE;
    static auto real = Real<BOOL(WINAPI *)(HWND)>("SetForegroundWindow");
    return real(window);
}

REPLACE_WINAPI_IMPORT(PostMessageA, 16, PostMessageSpy)
REPLACE_WINAPI_IMPORT(SetForegroundWindow, 4, SetForegroundWindowSpy)

static int Count(const std::vector<std::string> &events, const std::string &prefix)
{
    int n = 0;
    for (const std::string &e : events)
        n += e.compare(0, prefix.size(), prefix) == 0;
    return n;
}

static int IndexOf(const std::vector<std::string> &events, const std::string &prefix)
{
    for (size_t i = 0; i < events.size(); i++)
        if (events[i].compare(0, prefix.size(), prefix) == 0)
            return (int)i;
    return -1;
}

static int KeysIn(const StandInProcess &standIn)
{
    std::vector<std::string> events = LoggedEvents(standIn);
    return Count(events, "keydown") + Count(events, "keyup") + Count(events, "syskey");
}

TEST_CASE("no recorder: 0, and no other window is touched")
{
    StandInProcess bystander = StartStandIn("standin-encoder.exe", "--title bystander");
    HWND foreground = GetForegroundWindow();
    size_t logged = LoggedEvents(bystander).size();
    postCalls = 0;

    CHECK(SendRecorderCommand(CMD_REC_START) == 0);
    CHECK(SendRecorderCommand(CMD_REC_STOP) == 0);
    Settle(300);

    CHECK(postCalls == 0);
    CHECK(GetForegroundWindow() == foreground);
    INFO(Describe(LoggedEvents(bystander)));
    CHECK(LoggedEvents(bystander).size() == logged);
    StopStandIn(bystander);
}

TEST_CASE("the recorder is brought to the front, then receives exactly one command")
{
    const int codes[] = {CMD_REC_START, CMD_REC_STOP};
    for (int code : codes)
    {
        CAPTURE(code);
        StandInProcess bystander = StartStandIn("standin-encoder.exe", "--title bystander");
        StandInProcess recorder = StartStandIn("standin-recorder.exe");
        SetForegroundWindow(FindWindowA(NULL, "bystander"));
        Settle(300);

        CHECK(SendRecorderCommand(code) == 1);
        Settle(500);

        std::vector<std::string> events = LoggedEvents(recorder);
        INFO("recorder logged:\n", Describe(events));
        std::string command = "command wParam=" + std::to_string(code) + " lParam=0";
        CHECK(Count(events, "command") == 1);
        CHECK(Count(events, command) == 1);
        int activated = IndexOf(events, "activated");
        CHECK(activated >= 0);
        CHECK(activated < IndexOf(events, command));
        StopStandIn(recorder);
        StopStandIn(bystander);
    }
}

TEST_CASE("an unknown command code: 0 and nothing posted")
{
    StandInProcess recorder = StartStandIn("standin-recorder.exe");
    postCalls = 0;
    CHECK(SendRecorderCommand(1002) == 0);
    CHECK(SendRecorderCommand(0) == 0);
    Settle(300);
    CHECK(postCalls == 0);
    CHECK(Count(LoggedEvents(recorder), "command") == 0);
    StopStandIn(recorder);
}

TEST_CASE("a command the recorder's queue refuses is reported as not sent")
{
    StandInProcess recorder = StartStandIn("standin-recorder.exe");
    refusePost = 1;
    CHECK(SendRecorderCommand(CMD_REC_START) == 0);
    refusePost = 0;
    Settle(300);
    CHECK(Count(LoggedEvents(recorder), "command") == 0);

    // The next try, once the queue takes it, goes through.
    CHECK(SendRecorderCommand(CMD_REC_START) == 1);
    CHECK(WaitForEvent(recorder, "command wParam=1001 lParam=0", 2000));
    StopStandIn(recorder);
}

TEST_CASE("no alert: 0, and no key")
{
    StandInProcess recorder = StartStandIn("standin-recorder.exe");
    SetForegroundWindow(FindWindowA(RECORDER_CLASS, NULL));
    Settle(300);
    CHECK(DismissDriverAlert() == 0);
    Settle(300);
    CHECK(KeysIn(recorder) == 0);
    StopStandIn(recorder);
}

TEST_CASE("the alert gets one Space press and release with scan code 0x45, and nothing else does")
{
    StandInProcess recorder = StartStandIn("standin-recorder.exe");
    SetForegroundWindow(FindWindowA(RECORDER_CLASS, NULL));
    Settle(300);
    StandInProcess alert = StartStandIn("standin-alert.exe");

    // As the job does: one try per tick until it reports the key sent.
    int result = 0, tries = 0;
    while (result == 0 && tries < 20)
    {
        result = DismissDriverAlert();
        tries++;
        if (result == 0)
        {
            CHECK(KeysIn(recorder) == 0);
            Settle(200);
        }
    }
    CHECK(result == 1);
    CHECK(WaitForExit(alert, 3000)); // it closes on the released Space

    std::vector<std::string> events = LoggedEvents(alert);
    INFO("alert logged:\n", Describe(events));
    CHECK(Count(events, "keydown vk=0x20 scan=0x45") == 1);
    CHECK(Count(events, "keyup vk=0x20 scan=0x45") == 1);
    CHECK(Count(events, "key") == 2);
    CHECK(IndexOf(events, "activated") < IndexOf(events, "keydown"));
    CHECK(KeysIn(recorder) == 0);
    StopStandIn(alert);
    StopStandIn(recorder);
}

TEST_CASE("an alert that has not yet become the foreground window gets no key, and neither does the recorder")
{
    StandInProcess recorder = StartStandIn("standin-recorder.exe");
    SetForegroundWindow(FindWindowA(RECORDER_CLASS, NULL));
    Settle(300);
    // The alert comes up in front; the recorder takes the front back; then
    // the alert hangs, so that it cannot carry out a new activation.
    StandInProcess alert = StartStandIn("standin-alert.exe", "--hang-at 1.5 --hang-for 3");
    size_t activations = Count(LoggedEvents(recorder), "activated");
    SetForegroundWindow(FindWindowA(RECORDER_CLASS, NULL));
    for (int i = 0; i < 50 && Count(LoggedEvents(recorder), "activated") == (int)activations; i++)
        Settle(20);
    REQUIRE(WaitForEvent(alert, "hang begins", 3000));
    REQUIRE(GetForegroundWindow() == FindWindowA(RECORDER_CLASS, NULL));

    for (int i = 0; i < 5; i++)
    {
        CHECK(DismissDriverAlert() == 0);
        Settle(100);
    }
    CHECK(KeysIn(recorder) == 0);

    REQUIRE(WaitForEvent(alert, "hang ends", 5000));
    int result = 0;
    for (int i = 0; i < 20 && result == 0; i++)
    {
        Settle(100);
        result = DismissDriverAlert();
    }
    CHECK(result == 1);
    CHECK(WaitForEvent(alert, "keyup vk=0x20 scan=0x45", 3000));
    CHECK(KeysIn(recorder) == 0);
    StopStandIn(alert);
    StopStandIn(recorder);
}

TEST_CASE("a refused foreground change: 0 and no key")
{
    StandInProcess alert = StartStandIn("standin-alert.exe");
    refuseForeground = 1;
    CHECK(DismissDriverAlert() == 0);
    refuseForeground = 0;
    Settle(500);
    CHECK(KeysIn(alert) == 0);
    StopStandIn(alert);
}

TEST_CASE("encoders: only a window whose whole title is one of the three counts")
{
    struct Row
    {
        std::vector<const char *> titles;
        int running;
    } rows[] = {
        {{}, 0},
        {{"waveflt2"}, 1},
        {{"lame"}, 1},
        {{"gogo"}, 1},
        {{"lame", "gogo", "waveflt2"}, 1},
        {{"lame.exe", "lame encoder", "gogo2", "xwaveflt2"}, 0},
        {{"lame encoder", "gogo"}, 1},
    };
    for (const Row &row : rows)
    {
        std::string names;
        std::vector<StandInProcess> encoders;
        for (const char *title : row.titles)
        {
            names += std::string(title) + "; ";
            encoders.push_back(StartStandIn("standin-encoder.exe", std::string("--title \"") + title + "\""));
        }
        CAPTURE(names);
        CHECK(EncodersRunning() == row.running);
        for (StandInProcess &encoder : encoders)
            StopStandIn(encoder);
    }
    CHECK(EncodersRunning() == 0);
}

TEST_CASE("a hung recorder or encoder never holds up the caller")
{
    StandInProcess recorder = StartStandIn("standin-recorder.exe", "--hang-at 0.2 --hang-for 4");
    StandInProcess encoder = StartStandIn("standin-encoder.exe", "--title lame --hang-at 0.2 --hang-for 4");
    REQUIRE(WaitForEvent(recorder, "hang begins", 3000));
    REQUIRE(WaitForEvent(encoder, "hang begins", 3000));

    DWORD began = GetTickCount();
    CHECK(SendRecorderCommand(CMD_REC_STOP) == 1);
    CHECK(EncodersRunning() == 1);
    CHECK(DismissDriverAlert() == 0);
    CHECK(GetTickCount() - began < 500);

    // The command waits in the hung recorder's queue and arrives once it recovers.
    CHECK(Count(LoggedEvents(recorder), "command") == 0);
    CHECK(WaitForEvent(recorder, "command wParam=1003 lParam=0", 8000));
    StopStandIn(encoder);
    StopStandIn(recorder);
}
