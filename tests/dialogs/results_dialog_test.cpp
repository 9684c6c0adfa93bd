// The results dialog against the real dialog manager and file system, in folders of the
// test's own: the temporary folder (TMP) and the temporary log live below one test folder.
#include "dialog_steps.h"
#include "dialogs/results_dialog.h"
#include "res/resource.h"
#include "support/test_support.h"

#include <dlgs.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <optional>
#include <string>

namespace {

const wchar_t kTitle[] = L"Tavik QX2210-2370 疑难解答";

// The log as the sequence leaves it, in code page 936: "错误:" is B4 ED CE F3 3A.
const char kLogBytes[] =
    "LPT1:[local] \xD6\xD0 Tavik QX2210-2370 \xB5\xC4\xD2\xC9\xC4\xD1\xBD\xE2\xB4\xF0 - 2004/1/30 12:00:00\r\n"
    "\xB4\xED\xCE\xF3:Ondrix \xC9\xE8\xB1\xB8\xC7\xFD\xB6\xAF\xB3\xCC\xD0\xF2\xB1\xBB\xBD\xFB\xD3\xC3\xA1\xA3"
    "-- \xD2\xD1\xD0\xDE\xD5\xFD\r\n";
const wchar_t kLogText[] =
    L"LPT1:[local] 中 Tavik QX2210-2370 的疑难解答 - 2004/1/30 12:00:00\r\n"
    L"错误:Ondrix 设备驱动程序被禁用。-- 已修正\r\n";

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Today as "yyMMdd", from the clock rather than from the date formatter.
std::wstring TodaysStamp()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t stamp[16];
    swprintf(stamp, 16, L"%02d%02d%02d", now.wYear % 100, now.wMonth, now.wDay);
    return stamp;
}

std::wstring Number(int n)
{
    wchar_t digits[8];
    swprintf(digits, 8, L"%02d", n);
    return digits;
}

// Removes a folder tree made by a test.
void RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring path = folder + L"\\" + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

class ResultsDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, temp);
        savedDirectory_ = temp;
        GetTempPathW(MAX_PATH, temp);
        root_ = std::wstring(temp) + L"pdiag-results-" + std::to_wstring(GetCurrentProcessId());
        tempFolder_ = root_ + L"\\临时";
        ASSERT_TRUE(CreateDirectoryW(root_.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(tempFolder_.c_str(), nullptr));
        SaveVariable(L"TMP", savedTmp_);
        SaveVariable(L"TEMP", savedTemp_);
        SetEnvironmentVariableW(L"TMP", tempFolder_.c_str());
        SetEnvironmentVariableW(L"TEMP", tempFolder_.c_str());

        lstrcpyW(app.driverName, L"Tavik QX2210-2370");
        app.portName = L"LPT1:";
        app.runFlags = RUN_COMPLETED;
        log_ = root_ + L"\\ts_xerb5.tmp";
        lstrcpyW(app.logFilePath, log_.c_str());
        WriteBytes(log_, kLogBytes);
    }

    void TearDown() override
    {
        RestoreVariable(L"TMP", savedTmp_);
        RestoreVariable(L"TEMP", savedTemp_);
        // The save dialog makes the folder it saved in the current one.
        SetCurrentDirectoryW(savedDirectory_.c_str());
        RemoveTree(root_);
    }

    static void SaveVariable(const wchar_t* name, std::optional<std::wstring>& saved)
    {
        wchar_t value[MAX_PATH] = {};
        DWORD n = GetEnvironmentVariableW(name, value, MAX_PATH);
        if (n && n < MAX_PATH)
            saved = value;
    }
    static void RestoreVariable(const wchar_t* name, const std::optional<std::wstring>& saved)
    {
        SetEnvironmentVariableW(name, saved ? saved->c_str() : nullptr);
    }

    std::wstring DatedName(int n) const { return tempFolder_ + L"\\" + TodaysStamp() + Number(n) + L".LOG"; }

    INT_PTR Run(StepPilot& pilot)
    {
        pilot.windows = windows_;
        ScopedAutopilot scope(pilot);
        return dialog.DoModal();
    }

    RecordingApp app;
    CResultsDlg dialog;
    std::wstring savedDirectory_;
    std::wstring root_;
    std::wstring tempFolder_;
    std::wstring log_;
    std::optional<std::wstring> savedTmp_;
    std::optional<std::wstring> savedTemp_;
    bool windows_ = true;  // false: answered from the dialog's content, with no window made
};

// The rows that hold whether the dialog is answered in its window or from its content.
class ResultsDialogEitherWay : public ResultsDialog, public ::testing::WithParamInterface<bool> {
protected:
    ResultsDialogEitherWay() { windows_ = GetParam(); }
};

INSTANTIATE_TEST_SUITE_P(Answered, ResultsDialogEitherWay, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "InItsWindow" : "FromItsContent";
                         });

TEST_F(ResultsDialog, OpensWithSummaryLogAndTodaysFirstName)
{
    ASSERT_EQ(GetACP(), 936u);
    StepPilot pilot({ Press(IDCANCEL) });
    Run(pilot);
    ASSERT_EQ(pilot.seen.size(), 1u);
    const DialogSnapshot& seen = pilot.seen[0];
    EXPECT_EQ(seen.title, kTitle);
    EXPECT_EQ(seen.text(IDC_RESULTS_SUMMARY), L"LPT1:[local] 中 Tavik QX2210-2370 的设置正确。");
    EXPECT_EQ(seen.text(IDC_RESULTS_LOG), kLogText);
    EXPECT_EQ(seen.text(IDC_RESULTS_FILE_NAME), DatedName(0));
    EXPECT_EQ(seen.find(IDC_RESULTS_SAVE)->check, BST_CHECKED);
    EXPECT_TRUE(seen.enabled(IDC_RESULTS_CHANGE_NAME));
    EXPECT_TRUE(seen.enabled(IDC_RESULTS_FILE_NAME));
    EXPECT_EQ(Texts(seen), (std::vector<std::wstring>{ L"LPT1:[local] 中 Tavik QX2210-2370 的设置正确。", L"结果(&R):",
                                                        kLogText, L"保存", L"保存结果(&S)", L"更改文件名(&C)...",
                                                        L"文件名称:", DatedName(0), L"确定" }));
}

TEST_F(ResultsDialog, ItsContentHoldsWhatItsWindowShows)
{
    StepPilot inWindow({ Press(IDCANCEL) });
    ASSERT_EQ(Run(inWindow), IDCANCEL);
    WriteBytes(log_, kLogBytes);
    windows_ = false;
    StepPilot fromContent({ Press(IDC_RESULTS_SAVE), Press(IDCANCEL) });
    ASSERT_EQ(Run(fromContent), IDCANCEL);
    ASSERT_EQ(fromContent.seen.size(), 2u);
    const DialogSnapshot& content = fromContent.seen[0];
    ExpectContentAsWindow(content, inWindow.seen.at(0),
                          { IDC_RESULTS_SUMMARY, IDC_RESULTS_FILE_NAME, IDC_RESULTS_CHANGE_NAME, IDC_RESULTS_SAVE, IDOK });
    EXPECT_EQ(content.text(IDC_RESULTS_SUMMARY), L"LPT1:[local] 中 Tavik QX2210-2370 的设置正确。");
    EXPECT_EQ(content.text(IDC_RESULTS_FILE_NAME), DatedName(0));
    EXPECT_FALSE(fromContent.seen[1].enabled(IDC_RESULTS_FILE_NAME)) << "the name follows the choice to save";
}

TEST_F(ResultsDialog, HasItsTemplatesStyleSizeAndTheApplicationIcon)
{
    LONG style = 0;
    bool size = false;
    LRESULT big = 0, small = 0;
    StepPilot pilot({ Do([&](const DialogSnapshot&) {
                          style = GetWindowLongW(dialog.hwnd(), GWL_STYLE);
                          size = ClientAreaIs(dialog.hwnd(), 329, 235);
                          big = SendMessageW(dialog.hwnd(), WM_GETICON, ICON_BIG, 0);
                          small = SendMessageW(dialog.hwnd(), WM_GETICON, ICON_SMALL, 0);
                      }),
                      Press(IDCANCEL) });
    Run(pilot);
    EXPECT_EQ(style & WS_SYSMENU, WS_SYSMENU);
    EXPECT_TRUE(size);
    EXPECT_NE(big, 0);
    EXPECT_EQ(big, small);
}

// A screen too small for the dialog (a large display scale on a small screen): the log box
// gives up the difference, down to three lines, and what stands below it moves up with the
// dialog's bottom, so that the save choice and OK stay inside the work area.
TEST_F(ResultsDialog, ATooSmallWorkAreaShortensTheLogNotTheButtons)
{
    struct Case {
        const char* label;
        int shortBy;        // how much smaller than the dialog the work area is, in pixels
        int logShortened;   // expected; -1: down to three lines
    };
    const Case cases[] = { { "fits", -40, 0 }, { "exactly", 0, 0 }, { "60 px short", 60, 60 }, { "far too small", 2000, -1 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        RECT before = {}, after = {}, logBefore = {}, logAfter = {}, okBefore = {}, okAfter = {}, area = {};
        StepPilot pilot({ Do([&](const DialogSnapshot&) {
                              HWND window = dialog.hwnd();
                              GetWindowRect(window, &before);
                              GetWindowRect(GetDlgItem(window, IDC_RESULTS_LOG), &logBefore);
                              GetWindowRect(GetDlgItem(window, IDOK), &okBefore);
                              area = { 100, 50, 1100, 50 + (before.bottom - before.top) - c.shortBy };
                              dialog.FitIntoWorkArea(area);
                              GetWindowRect(window, &after);
                              GetWindowRect(GetDlgItem(window, IDC_RESULTS_LOG), &logAfter);
                              GetWindowRect(GetDlgItem(window, IDOK), &okAfter);
                          }),
                          Press(IDCANCEL) });
        Run(pilot);
        const int logHeight = logAfter.bottom - logAfter.top;
        const int taken = (logBefore.bottom - logBefore.top) - logHeight;
        if (c.logShortened >= 0) {
            EXPECT_EQ(taken, c.logShortened);
            EXPECT_EQ(after.top, area.top) << "moved onto the work area";
            EXPECT_LE(after.bottom, area.bottom);
        } else {
            EXPECT_LT(logHeight, 60) << "about three lines";
            EXPECT_GT(logHeight, 20);
            EXPECT_EQ(after.top, area.top) << "the top stays on the screen";
        }
        EXPECT_EQ(after.bottom - after.top, (before.bottom - before.top) - taken);
        EXPECT_EQ(okAfter.top, okBefore.top - taken + (after.top - before.top)) << "OK moves with the bottom";
        EXPECT_EQ(after.left, area.left);
    }
}

TEST_F(ResultsDialog, TodaysFilesPresentGiveTheNextNumber)
{
    WriteBytes(DatedName(0), "old");
    StepPilot pilot({ Press(IDCANCEL) });
    Run(pilot);
    EXPECT_EQ(pilot.seen[0].text(IDC_RESULTS_FILE_NAME), DatedName(1));
}

TEST_F(ResultsDialog, TenFilesOfTheDayGiveNumberTen)
{
    for (int n = 0; n < 10; ++n)
        WriteBytes(DatedName(n), "old");
    StepPilot pilot({ Press(IDCANCEL) });
    Run(pilot);
    EXPECT_EQ(pilot.seen[0].text(IDC_RESULTS_FILE_NAME), DatedName(10));
}

TEST_F(ResultsDialog, TheFirstFreeNumberIsTakenEvenBeforeLaterFiles)
{
    WriteBytes(DatedName(0), "old");
    WriteBytes(DatedName(2), "old");
    StepPilot pilot({ Press(IDCANCEL) });
    Run(pilot);
    EXPECT_EQ(pilot.seen[0].text(IDC_RESULTS_FILE_NAME), DatedName(1));
}

TEST_F(ResultsDialog, AllHundredNamesTakenProposes99AndSavingReplacesIt)
{
    for (int n = 0; n < 100; ++n)
        WriteBytes(DatedName(n), "old");
    StepPilot pilot({ Press(IDOK) });
    EXPECT_EQ(Run(pilot), IDOK);
    EXPECT_EQ(pilot.seen[0].text(IDC_RESULTS_FILE_NAME), DatedName(99));
    EXPECT_EQ(ReadBytes(DatedName(99)), kLogBytes);
    EXPECT_EQ(ReadBytes(DatedName(98)), "old");
    EXPECT_FALSE(Exists(log_));
}

TEST_F(ResultsDialog, MissingTemporaryFolderProposesTheWindowsDirectory)
{
    std::wstring missing = root_ + L"\\不存在\\";
    SetEnvironmentVariableW(L"TMP", missing.c_str());
    SetEnvironmentVariableW(L"TEMP", missing.c_str());
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    StepPilot pilot({ Press(IDCANCEL) });
    Run(pilot);
    std::wstring name = pilot.seen[0].text(IDC_RESULTS_FILE_NAME);
    EXPECT_EQ(name.substr(0, name.size() - 6), std::wstring(windows) + L"\\" + TodaysStamp());
    EXPECT_EQ(name.substr(name.size() - 4), L".LOG");
}

TEST_P(ResultsDialogEitherWay, OkMovesTheLogToTheProposedName)
{
    StepPilot pilot({ Press(IDOK) });
    EXPECT_EQ(Run(pilot), IDOK);
    EXPECT_EQ(ReadBytes(DatedName(0)), kLogBytes);
    EXPECT_FALSE(Exists(log_));
    EXPECT_EQ(std::wstring(app.savedResultPath), DatedName(0));
}

TEST_P(ResultsDialogEitherWay, EscDeletesTheLogAndEndsWithTwo)
{
    StepPilot pilot({ Press(IDCANCEL) });
    EXPECT_EQ(Run(pilot), IDCANCEL);
    EXPECT_FALSE(Exists(log_));
    EXPECT_FALSE(Exists(DatedName(0)));
    EXPECT_EQ(app.savedResultPath[0], 0);
}

TEST_P(ResultsDialogEitherWay, UncheckingSaveGreysNameAndButtonAndOkThenDiscardsTheLog)
{
    StepPilot pilot({ Press(IDC_RESULTS_SAVE), Press(IDC_RESULTS_SAVE), Press(IDC_RESULTS_SAVE), Press(IDOK) });
    EXPECT_EQ(Run(pilot), IDOK);
    ASSERT_EQ(pilot.seen.size(), 4u);
    EXPECT_FALSE(pilot.seen[1].enabled(IDC_RESULTS_CHANGE_NAME));
    EXPECT_FALSE(pilot.seen[1].enabled(IDC_RESULTS_FILE_NAME));
    EXPECT_TRUE(pilot.seen[2].enabled(IDC_RESULTS_CHANGE_NAME));
    EXPECT_TRUE(pilot.seen[2].enabled(IDC_RESULTS_FILE_NAME));
    EXPECT_FALSE(pilot.seen[3].enabled(IDC_RESULTS_FILE_NAME));
    EXPECT_FALSE(Exists(log_));
    EXPECT_FALSE(Exists(DatedName(0)));
    // The name shown is still taken as the saved name; no file carries it.
    EXPECT_EQ(std::wstring(app.savedResultPath), DatedName(0));
}

TEST_P(ResultsDialogEitherWay, WriteFailureRetriesThenGoesBackWithTheLogKept)
{
    std::wstring target = DatedName(0);
    bool logKeptAfterBack = false;
    StepPilot pilot({
        // A folder of the proposed name: the file can neither be deleted nor moved there.
        Do([&](const DialogSnapshot&) { CreateDirectoryW(target.c_str(), nullptr); }),
        Press(IDOK),
        Press(IDC_WRITE_RETRY),
        Press(IDC_WRITE_BACK),
        Do([&](const DialogSnapshot&) {
            logKeptAfterBack = ReadBytes(log_) == kLogBytes;
            RemoveDirectoryW(target.c_str());
        }),
        Press(IDOK),
    });
    EXPECT_EQ(Run(pilot), IDOK);
    ASSERT_EQ(pilot.seen.size(), 4u);
    EXPECT_EQ(pilot.seen[1].templateId, static_cast<UINT>(IDD_WRITE_FAILED));
    EXPECT_EQ(pilot.seen[1].text(IDC_WRITE_FAILED_TEXT), L"无法写入 " + target + L"。");
    EXPECT_EQ(pilot.seen[2].templateId, static_cast<UINT>(IDD_WRITE_FAILED));
    EXPECT_EQ(pilot.seen[3].templateId, static_cast<UINT>(IDD_RESULTS));
    EXPECT_TRUE(logKeptAfterBack);
    EXPECT_EQ(ReadBytes(target), kLogBytes);
    EXPECT_FALSE(Exists(log_));
}

TEST_F(ResultsDialog, WriteFailureOnAReadOnlyFileCancelledDiscardsTheLog)
{
    std::wstring target = DatedName(0);
    StepPilot pilot({
        Do([&](const DialogSnapshot&) {
            WriteBytes(target, "kept");
            SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY);
        }),
        Press(IDOK),
        Press(IDCANCEL),
    });
    EXPECT_EQ(Run(pilot), IDOK);
    ASSERT_EQ(pilot.seen.size(), 2u);
    EXPECT_EQ(pilot.seen[1].templateId, static_cast<UINT>(IDD_WRITE_FAILED));
    EXPECT_EQ(ReadBytes(target), "kept");
    EXPECT_FALSE(Exists(log_));
    EXPECT_EQ(std::wstring(app.savedResultPath), target);
}

// A name that reaches the temporary log itself, however it is spelt, keeps the log where it
// is: deleting "the file of that name" before moving the log there would delete the log.
TEST_F(ResultsDialog, AnyNameOfTheTemporaryLogItselfKeepsIt)
{
    std::wstring upper = log_;
    CharUpperW(&upper[0]);
    struct Spelling {
        const char* label;
        std::wstring name;
    };
    const Spelling spellings[] = {
        { "another letter case", upper },
        { "a step up", tempFolder_ + L"\\..\\ts_xerb5.tmp" },
        { "the \\\\?\\ prefix", L"\\\\?\\" + log_ },
    };
    for (const Spelling& spelling : spellings) {
        SCOPED_TRACE(spelling.label);
        WriteBytes(log_, kLogBytes);
        CResultsDlg results;
        StepPilot pilot({ [&](const DialogSnapshot&) {
                             return std::optional<AutopilotAction>(
                                 AutopilotAction::setText(IDC_RESULTS_FILE_NAME, spelling.name));
                         },
                          Press(IDOK) });
        ScopedAutopilot scope(pilot);
        EXPECT_EQ(results.DoModal(), IDOK);
        EXPECT_EQ(pilot.seen.size(), 2u) << "a dialog after the results dialog: the log could not be kept";
        EXPECT_EQ(ReadBytes(log_), kLogBytes);
        EXPECT_EQ(std::wstring(app.savedResultPath), spelling.name);
    }
}

TEST_F(ResultsDialog, MissingLogLeavesTheTextEmpty)
{
    DeleteFileW(log_.c_str());
    StepPilot pilot({ Press(IDCANCEL) });
    EXPECT_EQ(Run(pilot), IDCANCEL);
    EXPECT_EQ(pilot.seen[0].text(IDC_RESULTS_LOG), L"");
}

TEST_F(ResultsDialog, FocusOnTheLogPutsTheCaretAtTheStart)
{
    DWORD start = 1, end = 1;
    StepPilot pilot({ Do([&](const DialogSnapshot&) {
                          HWND box = GetDlgItem(dialog.hwnd(), IDC_RESULTS_LOG);
                          SendMessageW(box, EM_SETSEL, 5, -1);
                          SetFocus(box);
                          SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                                       reinterpret_cast<LPARAM>(&end));
                      }),
                      Press(IDCANCEL) });
    Run(pilot);
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 0u);
}

struct SummaryCase {
    unsigned char runFlags;
    const wchar_t* portName;
    const wchar_t* previousPortName;
    const wchar_t* networkPath;
    const wchar_t* sentence;
};

TEST_F(ResultsDialog, SummarySentenceFollowsRunFlagsAndPort)
{
    const SummaryCase cases[] = {
        { 0x01, L"LPT1:", L"", L"", L"LPT1:[local] 中 Tavik QX2210-2370 的设置正确。" },
        { 0x03, L"LPT1:", L"", L"", L"LPT1:[local] 中 Tavik QX2210-2370 的设置不正确。" },
        { 0x0A, L"LPT1:", L"", L"",
          L"LPT1:[local] 中 Tavik QX2210-2370 的设置不正确。重新安装 Tavik QX2210-2370。" },
        { 0x05, L"\\\\PRNSRV\\QX2210", L"", L"\\\\PRNSRV\\QX2210",
          L"\\\\PRNSRV\\QX2210 中 Tavik QX2210-2370 的网络设置不正确。" },
        { 0x06, L"LPT2:", L"", L"\\\\PRNSRV\\QX2210",
          L"LPT2:[\\\\PRNSRV\\QX2210] 中 Tavik QX2210-2370 的设置不正确。" },
        { 0x00, L"LPT1:", L"", L"", L"用户终止了 LPT1:[local] 中 Tavik QX2210-2370 的疑难解答。" },
        { 0x08, L"USB001", L"", L"", L"用户终止了 USB001[local] 中 Tavik QX2210-2370 的疑难解答。" },
        { 0x01, L"LPT_USB1", L"", L"\\\\PRNSRV\\QX2210", L"LPT_USB1[local] 中 Tavik QX2210-2370 的设置正确。" },
        { 0x01, L"LPT-USB2", L"", L"\\\\PRNSRV\\QX2210", L"LPT-USB2[local] 中 Tavik QX2210-2370 的设置正确。" },
        { 0x01, L"FILE:", L"", L"", L"FILE:[local] 中 Tavik QX2210-2370 的设置正确。" },
        // A changed port is described by the one the run started with.
        { 0x03, L"LPT2:", L"LPT1:", L"", L"LPT1:[local] 中 Tavik QX2210-2370 的设置不正确。" },
    };
    for (const SummaryCase& c : cases) {
        app.runFlags = c.runFlags;
        app.portName = c.portName;
        app.previousPortName = c.previousPortName;
        lstrcpyW(app.networkPath, c.networkPath);
        EXPECT_EQ(CResultsDlg::SummarySentence(), c.sentence) << int(c.runFlags) << " " << testing::PrintToString(
                                                                     std::wstring(c.portName));
    }
    app.runFlags = 0x0A;
    app.portName = L"LPT1:";
    app.previousPortName.clear();
    app.networkPath[0] = 0;
    StepPilot pilot({ Press(IDCANCEL) });
    Run(pilot);
    EXPECT_EQ(pilot.seen[0].text(IDC_RESULTS_SUMMARY),
              L"LPT1:[local] 中 Tavik QX2210-2370 的设置不正确。重新安装 Tavik QX2210-2370。");
}

}  // namespace

// --- "更改文件名(&C)..." through the real save dialog -----------------------------------------
// A thread timer answers the save dialog (and its overwrite question) that the button opens,
// as a person would: type the name into the file name box and press the dialog's OK button.

struct SaveAnswer {
    std::wstring name;  // empty: cancel the save dialog
    HWND results = nullptr;
    bool sawSaveDialog = false;
    bool sawOverwriteQuestion = false;
};
SaveAnswer g_answer;

BOOL CALLBACK AnswerWindow(HWND window, LPARAM)
{
    wchar_t cls[32] = {};
    GetClassNameW(window, cls, 32);
    if (window == g_answer.results || lstrcmpW(cls, L"#32770") != 0 || !IsWindowEnabled(window))
        return TRUE;
    if (GetDlgItem(window, IDYES)) {
        // The overwrite question: Yes.
        g_answer.sawOverwriteQuestion = true;
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
        return FALSE;
    }
    g_answer.sawSaveDialog = true;
    if (g_answer.name.empty()) {
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return FALSE;
    }
    for (int box : { cmb13, edt1 })
        SetDlgItemTextW(window, box, g_answer.name.c_str());
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return FALSE;
}

void CALLBACK AnswerSaveDialog(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), AnswerWindow, 0);
}

class ChangeFileName : public ResultsDialog {
protected:
    void SetUp() override
    {
        ResultsDialog::SetUp();
        g_answer = SaveAnswer();
        timer_ = SetTimer(nullptr, 0, 200, AnswerSaveDialog);
    }
    void TearDown() override
    {
        KillTimer(nullptr, timer_);
        ResultsDialog::TearDown();
    }

    StepPilot::Step NoteResultsWindow()
    {
        return Do([this](const DialogSnapshot&) { g_answer.results = dialog.hwnd(); });
    }

    UINT_PTR timer_ = 0;
};

TEST_F(ChangeFileName, TheChosenPathReplacesTheNameAndOkSavesThere)
{
    std::wstring chosen = root_ + L"\\我的结果.LOG";
    g_answer.name = chosen;
    StepPilot pilot({ NoteResultsWindow(), Press(IDC_RESULTS_CHANGE_NAME), Press(IDOK) });
    EXPECT_EQ(Run(pilot), IDOK);
    EXPECT_TRUE(g_answer.sawSaveDialog);
    ASSERT_EQ(pilot.seen.size(), 2u);
    EXPECT_EQ(pilot.seen[1].text(IDC_RESULTS_FILE_NAME), chosen);
    EXPECT_EQ(ReadBytes(chosen), kLogBytes);
    EXPECT_FALSE(Exists(DatedName(0)));
    EXPECT_EQ(std::wstring(app.savedResultPath), chosen);
}

TEST_F(ChangeFileName, CancelKeepsTheProposedName)
{
    StepPilot pilot({ NoteResultsWindow(), Press(IDC_RESULTS_CHANGE_NAME), Press(IDCANCEL) });
    EXPECT_EQ(Run(pilot), IDCANCEL);
    EXPECT_TRUE(g_answer.sawSaveDialog);
    ASSERT_EQ(pilot.seen.size(), 2u);
    EXPECT_EQ(pilot.seen[1].text(IDC_RESULTS_FILE_NAME), DatedName(0));
}

TEST_F(ChangeFileName, ChoosingTheTemporaryLogItselfKeepsItsText)
{
    g_answer.name = log_;
    StepPilot pilot({ NoteResultsWindow(), Press(IDC_RESULTS_CHANGE_NAME), Press(IDOK) });
    EXPECT_EQ(Run(pilot), IDOK);
    EXPECT_TRUE(g_answer.sawOverwriteQuestion);
    ASSERT_EQ(pilot.seen.size(), 2u);
    EXPECT_EQ(lstrcmpiW(pilot.seen[1].text(IDC_RESULTS_FILE_NAME).c_str(), log_.c_str()), 0);
    // Deleting "the existing file" first would have lost the log; it is kept as the result.
    EXPECT_EQ(ReadBytes(log_), kLogBytes);
}
