// Spooler and port-driver service checks against the prefix's real service manager.
#include "app/troubleshooter_app.h"
#include "checks/port_driver_service.h"
#include "framework/raii.h"
#include "machine_state.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

const wchar_t kService[] = L"OndrixM4";
const std::wstring kServiceKey = L"SYSTEM\\CurrentControlSet\\Services\\OndrixM4";

std::wstring SystemDirectory()
{
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    return system;
}

std::wstring PlainImagePath() { return SystemDirectory() + L"\\drivers\\XERB5LP.SYS"; }

std::wstring List(std::initializer_list<const wchar_t*> entries)
{
    std::wstring list;
    for (const wchar_t* entry : entries)
        list += std::wstring(entry) + L'\0';
    return list + L'\0';
}

// --- The two queries as Windows would answer them -------------------------------------------
// Wine's service manager leaves out two things Windows reports: QueryServiceConfigW returns an
// empty dependency list, and a kernel driver never runs (it reads stopped with exit code 1077).
// These stand-ins take the real configuration and put in the dependency list the way Windows
// builds it from the service's key (each "DependOnService" entry, then each "DependOnGroup"
// entry with a "+"), and report the status the test sets. Windows also stores a driver's image
// path in the "\??\" form, which Wine does not; ntImagePath adds it.
struct Scripted {
    bool failConfig = false;
    std::optional<std::wstring> dependencies;  // laid out as given, zeros included
    bool nullDependencies = false;
    bool ntImagePath = false;
    bool failStatus = false;
    SERVICE_STATUS status = { SERVICE_KERNEL_DRIVER, SERVICE_RUNNING, 0, NO_ERROR, 0, 0, 0 };
};
Scripted g_scripted;

std::wstring StoredDependencies()
{
    std::wstring list;
    for (const std::wstring& service : MachineMultiString(kServiceKey, L"DependOnService"))
        list += service + L'\0';
    for (const std::wstring& group : MachineMultiString(kServiceKey, L"DependOnGroup"))
        list += L"+" + group + L'\0';
    return list + L'\0';
}

BOOL WINAPI ScriptedQueryConfig(SC_HANDLE service, LPQUERY_SERVICE_CONFIGW out, DWORD size, LPDWORD needed)
{
    if (g_scripted.failConfig) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    DWORD realSize = 0;
    QueryServiceConfigW(service, nullptr, 0, &realSize);
    std::vector<BYTE> buffer(realSize);
    auto* real = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    if (!QueryServiceConfigW(service, real, realSize, &realSize))
        return FALSE;
    auto text = [](const wchar_t* s) { return std::wstring(s ? s : L"") + L'\0'; };
    std::wstring path = text(real->lpBinaryPathName);
    if (g_scripted.ntImagePath && path.size() > 2 && path[1] == L':')
        path = L"\\??\\" + path;
    std::wstring strings[] = { path, text(real->lpLoadOrderGroup),
                               g_scripted.dependencies ? *g_scripted.dependencies : StoredDependencies(),
                               text(real->lpServiceStartName), text(real->lpDisplayName) };
    DWORD total = sizeof(QUERY_SERVICE_CONFIGW);
    for (const std::wstring& s : strings)
        total += static_cast<DWORD>(s.size() * sizeof(wchar_t));
    *needed = total;
    if (!out || size < total) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    *out = *real;
    LPWSTR* fields[] = { &out->lpBinaryPathName, &out->lpLoadOrderGroup, &out->lpDependencies,
                         &out->lpServiceStartName, &out->lpDisplayName };
    wchar_t* cursor = reinterpret_cast<wchar_t*>(out + 1);
    for (int i = 0; i < 5; ++i) {
        *fields[i] = cursor;
        std::memcpy(cursor, strings[i].data(), strings[i].size() * sizeof(wchar_t));
        cursor += strings[i].size();
    }
    if (g_scripted.nullDependencies)
        out->lpDependencies = nullptr;
    return TRUE;
}

BOOL WINAPI ScriptedQueryStatus(SC_HANDLE, LPSERVICE_STATUS status)
{
    if (g_scripted.failStatus) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    *status = g_scripted.status;
    return TRUE;
}

void UseRealQueries() { PortDriverServiceQueries() = { QueryServiceConfigW, QueryServiceStatus }; }

// --- The service itself ----------------------------------------------------------------------
struct ServiceConfig {
    DWORD type;
    DWORD start;
    DWORD errorControl;
    std::wstring path;
    std::wstring group;
    std::wstring display;
    std::wstring dependencies;  // double-terminated list

    bool operator==(const ServiceConfig& o) const
    {
        return type == o.type && start == o.start && errorControl == o.errorControl && path == o.path &&
               group == o.group && display == o.display && dependencies == o.dependencies;
    }
};

ServiceConfig Installed()
{
    return { SERVICE_KERNEL_DRIVER, SERVICE_AUTO_START, SERVICE_ERROR_IGNORE, L"\\??\\" + PlainImagePath(),
             L"Extended base", L"OndrixM4", List({ L"ParPort", L"+Parallel arbitrator" }) };
}

// Every field but the dependencies as the service manager holds it now.
ServiceConfig ReadConfig()
{
    UniqueService manager(OpenSCManagerW(nullptr, nullptr, GENERIC_READ));
    UniqueService service(OpenServiceW(manager.get(), kService, SERVICE_QUERY_CONFIG));
    DWORD needed = 0;
    QueryServiceConfigW(service.get(), nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    if (!needed || !QueryServiceConfigW(service.get(), config, needed, &needed)) {
        ADD_FAILURE() << "cannot read the configuration of OndrixM4";
        return {};
    }
    return { config->dwServiceType, config->dwStartType, config->dwErrorControl, config->lpBinaryPathName,
             config->lpLoadOrderGroup, config->lpDisplayName, StoredDependencies() };
}

// Makes a test start from the service as the package installs it; the machine's own state
// (no such service, or its configuration) comes back afterwards.
class PortDriverService : public ::testing::Test {
protected:
    void SetUp() override
    {
        manager_.reset(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        ASSERT_TRUE(manager_);
        if (ServiceExists())
            saved_ = ReadConfig();
        // Deleting the service takes its device instance with it.
        savedDevice_ = std::make_unique<RegistryRestorer>(kServiceKey + L"\\Enum",
                                                          std::initializer_list<const wchar_t*>{ L"0", L"Count", L"NextInstance" });
        Install(Installed());
        g_scripted = Scripted();
        PortDriverServiceQueries() = { ScriptedQueryConfig, ScriptedQueryStatus };
        lstrcpyW(app_.logFilePath, log_.path());
    }
    void TearDown() override
    {
        UseRealQueries();
        if (saved_)
            Install(*saved_);
        else
            RemoveService();
        savedDevice_.reset();
    }

    bool ServiceExists() { return bool(UniqueService(OpenServiceW(manager_.get(), kService, SERVICE_QUERY_STATUS))); }

    void Install(const ServiceConfig& config)
    {
        UniqueService service(OpenServiceW(manager_.get(), kService, SERVICE_ALL_ACCESS));
        if (service) {
            ASSERT_TRUE(ChangeServiceConfigW(service.get(), config.type, config.start, config.errorControl,
                                             config.path.c_str(), config.group.c_str(), nullptr,
                                             config.dependencies.c_str(), nullptr, nullptr, config.display.c_str()))
                << GetLastError();
            return;
        }
        service.reset(CreateServiceW(manager_.get(), kService, config.display.c_str(), SERVICE_ALL_ACCESS, config.type,
                                     config.start, config.errorControl, config.path.c_str(), config.group.c_str(),
                                     nullptr, config.dependencies.c_str(), nullptr, nullptr));
        ASSERT_TRUE(service) << GetLastError();
    }

    void RemoveService()
    {
        UniqueService service(OpenServiceW(manager_.get(), kService, DELETE));
        if (service)
            DeleteService(service.get());
    }

    // Changes one part of the installed configuration.
    template <typename Change> void Break(Change change)
    {
        ServiceConfig config = Installed();
        change(config);
        Install(config);
    }

    void SetStatus(DWORD state, DWORD exitCode)
    {
        g_scripted.status.dwCurrentState = state;
        g_scripted.status.dwWin32ExitCode = exitCode;
    }

    UniqueService manager_;
    std::optional<ServiceConfig> saved_;
    std::unique_ptr<RegistryRestorer> savedDevice_;
    CTroubleshooterApp app_;
    TempLog log_;
};

ServiceConfig Broken()
{
    return { SERVICE_FILE_SYSTEM_DRIVER, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, L"C:\\other\\port.sys",
             L"Base", L"Other driver", List({ L"Other" }) };
}

DWORD ServiceState(SC_HANDLE service)
{
    SERVICE_STATUS status = {};
    QueryServiceStatus(service, &status);
    return status.dwCurrentState;
}

bool WaitForState(SC_HANDLE service, DWORD state)
{
    for (int i = 0; i < 200 && ServiceState(service) != state; ++i)
        Sleep(50);
    return ServiceState(service) == state;
}

}  // namespace

// --- Spooler and rights ----------------------------------------------------------------------

TEST(Spooler, RunningSpoolerIsFound)
{
    CTroubleshooterApp app;
    EXPECT_EQ(app.IsSpoolerRunning(), 1);
}

TEST(Spooler, StoppedSpoolerIsNotRunning)
{
    UniqueService manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    UniqueService spooler(OpenServiceW(manager.get(), L"Spooler", SERVICE_ALL_ACCESS));
    ASSERT_TRUE(spooler);
    ASSERT_TRUE(ServiceState(spooler.get()) == SERVICE_RUNNING || StartServiceW(spooler.get(), 0, nullptr));
    ASSERT_TRUE(WaitForState(spooler.get(), SERVICE_RUNNING));

    SERVICE_STATUS status = {};
    ASSERT_TRUE(ControlService(spooler.get(), SERVICE_CONTROL_STOP, &status));
    bool stopped = WaitForState(spooler.get(), SERVICE_STOPPED);
    CTroubleshooterApp app;
    int whileStopped = app.IsSpoolerRunning();

    StartServiceW(spooler.get(), 0, nullptr);
    ASSERT_TRUE(WaitForState(spooler.get(), SERVICE_RUNNING));
    ASSERT_TRUE(stopped);
    EXPECT_EQ(whileStopped, 0);
    EXPECT_EQ(app.IsSpoolerRunning(), 1);
}

TEST(AdminRights, FullAccessToTheServiceManagerGivesRights)
{
    // The prefix's user is an administrator: the manager opens with full access.
    ASSERT_TRUE(UniqueService(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS)));
    CTroubleshooterApp app;
    EXPECT_EQ(app.HasAdminRights(), 1);
}

// --- Check ------------------------------------------------------------------------------------

TEST_F(PortDriverService, MissingServiceIsCorrectAndLoggedSo)
{
    RemoveService();
    ASSERT_FALSE(ServiceExists());
    int bits = app_.CheckPortDriverService();
    EXPECT_EQ(bits, 0);
    app_.WriteFinding(PortDriverServiceFindings(bits).front());
    EXPECT_EQ(log_.bytes(), "Ondrix \xc9\xe8\xb1\xb8\xc7\xfd\xb6\xaf\xb3\xcc\xd0\xf2\xc9\xe8\xd6\xc3\xd5\xfd\xc8\xb7\xa1\xa3\r\n");
}

TEST_F(PortDriverService, InstalledAndRunningServiceIsCorrect)
{
    EXPECT_EQ(app_.CheckPortDriverService(), 0);
}

TEST_F(PortDriverService, WineShowsTheInstalledDriverDisabledWithoutDependencies)
{
    // What the platform under test itself reports: never started (1077), no dependency list.
    UseRealQueries();
    EXPECT_EQ(app_.CheckPortDriverService(), PDS_DISABLED | PDS_WRONG_FIRST_DEPENDENCY | PDS_WRONG_SECOND_DEPENDENCY);
}

TEST_F(PortDriverService, EachConfigurationFieldHasItsBit)
{
    struct Case {
        const char* what;
        void (*change)(ServiceConfig&);
        int bits;
    };
    const Case cases[] = {
        { "file system driver", [](ServiceConfig& c) { c.type = SERVICE_FILE_SYSTEM_DRIVER; }, PDS_WRONG_TYPE },
        { "error control normal", [](ServiceConfig& c) { c.errorControl = SERVICE_ERROR_NORMAL; },
          PDS_WRONG_ERROR_CONTROL },
        { "path without \\??\\", [](ServiceConfig& c) { c.path = PlainImagePath(); }, PDS_WRONG_IMAGE_PATH },
        { "other image", [](ServiceConfig& c) { c.path = L"\\??\\" + SystemDirectory() + L"\\drivers\\PARPORT.SYS"; },
          PDS_WRONG_IMAGE_PATH },
        { "group", [](ServiceConfig& c) { c.group = L"Base"; }, PDS_WRONG_GROUP },
        { "display name", [](ServiceConfig& c) { c.display = L"Ondrix"; }, PDS_WRONG_DISPLAY_NAME },
        { "only ParPort", [](ServiceConfig& c) { c.dependencies = List({ L"ParPort" }); }, PDS_WRONG_SECOND_DEPENDENCY },
        { "only the group", [](ServiceConfig& c) { c.dependencies = List({ L"+Parallel arbitrator" }); },
          PDS_WRONG_FIRST_DEPENDENCY | PDS_WRONG_SECOND_DEPENDENCY },
        { "other first", [](ServiceConfig& c) { c.dependencies = List({ L"Parallel", L"+Parallel arbitrator" }); },
          PDS_WRONG_FIRST_DEPENDENCY },
        { "no dependencies", [](ServiceConfig& c) { c.dependencies = List({}); },
          PDS_WRONG_FIRST_DEPENDENCY | PDS_WRONG_SECOND_DEPENDENCY },
    };
    for (const Case& c : cases) {
        Break(c.change);
        EXPECT_EQ(app_.CheckPortDriverService(), c.bits) << c.what;
    }
}

TEST_F(PortDriverService, LetterCaseOfNamesAndPathsDoesNotMatter)
{
    Break([](ServiceConfig& c) {
        c.path = L"\\??\\" + SystemDirectory() + L"\\DRIVERS\\xerb5lp.sys";
        CharLowerW(&c.path[0]);
        c.group = L"EXTENDED BASE";
        c.display = L"ondrixm4";
        c.dependencies = List({ L"PARPORT", L"+parallel ARBITRATOR" });
    });
    EXPECT_EQ(app_.CheckPortDriverService(), 0);
}

TEST_F(PortDriverService, DemandAndDisabledStartAreReportedAsDisabled)
{
    for (DWORD start : { DWORD(SERVICE_DEMAND_START), DWORD(SERVICE_DISABLED) }) {
        Break([start](ServiceConfig& c) { c.start = start; });
        SetStatus(SERVICE_STOPPED, NO_ERROR);
        EXPECT_EQ(app_.CheckPortDriverService(), PDS_DISABLED) << "start type " << start;
    }
}

TEST_F(PortDriverService, RunTimeStateGivesNotRunningOrDisabled)
{
    struct Case {
        DWORD state;
        DWORD exitCode;
        int bits;
    };
    const Case cases[] = {
        { SERVICE_RUNNING, NO_ERROR, 0 },
        { SERVICE_PAUSED, NO_ERROR, 0 },
        { SERVICE_STOPPED, NO_ERROR, PDS_NOT_RUNNING },
        { SERVICE_STOP_PENDING, NO_ERROR, PDS_NOT_RUNNING },
        // 1077 is the never-started code: disabled only, not also not running.
        { SERVICE_STOPPED, 1077, PDS_DISABLED },
        { SERVICE_RUNNING, 1077, PDS_DISABLED },
        // The platform's ERROR_SERVICE_DISABLED is 1058: a plain stop, not the disabled rule.
        { SERVICE_STOPPED, ERROR_SERVICE_DISABLED, PDS_NOT_RUNNING },
    };
    for (const Case& c : cases) {
        SetStatus(c.state, c.exitCode);
        EXPECT_EQ(app_.CheckPortDriverService(), c.bits) << "state " << c.state << " exit code " << c.exitCode;
    }
}

TEST_F(PortDriverService, EmptyDependencyListIsNotReadPastItsEnd)
{
    // Wine's layout: one zero ends the empty list and the next string follows at once.
    g_scripted.dependencies = std::wstring(L"\0+Parallel arbitrator\0", 22);
    EXPECT_EQ(app_.CheckPortDriverService(), PDS_WRONG_FIRST_DEPENDENCY | PDS_WRONG_SECOND_DEPENDENCY);
    g_scripted.dependencies.reset();
    g_scripted.nullDependencies = true;
    EXPECT_EQ(app_.CheckPortDriverService(), PDS_WRONG_FIRST_DEPENDENCY | PDS_WRONG_SECOND_DEPENDENCY);
}

TEST_F(PortDriverService, UnreadableConfigurationOrStatusAddsNothing)
{
    Break([](ServiceConfig& c) { c.group = L"Base"; });
    g_scripted.failStatus = true;
    EXPECT_EQ(app_.CheckPortDriverService(), PDS_WRONG_GROUP);
    g_scripted.failStatus = false;
    g_scripted.failConfig = true;
    SetStatus(SERVICE_STOPPED, NO_ERROR);
    EXPECT_EQ(app_.CheckPortDriverService(), PDS_NOT_RUNNING);
}

// --- Repair -------------------------------------------------------------------------------------

TEST_F(PortDriverService, EachConfigurationRepairChangesOnlyItsField)
{
    struct Case {
        unsigned bit;
        bool (*repaired)(const ServiceConfig&);
    };
    const Case cases[] = {
        { PDS_WRONG_TYPE, [](const ServiceConfig& c) { return c.type == SERVICE_KERNEL_DRIVER; } },
        { PDS_START_TYPE, [](const ServiceConfig& c) { return c.start == SERVICE_AUTO_START; } },
        { PDS_WRONG_ERROR_CONTROL, [](const ServiceConfig& c) { return c.errorControl == SERVICE_ERROR_IGNORE; } },
        // The plain path is passed; Windows itself stores it in the "\??\" form.
        { PDS_WRONG_IMAGE_PATH, [](const ServiceConfig& c) { return c.path == PlainImagePath(); } },
        { PDS_WRONG_GROUP, [](const ServiceConfig& c) { return c.group == L"Extended base"; } },
        { PDS_WRONG_DISPLAY_NAME, [](const ServiceConfig& c) { return c.display == L"OndrixM4"; } },
        { PDS_WRONG_FIRST_DEPENDENCY, [](const ServiceConfig& c) { return c.dependencies == Installed().dependencies; } },
        { PDS_WRONG_SECOND_DEPENDENCY, [](const ServiceConfig& c) { return c.dependencies == Installed().dependencies; } },
    };
    for (const Case& c : cases) {
        Install(Broken());
        EXPECT_EQ(app_.RepairPortDriverService(c.bit), 0);
        ServiceConfig after = ReadConfig();
        EXPECT_TRUE(c.repaired(after)) << "bit " << c.bit;
        // Every other field is still broken.
        for (const Case& other : cases) {
            if (other.bit == c.bit || (other.bit | c.bit) == 0x300)
                continue;
            EXPECT_FALSE(other.repaired(after)) << "bit " << other.bit << " changed by the repair of " << c.bit;
        }
    }
}

TEST_F(PortDriverService, DependencyRepairWritesBothEntries)
{
    Break([](ServiceConfig& c) { c.dependencies = List({ L"ParPort" }); });
    ASSERT_EQ(app_.CheckPortDriverService(), PDS_WRONG_SECOND_DEPENDENCY);
    app_.RepairPortDriverService(PDS_WRONG_SECOND_DEPENDENCY);
    EXPECT_EQ(MachineMultiString(kServiceKey, L"DependOnService"), std::vector<std::wstring>{ L"ParPort" });
    EXPECT_EQ(MachineMultiString(kServiceKey, L"DependOnGroup"), std::vector<std::wstring>{ L"Parallel arbitrator" });
    EXPECT_EQ(app_.CheckPortDriverService(), 0);
}

TEST_F(PortDriverService, RepairsInTheSequencesOrderMakeTheCheckPass)
{
    Install(Broken());
    g_scripted.ntImagePath = true;
    int bits = app_.CheckPortDriverService();
    EXPECT_EQ(bits, PDS_DISABLED | 0x03F4);
    EXPECT_EQ(app_.RepairPortDriverService(PDS_DISABLED), 1);
    EXPECT_EQ(app_.RepairPortDriverService(PDS_START_TYPE), 0);
    EXPECT_EQ(app_.RepairPortDriverService(bits & PDS_CONFIGURATION), 0);
    EXPECT_EQ(app_.CheckPortDriverService(), 0);
}

TEST_F(PortDriverService, RunTimeRepairsLeaveTheConfigurationAlone)
{
    Install(Broken());
    EXPECT_EQ(app_.RepairPortDriverService(PDS_NOT_RUNNING), 1);
    EXPECT_EQ(app_.RepairPortDriverService(PDS_DISABLED), 1);
    for (unsigned other : { 0u, unsigned(PDS_NOT_RUNNING | PDS_DISABLED), 0x4000u })
        EXPECT_EQ(app_.RepairPortDriverService(other), 0) << other;
    EXPECT_TRUE(ReadConfig() == Broken());
}

// --- Hardware profile -----------------------------------------------------------------------------

namespace {
const std::wstring kEnumKey = kServiceKey + L"\\Enum";
// A device instance of the tests' own, so that the package's own device keys stay untouched.
const std::wstring kInstance = L"Root\\LEGACY_ONDRIXM4\\0099";
// The current hardware profile is a volatile key: what is created below it must be too.
const std::wstring kProfileDevice =
    L"System\\CurrentControlSet\\Hardware Profiles\\Current\\System\\CurrentControlSet\\Enum\\" + kInstance;
}  // namespace

TEST_F(PortDriverService, DisabledRepairClearsTheProfileFlags)
{
    RegistryRestorer enumKey(kEnumKey, { L"0" });
    RegistryRestorer profile(kProfileDevice);
    SetMachineString(kEnumKey, L"0", kInstance);
    CreateVolatileMachineKey(kProfileDevice);
    SetMachineDword(kProfileDevice, L"CSConfigFlags", 1);
    EXPECT_EQ(app_.RepairPortDriverService(PDS_DISABLED), 1);
    EXPECT_EQ(MachineDword(kProfileDevice, L"CSConfigFlags"), 0u);
}

TEST_F(PortDriverService, ProfileFlagsNeedTheDeviceInstanceAndItsProfileKey)
{
    RegistryRestorer enumKey(kEnumKey, { L"0", L"Count" });
    RegistryRestorer profile(kProfileDevice);
    SetMachineDword(kEnumKey, L"Count", 1);
    DeleteMachineValue(kEnumKey, L"0");
    EXPECT_EQ(app_.EnablePortDriverInProfile(), ERROR_FILE_NOT_FOUND) << "no value 0";
    SetMachineString(kEnumKey, L"0", std::wstring(256, L'x'));
    EXPECT_EQ(app_.EnablePortDriverInProfile(), ERROR_MORE_DATA) << "longer than 512 bytes";
    SetMachineString(kEnumKey, L"0", kInstance);
    EXPECT_EQ(app_.EnablePortDriverInProfile(), ERROR_FILE_NOT_FOUND) << "no profile key";
    EXPECT_FALSE(MachineKeyExists(kProfileDevice));
    CreateVolatileMachineKey(kProfileDevice);
    SetMachineDword(kProfileDevice, L"CSConfigFlags", 1);
    EXPECT_EQ(app_.EnablePortDriverInProfile(), ERROR_SUCCESS);
    EXPECT_EQ(MachineDword(kProfileDevice, L"CSConfigFlags"), 0u);
}

// --- Log ----------------------------------------------------------------------------------------

TEST_F(PortDriverService, LogLineNamesTheFirstGroupPresentWithoutLineEnd)
{
    const std::string error = "\xb4\xed\xce\xf3:";
    const std::string driver = "Ondrix \xc9\xe8\xb1\xb8\xc7\xfd\xb6\xaf\xb3\xcc\xd0\xf2";
    struct Case {
        unsigned bits;
        std::string line;
    };
    const Case cases[] = {
        { PDS_NOT_RUNNING | PDS_DISABLED | PDS_WRONG_TYPE, error + driver + "\xc3\xbb\xd3\xd0\xd4\xcb\xd0\xd0\xa1\xa3" },
        { PDS_DISABLED | PDS_WRONG_IMAGE_PATH, error + driver + "\xb1\xbb\xbd\xfb\xd3\xc3\xa1\xa3" },
        { PDS_WRONG_SECOND_DEPENDENCY, error + driver + "\xb5\xc4\xc5\xe4\xd6\xc3\xb2\xbb\xd5\xfd\xc8\xb7\xa1\xa3" },
        { 0, driver + "\xc9\xe8\xd6\xc3\xd5\xfd\xc8\xb7\xa1\xa3\r\n" },
    };
    for (const Case& c : cases) {
        TempLog log;
        lstrcpyW(app_.logFilePath, log.path());
        app_.WriteFinding(PortDriverServiceFindings(c.bits).front());
        EXPECT_EQ(log.bytes(), c.line) << "bits " << c.bits;
    }
}
