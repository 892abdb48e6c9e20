// Catches the program's exit() so that a test can see the process end and
// carry on. Linking exit_trap.cpp replaces the C runtime's exit in that test.
#ifndef VARNEL_TESTS_EXIT_TRAP_H
#define VARNEL_TESTS_EXIT_TRAP_H

// Runs call(context). Returns 1 when it called exit, with the status in
// *status, and 0 when it returned normally.
int RunTrappingExit(void (*call)(void *), void *context, int *status);

#endif
