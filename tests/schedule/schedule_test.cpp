// The default times and the eight buttons that step them.
#include <doctest/doctest.h>

#include "contract.h"
#include "outside_fake.h"
#include "schedule/schedule.h"

static MinuteOfDay At(int hour, int minute)
{
    return hour * 60 + minute;
}

TEST_CASE("defaults: REC on the first whole hour more than five minutes ahead, STOP an hour later")
{
    // clang-format off
    struct Row
    {
        MinuteOfDay opened, rec, stop;
    } rows[] = {
        {At(10, 20), At(11, 0), At(12, 0)},
        {At(10, 0), At(11, 0), At(12, 0)},
        {At(10, 54), At(11, 0), At(12, 0)},
        {At(10, 55), At(12, 0), At(13, 0)},
        {At(10, 59), At(12, 0), At(13, 0)},
        {At(22, 20), At(23, 0), At(0, 0)},
        {At(22, 56), At(0, 0), At(1, 0)},
        {At(23, 10), At(0, 0), At(1, 0)},
        {At(23, 59), At(1, 0), At(2, 0)},
        {At(0, 0), At(1, 0), At(2, 0)},
    };
    // clang-format on
    for (const Row &row : rows)
    {
        CAPTURE(row.opened);
        Outside.now = row.opened;
        InitSchedule();
        CHECK(Schedule.startMinute == row.rec);
        CHECK(Schedule.stopMinute == row.stop);
    }
}

TEST_CASE("each button steps its time, wrapping at midnight; every click skips a tick and redraws both times")
{
    struct Row
    {
        int id;
        MinuteOfDay start, stop;       // before the click
        MinuteOfDay newStart, newStop; // after it
    } rows[] = {
        {Contract::IDC_START_HOUR_UP, At(11, 0), At(12, 0), At(12, 0), At(12, 0)},
        {Contract::IDC_START_HOUR_UP, At(23, 30), At(12, 0), At(0, 30), At(12, 0)},
        {Contract::IDC_START_HOUR_DOWN, At(11, 0), At(12, 0), At(10, 0), At(12, 0)},
        {Contract::IDC_START_HOUR_DOWN, At(0, 30), At(12, 0), At(23, 30), At(12, 0)},
        {Contract::IDC_START_MIN_UP, At(10, 55), At(12, 0), At(11, 0), At(12, 0)},
        {Contract::IDC_START_MIN_UP, At(23, 55), At(12, 0), At(0, 0), At(12, 0)},
        {Contract::IDC_START_MIN_DOWN, At(0, 0), At(12, 0), At(23, 55), At(12, 0)},
        {Contract::IDC_START_MIN_DOWN, At(11, 0), At(12, 0), At(10, 55), At(12, 0)},
        {Contract::IDC_STOP_HOUR_UP, At(11, 0), At(23, 30), At(11, 0), At(0, 30)},
        {Contract::IDC_STOP_HOUR_DOWN, At(11, 0), At(0, 0), At(11, 0), At(23, 0)},
        {Contract::IDC_STOP_MIN_UP, At(11, 0), At(23, 55), At(11, 0), At(0, 0)},
        {Contract::IDC_STOP_MIN_DOWN, At(11, 0), At(0, 0), At(11, 0), At(23, 55)},
        // STOP before REC is accepted as it is.
        {Contract::IDC_STOP_HOUR_DOWN, At(11, 0), At(11, 0), At(11, 0), At(10, 0)},
        // The check box and unknown IDs change no time.
        {Contract::IDC_SHUTDOWN_CHECK, At(11, 0), At(12, 0), At(11, 0), At(12, 0)},
        {9, At(11, 0), At(12, 0), At(11, 0), At(12, 0)},
        {0xFFFF, At(11, 0), At(12, 0), At(11, 0), At(12, 0)},
    };
    for (const Row &row : rows)
    {
        CAPTURE(row.id);
        CAPTURE(row.start);
        CAPTURE(row.stop);
        ResetRun(row.start, row.stop);
        JobRecord before = Job;

        CHECK(OnCommand(Panel(), row.id) == 0);

        CHECK(Schedule.startMinute == row.newStart);
        CHECK(Schedule.stopMinute == row.newStop);
        CHECK(Job.skipNextTick == 1);
        CHECK(Job.state == before.state);
        CHECK(Job.lampFlags == before.lampFlags);
        Redraw redraw = TakeRedraw();
        CHECK(SameRects(redraw.rects, {Contract::RECT_START_TIME, Contract::RECT_STOP_TIME}));
        CHECK(redraw.erase == 0);
    }
}

TEST_CASE("stepping a time all the way round the clock comes back to it")
{
    struct Row
    {
        int up, down, clicksPerDay;
    } rows[] = {
        {Contract::IDC_START_HOUR_UP, Contract::IDC_START_HOUR_DOWN, 24},
        {Contract::IDC_START_MIN_UP, Contract::IDC_START_MIN_DOWN, 288},
        {Contract::IDC_STOP_HOUR_UP, Contract::IDC_STOP_HOUR_DOWN, 24},
        {Contract::IDC_STOP_MIN_UP, Contract::IDC_STOP_MIN_DOWN, 288},
    };
    for (const Row &row : rows)
    {
        CAPTURE(row.up);
        ResetRun(At(11, 0), At(12, 0));
        for (int i = 0; i < row.clicksPerDay; i++)
        {
            OnCommand(Panel(), row.up);
            REQUIRE(Schedule.startMinute % 5 == 0);
            REQUIRE(Schedule.stopMinute % 5 == 0);
            REQUIRE(
                (i + 1 == row.clicksPerDay || (Schedule.startMinute != At(11, 0) || Schedule.stopMinute != At(12, 0))));
        }
        CHECK(Schedule.startMinute == At(11, 0));
        CHECK(Schedule.stopMinute == At(12, 0));
        for (int i = 0; i < row.clicksPerDay; i++)
            OnCommand(Panel(), row.down);
        CHECK(Schedule.startMinute == At(11, 0));
        CHECK(Schedule.stopMinute == At(12, 0));
    }
    TakeRedraw();
}
