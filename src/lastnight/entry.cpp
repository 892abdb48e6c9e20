// Where last night begins: like Varnel, without the runtime's start-up
// code, which holds instructions a 486 or Pentium lacks.
#include <stdlib.h>

#include "lastnight/last_night.h"

extern "C" void WinMainCRTStartup()
{
    exit(LastNight());
}
