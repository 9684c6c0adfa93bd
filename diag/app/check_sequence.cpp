// The check sequence and the end of a run: the order of the checks, what each finding
// leads to, the answers of the problem dialogs, and the closing lines of the result log.
#include "app/troubleshooter_app.h"

#include "app/system_utility.h"
#include "app/unattended.h"
#include "checks/check_ids.h"
#include "checks/file_checks.h"
#include "checks/manifest.h"
#include "checks/network_checks.h"
#include "checks/port_checks.h"
#include "checks/port_driver_service.h"
#include "checks/printer_attribute_checks.h"
#include "checks/registration_checks.h"
#include "checks/shortcut_checks.h"
#include "dialogs/problem_dialogs.h"
#include "dialogs/results_dialog.h"
#include "dialogs/select_port_dialog.h"
#include "dialogs/start_dialog.h"
#include "framework/raii.h"
#include "framework/strings.h"
#include "res/resource.h"

#include <functional>
#include <memory>

namespace {

const wchar_t kShutdownPrivilege[] = L"SeShutdownPrivilege";

bool FileExists(const wchar_t* path)
{
    WIN32_FIND_DATAW found;
    UniqueFind find(FindFirstFileW(path, &found));
    return bool(find);
}

// A please-wait window: created modeless, shown and painted once.
template <typename Dialog>
std::unique_ptr<Dialog> ShowWaitDialog()
{
    auto dialog = std::make_unique<Dialog>();
    dialog->Create();
    dialog->ShowWindow(SW_SHOW);
    dialog->UpdateWindow();
    return dialog;
}

template <typename Dialog>
void TakeDown(std::unique_ptr<Dialog>& dialog)
{
    if (dialog) {
        dialog->DestroyWindow();
        dialog.reset();
    }
}

// Repairs of what the spooler, its drivers and the log-on load take effect when Windows
// starts again; a new port, App Paths entry, program folder or program item is used at once.
bool NeedsRestart(Repair repair)
{
    return repair != Repair::ChoosePort && repair != Repair::AppPath && repair != Repair::ProgramFolder &&
           repair != Repair::ProgramItem;
}

// The buttons of a problem dialog the sequence tells apart: Yes of a correction offer (0 for
// a notice) and Exit.
struct Buttons {
    int yes;
    int exit;
};

// One pass through the checks after the start dialog, with the values local to it. Every
// step returns false once an Exit has finished the run.
class CheckSequence {
public:
    explicit CheckSequence(CTroubleshooterApp& app) : app_(app) {}
    void Run();

private:
    // What a repair came to; AskAgain when the user backed out and the offer is made again.
    enum class Outcome { Fixed, NotFixed, AskAgain };
    using RepairAction = std::function<Outcome()>;

    bool ManifestFile();
    bool PackageFiles();
    bool Port();
    bool PrinterRegistry();
    bool PortDriverService();
    bool LanguageMonitor();
    bool PrinterDriver();
    bool StatusWindow();
    bool PrinterAttributes();
    bool ProgramFolder();
    bool ProgramItems();
    bool Network();

    // Writes the finding's line (and so its report entry); a fault flags the run and is put
    // to `dialog`: a notice when it offers no repair, otherwise a correction offer whose Yes
    // runs the finding's repair.
    bool Settle(const Finding& finding, ProblemDialog& dialog, Buttons buttons);
    // The finding's repair with its code.
    Outcome RunRepair(const Finding& finding);
    // A correction offer for a fault already logged: Yes repairs (with administrator rights)
    // and completes the line with "-- 已修正" (or "-- 未修正" when the repair could do nothing),
    // No with "-- 未修正", Exit with a bare line end.
    bool Offer(ProblemDialog& dialog, Buttons buttons, const RepairAction& repair, bool needsRestart);
    // A notice for a fault already logged: the line ends, Exit finishes the run.
    bool Notice(ProblemDialog& dialog, int exit);
    bool NoPermission();
    bool Exit();
    bool Finish();

    CTroubleshooterApp& app_;
    std::unique_ptr<CCheckingSystemDlg> systemWait_;
    std::unique_ptr<CCheckingNetworkDlg> networkWait_;
    int bidiResult_ = 1;
    int holdResult_ = 1;
    int folderResult_ = 1;
    int missingItemCount_ = 0;
    // The manifest entry of the program item whose finding is being settled; its repair
    // creates that entry's shortcut.
    const ManifestItem* missingItem_ = nullptr;
};

void CheckSequence::Run()
{
    systemWait_ = ShowWaitDialog<CCheckingSystemDlg>();
    using Step = bool (CheckSequence::*)();
    for (Step step : { &CheckSequence::ManifestFile, &CheckSequence::PackageFiles, &CheckSequence::Port,
                       &CheckSequence::PrinterRegistry, &CheckSequence::PortDriverService,
                       &CheckSequence::LanguageMonitor, &CheckSequence::PrinterDriver,
                       &CheckSequence::StatusWindow, &CheckSequence::PrinterAttributes,
                       &CheckSequence::ProgramFolder }) {
        if (!(this->*step)())
            return;
    }
    TakeDown(systemWait_);
    if (app_.networkConnection && !Network())
        return;
    app_.runFlags |= RUN_COMPLETED;
    app_.FinishRun();
}

bool CheckSequence::ManifestFile()
{
    Finding manifest = ManifestFinding(app_.CheckManifestFile());
    if (manifest.correct())
        return true;
    // Without the manifest nothing it lists is checked, and only reinstalling brings it back.
    app_.runFlags |= RUN_SETTING_WRONG | RUN_REINSTALL;
    app_.manifestAvailable = 0;
    CFileMissingDlg dialog;
    dialog.SetMember(1, ShortenPath(ManifestPath()));
    // The notice is answered before its line is written; the line is whole whatever the answer.
    INT_PTR answer = dialog.DoModal();
    app_.WriteAnsweredFinding(manifest);
    return answer == IDC_MISSING_EXIT ? Finish() : true;
}

bool CheckSequence::PackageFiles()
{
    // The file checks write their own lines; 0 means the user chose Exit in one of their dialogs.
    app_.BeginCheck(CheckId::kPackageFiles);
    return app_.LoadFileManifest() ? true : Finish();
}

bool CheckSequence::Port()
{
    if (app_.networkConnection)
        return true;
    Finding port = PortFinding(app_.facts, app_.CheckPortPresent());
    CPortSettingsDlg dialog;
    if (!Settle(port, dialog, { IDC_PORT_YES, IDC_PORT_EXIT }))
        return false;
    if (port.correct())
        app_.WriteFinding(PortModeFinding(app_.portName));
    return true;
}

bool CheckSequence::PrinterRegistry()
{
    Finding registry = PrinterRegistryFinding(app_.CheckPrinterRegistry());
    if (!registry.correct()) {
        // Only reinstalling helps; the program path registration is not looked at.
        app_.runFlags |= RUN_REINSTALL;
        CRegistryReinstallDlg dialog;
        return Settle(registry, dialog, { 0, IDC_REGREINST_EXIT });
    }
    Finding appPath = AppPathFinding(app_.CheckAppPath());
    if (!app_.manifestAvailable)
        return true;
    CRegistryFixDlg dialog;
    return Settle(appPath, dialog, { IDC_REGFIX_YES, IDC_REGFIX_EXIT });
}

bool CheckSequence::PortDriverService()
{
    if (app_.networkConnection || app_.compliantPort || app_.usbLptPort || app_.usbPort)
        return true;
    // One dialog, shown once for each kind of fault present, with that kind's text.
    COndrixDriverDlg dialog;
    for (const Finding& finding : PortDriverServiceFindings(app_.CheckPortDriverService())) {
        dialog.SetMember(1, finding.text);
        if (!Settle(finding, dialog, { IDC_ONDRIX_YES, IDC_ONDRIX_EXIT }))
            return false;
    }
    return true;
}

bool CheckSequence::LanguageMonitor()
{
    if (app_.remotePrinter)
        return true;
    CLangMonitorDlg dialog;
    return Settle(LanguageMonitorFinding(app_.CheckLanguageMonitor()), dialog, { IDC_LANGMON_YES, IDC_LANGMON_EXIT });
}

bool CheckSequence::PrinterDriver()
{
    CDriverSettingsDlg dialog;
    return Settle(PrinterDriverFinding(app_.facts, app_.CheckPrinterDriver()), dialog,
                  { IDC_DRIVER_YES, IDC_DRIVER_EXIT });
}

bool CheckSequence::StatusWindow()
{
    if (!app_.manifestAvailable)
        return true;
    CStatusWindowDlg dialog;
    return Settle(StatusWindowFinding(app_.CheckStatusWindowStartup()), dialog,
                  { IDC_STATUSWND_YES, IDC_STATUSWND_EXIT });
}

bool CheckSequence::PrinterAttributes()
{
    if (app_.networkConnection)
        return true;
    if (!app_.otherPort) {
        bidiResult_ = app_.CheckBidiSupport();
        CBidiDlg bidi;
        if (!Settle(BidiSupportFinding(app_.facts, bidiResult_), bidi, { IDC_BIDI_YES, IDC_BIDI_EXIT }))
            return false;
        holdResult_ = app_.CheckHoldMismatchedDocuments();
        CHoldMismatchedDlg hold;
        if (!Settle(HoldMismatchedFinding(app_.facts, holdResult_), hold, { IDC_HOLD_YES, IDC_HOLD_EXIT }))
            return false;
    }
    if (bidiResult_ == 1 && holdResult_ == 1)
        app_.WriteFinding(Finding::Correct(CheckId::kPrinterAttributes,
                                           FormatPrintf(LoadStr(IDS_ATTRIBUTES_CORRECT).c_str(), app_.driverName)));
    return true;
}

bool CheckSequence::ProgramFolder()
{
    if (!app_.manifestAvailable)
        return true;
    folderResult_ = app_.CheckProgramFolder();
    CProgramFolderDlg dialog;
    if (!Settle(ProgramFolderFinding(folderResult_), dialog, { IDC_FOLDER_YES, IDC_FOLDER_EXIT }))
        return false;
    return ProgramItems();
}

bool CheckSequence::ProgramItems()
{
    CFolderItemDlg dialog;
    for (const ManifestItem& item : ReadManifestItems(kGroupsSection)) {
        // An entry without an item name names no shortcut to look for; a missing key reads
        // "NAME_NONE!", which is such an entry.
        if (item.name.empty())
            continue;
        Finding finding = ProgramItemFinding(item.name, app_.ProgramItemExists(item.name.c_str()));
        if (finding.correct())
            continue;
        ++missingItemCount_;
        missingItem_ = &item;
        dialog.SetMember(1, item.name);
        bool goOn = Settle(finding, dialog, { IDC_ITEM_YES, IDC_ITEM_EXIT });
        missingItem_ = nullptr;
        if (!goOn)
            return false;
    }
    // The folder's correct line stands for its items too.
    if (folderResult_ != 0 && missingItemCount_ == 0)
        app_.WriteFinding(Finding::Correct(CheckId::kProgramFolder, LoadStr(IDS_FOLDER_CORRECT)));
    return true;
}

bool CheckSequence::Network()
{
    networkWait_ = ShowWaitDialog<CCheckingNetworkDlg>();
    Finding server = PrintServerFinding(app_.facts, app_.CheckPrintServer());
    CServerErrorDlg serverDialog;
    if (!Settle(server, serverDialog, { 0, IDC_SERVER_EXIT }))
        return false;
    bool networkCorrect = server.correct();
    // Once the server is known to be unreachable its printer is not tried.
    if (networkCorrect) {
        Finding printer = NetworkPrinterFinding(app_.facts, app_.CheckNetworkPrinter());
        CNetPrinterErrorDlg printerDialog;
        if (!Settle(printer, printerDialog, { 0, IDC_NETPRN_EXIT }))
            return false;
        networkCorrect = printer.correct();
    }
    TakeDown(networkWait_);
    if (networkCorrect)
        app_.WriteFinding(Finding::Correct(CheckId::kNetwork, LoadStr(IDS_NETWORK_CORRECT)));
    return true;
}

bool CheckSequence::Settle(const Finding& finding, ProblemDialog& dialog, Buttons buttons)
{
    if (!finding.correct())
        app_.runFlags |= finding.network ? RUN_NETWORK_FAULT : RUN_SETTING_WRONG;
    app_.WriteFinding(finding);
    if (finding.correct())
        return true;
    if (finding.repair == Repair::None)
        return Notice(dialog, buttons.exit);
    return Offer(dialog, buttons, [this, &finding] { return RunRepair(finding); }, NeedsRestart(finding.repair));
}

CheckSequence::Outcome CheckSequence::RunRepair(const Finding& finding)
{
    switch (finding.repair) {
    case Repair::ChoosePort: {
        // Cancelling the choice of another port brings the port dialog back.
        CSelectPortDlg choice;
        if (choice.DoModal() == IDCANCEL)
            return Outcome::AskAgain;
        app_.portMissing = 0;
        break;
    }
    case Repair::AppPath:
        app_.RepairAppPath(finding.code);
        break;
    case Repair::PortDriverService:
        app_.RepairPortDriverService(static_cast<unsigned>(finding.code));
        // A disabled driver also gets its start type back.
        if (finding.code == PDS_DISABLED)
            app_.RepairPortDriverService(PDS_START_TYPE);
        break;
    case Repair::LanguageMonitor:
        app_.RepairLanguageMonitor(finding.code);
        break;
    case Repair::PrinterDriver:
        app_.RepairPrinterDriver(finding.code);
        break;
    case Repair::StatusWindow:
        // Nothing is created for a missing or damaged start-up entry.
        return app_.RepairStatusWindow() ? Outcome::Fixed : Outcome::NotFixed;
    case Repair::BidiSupport:
        app_.EnableBidiSupport();
        break;
    case Repair::HoldMismatched:
        app_.DisableHoldMismatchedDocuments();
        break;
    case Repair::ProgramFolder:
        // The dialog's Yes button has created the folder itself; it is not there when the
        // group name was refused as a path.
        return app_.CheckProgramFolder() ? Outcome::Fixed : Outcome::NotFixed;
    case Repair::ProgramItem:
        // A damaged entry (a name that is not plain) gets no shortcut.
        return app_.CreateProgramItem(missingItem_->file.c_str(), missingItem_->name.c_str(),
                                      missingItem_->arguments.c_str(), missingItem_->iconFile.c_str(),
                                      missingItem_->iconIndex)
                   ? Outcome::Fixed
                   : Outcome::NotFixed;
    case Repair::None:
        return Outcome::NotFixed;
    }
    return Outcome::Fixed;
}

bool CheckSequence::Offer(ProblemDialog& dialog, Buttons buttons, const RepairAction& repair, bool needsRestart)
{
    Outcome outcome = Outcome::AskAgain;
    while (outcome == Outcome::AskAgain) {
        INT_PTR answer = dialog.DoModal();
        if (answer == buttons.exit)
            return Exit();
        if (answer != buttons.yes) {
            app_.LogRepairOutcome(0);
            return true;
        }
        if (!app_.hasAdminRights)
            return NoPermission();
        outcome = repair();
    }
    app_.LogRepairOutcome(outcome == Outcome::Fixed ? 1 : 0);
    if (needsRestart && outcome == Outcome::Fixed)
        app_.restartNeeded = 1;
    return true;
}

bool CheckSequence::Notice(ProblemDialog& dialog, int exit)
{
    if (dialog.DoModal() == exit)
        return Exit();
    app_.AppendLog(L"\r\n");
    return true;
}

bool CheckSequence::NoPermission()
{
    app_.LogRepairOutcome(0);
    CNoPermissionDlg dialog;
    return dialog.DoModal() == IDC_NOPERM_EXIT ? Finish() : true;
}

bool CheckSequence::Exit()
{
    app_.AppendLog(L"\r\n");
    return Finish();
}

bool CheckSequence::Finish()
{
    // The please-wait windows go before the results appear, not at the end of the program.
    TakeDown(networkWait_);
    TakeDown(systemWait_);
    app_.FinishRun();
    return false;
}

// Opens the process token and sets one privilege's attributes; 1 only when it was assigned.
int AdjustPrivilege(const wchar_t* name, DWORD attributes)
{
    UniqueFile token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put()))
        return 0;
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = attributes;
    if (!LookupPrivilegeValueW(nullptr, name, &privileges.Privileges[0].Luid))
        return 0;
    // A privilege the token does not hold succeeds with ERROR_NOT_ALL_ASSIGNED; success does
    // not always clear the last error, so it is cleared first.
    SetLastError(ERROR_SUCCESS);
    if (!AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr))
        return 0;
    return GetLastError() == ERROR_SUCCESS ? 1 : 0;
}

}  // namespace

void CTroubleshooterApp::RunChecks()
{
    if (!IsSpoolerRunning()) {
        CSpoolerStoppedDlg dialog;
        dialog.DoModal();
        return;
    }
    hasAdminRights = HasAdminRights();
    // Without the registry nothing can be checked: the run ends here and the program with 1,
    // through the framework's own way out.
    if (!RegistryReadable()) {
        SetExitCode(kExitNotRun);
        return;
    }

    // On 1001 the start dialog has classified the printer and written the log's header.
    CStartDlg start;
    if (start.DoModal() != IDC_START_YES)
        return;
    portNumber = start.portNumber;
    CheckSequence(*this).Run();
}

void CTroubleshooterApp::FinishRun()
{
    // The closing lines are the run's, not a check's.
    BeginCheck(nullptr);
    AppendLog(LoadStr(runFlags & RUN_COMPLETED ? IDS_RUN_COMPLETE : IDS_RUN_ABORTED) + L"\r\n");

    std::wstring port = previousPortName.empty() ? portName : previousPortName;
    if (!networkConnection)
        port += LoadStr(IDS_LOCAL);
    else if (port.find(L"\\\\") == std::wstring::npos)
        port += std::wstring(L"[") + networkPath + L"]";
    std::wstring summary;
    if (runFlags & RUN_SETTING_WRONG) {
        summary = FormatInserts(LoadStr(IDS_SUMMARY_WRONG), driverName, port.c_str());
        if (runFlags & RUN_REINSTALL)
            summary += FormatPrintf(LoadStr(IDS_REINSTALL).c_str(), driverName);
    } else if (runFlags & RUN_NETWORK_FAULT) {
        summary = FormatInserts(LoadStr(IDS_SUMMARY_NETWORK_WRONG), driverName, port.c_str());
    }
    if (runFlags == RUN_COMPLETED)
        summary = FormatInserts(LoadStr(IDS_SUMMARY_CORRECT), driverName, port.c_str());
    AppendLog(summary + L"\r\n");

    CResultsDlg results;
    INT_PTR resultsAnswer = results.DoModal();
    if (restartNeeded != 1)
        return;

    CSystemUtility utility;
    // The restart decision goes only into a log this run saved: a file that merely has the
    // name shown in the results dialog (the user chose not to keep the log) is not ours.
    bool savedExists = results.saved() && FileExists(savedResultPath);
    CFinishDlg finish;
    if (finish.DoModal() == IDC_FINISH_RESTART) {
        if (resultsAnswer == IDOK && savedExists)
            utility.AppendLogLine(savedResultPath, (LoadStr(IDS_RESTARTING) + L"\r\n").c_str());
        if (EnablePrivilege(kShutdownPrivilege) == 1)
            RestartWindows();
        DisablePrivilege(kShutdownPrivilege);
    } else if (savedExists) {
        utility.AppendLogLine(savedResultPath, (LoadStr(IDS_RETURNING) + L"\r\n").c_str());
    }
}

int CTroubleshooterApp::EnablePrivilege(const wchar_t* privilege)
{
    return AdjustPrivilege(privilege, SE_PRIVILEGE_ENABLED);
}

int CTroubleshooterApp::DisablePrivilege(const wchar_t* privilege)
{
    return AdjustPrivilege(privilege, 0);
}

BOOL CTroubleshooterApp::RestartWindows()
{
    return ExitWindowsEx(EWX_REBOOT, 0);
}

bool CTroubleshooterApp::RegistryReadable()
{
    UniqueKey root;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, nullptr, 0, KEY_READ, root.put()) == ERROR_SUCCESS;
}
