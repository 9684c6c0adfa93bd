// The unattended mode: its switches, the policy that answers each dialog, whole runs of the
// sequence under that policy with their reports, and the program itself started as a child
// process.
#include "app/unattended.h"
#include "checks/port_fixtures.h"
#include "framework/files.h"
#include "framework/raii.h"
#include "framework/strings.h"
#include "scripted_app.h"

#include <gtest/gtest.h>
#include <lmcons.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <thread>

namespace {

using A = AutopilotAction;
using Json = nlohmann::json;

// ---- switches ----

CommandLineOptions Parse(const std::wstring& arguments, bool expectOk = true, CallSite site = {})
{
    CallerTrace trace(site);
    CommandLineOptions options;
    std::wstring error;
    EXPECT_EQ(ParseCommandLine(arguments, options, error), expectOk) << Ansi(arguments) << ": " << Ansi(error);
    EXPECT_EQ(error.empty(), expectOk) << Ansi(arguments) << ": " << Ansi(error);
    return options;
}

TEST(CommandLine, NoArgumentsIsTheInteractiveProgram)
{
    CommandLineOptions options = Parse(L"");
    EXPECT_FALSE(options.unattended || options.repair || options.restart || options.help);
    EXPECT_TRUE(options.printer.empty() && options.log.empty());
}

TEST(CommandLine, SwitchesAndValues)
{
    std::wstring log = TempFolder() + L"x.log";
    CommandLineOptions options =
        Parse(L"/UNATTENDED /repair /Restart \"/printer:Tavik QX2210-2370\" /log:\"" + log + L"\"");
    EXPECT_TRUE(options.unattended && options.repair && options.restart);
    EXPECT_FALSE(options.help);
    EXPECT_EQ(options.printer, L"Tavik QX2210-2370");
    EXPECT_EQ(options.log, log);
    EXPECT_TRUE(Parse(L"/?").help);
    EXPECT_TRUE(Parse(L"/unattended /?").help);
}

TEST(CommandLine, RelativeLogNameBecomesAFullPath)
{
    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    std::wstring folder = current;
    if (folder.back() != L'\\')
        folder += L'\\';
    EXPECT_EQ(Parse(L"/unattended /log:r.log").log, folder + L"r.log");
}

TEST(CommandLine, ReportGoesToTheStandardOutputOrAFullPath)
{
    EXPECT_EQ(Parse(L"/unattended /report:-").report, L"-");
    EXPECT_EQ(Parse(L"/unattended").report, L"");
    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    std::wstring folder = current;
    if (folder.back() != L'\\')
        folder += L'\\';
    EXPECT_EQ(Parse(L"/Unattended /REPORT:r.json").report, folder + L"r.json");
}

TEST(CommandLine, UnknownRepeatedOrMalformedSwitchesAreRefused)
{
    for (const wchar_t* bad : { L"/unattend", L"unattended", L"-unattended", L"/", L"/unattended:yes",
                                L"/unattended /repair:1", L"/unattended /printer", L"/unattended /printer:",
                                L"/unattended /log:", L"/unattended /repair /repair",
                                L"/unattended /printer:a /printer:b", L"/unattended /log:C:\\no_such_folder\\x.log",
                                L"/unattended /log:C:\\windows", L"/?:x", L"/unattended extra",
                                L"/unattended /report", L"/unattended /report:",
                                L"/unattended /report:- /REPORT:r.json",
                                L"/unattended /report:C:\\no_such_folder\\r.json" }) {
        CommandLineOptions options;
        std::wstring error;
        EXPECT_FALSE(ParseCommandLine(bad, options, error)) << bad;
        EXPECT_EQ(error.rfind(L"无效的参数: ", 0), 0u) << bad;
    }
}

TEST(CommandLine, RunSwitchesNeedUnattended)
{
    for (const wchar_t* arguments : { L"/repair", L"/restart", L"/printer:x", L"/log:x.log", L"/report:-" }) {
        CommandLineOptions options;
        std::wstring error;
        EXPECT_FALSE(ParseCommandLine(arguments, options, error)) << arguments;
        EXPECT_NE(error.find(L" 只能与 /unattended 一起使用。"), std::wstring::npos) << arguments;
    }
}

// ---- the policy on its own ----

DialogSnapshot Snapshot(UINT templateId, std::vector<ControlState> controls = {})
{
    DialogSnapshot snapshot;
    snapshot.templateId = templateId;
    snapshot.controls = std::move(controls);
    return snapshot;
}

ControlState Button(int id, bool enabled = true, int check = 0)
{
    ControlState c;
    c.id = id;
    c.className = L"Button";
    c.enabled = enabled;
    c.check = check;
    return c;
}

ControlState PrinterList(std::vector<std::wstring> items, int selection)
{
    ControlState c;
    c.id = IDC_PRINTER_LIST;
    c.className = L"ListBox";
    c.enabled = true;
    c.items = std::move(items);
    c.selection = selection;
    return c;
}

void ExpectPress(const AutopilotAction& action, int id, CallSite site = {})
{
    CallerTrace trace(site);
    EXPECT_EQ(action.kind, AutopilotAction::Press) << "the action on control " << action.control;
    EXPECT_EQ(action.control, id);
}

CommandLineOptions Unattended(bool repair = false, bool restart = false)
{
    CommandLineOptions options;
    options.unattended = true;
    options.repair = repair;
    options.restart = restart;
    return options;
}

TEST(UnattendedPolicy, CorrectionOffersFollowRepairExceptThePortDialog)
{
    struct Offer {
        UINT dialog;
        int yes, no;
    };
    for (const Offer& o : { Offer{ IDD_REGISTRY_FIX, IDC_REGFIX_YES, IDC_REGFIX_NO },
                            Offer{ IDD_ONDRIX_DRIVER, IDC_ONDRIX_YES, IDC_ONDRIX_NO },
                            Offer{ IDD_LANG_MONITOR, IDC_LANGMON_YES, IDC_LANGMON_NO },
                            Offer{ IDD_DRIVER_SETTINGS, IDC_DRIVER_YES, IDC_DRIVER_NO },
                            Offer{ IDD_STATUS_WINDOW, IDC_STATUSWND_YES, IDC_STATUSWND_NO },
                            Offer{ IDD_BIDI, IDC_BIDI_YES, IDC_BIDI_NO },
                            Offer{ IDD_HOLD_MISMATCHED, IDC_HOLD_YES, IDC_HOLD_NO },
                            Offer{ IDD_PROGRAM_FOLDER, IDC_FOLDER_YES, IDC_FOLDER_NO },
                            Offer{ IDD_FOLDER_ITEM, IDC_ITEM_YES, IDC_ITEM_NO } }) {
        DialogSnapshot dialog = Snapshot(o.dialog, { Button(o.yes), Button(o.no) });
        UnattendedPilot repair(Unattended(true)), leave(Unattended(false));
        ExpectPress(repair.Answer(dialog), o.yes);
        ExpectPress(leave.Answer(dialog), o.no);
        // A disabled Yes cannot be pressed: No.
        ExpectPress(repair.Answer(Snapshot(o.dialog, { Button(o.yes, false), Button(o.no) })), o.no);
    }
    UnattendedPilot repair(Unattended(true));
    ExpectPress(repair.Answer(Snapshot(IDD_PORT_SETTINGS, { Button(IDC_PORT_YES), Button(IDC_PORT_NO) })),
                IDC_PORT_NO);
}

TEST(UnattendedPolicy, NoticesContinueAndTheFinishDialogFollowsRestart)
{
    UnattendedPilot pilot(Unattended(true));
    ExpectPress(pilot.Answer(Snapshot(IDD_FILE_MISSING)), IDC_MISSING_CONTINUE);
    ExpectPress(pilot.Answer(Snapshot(IDD_FILE_VERSION)), IDC_VERSION_CONTINUE);
    ExpectPress(pilot.Answer(Snapshot(IDD_REGISTRY_REINSTALL)), IDC_REGREINST_CONTINUE);
    ExpectPress(pilot.Answer(Snapshot(IDD_NO_PERMISSION)), IDC_NOPERM_CONTINUE);
    ExpectPress(pilot.Answer(Snapshot(IDD_SERVER_ERROR)), IDC_SERVER_CONTINUE);
    ExpectPress(pilot.Answer(Snapshot(IDD_NET_PRINTER_ERROR)), IDC_NETPRN_CONTINUE);
    ExpectPress(pilot.Answer(Snapshot(IDD_FINISH)), IDC_FINISH_RETURN);
    UnattendedPilot restart(Unattended(false, true));
    ExpectPress(restart.Answer(Snapshot(IDD_FINISH)), IDC_FINISH_RESTART);
}

TEST(UnattendedPolicy, StartDialogPicksTheNamedOrFirstPrinter)
{
    DialogSnapshot start = Snapshot(IDD_START, { PrinterList({ L"A", L"Tavik B" }, 0), Button(IDC_START_YES) });
    UnattendedPilot first(Unattended());
    ExpectPress(first.Answer(start), IDC_START_YES);

    CommandLineOptions named = Unattended();
    named.printer = L"tavik b";
    UnattendedPilot pilot(named);
    AutopilotAction select = pilot.Answer(start);
    EXPECT_EQ(select.kind, AutopilotAction::Select);
    EXPECT_EQ(select.control, IDC_PRINTER_LIST);
    EXPECT_EQ(select.item, L"Tavik B");
    start.controls[0].selection = 1;
    ExpectPress(pilot.Answer(start), IDC_START_YES);
}

TEST(UnattendedPolicy, NoPrinterAndUnknownPrinterAnswerNoWithTheirCodes)
{
    ScriptedApp app;
    UnattendedPilot none(Unattended());
    ExpectPress(none.Answer(Snapshot(IDD_START, { PrinterList({}, -1), Button(IDC_START_YES, false) })), IDC_START_NO);
    EXPECT_EQ(none.ExitCode(app), kExitNoPrinter);

    CommandLineOptions named = Unattended();
    named.printer = L"C";
    UnattendedPilot unknown(named);
    ExpectPress(unknown.Answer(Snapshot(IDD_START, { PrinterList({ L"A", L"B" }, 0) })), IDC_START_NO);
    EXPECT_EQ(unknown.ExitCode(app), kExitPrinterNotFound);

    UnattendedPilot spooler(Unattended());
    ExpectPress(spooler.Answer(Snapshot(IDD_SPOOLER_STOPPED)), IDOK);
    EXPECT_EQ(spooler.ExitCode(app), kExitSpoolerStopped);
}

TEST(UnattendedPolicy, ResultsAreKeptAndAWriteFailureKeepsTheTemporaryLog)
{
    const std::wstring temporary = L"C:\\temp\\ts_xerb5.tmp";
    UnattendedPilot pilot(Unattended(), temporary);
    ExpectPress(pilot.Answer(Snapshot(IDD_RESULTS, { Button(IDC_RESULTS_SAVE, true, BST_UNCHECKED) })),
                IDC_RESULTS_SAVE);
    ExpectPress(pilot.Answer(Snapshot(IDD_RESULTS, { Button(IDC_RESULTS_SAVE, true, BST_CHECKED) })), IDOK);
    EXPECT_EQ(pilot.failedName(), L"");
    // The first failure goes back and saves under the temporary log's own name.
    ExpectPress(pilot.Answer(Snapshot(IDD_WRITE_FAILED)), IDC_WRITE_BACK);
    A keep = pilot.Answer(Snapshot(IDD_RESULTS, { Button(IDC_RESULTS_SAVE, true, BST_CHECKED) }));
    EXPECT_EQ(keep.kind, A::SetText);
    EXPECT_EQ(keep.control, IDC_RESULTS_FILE_NAME);
    EXPECT_EQ(keep.item, temporary);
    // Only a second failure gives up.
    ExpectPress(pilot.Answer(Snapshot(IDD_WRITE_FAILED)), IDCANCEL);
}

TEST(UnattendedPolicy, ExitCodeIsBuiltFromTheFindings)
{
    std::wstring saved = TempFolder() + L"test_app_saved.log";
    WriteBytes(saved, "");
    ScriptedApp app;
    lstrcpyW(app.savedResultPath, saved.c_str());
    UnattendedPilot pilot(Unattended());
    app.runFlags = RUN_COMPLETED;
    EXPECT_EQ(pilot.ExitCode(app), 0);
    app.runFlags = RUN_COMPLETED | RUN_SETTING_WRONG;
    EXPECT_EQ(pilot.ExitCode(app), 18);
    app.restartNeeded = 1;
    EXPECT_EQ(pilot.ExitCode(app), 50);
    app.restartNeeded = 0;
    app.runFlags = RUN_COMPLETED | RUN_SETTING_WRONG | RUN_REINSTALL;
    EXPECT_EQ(pilot.ExitCode(app), 26);
    app.runFlags = RUN_COMPLETED | RUN_NETWORK_FAULT;
    EXPECT_EQ(pilot.ExitCode(app), 20);
    app.runFlags = RUN_SETTING_WRONG;
    EXPECT_EQ(pilot.ExitCode(app), 19);
    DeleteFileW(saved.c_str());
    app.runFlags = RUN_COMPLETED;
    EXPECT_EQ(pilot.ExitCode(app), 80);

    // A dialog the policy does not know is stuck, and the run says so.
    UnattendedPilot unknown(Unattended());
    ExpectPress(unknown.Answer(Snapshot(999)), IDCANCEL);
    WriteBytes(saved, "");
    EXPECT_EQ(unknown.ExitCode(app), 17);
    DeleteFileW(saved.c_str());
}

// ---- reading reports ----

std::string Utf8(const std::wstring& text)
{
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(bytes, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), out.data(), bytes, nullptr, nullptr);
    return out;
}

std::wstring FromUtf8(const std::string& text)
{
    int units = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0);
    std::wstring out(units, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), int(text.size()), out.data(), units);
    return out;
}

// A report's bytes as a JSON parser reads them; UTF-8 without a byte-order mark.
Json ParseReport(const std::string& bytes, CallSite site = {})
{
    CallerTrace trace(site);
    EXPECT_NE(bytes.rfind("\xEF\xBB\xBF", 0), 0u) << "the report begins with a byte-order mark";
    Json report = Json::parse(bytes, nullptr, false);
    EXPECT_TRUE(report.is_object()) << "not a JSON object: " << bytes;
    return report;
}

std::vector<std::string> Ids(const Json& report)
{
    std::vector<std::string> ids;
    for (const Json& check : report.at("checks"))
        ids.push_back(check.at("id").get<std::string>());
    return ids;
}

// The n-th entry of check `id`; an empty object when there is none.
Json Entry(const Json& report, const std::string& id, int n = 0)
{
    for (const Json& check : report.at("checks"))
        if (check.at("id") == id && n-- == 0)
            return check;
    ADD_FAILURE() << "no entry " << id << " in " << report.at("checks").dump();
    return Json::object();
}

// The checks of a report are, in order, the lines of the log's body as the log got them: each
// its text and its completion, then its detail lines; a line is a finding exactly when its
// result is not "correct". The closing lines of the run belong to no check.
void ExpectChecksAreTheLogsLines(const Json& report, const std::string& log, CallSite site = {})
{
    CallerTrace trace(site);
    std::vector<std::string> lines;
    const std::string body = BodyAfterHeader(log);
    for (size_t at = 0, end; (end = body.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(body.substr(at, end - at));
    const std::string completed = Ansi(L"疑难解答完成。"), aborted = Ansi(L"用户终止疑难解答。");
    size_t closing = 0;
    while (closing < lines.size() && lines[closing] != completed && lines[closing] != aborted)
        ++closing;
    ASSERT_LT(closing, lines.size()) << "no closing line in the log: " << log;
    lines.resize(closing);

    size_t next = 0;
    for (const Json& check : report.at("checks")) {
        std::wstring text = FromUtf8(check.at("text"));
        const std::string result = check.at("result");
        const bool finding = text.rfind(L"错误:", 0) == 0 || text.rfind(L"网络错误:", 0) == 0;
        EXPECT_EQ(finding, result != "correct") << check.dump();
        text += result == "repaired" ? L"-- 已修正" : result == "notRepaired" ? L"-- 未修正" : L"";
        ASSERT_LT(next, lines.size()) << "a check beyond the log's lines: " << check.dump();
        EXPECT_EQ(lines[next++], Ansi(text)) << check.dump();
        for (const Json& detail : check.value("details", Json::array())) {
            ASSERT_LT(next, lines.size()) << "a detail beyond the log's lines: " << check.dump();
            EXPECT_EQ(lines[next++], Ansi(FromUtf8(detail))) << check.dump();
        }
    }
    EXPECT_EQ(next, lines.size()) << "log lines without a check in: " << log;
}

long long Ticks(const FILETIME& time)
{
    return (static_cast<long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

long long NowTicks()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return Ticks(now);
}

// The moment a report's time names ("2026-12-09T21:53:32+08:00": local time and its offset
// from UTC) in UTC ticks; 0 when the text has another form.
long long UtcTicks(const std::string& text)
{
    int year, month, day, hour, minute, second, offsetHours, offsetMinutes, length = 0;
    char sign = 0;
    if (text.size() != 25 || std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c%2d:%2d%n", &year, &month, &day, &hour,
                                         &minute, &second, &sign, &offsetHours, &offsetMinutes, &length) != 9 ||
        length != 25 || (sign != '+' && sign != '-'))
        return 0;
    SYSTEMTIME local = { WORD(year), WORD(month), 0, WORD(day), WORD(hour), WORD(minute), WORD(second), 0 };
    FILETIME moment;
    if (!SystemTimeToFileTime(&local, &moment))
        return 0;
    const long long offset = (offsetHours * 60LL + offsetMinutes) * 60 * 10000000;
    return Ticks(moment) - (sign == '+' ? offset : -offset);
}

// The report's start and end lie, to the second, within the moments around the run.
void ExpectRunTimes(const Json& report, long long before, long long after, CallSite site = {})
{
    CallerTrace trace(site);
    const long long started = UtcTicks(report.at("started")), finished = UtcTicks(report.at("finished"));
    const long long second = 10000000;
    EXPECT_GT(started, before - second) << report.at("started");
    EXPECT_LE(started, finished) << report.at("started") << " " << report.at("finished");
    EXPECT_LE(finished, after) << report.at("finished");
}

// ---- whole runs under the policy, in this process ----

// What `run` writes to this process's standard error.
std::string StandardErrorOf(const std::function<void()>& run)
{
    HANDLE read = nullptr, write = nullptr;
    EXPECT_TRUE(CreatePipe(&read, &write, nullptr, 1 << 16)) << GetLastError();
    const HANDLE saved = GetStdHandle(STD_ERROR_HANDLE);
    SetStdHandle(STD_ERROR_HANDLE, write);
    run();
    SetStdHandle(STD_ERROR_HANDLE, saved);
    CloseHandle(write);
    std::string text;
    char buffer[512];
    DWORD got = 0;
    while (ReadFile(read, buffer, sizeof(buffer), &got, nullptr) && got)
        text.append(buffer, got);
    CloseHandle(read);
    return text;
}

// `path` through the drive Z:, which Wine maps to the root of the Unix file system: another
// drive letter for the same folder. Empty where Wine's export that names a path's Unix file
// is missing.
std::wstring ThroughDriveZ(const std::wstring& path)
{
    using UnixFileName = char*(CDECL*)(const wchar_t*);
    auto unixFileName = reinterpret_cast<UnixFileName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unixFileName ? unixFileName(path.c_str()) : nullptr;
    if (!name)
        return std::wstring();
    std::wstring spelt = L"Z:" + FromUtf8(name);
    HeapFree(GetProcessHeap(), 0, name);
    std::replace(spelt.begin(), spelt.end(), L'/', L'\\');
    return spelt;
}

// Stands for a drive with no room left, which Wine cannot produce: every whole-file write
// fails having written nothing.
class FullDrive {
public:
    FullDrive() : saved_(g_fileWriteCalls) { g_fileWriteCalls.writeFile = NoRoom; }
    ~FullDrive() { g_fileWriteCalls = saved_; }
    FullDrive(const FullDrive&) = delete;
    FullDrive& operator=(const FullDrive&) = delete;

private:
    static BOOL WINAPI NoRoom(HANDLE, LPCVOID, DWORD, LPDWORD written, LPOVERLAPPED)
    {
        *written = 0;
        SetLastError(ERROR_DISK_FULL);
        return FALSE;
    }
    const FileWriteCalls saved_;
};

// Other names of the same file: the refusals that compare the full names, and the spellings
// that only the file itself tells apart.
struct Spelling {
    const char* label;
    std::wstring name;
};

std::vector<Spelling> OtherNamesOf(const std::wstring& path)
{
    const size_t cut = path.rfind(L'\\');
    std::wstring upper = path;
    CharUpperW(&upper[0]);
    return {
        { "another letter case", upper },
        { "a trailing dot", path + L"." },
        { "a step up", path.substr(0, cut) + L"\\x\\..\\" + path.substr(cut + 1) },
        { "the \\\\?\\ prefix", L"\\\\?\\" + path },
        { "another drive letter", ThroughDriveZ(path) },
    };
}

class UnattendedRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        log_ = TempFolder() + L"test_app_unattended.log";
        report_ = TempFolder() + L"test_app_report.json";
        DeleteFileW(log_.c_str());
        DeleteFileW(report_.c_str());
    }
    void TearDown() override
    {
        DeleteFileW(log_.c_str());
        DeleteFileW(report_.c_str());
    }
    CommandLineOptions Options(bool repair = false, bool restart = false)
    {
        CommandLineOptions options = Unattended(repair, restart);
        options.log = log_;
        return options;
    }
    CommandLineOptions Reported(bool repair = false)
    {
        CommandLineOptions options = Options(repair);
        options.report = report_;
        return options;
    }
    Json Report(CallSite site = {}) const { return ParseReport(ReadBytes(report_), site); }
    std::string SavedLog() const { return ReadBytes(log_); }
    bool LogEndsWith(const std::wstring& text) const
    {
        std::string log = SavedLog(), tail = Ansi(text);
        return log.size() >= tail.size() && log.compare(log.size() - tail.size(), tail.size(), tail) == 0;
    }
    std::wstring log_;
    std::wstring report_;
};

TEST_F(UnattendedRun, CleanPrinterEndsWithZeroAndTheLogWhereAsked)
{
    ScriptedApp app;
    EXPECT_EQ(RunUnattended(app, Options()), 0);
    EXPECT_EQ(std::wstring(app.savedResultPath), log_);
    EXPECT_EQ(SavedLog().rfind(Ansi(L"LPT1:[local] 中 Tavik QX2210-2370 的疑难解答 - "), 0), 0u);
    EXPECT_TRUE(LogEndsWith(L"疑难解答完成。\r\nLPT1:[local] 中 Tavik QX2210-2370 的设置正确。\r\n"));
    EXPECT_FALSE(FileExists(app.logFilePath));
    EXPECT_EQ(CurrentAutopilot(), nullptr);
}

// No one watches an unattended run: a clean one makes no dialog window at all, neither a
// please-wait window nor the start and results dialogs it answers.
HHOOK g_creations = nullptr;
int g_dialogsMade = 0;

LRESULT CALLBACK CountDialogs(int code, WPARAM wParam, LPARAM lParam)
{
    wchar_t cls[16] = {};
    if (code == HCBT_CREATEWND && GetClassNameW(reinterpret_cast<HWND>(wParam), cls, 16) && lstrcmpW(cls, L"#32770") == 0)
        ++g_dialogsMade;
    return CallNextHookEx(g_creations, code, wParam, lParam);
}

TEST_F(UnattendedRun, ACleanRunMakesNoDialogWindow)
{
    ScriptedApp app;
    g_dialogsMade = 0;
    g_creations = SetWindowsHookExW(WH_CBT, CountDialogs, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(g_creations);
    int code = RunUnattended(app, Options());
    UnhookWindowsHookEx(g_creations);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(g_dialogsMade, 0);
}

// Faults of every kind of answer: a port fault, a port-driver fault whose repair the
// missing port forbids, and two repairable faults.
void ScriptFaults(ScriptedApp& app)
{
    app.portPresent = 0;
    app.portMissingOnFault = 1;
    app.portDriverService = 0x1000;
    app.languageMonitor = 5;
    app.bidiSupport = 0;
}

TEST_F(UnattendedRun, RepairAnswersYesWhereItMayAndTheCodeStillTellsOfWrongSettings)
{
    ScriptedApp app;
    ScriptFaults(app);
    EXPECT_EQ(RunUnattended(app, Options(true)), kExitFindings + kFoundSettingWrong + kFoundRestartNeeded);
    EXPECT_EQ(app.calls, (std::vector<std::wstring>{ L"RepairLanguageMonitor(5)", L"EnableBidiSupport" }));
    EXPECT_EQ(app.portMissing, 1);
    std::string log = SavedLog();
    EXPECT_NE(log.find(Ansi(L"错误:Tavik QX2210-2370 连接到 LPT1:。-- 未修正\r\n")), std::string::npos);
    EXPECT_NE(log.find(Ansi(L"错误:Ondrix 设备驱动程序没有运行。-- 未修正\r\n")), std::string::npos);
    EXPECT_NE(log.find(Ansi(L"错误:Tavik QX2210-2370 语言监视器未被安装。-- 已修正\r\n")), std::string::npos);
    EXPECT_TRUE(LogEndsWith(L"LPT1:[local] 中 Tavik QX2210-2370 的设置不正确。\r\n返回 Windows。\r\n"));
}

TEST_F(UnattendedRun, RestartSwitchRestartsAfterARepair)
{
    ScriptedApp app;
    app.bidiSupport = 0;
    EXPECT_EQ(RunUnattended(app, Options(true, true)), 50);
    EXPECT_EQ(app.calls, (std::vector<std::wstring>{ L"EnableBidiSupport", L"EnablePrivilege(SeShutdownPrivilege)",
                                                     L"RestartWindows", L"DisablePrivilege(SeShutdownPrivilege)" }));
    EXPECT_TRUE(LogEndsWith(L"重新启动 Windows。\r\n"));
}

TEST_F(UnattendedRun, WithoutRepairNothingIsChanged)
{
    ScriptedApp app;
    ScriptFaults(app);
    EXPECT_EQ(RunUnattended(app, Options(false, true)), 18);
    EXPECT_TRUE(app.calls.empty());
    EXPECT_TRUE(LogEndsWith(L"LPT1:[local] 中 Tavik QX2210-2370 的设置不正确。\r\n"));
}

TEST_F(UnattendedRun, WithoutAdministratorRightsTheNoticeIsContinued)
{
    ScriptedApp app;
    app.adminRights = 0;
    app.languageMonitor = 5;
    EXPECT_EQ(RunUnattended(app, Options(true)), 18);
    EXPECT_TRUE(app.calls.empty());
    EXPECT_NE(SavedLog().find(Ansi(L"语言监视器未被安装。-- 未修正\r\nTavik QX2210-2370 打印机驱动程序设置正确。")),
              std::string::npos);
}

TEST_F(UnattendedRun, MissingManifestAndNetworkFaultHaveTheirBits)
{
    ScriptedApp missing;
    missing.manifestFile = 0;
    EXPECT_EQ(RunUnattended(missing, Options(true)), 26);
    EXPECT_TRUE(LogEndsWith(L"的设置不正确。重新安装 Tavik QX2210-2370。\r\n"));

    ScriptedApp network;
    network.classify = RedirectedToShare;
    network.printServer = 0;
    EXPECT_EQ(RunUnattended(network, Options(true)), 20);
    EXPECT_TRUE(LogEndsWith(L"LPT1:[\\\\srv\\q] 中 Tavik QX2210-2370 的网络设置不正确。\r\n"));
}

TEST_F(UnattendedRun, StoppedSpoolerAndUnknownPrinterLogNothing)
{
    ScriptedApp stopped;
    stopped.spoolerRunning = 0;
    EXPECT_EQ(RunUnattended(stopped, Options()), kExitSpoolerStopped);
    ScriptedApp unknown;
    CommandLineOptions options = Options();
    options.printer = L"No Such Printer";
    EXPECT_EQ(RunUnattended(unknown, options), kExitPrinterNotFound);
    EXPECT_FALSE(FileExists(unknown.logFilePath));
    EXPECT_FALSE(FileExists(log_));
}

TEST_F(UnattendedRun, PrinterNameInAnyCase)
{
    ScriptedApp app;
    CommandLineOptions options = Options();
    options.printer = L"tavik qx2210-2370";
    EXPECT_EQ(RunUnattended(app, options), 0);
    EXPECT_EQ(app.printerName, L"Tavik QX2210-2370");
}

TEST_F(UnattendedRun, LogThatCannotBeWrittenIsReportedAndItsFindingsKept)
{
    UniqueFile locked(CreateFileW(log_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(bool(locked));
    ScriptedApp app;
    ScriptFaults(app);
    EXPECT_EQ(RunUnattended(app, Options()) & kFoundLogNotSaved, kFoundLogNotSaved);
    // The findings stay in the temporary log, which is what the run names as saved.
    EXPECT_EQ(std::wstring(app.savedResultPath), std::wstring(app.logFilePath));
    std::string kept = ReadBytes(app.logFilePath);
    EXPECT_NE(kept.find(Ansi(L"错误:Tavik QX2210-2370 语言监视器未被安装。-- 未修正\r\n")), std::string::npos) << kept;
    EXPECT_NE(kept.find(Ansi(L"疑难解答完成。\r\n")), std::string::npos) << kept;
    DeleteFileW(app.logFilePath);
}

// The log kept under the name of the temporary log, however it is spelt, stays where it is.
TEST_F(UnattendedRun, LogNamedAsTheTemporaryLogKeepsItThere)
{
    const std::wstring temporary = ScriptedApp().logFilePath;
    for (const Spelling& spelling : OtherNamesOf(temporary)) {
        SCOPED_TRACE(spelling.label);
        ASSERT_FALSE(spelling.name.empty());
        ScriptedApp app;
        CommandLineOptions options =
            Parse(L"/unattended \"/log:" + spelling.name + L"\" \"/report:" + report_ + L"\"");
        EXPECT_EQ(RunUnattended(app, options), kExitClean);
        const std::string kept = ReadBytes(temporary);
        EXPECT_EQ(kept.rfind(Ansi(L"LPT1:[local] 中 Tavik QX2210-2370 的疑难解答 - "), 0), 0u) << kept;
        EXPECT_NE(kept.find(Ansi(L"疑难解答完成。\r\n")), std::string::npos) << kept;
        EXPECT_EQ(Report().at("log"), Utf8(options.log));
    }
}

// A full drive: the log stays in the temporary log, the report is not written, and neither
// leaves a file under its name; the standard error says both.
TEST_F(UnattendedRun, FullDriveLeavesNoEmptyLogOrReport)
{
    ScriptedApp app;
    int code = 0;
    const std::string err = StandardErrorOf([&] {
        FullDrive full;
        code = RunUnattended(app, Reported());
    });
    EXPECT_EQ(code, kExitFindings + kFoundLogNotSaved);
    EXPECT_FALSE(FileExists(log_));
    EXPECT_FALSE(FileExists(report_));
    const std::wstring temporary = app.logFilePath;
    EXPECT_NE(ReadBytes(temporary).find(Ansi(L"疑难解答完成。\r\n")), std::string::npos);
    EXPECT_EQ(err, Ansi(L"无法写入 " + log_ + L"。 结果保留在 " + temporary + L"。\r\n" + L"无法写入报告 " + report_ +
                        L"。 结果保留在 " + temporary + L"。\r\n"));
}

TEST_F(UnattendedRun, UnreadableRegistryIsToldAndReported)
{
    ScriptedApp app;
    app.registryReadable = false;
    int code = 0;
    EXPECT_EQ(StandardErrorOf([&] { code = RunUnattended(app, Reported()); }), Ansi(L"无法读取注册表。\r\n"));
    EXPECT_EQ(code, kExitNotRun);
    EXPECT_EQ(Report().at("exitCode"), kExitNotRun);
    EXPECT_TRUE(Report().at("log").is_null());
    EXPECT_FALSE(FileExists(app.logFilePath));
}

// ---- the report of a run ----

std::wstring ComputerName()
{
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = ARRAYSIZE(name);
    GetComputerNameW(name, &size);
    return name;
}

std::wstring UserName()
{
    wchar_t name[UNLEN + 1] = {};
    DWORD size = ARRAYSIZE(name);
    GetUserNameW(name, &size);
    return name;
}

TEST_F(UnattendedRun, ReportOfACleanRunListsEveryCheckAsTheLogGotIt)
{
    const DWORD bidirectional = 1;
    PortModeValue mode(kPort, &bidirectional);
    ScriptedApp app;
    const long long before = NowTicks();
    EXPECT_EQ(RunUnattended(app, Reported()), 0);
    const long long after = NowTicks();

    Json report = Report();
    EXPECT_EQ(report.at("schemaVersion"), 1);
    EXPECT_EQ(report.at("program"), "pdiag");
    EXPECT_EQ(report.at("programVersion"), "1.0.0.0");
    EXPECT_EQ(report.at("computer"), Utf8(ComputerName()));
    EXPECT_EQ(report.at("user"), Utf8(UserName()));
    EXPECT_EQ(report.at("printer"), "Tavik QX2210-2370");
    EXPECT_EQ(report.at("port"), "LPT1:");
    EXPECT_EQ(report.at("portClass"), "local");
    EXPECT_EQ(report.at("restartNeeded"), false);
    EXPECT_EQ(report.at("log"), Utf8(log_));
    EXPECT_EQ(report.at("exitCode"), 0);
    ExpectRunTimes(report, before, after);
    EXPECT_EQ(Ids(report), (std::vector<std::string>{ "packageFiles", "port", "portMode", "registry",
                                                      "portDriverService", "languageMonitor", "printerDriver",
                                                      "statusWindow", "printerAttributes", "programFolder" }));
    for (const Json& check : report.at("checks")) {
        EXPECT_EQ(check.at("result"), "correct") << check.dump();
        EXPECT_FALSE(check.contains("code")) << check.dump();
    }
    EXPECT_EQ(Entry(report, "portMode").at("text"), Utf8(L"双向"));
    ExpectChecksAreTheLogsLines(report, SavedLog());
}

TEST_F(UnattendedRun, ReportTellsEachFindingsOutcomeAndCode)
{
    ScriptedApp app;
    ScriptFaults(app);
    app.missingItems = { L"状态窗口", L"疑难解答" };
    EXPECT_EQ(RunUnattended(app, Reported(true)), kExitFindings + kFoundSettingWrong + kFoundRestartNeeded);
    Json report = Report();
    EXPECT_EQ(Ids(report), (std::vector<std::string>{ "packageFiles", "port", "registry", "portDriverService",
                                                      "languageMonitor", "printerDriver", "statusWindow", "bidiSupport",
                                                      "programItem", "programItem" }));
    Json port = Entry(report, "port");
    EXPECT_EQ(port.at("result"), "notRepaired");
    EXPECT_EQ(port.at("text"), Utf8(L"错误:Tavik QX2210-2370 连接到 LPT1:。"));
    EXPECT_FALSE(port.contains("code"));
    // The missing port forbids the port driver's repair.
    Json service = Entry(report, "portDriverService");
    EXPECT_EQ(service.at("result"), "notRepaired");
    EXPECT_EQ(service.at("code"), 0x1000);
    Json monitor = Entry(report, "languageMonitor");
    EXPECT_EQ(monitor.at("result"), "repaired");
    EXPECT_EQ(monitor.at("text"), Utf8(L"错误:Tavik QX2210-2370 语言监视器未被安装。"));
    EXPECT_EQ(monitor.at("code"), 5);
    EXPECT_EQ(Entry(report, "bidiSupport").at("result"), "repaired");
    EXPECT_EQ(Entry(report, "programItem", 1).at("text"), Utf8(L"错误:“疑难解答”的程序文件夹项目不存在。"));
    EXPECT_EQ(Entry(report, "programItem", 1).at("result"), "repaired");
    EXPECT_EQ(report.at("restartNeeded"), true);
    EXPECT_EQ(report.at("exitCode"), 50);
    ExpectChecksAreTheLogsLines(report, SavedLog());

    // Notices offer nothing: their findings stay faults. The network path keeps its backslashes.
    ScriptedApp network;
    network.classify = RedirectedToShare;
    network.printerRegistry = 0;
    network.networkPrinter = 0;
    EXPECT_EQ(RunUnattended(network, Reported(true)), kExitFindings + kFoundSettingWrong + kFoundNetworkFault +
                                                          kFoundReinstall);
    report = Report();
    EXPECT_EQ(report.at("portClass"), "redirectedLpt");
    EXPECT_EQ(Ids(report), (std::vector<std::string>{ "packageFiles", "registry", "languageMonitor", "printerDriver",
                                                      "statusWindow", "programFolder", "networkPrinter" }));
    Json registry = Entry(report, "registry");
    EXPECT_EQ(registry.at("result"), "fault");
    EXPECT_FALSE(registry.contains("code"));
    Json printer = Entry(report, "networkPrinter");
    EXPECT_EQ(printer.at("result"), "fault");
    EXPECT_EQ(printer.at("text"), Utf8(L"网络错误:无法访问网络打印机 \\\\srv\\q。"));
    ExpectChecksAreTheLogsLines(report, SavedLog());
}

TEST_F(UnattendedRun, RunsThatEndEarlyReportNoPrinterAndNoLog)
{
    ScriptedApp stopped;
    stopped.spoolerRunning = 0;
    EXPECT_EQ(RunUnattended(stopped, Reported()), kExitSpoolerStopped);
    Json report = Report();
    EXPECT_EQ(report.at("exitCode"), kExitSpoolerStopped);
    EXPECT_EQ(report.at("checks"), Json::array());
    for (const char* unknown : { "printer", "port", "portClass", "log" })
        EXPECT_TRUE(report.at(unknown).is_null()) << unknown;
    EXPECT_EQ(report.at("restartNeeded"), false);

    ScriptedApp unknown;
    CommandLineOptions options = Reported();
    options.printer = L"No Such Printer";
    EXPECT_EQ(RunUnattended(unknown, options), kExitPrinterNotFound);
    report = Report();
    EXPECT_EQ(report.at("exitCode"), kExitPrinterNotFound);
    EXPECT_TRUE(report.at("printer").is_null());
    EXPECT_TRUE(report.at("portClass").is_null());
    EXPECT_EQ(report.at("checks"), Json::array());
}

// Windows allows no backslash in a printer's name: the backslashes of a report are those of
// paths and network names (see the runs above), and of the writer's own test.
TEST_F(UnattendedRun, PrinterNameWithQuotesAndChineseIsReportedAsItIs)
{
    const std::wstring name = L"Tavik \"报告\" 打印机 二楼";
    SpoolerPrinter printer(name, kTavikDriver, kPort);
    ScriptedApp app;
    CommandLineOptions options = Reported();
    options.printer = name;
    EXPECT_EQ(RunUnattended(app, options), 0);
    EXPECT_EQ(app.printerName, name);
    Json report = Report();
    EXPECT_EQ(report.at("printer"), Utf8(name));
    EXPECT_EQ(report.at("log"), Utf8(log_));
}

// The report never takes the place of the log: named like it, it is refused and the log kept.
TEST_F(UnattendedRun, ReportThatCannotBeWrittenAddsItsBitAndKeepsTheLog)
{
    ScriptedApp app;
    CommandLineOptions options = Reported();
    options.report = log_;
    EXPECT_EQ(RunUnattended(app, options), kExitFindings + kFoundLogNotSaved);
    EXPECT_EQ(SavedLog().rfind(Ansi(L"LPT1:[local] 中 Tavik QX2210-2370 的疑难解答 - "), 0), 0u);
    EXPECT_TRUE(LogEndsWith(L"LPT1:[local] 中 Tavik QX2210-2370 的设置正确。\r\n"));

    // An early end keeps its code, with the bit.
    ScriptedApp stopped;
    stopped.spoolerRunning = 0;
    options.report = TempFolder() + L"no_such_folder\\r.json";
    EXPECT_EQ(RunUnattended(stopped, options), kExitSpoolerStopped + kFoundLogNotSaved);
}

// However the report's name is spelt, the log's own file is refused: the log keeps the
// findings and the standard error says where they are.
TEST_F(UnattendedRun, ReportUnderAnyNameOfTheLogIsRefused)
{
    for (const Spelling& spelling : OtherNamesOf(log_)) {
        SCOPED_TRACE(spelling.label);
        ASSERT_FALSE(spelling.name.empty());
        ScriptedApp app;
        CommandLineOptions options =
            Parse(L"/unattended \"/log:" + log_ + L"\" \"/report:" + spelling.name + L"\"");
        int code = 0;
        EXPECT_EQ(StandardErrorOf([&] { code = RunUnattended(app, options); }),
                  Ansi(L"无法写入报告 " + options.report + L"。 结果保留在 " + log_ + L"。\r\n"));
        EXPECT_EQ(code, kExitFindings + kFoundLogNotSaved);
        EXPECT_EQ(SavedLog().rfind(Ansi(L"LPT1:[local] 中 Tavik QX2210-2370 的疑难解答 - "), 0), 0u) << SavedLog();
        EXPECT_TRUE(LogEndsWith(L"LPT1:[local] 中 Tavik QX2210-2370 的设置正确。\r\n")) << SavedLog();
    }
}

// ---- the program as a child process ----

// A program of the build folder this test belongs to.
std::wstring BuildPath(const wchar_t* relative)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    path.resize(path.rfind(L'\\'));   // <build>\tests
    path.resize(path.rfind(L'\\'));   // <build>
    return path + L"\\" + relative;
}

std::wstring ProgramPath()
{
    return BuildPath(L"diag\\pdiag.exe");
}

std::wstring TemporaryLog()
{
    return TempFolder() + L"ts_xerb5.tmp";
}

struct Child {
    DWORD exitCode = STILL_ACTIVE;
    std::string out;
    std::string err;
};

// Reads a pipe to its end on a thread of its own, so a full pipe never blocks the child.
std::thread Drain(HANDLE pipe, std::string& into)
{
    return std::thread([pipe, &into] {
        char buffer[512];
        DWORD read = 0;
        while (ReadFile(pipe, buffer, sizeof(buffer), &read, nullptr) && read)
            into.append(buffer, read);
        CloseHandle(pipe);
    });
}

struct Process {
    UniqueFile process;
    UniqueFile thread;
};

Process Start(const std::wstring& arguments, HANDLE out = nullptr, HANDLE err = nullptr,
              const std::wstring& program = ProgramPath())
{
    std::wstring line = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    if (out) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = out;
        startup.hStdError = err;
    }
    PROCESS_INFORMATION info = {};
    Process p;
    if (CreateProcessW(nullptr, &line[0], nullptr, nullptr, out != nullptr, 0, nullptr, nullptr, &startup, &info)) {
        p.process.reset(info.hProcess);
        p.thread.reset(info.hThread);
    }
    return p;
}

Child RunProgram(const std::wstring& arguments, const std::wstring& program = ProgramPath())
{
    SECURITY_ATTRIBUTES inherit = { sizeof(inherit), nullptr, TRUE };
    HANDLE outRead, outWrite, errRead, errWrite;
    CreatePipe(&outRead, &outWrite, &inherit, 0);
    CreatePipe(&errRead, &errWrite, &inherit, 0);
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    Child child;
    Process p = Start(arguments, outWrite, errWrite, program);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    std::thread outThread = Drain(outRead, child.out);
    std::thread errThread = Drain(errRead, child.err);
    EXPECT_TRUE(bool(p.process));
    if (p.process) {
        if (WaitForSingleObject(p.process.get(), 120000) != WAIT_OBJECT_0) {
            ADD_FAILURE() << "pdiag did not end";
            TerminateProcess(p.process.get(), 99);
            WaitForSingleObject(p.process.get(), 10000);
        }
        GetExitCodeProcess(p.process.get(), &child.exitCode);
    }
    outThread.join();
    errThread.join();
    return child;
}

// Installing the package again when it goes repairs every fault a test put in, however the
// test ends.
struct ReinstallAtEnd {
    const std::wstring installer = BuildPath(L"package\\pkginst.exe");
    ~ReinstallAtEnd() { EXPECT_EQ(RunProgram(L"install", installer).exitCode, 0u); }
};

TEST(Program, UsageOnStandardOutput)
{
    Child child = RunProgram(L"/?");
    EXPECT_EQ(child.exitCode, 0u);
    EXPECT_EQ(child.out, Ansi(LoadStr(IDS_USAGE)));
    EXPECT_NE(child.out.find("/unattended"), std::string::npos);
    EXPECT_EQ(child.err, "");
}

TEST(Program, BadSwitchChangesNothingAndEndsWithItsCode)
{
    std::wstring temporary = TemporaryLog();
    WriteBytes(temporary, "earlier run");
    for (const wchar_t* arguments : { L"/unattended /bogus", L"/repair", L"/unattended /log:" }) {
        Child child = RunProgram(arguments);
        EXPECT_EQ(child.exitCode, static_cast<DWORD>(kExitBadCommandLine)) << arguments;
        EXPECT_EQ(child.out, "");
        EXPECT_NE(child.err.find(Ansi(LoadStr(IDS_USAGE))), std::string::npos) << arguments;
    }
    EXPECT_EQ(ReadBytes(temporary), "earlier run");
    DeleteFileW(temporary.c_str());
}

TEST(Program, SecondInstanceSaysAnotherRunIsGoingOnAndLeavesTheLogAlone)
{
    std::wstring temporary = TemporaryLog();
    WriteBytes(temporary, "first instance's log");
    {
        // The running instance's object, held by this test.
        UniqueFile mapping(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READONLY, 0, 32, L"pdiag.exe"));
        ASSERT_TRUE(bool(mapping));
        ASSERT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
        Child second = RunProgram(L"/unattended");
        EXPECT_EQ(second.exitCode, 1u);
        EXPECT_EQ(second.out, "");
        EXPECT_EQ(second.err, Ansi(L"另一个 pdiag 正在运行。\r\n"));
    }
    EXPECT_EQ(ReadBytes(temporary), "first instance's log");
    DeleteFileW(temporary.c_str());
}

struct WindowTraits {
    static HWND none() { return nullptr; }
    static bool invalid(HWND window) { return window == nullptr; }
    static void close(HWND window) { DestroyWindow(window); }
};

TEST(Program, SecondInstanceWhileTheFirstWaitsAtItsStartDialog)
{
    DeleteFileW(TemporaryLog().c_str());
    Process first = Start(L"");
    ASSERT_TRUE(bool(first.process));
    // The first instance holds its object from the start; wait until it exists.
    bool running = false;
    for (int i = 0; i < 300 && !running; ++i) {
        UniqueFile probe(OpenFileMappingW(FILE_MAP_READ, FALSE, L"pdiag.exe"));
        running = bool(probe);
        if (!running)
            Sleep(100);
    }
    EXPECT_TRUE(running);
    // Its start dialog carries the program's title once it is up.
    const std::wstring title = LoadStr(IDS_TITLE);
    HWND firstWindow = nullptr;
    for (int i = 0; i < 300 && !firstWindow; ++i) {
        firstWindow = FindWindowW(nullptr, title.c_str());
        if (!firstWindow)
            Sleep(100);
    }
    ASSERT_NE(firstWindow, nullptr) << "the first instance showed no window titled " << Ansi(title);
    // A window of this test takes the foreground, so that only the second start can give
    // it back to the first instance.
    UniqueResource<HWND, WindowTraits> own(CreateWindowExW(0, L"STATIC", L"test_app foreground",
                                                          WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                                          nullptr, nullptr, nullptr));
    ASSERT_TRUE(bool(own)) << "CreateWindowExW failed with " << GetLastError();
    SetForegroundWindow(own.get());
    ASSERT_EQ(GetForegroundWindow(), own.get());

    Child second = RunProgram(L"");
    EXPECT_EQ(second.exitCode, 1u);
    EXPECT_EQ(second.out, "");
    EXPECT_EQ(second.err, Ansi(L"另一个 pdiag 正在运行。\r\n"));
    EXPECT_EQ(GetForegroundWindow(), firstWindow) << "the running instance's window was not brought forward";
    EXPECT_EQ(WaitForSingleObject(first.process.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    // The first one never got past its start dialog: it wrote no log.
    EXPECT_FALSE(FileExists(TemporaryLog()));
    TerminateProcess(first.process.get(), 0);
    WaitForSingleObject(first.process.get(), 10000);
}

class ProgramRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        log_ = TempFolder() + L"test_app_program.log";
        DeleteFileW(log_.c_str());
        DeleteFileW(TemporaryLog().c_str());
    }
    void TearDown() override { DeleteFileW(log_.c_str()); }
    std::wstring log_;
};

TEST_F(ProgramRun, UnattendedRunOnTheInstalledPackageSavesItsLog)
{
    Child child = RunProgram(L"/unattended \"/log:" + log_ + L"\"");
    // Whatever the package's state under this platform, the run reaches its end and saves.
    EXPECT_TRUE(child.exitCode == 0 || (child.exitCode >= 16 && child.exitCode < 128)) << child.exitCode;
    EXPECT_EQ(child.exitCode & (kFoundIncomplete | kFoundLogNotSaved), 0u) << child.exitCode;
    EXPECT_EQ(child.out, Ansi(L"结果已保存在 " + log_ + L"。\r\n"));
    std::string log = ReadBytes(log_);
    EXPECT_EQ(log.rfind(Ansi(L"LPT1:[local] 中 Tavik QX2210-2370 的疑难解答 - "), 0), 0u) << log;
    std::string correct = Ansi(L"疑难解答完成。\r\nLPT1:[local] 中 Tavik QX2210-2370 的设置正确。\r\n");
    EXPECT_EQ(child.exitCode == 0, log.size() >= correct.size() && log.substr(log.size() - correct.size()) == correct)
        << log;
    EXPECT_NE(log.find(Ansi(L"疑难解答完成。\r\n")), std::string::npos);
    EXPECT_FALSE(FileExists(TemporaryLog()));

    // A second run replaces the file.
    Child again = RunProgram(L"/unattended \"/log:" + log_ + L"\"");
    EXPECT_EQ(again.exitCode, child.exitCode);
    EXPECT_EQ(ReadBytes(log_).find(Ansi(L"的疑难解答 - "), 1), log.find(Ansi(L"的疑难解答 - "), 1));
}

TEST_F(ProgramRun, BrokenSettingIsReportedLeftRepairedAndThenFound)
{
    ReinstallAtEnd reinstall;
    ASSERT_EQ(RunProgram(L"fault bidi-off", reinstall.installer).exitCode, 0u);
    const std::wstring run = L"/unattended \"/log:" + log_ + L"\"";
    const std::string fault = Ansi(L"错误:“Tavik QX2210-2370”的双向支持设置被禁用。");

    Child left = RunProgram(run);
    EXPECT_EQ(left.exitCode & (kExitFindings | kFoundSettingWrong | kFoundRestartNeeded),
              static_cast<DWORD>(kExitFindings | kFoundSettingWrong));
    EXPECT_NE(ReadBytes(log_).find(fault + Ansi(L"-- 未修正\r\n")), std::string::npos);

    Child repaired = RunProgram(L"/repair " + run);
    EXPECT_EQ(repaired.exitCode & (kExitFindings | kFoundSettingWrong | kFoundRestartNeeded),
              static_cast<DWORD>(kExitFindings | kFoundSettingWrong | kFoundRestartNeeded));
    std::string log = ReadBytes(log_);
    EXPECT_NE(log.find(fault + Ansi(L"-- 已修正\r\n")), std::string::npos);
    const std::string returned = Ansi(L"返回 Windows。\r\n");
    ASSERT_GE(log.size(), returned.size());
    EXPECT_EQ(log.substr(log.size() - returned.size()), returned);

    RunProgram(run);
    EXPECT_EQ(ReadBytes(log_).find(fault), std::string::npos);
    EXPECT_NE(ReadBytes(log_).find(Ansi(L"“Tavik QX2210-2370”打印机属性设置正确。\r\n")), std::string::npos);
}

// A read-only file and a name with a character invalid in file names: the findings stay in the
// temporary log, and the standard error says where.
TEST_F(ProgramRun, LogThatCannotBeSavedStaysInTheTemporaryLog)
{
    WriteBytes(log_, "old");
    ASSERT_TRUE(SetFileAttributesW(log_.c_str(), FILE_ATTRIBUTE_READONLY));
    for (const std::wstring& name : { log_, TempFolder() + L"bad*name.log" }) {
        DeleteFileW(TemporaryLog().c_str());
        Child child = RunProgram(L"/unattended \"/log:" + name + L"\"");
        EXPECT_EQ(child.exitCode & (kExitFindings | kFoundIncomplete | kFoundLogNotSaved),
                  static_cast<DWORD>(kExitFindings | kFoundLogNotSaved))
            << child.exitCode;
        EXPECT_EQ(child.out, "");
        EXPECT_EQ(child.err, Ansi(L"无法写入 " + name + L"。 结果保留在 " + TemporaryLog() + L"。\r\n"));
        std::string kept = ReadBytes(TemporaryLog());
        EXPECT_EQ(kept.rfind(Ansi(L"LPT1:[local] 中 Tavik QX2210-2370 的疑难解答 - "), 0), 0u) << kept;
        EXPECT_NE(kept.find(Ansi(L"疑难解答完成。\r\n")), std::string::npos) << kept;
    }
    EXPECT_EQ(ReadBytes(log_), "old");
    SetFileAttributesW(log_.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(TemporaryLog().c_str());
}

TEST_F(ProgramRun, UnknownPrinterEndsWithItsCodeAndNoLog)
{
    Child child = RunProgram(L"/unattended \"/printer:No Such Printer\" \"/log:" + log_ + L"\"");
    EXPECT_EQ(child.exitCode, static_cast<DWORD>(kExitPrinterNotFound));
    EXPECT_EQ(child.err, Ansi(L"找不到使用 Tavik QX2210-2370 驱动程序的打印机“No Such Printer”。\r\n"));
    EXPECT_FALSE(FileExists(log_));
    EXPECT_FALSE(FileExists(TemporaryLog()));
}

// A broken package checked and repaired, with the report as the whole standard output: the
// file check's details go with its finding, and each check is as the log got it.
TEST_F(ProgramRun, ReportOnTheStandardOutputIsAllItHolds)
{
    ReinstallAtEnd reinstall;
    ASSERT_EQ(RunProgram(L"fault wrong-version", reinstall.installer).exitCode, 0u);
    ASSERT_EQ(RunProgram(L"fault item-missing", reinstall.installer).exitCode, 0u);

    Child child = RunProgram(L"/unattended /repair /report:- \"/log:" + log_ + L"\"");
    EXPECT_EQ(child.err, "");
    Json report = ParseReport(child.out);
    EXPECT_EQ(report.at("exitCode"), child.exitCode);
    EXPECT_EQ(child.exitCode & (kExitFindings | kFoundSettingWrong | kFoundReinstall | kFoundLogNotSaved),
              static_cast<DWORD>(kExitFindings | kFoundSettingWrong | kFoundReinstall));
    EXPECT_EQ(report.at("program"), "pdiag");
    EXPECT_EQ(report.at("programVersion"), "1.0.0.0");
    EXPECT_EQ(report.at("log"), Utf8(log_));
    Json files;
    for (const Json& check : report.at("checks")) {
        const std::wstring text = FromUtf8(check.at("text"));
        if (check.at("id") == "packageFiles" && text.size() > 13 && text.substr(text.size() - 13) == L"\\XERB5UIK.DLL")
            files = check;
    }
    ASSERT_TRUE(files.is_object()) << "no finding of XERB5UIK.DLL in " << report.at("checks").dump();
    EXPECT_EQ(files.at("result"), "fault");
    EXPECT_EQ(FromUtf8(files.at("text")).rfind(L"错误:", 0), 0u) << files.dump();
    ASSERT_EQ(files.at("details").size(), 2u) << files.dump();
    EXPECT_EQ(FromUtf8(files.at("details")[0]).rfind(L"当前版本=3.02.0.095 ", 0), 0u) << files.dump();
    EXPECT_EQ(FromUtf8(files.at("details")[1]).rfind(L"预期版本=3.10.0.120 ", 0), 0u) << files.dump();
    Json item = Entry(report, "programItem");
    EXPECT_EQ(item.at("result"), "repaired");
    EXPECT_EQ(item.at("text"), Utf8(L"错误:“疑难解答”的程序文件夹项目不存在。"));
    ExpectChecksAreTheLogsLines(report, ReadBytes(log_));
}

// A file another program holds open without sharing (a read-only one is no obstacle where the
// tests run as root) and a name with a character invalid in file names: the standard error says
// so, the exit code has its bit, and the log is saved as asked.
TEST_F(ProgramRun, ReportThatCannotBeWrittenIsToldAndTheLogKept)
{
    const std::wstring locked = TempFolder() + L"test_app_report.json";
    WriteBytes(locked, "old");
    UniqueFile holder(CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder) << GetLastError();
    for (const std::wstring& report : { locked, TempFolder() + L"bad*name.json" }) {
        DeleteFileW(log_.c_str());
        Child child = RunProgram(L"/unattended \"/report:" + report + L"\" \"/log:" + log_ + L"\"");
        EXPECT_EQ(child.exitCode & (kExitFindings | kFoundLogNotSaved),
                  static_cast<DWORD>(kExitFindings | kFoundLogNotSaved))
            << child.exitCode;
        EXPECT_EQ(child.out, Ansi(L"结果已保存在 " + log_ + L"。\r\n"));
        EXPECT_EQ(child.err, Ansi(L"无法写入报告 " + report + L"。 结果保留在 " + log_ + L"。\r\n"));
        EXPECT_EQ(ReadBytes(log_).rfind(Ansi(L"LPT1:[local] 中 Tavik QX2210-2370 的疑难解答 - "), 0), 0u);
    }
    holder.reset();
    EXPECT_EQ(ReadBytes(locked), "old");
    DeleteFileW(locked.c_str());
}


// ---- the spooler's own environment and folders ------------------------------------------------
// A run of each pdiag build that runs here, against the package installed for this machine: the
// build of this test always, and on 64-bit Windows the 32-bit program under WoW64 as well where
// the machine runs 32-bit code (the test script names it in PDIAG_WOW64).

struct LayoutRun {
    const char* label;
    const wchar_t* fault;     // injected by the installer first; null: the package as installed
    const wchar_t* switches;  // besides /unattended and /log
    DWORD exitCode;
    std::wstring logPart;     // a piece of the saved log
    const wchar_t* helpFile;  // the driver key's "Help File" after the run
};

std::wstring OtherEnvironment()
{
    return lstrcmpW(kPackageEnvironment, L"Windows x64") ? L"Windows x64" : L"Windows NT x86";
}

std::wstring DriverKeyIn(const std::wstring& environment)
{
    return L"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\" + environment +
           L"\\Drivers\\Version-3\\Tavik QX2210-2370";
}

const std::wstring kDriverFinding = L"错误:Tavik QX2210-2370 打印机驱动程序设置不正确。";

const LayoutRun kLayoutRuns[] = {
    { "clean, port mode read", nullptr, L"", 0, L"Tavik QX2210-2370 连接到 LPT1:。\r\n双向\r\n", L"XERB5.HLP" },
    { "broken driver key", L"driver-damaged", L"", kExitFindings | kFoundSettingWrong,
      kDriverFinding + L"-- 未修正\r\n", L"XERB5OLD.HLP" },
    { "broken driver key repaired", L"driver-damaged", L"/repair",
      kExitFindings | kFoundSettingWrong | kFoundRestartNeeded, kDriverFinding + L"-- 已修正\r\n", L"XERB5.HLP" },
#ifdef _WIN64
    { "monitor library only in SysWOW64", L"monitor-in-syswow64", L"",
      kExitFindings | kFoundSettingWrong | kFoundReinstall, L"错误:" + SystemDir() + L"\\XERB5LMK.DLL 丢失。\r\n",
      L"XERB5.HLP" },
#endif
};

class LayoutRunTest : public ProgramRun, public ::testing::WithParamInterface<bool> {};

TEST_P(LayoutRunTest, ChecksAndRepairsTheSpoolersEnvironment)
{
    std::wstring program = ProgramPath();
    if (GetParam()) {
        wchar_t wow64[MAX_PATH] = {};
        if (!GetEnvironmentVariableW(L"PDIAG_WOW64", wow64, MAX_PATH))
            GTEST_SKIP() << "the 32-bit pdiag under WoW64 is not run: this machine runs no 32-bit code";
        program = wow64;
    }
    const std::wstring installer = BuildPath(L"package\\pkginst.exe");
    for (const LayoutRun& row : kLayoutRuns) {
        SCOPED_TRACE(row.label);
        ReinstallAtEnd reinstall;
        if (row.fault) {
            ASSERT_EQ(RunProgram(std::wstring(L"fault ") + row.fault, installer).exitCode, 0u);
        }
        DeleteFileW(log_.c_str());
        Child child = RunProgram(std::wstring(row.switches) + L" /unattended \"/log:" + log_ + L"\"", program);
        EXPECT_EQ(child.exitCode, row.exitCode);
        const std::string log = ReadBytes(log_);
        EXPECT_NE(log.find(Ansi(row.logPart)), std::string::npos) << log;
        // The package's driver is registered, checked and repaired in the spooler's environment only.
        EXPECT_EQ(MachineString(DriverKeyIn(kPackageEnvironment), L"Help File"), row.helpFile);
        EXPECT_FALSE(MachineKeyExists(DriverKeyIn(OtherEnvironment()))) << "a driver key in " << Ansi(OtherEnvironment());
    }
}

INSTANTIATE_TEST_SUITE_P(Builds, LayoutRunTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Wow64" : "Native"; });

}  // namespace
