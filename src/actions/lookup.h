// Functions that only later Windows have. Windows 95 and NT 4.0 refuse to
// load a program that imports a function they lack, so these are looked up
// as the program runs instead.
#ifndef VARNEL_ACTIONS_LOOKUP_H
#define VARNEL_ACTIONS_LOOKUP_H

#include <windows.h>

// The named KERNEL32 function, or NULL where this Windows lacks it.
FARPROC LookUpKernel32(const char *name);

#endif
