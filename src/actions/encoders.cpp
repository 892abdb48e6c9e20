#include "actions/encoders.h"

#include <windows.h>

const char *const ENCODER_TITLES[ENCODER_COUNT] = {"waveflt2", "lame", "gogo"};

int EncodersRunning()
{
    // Whole titles, in any capitals, on any top-level window: FindWindowA's
    // match, a folder window's title among them.
    int found = 0;
    for (int i = 0; i < ENCODER_COUNT; i++)
        if (FindWindowA(NULL, ENCODER_TITLES[i]) != NULL)
            found = 1;
    return found;
}
