// The encoders that process a recording after the recorder stops.
#ifndef VARNEL_ACTIONS_ENCODERS_H
#define VARNEL_ACTIONS_ENCODERS_H

const int ENCODER_COUNT = 3;

// Whole window titles, in the order they are looked up.
extern const char *const ENCODER_TITLES[ENCODER_COUNT];

// 1 while a window with any of the titles exists, else 0.
int EncodersRunning();

#endif
