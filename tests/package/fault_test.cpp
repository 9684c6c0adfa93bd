// Every named fault shows where the troubleshooter's checks look, and `install` undoes it.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <set>

#include "faults.h"
#include "installer.h"
#include "package/package_probe.h"
#include "raii.h"
#include "service_setup.h"

using namespace probe;

namespace {

bool ServiceConfig(DWORD& startType, DWORD& errorControl)
{
    UniqueService manager(OpenSCManagerW(nullptr, nullptr, GENERIC_READ));
    UniqueService service(manager ? OpenServiceW(manager.get(), L"OndrixM4", SERVICE_QUERY_CONFIG) : nullptr);
    if (!service)
        return false;
    DWORD needed = 0;
    QueryServiceConfigW(service.get(), nullptr, 0, &needed);
    LocalBlock buffer(needed);
    if (!QueryServiceConfigW(service.get(), buffer.as<QUERY_SERVICE_CONFIGW>(), needed, &needed))
        return false;
    startType = buffer.as<QUERY_SERVICE_CONFIGW>()->dwStartType;
    errorControl = buffer.as<QUERY_SERVICE_CONFIGW>()->dwErrorControl;
    return true;
}

std::wstring ProgramGroup() { return SpecialFolder(CSIDL_COMMON_PROGRAMS) + L"\\Tavik QX2210-2370"; }

// The listed entry of a file, or an empty one when the manifest does not list it.
FileEntry Listed(const wchar_t* name)
{
    const std::vector<FileEntry> entries = ReadFileEntries();
    const FileEntry* entry = FindEntry(entries, name);
    return entry ? *entry : FileEntry{};
}

bool VersionBelowListed(const wchar_t* name)
{
    const FileEntry entry = Listed(name);
    unsigned listed[4] = {}, actual[4] = {};
    const std::wstring version = FileVersion(DriverDir() + L"\\" + name);
    if (swscanf(entry.version.c_str(), L"%u.%u.%u.%u", &listed[0], &listed[1], &listed[2], &listed[3]) != 4 ||
        swscanf(version.c_str(), L"%u.%u.%u.%u", &actual[0], &actual[1], &actual[2], &actual[3]) != 4)
        return false;
    return std::lexicographical_compare(actual, actual + 4, listed, listed + 4);
}

bool TimeOutsideWindow(const wchar_t* name)
{
    const FileEntry entry = Listed(name);
    LONGLONG offset = SecondsFromListed(DriverDir() + L"\\" + name, entry.date + L" " + entry.time);
    return offset > 90000 || offset < -90000;
}

bool SizeDiffersInsideWindow(const wchar_t* name)
{
    const FileEntry entry = Listed(name);
    const std::wstring path = DriverDir() + L"\\" + name;
    ULONGLONG size = 0;
    return !TimeOutsideWindow(name) && FileSize(path, size) && std::to_wstring(size) != entry.size;
}

bool DriverValuesWrong()
{
    const std::pair<const wchar_t*, const wchar_t*> expected[] = {
        {L"Configuration File", L"XERB5UIK.DLL"}, {L"Data File", L"XERB5K.DLL"}, {L"Driver", L"XERB5K.DLL"},
        {L"Help File", L"XERB5.HLP"},             {L"Monitor", L"XERB5 Monitor"},
    };
    std::wstring value;
    for (const auto& [name, text] : expected)
        if (!ReadShortString(DriverKey(), name, value) || lstrcmpiW(value.c_str(), text) != 0)
            return true;
    DWORD version = 0;
    return !ReadDword(DriverKey(), L"Version", version) || version != 3;
}

struct FaultCase {
    const wchar_t* name;
    bool (*visible)();  // the fault as the checks would find it
};

const FaultCase kCases[] = {
    {L"bidi-off", [] { return (PrinterAttributes() & 0x800) == 0; }},
    {L"hold-on", [] { return (PrinterAttributes() & 0x80) != 0; }},
    {L"service-disabled",
     [] {
         DWORD start = 0, error = 0;
         return ServiceConfig(start, error) && start == SERVICE_DISABLED;
     }},
    {L"service-misconfigured",
     [] {
         DWORD start = 0, error = 0;
         return ServiceConfig(start, error) && error != SERVICE_ERROR_IGNORE;
     }},
    {L"startup-missing",
     [] { return !FileExists(SpecialFolder(CSIDL_COMMON_STARTUP) + L"\\Tavik QX2210-2370 状态窗口.lnk"); }},
    {L"item-missing",
     [] { return FolderExists(ProgramGroup()) && !FileExists(ProgramGroup() + L"\\疑难解答.lnk"); }},
    {L"folder-missing",
     [] {
         WIN32_FIND_DATAW found;
         UniqueFind search(FindFirstFileW(ProgramGroup().c_str(), &found));
         return !search;
     }},
    {L"file-missing", [] { return !FileExists(SystemDir() + L"\\drivers\\XERB5LP.SYS"); }},
    {L"wrong-version", [] { return VersionBelowListed(L"XERB5UIK.DLL"); }},
    {L"time-off", [] { return TimeOutsideWindow(L"XERB5K.DLL"); }},
    {L"size-off", [] { return SizeDiffersInsideWindow(L"XERB5.HLP"); }},
    {L"manifest-missing", [] { return !FileExists(ManifestPath()); }},
    {L"driver-damaged", [] { return KeyExists(DriverKey()) && DriverValuesWrong(); }},
    {L"driver-key-missing", [] { return !KeyExists(DriverKey()); }},
    {L"monitor-missing",
     [] {
         std::wstring driver;
         return !ReadShortString(L"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\XERB5 Monitor", L"Driver",
                                 driver);
     }},
    {L"driverdata-missing",
     [] {
         const std::wstring key = PrinterKey() + L"\\PrinterDriverData";
         return HasValue(key, L"APPINFO") && !HasValue(key, L"APPINFO-SIZE");
     }},
    {L"app-path-wrong",
     [] {
         std::wstring value;
         return ReadString(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\XERB5LAK.EXE", nullptr, value) &&
                lstrcmpiW(value.c_str(), (DriverDir() + L"\\XERB5LAK.EXE").c_str()) != 0;
     }},
    {L"port-missing", [] { return !ParallelPortListed(L"LPT1"); }},
#ifdef _WIN64
    {L"monitor-in-syswow64",
     [] {
         wchar_t wow64[MAX_PATH] = {};
         GetSystemWow64DirectoryW(wow64, MAX_PATH);
         return !FileExists(SystemDir() + L"\\XERB5LMK.DLL") && FileExists(std::wstring(wow64) + L"\\XERB5LMK.DLL");
     }},
#endif
};

class FaultTest : public ::testing::TestWithParam<FaultCase> {
protected:
    void SetUp() override { serviceBefore_ = pkg::ServiceInstalled(); }
    // Whatever happened, leave the fixture's installation as it was.
    void TearDown() override
    {
        pkg::SetupLog log;
        pkg::Install(PayloadDir(), false, log);
        if (!serviceBefore_)
            pkg::RemoveService(log);
        EXPECT_TRUE(log.ok()) << (log.ok() ? "" : testing::PrintToString(log.problems()));
    }

private:
    bool serviceBefore_ = false;
};

std::string CaseName(const testing::TestParamInfo<FaultCase>& info)
{
    std::string name;
    for (const wchar_t* c = info.param.name; *c; ++c)
        name += *c == L'-' ? '_' : static_cast<char>(*c);
    return name;
}

}  // namespace

TEST_P(FaultTest, IsVisibleWhereTheChecksLookAndInstallRestoresIt)
{
    const FaultCase& fault = GetParam();
    ASSERT_FALSE(fault.visible()) << "already broken before the fault";

    pkg::SetupLog log;
    pkg::InjectFault(fault.name, PayloadDir(), log);
    ASSERT_TRUE(log.ok()) << testing::PrintToString(log.problems());
    EXPECT_TRUE(fault.visible());

    pkg::Install(PayloadDir(), false, log);
    ASSERT_TRUE(log.ok()) << testing::PrintToString(log.problems());
    EXPECT_FALSE(fault.visible());
}

INSTANTIATE_TEST_SUITE_P(AllFaults, FaultTest, ::testing::ValuesIn(kCases), CaseName);

TEST(Faults, EveryNamedFaultHasACaseHere)
{
    std::set<std::wstring> named, tested;
    for (const pkg::FaultInfo& fault : pkg::Faults())
        named.insert(fault.name);
    for (const FaultCase& fault : kCases)
        tested.insert(fault.name);
    EXPECT_EQ(named, tested);
}

TEST(Faults, UnknownNamesAreRejected)
{
    EXPECT_FALSE(pkg::IsFault(L"no-such-fault"));
    EXPECT_FALSE(pkg::IsFault(L"BIDI-OFF"));
    EXPECT_TRUE(pkg::IsFault(L"bidi-off"));
}
