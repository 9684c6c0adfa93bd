// The network toolkit of the checks: what a port stands for on the network, and what a
// print server answers.
#pragma once
#include "checks/finding.h"
#include "checks/run_facts.h"

#include <windows.h>
#include <winnetwk.h>

#include <string>

// The network provider calls the toolkit makes. They default to the WNet functions; tests
// put their own in to stand for a network that the test machine does not have.
struct NetworkProvider {
    DWORD(WINAPI* getConnection)(LPCWSTR localName, LPWSTR remoteName, LPDWORD length);
    DWORD(WINAPI* openEnum)(DWORD scope, DWORD type, DWORD usage, LPNETRESOURCEW resource, LPHANDLE handle);
    DWORD(WINAPI* enumResource)(HANDLE handle, LPDWORD count, LPVOID buffer, LPDWORD bytes);
    DWORD(WINAPI* closeEnum)(HANDLE handle);
};
NetworkProvider& Network();

// One port text (LPT1:, \\server\share ...) and the network path it stands for.
class NetworkPortInfo {
public:
    // Looks the connection up at once.
    explicit NetworkPortInfo(const std::wstring& portText);

    // The server part of the network name with its leading backslashes (\\srv\queue gives
    // \\srv); empty when there is no network name.
    std::wstring GetServerName() const;
    // The remembered connection of the LPT port in the user's profile; when there is one, its
    // path goes into `networkPath` (kPathChars characters). 1 found, 0 not.
    int FindPersistentConnection(wchar_t* networkPath) const;

    // A network path, or a device connected (or remembered as connected) to one.
    bool StandsForNetworkPath() const { return lastError_ == NO_ERROR || lastError_ == ERROR_CONNECTION_UNAVAIL; }

    const std::wstring& portText() const { return portText_; }
    const std::wstring& networkName() const { return networkName_; }
    int lastError() const { return lastError_; }
    int lptNumber() const { return lptNumber_; }

private:
    std::wstring portText_;
    std::wstring networkName_;
    int lastError_ = 0;
    int lptNumber_ = 0;
};

// Questions to one server (\\server) of the network.
class NetResourceQuery {
public:
    explicit NetResourceQuery(std::wstring remoteName) : remoteName_(std::move(remoteName)) {}

    // 1 when the server's resources can be enumerated.
    int IsServerReachable();
    // 1 when `networkPath` is among the server's print shares (the first 16384 bytes of the
    // enumeration, compared without regard to case).
    int IsPrinterShared(const wchar_t* networkPath);

    int lastError() const { return lastError_; }

private:
    NETRESOURCEW Resource(DWORD type, DWORD usage);
    std::wstring remoteName_;
    int lastError_ = 0;
};

// Whether the print server of the checked port answers; names it in serverName first. 0 when
// the port names no server.
int CheckPrintServer(RunFacts& facts);
// A server that does not answer is a network fault naming the server; one that answers writes
// no line.
Finding PrintServerFinding(const RunFacts& facts, int reachable);
// Whether the server of the checked port shares the printer of networkPath.
int CheckNetworkPrinter(const RunFacts& facts);
// A printer the server does not share is a network fault naming its path.
Finding NetworkPrinterFinding(const RunFacts& facts, int shared);
