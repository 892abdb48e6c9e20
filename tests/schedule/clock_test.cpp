// The local clock, read in a child process whose time zone places local
// time where the test wants it.
#include <doctest/doctest.h>

#include <time.h>
#include <windows.h>

#include "placed_clock.h"
#include "schedule/minute.h"

// The probe's exit status is the minute it read.
static int ProbeMinuteAt(int localSecondOfDay)
{
    HANDLE probe = StartWithClock("clock_probe.exe", localSecondOfDay);
    REQUIRE(probe != NULL);
    int minute = WaitForStatus(probe, 30000);
    CloseHandle(probe);
    return minute;
}

TEST_CASE("the clock reads local time, down to the minute's edges")
{
    // Each placed a little inside its minute, for the probe's start-up time.
    CHECK(ProbeMinuteAt(0 * 3600 + 0 * 60 + 2) == 0);
    CHECK(ProbeMinuteAt(23 * 3600 + 59 * 60 + 30) == 1439);
    CHECK(ProbeMinuteAt(10 * 3600 + 59 * 60 + 30) == 10 * 60 + 59);
    CHECK(ProbeMinuteAt(12 * 3600 + 0 * 60 + 2) == 12 * 60);
}

// Where the runtime cannot convert the time (as a 32-bit time_t cannot from
// 2038 on), localtime returns no result. This stands in for the runtime's
// converter in this test program; armed, it fails.
static int localtimeFails;
typedef struct tm *(__cdecl *LocalTimeFunction)(const __time64_t *);

static struct tm *__cdecl FailingLocalTime(const __time64_t *time)
{
    if (localtimeFails)
        return NULL;
    static LocalTimeFunction real =
        (LocalTimeFunction)(void *)GetProcAddress(GetModuleHandleA("msvcrt.dll"), "_localtime64");
    return real(time);
}

extern "C" {
void *__imp__localtime64 = (void *)&FailingLocalTime;
}

TEST_CASE("when the runtime cannot convert the time, the system's local time gives the minute")
{
    localtimeFails = 1;
    for (int attempt = 0; attempt < 3; attempt++)
    {
        SYSTEMTIME before, after;
        GetLocalTime(&before);
        MinuteOfDay minute = GetNowMinute();
        GetLocalTime(&after);
        if (before.wMinute != after.wMinute)
            continue; // a minute turned over in between; read again
        CHECK(minute == before.wHour * 60 + before.wMinute);
        break;
    }
    localtimeFails = 0;
    MinuteOfDay minute = GetNowMinute();
    CHECK(minute >= 0);
    CHECK(minute < MINUTES_PER_DAY);
}
