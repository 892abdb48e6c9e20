// Reports GetNowMinute() as its exit status, so a test can read the clock
// of a process whose local time it placed with TZ.
#include "schedule/minute.h"

int main()
{
    return GetNowMinute();
}
