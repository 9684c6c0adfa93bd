#include "faults.h"

#include <windows.h>

#include "file_setup.h"
#include "package_layout.h"
#include "raii.h"
#include "registry.h"
#include "service_setup.h"
#include "shortcut_setup.h"
#include "spooler_setup.h"

namespace pkg {

namespace {

constexpr LONGLONG kTimeOffSeconds = 26 * 3600;  // beyond the checks' 25-hour window

void DeleteInstalledFile(const std::wstring& path, SetupLog& log)
{
    log.Check(L"delete " + path, RemoveInstalledFile(path));
}

const PackageFile& File(const wchar_t* name) { return *FindPackageFile(name); }

void WrongVersion(const std::wstring& payloadDir, SetupLog& log)
{
    const PackageFile& older = OlderPackageFile();
    const std::wstring target = InstalledPath(File(older.name), 0);
    FILETIME time;
    if (log.Check(L"copy older " + target, CopyOver(payloadDir + L"\\older\\" + older.name, target)) &&
        ListedFileTime(older, 0, time))
        log.Check(L"time of " + target, SetLastWriteTime(target, time));
}

void TimeOff(SetupLog& log)
{
    const PackageFile& file = File(kDriverFile);
    FILETIME time;
    if (ListedFileTime(file, kTimeOffSeconds, time))
        log.Check(L"time of " + InstalledPath(file, 0), SetLastWriteTime(InstalledPath(file, 0), time));
}

void SizeOff(SetupLog& log)
{
    const PackageFile& file = File(kHelpFile);
    const std::wstring path = InstalledPath(file, 0);
    {
        UniqueFile handle(CreateFileW(path.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        const char padding[512] = {};
        DWORD written = 0;
        if (!log.CheckBool(L"append to " + path,
                           handle && WriteFile(handle.get(), padding, sizeof(padding), &written, nullptr)))
            return;
    }
    // Keep the listed time so that only the size differs.
    FILETIME time;
    if (ListedFileTime(file, 0, time))
        log.Check(L"time of " + path, SetLastWriteTime(path, time));
}

#ifdef _WIN64
// The print monitor's library moved to the 32-bit system folder, as a 32-bit installer on 64-bit
// Windows leaves it: a 64-bit spooler cannot load it from there.
void MonitorIn32BitFolder(SetupLog& log)
{
    wchar_t folder[MAX_PATH] = {};
    if (!log.CheckBool(L"GetSystemWow64DirectoryW", GetSystemWow64DirectoryW(folder, MAX_PATH) != 0))
        return;
    const std::wstring installed = InstalledPath(File(kMonitorLibrary), 0);
    const std::wstring moved = std::wstring(folder) + L"\\" + kMonitorLibrary;
    if (log.Check(L"copy " + moved, CopyOver(installed, moved)))
        DeleteInstalledFile(installed, log);
}
#endif

struct Fault {
    FaultInfo info;
    void (*inject)(const std::wstring& payloadDir, SetupLog& log);
};

const Fault kFaults[] = {
    {{L"bidi-off", L"printer Attributes without bidirectional support (0x800)"},
     [](const std::wstring&, SetupLog& log) { log.Check(L"Attributes", ChangePrinterAttributes(0, kAttributeBidi)); }},
    {{L"hold-on", L"printer Attributes with hold mismatched documents (0x80)"},
     [](const std::wstring&, SetupLog& log) {
         log.Check(L"Attributes", ChangePrinterAttributes(kAttributeHoldMismatched, 0));
     }},
    {{L"service-disabled", L"service OndrixM4 (created if missing) set to start disabled"},
     [](const std::wstring&, SetupLog& log) {
         InstallService(log);
         ChangeService(SERVICE_DISABLED, SERVICE_NO_CHANGE, log);
     }},
    {{L"service-misconfigured", L"service OndrixM4 (created if missing) with error control normal"},
     [](const std::wstring&, SetupLog& log) {
         InstallService(log);
         ChangeService(SERVICE_NO_CHANGE, SERVICE_ERROR_NORMAL, log);
     }},
    {{L"startup-missing", L"start-up shortcut of the status window deleted"},
     [](const std::wstring&, SetupLog& log) { DeleteInstalledFile(StartupShortcutPath(), log); }},
    {{L"item-missing", L"troubleshooter shortcut deleted from the program group"},
     [](const std::wstring&, SetupLog& log) { DeleteInstalledFile(GroupShortcutPath(kGroupItems[1]), log); }},
    {{L"folder-missing", L"program group folder deleted with its shortcuts"},
     [](const std::wstring&, SetupLog& log) { RemoveFolder(ProgramGroupFolder(), log); }},
    {{L"file-missing", L"XERB5LP.SYS deleted from system32\\drivers"},
     [](const std::wstring&, SetupLog& log) { DeleteInstalledFile(InstalledPath(File(kPortDriverImage), 0), log); }},
    {{L"wrong-version", L"XERB5UIK.DLL replaced by its older build"},
     [](const std::wstring& payloadDir, SetupLog& log) { WrongVersion(payloadDir, log); }},
    {{L"time-off", L"XERB5K.DLL last-write time 26 hours after the listed one"},
     [](const std::wstring&, SetupLog& log) { TimeOff(log); }},
    {{L"size-off", L"XERB5.HLP 512 bytes longer than listed, listed time kept"},
     [](const std::wstring&, SetupLog& log) { SizeOff(log); }},
    {{L"manifest-missing", L"XERB5INK.DAT deleted"},
     [](const std::wstring&, SetupLog& log) { DeleteInstalledFile(ManifestPath(), log); }},
    {{L"driver-damaged", L"driver value Help File = XERB5OLD.HLP"},
     [](const std::wstring&, SetupLog& log) {
         log.Check(L"Help File", WriteString(DriverKeyPath(), L"Help File", L"XERB5OLD.HLP"));
     }},
    {{L"driver-key-missing", L"driver key Version-3\\Tavik QX2210-2370 deleted"},
     [](const std::wstring&, SetupLog& log) { log.Check(L"driver key", DeleteKeyTree(DriverKeyPath())); }},
    {{L"monitor-missing", L"monitor key Monitors\\XERB5 Monitor deleted"},
     [](const std::wstring&, SetupLog& log) { log.Check(L"monitor key", DeleteKeyTree(MonitorKeyPath())); }},
    {{L"driverdata-missing", L"PrinterDriverData without APPINFO-SIZE"},
     [](const std::wstring&, SetupLog& log) {
         log.Check(L"APPINFO-SIZE", DeleteValue(DriverDataKeyPath(), L"APPINFO-SIZE"));
     }},
    {{L"app-path-wrong", L"App Paths entry of XERB5LAK.EXE points into system32"},
     [](const std::wstring&, SetupLog& log) {
         log.Check(L"App Paths", WriteString(AppPathKeyPath(), nullptr, SystemDirectory() + L"\\" + kStarterName));
     }},
    {{L"port-missing", L"LPT1 removed from HARDWARE\\DEVICEMAP\\PARALLEL PORTS"},
     [](const std::wstring&, SetupLog& log) { RemoveParallelPortEntries(L"LPT1", log); }},
#ifdef _WIN64
    {{L"monitor-in-syswow64", L"XERB5LMK.DLL moved from system32 to the 32-bit SysWOW64"},
     [](const std::wstring&, SetupLog& log) { MonitorIn32BitFolder(log); }},
#endif
};

}  // namespace

const std::vector<FaultInfo>& Faults()
{
    static const std::vector<FaultInfo> infos = [] {
        std::vector<FaultInfo> list;
        for (const Fault& fault : kFaults)
            list.push_back(fault.info);
        return list;
    }();
    return infos;
}

bool IsFault(const std::wstring& name)
{
    for (const Fault& fault : kFaults)
        if (name == fault.info.name)
            return true;
    return false;
}

void InjectFault(const std::wstring& name, const std::wstring& payloadDir, SetupLog& log)
{
    for (const Fault& fault : kFaults)
        if (name == fault.info.name)
            fault.inject(payloadDir, log);
}

}  // namespace pkg
