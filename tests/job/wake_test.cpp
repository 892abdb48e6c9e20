// When the machine is woken for the job, from a clock reading the test gives,
// against UTC instants written down here. Run with TZ=EST5EDT, a zone with
// summer time (US Eastern: UTC-5 in winter, UTC-4 in summer): the C runtime
// takes a zone's rules from TZ only as the process starts.
#include <doctest/doctest.h>

#include <time.h>

#include "outside_fake.h"
#include "schedule/schedule.h"

static MinuteOfDay At(int hour, int minute)
{
    return hour * 60 + minute;
}

// Seconds since 1970-01-01 00:00 UTC of a UTC date and time, by the
// Gregorian calendar (days before the month, 1970 to the year's leap days).
static time_t Utc(int year, int month, int day, int hour, int minute, int second = 0)
{
    static const int daysBefore[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    int leapDays = (year - 1969) / 4 - (year - 1901) / 100 + (year - 1601) / 400;
    if (month > 2 && year % 4 == 0 && (year % 100 != 0 || year % 400 == 0))
        leapDays++;
    long days = (year - 1970) * 365L + leapDays + daysBefore[month - 1] + day - 1;
    return (time_t)(days * 86400 + hour * 3600 + minute * 60 + second);
}

struct Row
{
    const char *what;
    JobState state;
    MinuteOfDay start, stop;
    time_t now, wake;
};

static void CheckRows(const Row *rows, size_t count)
{
    for (size_t i = 0; i < count; i++)
    {
        const Row &row = rows[i];
        INFO(doctest::String(row.what));
        ResetRun(row.start, row.stop, row.state);
        CHECK(WakeMoment(row.now) == row.wake);
    }
}

TEST_CASE("the calendar helper counts as the calendar does, and the zone is US Eastern")
{
    CHECK(Utc(1970, 1, 1, 0, 0) == 0);
    CHECK(Utc(2000, 3, 1, 0, 0) == 951868800);
    CHECK(Utc(2027, 1, 1, 0, 0) == 1798761600);
    time_t winter = Utc(2027, 1, 15, 12, 0), summer = Utc(2027, 7, 15, 12, 0);
    REQUIRE(localtime(&winter)->tm_hour == 7);
    REQUIRE(localtime(&summer)->tm_hour == 8);
}

TEST_CASE("the wake comes two minutes before the next minute the job watches for")
{
    const Row rows[] = {
        {"REC 11:00 set at 10:20 wakes at 10:57 today", STATE_WAIT_START, At(11, 0), At(12, 0),
         Utc(2027, 1, 15, 15, 20), Utc(2027, 1, 15, 15, 57)},
        {"REC 00:00 set at 23:50 wakes at 23:57 today", STATE_WAIT_START, At(0, 0), At(1, 0), Utc(2027, 1, 16, 4, 50),
         Utc(2027, 1, 16, 4, 57)},
        {"REC 00:05 set at 23:50 wakes at 00:02 tomorrow", STATE_WAIT_START, At(0, 5), At(1, 5),
         Utc(2027, 1, 16, 4, 50), Utc(2027, 1, 16, 5, 2)},
        {"STOP 09:30 comes before REC 11:00 at 08:00: woken at 09:29", STATE_WAIT_START, At(11, 0), At(9, 30),
         Utc(2027, 1, 15, 13, 0), Utc(2027, 1, 15, 14, 29)},
        {"at 10:00 REC 11:00 comes first, STOP 09:30 only tomorrow", STATE_WAIT_START, At(11, 0), At(9, 30),
         Utc(2027, 1, 15, 15, 0), Utc(2027, 1, 15, 15, 57)},
        {"alert watch: for the minute after STOP", STATE_DISMISS_ALERT, At(11, 0), At(12, 0),
         Utc(2027, 1, 15, 15, 59, 10), Utc(2027, 1, 15, 16, 59)},
        {"recording: STOP 12:00 wakes at 11:59", STATE_WAIT_STOP, At(11, 0), At(12, 0), Utc(2027, 1, 15, 16, 10),
         Utc(2027, 1, 15, 16, 59)},
        {"set at 10:58:10 for REC 11:00: too late for the lead, woken as 10:59 begins", STATE_WAIT_START, At(11, 0),
         At(12, 0), Utc(2027, 1, 15, 15, 58, 10), Utc(2027, 1, 15, 15, 59)},
        {"set at 10:59:30 for REC 11:00: the minute under way, not tomorrow's", STATE_WAIT_START, At(11, 0), At(12, 0),
         Utc(2027, 1, 15, 15, 59, 30), Utc(2027, 1, 15, 15, 59)},
        {"recorder stopped: no wake", STATE_WAIT_ENCODERS, At(11, 0), At(12, 0), Utc(2027, 1, 15, 15, 20), 0},
        {"shutdown coming: no wake", STATE_COUNTDOWN, At(11, 0), At(12, 0), Utc(2027, 1, 15, 15, 20), 0},
    };
    CheckRows(rows, sizeof rows / sizeof rows[0]);
}

TEST_CASE("the night the clocks go forward (02:00 EST to 03:00 EDT, 2027-03-14)")
{
    const Row rows[] = {
        // Twenty-two hours before plus 5 h 57 min would be 08:57 UTC, an hour late.
        {"set at 22:00 EST for REC 04:00: woken at 03:57 EDT", STATE_WAIT_START, At(4, 0), At(5, 0),
         Utc(2027, 3, 14, 3, 0), Utc(2027, 3, 14, 7, 57)},
        {"STOP 03:00 stops at 03:01 EDT: woken two minutes before, at 01:59 EST", STATE_WAIT_STOP, At(1, 0), At(3, 0),
         Utc(2027, 3, 14, 5, 0), Utc(2027, 3, 14, 6, 59)},
        {"REC 02:30 never comes that night: woken for STOP 05:00 instead", STATE_WAIT_START, At(2, 30), At(5, 0),
         Utc(2027, 3, 14, 3, 0), Utc(2027, 3, 14, 8, 59)},
        {"recording through a STOP 02:30 that never comes: woken for it the next night", STATE_WAIT_STOP, At(1, 0),
         At(2, 30), Utc(2027, 3, 14, 6, 30), Utc(2027, 3, 15, 6, 29)},
    };
    CheckRows(rows, sizeof rows / sizeof rows[0]);
}

TEST_CASE("the night the clocks go back (02:00 EDT to 01:00 EST, 2027-11-07)")
{
    const Row rows[] = {
        // Twenty-two hours before plus 5 h 57 min would be 07:57 UTC, an hour early.
        {"set at 22:00 EDT for REC 04:00: woken at 03:57 EST", STATE_WAIT_START, At(4, 0), At(5, 0),
         Utc(2027, 11, 7, 2, 0), Utc(2027, 11, 7, 8, 57)},
        {"REC 01:30: woken for the first 01:29, at 01:27 EDT", STATE_WAIT_START, At(1, 30), At(5, 0),
         Utc(2027, 11, 7, 2, 0), Utc(2027, 11, 7, 5, 27)},
        {"set at 01:50 EDT, after the first 01:29: woken for the second, at 01:27 EST", STATE_WAIT_START, At(1, 30),
         At(5, 0), Utc(2027, 11, 7, 5, 50), Utc(2027, 11, 7, 6, 27)},
        {"set at 01:10 EST: woken for the second 01:29, at 01:27 EST", STATE_WAIT_START, At(1, 30), At(5, 0),
         Utc(2027, 11, 7, 6, 10), Utc(2027, 11, 7, 6, 27)},
    };
    CheckRows(rows, sizeof rows / sizeof rows[0]);
}

TEST_CASE("the last minutes a 32-bit clock holds (2038-01-19 03:14:07 UTC, 22:14:07 EST)")
{
    time_t now = Utc(2038, 1, 19, 3, 0); // 22:00 EST
    CHECK(NextMinuteStart(now, At(22, 14), At(22, 14)) == Utc(2038, 1, 19, 3, 14));
    // Past the clock's end: no minute found, rather than one overflowed into 1901.
    CHECK(NextMinuteStart(now, At(22, 15), At(22, 15)) == 0);
    CHECK(NextMinuteStart(now, At(21, 0), At(21, 0)) == 0); // tomorrow's
    CHECK(NextMinuteStart(now, At(22, 15), At(22, 10)) == Utc(2038, 1, 19, 3, 10));

    const Row rows[] = {
        {"REC 22:15 set at 22:00: woken at 22:12", STATE_WAIT_START, At(22, 15), At(23, 0), now,
         Utc(2038, 1, 19, 3, 12)},
        {"STOP 22:15 comes after the clock's end: no wake", STATE_WAIT_STOP, At(22, 0), At(22, 15), now, 0},
    };
    CheckRows(rows, sizeof rows / sizeof rows[0]);
}
