// The port choice against the real dialog manager and the prefix's spooler: which ports it
// offers, that applying one really moves the printer, and the port fields it leaves behind.
#include "checks/port_fixtures.h"
#include "dialog_steps.h"
#include "dialogs/select_port_dialog.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

const wchar_t kPrinter[] = L"Chk Port Choice Printer";
const std::pair<std::wstring, std::wstring> kLpt1 = { L"\\Device\\Parallel0", L"\\DosDevices\\LPT1" };
const std::pair<std::wstring, std::wstring> kLpt2 = { L"\\Device\\Parallel1", L"\\DosDevices\\LPT2" };

StepPilot::Step Choose(const std::wstring& port)
{
    return [port](const DialogSnapshot&) {
        return std::optional<AutopilotAction>(AutopilotAction::select(IDC_PORT_LIST, port));
    };
}

std::vector<std::wstring> Sorted(std::vector<std::wstring> items)
{
    std::sort(items.begin(), items.end());
    return items;
}

void CALLBACK GiveUp(HWND dialog, UINT, UINT_PTR, DWORD)
{
    EndDialog(dialog, -2);
}

// The printer the dialog moves, and the dialog on a machine as Wine's prefix has it.
class SelectPortBase : public ::testing::Test {
protected:
    SelectPortBase()
    {
        lstrcpyW(app_.driverName, kTavikDriver);
        app_.printerName = kPrinter;
        app_.portName = L"LPT1:";
        app_.portNumber = 1;
        app_.otherPort = 1;
    }

    INT_PTR Run(StepPilot& pilot)
    {
        ScopedAutopilot flying(pilot);
        return dialog_.DoModal();
    }

    SpoolerPrinter printer_{ kPrinter, kTavikDriver, L"LPT1:" };
    RecordingApp app_;
    CSelectPortDlg dialog_;
};

// A machine with two parallel ports, USB ports and a port of a compliant monitor.
class SelectPort : public SelectPortBase {
protected:
    // The ports the dialog offers.
    std::vector<std::wstring> Offered()
    {
        StepPilot pilot({ Press(IDCANCEL) });
        EXPECT_EQ(Run(pilot), IDCANCEL);
        const ControlState* list = pilot.seen.at(0).find(IDC_PORT_LIST);
        return list ? Sorted(list->items) : std::vector<std::wstring>();
    }

    // Chooses `port` and answers OK.
    void Apply(const std::wstring& port)
    {
        StepPilot pilot({ Choose(port), Press(IDOK) });
        EXPECT_EQ(Run(pilot), 1);
        EXPECT_EQ(pilot.stuck, 0);
    }

    ParallelPortMap map_{ { kLpt1, kLpt2 } };
    LocalPorts ports_{ { L"USB001", L"USB000", L"USBPRN1", L"LPT_USB1", L"\\\\srv\\LPT9" } };
    TestPortMonitor monitor_{ 3 };
};

}  // namespace

TEST_F(SelectPort, TemplateTextsAndSize)
{
    bool sized = false;
    StepPilot pilot({ Do([&](const DialogSnapshot&) { sized = ClientAreaIs(dialog_.hwnd(), 222, 139); }),
                      Press(IDCANCEL) });
    EXPECT_EQ(Run(pilot), IDCANCEL);
    const DialogSnapshot& shown = pilot.seen.at(0);
    EXPECT_EQ(shown.title, L"Tavik QX2210-2370 疑难解答");
    EXPECT_EQ(shown.text(IDC_PORT_CHOOSE_TEXT), L"选择要使用的端口。");
    EXPECT_EQ(shown.text(IDC_PORT_LIST_LABEL), L"端口(&P):");
    EXPECT_EQ(shown.text(IDOK), L"确定");
    EXPECT_EQ(shown.text(IDCANCEL), L"取消");
    EXPECT_TRUE(sized);
}

TEST_F(SelectPort, OffersThePortsTheSupportedDriverMayUse)
{
    EXPECT_EQ(Offered(), Sorted({ L"LPT1:", L"LPT2:", L"LPT_USB1", L"USB001", L"USBPRN1", kMonitorPort }))
        << "not LPT3: (no parallel port), USB000, COM, FILE:, nor a network path";
}

TEST_F(SelectPort, OtherDriversAreOfferedOnlyParallelPorts)
{
    lstrcpyW(app_.driverName, L"TAVIK qx2210-2370");
    EXPECT_EQ(Offered(), Sorted({ L"LPT1:", L"LPT2:", L"LPT_USB1" }));
}

TEST_F(SelectPort, MonitorPortNeedsACompliantMonitor)
{
    SetMachineDword(kMonitorsKey + kTestMonitor, L"ZELTCompliant", 1);
    std::vector<std::wstring> offered = Offered();
    EXPECT_EQ(std::find(offered.begin(), offered.end(), kMonitorPort), offered.end());
}

TEST_F(SelectPort, FirstPortIsChosenAtOpening)
{
    StepPilot pilot({ Press(IDCANCEL) });
    Run(pilot);
    const DialogSnapshot& shown = pilot.seen.at(0);
    EXPECT_EQ(shown.find(IDC_PORT_LIST)->selection, 0);
    EXPECT_TRUE(shown.enabled(IDOK));
}

TEST_F(SelectPortBase, WithoutAnEligiblePortOnlyCancelEnds)
{
    ParallelPortMap noParallelPort({});
    StepPilot pilot({ Press(IDOK) });
    EXPECT_EQ(Run(pilot), -1) << "OK cannot be pressed";
    const DialogSnapshot& shown = pilot.seen.at(0);
    EXPECT_TRUE(shown.find(IDC_PORT_LIST)->items.empty());
    EXPECT_FALSE(shown.enabled(IDOK));

    // Enter does nothing; the Esc after it ends the dialog.
    StepPilot keys({ Do([&](const DialogSnapshot&) {
                         SetTimer(dialog_.hwnd(), 1, 10000, GiveUp);
                         HWND list = dialog_.GetDlgItem(IDC_PORT_LIST);
                         PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
                         PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0);
                     }),
                     [](const DialogSnapshot&) { return std::optional<AutopilotAction>(AutopilotAction::leave()); } });
    EXPECT_EQ(Run(keys), IDCANCEL);
    EXPECT_EQ(SpoolerPort(kPrinter), L"LPT1:");
    EXPECT_EQ(app_.portName, L"LPT1:");
    EXPECT_EQ(app_.previousPortName, L"");
}

TEST_F(SelectPort, CancelChangesNothing)
{
    StepPilot pilot({ Choose(L"USB001"), Press(IDCANCEL) });
    EXPECT_EQ(Run(pilot), IDCANCEL);
    EXPECT_EQ(SpoolerPort(kPrinter), L"LPT1:");
    EXPECT_EQ(app_.portName, L"LPT1:");
    EXPECT_EQ(app_.portNumber, 1);
    EXPECT_EQ(app_.usbPort, 0);
    EXPECT_EQ(app_.otherPort, 1);
}

TEST_F(SelectPort, ApplyingAUsbPortMovesThePrinter)
{
    app_.redirectedLptPort = 1;
    app_.networkConnection = 1;
    Apply(L"USB001");
    EXPECT_EQ(SpoolerPort(kPrinter), L"USB001") << "the spooler's printer was moved";
    EXPECT_EQ(SpoolerField(kPrinter, &PRINTER_INFO_2W::pDriverName), kTavikDriver) << "the rest stays";
    EXPECT_EQ(app_.previousPortName, L"LPT1:");
    EXPECT_EQ(app_.portName, L"USB001");
    EXPECT_EQ(app_.usbPort, 1);
    EXPECT_EQ(app_.portNumber, 0);
    EXPECT_EQ(app_.networkConnection, 0);
    EXPECT_EQ(app_.redirectedLptPort, 0);
    EXPECT_EQ(app_.otherPort, 0);
}

TEST_F(SelectPort, ApplyingAnLptPortLooksForItsRememberedConnection)
{
    Apply(L"LPT2:");
    EXPECT_EQ(SpoolerPort(kPrinter), L"LPT2:");
    EXPECT_EQ(app_.portNumber, 2);
    EXPECT_EQ(app_.networkConnection, 0);
    EXPECT_EQ(app_.redirectedLptPort, 0);

    PersistentConnection remembered(1, L"\\\\srv\\q");
    Apply(L"LPT1:");
    EXPECT_EQ(SpoolerPort(kPrinter), L"LPT1:");
    EXPECT_EQ(app_.previousPortName, L"LPT2:");
    EXPECT_EQ(app_.portNumber, 1);
    EXPECT_EQ(app_.networkConnection, 1);
    EXPECT_EQ(app_.redirectedLptPort, 1);
    EXPECT_STREQ(app_.networkPath, L"\\\\srv\\q");
}

TEST_F(SelectPort, ApplyingAnLptUsbPort)
{
    Apply(L"LPT_USB1");
    EXPECT_EQ(SpoolerPort(kPrinter), L"LPT_USB1");
    EXPECT_EQ(app_.usbLptPort, 1);
    EXPECT_EQ(app_.portNumber, 0);
}

TEST_F(SelectPort, ApplyingAMonitorPortLeavesNoLptNumber)
{
    Apply(kMonitorPort);
    EXPECT_EQ(SpoolerPort(kPrinter), kMonitorPort);
    EXPECT_EQ(app_.compliantPort, 1);
    EXPECT_EQ(app_.otherPort, 0);
    EXPECT_EQ(app_.portNumber, 0);
    wchar_t portText[257] = {};
    app_.FormatPortName(portText);
    EXPECT_STREQ(portText, kMonitorPort) << "the port the checks now name";
}

TEST_F(SelectPort, PrinterThatCannotBeOpenedStillTakesTheFields)
{
    app_.printerName = L"Chk No Such Printer";
    Apply(L"USB001");
    EXPECT_EQ(SpoolerPort(kPrinter), L"LPT1:");
    EXPECT_EQ(app_.portName, L"USB001");
    EXPECT_EQ(app_.usbPort, 1);
}
