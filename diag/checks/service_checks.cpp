// Spooler and port-driver service: whether the spooler runs, whether the user may change
// services, and the configuration, state and repair of the service "OndrixM4".
#include "checks/check_ids.h"
#include "checks/machine_layout.h"
#include "checks/port_driver_service.h"
#include "checks/registry_util.h"
#include "framework/strings.h"
#include "res/resource.h"

#include <cwchar>
#include <string>

namespace {

const wchar_t kServiceName[] = L"OndrixM4";
const wchar_t kDisplayName[] = L"OndrixM4";
const wchar_t kLoadOrderGroup[] = L"Extended base";
const wchar_t kFirstDependency[] = L"ParPort";
const wchar_t kSecondDependency[] = L"+Parallel arbitrator";
// Both dependencies as the double-terminated list the service manager takes.
const wchar_t kDependencyList[] = L"ParPort\0+Parallel arbitrator\0";

struct ServiceLockTraits {
    static SC_LOCK none() { return nullptr; }
    static bool invalid(SC_LOCK lock) { return lock == nullptr; }
    static void close(SC_LOCK lock) { UnlockServiceDatabase(lock); }
};
using UniqueServiceLock = UniqueResource<SC_LOCK, ServiceLockTraits>;

// System directory + "\drivers\XERB5LP.SYS", the image the package installs.
std::wstring DriverImagePath()
{
    return ThisMachine().systemDirectory + L"\\drivers" + L"\\" + L"XERB5LP.SYS";
}

bool SameText(const wchar_t* text, const wchar_t* expected)
{
    return lstrcmpiW(text ? text : L"", expected) == 0;
}

unsigned ConfigurationFaults(const QUERY_SERVICE_CONFIGW& config)
{
    unsigned bits = 0;
    if (config.dwServiceType != SERVICE_KERNEL_DRIVER)
        bits |= PDS_WRONG_TYPE;
    // Any start type but automatic keeps the driver from loading: reported as disabled.
    if (config.dwStartType != SERVICE_AUTO_START)
        bits |= PDS_DISABLED;
    if (config.dwErrorControl != SERVICE_ERROR_IGNORE)
        bits |= PDS_WRONG_ERROR_CONTROL;
    if (!SameText(config.lpBinaryPathName, (L"\\??\\" + DriverImagePath()).c_str()))
        bits |= PDS_WRONG_IMAGE_PATH;
    if (!SameText(config.lpLoadOrderGroup, kLoadOrderGroup))
        bits |= PDS_WRONG_GROUP;
    if (!SameText(config.lpDisplayName, kDisplayName))
        bits |= PDS_WRONG_DISPLAY_NAME;
    // The list ends at its first empty string: a second entry can only follow a first one,
    // so an empty list is not read past its terminator.
    const wchar_t* first = config.lpDependencies ? config.lpDependencies : L"";
    const wchar_t* second = *first ? first + lstrlenW(first) + 1 : L"";
    if (!SameText(first, kFirstDependency))
        bits |= PDS_WRONG_FIRST_DEPENDENCY;
    if (!SameText(second, kSecondDependency))
        bits |= PDS_WRONG_SECOND_DEPENDENCY;
    return bits;
}

// Opens "OndrixM4" on the local service manager; empty when either cannot be opened.
struct OpenedService {
    UniqueService manager;
    UniqueService service;
    explicit operator bool() const { return bool(service); }
};

OpenedService OpenPortDriverService(DWORD managerAccess, DWORD serviceAccess)
{
    OpenedService opened;
    opened.manager.reset(OpenSCManagerW(nullptr, nullptr, managerAccess));
    if (opened.manager)
        opened.service.reset(OpenServiceW(opened.manager.get(), kServiceName, serviceAccess));
    return opened;
}

void ChangePortDriverConfiguration(unsigned bits)
{
    const std::wstring imagePath = DriverImagePath();
    auto valueFor = [bits](unsigned bit, DWORD value) { return (bits & bit) ? value : SERVICE_NO_CHANGE; };
    auto textFor = [bits](unsigned bit, const wchar_t* text) { return (bits & bit) ? text : nullptr; };

    UniqueService manager(OpenSCManagerW(nullptr, nullptr, GENERIC_WRITE | SC_MANAGER_ALL_ACCESS));
    if (!manager)
        return;
    UniqueServiceLock lock(LockServiceDatabase(manager.get()));
    UniqueService service(OpenServiceW(manager.get(), kServiceName, SERVICE_ALL_ACCESS));
    if (service)
        ChangeServiceConfigW(service.get(), valueFor(PDS_WRONG_TYPE, SERVICE_KERNEL_DRIVER),
                             valueFor(PDS_START_TYPE, SERVICE_AUTO_START),
                             valueFor(PDS_WRONG_ERROR_CONTROL, SERVICE_ERROR_IGNORE),
                             textFor(PDS_WRONG_IMAGE_PATH, imagePath.c_str()),
                             textFor(PDS_WRONG_GROUP, kLoadOrderGroup), nullptr,
                             textFor(PDS_WRONG_FIRST_DEPENDENCY | PDS_WRONG_SECOND_DEPENDENCY, kDependencyList),
                             nullptr, nullptr, textFor(PDS_WRONG_DISPLAY_NAME, kDisplayName));
}

void SendContinueControl()
{
    OpenedService opened = OpenPortDriverService(SC_MANAGER_CREATE_SERVICE, SERVICE_ALL_ACCESS);
    SERVICE_STATUS status = {};
    if (opened)
        ControlService(opened.service.get(), SERVICE_CONTROL_CONTINUE, &status);
}

}  // namespace

ServiceQueries& PortDriverServiceQueries()
{
    static ServiceQueries queries = { QueryServiceConfigW, QueryServiceStatus };
    return queries;
}

int IsSpoolerRunning(RunFacts& facts)
{
    SC_HANDLE manager = facts.ServiceManager();
    if (!manager)
        return 0;
    DWORD needed = 0, count = 0, resume = 0;
    EnumServicesStatusW(manager, SERVICE_WIN32, SERVICE_ACTIVE, nullptr, 0, &needed, &count, &resume);
    LocalBlock block(needed);
    if (!block)
        return 0;
    resume = 0;
    count = 0;
    // A service started since the first call leaves the list incomplete but what came is valid.
    if (!EnumServicesStatusW(manager, SERVICE_WIN32, SERVICE_ACTIVE, block.as<ENUM_SERVICE_STATUSW>(),
                             needed, &needed, &count, &resume) &&
        GetLastError() != ERROR_MORE_DATA)
        return 0;
    const ENUM_SERVICE_STATUSW* entries = block.as<ENUM_SERVICE_STATUSW>();
    for (DWORD i = 0; i < count; ++i)
        if (entries[i].lpServiceName && std::wcscmp(entries[i].lpServiceName, L"Spooler") == 0)
            return 1;
    return 0;
}

int HasAdminRights(RunFacts& facts)
{
    return facts.ServiceManagerFullAccess() ? 1 : 0;
}

int CheckPortDriverService(RunFacts& facts)
{
    const ServiceQueries& queries = PortDriverServiceQueries();
    // A service that is not installed, or a manager that cannot be opened, is no fault. The
    // service is opened once for both queries.
    SC_HANDLE manager = facts.ServiceManager();
    UniqueService service(manager ? OpenServiceW(manager, kServiceName, SERVICE_QUERY_CONFIG | SERVICE_QUERY_STATUS)
                                  : nullptr);
    if (!service)
        return 0;
    unsigned bits = 0;
    DWORD needed = 0;
    queries.queryConfig(service.get(), nullptr, 0, &needed);
    LocalBlock block(needed + 4);
    // A configuration that cannot be read gives no configuration finding.
    if (block && queries.queryConfig(service.get(), block.as<QUERY_SERVICE_CONFIGW>(), needed, &needed))
        bits = ConfigurationFaults(*block.as<QUERY_SERVICE_CONFIGW>());
    // A status that cannot be read adds nothing, and keeps what the configuration showed.
    SERVICE_STATUS status = {};
    if (!queries.queryStatus(service.get(), &status))
        return static_cast<int>(bits);
    // 1077 is ERROR_SERVICE_NEVER_STARTED: the driver has not run since it was set up.
    if (status.dwWin32ExitCode == ERROR_SERVICE_NEVER_STARTED)
        bits |= PDS_DISABLED;
    if ((status.dwCurrentState == SERVICE_STOPPED || status.dwCurrentState == SERVICE_STOP_PENDING) &&
        !(bits & PDS_DISABLED))
        bits |= PDS_NOT_RUNNING;
    return static_cast<int>(bits);
}

std::vector<Finding> PortDriverServiceFindings(unsigned bits)
{
    if (bits == 0)
        return { Finding::Correct(CheckId::kPortDriverService, LoadStr(IDS_ONDRIX_CORRECT)) };
    struct Kind {
        unsigned bits;
        UINT text;
    };
    const Kind kinds[] = { { PDS_NOT_RUNNING, IDS_ONDRIX_NOT_RUNNING },
                           { PDS_DISABLED, IDS_ONDRIX_DISABLED },
                           { PDS_CONFIGURATION, IDS_ONDRIX_MISCONFIGURED } };
    std::vector<Finding> findings;
    for (const Kind& kind : kinds) {
        if (bits & kind.bits)
            findings.push_back(Finding::Fault(CheckId::kPortDriverService, LoadStr(kind.text),
                                              Repair::PortDriverService, static_cast<int>(bits & kind.bits)));
    }
    return findings;
}

int RepairPortDriverService(unsigned bits)
{
    if (bits & PDS_CONFIGURATION) {
        ChangePortDriverConfiguration(bits);
        return 0;
    }
    if (bits != PDS_NOT_RUNNING && bits != PDS_DISABLED)
        return 0;
    if (bits == PDS_DISABLED)
        EnablePortDriverInProfile();
    SendContinueControl();
    return 1;
}

int EnablePortDriverInProfile()
{
    UniqueKey key;
    LONG error = OpenMachineKey(std::wstring(L"SYSTEM\\CurrentControlSet\\Services") + L"\\" + kServiceName +
                                    L"\\" + L"Enum",
                                KEY_READ, key);
    if (error != ERROR_SUCCESS)
        return error;
    std::wstring instance;
    error = ReadStringValue(key.get(), L"0", 512, instance);
    if (error != ERROR_SUCCESS)
        return error;
    key.reset();
    error = OpenMachineKey(std::wstring(L"System\\CurrentControlSet\\Hardware Profiles\\Current") + L"\\" +
                               L"System\\CurrentControlSet\\Enum" + L"\\" + instance,
                           KEY_WRITE, key);
    if (error != ERROR_SUCCESS)
        return error;
    return WriteDwordValue(key.get(), L"CSConfigFlags", 0);
}
