// Plays Varnel for the night check: a window of Varnel's class and title,
// which the check only counts.
#include "contract.h"
#include "standin.h"

int main(int argc, char **argv)
{
    StandInStart(argc, argv);
    StandIn varnel = {Contract::WINDOW_CLASS, Contract::WINDOW_TITLE, 0};
    return StandInRun(varnel);
}
