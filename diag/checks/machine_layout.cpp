#include "checks/machine_layout.h"

#include "framework/strings.h"

#include <winspool.h>

namespace {

// The print environments the package exists for: the spooler's name, its folder under
// "spool\drivers" and the manifest's code for that folder's version-3 subfolder.
struct Environment {
    const wchar_t* name;
    const wchar_t* folder;
    const wchar_t* locationCode;
};
const Environment kX86 = { L"Windows NT x86", L"w32x86", L"W32_3" };
const Environment kX64 = { L"Windows x64", L"x64", L"X64_3" };

std::wstring VersionThreeFolder(const std::wstring& systemDirectory, const Environment& environment)
{
    return systemDirectory + L"\\spool\\drivers\\" + environment.folder + L"\\3";
}

bool SystemIs64Bit()
{
    if (sizeof(void*) == 8)
        return true;
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

}  // namespace

MachineLayout LayoutFor(bool process64, bool system64, const std::wstring& systemDirectory)
{
    const bool native64 = process64 || system64;
    const Environment& environment = native64 ? kX64 : kX86;
    MachineLayout layout;
    layout.environment = environment.name;
    layout.locationCode = environment.locationCode;
    layout.systemDirectory = systemDirectory;
    layout.driverDirectory = VersionThreeFolder(systemDirectory, environment);
    // 32-bit Windows knows no views: nothing is added there.
    layout.registryView = native64 ? KEY_WOW64_64KEY : 0;
    layout.redirectedFiles = native64 && !process64;
    return layout;
}

const MachineLayout& ThisMachine()
{
    static const MachineLayout layout = [] {
        wchar_t system[kPathChars] = {};
        GetSystemDirectoryW(system, kPathChars);
        return LayoutFor(sizeof(void*) == 8, SystemIs64Bit(), system);
    }();
    return layout;
}

std::wstring LocationDirectory(const std::wstring& code)
{
    const MachineLayout& machine = ThisMachine();
    for (const Environment* environment : { &kX86, &kX64 })
        if (code == environment->locationCode)
            return VersionThreeFolder(machine.systemDirectory, *environment);
    if (code == L"SYS32")
        return machine.systemDirectory;
    if (code == L"DRV")
        return machine.systemDirectory + L"\\drivers";
    return std::wstring();
}

std::wstring SpoolerDriverFolder()
{
    wchar_t directory[kPathChars] = {};
    DWORD needed = 0;
    GetPrinterDriverDirectoryW(nullptr, const_cast<wchar_t*>(ThisMachine().environment), 1,
                               reinterpret_cast<BYTE*>(directory), sizeof(directory), &needed);
    return directory;
}
