#include "service_setup.h"

#include <string>

#include "package_layout.h"
#include "raii.h"
#include "registry.h"

namespace pkg {

namespace {

const wchar_t kLoadOrderGroup[] = L"Extended base";
const wchar_t kDependencies[] = L"ParPort\0+Parallel arbitrator\0";

UniqueService OpenManager(SetupLog& log)
{
    UniqueService manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager)
        log.Failed(L"OpenSCManagerW", GetLastError());
    return manager;
}

void WriteDeviceKeys(SetupLog& log)
{
    const std::wstring enumKey = ServiceEnumKeyPath();
    log.Check(L"service Enum 0", WriteString(enumKey, L"0", kDeviceInstance));
    log.Check(L"service Enum Count", WriteDword(enumKey, L"Count", 1));
    log.Check(L"service Enum NextInstance", WriteDword(enumKey, L"NextInstance", 1));
    // The current hardware profile's tree is volatile: it lasts as long as the wineserver.
    log.Check(L"hardware profile CSConfigFlags",
              WriteDword(ProfileEnumKeyPath(), L"CSConfigFlags", 0, REG_OPTION_VOLATILE));
}

void ConfigureService(SC_HANDLE service, SetupLog& log)
{
    const std::wstring image = ServiceImagePath();
    log.CheckBool(L"ChangeServiceConfigW",
                  ChangeServiceConfigW(service, SERVICE_KERNEL_DRIVER, SERVICE_AUTO_START, SERVICE_ERROR_IGNORE,
                                       image.c_str(), kLoadOrderGroup, nullptr, kDependencies, nullptr, nullptr,
                                       kServiceName));
    WriteDeviceKeys(log);
}

}  // namespace

bool ServiceInstalled()
{
    UniqueService manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    UniqueService service(manager ? OpenServiceW(manager.get(), kServiceName, SERVICE_QUERY_CONFIG) : nullptr);
    return bool(service);
}

void InstallService(SetupLog& log)
{
    UniqueService manager = OpenManager(log);
    if (!manager)
        return;
    UniqueService service(OpenServiceW(manager.get(), kServiceName, SERVICE_ALL_ACCESS));
    if (service) {
        ConfigureService(service.get(), log);
        return;
    }
    const std::wstring image = ServiceImagePath();
    service.reset(CreateServiceW(manager.get(), kServiceName, kServiceName, SERVICE_ALL_ACCESS, SERVICE_KERNEL_DRIVER,
                                 SERVICE_AUTO_START, SERVICE_ERROR_IGNORE, image.c_str(), kLoadOrderGroup, nullptr,
                                 kDependencies, nullptr, nullptr));
    if (log.CheckBool(L"CreateServiceW", service.get() != nullptr))
        WriteDeviceKeys(log);
}

void RepairServiceIfInstalled(SetupLog& log)
{
    if (ServiceInstalled())
        InstallService(log);
}

void ChangeService(DWORD startType, DWORD errorControl, SetupLog& log)
{
    UniqueService manager = OpenManager(log);
    UniqueService service(manager ? OpenServiceW(manager.get(), kServiceName, SERVICE_ALL_ACCESS) : nullptr);
    if (!log.CheckBool(L"OpenServiceW", service.get() != nullptr))
        return;
    log.CheckBool(L"ChangeServiceConfigW",
                  ChangeServiceConfigW(service.get(), SERVICE_NO_CHANGE, startType, errorControl, nullptr, nullptr,
                                       nullptr, nullptr, nullptr, nullptr, nullptr));
}

void RemoveService(SetupLog& log)
{
    log.Check(L"remove hardware profile key", DeleteKeyTree(ProfileEnumKeyPath()));
    UniqueService manager = OpenManager(log);
    if (!manager)
        return;
    UniqueService service(OpenServiceW(manager.get(), kServiceName, SERVICE_ALL_ACCESS));
    if (!service)
        return;
    log.Check(L"remove service Enum key", DeleteKeyTree(ServiceEnumKeyPath()));
    if (!DeleteService(service.get()) && GetLastError() != ERROR_SERVICE_MARKED_FOR_DELETE)
        log.Failed(L"DeleteService", GetLastError());
}

}  // namespace pkg
