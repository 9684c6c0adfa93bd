// The check sequence end to end on the installed stand-in printer: the start dialog, every
// problem dialog and the results dialog are the real ones, answered by a script; the checks
// return scripted results. Asserted: the order of the dialogs, their texts, the calls of the
// repairs and the result log byte for byte in code page 936.
#include "checks/manifest.h"
#include "checks/port_driver_service.h"
#include "checks/port_fixtures.h"
#include "framework/raii.h"
#include "framework/strings.h"
#include "scripted_app.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using A = AutopilotAction;

const ScriptStep kStart = { IDD_START, A::press(IDC_START_YES) };
const ScriptStep kKeepResults = { IDD_RESULTS, A::press(IDOK) };

std::string Line(const std::wstring& text)
{
    return Ansi(text) + "\r\n";
}

// The log at the moment the results dialog opened (closing lines written, nothing moved yet).
std::string LogAtResults(const ScriptedPilot& pilot)
{
    for (size_t i = 0; i < pilot.answered.size(); ++i)
        if (pilot.answered[i] == IDD_RESULTS)
            return pilot.logAtAnswer[i];
    return std::string();
}

// Runs the whole sequence of `app` with `pilot` answering.
void RunSequence(ScriptedApp& app, ScriptedPilot& pilot, CallSite site = {})
{
    CallerTrace trace(site);
    ScopedAutopilot scope(pilot);
    app.RunChecks();
    EXPECT_EQ(pilot.stuck, 0) << "dialogs that could not be answered as scripted";
}

// The lines of a sound local run from the port line to the folder line; `mode` is the port
// mode line (empty for none).
std::string SoundLocalLines(const std::string& mode)
{
    return Line(L"Tavik QX2210-2370 连接到 LPT1:。") + mode + Line(L"注册表设置正确。") +
           Line(L"Ondrix 设备驱动程序设置正确。") + Line(L"Tavik QX2210-2370 语言监视器已安装。") +
           Line(L"Tavik QX2210-2370 打印机驱动程序设置正确。") + Line(L"Tavik QX2210-2370 状态窗口已安装。") +
           Line(L"“Tavik QX2210-2370”打印机属性设置正确。") + Line(L"Tavik QX2210-2370 的程序文件夹设置正确。");
}

const std::string kAllFiles = Line(L"所有文件均为预期版本。");
const std::string kCompleted = Line(L"疑难解答完成。");
const std::string kAborted = Line(L"用户终止疑难解答。");
const std::string kSummaryWrong = Line(L"LPT1:[local] 中 Tavik QX2210-2370 的设置不正确。");

TEST(CheckSequence, CleanLptPrinterLogsEveryCorrectSettingAndTheCorrectSummary)
{
    DWORD bidirectional = 1;
    PortModeValue mode(kPort, &bidirectional);
    ScriptedApp app;
    ScriptedPilot pilot({ kStart, kKeepResults }, &app);
    RunSequence(app, pilot);

    EXPECT_EQ(pilot.answered, (std::vector<UINT>{ IDD_START, IDD_RESULTS }));
    EXPECT_EQ(pilot.created, (std::vector<UINT>{ IDD_CHECKING_SYSTEM }));
    EXPECT_FALSE(pilot.waitDialogAtResults);
    EXPECT_EQ(app.runFlags, RUN_COMPLETED);
    EXPECT_STREQ(app.driverName, kDriver);
    EXPECT_EQ(app.portName, kPort);

    std::string log = LogAtResults(pilot);
    // Header: "LPT1:[local] 中 Tavik QX2210-2370 的疑难解答 - " then the date and time.
    EXPECT_EQ(log.rfind(Ansi(L"LPT1:[local] 中 Tavik QX2210-2370 的疑难解答 - "), 0), 0u)
        << log;
    EXPECT_EQ(BodyAfterHeader(log),
              kAllFiles + SoundLocalLines(Line(L"双向")) + kCompleted + Line(L"LPT1:[local] 中 Tavik QX2210-2370 的设置正确。"));
    // The results dialog kept the log under its dated name; no restart was offered.
    EXPECT_TRUE(FileExists(app.savedResultPath));
    EXPECT_EQ(ReadBytes(app.savedResultPath), log);
    EXPECT_FALSE(FileExists(app.logFilePath));
}

TEST(CheckSequence, PortModeLineFollowsCurrentMode)
{
    struct Case {
        const DWORD* mode;
        std::string line;
    };
    const DWORD ecp = 3, ecpDma = 4, other = 7;
    for (const Case& c : { Case{ &ecp, Line(L"无 DMA 的 ECP 端口") }, Case{ &ecpDma, Line(L"有 DMA 的 ECP 端口") },
                           Case{ &other, Line(L"标准并行端口") }, Case{ nullptr, "" } }) {
        PortModeValue mode(kPort, c.mode);
        ScriptedApp app;
        ScriptedPilot pilot({ kStart, { IDD_RESULTS, A::press(IDCANCEL) } }, &app);
        RunSequence(app, pilot);
        EXPECT_EQ(BodyAfterHeader(LogAtResults(pilot)),
                  kAllFiles + SoundLocalLines(c.line) + kCompleted + Line(L"LPT1:[local] 中 Tavik QX2210-2370 的设置正确。"));
        // Esc in the results dialog discards the log.
        EXPECT_FALSE(FileExists(app.logFilePath));
        EXPECT_EQ(app.savedResultPath[0], L'\0');
    }
}

TEST(CheckSequence, ExitInFirstProblemDialogEndsTheOpenLineAndAborts)
{
    PortModeValue mode(kPort, nullptr);
    ScriptedApp app;
    app.portPresent = 0;
    ScriptedPilot pilot({ kStart, { IDD_PORT_SETTINGS, A::press(IDC_PORT_EXIT) }, kKeepResults }, &app);
    RunSequence(app, pilot);

    EXPECT_EQ(pilot.answered, (std::vector<UINT>{ IDD_START, IDD_PORT_SETTINGS, IDD_RESULTS }));
    // While the port dialog was up the fault line stood open.
    std::string atPortDialog = BodyAfterHeader(pilot.logAtAnswer[1]);
    EXPECT_EQ(atPortDialog, kAllFiles + Ansi(L"错误:Tavik QX2210-2370 连接到 LPT1:。"));
    EXPECT_EQ(pilot.seen(IDD_PORT_SETTINGS)->text(IDC_PORT_TEXT), L"Tavik QX2210-2370 的端口设置不正确。");
    EXPECT_EQ(BodyAfterHeader(LogAtResults(pilot)), atPortDialog + "\r\n" + kAborted + kSummaryWrong);
    EXPECT_EQ(app.runFlags, RUN_SETTING_WRONG);
    // The please-wait window was taken down before the results appeared.
    EXPECT_FALSE(pilot.waitDialogAtResults);
}

TEST(CheckSequence, MissingManifestIsLoggedAfterItsDialogAndSkipsTheManifestChecks)
{
    PortModeValue mode(kPort, nullptr);
    ScriptedApp app;
    app.manifestFile = 0;
    app.appPath = 3;         // not offered without the manifest
    app.statusWindow = 0;    // not checked without the manifest
    app.programFolder = 0;   // not checked without the manifest
    ScriptedPilot pilot({ kStart, { IDD_FILE_MISSING, A::press(IDC_MISSING_CONTINUE) }, kKeepResults }, &app);
    RunSequence(app, pilot);

    EXPECT_EQ(pilot.answered, (std::vector<UINT>{ IDD_START, IDD_FILE_MISSING, IDD_RESULTS }));
    std::wstring path = ManifestPath();
    const DialogSnapshot* missing = pilot.seen(IDD_FILE_MISSING);
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->text(IDC_MISSING_TEXT), ShortenPath(path) + L" 丢失。");
    EXPECT_EQ(missing->text(IDC_MISSING_REINSTALL), L"重新安装 Tavik QX2210-2370。");
    // Nothing was logged while the dialog was up; the line follows it, complete.
    EXPECT_EQ(BodyAfterHeader(pilot.logAtAnswer[1]), "");
    EXPECT_EQ(BodyAfterHeader(LogAtResults(pilot)),
              Line(L"错误:" + path + L" 丢失。") + kAllFiles + Line(L"Tavik QX2210-2370 连接到 LPT1:。") +
                  Line(L"Ondrix 设备驱动程序设置正确。") + Line(L"Tavik QX2210-2370 语言监视器已安装。") +
                  Line(L"Tavik QX2210-2370 打印机驱动程序设置正确。") +
                  Line(L"“Tavik QX2210-2370”打印机属性设置正确。") + kCompleted +
                  Line(L"LPT1:[local] 中 Tavik QX2210-2370 的设置不正确。重新安装 Tavik QX2210-2370。"));
    EXPECT_EQ(app.runFlags, RUN_COMPLETED | RUN_SETTING_WRONG | RUN_REINSTALL);
    EXPECT_FALSE(app.called(L"RepairAppPath(3)"));
}

TEST(CheckSequence, ExitInTheManifestDialogStillLogsTheMissingFile)
{
    ScriptedApp app;
    app.manifestFile = 0;
    ScriptedPilot pilot({ kStart, { IDD_FILE_MISSING, A::press(IDC_MISSING_EXIT) }, kKeepResults }, &app);
    RunSequence(app, pilot);
    EXPECT_EQ(BodyAfterHeader(LogAtResults(pilot)),
              Line(L"错误:" + ManifestPath() + L" 丢失。") + kAborted +
                  Line(L"LPT1:[local] 中 Tavik QX2210-2370 的设置不正确。重新安装 Tavik QX2210-2370。"));
}

TEST(CheckSequence, RepairWithoutAdministratorRightsShowsNoPermissionAndGoesOn)
{
    PortModeValue mode(kPort, nullptr);
    ScriptedApp app;
    app.adminRights = 0;
    app.languageMonitor = 5;
    ScriptedPilot pilot({ kStart, { IDD_LANG_MONITOR, A::press(IDC_LANGMON_YES) },
                          { IDD_NO_PERMISSION, A::press(IDC_NOPERM_CONTINUE) }, kKeepResults },
                        &app);
    RunSequence(app, pilot);

    EXPECT_EQ(pilot.answered,
              (std::vector<UINT>{ IDD_START, IDD_LANG_MONITOR, IDD_NO_PERMISSION, IDD_RESULTS }));
    EXPECT_EQ(pilot.seen(IDD_NO_PERMISSION)->text(IDC_NOPERM_TEXT), L"您没有执行这操作的权限。");
    EXPECT_FALSE(app.called(L"RepairLanguageMonitor(5)"));
    EXPECT_EQ(app.restartNeeded, 0);
    // "-- 未修正" before the permission notice; the checks after it ran.
    EXPECT_EQ(BodyAfterHeader(pilot.logAtAnswer[2]),
              kAllFiles + Line(L"Tavik QX2210-2370 连接到 LPT1:。") + Line(L"注册表设置正确。") +
                  Line(L"Ondrix 设备驱动程序设置正确。") + Ansi(L"错误:Tavik QX2210-2370 语言监视器未被安装。") +
                  Line(L"-- 未修正"));
    EXPECT_EQ(BodyAfterHeader(LogAtResults(pilot)),
              BodyAfterHeader(pilot.logAtAnswer[2]) + Line(L"Tavik QX2210-2370 打印机驱动程序设置正确。") +
                  Line(L"Tavik QX2210-2370 状态窗口已安装。") + Line(L"“Tavik QX2210-2370”打印机属性设置正确。") +
                  Line(L"Tavik QX2210-2370 的程序文件夹设置正确。") + kCompleted + kSummaryWrong);
}

TEST(CheckSequence, ExitInNoPermissionFinishesWithoutAnotherLine)
{
    ScriptedApp app;
    app.adminRights = 0;
    app.printerDriver = 2;
    ScriptedPilot pilot({ kStart, { IDD_DRIVER_SETTINGS, A::press(IDC_DRIVER_YES) },
                          { IDD_NO_PERMISSION, A::press(IDC_NOPERM_EXIT) }, kKeepResults },
                        &app);
    RunSequence(app, pilot);
    EXPECT_EQ(pilot.seen(IDD_DRIVER_SETTINGS)->text(IDC_DRIVER_TEXT), L"Tavik QX2210-2370 打印机驱动程序设置不正确。");
    std::string body = BodyAfterHeader(LogAtResults(pilot));
    std::string tail = Line(L"错误:Tavik QX2210-2370 打印机驱动程序设置不正确。-- 未修正") + kAborted + kSummaryWrong;
    ASSERT_GE(body.size(), tail.size());
    EXPECT_EQ(body.substr(body.size() - tail.size()), tail);
    EXPECT_FALSE(app.called(L"RepairPrinterDriver(2)"));
}

TEST(CheckSequence, PortDriverServiceStoppedAndMisconfiguredShowsItsDialogTwice)
{
    PortModeValue mode(kPort, nullptr);
    ScriptedApp app;
    app.portDriverService = 0x1000 | 0x0024;
    ScriptedPilot pilot({ kStart, { IDD_ONDRIX_DRIVER, A::press(IDC_ONDRIX_YES) },
                          { IDD_ONDRIX_DRIVER, A::press(IDC_ONDRIX_NO) }, kKeepResults,
                          { IDD_FINISH, A::press(IDC_FINISH_RETURN) } },
                        &app);
    RunSequence(app, pilot);

    EXPECT_EQ(pilot.answered, (std::vector<UINT>{ IDD_START, IDD_ONDRIX_DRIVER, IDD_ONDRIX_DRIVER, IDD_RESULTS,
                                                  IDD_FINISH }));
    EXPECT_EQ(pilot.seen(IDD_ONDRIX_DRIVER, 0)->text(IDC_ONDRIX_TEXT), L"Ondrix 设备驱动程序没有运行。");
    EXPECT_EQ(pilot.seen(IDD_ONDRIX_DRIVER, 1)->text(IDC_ONDRIX_TEXT), L"Ondrix 设备驱动程序的配置不正确。");
    EXPECT_TRUE(pilot.seen(IDD_ONDRIX_DRIVER, 0)->enabled(IDC_ONDRIX_YES));
    EXPECT_EQ(app.calls, (std::vector<std::wstring>{ L"RepairPortDriverService(4096)" }));
    EXPECT_EQ(app.restartNeeded, 1);
    std::string service = Line(L"错误:Ondrix 设备驱动程序没有运行。-- 已修正") +
                          Line(L"错误:Ondrix 设备驱动程序的配置不正确。-- 未修正");
    std::string log = LogAtResults(pilot);
    EXPECT_NE(log.find(Line(L"注册表设置正确。") + service + Line(L"Tavik QX2210-2370 语言监视器已安装。")),
              std::string::npos)
        << log;
    // The return to Windows is noted in the saved file.
    EXPECT_EQ(ReadBytes(app.savedResultPath), log + Line(L"返回 Windows。"));
}

TEST(CheckSequence, DisabledPortDriverGetsItsStartTypeRepairedToo)
{
    ScriptedApp app;
    app.portDriverService = 0x2000;
    ScriptedPilot pilot({ kStart, { IDD_ONDRIX_DRIVER, A::press(IDC_ONDRIX_YES) }, kKeepResults,
                          { IDD_FINISH, A::press(IDC_FINISH_RETURN) } },
                        &app);
    RunSequence(app, pilot);
    EXPECT_EQ(pilot.seen(IDD_ONDRIX_DRIVER)->text(IDC_ONDRIX_TEXT), L"Ondrix 设备驱动程序被禁用。");
    EXPECT_EQ(app.calls, (std::vector<std::wstring>{ L"RepairPortDriverService(8192)", L"RepairPortDriverService(8)" }));
    EXPECT_NE(LogAtResults(pilot).find(Line(L"错误:Ondrix 设备驱动程序被禁用。-- 已修正")), std::string::npos);
}

TEST(CheckSequence, PortChoiceCancelledBringsThePortDialogBack)
{
    PortModeValue mode(kPort, nullptr);
    ScriptedApp app;
    app.portPresent = 0;
    app.portMissingOnFault = 1;
    ScriptedPilot pilot({ kStart, { IDD_PORT_SETTINGS, A::press(IDC_PORT_YES) },
                          { IDD_SELECT_PORT, A::press(IDCANCEL) }, { IDD_PORT_SETTINGS, A::press(IDC_PORT_NO) },
                          { IDD_ONDRIX_DRIVER, A::press(IDC_ONDRIX_NO) }, kKeepResults },
                        &app);
    app.portDriverService = 0x1000;
    RunSequence(app, pilot);

    EXPECT_EQ(pilot.answered, (std::vector<UINT>{ IDD_START, IDD_PORT_SETTINGS, IDD_SELECT_PORT, IDD_PORT_SETTINGS,
                                                  IDD_ONDRIX_DRIVER, IDD_RESULTS }));
    // The port is still missing: the port-driver repair is not offered.
    EXPECT_EQ(app.portMissing, 1);
    EXPECT_FALSE(pilot.seen(IDD_ONDRIX_DRIVER)->enabled(IDC_ONDRIX_YES));
    // One fault line, completed once; no port mode line after a port fault.
    EXPECT_EQ(BodyAfterHeader(LogAtResults(pilot)),
              kAllFiles + Line(L"错误:Tavik QX2210-2370 连接到 LPT1:。-- 未修正") + Line(L"注册表设置正确。") +
                  Line(L"错误:Ondrix 设备驱动程序没有运行。-- 未修正") + Line(L"Tavik QX2210-2370 语言监视器已安装。") +
                  Line(L"Tavik QX2210-2370 打印机驱动程序设置正确。") + Line(L"Tavik QX2210-2370 状态窗口已安装。") +
                  Line(L"“Tavik QX2210-2370”打印机属性设置正确。") + Line(L"Tavik QX2210-2370 的程序文件夹设置正确。") +
                  kCompleted + kSummaryWrong);
}

// Which rows a local port of each class gets. Every check that is skipped for the class is
// scripted as a fault, so that running it would show its dialog; every check that runs is
// sound and writes its "correct" line.
TEST(CheckSequence, PortClassDecidesWhichChecksRun)
{
    struct Case {
        const wchar_t* port;
        int RunFacts::*flag;
        bool portDriverChecked;
        bool attributesChecked;
    };
    const Case cases[] = {
        { L"USB001", &RunFacts::usbPort, false, true },
        { L"LPT_USB1", &RunFacts::usbLptPort, false, true },
        { L"MONPORT1:", &RunFacts::compliantPort, false, true },
        { L"COM1:", &RunFacts::otherPort, true, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Ansi(c.port));
        DWORD bidirectional = 1;
        PortModeValue mode(c.port, &bidirectional);
        ScriptedApp app;
        app.classify = [&c](ScriptedApp& a) {
            a.portName = c.port;
            a.portNumber = 0;
            a.facts.*c.flag = 1;
        };
        app.portDriverService = c.portDriverChecked ? 0u : unsigned(PDS_NOT_RUNNING);
        app.bidiSupport = c.attributesChecked ? 1 : 0;
        app.holdMismatched = c.attributesChecked ? 1 : 0;
        app.printServer = 0;  // the network checks are never made for a local port
        ScriptedPilot pilot({ kStart, kKeepResults }, &app);
        RunSequence(app, pilot);

        EXPECT_EQ(pilot.answered, (std::vector<UINT>{ IDD_START, IDD_RESULTS }));
        EXPECT_EQ(pilot.created, (std::vector<UINT>{ IDD_CHECKING_SYSTEM }));
        EXPECT_TRUE(app.calls.empty()) << Ansi(app.calls.front());
        EXPECT_EQ(app.runFlags, RUN_COMPLETED);
        std::wstring port = c.port;
        EXPECT_EQ(BodyAfterHeader(LogAtResults(pilot)),
                  kAllFiles + Line(L"Tavik QX2210-2370 连接到 " + port + L"。") + Line(L"双向") +
                      Line(L"注册表设置正确。") +
                      (c.portDriverChecked ? Line(L"Ondrix 设备驱动程序设置正确。") : std::string()) +
                      Line(L"Tavik QX2210-2370 语言监视器已安装。") + Line(L"Tavik QX2210-2370 打印机驱动程序设置正确。") +
                      Line(L"Tavik QX2210-2370 状态窗口已安装。") + Line(L"“Tavik QX2210-2370”打印机属性设置正确。") +
                      Line(L"Tavik QX2210-2370 的程序文件夹设置正确。") + kCompleted +
                      Line(port + L"[local] 中 Tavik QX2210-2370 的设置正确。"));
    }
}

// Yes in the wrong-port dialog and OK in the port choice: the printer really moves, the
// line is completed as fixed, the port-driver repair is offered again, and the summary
// names the port the printer had when the run began.
TEST(CheckSequence, AcceptedPortChangeIsFixedAndTheSummaryNamesThePreviousPort)
{
    PortModeValue lpt1(L"LPT1:", nullptr);
    PortModeValue lpt2(L"LPT2:", nullptr);
    ParallelPortMap map({ { L"\\Device\\Parallel0", L"\\DosDevices\\LPT1" },
                          { L"\\Device\\Parallel1", L"\\DosDevices\\LPT2" } });
    // Puts the installed printer back on its port afterwards.
    PrinterChange restore(kTavikPrinter, &PRINTER_INFO_2W::pPortName, L"LPT1:");
    ScriptedApp app;
    app.portPresent = 0;
    app.portMissingOnFault = 1;
    app.portDriverService = PDS_NOT_RUNNING;
    ScriptedPilot pilot({ kStart, { IDD_PORT_SETTINGS, A::press(IDC_PORT_YES) },
                          { IDD_SELECT_PORT, A::select(IDC_PORT_LIST, L"LPT2:") },
                          { IDD_SELECT_PORT, A::press(IDOK) }, { IDD_ONDRIX_DRIVER, A::press(IDC_ONDRIX_NO) },
                          kKeepResults },
                        &app);
    RunSequence(app, pilot);

    EXPECT_EQ(pilot.answered, (std::vector<UINT>{ IDD_START, IDD_PORT_SETTINGS, IDD_SELECT_PORT, IDD_SELECT_PORT,
                                                  IDD_ONDRIX_DRIVER, IDD_RESULTS }));
    EXPECT_EQ(SpoolerPort(kTavikPrinter), std::optional<std::wstring>(L"LPT2:"));
    EXPECT_EQ(app.portName, L"LPT2:");
    EXPECT_EQ(app.previousPortName, L"LPT1:");
    EXPECT_EQ(app.portNumber, 2);
    // The port is no longer missing: the port-driver dialog offers its repair.
    EXPECT_EQ(app.portMissing, 0);
    ASSERT_NE(pilot.seen(IDD_ONDRIX_DRIVER), nullptr);
    EXPECT_TRUE(pilot.seen(IDD_ONDRIX_DRIVER)->enabled(IDC_ONDRIX_YES));
    EXPECT_EQ(app.restartNeeded, 0);
    EXPECT_EQ(BodyAfterHeader(LogAtResults(pilot)),
              kAllFiles + Line(L"错误:Tavik QX2210-2370 连接到 LPT1:。-- 已修正") + Line(L"注册表设置正确。") +
                  Line(L"错误:Ondrix 设备驱动程序没有运行。-- 未修正") + Line(L"Tavik QX2210-2370 语言监视器已安装。") +
                  Line(L"Tavik QX2210-2370 打印机驱动程序设置正确。") + Line(L"Tavik QX2210-2370 状态窗口已安装。") +
                  Line(L"“Tavik QX2210-2370”打印机属性设置正确。") + Line(L"Tavik QX2210-2370 的程序文件夹设置正确。") +
                  kCompleted + kSummaryWrong);
}

TEST(CheckSequence, NetworkPrinterWithUnreachableServerSkipsThePrinterCheck)
{
    ScriptedApp app;
    app.classify = RedirectedToShare;
    app.printServer = 0;
    app.portPresent = 0;        // not checked for a network connection
    app.portDriverService = 1;  // not checked for a network connection
    app.bidiSupport = 0;        // not checked for a network connection
    ScriptedPilot pilot({ kStart, { IDD_SERVER_ERROR, A::press(IDC_SERVER_CONTINUE) }, kKeepResults }, &app);
    RunSequence(app, pilot);

    EXPECT_EQ(pilot.answered, (std::vector<UINT>{ IDD_START, IDD_SERVER_ERROR, IDD_RESULTS }));
    EXPECT_EQ(pilot.created, (std::vector<UINT>{ IDD_CHECKING_SYSTEM, IDD_CHECKING_NETWORK }));
    EXPECT_EQ(app.calls, (std::vector<std::wstring>{ L"CheckPrintServer" }));
    EXPECT_EQ(app.runFlags, RUN_COMPLETED | RUN_NETWORK_FAULT);
    EXPECT_EQ(BodyAfterHeader(LogAtResults(pilot)),
              kAllFiles + Line(L"注册表设置正确。") + Line(L"Tavik QX2210-2370 语言监视器已安装。") +
                  Line(L"Tavik QX2210-2370 打印机驱动程序设置正确。") + Line(L"Tavik QX2210-2370 状态窗口已安装。") +
                  Line(L"Tavik QX2210-2370 的程序文件夹设置正确。") +
                  Ansi(L"网络错误:无法访问打印服务器 srv。") + "\r\n" + kCompleted +
                  Line(L"LPT1:[\\\\srv\\q] 中 Tavik QX2210-2370 的网络设置不正确。"));
    EXPECT_FALSE(pilot.waitDialogAtResults);
}

TEST(CheckSequence, ServerPrinterReachableLogsAllNetworkSettingsCorrect)
{
    ScriptedApp app;
    app.classify = [](ScriptedApp& a) {
        a.networkConnection = 1;
        a.remotePrinter = 1;
        a.portName = L"\\\\srv\\q";
        lstrcpyW(a.networkPath, L"\\\\srv\\q");
        a.serverName = L"srv";
    };
    app.languageMonitor = 3;  // not checked for a server's printer
    ScriptedPilot pilot({ kStart, kKeepResults }, &app);
    RunSequence(app, pilot);
    EXPECT_EQ(app.calls, (std::vector<std::wstring>{ L"CheckPrintServer", L"CheckNetworkPrinter" }));
    EXPECT_EQ(BodyAfterHeader(LogAtResults(pilot)),
              kAllFiles + Line(L"注册表设置正确。") + Line(L"Tavik QX2210-2370 打印机驱动程序设置正确。") +
                  Line(L"Tavik QX2210-2370 状态窗口已安装。") + Line(L"Tavik QX2210-2370 的程序文件夹设置正确。") +
                  Line(L"所有网络设置正确。") + kCompleted + Line(L"\\\\srv\\q 中 Tavik QX2210-2370 的设置正确。"));
}

TEST(CheckSequence, UnreachableNetworkPrinterAndExitThere)
{
    ScriptedApp app;
    app.classify = RedirectedToShare;
    app.networkPrinter = 0;
    ScriptedPilot pilot({ kStart, { IDD_NET_PRINTER_ERROR, A::press(IDC_NETPRN_EXIT) }, kKeepResults }, &app);
    RunSequence(app, pilot);
    EXPECT_EQ(pilot.seen(IDD_NET_PRINTER_ERROR)->text(IDC_NETPRN_TEXT), L"无法访问网络打印机 \\\\srv\\q。");
    std::string body = BodyAfterHeader(LogAtResults(pilot));
    std::string tail = Line(L"网络错误:无法访问网络打印机 \\\\srv\\q。") + kAborted +
                       Line(L"LPT1:[\\\\srv\\q] 中 Tavik QX2210-2370 的网络设置不正确。");
    ASSERT_GE(body.size(), tail.size());
    EXPECT_EQ(body.substr(body.size() - tail.size()), tail);
    EXPECT_FALSE(pilot.waitDialogAtResults);
}

TEST(CheckSequence, RegistryDamageSkipsTheProgramPathAndNeedsReinstalling)
{
    ScriptedApp app;
    app.printerRegistry = 0;
    app.appPath = 1;
    ScriptedPilot pilot({ kStart, { IDD_REGISTRY_REINSTALL, A::press(IDC_REGREINST_CONTINUE) }, kKeepResults }, &app);
    RunSequence(app, pilot);
    EXPECT_EQ(pilot.answered, (std::vector<UINT>{ IDD_START, IDD_REGISTRY_REINSTALL, IDD_RESULTS }));
    std::string log = LogAtResults(pilot);
    EXPECT_NE(log.find(Line(L"错误:注册表设置不正确。") + Line(L"Ondrix 设备驱动程序设置正确。")), std::string::npos);
    EXPECT_NE(log.find(kCompleted + Line(L"LPT1:[local] 中 Tavik QX2210-2370 的设置不正确。重新安装 Tavik QX2210-2370。")),
              std::string::npos);
}

TEST(CheckSequence, EveryRepairRunsWithItsCodeAndOnlyTheRightOnesNeedARestart)
{
    PortModeValue mode(kPort, nullptr);
    std::vector<ManifestItem> items = ReadManifestItems(kGroupsSection);
    std::wstring item;
    for (const ManifestItem& i : items)
        if (!i.name.empty() && item.empty())
            item = i.name;
    ASSERT_FALSE(item.empty()) << "the installed manifest lists no program folder item";

    ScriptedApp app;
    app.appPath = 6;
    app.printerDriver = 9;
    app.statusWindow = 0;
    app.bidiSupport = 0;
    app.holdMismatched = 0;
    app.programFolder = 0;
    app.missingItems = { item };
    ScriptedPilot pilot({ kStart, { IDD_REGISTRY_FIX, A::press(IDC_REGFIX_YES) },
                          { IDD_DRIVER_SETTINGS, A::press(IDC_DRIVER_YES) },
                          { IDD_STATUS_WINDOW, A::press(IDC_STATUSWND_YES) }, { IDD_BIDI, A::press(IDC_BIDI_YES) },
                          { IDD_HOLD_MISMATCHED, A::press(IDC_HOLD_NO) },
                          { IDD_PROGRAM_FOLDER, A::press(IDC_FOLDER_YES) }, { IDD_FOLDER_ITEM, A::press(IDC_ITEM_YES) },
                          kKeepResults, { IDD_FINISH, A::press(IDC_FINISH_RETURN) } },
                        &app);
    RunSequence(app, pilot);

    EXPECT_EQ(pilot.seen(IDD_FOLDER_ITEM)->text(IDC_ITEM_TEXT), L"“" + item + L"”的程序文件夹项目不存在。");
    ASSERT_GE(app.calls.size(), 6u);
    EXPECT_EQ(app.calls[0], L"RepairAppPath(6)");
    EXPECT_EQ(app.calls[1], L"RepairPrinterDriver(9)");
    EXPECT_EQ(app.calls[2], L"RepairStatusWindow");
    EXPECT_EQ(app.calls[3], L"EnableBidiSupport");
    EXPECT_FALSE(app.called(L"DisableHoldMismatchedDocuments"));
    // The folder dialog's own Yes created the folder; then the missing item was created.
    EXPECT_TRUE(app.called(L"CreateProgramFolder"));
    for (const ManifestItem& i : items) {
        if (i.name == item) {
            EXPECT_TRUE(app.called(L"CreateProgramItem(" + i.file + L"," + item + L")"));
        }
    }
    EXPECT_EQ(app.restartNeeded, 1);

    std::string log = LogAtResults(pilot);
    std::string expected =
        Line(L"错误:注册表设置不正确。-- 已修正") + Line(L"Ondrix 设备驱动程序设置正确。") +
        Line(L"Tavik QX2210-2370 语言监视器已安装。") + Line(L"错误:Tavik QX2210-2370 打印机驱动程序设置不正确。-- 已修正") +
        Line(L"错误:Tavik QX2210-2370 状态窗口未被安装。-- 已修正") +
        Line(L"错误:“Tavik QX2210-2370”的双向支持设置被禁用。-- 已修正") +
        Line(L"错误:启用“Tavik QX2210-2370”的“保留不匹配文档”设置。-- 未修正") +
        Line(L"错误:Tavik QX2210-2370 的程序文件夹不存在。-- 已修正") +
        Line(L"错误:“" + item + L"”的程序文件夹项目不存在。-- 已修正") + kCompleted + kSummaryWrong;
    EXPECT_EQ(BodyAfterHeader(log), kAllFiles + Line(L"Tavik QX2210-2370 连接到 LPT1:。") + expected);
}

// A program item the repair cannot create (its manifest entry is damaged) stays not fixed.
TEST(CheckSequence, ProgramItemThatCannotBeCreatedIsNotFixed)
{
    PortModeValue mode(kPort, nullptr);
    std::wstring item;
    for (const ManifestItem& i : ReadManifestItems(kGroupsSection))
        if (item.empty())
            item = i.name;
    ASSERT_FALSE(item.empty()) << "the installed manifest lists no program folder item";
    ScriptedApp app;
    app.missingItems = { item };
    app.refusedItems = { item };
    ScriptedPilot pilot({ kStart, { IDD_FOLDER_ITEM, A::press(IDC_ITEM_YES) }, kKeepResults }, &app);
    RunSequence(app, pilot);
    std::string log = BodyAfterHeader(LogAtResults(pilot));
    EXPECT_NE(log.find(Line(L"错误:“" + item + L"”的程序文件夹项目不存在。-- 未修正") + kCompleted), std::string::npos)
        << log;
    EXPECT_EQ(app.restartNeeded, 0);
}

// The first missing item answered No, the second Exit: each got its own line, the second
// left open by Exit, and the folder is not reported correct.
TEST(CheckSequence, TwoMissingProgramItemsAnsweredNoThenExit)
{
    PortModeValue mode(kPort, nullptr);
    std::vector<std::wstring> names;
    for (const ManifestItem& i : ReadManifestItems(kGroupsSection))
        if (!i.name.empty())
            names.push_back(i.name);
    ASSERT_GE(names.size(), 2u) << "the installed manifest lists fewer than two program folder items";
    ScriptedApp app;
    app.missingItems = { names[0], names[1] };
    ScriptedPilot pilot({ kStart, { IDD_FOLDER_ITEM, A::press(IDC_ITEM_NO) }, { IDD_FOLDER_ITEM, A::press(IDC_ITEM_EXIT) },
                          kKeepResults },
                        &app);
    RunSequence(app, pilot);

    EXPECT_EQ(pilot.answered, (std::vector<UINT>{ IDD_START, IDD_FOLDER_ITEM, IDD_FOLDER_ITEM, IDD_RESULTS }));
    EXPECT_EQ(pilot.seen(IDD_FOLDER_ITEM, 0)->text(IDC_ITEM_TEXT), L"“" + names[0] + L"”的程序文件夹项目不存在。");
    EXPECT_EQ(pilot.seen(IDD_FOLDER_ITEM, 1)->text(IDC_ITEM_TEXT), L"“" + names[1] + L"”的程序文件夹项目不存在。");
    EXPECT_TRUE(app.calls.empty()) << Ansi(app.calls.front());
    EXPECT_EQ(app.runFlags, RUN_SETTING_WRONG);
    const std::string before = kAllFiles + Line(L"Tavik QX2210-2370 连接到 LPT1:。") + Line(L"注册表设置正确。") +
                               Line(L"Ondrix 设备驱动程序设置正确。") + Line(L"Tavik QX2210-2370 语言监视器已安装。") +
                               Line(L"Tavik QX2210-2370 打印机驱动程序设置正确。") +
                               Line(L"Tavik QX2210-2370 状态窗口已安装。") +
                               Line(L"“Tavik QX2210-2370”打印机属性设置正确。");
    const std::string first = Line(L"错误:“" + names[0] + L"”的程序文件夹项目不存在。-- 未修正");
    const std::string second = Ansi(L"错误:“" + names[1] + L"”的程序文件夹项目不存在。");
    // While the second dialog was up, the first line was complete and the second open.
    EXPECT_EQ(BodyAfterHeader(pilot.logAtAnswer[2]), before + first + second);
    EXPECT_EQ(BodyAfterHeader(LogAtResults(pilot)), before + first + second + "\r\n" + kAborted + kSummaryWrong);
}

// A status-window or program-folder repair that created nothing (its manifest entry was
// refused) is not reported as fixed, and asks for no restart.
TEST(CheckSequence, RefusedStatusWindowAndFolderRepairsAreNotFixed)
{
    PortModeValue mode(kPort, nullptr);
    ScriptedApp app;
    app.statusWindow = 0;
    app.repairsStatusWindow = 0;
    app.programFolder = 0;
    app.createsProgramFolder = 0;
    ScriptedPilot pilot({ kStart, { IDD_STATUS_WINDOW, A::press(IDC_STATUSWND_YES) },
                          { IDD_PROGRAM_FOLDER, A::press(IDC_FOLDER_YES) }, kKeepResults },
                        &app);
    RunSequence(app, pilot);

    EXPECT_EQ(pilot.answered, (std::vector<UINT>{ IDD_START, IDD_STATUS_WINDOW, IDD_PROGRAM_FOLDER, IDD_RESULTS }));
    EXPECT_EQ(app.calls, (std::vector<std::wstring>{ L"RepairStatusWindow", L"CreateProgramFolder" }));
    EXPECT_EQ(app.restartNeeded, 0);
    EXPECT_EQ(BodyAfterHeader(LogAtResults(pilot)),
              kAllFiles + Line(L"Tavik QX2210-2370 连接到 LPT1:。") + Line(L"注册表设置正确。") +
                  Line(L"Ondrix 设备驱动程序设置正确。") + Line(L"Tavik QX2210-2370 语言监视器已安装。") +
                  Line(L"Tavik QX2210-2370 打印机驱动程序设置正确。") +
                  Line(L"错误:Tavik QX2210-2370 状态窗口未被安装。-- 未修正") +
                  Line(L"“Tavik QX2210-2370”打印机属性设置正确。") +
                  Line(L"错误:Tavik QX2210-2370 的程序文件夹不存在。-- 未修正") + kCompleted + kSummaryWrong);
}

TEST(CheckSequence, RepairsThatNeedNoRestartNeverShowTheFinishDialog)
{
    ScriptedApp app;
    app.appPath = 2;
    app.languageMonitor = 1;
    ScriptedPilot pilot({ kStart, { IDD_REGISTRY_FIX, A::press(IDC_REGFIX_YES) },
                          { IDD_LANG_MONITOR, A::press(IDC_LANGMON_NO) }, kKeepResults },
                        &app);
    RunSequence(app, pilot);
    EXPECT_EQ(pilot.answered, (std::vector<UINT>{ IDD_START, IDD_REGISTRY_FIX, IDD_LANG_MONITOR, IDD_RESULTS }));
    EXPECT_EQ(app.restartNeeded, 0);
}

TEST(CheckSequence, NoInTheStartDialogLogsNothing)
{
    ScriptedApp app;
    ScriptedPilot pilot({ { IDD_START, A::press(IDC_START_NO) } }, &app);
    RunSequence(app, pilot);
    EXPECT_EQ(pilot.answered, (std::vector<UINT>{ IDD_START }));
    EXPECT_TRUE(pilot.created.empty());
    EXPECT_FALSE(FileExists(app.logFilePath));
}

TEST(CheckSequence, StoppedSpoolerShowsItsNoticeOnly)
{
    ScriptedApp app;
    app.spoolerRunning = 0;
    ScriptedPilot pilot({ { IDD_SPOOLER_STOPPED, A::press(IDOK) } }, &app);
    RunSequence(app, pilot);
    EXPECT_EQ(pilot.answered, (std::vector<UINT>{ IDD_SPOOLER_STOPPED }));
    EXPECT_EQ(pilot.seen(IDD_SPOOLER_STOPPED)->text(IDC_SPOOLER_TEXT1), L"后台打印服务没有运行。");
    EXPECT_FALSE(FileExists(app.logFilePath));
}

// The finish dialog's two ways out, after a repair that needs a restart.
struct RestartRun {
    ScriptedApp app;
    std::unique_ptr<ScriptedPilot> pilot;

    RestartRun(std::vector<AutopilotAction> results, int finish, int privilege)
    {
        app.bidiSupport = 0;
        app.enablePrivilege = privilege;
        std::vector<ScriptStep> script = { kStart, { IDD_BIDI, A::press(IDC_BIDI_YES) } };
        for (const AutopilotAction& action : results)
            script.push_back({ IDD_RESULTS, action });
        script.push_back({ IDD_FINISH, A::press(finish) });
        pilot = std::make_unique<ScriptedPilot>(script, &app);
        RunSequence(app, *pilot);
    }
};

const std::string kRestarting = Line(L"重新启动 Windows。");

TEST(FinishRun, RestartNotesItInTheSavedLogAndRestartsWithThePrivilege)
{
    RestartRun run({ A::press(IDOK) }, IDC_FINISH_RESTART, 1);
    const DialogSnapshot* finish = run.pilot->seen(IDD_FINISH);
    ASSERT_NE(finish, nullptr);
    EXPECT_EQ(finish->text(IDC_FINISH_TEXT2), L"需要重新启动 Windows 以便使修改的设定生效。");
    EXPECT_EQ(ReadBytes(run.app.savedResultPath), LogAtResults(*run.pilot) + kRestarting);
    EXPECT_EQ(run.app.calls, (std::vector<std::wstring>{ L"EnableBidiSupport", L"EnablePrivilege(SeShutdownPrivilege)",
                                                         L"RestartWindows", L"DisablePrivilege(SeShutdownPrivilege)" }));
}

TEST(FinishRun, WithoutThePrivilegeWindowsIsNotRestartedButThePrivilegeIsDropped)
{
    RestartRun run({ A::press(IDOK) }, IDC_FINISH_RESTART, 0);
    EXPECT_FALSE(run.app.called(L"RestartWindows"));
    EXPECT_TRUE(run.app.called(L"DisablePrivilege(SeShutdownPrivilege)"));
    EXPECT_EQ(ReadBytes(run.app.savedResultPath), LogAtResults(*run.pilot) + kRestarting);
}

TEST(FinishRun, ReturnNotesItAndDoesNotTouchThePrivilege)
{
    RestartRun run({ A::press(IDOK) }, IDC_FINISH_RETURN, 1);
    EXPECT_EQ(ReadBytes(run.app.savedResultPath), LogAtResults(*run.pilot) + Line(L"返回 Windows。"));
    EXPECT_EQ(run.app.calls, (std::vector<std::wstring>{ L"EnableBidiSupport" }));
}

TEST(FinishRun, DiscardedResultsGetNoRestartLineAndTheRestartStillHappens)
{
    // Unchecking "保存结果(&S)" and OK deletes the log; the proposed name names no file.
    RestartRun run({ A::press(IDC_RESULTS_SAVE), A::press(IDOK) }, IDC_FINISH_RESTART, 1);
    ASSERT_NE(run.app.savedResultPath[0], L'\0');
    EXPECT_FALSE(FileExists(run.app.savedResultPath));
    EXPECT_TRUE(run.app.called(L"RestartWindows"));
}

TEST(FinishRun, DiscardedResultsUnderTheNameOfAnExistingFileLeaveThatFileAlone)
{
    // The user named a file of their own and then chose not to keep the log: the restart
    // decision is not written into that file, and Windows still restarts.
    std::wstring existing = TempFolder() + L"test_app_existing.txt";
    for (int finish : { IDC_FINISH_RESTART, IDC_FINISH_RETURN }) {
        {
            UniqueFile file(CreateFileW(existing.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
            DWORD written = 0;
            WriteFile(file.get(), "x\r\n", 3, &written, nullptr);
        }
        ScriptedApp app;
        app.bidiSupport = 0;
        ScriptedPilot pilot({ kStart, { IDD_BIDI, A::press(IDC_BIDI_YES) },
                              { IDD_RESULTS, A::setText(IDC_RESULTS_FILE_NAME, existing) },
                              { IDD_RESULTS, A::press(IDC_RESULTS_SAVE) }, { IDD_RESULTS, A::press(IDOK) },
                              { IDD_FINISH, A::press(finish) } },
                            &app);
        RunSequence(app, pilot);
        EXPECT_EQ(std::wstring(app.savedResultPath), existing);
        EXPECT_EQ(ReadBytes(existing), "x\r\n");
        EXPECT_EQ(app.called(L"RestartWindows"), finish == IDC_FINISH_RESTART);
    }
    DeleteFileW(existing.c_str());
}

TEST(FinishRun, EscInTheResultsDialogStillOffersTheRestart)
{
    RestartRun run({ A::press(IDCANCEL) }, IDC_FINISH_RESTART, 1);
    EXPECT_EQ(run.app.savedResultPath[0], L'\0');
    EXPECT_TRUE(run.app.called(L"RestartWindows"));
    EXPECT_FALSE(FileExists(run.app.logFilePath));
}

}  // namespace
