// The panel's three lamps: which bit of Job.lampFlags lights each, in what
// colour, and where. The job lights them; the panel draws them.
#ifndef VARNEL_JOB_LAMPS_H
#define VARNEL_JOB_LAMPS_H

#include <windows.h>

const BYTE LAMP_REC = 0x02;      // red, under REC: the recorder was started
const BYTE LAMP_STOP = 0x08;     // blue, under STOP: the recorder was stopped
const BYTE LAMP_SHUTDOWN = 0x10; // yellow, by the check box: shutdown coming

struct Lamp
{
    BYTE bit;
    COLORREF colour;
    RECT bounds; // client coordinates; redrawn without erasing
};

const int LAMP_COUNT = 3;

// Drawn in this order: red, blue, yellow.
extern const Lamp LAMPS[LAMP_COUNT];

#endif
