// Asks for the shutdown, as the job does at its end. Under Wine the request
// ends every process of the prefix; the machine itself is not touched.
#include <stdio.h>

#include "actions/shutdown.h"

int main()
{
    ShutdownWindows();
    printf("shutdown requested\n");
    fflush(stdout);
    return 0;
}
