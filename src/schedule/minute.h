// Times of day at one-minute resolution, with no date.
#ifndef VARNEL_SCHEDULE_MINUTE_H
#define VARNEL_SCHEDULE_MINUTE_H

#include <time.h>

// Minutes since local midnight, 0 (00:00) to 1439 (23:59).
typedef int MinuteOfDay;

const int MINUTES_PER_DAY = 1440;

// The current local time.
MinuteOfDay GetNowMinute();

// The calendar time now, as time() gives: seconds since 1970, in UTC.
time_t GetNowTime();

// The calendar time (as time() gives) at which the local clock, read as
// GetNowMinute reads it, next turns to `first` or `second`, whichever comes
// first from `now`; the minute under way counts, with its own start. Days
// on which the clock is changed are followed: a minute the clock skips is
// found on the next day that has it, one it repeats the first time. 0 when
// the clock cannot be read, or the moment lies past the last second a
// 32-bit time_t holds (January 2038).
time_t NextMinuteStart(time_t now, MinuteOfDay first, MinuteOfDay second);

// (a + b) mod 1440, for a count b >= 0.
MinuteOfDay AddMinutes(MinuteOfDay a, int b);

// a - b, wrapped once past midnight, for a count b from 0 to 1440.
MinuteOfDay SubMinutes(MinuteOfDay a, int b);

// The whole hour at or before m.
MinuteOfDay FloorToHour(MinuteOfDay m);

#endif
