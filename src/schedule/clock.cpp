#include "schedule/minute.h"

#include <time.h>
#include <windows.h>

MinuteOfDay GetNowMinute()
{
    time_t now = time(NULL);
    const struct tm *local = localtime(&now);
    if (local != NULL)
        return local->tm_hour * 60 + local->tm_min;

    // The runtime cannot convert every instant (a 32-bit time_t ends in
    // January 2038); the system's own local time still knows the minute.
    SYSTEMTIME system;
    GetLocalTime(&system);
    return system.wHour * 60 + system.wMinute;
}

time_t GetNowTime()
{
    return time(NULL);
}
