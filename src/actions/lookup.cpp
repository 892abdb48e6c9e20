#include "actions/lookup.h"

FARPROC LookUpKernel32(const char *name)
{
    return GetProcAddress(GetModuleHandleA("KERNEL32"), name);
}
