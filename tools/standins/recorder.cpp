// Plays the recorder: a window of the recorder's class that logs the
// commands, activations and keys it receives.
#include "contract.h"
#include "standin.h"

int main(int argc, char **argv)
{
    StandInStart(argc, argv);
    StandIn recorder = {Contract::RECORDER_CLASS, "Recorder (stand-in)", 0};
    return StandInRun(recorder);
}
