// Prints GetNowMinute(), so that a test can read the clock of a process
// whose local time it placed.
#include <stdio.h>

#include "schedule/minute.h"

int main()
{
    printf("minute %d\n", GetNowMinute());
    return 0;
}
