// Times as last night compares them: seconds since 1970, UTC, as the event
// log's records give them.
#include "lastnight/night.h"

// Days from 1970-01-01 to the date, for a year from 1970 on (the civil
// calendar's days, counted from March so that the leap day comes last).
static DWORD DaysSince1970(int year, int month, int day)
{
    year -= month <= 2;
    int sinceMarch = month > 2 ? month - 3 : month + 9;
    DWORD days = (DWORD)year * 365 + year / 4 - year / 100 + year / 400 + (153 * sinceMarch + 2) / 5 + day - 1;
    return days - 719468; // 1970-01-01, counted the same way
}

DWORD SecondsSince1970(const SYSTEMTIME &at)
{
    return DaysSince1970(at.wYear, at.wMonth, at.wDay) * DAY_SECONDS + at.wHour * 3600 + at.wMinute * 60 + at.wSecond;
}

DWORD SecondsNow()
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    return SecondsSince1970(now);
}
