/* Built by the compiler of the other architecture than the status window's: a library of the
   other bitness, which the loader refuses (ERROR_BAD_EXE_FORMAT) before any of its code runs. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)instance, (void)reason, (void)reserved;
    return TRUE;
}
