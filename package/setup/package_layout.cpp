#include "package_layout.h"

#include <windows.h>
#include <shlobj.h>
#include <winspool.h>
#include <iterator>

#include "package_files.h"  // generated from files.txt: kFileTable, kOlderFile

namespace pkg {

const PackageFile* PackageFilesBegin() { return std::begin(kFileTable); }
const PackageFile* PackageFilesEnd() { return std::end(kFileTable); }

const PackageFile* FindPackageFile(const std::wstring& name)
{
    for (const PackageFile* f = PackageFilesBegin(); f != PackageFilesEnd(); ++f)
        if (name == f->name)
            return f;
    return nullptr;
}

const PackageFile& OlderPackageFile() { return kOlderFile; }

const ShortcutItem kGroupItems[2] = {
    {L"XERB5LAK.EXE", L"状态窗口"},
    {L"PDIAG.EXE", L"疑难解答"},
};
const ShortcutItem kStartupItem = {L"XERB5LAK.EXE", L"Tavik QX2210-2370 状态窗口"};

const wchar_t kPrinterName[] = L"Tavik QX2210-2370";
const wchar_t kDriverName[] = L"Tavik QX2210-2370";
const wchar_t kGroupName[] = L"Tavik QX2210-2370";
#ifdef _WIN64
const wchar_t kEnvironment[] = L"Windows x64";
const wchar_t kEnvironmentFolder[] = L"x64";
const wchar_t kDriverDirectoryCode[] = L"X64_3";
#else
const wchar_t kEnvironment[] = L"Windows NT x86";
const wchar_t kEnvironmentFolder[] = L"w32x86";
const wchar_t kDriverDirectoryCode[] = L"W32_3";
#endif
const wchar_t kPortName[] = L"LPT1:";
const wchar_t kMonitorName[] = L"XERB5 Monitor";
const wchar_t kServiceName[] = L"OndrixM4";
const wchar_t kManifestName[] = L"XERB5INK.DAT";
const wchar_t kStarterName[] = L"XERB5LAK.EXE";
const wchar_t* const kUnlistedFiles[4] = {L"pdiag.exe", L"pstatus.exe", L"XERB5PMN.DLL", L"XERB5SMK.DLL"};

const wchar_t kConfigurationFile[] = L"XERB5UIK.DLL";
const wchar_t kDriverFile[] = L"XERB5K.DLL";
const wchar_t kHelpFile[] = L"XERB5.HLP";
const wchar_t kMonitorLibrary[] = L"XERB5LMK.DLL";
const wchar_t kPortDriverImage[] = L"XERB5LP.SYS";

const wchar_t kPortMonitorKey[] = L"SOFTWARE\\Tavik\\XERB5\\Monitors\\XERB5 Monitor";
const wchar_t kPortSubkey[] = L"LPT1:";
const wchar_t kParallelPortsKey[] = L"HARDWARE\\DEVICEMAP\\PARALLEL PORTS";
const wchar_t kParallelPortValue[] = L"\\Device\\Parallel0";
const wchar_t kParallelPortDevice[] = L"\\DosDevices\\LPT1";
const wchar_t kDeviceInstance[] = L"Root\\LEGACY_ONDRIXM4\\0000";

namespace {
const wchar_t kPrintKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Print";
}

std::wstring PrinterKeyPath() { return std::wstring(kPrintKey) + L"\\Printers\\" + kPrinterName; }
std::wstring DriverDataKeyPath() { return PrinterKeyPath() + L"\\PrinterDriverData"; }

std::wstring DriverKeyPath()
{
    return std::wstring(kPrintKey) + L"\\Environments\\" + kEnvironment + L"\\Drivers\\Version-3\\" + kDriverName;
}

std::wstring MonitorKeyPath() { return std::wstring(kPrintKey) + L"\\Monitors\\" + kMonitorName; }

std::wstring AppPathKeyPath()
{
    return std::wstring(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\") + kStarterName;
}

std::wstring ServiceEnumKeyPath()
{
    return std::wstring(L"SYSTEM\\CurrentControlSet\\Services\\") + kServiceName + L"\\Enum";
}

std::wstring ProfileEnumKeyPath()
{
    return std::wstring(L"System\\CurrentControlSet\\Hardware Profiles\\Current\\System\\CurrentControlSet\\Enum\\") +
           kDeviceInstance;
}

std::wstring SystemDirectory()
{
    wchar_t buffer[MAX_PATH];
    UINT length = GetSystemDirectoryW(buffer, MAX_PATH);
    return std::wstring(buffer, length < MAX_PATH ? length : 0);
}

std::wstring PrinterDriverDirectory()
{
    return SystemDirectory() + L"\\spool\\drivers\\" + kEnvironmentFolder + L"\\3";
}

const wchar_t* ManifestLocationCode(const wchar_t* code)
{
    return std::wstring(code) == L"W32_3" ? kDriverDirectoryCode : code;
}

std::wstring LocationDirectory(const std::wstring& code)
{
    if (code == L"W32_3")
        return PrinterDriverDirectory();
    if (code == L"SYS32")
        return SystemDirectory();
    if (code == L"DRV")
        return SystemDirectory() + L"\\drivers";
    return std::wstring();
}

std::wstring ManifestPath() { return PrinterDriverDirectory() + L"\\" + kManifestName; }

std::wstring CommonFolder(int csidl)
{
    wchar_t path[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path)))
        return std::wstring();
    return path;
}

std::wstring ProgramGroupFolder() { return CommonFolder(CSIDL_COMMON_PROGRAMS) + L"\\" + kGroupName; }

std::wstring StartupShortcutPath()
{
    return CommonFolder(CSIDL_COMMON_STARTUP) + L"\\" + kStartupItem.name + L".lnk";
}

std::wstring GroupShortcutPath(const ShortcutItem& item)
{
    return ProgramGroupFolder() + L"\\" + item.name + L".lnk";
}

std::wstring ServiceImagePath() { return L"\\??\\" + SystemDirectory() + L"\\drivers\\" + kPortDriverImage; }

std::wstring ModuleDirectory()
{
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring directory(path, length);
    size_t slash = directory.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring(L".") : directory.substr(0, slash);
}

}  // namespace pkg
