// Plays the sound driver's alert: logs the keys it receives and closes when
// Space is released.
#include "contract.h"
#include "standin.h"

int main(int argc, char **argv)
{
    StandInStart(argc, argv);
    StandIn alert = {"VarnelAlertStandIn", Contract::ALERT_TITLE, 1};
    return StandInRun(alert);
}
