#include "schedule/minute.h"

// Walked a minute at a time: enough to reach a minute that the clock skips
// tonight on the following day.
static const int PROBE_LIMIT = 2 * MINUTES_PER_DAY + 60;

// The last second time() can give here, in January 2038: no minute after it
// is reached, and a sum past it would overflow.
static_assert(sizeof(time_t) == 4, "the clock's calendar time is 32 bits");
static const time_t LAST_TIME = 0x7FFFFFFF;

static MinuteOfDay Reading(const struct tm *local)
{
    return local->tm_hour * 60 + local->tm_min;
}

// Leaps straight to the nearer of the two minutes, then checks that the
// clock read as expected there; a leap across a change of the clock reads
// another minute, and from then on the clock is walked a minute at a time.
time_t NextMinuteStart(time_t now, MinuteOfDay first, MinuteOfDay second)
{
    const struct tm *local = localtime(&now);
    if (local == NULL)
        return 0;
    time_t at = now - local->tm_sec; // where the local minute under way began
    MinuteOfDay reading = Reading(local);
    int walking = 0;
    for (int probe = 0; probe < PROBE_LIMIT; probe++)
    {
        if (reading == first || reading == second)
            return at;
        int leap = 1;
        if (!walking)
        {
            leap = SubMinutes(first, reading);
            int other = SubMinutes(second, reading);
            if (other < leap)
                leap = other;
        }
        if (at > LAST_TIME - 60 * leap)
            return 0;
        time_t next = at + 60 * leap;
        if ((local = localtime(&next)) == NULL)
            return 0;
        if (Reading(local) != AddMinutes(reading, leap) && !walking)
        {
            walking = 1;
            continue;
        }
        at = next;
        reading = Reading(local);
    }
    return 0;
}
