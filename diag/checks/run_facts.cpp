#include "checks/run_facts.h"

#include "checks/shortcut.h"

std::wstring RunFacts::CheckedPortText() const
{
    if (portNumber != 0)
        return FormatPrintf(L"LPT%d:", portNumber);
    return portName.substr(0, 256);
}

SC_HANDLE RunFacts::ServiceManager()
{
    if (!serviceManagerOpened_) {
        serviceManagerOpened_ = true;
        // Full access is what the rights check asks for; read access, which enumerates and
        // opens services, is what the other checks need.
        serviceManager_.reset(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        serviceManagerFullAccess_ = bool(serviceManager_);
        if (!serviceManager_)
            serviceManager_.reset(OpenSCManagerW(nullptr, nullptr, GENERIC_READ));
    }
    return serviceManager_.get();
}

bool RunFacts::ServiceManagerFullAccess()
{
    ServiceManager();
    return serviceManagerFullAccess_;
}

bool RunFacts::CommonFolder(int csidl, std::wstring& path)
{
    auto known = commonFolders_.find(csidl);
    if (known != commonFolders_.end()) {
        path = known->second;
        return true;
    }
    if (!SpecialFolderPath(csidl, path))
        return false;
    commonFolders_[csidl] = path;
    return true;
}
