#include "lastnight/last_night.h"

#include "lastnight/night.h"
#include "lastnight/telling.h"

static const char BOX_TITLE[] = "Varnel: last night";

// Days from 1970-01-01 to the date, for a year from 1970 on (the civil
// calendar's days, counted from March so that the leap day comes last).
static DWORD DaysSince1970(int year, int month, int day)
{
    year -= month <= 2;
    int sinceMarch = month > 2 ? month - 3 : month + 9;
    DWORD days = (DWORD)year * 365 + year / 4 - year / 100 + year / 400 + (153 * sinceMarch + 2) / 5 + day - 1;
    return days - 719468; // 1970-01-01, counted the same way
}

// Now, in seconds since 1970 (UTC), as the records' times are.
static DWORD SecondsNow()
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    return DaysSince1970(now.wYear, now.wMonth, now.wDay) * DAY_SECONDS + now.wHour * 3600 + now.wMinute * 60 +
           now.wSecond;
}

Telling TellLastNight()
{
    // On the stack, whose pages this file's code touches in order: the
    // program file stores no zeros for it.
    Night night;
    ZeroMemory(&night, sizeof night);
    ReadNight(&night, SecondsNow() - DAY_SECONDS);
    ArrangeNight(&night);
    return TellNight(&night);
}

int LastNight()
{
    Telling telling = TellLastNight();
    MessageBoxA(NULL, telling.text, BOX_TITLE, MB_OK | telling.icon);
    return telling.status;
}
