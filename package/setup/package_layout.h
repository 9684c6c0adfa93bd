// Names, places and contents of the stand-in driver package: what the installer puts where.
#pragma once
#include <string>

namespace pkg {

// One row of files.txt, as the build generated it into package_files.h.
struct PackageFile {
    const wchar_t* name;
    const wchar_t* version;        // manifest form, four numbers; all zero: no version
    const wchar_t* date;           // YYYY/MM/DD, local
    const wchar_t* time;           // HH:MM:SS, local
    const wchar_t* locations[3];   // "W32_3", "SYS32", "DRV", or "-" for none
};

// The files that are installed and listed in the manifest, in the order of files.txt.
const PackageFile* PackageFilesBegin();
const PackageFile* PackageFilesEnd();
const PackageFile* FindPackageFile(const std::wstring& name);
// The earlier build of one of them, kept in the payload folder's "older" subfolder.
const PackageFile& OlderPackageFile();

// A shortcut the package creates: a program in the printer-driver directory and its name.
struct ShortcutItem {
    const wchar_t* file;
    const wchar_t* name;
};
extern const ShortcutItem kGroupItems[2];  // program group, in manifest order
extern const ShortcutItem kStartupItem;    // all-users Startup folder

extern const wchar_t kPrinterName[];   // "Tavik QX2210-2370"
extern const wchar_t kDriverName[];    // "Tavik QX2210-2370"
extern const wchar_t kGroupName[];     // "Tavik QX2210-2370"
// The package is built for one environment, as a real driver package is: the 32-bit build is
// the package for 32-bit Windows, the 64-bit build the package for 64-bit (x64) Windows, whose
// spooler takes drivers of its own environment only.
extern const wchar_t kEnvironment[];   // "Windows NT x86", or "Windows x64" in the 64-bit build
extern const wchar_t kPortName[];      // "LPT1:"
extern const wchar_t kMonitorName[];   // "XERB5 Monitor"
extern const wchar_t kServiceName[];   // "OndrixM4"
extern const wchar_t kManifestName[];  // "XERB5INK.DAT"
extern const wchar_t kStarterName[];   // "XERB5LAK.EXE"
// Files installed in the printer-driver directory that the manifest does not list: the
// project's programs and, beside pstatus.exe where it loads them, the status window's
// presentation and status-monitor libraries.
extern const wchar_t* const kUnlistedFiles[4];  // pdiag.exe, pstatus.exe, XERB5PMN.DLL, XERB5SMK.DLL

// Expected contents of the driver's "Version-3" key.
extern const wchar_t kConfigurationFile[];  // "XERB5UIK.DLL"
extern const wchar_t kDriverFile[];         // "XERB5K.DLL", also the data file
extern const wchar_t kHelpFile[];           // "XERB5.HLP"
extern const wchar_t kMonitorLibrary[];     // "XERB5LMK.DLL"
extern const wchar_t kPortDriverImage[];    // "XERB5LP.SYS"

// Printer attribute bits the checks care about.
constexpr unsigned long kAttributeBidi = 0x800;         // PRINTER_ATTRIBUTE_ENABLE_BIDI
constexpr unsigned long kAttributeHoldMismatched = 0x80; // PRINTER_ATTRIBUTE_ENABLE_DEVQ

// Registry paths under HKEY_LOCAL_MACHINE.
std::wstring PrinterKeyPath();      // ...\Control\Print\Printers\<printer>
std::wstring DriverDataKeyPath();   // PrinterKeyPath() + "\PrinterDriverData"
std::wstring DriverKeyPath();       // ...\Environments\<kEnvironment>\Drivers\Version-3\<driver>
std::wstring MonitorKeyPath();      // ...\Control\Print\Monitors\XERB5 Monitor
extern const wchar_t kPortMonitorKey[];   // "SOFTWARE\Tavik\XERB5\Monitors\XERB5 Monitor"
extern const wchar_t kPortSubkey[];       // "LPT1:"
extern const wchar_t kParallelPortsKey[]; // "HARDWARE\DEVICEMAP\PARALLEL PORTS"
extern const wchar_t kParallelPortValue[];// "\Device\Parallel0"
extern const wchar_t kParallelPortDevice[];// "\DosDevices\LPT1"
std::wstring AppPathKeyPath();      // ...\App Paths\XERB5LAK.EXE
std::wstring ServiceEnumKeyPath();  // SYSTEM\CurrentControlSet\Services\OndrixM4\Enum
std::wstring ProfileEnumKeyPath();  // ...\Hardware Profiles\Current\...\Enum\<device instance>
extern const wchar_t kDeviceInstance[];  // "Root\LEGACY_ONDRIXM4\0000"

// Folders.
std::wstring SystemDirectory();
std::wstring PrinterDriverDirectory();  // system + "\spool\drivers\w32x86\3" (x64 in the 64-bit build)
// The manifest's location code of a files.txt code: the printer-driver directory's "W32_3"
// is "X64_3" in the 64-bit package; the system folder's codes stay.
const wchar_t* ManifestLocationCode(const wchar_t* code);
std::wstring LocationDirectory(const std::wstring& code);  // of a files.txt code; empty for unknown codes
std::wstring ManifestPath();
std::wstring CommonFolder(int csidl);   // created when missing; empty on failure
std::wstring ProgramGroupFolder();
std::wstring StartupShortcutPath();
std::wstring GroupShortcutPath(const ShortcutItem& item);
std::wstring ServiceImagePath();        // "\??\" + system + "\drivers\XERB5LP.SYS"
// The folder of the running program: where pkginst finds its payload.
std::wstring ModuleDirectory();

}  // namespace pkg
