#include "job/lamps.h"

const Lamp LAMPS[LAMP_COUNT] = {
    {LAMP_REC, RGB(255, 0, 0), {8, 18, 18, 28}},
    {LAMP_STOP, RGB(0, 0, 255), {8, 53, 18, 63}},
    {LAMP_SHUTDOWN, RGB(255, 255, 0), {8, 73, 18, 83}},
};
