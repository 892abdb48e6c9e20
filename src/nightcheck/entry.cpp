// Where the night check begins: like Varnel, without the runtime's start-up
// code, which holds instructions a 486 or Pentium lacks. Its exit status is
// the number of problems the last box showed.
#include <stdlib.h>

#include "nightcheck/night_check.h"

extern "C" void WinMainCRTStartup()
{
    exit(NightCheck());
}
