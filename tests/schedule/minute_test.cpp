// Minute arithmetic at its wraps.
#include <doctest/doctest.h>

#include "schedule/minute.h"

TEST_CASE("adding wraps past midnight")
{
    CHECK(AddMinutes(1439, 1) == 0);
    CHECK(AddMinutes(1400, 60) == 20);
    CHECK(AddMinutes(1430, 65) == 55);
    CHECK(AddMinutes(0, 0) == 0);
}

TEST_CASE("subtracting wraps back past midnight")
{
    CHECK(SubMinutes(0, 1) == 1439);
    CHECK(SubMinutes(3, 5) == 1438);
    CHECK(SubMinutes(30, 60) == 1410);
    CHECK(SubMinutes(60, 60) == 0);
    CHECK(SubMinutes(0, MINUTES_PER_DAY) == 0);
}

TEST_CASE("every minute of the day, every step the program takes: in range, and subtracting undoes adding")
{
    const int steps[] = {1, 5, 60, 65};
    for (MinuteOfDay m = 0; m < MINUTES_PER_DAY; m++)
        for (int step : steps)
        {
            MinuteOfDay later = AddMinutes(m, step);
            REQUIRE(later >= 0);
            REQUIRE(later < MINUTES_PER_DAY);
            REQUIRE(SubMinutes(later, step) == m);
        }
}

TEST_CASE("rounding down to the hour")
{
    CHECK(FloorToHour(0) == 0);
    CHECK(FloorToHour(59) == 0);
    CHECK(FloorToHour(60) == 60);
    CHECK(FloorToHour(1439) == 1380);
}
