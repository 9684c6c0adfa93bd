// Printer status window: one process per printer queue, started as
//   pstatus !D<printer name> !P<port name>
// So far it only takes its command line; the window follows.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    return 0;
}
