// Where the program begins. Varnel needs nothing of what the runtime's usual
// start-up code prepares (arguments, environment, constructors: its data is
// set in the image), and that code holds instructions a 486 or Pentium lacks;
// msvcrt.dll sets itself up as it is loaded.
#include <stdlib.h>
#include <windows.h>

int WINAPI WinMain(HINSTANCE module, HINSTANCE, LPSTR, int);

extern "C" void WinMainCRTStartup()
{
    exit(WinMain(GetModuleHandleA(NULL), NULL, NULL, SW_SHOWDEFAULT));
}
