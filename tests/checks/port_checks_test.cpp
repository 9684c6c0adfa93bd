// Whether the printer's port exists: the parallel-port device map, USB ports of the supported
// driver and the ports of a compliant print monitor, in the prefix's registry and spooler.
#include "checks/port_checks.h"
#include "port_fixtures.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::pair<std::wstring, std::wstring> kLpt1 = { L"\\Device\\Parallel0", L"\\DosDevices\\LPT1" };
const std::pair<std::wstring, std::wstring> kLpt2 = { L"\\Device\\Parallel1", L"\\DosDevices\\LPT2" };

class PortPresent : public ::testing::Test {
protected:
    PortPresent() { lstrcpyW(facts_.driverName, kTavikDriver); }

    int Check(const std::wstring& port)
    {
        facts_.portName = port;
        facts_.portMissing = 0;
        return CheckPortPresent(facts_);
    }

    RunFacts facts_;
};

}  // namespace

TEST_F(PortPresent, Lpt1InTheDeviceMapIsPresent)
{
    ParallelPortMap map({ kLpt1 });
    EXPECT_EQ(Check(L"LPT1:"), 1);
    EXPECT_EQ(facts_.portMissing, 0);
    EXPECT_EQ(Check(L"LPT1"), 1) << "a name without a colon";
}

TEST_F(PortPresent, SecondValueOfTheDeviceMapIsExamined)
{
    ParallelPortMap map({ kLpt1, kLpt2 });
    EXPECT_EQ(Check(L"LPT2:"), 1);
    EXPECT_EQ(facts_.portMissing, 0);
    EXPECT_EQ(Check(L"LPT3:"), 0);
    EXPECT_EQ(facts_.portMissing, 1);
}

TEST_F(PortPresent, MachineWithoutParallelPortHasTheLptPortMissing)
{
    ParallelPortMap map({});
    EXPECT_EQ(Check(L"LPT1:"), 0);
    EXPECT_EQ(facts_.portMissing, 1);
}

TEST_F(PortPresent, MissingDeviceMapKeyCountsAsAbsent)
{
    KeyValuesSnapshot saved(kParallelPortsKey);
    ASSERT_EQ(RegDeleteTreeW(HKEY_LOCAL_MACHINE, kParallelPortsKey.c_str()), ERROR_SUCCESS);
    ASSERT_FALSE(MachineKeyExists(kParallelPortsKey));
    EXPECT_EQ(Check(L"LPT1:"), 0);
    EXPECT_EQ(facts_.portMissing, 1);
    CreateVolatileMachineKey(kParallelPortsKey);
}

TEST_F(PortPresent, DeviceDataStoredWithoutTerminatorStillMatches)
{
    ParallelPortMap map({});
    std::wstring data = L"\\DosDevices\\LPT1";
    SetMachineValue(kParallelPortsKey, L"\\Device\\Parallel0", REG_SZ, data.c_str(), data.size() * sizeof(wchar_t));
    EXPECT_EQ(Check(L"LPT1:"), 1);
}

TEST_F(PortPresent, UsbPortOfTheSupportedDriver)
{
    ParallelPortMap map({});
    EXPECT_EQ(Check(L"USB001"), 1);
    EXPECT_EQ(Check(L"USBPRN"), 0) << "no number after USB";
    EXPECT_EQ(facts_.portMissing, 0) << "a USB port is never marked missing";
    EXPECT_EQ(Check(L"USB000"), 0);
    lstrcpyW(facts_.driverName, L"Other Driver");
    EXPECT_EQ(Check(L"USB001"), 0);
    EXPECT_EQ(facts_.portMissing, 0);
}

TEST_F(PortPresent, LptUsbAdapterIsPresentWithoutTheDeviceMap)
{
    ParallelPortMap map({});
    EXPECT_EQ(Check(L"LPT_USB1"), 1);
    EXPECT_EQ(Check(L"LPT-USB2:"), 1);
    EXPECT_EQ(facts_.portMissing, 0);
}

TEST_F(PortPresent, CompliantPortIsPresentWithoutDeviceMapLookup)
{
    ParallelPortMap map({});
    facts_.compliantPort = 1;
    EXPECT_EQ(Check(L"LPT1:"), 1);
    EXPECT_EQ(facts_.portMissing, 0);
    EXPECT_EQ(Check(kMonitorPort), 1);
}

TEST_F(PortPresent, OtherLocalPortIsAbsent)
{
    EXPECT_EQ(Check(L"FILE:"), 0);
    EXPECT_EQ(Check(L"COM1:"), 0);
    EXPECT_EQ(Check(L""), 0);
    EXPECT_EQ(facts_.portMissing, 0);
}

TEST(PortNames, Parts)
{
    EXPECT_EQ(LptDigit(L"LPT1:"), 1);
    EXPECT_EQ(LptDigit(L"LPT9"), 9);
    EXPECT_EQ(LptDigit(L"LPT_USB1"), 0);
    EXPECT_EQ(LptDigit(L"LPT"), 0);
    EXPECT_EQ(LptDigit(L"USB001"), 0);
    EXPECT_EQ(CutAtLastColon(L"LPT1:"), L"LPT1");
    EXPECT_EQ(CutAtLastColon(L"A:B:"), L"A:B");
    EXPECT_EQ(CutAtLastColon(L"LPT2"), L"LPT2");
    EXPECT_EQ(NumberAfterPrefix(L"USB001"), 1);
    EXPECT_EQ(NumberAfterPrefix(L"USB012"), 12) << "decimal, not octal";
    EXPECT_EQ(NumberAfterPrefix(L"USBPRN"), 0);
    EXPECT_EQ(NumberAfterPrefix(L"USB"), 0);
    EXPECT_TRUE(IsLptUsbName(L"LPT_USB1"));
    EXPECT_TRUE(IsLptUsbName(L"LPT-USB1"));
    EXPECT_FALSE(IsLptUsbName(L"LPTUSB1"));
}

TEST(CompliantMonitor, ZeltCompliantValueDecides)
{
    {
        TestPortMonitor monitor(3);
        EXPECT_TRUE(IsCompliantMonitor(kTestMonitor));
    }
    {
        TestPortMonitor monitor(2);
        EXPECT_FALSE(IsCompliantMonitor(kTestMonitor));
    }
    {
        TestPortMonitor monitor(std::nullopt);
        EXPECT_FALSE(IsCompliantMonitor(kTestMonitor));
    }
    EXPECT_FALSE(IsCompliantMonitor(kTestMonitor)) << "no monitor key";
}

TEST(CompliantMonitor, PortWithoutMonitorNameIsNotCompliant)
{
    // An empty name would form the key of all monitors, which is no monitor's own.
    RegistryRestorer restore(L"System\\CurrentControlSet\\control\\Print\\Monitors", { L"ZELTCompliant" });
    SetMachineDword(L"System\\CurrentControlSet\\control\\Print\\Monitors", L"ZELTCompliant", 3);
    EXPECT_FALSE(IsCompliantMonitor(L""));
    EXPECT_FALSE(IsCompliantMonitor(nullptr));
}

TEST(PortEnumeration, ListsLocalPortsAndTheMonitorsOwn)
{
    TestPortMonitor monitor(3);
    LocalPorts extra({ L"USB001" });
    PortEnumeration ports;
    std::map<std::wstring, std::wstring> monitors;  // port -> monitor
    for (DWORD i = 0; i < ports.count(); ++i)
        monitors[ports[i].pPortName] = ports[i].pMonitorName ? ports[i].pMonitorName : L"(null)";
    ASSERT_TRUE(monitors.count(L"LPT1:"));
    ASSERT_TRUE(monitors.count(L"USB001"));
    ASSERT_TRUE(monitors.count(kMonitorPort));
    EXPECT_EQ(monitors[kMonitorPort], kTestMonitor);
}
