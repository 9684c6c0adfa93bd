// XERB5K.DLL, the printer driver and its data file. The stand-in renders nothing: the
// spooler under Wine never loads it, the troubleshooter only reads its version.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
