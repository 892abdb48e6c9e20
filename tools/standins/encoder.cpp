// Plays an encoder: a window with the title given by --title (for example
// "lame") that stays until --close-after has passed.
#include "standin.h"

int main(int argc, char **argv)
{
    StandInStart(argc, argv);
    const char *title = StandInOption("--title");
    StandIn encoder = {"VarnelEncoderStandIn", title ? title : "lame", 0};
    return StandInRun(encoder);
}
