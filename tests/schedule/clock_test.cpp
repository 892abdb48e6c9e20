// The clock's fallback: where the runtime cannot convert the time (as a
// 32-bit time_t cannot from 2038 on), localtime returns no result, and the
// system's own local time must still give the minute, while no wake-up is
// found. The runtime's converter is replaced in this test program; armed,
// it fails.
#include <doctest/doctest.h>

#include <time.h>
#include <windows.h>

#include "replace_import.h"
#include "schedule/minute.h"

static int localtimeFails;

static struct tm *__cdecl FailingLocalTime(const time_t *time)
{
    typedef struct tm *(__cdecl * LocalTime)(const time_t *);
    static LocalTime real = (LocalTime)(void *)GetProcAddress(GetModuleHandleA("msvcrt.dll"), "localtime");
    return localtimeFails ? NULL : real(time);
}

// With a 32-bit time_t the headers name msvcrt's localtime _localtime32.
REPLACE_CDECL_IMPORT(_localtime32, FailingLocalTime)

TEST_CASE("when the runtime cannot convert the time, the system's local time gives the minute")
{
    SYSTEMTIME utc, local;
    GetSystemTime(&utc);
    GetLocalTime(&local);
    REQUIRE(utc.wHour != local.wHour); // run in a zone away from UTC

    localtimeFails = 1;
    time_t now = time(NULL);
    REQUIRE(localtime(&now) == NULL);
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
    // Nor is a wake-up found from such a clock: none is set, rather than one
    // at a time made up.
    CHECK(NextMinuteStart(now, 0, 0) == 0);
    localtimeFails = 0;
    MinuteOfDay minute = GetNowMinute();
    CHECK(minute >= 0);
    CHECK(minute < MINUTES_PER_DAY);
}
