#include "lastnight/last_night.h"

#include "lastnight/night.h"
#include "lastnight/telling.h"

static const char BOX_TITLE[] = "Varnel: last night";

Telling TellLastNight(char *text)
{
    // On the stack, whose pages this file's code touches in order: the
    // program file stores no zeros for it.
    Night night;
    ZeroMemory(&night, sizeof night);
    ReadNight(&night, SecondsNow() - DAY_SECONDS);
    FindRecorder(&night);
    ReadSoundInput(&night);
    ArrangeNight(&night);
    return TellNight(&night, text);
}

int LastNight()
{
    // On the stack too: the program file stores no zeros for it.
    char text[TEXT_SIZE];
    Telling telling = TellLastNight(text);
    MessageBoxA(NULL, text, BOX_TITLE, MB_OK | telling.icon);
    return telling.status;
}
