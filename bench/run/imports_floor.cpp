// What any program with the troubleshooter's libraries pays before doing anything: the same
// imports, the common controls registered as the troubleshooter's start-up does, then the end.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>
#include <winnetwk.h>
#include <winspool.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    // Referenced, so that the linker keeps every library the troubleshooter imports.
    static void* volatile used[] = {
        reinterpret_cast<void*>(SHChangeNotify),       reinterpret_cast<void*>(CoCreateInstance),
        reinterpret_cast<void*>(EnumPrintersW),        reinterpret_cast<void*>(GetSaveFileNameW),
        reinterpret_cast<void*>(WNetGetConnectionW),   reinterpret_cast<void*>(GetFileVersionInfoSizeW),
        reinterpret_cast<void*>(OpenSCManagerW),       reinterpret_cast<void*>(CreateCompatibleDC),
    };
    (void)used;
    INITCOMMONCONTROLSEX init = { sizeof(init), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES };
    InitCommonControlsEx(&init);
    return 0;
}
