// Recorder commands, the driver alert and the encoder watch, against real
// windows of other processes: the stand-ins, which log what they receive.
#include <doctest/doctest.h>

#include <windows.h>

#include "actions/driver_alert.h"
#include "actions/encoders.h"
#include "actions/recorder.h"
#include "contract.h"
#include "replace_import.h"
#include "standin_process.h"

// Cases Wine cannot produce on demand: a post the system refuses and a
// foreground change refused; and an order it cannot show, since another
// program carries out an activation later: these stand in for user32's
// functions in this test program, log each call with the class of the
// window called, and pass through to them unless a test arms them.
static int refusePost;
static int refuseForeground;
static Sequence calls;

static std::string ClassOf(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

static BOOL WINAPI PostMessageSpy(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    calls.push_back("PostMessageA " + ClassOf(window) + " " + std::to_string(message) + " " + std::to_string(wParam) +
                    " " + std::to_string(lParam));
    if (refusePost)
    {
        SetLastError(ERROR_NOT_ENOUGH_QUOTA);
        return FALSE;
    }
    static auto real = RealUser32<BOOL(WINAPI *)(HWND, UINT, WPARAM, LPARAM)>("PostMessageA");
    return real(window, message, wParam, lParam);
}

static BOOL WINAPI SetForegroundWindowSpy(HWND window)
{
    calls.push_back("SetForegroundWindow " + ClassOf(window));
    if (refuseForeground)
        return FALSE;
    static auto real = RealUser32<BOOL(WINAPI *)(HWND)>("SetForegroundWindow");
    return real(window);
}

REPLACE_WINAPI_IMPORT(PostMessageA, 16, PostMessageSpy)
REPLACE_WINAPI_IMPORT(SetForegroundWindow, 4, SetForegroundWindowSpy)

static Sequence TakeCalls()
{
    Sequence taken = calls;
    calls.clear();
    return taken;
}

static std::string Command(int code)
{
    return "command wParam=" + std::to_string(code) + " lParam=0";
}

static std::string Key(const char *event)
{
    char text[64];
    snprintf(text, sizeof text, "%s vk=0x%02X scan=0x%02X", event, Contract::ALERT_KEY, Contract::ALERT_SCAN_CODE);
    return text;
}

static const std::string SPACE_DOWN = Key("keydown"), SPACE_UP = Key("keyup");

static Sequence KeysIn(const StandInProcess &standIn)
{
    return Only(LoggedEvents(standIn), {"key", "syskey"});
}

TEST_CASE("no recorder: 0, and no other window is touched")
{
    StandInProcess bystander = StartStandIn("standin-encoder.exe", "--title bystander");
    HWND foreground = GetForegroundWindow();
    Sequence logged = LoggedEvents(bystander);
    calls.clear();

    CHECK(SendRecorderCommand(Contract::CMD_REC_START) == 0);
    CHECK(SendRecorderCommand(Contract::CMD_REC_STOP) == 0);
    Settle(300);

    CHECK_SEQUENCE(TakeCalls(), {});
    CHECK(GetForegroundWindow() == foreground);
    CHECK_SEQUENCE(LoggedEvents(bystander), logged);
    StopStandIn(bystander);
}

TEST_CASE("the recorder is brought to the front, then receives exactly one command")
{
    const int codes[] = {Contract::CMD_REC_START, Contract::CMD_REC_STOP};
    for (int code : codes)
    {
        CAPTURE(code);
        StandInProcess bystander = StartStandIn("standin-encoder.exe", "--title bystander");
        StandInProcess recorder = StartStandIn("standin-recorder.exe");
        SetForegroundWindow(FindWindowA(NULL, "bystander"));
        Settle(300);
        size_t before = LoggedEvents(recorder).size();
        calls.clear();

        CHECK(SendRecorderCommand(code) == 1);
        Settle(500);

        // To the front first, as a user would, then the command: the
        // recorder's log cannot show that order, its activation comes later.
        const std::string recorderClass = Contract::RECORDER_CLASS;
        CHECK_SEQUENCE(TakeCalls(), {"SetForegroundWindow " + recorderClass,
                                     "PostMessageA " + recorderClass + " 273 " + std::to_string(code) + " 0"});
        Sequence logged = LoggedEvents(recorder);
        CHECK_SEQUENCE(Only(Sequence(logged.begin() + before, logged.end()), {"activated", "command"}),
                       {"activated", Command(code)});
        StopStandIn(recorder);
        StopStandIn(bystander);
    }
}

TEST_CASE("an unknown command code: 0 and nothing posted")
{
    StandInProcess recorder = StartStandIn("standin-recorder.exe");
    calls.clear();
    CHECK(SendRecorderCommand(1002) == 0);
    CHECK(SendRecorderCommand(0) == 0);
    Settle(300);
    CHECK_SEQUENCE(Only(TakeCalls(), {"PostMessageA"}), {});
    CHECK_SEQUENCE(Only(LoggedEvents(recorder), {"command"}), {});
    StopStandIn(recorder);
}

TEST_CASE("a command the recorder's queue refuses is reported as not sent")
{
    StandInProcess recorder = StartStandIn("standin-recorder.exe");
    refusePost = 1;
    CHECK(SendRecorderCommand(Contract::CMD_REC_START) == 0);
    refusePost = 0;
    Settle(300);
    CHECK_SEQUENCE(Only(LoggedEvents(recorder), {"command"}), {});

    // The next try, once the queue takes it, goes through.
    CHECK(SendRecorderCommand(Contract::CMD_REC_START) == 1);
    CHECK(WaitForEvent(recorder, Command(Contract::CMD_REC_START).c_str(), 2000));
    StopStandIn(recorder);
}

TEST_CASE("no alert: 0, and no key")
{
    StandInProcess recorder = StartStandIn("standin-recorder.exe");
    SetForegroundWindow(FindWindowA(Contract::RECORDER_CLASS, NULL));
    Settle(300);
    CHECK(DismissDriverAlert() == 0);
    Settle(300);
    CHECK_SEQUENCE(KeysIn(recorder), {});
    StopStandIn(recorder);
}

TEST_CASE("the alert gets one Space press and release with scan code 0x45, and nothing else does")
{
    StandInProcess recorder = StartStandIn("standin-recorder.exe");
    SetForegroundWindow(FindWindowA(Contract::RECORDER_CLASS, NULL));
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
            CHECK_SEQUENCE(KeysIn(recorder), {});
            Settle(200);
        }
    }
    CHECK(result == 1);
    CHECK(WaitForExit(alert, 3000)); // it closes on the released Space

    // Brought to the front (on appearing or by the dismissal), then the key.
    CHECK_SEQUENCE(Only(LoggedEvents(alert), {"activated", "key", "syskey"}), {"activated", SPACE_DOWN, SPACE_UP});
    CHECK_SEQUENCE(KeysIn(recorder), {});
    StopStandIn(alert);
    StopStandIn(recorder);
}

TEST_CASE("an alert that has not yet become the foreground window gets no key, and neither does the recorder")
{
    StandInProcess recorder = StartStandIn("standin-recorder.exe");
    SetForegroundWindow(FindWindowA(Contract::RECORDER_CLASS, NULL));
    Settle(300);
    // The alert comes up in front; the recorder takes the front back; then
    // the alert hangs, so that it cannot carry out a new activation.
    StandInProcess alert = StartStandIn("standin-alert.exe", "--hang-at 1.5 --hang-for 3");
    size_t activations = Only(LoggedEvents(recorder), {"activated"}).size();
    SetForegroundWindow(FindWindowA(Contract::RECORDER_CLASS, NULL));
    for (int i = 0; i < 50 && Only(LoggedEvents(recorder), {"activated"}).size() == activations; i++)
        Settle(20);
    REQUIRE(WaitForEvent(alert, "hang begins", 3000));
    REQUIRE(GetForegroundWindow() == FindWindowA(Contract::RECORDER_CLASS, NULL));

    for (int i = 0; i < 5; i++)
    {
        CHECK(DismissDriverAlert() == 0);
        Settle(100);
    }
    CHECK_SEQUENCE(KeysIn(recorder), {});

    REQUIRE(WaitForEvent(alert, "hang ends", 5000));
    int result = 0;
    for (int i = 0; i < 20 && result == 0; i++)
    {
        Settle(100);
        result = DismissDriverAlert();
    }
    CHECK(result == 1);
    CHECK(WaitForEvent(alert, SPACE_UP.c_str(), 3000));
    CHECK_SEQUENCE(KeysIn(recorder), {});
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
    CHECK_SEQUENCE(KeysIn(alert), {});
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
    CHECK(SendRecorderCommand(Contract::CMD_REC_STOP) == 1);
    CHECK(EncodersRunning() == 1);
    CHECK(DismissDriverAlert() == 0);
    CHECK(GetTickCount() - began < 500);

    // The command waits in the hung recorder's queue and arrives once it recovers.
    CHECK_SEQUENCE(Only(LoggedEvents(recorder), {"command"}), {});
    CHECK(WaitForEvent(recorder, Command(Contract::CMD_REC_STOP).c_str(), 8000));
    StopStandIn(encoder);
    StopStandIn(recorder);
}
