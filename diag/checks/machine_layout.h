// Where the machine keeps what the driver package installs, as the print spooler sees it.
// On 64-bit Windows the spooler is a 64-bit process: it takes drivers of its own environment,
// loads monitors and port drivers from the native system folder and reads the 64-bit registry,
// whatever the bitness of the program that asks. Every check and repair asks this module for
// those places; no other file names an environment or builds a system path.
#pragma once
#include <windows.h>

#include <string>

struct MachineLayout {
    const wchar_t* environment;    // the spooler's print environment, "Windows NT x86" or "Windows x64"
    const wchar_t* locationCode;   // the manifest's location code of that environment's driver folder
    std::wstring systemDirectory;  // the native system folder, by the name GetSystemDirectoryW gives it
    std::wstring driverDirectory;  // the package's printer-driver directory in that environment
    REGSAM registryView;           // added to every open or create under HKEY_LOCAL_MACHINE
    bool redirectedFiles;          // the system folder is redirected for this process (WoW64)
};

// The layout for a process of the given bitness on Windows of the given bitness, the system
// folder named as GetSystemDirectoryW names it. A 64-bit process implies 64-bit Windows.
MachineLayout LayoutFor(bool process64, bool system64, const std::wstring& systemDirectory);

// This machine's layout, found from the system once.
const MachineLayout& ThisMachine();

// The directory of one of the manifest's location codes ("W32_3", "X64_3", "SYS32", "DRV");
// empty for the codes whose files are not looked for.
std::wstring LocationDirectory(const std::wstring& code);

// The spooler's driver folder of the native environment ("...\spool\drivers\x64" on 64-bit
// Windows), spelt as the spooler spells it; the version-3 subfolder is "\3" below it.
std::wstring SpoolerDriverFolder();

// Runs one file-system call on a path in the native system folder. A 32-bit process on 64-bit
// Windows has its system folder redirected to the 32-bit one; the redirection is turned off
// for the call alone, so that nothing else (a library a dialog loads) sees it off.
template <class Call>
auto WithNativeFiles(Call call) -> decltype(call())
{
    if (!ThisMachine().redirectedFiles)
        return call();
    void* state = nullptr;
    const BOOL off = Wow64DisableWow64FsRedirection(&state);
    auto result = call();
    if (off)
        Wow64RevertWow64FsRedirection(state);
    return result;
}
