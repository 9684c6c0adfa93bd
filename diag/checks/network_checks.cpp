// Print server and shared printer reachability, and the network paths of ports.
#include "checks/network_checks.h"

#include "checks/check_ids.h"

#include "framework/raii.h"
#include "framework/strings.h"
#include "res/resource.h"

#include <cwchar>
#include <memory>

NetworkProvider& Network()
{
    static NetworkProvider provider = { WNetGetConnectionW, WNetOpenEnumW, WNetEnumResourceW, WNetCloseEnum };
    return provider;
}

NetworkPortInfo::NetworkPortInfo(const std::wstring& portText) : portText_(portText)
{
    if (!portText_.empty() && portText_[0] == L'\\') {
        networkName_ = portText_;
        return;
    }
    // The base follows the number's prefix: 0x hexadecimal, a leading 0 octal.
    if (portText_.size() > 3)
        lptNumber_ = static_cast<int>(wcstol(portText_.c_str() + 3, nullptr, 0));

    wchar_t remote[kPathChars] = {};
    DWORD length = kPathChars;
    lastError_ = static_cast<int>(Network().getConnection(portText_.c_str(), remote, &length));
    // A remembered connection that is not connected now still names its path.
    if (StandsForNetworkPath()) {
        remote[259] = L'\0';
        networkName_ = remote;
    }
}

std::wstring NetworkPortInfo::GetServerName() const
{
    size_t end = networkName_.find_first_not_of(L'\\');
    if (end == std::wstring::npos)
        return networkName_;
    end = networkName_.find(L'\\', end);
    return networkName_.substr(0, end);
}

int NetworkPortInfo::FindPersistentConnection(wchar_t* networkPath) const
{
    std::wstring path = FormatPrintf(L"%s%d", L"Network\\Persistent\\LPT", lptNumber_);
    UniqueKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, key.put()) != ERROR_SUCCESS)
        return 0;
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), L"RemotePath", nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return 0;
    // Zero-filled with room for a whole terminator, also when the value was stored without one.
    std::unique_ptr<wchar_t[]> text(new wchar_t[size / sizeof(wchar_t) + 1]());
    if (RegQueryValueExW(key.get(), L"RemotePath", nullptr, nullptr, reinterpret_cast<BYTE*>(text.get()), &size) !=
        ERROR_SUCCESS)
        return 0;
    lstrcpynW(networkPath, text.get(), kPathChars);
    return 1;
}

NETRESOURCEW NetResourceQuery::Resource(DWORD type, DWORD usage)
{
    NETRESOURCEW resource = {};
    resource.dwScope = RESOURCE_GLOBALNET;
    resource.dwType = type;
    resource.dwUsage = usage;
    resource.lpRemoteName = &remoteName_[0];
    return resource;
}

int NetResourceQuery::IsServerReachable()
{
    NETRESOURCEW resource = Resource(RESOURCETYPE_ANY, RESOURCEUSAGE_ALL);
    HANDLE enumeration = nullptr;
    DWORD error = Network().openEnum(RESOURCE_GLOBALNET, RESOURCETYPE_ANY, RESOURCEUSAGE_ALL, &resource, &enumeration);
    if (error != NO_ERROR) {
        lastError_ = static_cast<int>(error);
        return 0;
    }
    Network().closeEnum(enumeration);
    return 1;
}

int NetResourceQuery::IsPrinterShared(const wchar_t* networkPath)
{
    NETRESOURCEW resource = Resource(RESOURCETYPE_PRINT, RESOURCEUSAGE_CONNECTABLE);
    HANDLE enumeration = nullptr;
    DWORD error =
        Network().openEnum(RESOURCE_GLOBALNET, RESOURCETYPE_PRINT, RESOURCEUSAGE_CONNECTABLE, &resource, &enumeration);
    if (error != NO_ERROR) {
        lastError_ = static_cast<int>(error);
        return 0;
    }
    struct EnumCloser {
        HANDLE handle;
        ~EnumCloser() { Network().closeEnum(handle); }
    } closer{ enumeration };

    LocalBlock results(32768);
    if (!results) {
        lastError_ = ERROR_NOT_ENOUGH_MEMORY;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    // One batch only: as many entries as fit into 16384 bytes.
    DWORD count = static_cast<DWORD>(-1);
    DWORD bytes = 16384;
    error = Network().enumResource(enumeration, &count, results.as(), &bytes);
    if (error != NO_ERROR) {
        lastError_ = static_cast<int>(error);
        return 0;
    }
    const NETRESOURCEW* shares = results.as<NETRESOURCEW>();
    for (DWORD i = 0; i < count; ++i)
        if (shares[i].lpRemoteName && lstrcmpiW(shares[i].lpRemoteName, networkPath) == 0)
            return 1;
    return 0;
}

namespace {

// The server part of the network name that the checked port text stands for.
std::wstring CheckedServer(const RunFacts& facts)
{
    return NetworkPortInfo(facts.CheckedPortText()).GetServerName();
}

}  // namespace

int CheckPrintServer(RunFacts& facts)
{
    std::wstring server = CheckedServer(facts);
    if (server.empty())
        return 0;
    facts.serverName = server;
    return NetResourceQuery(server).IsServerReachable();
}

Finding PrintServerFinding(const RunFacts& facts, int reachable)
{
    if (reachable)
        return Finding::Correct(CheckId::kPrintServer);
    return Finding::NetworkFault(CheckId::kPrintServer,
                                 FormatPrintf(LoadStr(IDS_SERVER_UNREACHABLE).c_str(), facts.serverName.c_str()));
}

int CheckNetworkPrinter(const RunFacts& facts)
{
    std::wstring server = CheckedServer(facts);
    if (server.empty())
        return 0;
    return NetResourceQuery(server).IsPrinterShared(facts.networkPath);
}

Finding NetworkPrinterFinding(const RunFacts& facts, int shared)
{
    if (shared)
        return Finding::Correct(CheckId::kNetworkPrinter);
    return Finding::NetworkFault(CheckId::kNetworkPrinter,
                                 FormatPrintf(LoadStr(IDS_NET_PRINTER_UNREACHABLE).c_str(), facts.networkPath));
}
