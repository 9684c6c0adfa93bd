#include "app/unattended.h"

#include "app/report.h"
#include "app/troubleshooter_app.h"
#include "framework/files.h"
#include "framework/raii.h"
#include "framework/strings.h"
#include "res/resource.h"

#include <shellapi.h>

#include <optional>

namespace {

// The correction offers: Yes only with /repair, and only when the dialog enables it. The
// wrong-port dialog has no Yes here, since choosing another port needs a person.
struct OfferAnswers {
    UINT templateId;
    int yes;  // 0: never
    int no;
};
constexpr OfferAnswers kOffers[] = {
    { IDD_PORT_SETTINGS, 0, IDC_PORT_NO },
    { IDD_REGISTRY_FIX, IDC_REGFIX_YES, IDC_REGFIX_NO },
    { IDD_ONDRIX_DRIVER, IDC_ONDRIX_YES, IDC_ONDRIX_NO },
    { IDD_LANG_MONITOR, IDC_LANGMON_YES, IDC_LANGMON_NO },
    { IDD_DRIVER_SETTINGS, IDC_DRIVER_YES, IDC_DRIVER_NO },
    { IDD_STATUS_WINDOW, IDC_STATUSWND_YES, IDC_STATUSWND_NO },
    { IDD_BIDI, IDC_BIDI_YES, IDC_BIDI_NO },
    { IDD_HOLD_MISMATCHED, IDC_HOLD_YES, IDC_HOLD_NO },
    { IDD_PROGRAM_FOLDER, IDC_FOLDER_YES, IDC_FOLDER_NO },
    { IDD_FOLDER_ITEM, IDC_ITEM_YES, IDC_ITEM_NO },
};

// The notices, answered Continue.
struct NoticeAnswer {
    UINT templateId;
    int continueId;
};
constexpr NoticeAnswer kNotices[] = {
    { IDD_FILE_MISSING, IDC_MISSING_CONTINUE },     { IDD_FILE_VERSION, IDC_VERSION_CONTINUE },
    { IDD_REGISTRY_REINSTALL, IDC_REGREINST_CONTINUE }, { IDD_NO_PERMISSION, IDC_NOPERM_CONTINUE },
    { IDD_SERVER_ERROR, IDC_SERVER_CONTINUE },      { IDD_NET_PRINTER_ERROR, IDC_NETPRN_CONTINUE },
};

std::string Ansi(const std::wstring& text)
{
    int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(n, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], n, nullptr, nullptr);
    return bytes;
}

// Writes to a standard handle: `text` to a console, `bytes` (its encoding for a file or a
// pipe) otherwise. False when the process has no such handle or not all was written.
bool WriteStandard(DWORD which, const std::wstring& text, const std::string& bytes)
{
    HANDLE handle = GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || GetFileType(handle) == FILE_TYPE_UNKNOWN)
        return false;
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(handle, &mode))
        return WriteConsoleW(handle, text.c_str(), static_cast<DWORD>(text.size()), &written, nullptr) &&
               written == text.size();
    return WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

// Messages go to a file or pipe in the ANSI code page, like the log.
bool WriteStandard(DWORD which, const std::wstring& text)
{
    return WriteStandard(which, text, Ansi(text));
}

// Tells the user something: on the standard handle, else in a message box, which an
// unattended run never shows.
void Tell(DWORD which, const std::wstring& text, bool unattended)
{
    if (WriteStandard(which, text) || unattended)
        return;
    UINT icon = which == STD_ERROR_HANDLE ? MB_ICONEXCLAMATION : MB_ICONINFORMATION;
    MessageBoxW(nullptr, text.c_str(), LoadStr(IDS_TITLE).c_str(), MB_OK | icon);
}

bool IsFolder(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A file name for the results: absolute, short enough for the results dialog, in a folder
// that exists, and not itself a folder.
bool ResolveLogPath(const std::wstring& value, std::wstring& path)
{
    wchar_t full[MAX_PATH] = {};
    wchar_t* name = nullptr;
    DWORD length = GetFullPathNameW(value.c_str(), MAX_PATH, full, &name);
    if (length == 0 || length >= MAX_PATH || !name || IsFolder(full))
        return false;
    path = full;
    return IsFolder(path.substr(0, name - full));
}

// Why the log is not where it was asked for, and where the run's findings are kept, if anywhere.
std::wstring NotSavedMessage(const CTroubleshooterApp& app, const UnattendedPilot& pilot)
{
    const std::wstring wanted = pilot.failedName().empty() ? app.savedResultPath : pilot.failedName();
    std::wstring message = FormatPrintf(LoadStr(IDS_CANNOT_WRITE).c_str(), wanted.c_str());
    WIN32_FIND_DATAW found;
    UniqueFind kept(FindFirstFileW(app.logFilePath, &found));
    if (kept)
        message += L" " + FormatPrintf(LoadStr(IDS_LOG_KEPT).c_str(), app.logFilePath);
    return message;
}

// Where the run's log is now: the saved file, or the temporary log that kept the findings
// when it could not be saved; empty when there is none.
std::wstring LogWhereabouts(const CTroubleshooterApp& app, int code)
{
    if (code < kExitFindings && code != kExitClean)
        return std::wstring();
    const wchar_t* path = (code & kFoundLogNotSaved) ? app.logFilePath : app.savedResultPath;
    WIN32_FIND_DATAW found;
    UniqueFind file(FindFirstFileW(path, &found));
    return file ? path : std::wstring();
}

// Writes the report to the file `target` (replaced when it exists), or to the standard
// output for kStandardOutput, as UTF-8. False when not all of it could be written; a file is
// then not left half written.
bool WriteReport(const std::wstring& target, const std::string& document)
{
    if (target == kStandardOutput) {
        std::wstring text(document.size(), L'\0');
        int units = MultiByteToWideChar(CP_UTF8, 0, document.data(), static_cast<int>(document.size()), &text[0],
                                        static_cast<int>(text.size()));
        text.resize(units > 0 ? units : 0);
        return WriteStandard(STD_OUTPUT_HANDLE, text, document);
    }
    return WriteWholeFile(target, document);
}

// Tells the outcome of a run that got to the spooler test on the standard output or error,
// and returns its exit code.
int ToldOutcome(CTroubleshooterApp& app, const UnattendedPilot& pilot, const CommandLineOptions& options)
{
    int code = pilot.ExitCode(app);
    switch (code) {
    case kExitSpoolerStopped:
        Tell(STD_ERROR_HANDLE, LoadStr(IDS_SPOOLER_NOT_RUNNING) + L"\r\n", true);
        break;
    case kExitNoPrinter:
        Tell(STD_ERROR_HANDLE, LoadStr(IDS_NO_PRINTER) + L"\r\n", true);
        break;
    case kExitPrinterNotFound:
        Tell(STD_ERROR_HANDLE, FormatPrintf(LoadStr(IDS_PRINTER_NOT_FOUND).c_str(), options.printer.c_str()) + L"\r\n",
             true);
        break;
    default:
        if (code & kFoundLogNotSaved)
            Tell(STD_ERROR_HANDLE, NotSavedMessage(app, pilot) + L"\r\n", true);
        // A report on the standard output is all that goes there.
        else if (options.report != kStandardOutput)
            Tell(STD_OUTPUT_HANDLE, FormatPrintf(LoadStr(IDS_LOG_SAVED).c_str(), app.savedResultPath) + L"\r\n", true);
    }
    return code;
}

// The report of a run that ended with `code`, written where the options say; the code with
// the bit for what could not be saved when it could not be written.
int FinishReport(const CTroubleshooterApp& app, const RunReport& report, const CommandLineOptions& options, int code)
{
    const std::wstring log = LogWhereabouts(app, code);
    // The report never takes the place of the run's log, under whatever name it is given.
    const bool overLog = !log.empty() && options.report != kStandardOutput && SameFile(log, options.report);
    if (!overLog && WriteReport(options.report, report.Document(code, log)))
        return code;
    std::wstring message = options.report == kStandardOutput
                               ? LoadStr(IDS_REPORT_NOT_OUTPUT)
                               : FormatPrintf(LoadStr(IDS_REPORT_NOT_WRITTEN).c_str(), options.report.c_str());
    if (!log.empty())
        message += L" " + FormatPrintf(LoadStr(IDS_LOG_KEPT).c_str(), log.c_str());
    Tell(STD_ERROR_HANDLE, message + L"\r\n", true);
    // The codes of a run that could not begin or check keep their meaning, with the bit added.
    if (code == kExitClean || code >= kExitFindings)
        code |= kExitFindings;
    return code | kFoundLogNotSaved;
}

}  // namespace

bool ParseCommandLine(const std::wstring& arguments, CommandLineOptions& options, std::wstring& error)
{
    // A program name in front, so that the first argument follows the rules of all others.
    std::wstring line = L"pdiag " + arguments;
    int count = 0;
    UniqueResource<HLOCAL, LocalTraits> argv(CommandLineToArgvW(line.c_str(), &count));
    if (!argv)
        return false;
    auto args = static_cast<wchar_t**>(argv.get());

    struct Switch {
        const wchar_t* name;
        bool* flag;          // a switch without value
        std::wstring* value; // a switch with a value after ':'
        bool seen;
    };
    Switch switches[] = {
        { L"unattended", &options.unattended, nullptr, false },
        { L"repair", &options.repair, nullptr, false },
        { L"restart", &options.restart, nullptr, false },
        { L"?", &options.help, nullptr, false },
        { L"printer", nullptr, &options.printer, false },
        { L"log", nullptr, &options.log, false },
        { L"report", nullptr, &options.report, false },
    };
    auto bad = [&](const std::wstring& argument) {
        error = FormatPrintf(LoadStr(IDS_BAD_ARGUMENT).c_str(), argument.c_str());
        return false;
    };
    for (int i = 1; i < count; ++i) {
        std::wstring argument = args[i];
        if (argument.size() < 2 || argument[0] != L'/')
            return bad(argument);
        size_t colon = argument.find(L':');
        std::wstring name = argument.substr(1, colon == std::wstring::npos ? std::wstring::npos : colon - 1);
        Switch* match = nullptr;
        for (Switch& s : switches)
            if (lstrcmpiW(name.c_str(), s.name) == 0)
                match = &s;
        if (!match || match->seen)
            return bad(argument);
        match->seen = true;
        if (match->flag) {
            if (colon != std::wstring::npos)
                return bad(argument);
            *match->flag = true;
            continue;
        }
        if (colon == std::wstring::npos || colon + 1 == argument.size())
            return bad(argument);
        std::wstring value = argument.substr(colon + 1);
        if (match->value == &options.printer || (match->value == &options.report && value == kStandardOutput))
            *match->value = value;
        else if (!ResolveLogPath(value, *match->value))
            return bad(argument);
    }
    if (!options.unattended && !options.help) {
        for (const Switch& s : switches) {
            if (s.seen) {
                error = FormatPrintf(LoadStr(IDS_NEEDS_UNATTENDED).c_str(), (std::wstring(L"/") + s.name).c_str());
                return false;
            }
        }
    }
    return true;
}

void ShowUsage(bool unattended)
{
    Tell(STD_OUTPUT_HANDLE, LoadStr(IDS_USAGE), unattended);
}

void ShowCommandLineError(const std::wstring& error, bool unattended)
{
    Tell(STD_ERROR_HANDLE, error + L"\r\n" + LoadStr(IDS_USAGE), unattended);
}

void TellAnotherRunIsGoingOn()
{
    Tell(STD_ERROR_HANDLE, LoadStr(IDS_ANOTHER_RUN) + L"\r\n", true);
}

AutopilotAction UnattendedPilot::Answer(const DialogSnapshot& dialog)
{
    switch (dialog.templateId) {
    case IDD_SPOOLER_STOPPED:
        spoolerStopped_ = true;
        return AutopilotAction::press(IDOK);
    case IDD_START:
        return AnswerStart(dialog);
    case IDD_RESULTS:
        return AnswerResults(dialog);
    case IDD_WRITE_FAILED:
        // The first failure goes back to the results dialog, which then keeps the log where
        // it is; only when even that fails is it given up.
        if (!writeFailed_) {
            writeFailed_ = true;
            failedName_ = lastName_;
            return AutopilotAction::press(IDC_WRITE_BACK);
        }
        return AutopilotAction::press(IDCANCEL);
    case IDD_FINISH:
        return AutopilotAction::press(options_.restart ? IDC_FINISH_RESTART : IDC_FINISH_RETURN);
    }
    for (const OfferAnswers& offer : kOffers) {
        if (offer.templateId == dialog.templateId) {
            bool repair = options_.repair && offer.yes && dialog.enabled(offer.yes);
            return AutopilotAction::press(repair ? offer.yes : offer.no);
        }
    }
    for (const NoticeAnswer& notice : kNotices)
        if (notice.templateId == dialog.templateId)
            return AutopilotAction::press(notice.continueId);
    // A dialog without a policy gets Esc; one that ignores it is ended by the framework.
    stuck_ = true;
    return AutopilotAction::press(IDCANCEL);
}

AutopilotAction UnattendedPilot::AnswerStart(const DialogSnapshot& dialog)
{
    const ControlState* list = dialog.find(IDC_PRINTER_LIST);
    if (!list || list->items.empty()) {
        noPrinter_ = true;
        return AutopilotAction::press(IDC_START_NO);
    }
    // The list is sorted and its first entry selected when the dialog opens.
    if (options_.printer.empty())
        return AutopilotAction::press(IDC_START_YES);
    for (size_t i = 0; i < list->items.size(); ++i) {
        if (lstrcmpiW(list->items[i].c_str(), options_.printer.c_str()) != 0)
            continue;
        if (list->selection != static_cast<int>(i))
            return AutopilotAction::select(IDC_PRINTER_LIST, list->items[i]);
        return AutopilotAction::press(IDC_START_YES);
    }
    printerNotFound_ = true;
    return AutopilotAction::press(IDC_START_NO);
}

AutopilotAction UnattendedPilot::AnswerResults(const DialogSnapshot& dialog)
{
    // Saving the log under the temporary log's own name leaves it where it is.
    const std::wstring& name = writeFailed_ ? temporaryLog_ : options_.log;
    if (!name.empty() && dialog.text(IDC_RESULTS_FILE_NAME) != name)
        return AutopilotAction::setText(IDC_RESULTS_FILE_NAME, name);
    const ControlState* save = dialog.find(IDC_RESULTS_SAVE);
    if (save && save->check != BST_CHECKED)
        return AutopilotAction::press(IDC_RESULTS_SAVE);
    lastName_ = dialog.text(IDC_RESULTS_FILE_NAME);
    return AutopilotAction::press(IDOK);
}

int UnattendedPilot::ExitCode(const CTroubleshooterApp& app) const
{
    if (spoolerStopped_)
        return kExitSpoolerStopped;
    if (noPrinter_)
        return kExitNoPrinter;
    if (printerNotFound_)
        return kExitPrinterNotFound;
    int bits = app.runFlags & (RUN_SETTING_WRONG | RUN_NETWORK_FAULT | RUN_REINSTALL);
    if (!(app.runFlags & RUN_COMPLETED) || stuck_)
        bits |= kFoundIncomplete;
    if (app.restartNeeded)
        bits |= kFoundRestartNeeded;
    WIN32_FIND_DATAW found;
    UniqueFind saved(FindFirstFileW(app.savedResultPath, &found));
    if (writeFailed_ || !saved)
        bits |= kFoundLogNotSaved;
    return bits ? kExitFindings + bits : kExitClean;
}

int RunUnattended(CTroubleshooterApp& app, const CommandLineOptions& options)
{
    UnattendedPilot pilot(options, app.logFilePath);
    std::optional<RunReport> report;
    if (!options.report.empty())
        report.emplace(app);
    {
        ScopedAutopilot scope(pilot);
        app.RunChecks();
    }
    int code = kExitNotRun;
    if (app.exitCode() == kExitNotRun)
        Tell(STD_ERROR_HANDLE, LoadStr(IDS_REGISTRY_UNREADABLE) + L"\r\n", true);
    else
        code = ToldOutcome(app, pilot, options);
    return report ? FinishReport(app, *report, options, code) : code;
}
