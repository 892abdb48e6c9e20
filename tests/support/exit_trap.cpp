#include "exit_trap.h"

#include <process.h>
#include <setjmp.h>
#include <stdlib.h>
#include <windows.h>

static jmp_buf trapJump;
static int trapArmed;
static int trapStatus;

int RunTrappingExit(void (*call)(void *), void *context, int *status)
{
    trapArmed = 1;
    if (setjmp(trapJump) != 0)
    {
        *status = trapStatus;
        return 1;
    }
    call(context);
    trapArmed = 0;
    return 0;
}

// Unarmed (the test runner itself ending), it ends the process as exit would.
extern "C" void __cdecl exit(int status)
{
    if (trapArmed)
    {
        trapArmed = 0;
        trapStatus = status;
        longjmp(trapJump, 1);
    }
    _cexit();
    ExitProcess(status);
}
