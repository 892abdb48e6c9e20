#include "schedule/minute.h"

MinuteOfDay AddMinutes(MinuteOfDay a, int b)
{
    return (a + b) % MINUTES_PER_DAY;
}

MinuteOfDay SubMinutes(MinuteOfDay a, int b)
{
    MinuteOfDay m = a - b;
    if (m < 0)
        m += MINUTES_PER_DAY;
    return m;
}

MinuteOfDay FloorToHour(MinuteOfDay m)
{
    return (m / 60) * 60;
}
