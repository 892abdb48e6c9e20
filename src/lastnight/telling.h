// What the night's records tell the user, most important first.
#ifndef VARNEL_LASTNIGHT_TELLING_H
#define VARNEL_LASTNIGHT_TELLING_H

#include "lastnight/last_night.h"
#include "lastnight/night.h"

// Tells the night into the text, of TEXT_SIZE.
Telling TellNight(const Night *night, char *text);

#endif
