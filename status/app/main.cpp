// The printer status window: one process per printer queue, started as
//   pstatus !D<printer name> !P<port name>
#include <windows.h>
#include "startup.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    return RunStatusWindow(instance, GetCommandLineW());
}
