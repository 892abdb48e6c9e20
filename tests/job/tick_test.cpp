// The sequencer, tick by tick, against a clock and outside actions the test
// controls, on a real panel window with a real check box.
#include <doctest/doctest.h>

#include "contract.h"
#include "outside_fake.h"
#include "schedule/schedule.h"

static MinuteOfDay At(int hour, int minute)
{
    return hour * 60 + minute;
}

// A whole countdown that sees no encoder: five ticks counted, the shutdown
// on the sixth.
static Sequence WholeCountdown()
{
    Sequence ticks(6, Ev(EV_ENCODERS, 0, 0));
    ticks.push_back(Ev(EV_SHUTDOWN));
    ticks.push_back(Ev(EV_EXIT, 0, 0));
    return ticks;
}

TEST_CASE("the job record starts in the program image ready to wait for REC")
{
    CHECK(JobAtStart.state == STATE_WAIT_START);
    CHECK(JobAtStart.countdown == 5);
    CHECK(JobAtStart.skipNextTick == 0);
    CHECK(JobAtStart.alertTries == 0);
    CHECK(JobAtStart.lampFlags == 0);
}

TEST_CASE("a whole job: start in the minute before REC, stop in the minute after STOP, exit")
{
    ResetRun(At(11, 0), At(12, 0));

    // Opened at midnight, the wake is for 10:57. Awake through that moment,
    // the machine is woken instead as 10:59 begins, should it sleep now.
    CHECK(TickAt(At(10, 58), 30) == 0);
    CHECK_SEQUENCE(TakeEvents(), {Ev(EV_WAKE, At(10, 59), 1)});

    // Started: the machine is now woken for the minute after STOP.
    TickAt(At(10, 59));
    CHECK_SEQUENCE(TakeEvents(), {Ev(EV_RECORDER, Contract::CMD_REC_START, 1), Ev(EV_WAKE, At(11, 59), 1)});
    CHECK(Job.state == STATE_DISMISS_ALERT);
    CHECK(Job.lampFlags == LAMP_REC);
    Redraw redraw = TakeRedraw();
    CHECK(SameRects(redraw.rects, {Contract::RECT_LAMP_REC}));
    CHECK(redraw.erase == 0);

    Outside.alertAnswer = 1;
    TickAt(At(10, 59));
    CHECK_SEQUENCE(TakeEvents(), {Ev(EV_ALERT, 0, 1)});
    CHECK(Job.state == STATE_WAIT_STOP);

    // Recording: nothing is sent, whatever the minute, until the one after
    // STOP; at 11:59 the wake moves on to 12:01 itself.
    for (MinuteOfDay m = At(10, 59); m <= At(12, 0); m++)
        TickAt(m, 3);
    CHECK_SEQUENCE(TakeEvents(), {Ev(EV_WAKE, At(12, 1), 1)});
    CHECK(SameRects(TakeRedraw().rects, {}));

    SetForegroundWindow(OtherWindow());
    Outside.encodersAnswer = 1;
    // Stopped: nothing more to wake the machine for.
    TickAt(At(12, 1));
    CHECK_SEQUENCE(TakeEvents(), {Ev(EV_RECORDER, Contract::CMD_REC_STOP, 1), Ev(EV_WAKE, NO_WAKE, 1)});
    CHECK(Job.state == STATE_WAIT_ENCODERS);
    CHECK(Job.lampFlags == (LAMP_REC | LAMP_STOP));
    CHECK(GetForegroundWindow() == Panel());
    redraw = TakeRedraw();
    CHECK(SameRects(redraw.rects, {Contract::RECT_LAMP_STOP}));
    CHECK(redraw.erase == 0);

    // The encoders hold the job; the box is not even looked at meanwhile.
    CHECK(TickAt(At(12, 1), 40) == 0);
    CHECK(CountEvents(EV_ENCODERS) == 40);
    CHECK(CountEvents(EV_CHECK_READ) == 0);
    CHECK(CountEvents(EV_RECORDER) == 0);
    Outside.events.clear();

    Outside.encodersAnswer = 0;
    CHECK(TickAt(At(12, 3)) == 1);
    CHECK_SEQUENCE(TakeEvents(), {Ev(EV_ENCODERS, 0, 0), Ev(EV_CHECK_READ, 0, 0), Ev(EV_EXIT, 0, 0)});
}

TEST_CASE("a command the recorder does not take is tried again on every tick of its minute")
{
    ResetRun(At(11, 0), At(12, 0));
    Outside.recorderAnswer = 0;
    TickAt(At(10, 59), 3);
    CHECK_SEQUENCE(TakeEvents(),
                   {Ev(EV_RECORDER, Contract::CMD_REC_START, 0), Ev(EV_WAKE, At(10, 59), 1),
                    Ev(EV_RECORDER, Contract::CMD_REC_START, 0), Ev(EV_RECORDER, Contract::CMD_REC_START, 0)});
    CHECK(Job.state == STATE_WAIT_START);
    CHECK(Job.lampFlags == 0);
    CHECK(SameRects(TakeRedraw().rects, {}));

    Outside.recorderAnswer = 1;
    TickAt(At(10, 59));
    CHECK_SEQUENCE(TakeEvents(), {Ev(EV_RECORDER, Contract::CMD_REC_START, 1), Ev(EV_WAKE, At(11, 59), 1)});
    CHECK(Job.state == STATE_DISMISS_ALERT);
}

TEST_CASE("a start missed all through its minute leaves the stop alone to do")
{
    ResetRun(At(11, 0), At(12, 0));
    Outside.recorderAnswer = 0;
    TickAt(At(10, 59), 30);
    CHECK(CountEvents(EV_RECORDER, Contract::CMD_REC_START) == 30);
    Outside.events.clear();

    // The recorder turns up later: nothing for it until the stop minute. The
    // wake moves on to two minutes before it, then to its start.
    Outside.recorderAnswer = 1;
    TickAt(At(11, 0), 30);
    TickAt(At(12, 0), 30);
    CHECK_SEQUENCE(TakeEvents(), {Ev(EV_WAKE, At(11, 59), 1), Ev(EV_WAKE, At(12, 1), 1)});

    TickAt(At(12, 1));
    CHECK_SEQUENCE(TakeEvents(), {Ev(EV_RECORDER, Contract::CMD_REC_STOP, 1), Ev(EV_WAKE, NO_WAKE, 1)});
    CHECK(Job.state == STATE_WAIT_ENCODERS);
    CHECK(Job.lampFlags == LAMP_STOP);

    CHECK(TickAt(At(12, 1)) == 1);
    CHECK_SEQUENCE(TakeEvents(), {Ev(EV_ENCODERS, 0, 0), Ev(EV_CHECK_READ, 0, 0), Ev(EV_EXIT, 0, 0)});
}

TEST_CASE("a STOP that comes round before REC stops the recorder without a start")
{
    ResetRun(At(11, 0), At(9, 30));
    TickAt(At(9, 31));
    CHECK_SEQUENCE(TakeEvents(), {Ev(EV_RECORDER, Contract::CMD_REC_STOP, 1), Ev(EV_WAKE, NO_WAKE, 1)});
    CHECK(Job.state == STATE_WAIT_ENCODERS);
}

TEST_CASE("in the minute before REC the stop minute is not looked at, even when the start fails")
{
    // Only reachable with times off the five-minute grid: both tests hold at 12:01.
    ResetRun(At(12, 2), At(12, 0));
    Outside.recorderAnswer = 0;
    TickAt(At(12, 1), 2);
    CHECK_SEQUENCE(TakeEvents(), {Ev(EV_RECORDER, Contract::CMD_REC_START, 0), Ev(EV_WAKE, At(12, 1), 1),
                                  Ev(EV_RECORDER, Contract::CMD_REC_START, 0)});
    CHECK(Job.state == STATE_WAIT_START);
}

TEST_CASE("REC equal to STOP: start at the minute before, the alert watch ends, stop at the minute after")
{
    ResetRun(At(11, 0), At(11, 0));
    TickAt(At(10, 59));
    CHECK_SEQUENCE(TakeEvents(), {Ev(EV_RECORDER, Contract::CMD_REC_START, 1), Ev(EV_WAKE, At(11, 1), 1)});
    TickAt(At(10, 59), 6); // no alert: six tries, all within the minute
    CHECK(Job.state == STATE_WAIT_STOP);
    TickAt(At(10, 59), 10);
    TickAt(At(11, 0), 30);
    CHECK(CountEvents(EV_RECORDER) == 0);
    TickAt(At(11, 1));
    CHECK(CountEvents(EV_RECORDER, Contract::CMD_REC_STOP) == 1);
    CHECK(Job.state == STATE_WAIT_ENCODERS);
}

TEST_CASE("midnight needs no special case")
{
    SUBCASE("REC 00:00 starts during 23:59")
    {
        // Opened at midnight: 01:01 comes before 23:59; at 23:58 23:59 is next,
        // and once it has gone by untouched, 01:01 again.
        ResetRun(At(0, 0), At(1, 0));
        TickAt(At(23, 58), 30);
        TickAt(At(0, 0), 30);
        CHECK_SEQUENCE(TakeEvents(), {Ev(EV_WAKE, At(23, 59), 1), Ev(EV_WAKE, At(0, 59), 1)});
        TickAt(At(23, 59));
        CHECK_SEQUENCE(TakeEvents(), {Ev(EV_RECORDER, Contract::CMD_REC_START, 1), Ev(EV_WAKE, At(0, 59), 1)});
    }
    SUBCASE("STOP 23:55 stops during 23:56; STOP 23:55 + 5 stops during 00:01")
    {
        ResetRun(At(22, 0), At(23, 55), STATE_WAIT_STOP);
        TickAt(At(23, 55), 30);
        CHECK_SEQUENCE(TakeEvents(), {Ev(EV_WAKE, At(23, 56), 1)});
        TickAt(At(23, 56));
        CHECK_SEQUENCE(TakeEvents(), {Ev(EV_RECORDER, Contract::CMD_REC_STOP, 1), Ev(EV_WAKE, NO_WAKE, 1)});

        ResetRun(At(22, 0), At(23, 55), STATE_WAIT_STOP);
        OnCommand(Panel(), Contract::IDC_STOP_MIN_UP); // 00:00, clicked at midnight
        TickAt(At(0, 1));                              // the skipped tick
        TickAt(At(23, 56), 30);
        CHECK_SEQUENCE(TakeEvents(), {Ev(EV_WAKE, At(0, 1), 1), Ev(EV_WAKE, At(23, 59), 1)});
        TickAt(At(0, 1));
        CHECK_SEQUENCE(TakeEvents(), {Ev(EV_RECORDER, Contract::CMD_REC_STOP, 1), Ev(EV_WAKE, NO_WAKE, 1)});
    }
}

TEST_CASE("the clocks changed in the night: skipped minutes never come, repeated ones act once")
{
    SUBCASE("forward from 02:00 to 03:00: a STOP at 02:30 is not reached that night")
    {
        ResetRun(At(1, 0), At(2, 30), STATE_WAIT_STOP);
        TickAt(At(1, 59), 30);
        TickAt(At(3, 0), 30);
        CHECK(CountEvents(EV_RECORDER) == 0);
        CHECK(Job.state == STATE_WAIT_STOP);
    }
    SUBCASE("back from 03:00 to 02:00: REC 02:30 and STOP 02:45 act the first time only")
    {
        ResetRun(At(2, 30), At(2, 45));
        Outside.alertAnswer = 1;
        Outside.encodersAnswer = 1; // an encoder holds the job through both hours
        for (int pass = 0; pass < 2; pass++)
            for (MinuteOfDay m = At(2, 0); m < At(3, 0); m++)
                TickAt(m, 2);
        CHECK(CountEvents(EV_RECORDER, Contract::CMD_REC_START) == 1);
        CHECK(CountEvents(EV_RECORDER, Contract::CMD_REC_STOP) == 1);
        CHECK(CountEvents(EV_ALERT) == 1);
        CHECK(Job.state == STATE_WAIT_ENCODERS);
    }
}

TEST_CASE("the driver alert is watched for six handled ticks at most")
{
    struct Row
    {
        const char *what;
        int answeredOnTry; // 0: never
        int expectedTries;
    } rows[] = {
        {"never shows", 0, 6},
        {"answered on the first try", 1, 1},
        {"answered on the fourth try", 4, 4},
        {"answered on the last try", 6, 6},
    };
    for (const Row &row : rows)
    {
        INFO(row.what);
        ResetRun(At(11, 0), At(12, 0));
        TickAt(At(10, 59));
        Outside.events.clear();
        for (int tick = 1; Job.state == STATE_DISMISS_ALERT && tick <= 20; tick++)
        {
            Outside.alertAnswer = tick == row.answeredOnTry;
            TickAt(At(10, 59));
        }
        CHECK(CountEvents(EV_ALERT) == row.expectedTries);
        CHECK(Job.state == STATE_WAIT_STOP);
        TickAt(At(10, 59), 5);
        CHECK(CountEvents(EV_ALERT) == row.expectedTries);
    }

    // Only an answer of exactly 1 counts as dismissed.
    ResetRun(At(11, 0), At(12, 0));
    TickAt(At(10, 59));
    Outside.alertAnswer = 2;
    TickAt(At(10, 59));
    CHECK(Job.state == STATE_DISMISS_ALERT);
}

TEST_CASE("ticked box: yellow lamp when the encoders are gone, shutdown on the sixth handled tick after")
{
    ResetRun(At(11, 0), At(12, 0), STATE_WAIT_STOP);
    Outside.encodersAnswer = 1;
    TickAt(At(12, 1));
    TickAt(At(12, 1), 3);
    SetBox(1);
    TakeRedraw();
    Outside.events.clear();

    Outside.encodersAnswer = 0;
    CHECK(TickAt(At(12, 2)) == 0);
    CHECK_SEQUENCE(TakeEvents(), {Ev(EV_ENCODERS, 0, 0), Ev(EV_CHECK_READ, 0, 1)});
    CHECK(Job.state == STATE_COUNTDOWN);
    CHECK(Job.lampFlags == (LAMP_STOP | LAMP_SHUTDOWN));
    Redraw redraw = TakeRedraw();
    CHECK(SameRects(redraw.rects, {Contract::RECT_LAMP_SHUTDOWN}));
    CHECK(redraw.erase == 0);

    // Unticking now changes nothing, and clicks only delay (and set no wake).
    SetBox(0);
    CHECK(TickAt(At(12, 2), 3) == 0);
    OnCommand(Panel(), Contract::IDC_SHUTDOWN_CHECK);
    OnCommand(Panel(), Contract::IDC_SHUTDOWN_CHECK);
    CHECK(TickAt(At(12, 2), 1) == 0); // skipped
    CHECK(TickAt(At(12, 2), 2) == 0);
    // Every handled tick looks for the encoders again; the skipped one does not.
    const std::string none = Ev(EV_ENCODERS, 0, 0);
    CHECK_SEQUENCE(TakeEvents(), {none, none, none, Ev(EV_WAKE, NO_WAKE, 1), Ev(EV_WAKE, NO_WAKE, 1), none, none});
    CHECK(Job.countdown == 0);

    CHECK(TickAt(At(12, 2)) == 1);
    CHECK_SEQUENCE(TakeEvents(), {none, Ev(EV_SHUTDOWN), Ev(EV_EXIT, 0, 0)});
}

TEST_CASE("ticked box: an encoder that opens while counting down puts the yellow lamp out and holds the shutdown "
          "until a whole countdown has passed without one")
{
    ResetRun(At(11, 0), At(12, 0), STATE_WAIT_STOP);
    SetBox(1);
    TickAt(At(12, 1));
    TickAt(At(12, 1), 3); // yellow lamp, then two ticks of the countdown
    TakeRedraw();
    Outside.events.clear();

    // The next encoder, found on the tick after: no box read, no shutdown.
    Outside.encodersAnswer = 1;
    CHECK(TickAt(At(12, 1)) == 0);
    CHECK_SEQUENCE(TakeEvents(), {Ev(EV_ENCODERS, 0, 1)});
    CHECK(Job.state == STATE_WAIT_ENCODERS);
    CHECK(Job.lampFlags == LAMP_STOP);
    Redraw redraw = TakeRedraw();
    CHECK(SameRects(redraw.rects, {Contract::RECT_LAMP_SHUTDOWN}));
    CHECK(redraw.erase == 1); // painted out: a paint draws only the lit lamps

    // Waited for as before.
    CHECK(TickAt(At(12, 2), 20) == 0);
    CHECK(CountEvents(EV_ENCODERS, 0) == 20);
    CHECK(CountEvents(EV_CHECK_READ) == 0);
    CHECK(SameRects(TakeRedraw().rects, {}));
    Outside.events.clear();

    SUBCASE("gone again, the box still ticked: a fresh countdown of its full length, then the shutdown")
    {
        Outside.encodersAnswer = 0;
        CHECK(TickAt(At(12, 3)) == 0);
        CHECK_SEQUENCE(TakeEvents(), {Ev(EV_ENCODERS, 0, 0), Ev(EV_CHECK_READ, 0, 1)});
        CHECK(Job.state == STATE_COUNTDOWN);
        CHECK(Job.lampFlags == (LAMP_STOP | LAMP_SHUTDOWN));
        redraw = TakeRedraw();
        CHECK(SameRects(redraw.rects, {Contract::RECT_LAMP_SHUTDOWN}));
        CHECK(redraw.erase == 0);
        CHECK(TickAt(At(12, 3), 5) == 0);
        CHECK(CountEvents(EV_SHUTDOWN) == 0);
        CHECK(TickAt(At(12, 3)) == 1);
        CHECK_SEQUENCE(TakeEvents(), WholeCountdown());
    }
    SUBCASE("gone again, the box unticked meanwhile: read again, so the job quits")
    {
        SetBox(0);
        Outside.encodersAnswer = 0;
        CHECK(TickAt(At(12, 3)) == 1);
        CHECK_SEQUENCE(TakeEvents(), {Ev(EV_ENCODERS, 0, 0), Ev(EV_CHECK_READ, 0, 0), Ev(EV_EXIT, 0, 0)});
    }
    SUBCASE("found again on the tick the shutdown was due: none")
    {
        Outside.encodersAnswer = 0;
        TickAt(At(12, 3), 6);
        CHECK(Job.countdown == 0);
        Outside.encodersAnswer = 1;
        Outside.events.clear();
        CHECK(TickAt(At(12, 3)) == 0);
        CHECK_SEQUENCE(TakeEvents(), {Ev(EV_ENCODERS, 0, 1)});
        CHECK(Job.state == STATE_WAIT_ENCODERS);
    }
}

TEST_CASE("encoders already gone on the first tick after the stop")
{
    SUBCASE("box unticked: exit on that tick")
    {
        ResetRun(At(11, 0), At(12, 0), STATE_WAIT_STOP);
        TickAt(At(12, 1));
        Outside.events.clear();
        CHECK(TickAt(At(12, 1)) == 1);
        CHECK_SEQUENCE(TakeEvents(), {Ev(EV_ENCODERS, 0, 0), Ev(EV_CHECK_READ, 0, 0), Ev(EV_EXIT, 0, 0)});
    }
    SUBCASE("box ticked: yellow lamp on that tick, shutdown six ticks later")
    {
        ResetRun(At(11, 0), At(12, 0), STATE_WAIT_STOP);
        SetBox(1);
        TickAt(At(12, 1));
        CHECK(TickAt(At(12, 1)) == 0);
        CHECK((Job.lampFlags & LAMP_SHUTDOWN) != 0);
        Outside.events.clear();
        CHECK(TickAt(At(12, 1), 5) == 0);
        CHECK(TickAt(At(12, 1)) == 1);
        CHECK_SEQUENCE(TakeEvents(), WholeCountdown());
    }
}

TEST_CASE("clicks between two ticks swallow exactly one tick, in every state, and each sets the wake again")
{
    for (int clicks = 1; clicks <= 3; clicks++)
    {
        CAPTURE(clicks);
        ResetRun(At(11, 0), At(12, 0));
        for (int i = 0; i < clicks; i++)
            OnCommand(Panel(), Contract::IDC_SHUTDOWN_CHECK);
        TickAt(At(10, 59));
        CHECK_SEQUENCE(TakeEvents(), Sequence(clicks, Ev(EV_WAKE, At(10, 57), 1)));
        CHECK(Job.skipNextTick == 0);
        TickAt(At(10, 59));
        CHECK_SEQUENCE(TakeEvents(), {Ev(EV_RECORDER, Contract::CMD_REC_START, 1), Ev(EV_WAKE, At(11, 59), 1)});

        // In the alert watch a skipped tick is not a try.
        OnCommand(Panel(), 42);
        TickAt(At(10, 59));
        CHECK_SEQUENCE(TakeEvents(), {Ev(EV_WAKE, At(11, 59), 1)});
        CHECK(Job.alertTries == 0);
    }
}

TEST_CASE("STOP moved while recording holds from the tick after the skipped one")
{
    ResetRun(At(11, 0), At(12, 0), STATE_WAIT_STOP);
    OnCommand(Panel(), Contract::IDC_STOP_MIN_UP); // 12:05
    TickAt(At(12, 1));                             // skipped
    TickAt(At(12, 1), 29);
    TickAt(At(12, 5), 30);
    CHECK_SEQUENCE(TakeEvents(), {Ev(EV_WAKE, At(12, 4), 1), Ev(EV_WAKE, At(12, 6), 1)});
    TickAt(At(12, 6));
    CHECK_SEQUENCE(TakeEvents(), {Ev(EV_RECORDER, Contract::CMD_REC_STOP, 1), Ev(EV_WAKE, NO_WAKE, 1)});

    // A click within the new stop minute delays the command by one tick only.
    ResetRun(At(11, 0), At(12, 0), STATE_WAIT_STOP);
    OnCommand(Panel(), Contract::IDC_SHUTDOWN_CHECK);
    TickAt(At(12, 1));
    CHECK_SEQUENCE(TakeEvents(), {Ev(EV_WAKE, At(11, 59), 1)});
    TickAt(At(12, 1));
    CHECK_SEQUENCE(TakeEvents(), {Ev(EV_RECORDER, Contract::CMD_REC_STOP, 1), Ev(EV_WAKE, NO_WAKE, 1)});
}

TEST_CASE("Windows' news of sleep and waking: every event answered TRUE, the wake set again at a sleep, "
          "the machine kept up after every wake")
{
    const std::string awake = Ev(EV_AWAKE, 0, 1);
    const struct
    {
        const char *what;
        WPARAM event;
        JobState state;
        Sequence effects;
    } rows[] = {
        {"asked whether it may sleep (Windows 95 to XP)", PBT_APMQUERYSUSPEND, STATE_WAIT_START, {}},
        {"going to sleep, the job waiting", PBT_APMSUSPEND, STATE_WAIT_START, {Ev(EV_WAKE, At(10, 57), 1)}},
        {"going to sleep, recording", PBT_APMSUSPEND, STATE_WAIT_STOP, {Ev(EV_WAKE, At(11, 59), 1)}},
        {"going to sleep after the stop: nothing to wake for",
         PBT_APMSUSPEND,
         STATE_WAIT_ENCODERS,
         {Ev(EV_WAKE, NO_WAKE, 1)}},
        {"woken by the clock, nobody there", PBT_APMRESUMEAUTOMATIC, STATE_WAIT_START, {awake}},
        {"woken, a person there", PBT_APMRESUMESUSPEND, STATE_WAIT_STOP, {awake}},
        {"woken after an emergency sleep, unannounced", PBT_APMRESUMECRITICAL, STATE_WAIT_ENCODERS, {awake}},
        {"the power source changed", PBT_APMPOWERSTATUSCHANGE, STATE_WAIT_START, {}},
        {"the battery runs low", PBT_APMBATTERYLOW, STATE_WAIT_STOP, {}},
    };
    for (const auto &row : rows)
    {
        INFO(row.what);
        ResetRun(At(11, 0), At(12, 0), row.state);
        Outside.encodersAnswer = 1;
        TickAt(At(10, 30));
        TakeEvents();
        CHECK(OnPowerEvent(row.event) == Contract::POWER_ANSWER);
        CHECK_SEQUENCE(TakeEvents(), row.effects);
        CHECK(Job.state == row.state);
        CHECK(Job.skipNextTick == 0);
    }
}
