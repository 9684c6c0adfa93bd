// The start dialog against the real dialog manager and the prefix's spooler: the printer
// list, the classification of the chosen printer's port, the log header in code page 936,
// the help path, and how each way out ends the dialog.
#include "app/system_utility.h"
#include "checks/port_fixtures.h"
#include "dialog_steps.h"
#include "dialogs/start_dialog.h"
#include "res/resource.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <string>

namespace {

const wchar_t kTitle[] = L"Tavik QX2210-2370 疑难解答";

// The header's Chinese parts in code page 936.
const std::string kIn = "\x20\xd6\xd0\x20";  // " 中 "
const std::string kTroubleshooting = "\x20\xb5\xc4\xd2\xc9\xc4\xd1\xbd\xe2\xb4\xf0\x20\x2d\x20";  // " 的疑难解答 - "
const std::string kFreeDisk = "\xbf\xc9\xd3\xc3\xb5\xc4\xb4\xc5\xc5\xcc\xbf\xd5\xbc\xe4";  // 可用的磁盘空间
const std::string kFreeMemory = "\xbf\xc9\xd3\xc3\xb5\xc4\xc4\xda\xb4\xe6";  // 可用的内存

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// "date time" of now as the header writes it.
std::string Now()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    now.wMilliseconds = 0;
    wchar_t date[64] = {}, time[64] = {};
    GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date, 64);
    GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &now, nullptr, time, 64);
    return Ansi(std::wstring(date) + L" " + time);
}

bool IsNumber(const std::wstring& text)
{
    if (text.empty())
        return false;
    for (wchar_t c : text)
        if (!iswdigit(c))
            return false;
    return true;
}

StepPilot::Step Select(const std::wstring& printer)
{
    return [printer](const DialogSnapshot&) {
        return std::optional<AutopilotAction>(AutopilotAction::select(IDC_PRINTER_LIST, printer));
    };
}

// Hands the dialog to its own message loop, where posted keys arrive.
StepPilot::Step Leave()
{
    return [](const DialogSnapshot&) { return std::optional<AutopilotAction>(AutopilotAction::leave()); };
}

void CALLBACK GiveUp(HWND dialog, UINT, UINT_PTR, DWORD)
{
    EndDialog(dialog, -2);
}

// A key as the dialog's message loop receives it, with a time limit in case nothing ends it.
StepPilot::Step PostKey(const CDialog& dialog, WPARAM key)
{
    return Do([&dialog, key](const DialogSnapshot&) {
        SetTimer(dialog.hwnd(), 1, 10000, GiveUp);
        PostMessageW(dialog.GetDlgItem(IDC_PRINTER_LIST), WM_KEYDOWN, key, 0);
        PostMessageW(dialog.GetDlgItem(IDC_PRINTER_LIST), WM_KEYUP, key, 0xC0000000);
    });
}

class StartDialog : public ::testing::Test {
protected:
    StartDialog()
    {
        wchar_t folder[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, folder);
        log_ = std::wstring(folder) + L"chk_start_dialog.tmp";
        DeleteFileW(log_.c_str());
        lstrcpyW(app_.logFilePath, log_.c_str());
    }
    ~StartDialog() override { DeleteFileW(log_.c_str()); }

    INT_PTR Run(StepPilot& pilot)
    {
        pilot.windows = windows_;
        ScopedAutopilot flying(pilot);
        return dialog_.DoModal();
    }

    // The three header lines for the port text and the figures the dialog showed.
    std::string Header(const std::string& portText, const DialogSnapshot& shown, const std::string& when) const
    {
        return portText + kIn + "Tavik QX2210-2370" + kTroubleshooting + when + "\r\n" + kFreeDisk + ": " +
               Ansi(shown.text(IDC_DISK_SPACE)) + "MB\r\n" + kFreeMemory + ": " + Ansi(shown.text(IDC_MEMORY)) +
               "KB\r\n";
    }

    // Runs the dialog: chooses `printer`, then answers Yes; the log's bytes must be the header
    // with `portText`.
    void ConfirmAndExpectHeader(const std::wstring& printer, const std::string& portText)
    {
        StepPilot pilot({ Select(printer), Press(IDC_START_YES) });
        std::string before = Now();
        ASSERT_EQ(Run(pilot), IDC_START_YES);
        std::string after = Now();
        ASSERT_FALSE(pilot.seen.empty());
        std::string log = ReadBytes(log_);
        if (log != Header(portText, pilot.seen.back(), after)) {
            EXPECT_EQ(log, Header(portText, pilot.seen.back(), before));
        }
    }

    RecordingApp app_;
    CStartDlg dialog_;
    std::wstring log_;
    bool windows_ = true;  // false: answered from the dialog's content, with no window made
};

// The rows that hold whether the dialog is answered in its window or from its content.
class StartDialogEitherWay : public StartDialog, public ::testing::WithParamInterface<bool> {
protected:
    StartDialogEitherWay() { windows_ = GetParam(); }
};

}  // namespace

TEST_F(StartDialog, TemplateTextsAndSize)
{
    bool sized = false;
    HICON icon = nullptr;
    StepPilot pilot({ Do([&](const DialogSnapshot&) {
                          sized = ClientAreaIs(dialog_.hwnd(), 230, 199);
                          icon = reinterpret_cast<HICON>(SendMessageW(dialog_.hwnd(), WM_GETICON, ICON_BIG, 0));
                      }),
                      Press(IDC_START_NO) });
    EXPECT_EQ(Run(pilot), IDC_START_NO);
    const DialogSnapshot& shown = pilot.seen.at(0);
    EXPECT_EQ(shown.title, kTitle);
    EXPECT_EQ(shown.text(IDC_SYSINFO_GROUP), L"系统信息");
    EXPECT_EQ(shown.text(IDC_DISK_LABEL), L"可用的磁盘空间");
    EXPECT_EQ(shown.text(IDC_DISK_UNIT), L"MB");
    EXPECT_EQ(shown.text(IDC_MEMORY_LABEL), L"可用的内存");
    EXPECT_EQ(shown.text(IDC_MEMORY_UNIT), L"KB");
    EXPECT_EQ(shown.text(IDC_PRINTER_LABEL), L"打印机(&P):");
    EXPECT_EQ(shown.text(IDC_START_INTRO), L"这程序检查用于 Tavik QX2210-2370 打印机的 Windows 设置。");
    EXPECT_EQ(shown.text(IDC_START_QUESTION), L"是否想运行这程序？");
    EXPECT_EQ(shown.text(IDC_START_YES), L"是(&Y)");
    EXPECT_EQ(shown.text(IDC_START_NO), L"否(&N)");
    EXPECT_TRUE(sized);
    EXPECT_TRUE(icon) << "the application icon is the window's icon";
}

TEST_F(StartDialog, ShowsTheSystemFigures)
{
    StepPilot pilot({ Press(IDC_START_NO) });
    Run(pilot);
    const DialogSnapshot& shown = pilot.seen.at(0);
    CSystemUtility system;
    EXPECT_TRUE(IsNumber(shown.text(IDC_DISK_SPACE))) << Ansi(shown.text(IDC_DISK_SPACE));
    EXPECT_NEAR(_wtoi(shown.text(IDC_DISK_SPACE).c_str()), double(system.GetFreeDiskSpaceMB()), 64.0);
    ASSERT_TRUE(IsNumber(shown.text(IDC_MEMORY)));
    double memoryKb = double(system.GetAvailableMemory() >> 10);
    EXPECT_NEAR(_wtoi(shown.text(IDC_MEMORY).c_str()), memoryKb, memoryKb / 10) << "memory in KB";
}

TEST_P(StartDialogEitherWay, ListsThePrintersOfTheSupportedDriverSorted)
{
    SpoolerPrinter b(L"B", kTavikDriver, L"FILE:");
    SpoolerPrinter a(L"A", kTavikDriver, L"LPT2:");
    SpoolerPrinter lower(L"a2", kTavikDriver, L"LPT2:");
    SpoolerPrinter otherCase(L"Chk Case Printer", L"TAVIK qx2210-2370", L"LPT1:");
    // Wine takes the driver name without regard to case and keeps it as given.
    ASSERT_EQ(SpoolerField(L"Chk Case Printer", &PRINTER_INFO_2W::pDriverName), L"TAVIK qx2210-2370");

    StepPilot pilot({ Press(IDC_START_NO) });
    EXPECT_EQ(Run(pilot), IDC_START_NO);
    const ControlState* list = pilot.seen.at(0).find(IDC_PRINTER_LIST);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->items, (std::vector<std::wstring>{ L"A", L"a2", L"B", kTavikPrinter })) << "letter case ignored";
    EXPECT_EQ(list->selection, 0);
    EXPECT_TRUE(pilot.seen[0].enabled(IDC_START_YES));
    EXPECT_EQ(app_.portName, L"") << "selecting the first entry classifies nothing yet";
    EXPECT_FALSE(Exists(log_)) << "No writes no log";
}

TEST_P(StartDialogEitherWay, WithoutAPrinterOfTheDriverYesStaysDisabled)
{
    PrinterChange otherCase(kTavikPrinter, &PRINTER_INFO_2W::pDriverName, L"TAVIK qx2210-2370");
    StepPilot pilot({ Press(IDC_START_YES) });
    EXPECT_EQ(Run(pilot), -1) << "Yes cannot be pressed";
    EXPECT_EQ(pilot.stuck, 1);
    const DialogSnapshot& shown = pilot.seen.at(0);
    EXPECT_TRUE(shown.find(IDC_PRINTER_LIST)->items.empty());
    EXPECT_FALSE(shown.enabled(IDC_START_YES));
    EXPECT_TRUE(shown.enabled(IDC_START_NO));
    EXPECT_FALSE(Exists(log_));
}

TEST_P(StartDialogEitherWay, YesClassifiesStartsTheLogAndSetsTheHelpPath)
{
    SpoolerPrinter a(L"A", kTavikDriver, L"LPT2:");
    {
        // An old log is replaced, not appended to.
        HANDLE old = CreateFileW(log_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(old, "old run\r\n", 9, &written, nullptr);
        CloseHandle(old);
    }
    ConfirmAndExpectHeader(L"A", "LPT2:[local]");

    EXPECT_EQ(dialog_.portNumber, 2);
    EXPECT_EQ(app_.portNumber, 1) << "the sequence takes the number over, not the dialog";
    EXPECT_EQ(app_.printerName, L"A");
    EXPECT_EQ(app_.portName, L"LPT2:");
    EXPECT_STREQ(app_.driverName, kTavikDriver);
    EXPECT_EQ(app_.networkConnection, 0);
    EXPECT_EQ(app_.redirectedLptPort, 0);
    EXPECT_EQ(app_.otherPort, 0);
    EXPECT_EQ(app_.usbPort, 0);
    EXPECT_EQ(app_.compliantPort, 0);

    wchar_t directory[260] = {};
    DWORD needed = 0;
    ASSERT_TRUE(GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(directory),
                                           sizeof(directory), &needed));
    EXPECT_EQ(app_.GetHelpFilePath(), std::wstring(directory) + L"\\3\\XERB5.HLP");
}

TEST_P(StartDialogEitherWay, SelectionChangeClassifiesAtOnce)
{
    SpoolerPrinter a(L"A", kTavikDriver, L"LPT2:");
    SpoolerPrinter b(L"B", kTavikDriver, L"USB001");
    SpoolerPrinter c(L"C", kTavikDriver, L"LPT_USB1");
    StepPilot pilot({ Select(L"B"), Do([&](const DialogSnapshot&) {
                          EXPECT_EQ(app_.portName, L"USB001");
                          EXPECT_EQ(app_.usbPort, 1);
                          EXPECT_EQ(dialog_.portNumber, 0);
                      }),
                      Select(L"A"), Do([&](const DialogSnapshot&) {
                          EXPECT_EQ(app_.portName, L"LPT2:");
                          EXPECT_EQ(app_.usbPort, 0) << "each classification starts afresh";
                          EXPECT_EQ(dialog_.portNumber, 2);
                      }),
                      Select(L"C"), Do([&](const DialogSnapshot&) {
                          EXPECT_EQ(app_.usbLptPort, 1);
                          EXPECT_EQ(app_.usbPort, 0);
                          EXPECT_EQ(dialog_.portNumber, 0);
                      }),
                      Press(IDC_START_NO) });
    EXPECT_EQ(Run(pilot), IDC_START_NO);
    EXPECT_EQ(pilot.stuck, 0);
    EXPECT_FALSE(Exists(log_));
}

INSTANTIATE_TEST_SUITE_P(Answered, StartDialogEitherWay, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "InItsWindow" : "FromItsContent";
                         });

TEST_F(StartDialog, ItsContentHoldsWhatItsWindowShows)
{
    SpoolerPrinter b(L"B", kTavikDriver, L"FILE:");
    SpoolerPrinter a(L"a", kTavikDriver, L"LPT2:");
    StepPilot inWindow({ Press(IDC_START_NO) });
    ASSERT_EQ(Run(inWindow), IDC_START_NO);
    windows_ = false;
    StepPilot fromContent({ Press(IDC_START_NO) });
    ASSERT_EQ(Run(fromContent), IDC_START_NO);
    ASSERT_EQ(fromContent.seen.size(), 1u);
    const DialogSnapshot& content = fromContent.seen[0];
    // The figures may change from one reading to the next.
    ExpectContentAsWindow(content, inWindow.seen.at(0),
                          { IDC_DISK_SPACE, IDC_MEMORY, IDC_PRINTER_LIST, IDC_START_YES, IDC_START_NO },
                          { IDC_DISK_SPACE, IDC_MEMORY });
    EXPECT_TRUE(IsNumber(content.text(IDC_DISK_SPACE)));
    EXPECT_TRUE(IsNumber(content.text(IDC_MEMORY)));
}

TEST_F(StartDialog, PortsOfAMonitorAndOtherLocalPorts)
{
    TestPortMonitor monitor(3);
    SpoolerPrinter a(L"A", kTavikDriver, kMonitorPort);
    SpoolerPrinter b(L"B", kTavikDriver, L"FILE:");
    const std::wstring compliance = kMonitorsKey + kTestMonitor;
    StepPilot pilot({ Select(L"A"), Do([&](const DialogSnapshot&) {
                          EXPECT_EQ(app_.compliantPort, 1);
                          EXPECT_EQ(app_.otherPort, 0);
                          SetMachineDword(compliance, L"ZELTCompliant", 2);
                      }),
                      Select(L"B"), Select(L"A"), Do([&](const DialogSnapshot&) {
                          EXPECT_EQ(app_.compliantPort, 0) << "ZELTCompliant 2";
                          EXPECT_EQ(app_.otherPort, 1);
                      }),
                      Select(L"B"), Do([&](const DialogSnapshot&) {
                          EXPECT_EQ(app_.compliantPort, 0);
                          EXPECT_EQ(app_.otherPort, 1);
                          EXPECT_EQ(app_.networkConnection, 0);
                      }),
                      Press(IDC_START_NO) });
    EXPECT_EQ(Run(pilot), IDC_START_NO);
    EXPECT_EQ(pilot.stuck, 0);
}

TEST_F(StartDialog, LptPortRedirectedToAShare)
{
    SpoolerPrinter a(L"A", kTavikDriver, L"LPT2:");
    ScriptedNetwork net;
    net.connections[L"LPT2"] = { NO_ERROR, L"\\\\srv\\q" };
    ConfirmAndExpectHeader(L"A", "LPT2:[\\\\srv\\q]");
    EXPECT_NE(std::find(net.asked.begin(), net.asked.end(), L"LPT2"), net.asked.end())
        << "the port is asked for without its colon";
    EXPECT_EQ(app_.networkConnection, 1);
    EXPECT_EQ(app_.redirectedLptPort, 1);
    EXPECT_EQ(dialog_.redirectedLptPort, 1);
    EXPECT_STREQ(app_.networkPath, L"\\\\srv\\q");
    EXPECT_EQ(dialog_.portNumber, 2);
}

TEST_F(StartDialog, RememberedConnectionThatIsNotConnectedCountsAsRedirected)
{
    SpoolerPrinter a(L"A", kTavikDriver, L"LPT2:");
    ScriptedNetwork net;
    net.connections[L"LPT2"] = { ERROR_CONNECTION_UNAVAIL, L"\\\\srv\\later" };
    ConfirmAndExpectHeader(L"A", "LPT2:[\\\\srv\\later]");
    EXPECT_EQ(app_.redirectedLptPort, 1);
}

TEST_F(StartDialog, EnterAnswersYes)
{
    StepPilot pilot({ PostKey(dialog_, VK_RETURN), Leave() });
    EXPECT_EQ(Run(pilot), IDC_START_YES);
    EXPECT_TRUE(Exists(log_));
    EXPECT_EQ(app_.printerName, kTavikPrinter) << "the first entry, selected when the dialog opened";
}

TEST_F(StartDialog, EscapeEndsWithCancelAndWritesNothing)
{
    StepPilot pilot({ PostKey(dialog_, VK_ESCAPE), Leave() });
    EXPECT_EQ(Run(pilot), IDCANCEL);
    EXPECT_FALSE(Exists(log_));
    EXPECT_EQ(app_.printerName, L"");

    StepPilot closeBox({ Do([&](const DialogSnapshot&) { SendMessageW(dialog_.hwnd(), WM_CLOSE, 0, 0); }), Leave() });
    EXPECT_EQ(Run(closeBox), IDCANCEL);
    EXPECT_FALSE(Exists(log_));
}

TEST_F(StartDialog, LogThatCannotBeCreatedStillEnds1001)
{
    lstrcpyW(app_.logFilePath, L"C:\\no such folder\\ts_xerb5.tmp");
    StepPilot pilot({ Press(IDC_START_YES) });
    EXPECT_EQ(Run(pilot), IDC_START_YES);
    EXPECT_FALSE(Exists(app_.logFilePath));
}

TEST_F(StartDialog, PrinterConnectionIsANetworkPrinter)
{
    // Wine has no printer connections: the record is the one the spooler would give.
    std::wstring name = L"\\\\srv\\printer", server = L"\\\\srv", share = L"printer", port = L"Ne00:";
    std::wstring driver = kTavikDriver;
    PRINTER_INFO_2W connection = {};
    connection.pPrinterName = &name[0];
    connection.pServerName = &server[0];
    connection.pShareName = &share[0];
    connection.pPortName = &port[0];
    connection.pDriverName = &driver[0];
    dialog_.portNumber = 3;
    dialog_.ClassifyPrinter(&connection);

    EXPECT_EQ(app_.remotePrinter, 1);
    EXPECT_EQ(app_.serverName, L"srv");
    EXPECT_EQ(app_.portName, L"\\\\srv\\printer");
    EXPECT_EQ(app_.networkConnection, 1);
    EXPECT_STREQ(app_.networkPath, L"\\\\srv\\printer");
    EXPECT_EQ(app_.otherPort, 0);
    EXPECT_EQ(app_.redirectedLptPort, 0);
    EXPECT_EQ(dialog_.portNumber, 0);

    std::string before = Now();
    dialog_.WriteLogHeader(L"1234", L"56789");
    std::string after = Now();
    std::string tail = "\r\n" + kFreeDisk + ": 1234MB\r\n" + kFreeMemory + ": 56789KB\r\n";
    std::string head = "\\\\srv\\printer" + kIn + "Tavik QX2210-2370" + kTroubleshooting;
    std::string log = ReadBytes(log_);
    if (log != head + after + tail) {
        EXPECT_EQ(log, head + before + tail) << "nothing follows a port that is a network path";
    }
}

TEST_F(StartDialog, NoMatchingPrinterIsAnOtherPortWithoutMonitor)
{
    app_.portName = L"LPT1:";
    app_.compliantPort = 1;
    dialog_.ClassifyPrinter(nullptr);
    EXPECT_EQ(app_.otherPort, 1);
    EXPECT_EQ(app_.compliantPort, 0);
    EXPECT_EQ(app_.networkConnection, 0);
    EXPECT_EQ(dialog_.portNumber, 0);
}
