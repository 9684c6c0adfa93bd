// The finding lines each log writer appends, byte for byte in code page 936.
#include "checks/network_checks.h"
#include "checks/port_checks.h"
#include "checks/registration_checks.h"
#include "checks/shortcut_checks.h"
#include "scripted_app.h"

#include <gtest/gtest.h>

namespace {

class LogWriters : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(GetACP(), 936u);
        lstrcpyW(app_.driverName, kDriver);
        app_.portName = kPort;
    }
    std::string Log() const { return ReadBytes(app_.logFilePath); }
    ScriptedApp app_;
};

TEST_F(LogWriters, PortConnection)
{
    app_.WriteFinding(PortFinding(app_.facts, 1));
    EXPECT_EQ(Log(), Ansi(L"Tavik QX2210-2370 连接到 LPT1:。\r\n"));
    DeleteFileW(app_.logFilePath);
    app_.WriteFinding(PortFinding(app_.facts, 0));
    EXPECT_EQ(Log(), Ansi(L"错误:Tavik QX2210-2370 连接到 LPT1:。"));
}

TEST_F(LogWriters, RepairOutcomeEndsTheLine)
{
    app_.LogRepairOutcome(1);
    app_.LogRepairOutcome(0);
    EXPECT_EQ(Log(), Ansi(L"-- 已修正\r\n-- 未修正\r\n"));
}

TEST_F(LogWriters, CorrectFormsAreWholeLinesAndFaultFormsStayOpen)
{
    app_.WriteFinding(LanguageMonitorFinding(0));
    app_.WriteFinding(PrinterDriverFinding(app_.facts, 0));
    app_.WriteFinding(StatusWindowFinding(1));
    app_.WriteFinding(AppPathFinding(0));
    app_.WriteFinding(LanguageMonitorFinding(0x100));
    app_.WriteFinding(PrinterDriverFinding(app_.facts, 0x20));
    app_.WriteFinding(StatusWindowFinding(0));
    app_.WriteFinding(AppPathFinding(2));
    EXPECT_EQ(Log(), Ansi(L"Tavik QX2210-2370 语言监视器已安装。\r\n"
                          L"Tavik QX2210-2370 打印机驱动程序设置正确。\r\n"
                          L"Tavik QX2210-2370 状态窗口已安装。\r\n"
                          L"注册表设置正确。\r\n"
                          L"错误:Tavik QX2210-2370 语言监视器未被安装。"
                          L"错误:Tavik QX2210-2370 打印机驱动程序设置不正确。"
                          L"错误:Tavik QX2210-2370 状态窗口未被安装。"
                          L"错误:注册表设置不正确。"));
}

TEST_F(LogWriters, NetworkFaultsNameServerAndPathAndCorrectFormsWriteNothing)
{
    app_.serverName = L"srv";
    lstrcpyW(app_.networkPath, L"\\\\srv\\q");
    app_.WriteFinding(PrintServerFinding(app_.facts, 1));
    app_.WriteFinding(NetworkPrinterFinding(app_.facts, 1));
    EXPECT_FALSE(FileExists(app_.logFilePath));
    app_.WriteFinding(PrintServerFinding(app_.facts, 0));
    app_.WriteFinding(NetworkPrinterFinding(app_.facts, 0));
    EXPECT_EQ(Log(), Ansi(L"网络错误:无法访问打印服务器 srv。") +
                         Ansi(L"网络错误:无法访问网络打印机 \\\\srv\\q。"));
}

}  // namespace
