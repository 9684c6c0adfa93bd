// The check sequence and the end of a run: the order of the checks, what each finding
// leads to, the answers of the problem dialogs, and the closing lines of the result log.
#include "app/troubleshooter_app.h"

#include "app/system_utility.h"
#include "app/unattended.h"
#include "checks/check_ids.h"
#include "checks/manifest.h"
#include "checks/port_checks.h"
#include "checks/port_driver_service.h"
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

// One pass through the checks after the start dialog, with the values local to it. Every
// step returns false once an Exit has finished the run.
class CheckSequence {
public:
    explicit CheckSequence(CTroubleshooterApp& app) : app_(app) {}
    void Run();

private:
    // What a repair came to; AskAgain when the user backed out and the offer is made again.
    enum class Outcome { Fixed, NotFixed, AskAgain };
    using Repair = std::function<Outcome()>;

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

    void LogPortMode();
    // A check whose result is 0 when correct and otherwise the code its repair takes: `log`
    // writes the correct line (1) or opens the fault line (0), and the fault is offered for
    // correction in a dialog of class `Dialog`. Its lines are those of the check `id`, which
    // the check's code goes with.
    template <typename Dialog>
    bool CodedCheck(const char* id, int code, void (CTroubleshooterApp::*log)(int), int yes, int exit,
                    int (CTroubleshooterApp::*repair)(int), bool needsRestart);
    // A setting found wrong: the run is flagged, `logFault` opens the fault line, and the
    // dialog offers the correction.
    bool Fault(ProblemDialog& dialog, const std::function<void()>& logFault, int yes, int exit, const Repair& repair,
               bool needsRestart);
    // A correction offer for a fault already logged: Yes repairs (with administrator rights)
    // and completes the line with "-- 已修正" (or "-- 未修正" when the repair could do nothing),
    // No with "-- 未修正", Exit with a bare line end.
    bool Offer(ProblemDialog& dialog, int yes, int exit, const Repair& repair, bool needsRestart);
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
    int networkFaultAcknowledged_ = 0;
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
    app_.BeginCheck(CheckId::kManifest);
    if (app_.CheckManifestFile())
        return true;
    app_.runFlags |= RUN_SETTING_WRONG | RUN_REINSTALL;
    app_.manifestAvailable = 0;
    std::wstring path = ManifestPath();
    CFileMissingDlg dialog;
    dialog.SetMember(1, ShortenPath(path));
    INT_PTR answer = dialog.DoModal();
    app_.AppendFinding(FormatPrintf(LoadStr(IDS_FILE_MISSING).c_str(), path.c_str()) + L"\r\n");
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
    app_.BeginCheck(CheckId::kPort);
    if (app_.CheckPortPresent()) {
        app_.LogPortConnection(1);
        LogPortMode();
        return true;
    }
    CPortSettingsDlg dialog;
    return Fault(dialog, [this] { app_.LogPortConnection(0); }, IDC_PORT_YES, IDC_PORT_EXIT, [this] {
        // Cancelling the choice of another port brings the port dialog back.
        CSelectPortDlg choice;
        if (choice.DoModal() == IDCANCEL)
            return Outcome::AskAgain;
        app_.portMissing = 0;
        return Outcome::Fixed;
    }, false);
}

void CheckSequence::LogPortMode()
{
    DWORD mode = 0;
    if (!ReadPortMode(app_.portName, mode))
        return;
    UINT text = mode == 1 ? IDS_MODE_BIDI : mode == 3 ? IDS_MODE_ECP : mode == 4 ? IDS_MODE_ECP_DMA : IDS_MODE_STANDARD;
    app_.BeginCheck(CheckId::kPortMode);
    app_.AppendLog(LoadStr(text) + L"\r\n");
}

bool CheckSequence::PrinterRegistry()
{
    app_.BeginCheck(CheckId::kRegistry);
    if (!app_.CheckPrinterRegistry()) {
        // Only reinstalling helps; the program path registration is not looked at.
        app_.runFlags |= RUN_SETTING_WRONG | RUN_REINSTALL;
        app_.LogRegistryResult(0);
        CRegistryReinstallDlg dialog;
        return Notice(dialog, IDC_REGREINST_EXIT);
    }
    int code = app_.CheckAppPath();
    if (!app_.manifestAvailable)
        return true;
    return CodedCheck<CRegistryFixDlg>(CheckId::kRegistry, code, &CTroubleshooterApp::LogRegistryResult,
                                       IDC_REGFIX_YES, IDC_REGFIX_EXIT, &CTroubleshooterApp::RepairAppPath, false);
}

bool CheckSequence::PortDriverService()
{
    if (app_.networkConnection || app_.compliantPort || app_.usbLptPort || app_.usbPort)
        return true;
    app_.BeginCheck(CheckId::kPortDriverService);
    unsigned bits = app_.CheckPortDriverService();
    if (bits == 0) {
        app_.LogPortDriverServiceResult(0);
        return true;
    }
    // One dialog, shown once for each kind of fault present, in this order.
    struct Kind {
        unsigned bits;
        UINT text;
    };
    const Kind kinds[] = { { bits & PDS_NOT_RUNNING, IDS_ONDRIX_NOT_RUNNING },
                           { bits & PDS_DISABLED, IDS_ONDRIX_DISABLED },
                           { bits & PDS_CONFIGURATION, IDS_ONDRIX_MISCONFIGURED } };
    COndrixDriverDlg dialog;
    for (const Kind& kind : kinds) {
        if (!kind.bits)
            continue;
        dialog.SetMember(1, LoadStr(kind.text));
        app_.BeginCheck(CheckId::kPortDriverService, static_cast<int>(kind.bits));
        auto log = [this, &kind] { app_.LogPortDriverServiceResult(kind.bits); };
        bool goOn = Fault(dialog, log, IDC_ONDRIX_YES, IDC_ONDRIX_EXIT, [this, &kind] {
            app_.RepairPortDriverService(kind.bits);
            // A disabled driver also gets its start type back.
            if (kind.bits == PDS_DISABLED)
                app_.RepairPortDriverService(PDS_START_TYPE);
            return Outcome::Fixed;
        }, true);
        if (!goOn)
            return false;
    }
    return true;
}

bool CheckSequence::LanguageMonitor()
{
    if (app_.remotePrinter)
        return true;
    return CodedCheck<CLangMonitorDlg>(CheckId::kLanguageMonitor, app_.CheckLanguageMonitor(),
                                       &CTroubleshooterApp::LogLanguageMonitorResult, IDC_LANGMON_YES, IDC_LANGMON_EXIT,
                                       &CTroubleshooterApp::RepairLanguageMonitor, true);
}

bool CheckSequence::PrinterDriver()
{
    return CodedCheck<CDriverSettingsDlg>(CheckId::kPrinterDriver, app_.CheckPrinterDriver(),
                                          &CTroubleshooterApp::LogPrinterDriverResult, IDC_DRIVER_YES, IDC_DRIVER_EXIT,
                                          &CTroubleshooterApp::RepairPrinterDriver, true);
}

bool CheckSequence::StatusWindow()
{
    if (!app_.manifestAvailable)
        return true;
    // 1 installed, 0 missing; any other result is no finding.
    app_.BeginCheck(CheckId::kStatusWindow);
    int result = app_.CheckStatusWindowStartup();
    if (result == 1)
        app_.LogStatusWindowResult(1);
    if (result != 0)
        return true;
    CStatusWindowDlg dialog;
    return Fault(dialog, [this] { app_.LogStatusWindowResult(0); }, IDC_STATUSWND_YES, IDC_STATUSWND_EXIT, [this] {
        // Nothing is created for a missing or damaged start-up entry.
        return app_.RepairStatusWindow() ? Outcome::Fixed : Outcome::NotFixed;
    }, true);
}

bool CheckSequence::PrinterAttributes()
{
    if (app_.networkConnection)
        return true;
    // The attribute's finding, with the driver name filled in.
    auto finding = [this](UINT text) {
        return [this, text] { app_.AppendFinding(FormatPrintf(LoadStr(text).c_str(), app_.driverName)); };
    };
    if (!app_.otherPort) {
        app_.BeginCheck(CheckId::kBidiSupport);
        bidiResult_ = app_.CheckBidiSupport();
        if (bidiResult_ == 0) {
            CBidiDlg dialog;
            if (!Fault(dialog, finding(IDS_BIDI_DISABLED), IDC_BIDI_YES, IDC_BIDI_EXIT, [this] {
                    app_.EnableBidiSupport();
                    return Outcome::Fixed;
                }, true))
                return false;
        }
        app_.BeginCheck(CheckId::kHoldMismatched);
        holdResult_ = app_.CheckHoldMismatchedDocuments();
        if (holdResult_ == 0) {
            CHoldMismatchedDlg dialog;
            if (!Fault(dialog, finding(IDS_HOLD_ENABLED), IDC_HOLD_YES, IDC_HOLD_EXIT, [this] {
                    app_.DisableHoldMismatchedDocuments();
                    return Outcome::Fixed;
                }, true))
                return false;
        }
    }
    app_.BeginCheck(CheckId::kPrinterAttributes);
    if (bidiResult_ == 1 && holdResult_ == 1)
        app_.AppendLog(FormatPrintf(LoadStr(IDS_ATTRIBUTES_CORRECT).c_str(), app_.driverName) + L"\r\n");
    return true;
}

bool CheckSequence::ProgramFolder()
{
    if (!app_.manifestAvailable)
        return true;
    app_.BeginCheck(CheckId::kProgramFolder);
    folderResult_ = app_.CheckProgramFolder();
    if (folderResult_ == 0) {
        // The dialog's Yes button creates the folder itself; the outcome is whether the folder
        // is there now, which it is not when the group name was refused as a path.
        CProgramFolderDlg dialog;
        auto log = [this] { app_.AppendFinding(LoadStr(IDS_FOLDER_MISSING)); };
        if (!Fault(dialog, log, IDC_FOLDER_YES, IDC_FOLDER_EXIT, [this] {
                return app_.CheckProgramFolder() ? Outcome::Fixed : Outcome::NotFixed;
            }, false))
            return false;
    }
    return ProgramItems();
}

bool CheckSequence::ProgramItems()
{
    CFolderItemDlg dialog;
    for (const ManifestItem& item : ReadManifestItems(kGroupsSection)) {
        // An entry without an item name names no shortcut to look for; a missing key reads
        // "NAME_NONE!", which is such an entry.
        app_.BeginCheck(CheckId::kProgramItem);
        if (item.name.empty() || app_.ProgramItemExists(item.name.c_str()))
            continue;
        ++missingItemCount_;
        dialog.SetMember(1, item.name);
        auto log = [this, &item] {
            app_.AppendFinding(FormatPrintf(LoadStr(IDS_ITEM_MISSING).c_str(), item.name.c_str()));
        };
        bool goOn = Fault(dialog, log, IDC_ITEM_YES, IDC_ITEM_EXIT, [this, &item] {
            // A damaged entry (a name that is not plain) gets no shortcut.
            return app_.CreateProgramItem(item.file.c_str(), item.name.c_str(), item.arguments.c_str(),
                                          item.iconFile.c_str(), item.iconIndex)
                       ? Outcome::Fixed
                       : Outcome::NotFixed;
        }, false);
        if (!goOn)
            return false;
    }
    // The folder's correct line stands for its items too.
    app_.BeginCheck(CheckId::kProgramFolder);
    if (folderResult_ != 0 && missingItemCount_ == 0)
        app_.AppendLog(LoadStr(IDS_FOLDER_CORRECT) + L"\r\n");
    return true;
}

bool CheckSequence::Network()
{
    networkWait_ = ShowWaitDialog<CCheckingNetworkDlg>();
    app_.BeginCheck(CheckId::kPrintServer);
    if (!app_.CheckPrintServer()) {
        app_.runFlags |= RUN_NETWORK_FAULT;
        app_.LogPrintServerResult(0);
        CServerErrorDlg dialog;
        if (!Notice(dialog, IDC_SERVER_EXIT))
            return false;
        networkFaultAcknowledged_ = 1;
    }
    // Once the server is known to be unreachable its printer is not tried.
    app_.BeginCheck(CheckId::kNetworkPrinter);
    if (!networkFaultAcknowledged_ && !app_.CheckNetworkPrinter()) {
        app_.runFlags |= RUN_NETWORK_FAULT;
        app_.LogNetworkPrinterResult(0);
        CNetPrinterErrorDlg dialog;
        if (!Notice(dialog, IDC_NETPRN_EXIT))
            return false;
        networkFaultAcknowledged_ = 1;
    }
    TakeDown(networkWait_);
    app_.BeginCheck(CheckId::kNetwork);
    if (!networkFaultAcknowledged_)
        app_.AppendLog(LoadStr(IDS_NETWORK_CORRECT) + L"\r\n");
    return true;
}

template <typename Dialog>
bool CheckSequence::CodedCheck(const char* id, int code, void (CTroubleshooterApp::*log)(int), int yes, int exit,
                               int (CTroubleshooterApp::*repair)(int), bool needsRestart)
{
    app_.BeginCheck(id, code);
    if (code == 0) {
        (app_.*log)(1);
        return true;
    }
    Dialog dialog;
    return Fault(dialog, [this, log] { (app_.*log)(0); }, yes, exit, [this, repair, code] {
        (app_.*repair)(code);
        return Outcome::Fixed;
    }, needsRestart);
}

bool CheckSequence::Fault(ProblemDialog& dialog, const std::function<void()>& logFault, int yes, int exit,
                          const Repair& repair, bool needsRestart)
{
    app_.runFlags |= RUN_SETTING_WRONG;
    logFault();
    return Offer(dialog, yes, exit, repair, needsRestart);
}

bool CheckSequence::Offer(ProblemDialog& dialog, int yes, int exit, const Repair& repair, bool needsRestart)
{
    Outcome outcome = Outcome::AskAgain;
    while (outcome == Outcome::AskAgain) {
        INT_PTR answer = dialog.DoModal();
        if (answer == exit)
            return Exit();
        if (answer != yes) {
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
