// The print server and shared printer checks and the network paths of ports, on a scripted
// network (the test machine has none); remembered connections in the user's real profile.
#include "app/troubleshooter_app.h"
#include "checks/network_checks.h"
#include "port_fixtures.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class NetworkChecks : public ::testing::Test {
protected:
    // A printer that prints to `port` directly (a network path or a local port).
    void PrintTo(const std::wstring& port, int lptNumber = 0)
    {
        app_.portName = port;
        app_.portNumber = lptNumber;
        app_.networkConnection = 1;
    }
    void SetNetworkPath(const wchar_t* path) { lstrcpyW(app_.networkPath, path); }

    CTroubleshooterApp app_;
    ScriptedNetwork net_;
};

}  // namespace

TEST_F(NetworkChecks, ReachableServerSharingThePrinter)
{
    PrintTo(L"\\\\srv\\laser");
    SetNetworkPath(L"\\\\srv\\laser");
    net_.servers[L"\\\\srv"].shares = { L"\\\\srv\\other", L"\\\\srv\\laser" };

    EXPECT_EQ(app_.CheckPrintServer(), 1);
    EXPECT_EQ(app_.serverName, L"\\\\srv");
    EXPECT_EQ(app_.CheckNetworkPrinter(), 1);

    EXPECT_TRUE(net_.asked.empty()) << "a network path needs no connection lookup";
    ASSERT_EQ(net_.opened.size(), 2u);
    EXPECT_EQ(net_.opened[0].scope, DWORD(RESOURCE_GLOBALNET));
    EXPECT_EQ(net_.opened[0].type, DWORD(RESOURCETYPE_ANY));
    EXPECT_EQ(net_.opened[0].usage, 0x13u);
    EXPECT_EQ(net_.opened[0].remote, L"\\\\srv");
    EXPECT_EQ(net_.opened[1].type, DWORD(RESOURCETYPE_PRINT));
    EXPECT_EQ(net_.opened[1].usage, DWORD(RESOURCEUSAGE_CONNECTABLE));
    ASSERT_EQ(net_.enumerations.size(), 1u);
    EXPECT_EQ(net_.enumerations[0].first, 0xFFFFFFFFu) << "no limit on the entry count";
    EXPECT_EQ(net_.enumerations[0].second, 16384u);
    EXPECT_EQ(net_.closed, 2) << "every enumeration opened is closed";
}

TEST_F(NetworkChecks, ServerSharingOnlyAnotherPrinter)
{
    PrintTo(L"\\\\srv\\laser");
    SetNetworkPath(L"\\\\srv\\laser");
    net_.servers[L"\\\\srv"].shares = { L"\\\\srv\\other" };
    EXPECT_EQ(app_.CheckPrintServer(), 1);
    EXPECT_EQ(app_.CheckNetworkPrinter(), 0);
    EXPECT_EQ(net_.closed, 2);
}

TEST_F(NetworkChecks, ShareNamesCompareWithoutCase)
{
    PrintTo(L"\\\\SRV\\LASER");
    SetNetworkPath(L"\\\\SRV\\LASER");
    net_.servers[L"\\\\SRV"].shares = { L"\\\\srv\\laser" };
    EXPECT_EQ(app_.CheckNetworkPrinter(), 1);
}

TEST_F(NetworkChecks, UnreachableServer)
{
    PrintTo(L"\\\\srv\\laser");
    SetNetworkPath(L"\\\\srv\\laser");
    net_.servers[L"\\\\srv"].openError = ERROR_BAD_NETPATH;
    EXPECT_EQ(app_.CheckPrintServer(), 0);
    EXPECT_EQ(app_.serverName, L"\\\\srv") << "the server is named even when it cannot be reached";
    EXPECT_EQ(app_.CheckNetworkPrinter(), 0);
    EXPECT_EQ(net_.closed, 0) << "nothing was opened";
}

TEST_F(NetworkChecks, FailedShareEnumerationMeansNotShared)
{
    PrintTo(L"\\\\srv\\laser");
    SetNetworkPath(L"\\\\srv\\laser");
    net_.servers[L"\\\\srv"].shares = { L"\\\\srv\\laser" };
    net_.servers[L"\\\\srv"].enumError = ERROR_NETWORK_BUSY;
    EXPECT_EQ(app_.CheckNetworkPrinter(), 0);
    EXPECT_EQ(net_.closed, 1);
}

TEST_F(NetworkChecks, OnlyTheFirstBatchOfSharesIsExamined)
{
    PrintTo(L"\\\\srv\\laser");
    SetNetworkPath(L"\\\\srv\\laser");
    std::vector<std::wstring>& shares = net_.servers[L"\\\\srv"].shares;
    for (int i = 0; i < 400; ++i)
        shares.push_back(L"\\\\srv\\queue" + std::to_wstring(i));
    shares.push_back(L"\\\\srv\\laser");
    EXPECT_EQ(app_.CheckNetworkPrinter(), 0);
    EXPECT_EQ(net_.enumerations.size(), 1u);
}

TEST_F(NetworkChecks, RedirectedLptPort)
{
    PrintTo(L"LPT2:", 2);
    SetNetworkPath(L"\\\\srv\\q");
    net_.connections[L"LPT2:"] = { NO_ERROR, L"\\\\srv\\q" };
    net_.servers[L"\\\\srv"].shares = { L"\\\\srv\\q" };
    EXPECT_EQ(app_.CheckPrintServer(), 1);
    EXPECT_EQ(app_.serverName, L"\\\\srv");
    EXPECT_EQ(app_.CheckNetworkPrinter(), 1);
    ASSERT_FALSE(net_.asked.empty());
    EXPECT_EQ(net_.asked[0], L"LPT2:") << "the check port text";
}

TEST_F(NetworkChecks, RememberedButUnavailableConnectionUsesItsPath)
{
    PrintTo(L"LPT1:", 1);
    net_.connections[L"LPT1:"] = { ERROR_CONNECTION_UNAVAIL, L"\\\\srv\\q" };
    net_.servers[L"\\\\srv"].openError = ERROR_BAD_NETPATH;
    EXPECT_EQ(app_.CheckPrintServer(), 0);
    EXPECT_EQ(app_.serverName, L"\\\\srv");
    net_.servers[L"\\\\srv"].openError = NO_ERROR;
    EXPECT_EQ(app_.CheckPrintServer(), 1);
}

TEST_F(NetworkChecks, PortWithoutConnectionHasNoServer)
{
    PrintTo(L"LPT1:", 1);
    app_.serverName = L"before";
    EXPECT_EQ(app_.CheckPrintServer(), 0);
    EXPECT_EQ(app_.serverName, L"before");
    EXPECT_EQ(app_.CheckNetworkPrinter(), 0);
    EXPECT_TRUE(net_.opened.empty());
}

TEST_F(NetworkChecks, PortInfoOfALocalPort)
{
    net_.connections[L"LPT3:"] = { NO_ERROR, L"\\\\host\\queue" };
    NetworkPortInfo redirected(L"LPT3:");
    EXPECT_EQ(redirected.lptNumber(), 3);
    EXPECT_EQ(redirected.networkName(), L"\\\\host\\queue");
    EXPECT_EQ(redirected.lastError(), 0);
    EXPECT_EQ(redirected.GetServerName(), L"\\\\host");

    NetworkPortInfo unconnected(L"LPT1:");
    EXPECT_EQ(unconnected.networkName(), L"");
    EXPECT_EQ(unconnected.lastError(), ERROR_NOT_CONNECTED);
    EXPECT_EQ(unconnected.GetServerName(), L"");

    net_.connections[L"LPT4:"] = { ERROR_CONNECTION_UNAVAIL, L"\\\\host\\later" };
    NetworkPortInfo remembered(L"LPT4:");
    EXPECT_EQ(remembered.networkName(), L"\\\\host\\later");
    EXPECT_EQ(remembered.lastError(), ERROR_CONNECTION_UNAVAIL);

    EXPECT_EQ(NetworkPortInfo(L"LPT010:").lptNumber(), 8) << "a leading 0 reads octal";
    EXPECT_EQ(NetworkPortInfo(L"LPT0x1A").lptNumber(), 26);
    EXPECT_EQ(NetworkPortInfo(L"FILE:").lptNumber(), 0);
}

TEST_F(NetworkChecks, PortInfoOfANetworkPath)
{
    NetworkPortInfo path(L"\\\\srv\\queue");
    EXPECT_EQ(path.networkName(), L"\\\\srv\\queue");
    EXPECT_EQ(path.lptNumber(), 0);
    EXPECT_EQ(path.GetServerName(), L"\\\\srv");
    EXPECT_EQ(NetworkPortInfo(L"\\\\srv").GetServerName(), L"\\\\srv");
    EXPECT_EQ(NetworkPortInfo(L"\\\\srv\\a\\b").GetServerName(), L"\\\\srv");
    EXPECT_TRUE(net_.asked.empty());
}

TEST_F(NetworkChecks, PersistentConnectionOfLpt3)
{
    SetNetworkPath(L"unchanged");
    EXPECT_EQ(NetworkPortInfo(L"LPT3:").FindPersistentConnection(app_.networkPath), 0) << "no such key";
    EXPECT_STREQ(app_.networkPath, L"unchanged");
    {
        PersistentConnection other(2, L"\\\\srv\\two");
        EXPECT_EQ(NetworkPortInfo(L"LPT3:").FindPersistentConnection(app_.networkPath), 0) << "LPT2's connection";
    }
    {
        PersistentConnection remembered(3, L"\\\\srv\\three");
        EXPECT_EQ(NetworkPortInfo(L"LPT3:").FindPersistentConnection(app_.networkPath), 1);
        EXPECT_STREQ(app_.networkPath, L"\\\\srv\\three");
    }
    SetNetworkPath(L"unchanged");
    {
        PersistentConnection noValue(3, L"");
        EXPECT_EQ(NetworkPortInfo(L"LPT3:").FindPersistentConnection(app_.networkPath), 0);
        EXPECT_STREQ(app_.networkPath, L"unchanged");
    }
    {
        PersistentConnection unterminated(3, L"\\\\srv\\raw", false);
        EXPECT_EQ(NetworkPortInfo(L"LPT3:").FindPersistentConnection(app_.networkPath), 1);
        EXPECT_STREQ(app_.networkPath, L"\\\\srv\\raw");
    }
}

TEST_F(NetworkChecks, QueryKeepsTheLastError)
{
    SetNetworkPath(L"\\\\srv\\laser");
    NetResourceQuery missing(L"\\\\nowhere");
    EXPECT_EQ(missing.IsServerReachable(), 0);
    EXPECT_EQ(missing.lastError(), ERROR_BAD_NET_NAME);
    EXPECT_EQ(missing.IsPrinterShared(app_.networkPath), 0);
}
