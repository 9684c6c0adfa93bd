// The problem dialogs against the real dialog manager: their texts after the fill-ins, the
// result of every button, Esc, help and F1, and the members with behaviour of their own.
#include "dialog_steps.h"
#include "dialogs/problem_dialogs.h"
#include "res/resource.h"

#include <oleacc.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace {

const wchar_t kTitle[] = L"Tavik QX2210-2370 疑难解答";
const wchar_t kQuestion[] = L"您希望更正这问题吗？";
const wchar_t kManifest[] = L"C:\\...\\system32\\spool\\drivers\\w32x86\\3\\XERB5INK.DAT";
const wchar_t kSavedName[] = L"C:\\users\\结果\\24013000.LOG";

struct Row {
    const wchar_t* label;
    const wchar_t* line;
};
const Row kYes = { L"是(&Y)", L"更正这问题。" };
const Row kNo = { L"否(&N)", L"请勿更正这问题。" };
const Row kExit = { L"退出(&X)", L"退出疑难解答。" };
const Row kContinue = { L"继续(&C)", L"继续进行疑难解答。" };
const Row kHelp = { L"帮助(&H)", L"显示疑难解答的信息。" };

std::vector<std::wstring> With(std::vector<std::wstring> texts, std::initializer_list<Row> rows)
{
    for (const Row& row : rows) {
        texts.push_back(row.label);
        texts.push_back(row.line);
    }
    return texts;
}

struct Case {
    const char* name;
    std::function<std::unique_ptr<ProblemDialog>()> make;
    std::vector<std::wstring> members;
    std::vector<std::wstring> texts;               // every control, in template order
    std::vector<std::pair<int, INT_PTR>> buttons;  // button -> result
    int helpButton;
    DWORD helpTopic;
    SIZE size;  // dialog units
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}

template <typename Dialog>
std::function<std::unique_ptr<ProblemDialog>()> Make()
{
    return [] { return std::unique_ptr<ProblemDialog>(new Dialog()); };
}

std::vector<std::pair<int, INT_PTR>> Own(std::initializer_list<int> ids)
{
    std::vector<std::pair<int, INT_PTR>> buttons;
    for (int id : ids)
        buttons.emplace_back(id, id);
    return buttons;
}

std::vector<Case> Cases()
{
    const std::wstring version = L"C:\\...\\system32\\spool\\drivers\\w32x86\\3\\XERB5K.DLL 为意外的版本。";
    return {
        { "SpoolerStopped", Make<CSpoolerStoppedDlg>(), {},
          { L"后台打印服务没有运行。", L"启动后台打印服务", L"或重新启动 Windows。", L"确定" },
          { { IDOK, 1 } }, 0, 0, { 212, 93 } },
        { "WriteFailed", Make<CWriteFailedDlg>(), {},
          { L"无法写入 C:\\users\\结果\\24013000.LOG。", L"重试(&R)", L"上一步(&B)", L"取消" },
          { { IDC_WRITE_RETRY, 0 }, { IDC_WRITE_BACK, 1 }, { IDCANCEL, 2 } }, 0, 0, { 280, 122 } },
        { "Finish", Make<CFinishDlg>(), {},
          { L"疑难解答完成。", L"需要重新启动 Windows 以便使修改的设定生效。", L"重新启动 Windows(&R)",
            L"重新启动 Windows。", L"返回 Windows(&E)", L"返回 Windows 而不重新启动。" },
          Own({ IDC_FINISH_RESTART, IDC_FINISH_RETURN }), 0, 0, { 229, 93 } },
        { "FileMissing", Make<CFileMissingDlg>(), { kManifest },
          With({ std::wstring(kManifest) + L" 丢失。", L"重新安装 Tavik QX2210-2370。" }, { kContinue, kExit, kHelp }),
          Own({ IDC_MISSING_CONTINUE, IDC_MISSING_EXIT }), IDC_MISSING_HELP, 5010, { 264, 135 } },
        { "PortSettings", Make<CPortSettingsDlg>(), {},
          With({ L"Tavik QX2210-2370 的端口设置不正确。", kQuestion }, { kYes, kNo, kExit, kHelp }),
          Own({ IDC_PORT_YES, IDC_PORT_NO, IDC_PORT_EXIT }), IDC_PORT_HELP, 5050, { 229, 179 } },
        { "LangMonitor", Make<CLangMonitorDlg>(), {},
          With({ L"Tavik QX2210-2370 语言监视器未被安装。", kQuestion }, { kYes, kNo, kExit }),
          Own({ IDC_LANGMON_YES, IDC_LANGMON_NO, IDC_LANGMON_EXIT }), 0, 0, { 223, 149 } },
        { "DriverSettings", Make<CDriverSettingsDlg>(), {},
          With({ L"Tavik QX2210-2370 打印机驱动程序设置不正确。", kQuestion }, { kYes, kNo, kExit }),
          Own({ IDC_DRIVER_YES, IDC_DRIVER_NO, IDC_DRIVER_EXIT }), 0, 0, { 223, 149 } },
        { "StatusWindow", Make<CStatusWindowDlg>(), {},
          With({ L"Tavik QX2210-2370 状态窗口未被安装。", kQuestion }, { kYes, kNo, kExit }),
          Own({ IDC_STATUSWND_YES, IDC_STATUSWND_NO, IDC_STATUSWND_EXIT }), 0, 0, { 223, 149 } },
        { "Bidi", Make<CBidiDlg>(), {}, With({ L"双向支持被禁用。", kQuestion }, { kYes, kNo, kExit }),
          Own({ IDC_BIDI_YES, IDC_BIDI_NO, IDC_BIDI_EXIT }), 0, 0, { 219, 129 } },
        { "ProgramFolder", Make<CProgramFolderDlg>(), {},
          With({ L"Tavik QX2210-2370 的程序文件夹不存在。", kQuestion }, { kYes, kNo, kExit }),
          Own({ IDC_FOLDER_YES, IDC_FOLDER_NO, IDC_FOLDER_EXIT }), 0, 0, { 229, 155 } },
        { "FolderItem", Make<CFolderItemDlg>(), { L"状态窗口" },
          With({ L"“状态窗口”的程序文件夹项目不存在。", kQuestion }, { kYes, kNo, kExit }),
          Own({ IDC_ITEM_YES, IDC_ITEM_NO, IDC_ITEM_EXIT }), 0, 0, { 223, 135 } },
        { "FileVersion", Make<CFileVersionDlg>(), { version, L"当前版本", L"1.00.0.012", L"预期版本", L"1.02.0.015" },
          With({ version, L"当前版本", L"1.00.0.012", L"预期版本", L"1.02.0.015", L"重新安装 Tavik QX2210-2370。" },
               { kContinue, kExit, kHelp }),
          Own({ IDC_VERSION_CONTINUE, IDC_VERSION_EXIT }), IDC_VERSION_HELP, 5020, { 279, 199 } },
        { "OndrixDriver", Make<COndrixDriverDlg>(), { L"Ondrix 设备驱动程序被禁用。" },
          With({ L"Ondrix 设备驱动程序被禁用。", kQuestion }, { kYes, kNo, kExit }),
          Own({ IDC_ONDRIX_YES, IDC_ONDRIX_NO, IDC_ONDRIX_EXIT }), 0, 0, { 223, 149 } },
        { "NoPermission", Make<CNoPermissionDlg>(), {},
          With({ L"您没有执行这操作的权限。" }, { kContinue, kExit, kHelp }),
          Own({ IDC_NOPERM_CONTINUE, IDC_NOPERM_EXIT }), IDC_NOPERM_HELP, 5090, { 223, 149 } },
        { "ServerError", Make<CServerErrorDlg>(), {},
          With({ L"网络错误:", L"无法访问打印服务器 PRNSRV。" },
               { kContinue, kExit, { L"帮助(&H) ", L"显示疑难解答的信息。" } }),
          Own({ IDC_SERVER_CONTINUE, IDC_SERVER_EXIT }), IDC_SERVER_HELP, 5070, { 223, 149 } },
        { "NetPrinterError", Make<CNetPrinterErrorDlg>(), {},
          With({ L"网络错误:", L"无法访问网络打印机 \\\\PRNSRV\\QX2210。" }, { kContinue, kExit, kHelp }),
          Own({ IDC_NETPRN_CONTINUE, IDC_NETPRN_EXIT }), IDC_NETPRN_HELP, 5080, { 223, 149 } },
        { "RegistryFix", Make<CRegistryFixDlg>(), {},
          With({ L"注册表设置不正确。", kQuestion }, { kYes, kNo, kExit }),
          Own({ IDC_REGFIX_YES, IDC_REGFIX_NO, IDC_REGFIX_EXIT }), 0, 0, { 223, 149 } },
        { "RegistryReinstall", Make<CRegistryReinstallDlg>(), {},
          With({ L"注册表设置不正确。", L"重新安装 Tavik QX2210-2370。" }, { kContinue, kExit, kHelp }),
          Own({ IDC_REGREINST_CONTINUE, IDC_REGREINST_EXIT }), IDC_REGREINST_HELP, 5100, { 223, 149 } },
        { "HoldMismatched", Make<CHoldMismatchedDlg>(), {},
          With({ L"启用“保留不匹配文档”。", kQuestion }, { kYes, kNo, kExit }),
          Own({ IDC_HOLD_YES, IDC_HOLD_NO, IDC_HOLD_EXIT }), 0, 0, { 219, 129 } },
    };
}

class ProblemDialogTest : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override
    {
        lstrcpyW(app.driverName, L"Tavik QX2210-2370");
        app.serverName = L"PRNSRV";
        lstrcpyW(app.networkPath, L"\\\\PRNSRV\\QX2210");
        lstrcpyW(app.savedResultPath, kSavedName);
    }

    std::unique_ptr<ProblemDialog> Dialog() const
    {
        std::unique_ptr<ProblemDialog> dialog = GetParam().make();
        int index = 1;
        for (const std::wstring& text : GetParam().members)
            dialog->SetMember(index++, text);
        return dialog;
    }

    // Runs a fresh dialog through the steps; the result it ended with.
    INT_PTR Run(StepPilot& pilot, std::unique_ptr<ProblemDialog>& dialog)
    {
        ScopedAutopilot scope(pilot);
        return dialog->DoModal();
    }

    RecordingApp app;
};

TEST_P(ProblemDialogTest, ShowsItsTextsAfterTheFillIns)
{
    auto dialog = Dialog();
    StepPilot pilot({ Press(GetParam().buttons.front().first) });
    Run(pilot, dialog);
    ASSERT_EQ(pilot.seen.size(), 1u);
    EXPECT_EQ(pilot.seen[0].title, kTitle);
    EXPECT_EQ(Texts(pilot.seen[0]), GetParam().texts);
}

TEST_P(ProblemDialogTest, HasTheTemplatesStyleAndSize)
{
    auto dialog = Dialog();
    LONG style = 0;
    bool size = false;
    int defaultButtons = 0;
    StepPilot pilot({ Do([&](const DialogSnapshot& seen) {
                          style = GetWindowLongW(dialog->hwnd(), GWL_STYLE);
                          size = ClientAreaIs(dialog->hwnd(), GetParam().size.cx, GetParam().size.cy);
                          // None of the buttons is a default push button.
                          for (const ControlState& control : seen.controls) {
                              LONG buttonStyle = GetWindowLongW(GetDlgItem(dialog->hwnd(), control.id), GWL_STYLE);
                              if (control.className == L"Button" && (buttonStyle & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
                                  ++defaultButtons;
                          }
                      }),
                      Press(GetParam().buttons.front().first) });
    Run(pilot, dialog);
    EXPECT_EQ(style & WS_SYSMENU, 0);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_EQ(style & (DS_MODALFRAME | DS_SETFOREGROUND), DS_MODALFRAME | DS_SETFOREGROUND);
    EXPECT_TRUE(size);
    EXPECT_EQ(defaultButtons, 0);
}

TEST_P(ProblemDialogTest, EachButtonEndsTheDialogWithItsResult)
{
    for (auto [button, result] : GetParam().buttons) {
        auto dialog = Dialog();
        StepPilot pilot({ Press(button) });
        EXPECT_EQ(Run(pilot, dialog), result) << button;
        EXPECT_EQ(pilot.stuck, 0);
    }
    EXPECT_TRUE(app.help.empty());
    EXPECT_EQ(app.foldersCreated, GetParam().buttons.front().first == IDC_FOLDER_YES ? 1 : 0);
}

TEST_P(ProblemDialogTest, EscapeLeavesTheDialogOpenExceptAfterAWriteFailure)
{
    auto dialog = Dialog();
    auto [button, result] = GetParam().buttons.back();
    StepPilot pilot({ Press(IDCANCEL), Press(button) });
    INT_PTR ended = Run(pilot, dialog);
    if (dialog->templateId() == IDD_WRITE_FAILED) {
        EXPECT_EQ(ended, IDCANCEL);
        EXPECT_EQ(pilot.seen.size(), 1u);
    } else {
        EXPECT_EQ(ended, result);
        EXPECT_EQ(pilot.seen.size(), 2u);
    }
}

TEST_P(ProblemDialogTest, StrayOkEndsWithOne)
{
    auto dialog = Dialog();
    StepPilot pilot({ Press(IDOK) });
    EXPECT_EQ(Run(pilot, dialog), 1);
}

TEST_P(ProblemDialogTest, HelpButtonAndF1OpenTheTopicAndLeaveTheDialogOpen)
{
    auto dialog = Dialog();
    auto [button, result] = GetParam().buttons.front();
    std::vector<StepPilot::Step> steps;
    if (GetParam().helpButton)
        steps.push_back(Press(GetParam().helpButton));
    steps.push_back(PressF1(*dialog));
    steps.push_back(Press(button));
    StepPilot pilot(steps);
    EXPECT_EQ(Run(pilot, dialog), result);
    EXPECT_EQ(pilot.stuck, 0);
    using Call = std::pair<DWORD_PTR, UINT>;
    std::vector<Call> expected;
    if (GetParam().helpTopic)
        expected = { { GetParam().helpTopic, HELP_CONTEXT }, { GetParam().helpTopic, HELP_CONTEXT } };
    EXPECT_EQ(app.help, expected);
}

// What a screen reader gives as the description of a control; empty when it has none.
std::wstring DescriptionOf(HWND control)
{
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&object))))
        return L"(no object)";
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    std::wstring description = SUCCEEDED(object->get_accDescription(self, &text)) && text ? text : L"";
    SysFreeString(text);
    object->Release();
    return description;
}

// A reader hears "是" and what it does: each button is described by the line beside it; the
// buttons without one (确定, 重试, 上一步, 取消) have no description.
TEST_P(ProblemDialogTest, EachButtonIsDescribedByTheLineBesideIt)
{
    const std::map<std::wstring, std::wstring> kLines = {
        { kYes.label, kYes.line }, { kNo.label, kNo.line }, { kExit.label, kExit.line },
        { kContinue.label, kContinue.line }, { kHelp.label, kHelp.line }, { L"帮助(&H) ", kHelp.line },
        { L"重新启动 Windows(&R)", L"重新启动 Windows。" }, { L"返回 Windows(&E)", L"返回 Windows 而不重新启动。" },
    };
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    auto dialog = Dialog();
    std::vector<std::pair<std::wstring, std::wstring>> heard, expected;
    StepPilot pilot({ Do([&](const DialogSnapshot& seen) {
                          for (const ControlState& control : seen.controls) {
                              if (control.className != L"Button")
                                  continue;
                              heard.emplace_back(control.text, DescriptionOf(GetDlgItem(dialog->hwnd(), control.id)));
                              auto line = kLines.find(control.text);
                              expected.emplace_back(control.text, line == kLines.end() ? L"" : line->second);
                          }
                      }),
                      Press(GetParam().buttons.front().first) });
    Run(pilot, dialog);
    CoUninitialize();
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(heard, expected);
}

INSTANTIATE_TEST_SUITE_P(Members, ProblemDialogTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

class ProblemDialogs : public ::testing::Test {
protected:
    void SetUp() override { lstrcpyW(app.driverName, L"Tavik QX2210-2370"); }
    RecordingApp app;
};

TEST_F(ProblemDialogs, OndrixYesIsGreyedWhileThePortIsMissing)
{
    app.portMissing = 1;
    for (auto [button, result] : std::vector<std::pair<int, INT_PTR>>{
             { IDC_ONDRIX_YES, -1 }, { IDC_ONDRIX_NO, IDC_ONDRIX_NO }, { IDC_ONDRIX_EXIT, IDC_ONDRIX_EXIT } }) {
        COndrixDriverDlg dialog;
        dialog.SetMember(1, L"Ondrix 设备驱动程序没有运行。");
        StepPilot pilot({ Press(button) });
        ScopedAutopilot scope(pilot);
        EXPECT_EQ(dialog.DoModal(), result) << button;
        ASSERT_EQ(pilot.seen.size(), 1u);
        EXPECT_EQ(pilot.seen[0].text(IDC_ONDRIX_YES), L"是(&Y)");
        EXPECT_FALSE(pilot.seen[0].enabled(IDC_ONDRIX_YES));
        EXPECT_TRUE(pilot.seen[0].enabled(IDC_ONDRIX_NO));
        EXPECT_EQ(pilot.seen[0].text(IDC_ONDRIX_TEXT), L"Ondrix 设备驱动程序没有运行。");
        EXPECT_EQ(pilot.stuck, button == IDC_ONDRIX_YES ? 1 : 0);
    }
    app.portMissing = 0;
    COndrixDriverDlg dialog;
    StepPilot pilot({ Press(IDC_ONDRIX_YES) });
    ScopedAutopilot scope(pilot);
    EXPECT_EQ(dialog.DoModal(), IDC_ONDRIX_YES);
    EXPECT_TRUE(pilot.seen[0].enabled(IDC_ONDRIX_YES));
}

TEST_F(ProblemDialogs, ProgramFolderYesCreatesTheFolderWhileTheDialogIsOpenThenEndsWith1056)
{
    CProgramFolderDlg dialog;
    bool openDuringCreation = false;
    app.onCreateProgramFolder = [&] { openDuringCreation = IsWindow(dialog.hwnd()) && !dialog.ended(); };
    StepPilot pilot({ Press(IDC_FOLDER_YES) });
    ScopedAutopilot scope(pilot);
    EXPECT_EQ(dialog.DoModal(), IDC_FOLDER_YES);
    EXPECT_EQ(app.foldersCreated, 1);
    EXPECT_TRUE(openDuringCreation);

    for (int button : { IDC_FOLDER_NO, IDC_FOLDER_EXIT }) {
        CProgramFolderDlg other;
        StepPilot next({ Press(button) });
        ScopedAutopilot nextScope(next);
        EXPECT_EQ(other.DoModal(), button);
    }
    EXPECT_EQ(app.foldersCreated, 1);
}

TEST_F(ProblemDialogs, FileVersionHelpTopicFollowsTheCurrentValueLabel)
{
    struct Label {
        const wchar_t* text;
        DWORD topic;
    };
    for (Label label : { Label{ L"当前版本", 5020 }, Label{ L"当前大小", 5030 }, Label{ L"当前时间印记", 5040 },
                         Label{ L"预期版本", 0 }, Label{ L"当前大小 ", 0 }, Label{ L"", 0 } }) {
        app.help.clear();
        CFileVersionDlg dialog;
        dialog.SetMember(2, label.text);
        StepPilot pilot({ Press(IDC_VERSION_HELP), PressF1(dialog), Press(IDC_VERSION_EXIT) });
        ScopedAutopilot scope(pilot);
        EXPECT_EQ(dialog.DoModal(), IDC_VERSION_EXIT);
        EXPECT_EQ(pilot.seen.size(), 2u);
        std::vector<std::pair<DWORD_PTR, UINT>> expected;
        if (label.topic)
            expected = { { label.topic, HELP_CONTEXT }, { label.topic, HELP_CONTEXT } };
        EXPECT_EQ(app.help, expected) << testing::PrintToString(std::wstring(label.text));
        EXPECT_EQ(pilot.seen[0].text(IDC_VERSION_CURRENT_LABEL), label.text);
    }
}

TEST_F(ProblemDialogs, EmptyDriverNameLeavesNothingBetweenTheWords)
{
    app.driverName[0] = 0;
    CRegistryReinstallDlg dialog;
    StepPilot pilot({ Press(IDC_REGREINST_EXIT) });
    ScopedAutopilot scope(pilot);
    dialog.DoModal();
    EXPECT_EQ(pilot.seen[0].text(IDC_REGREINST_REINSTALL), L"重新安装 。");
}

TEST_F(ProblemDialogs, FilledTextsAreCutAt259Characters)
{
    std::wstring path = L"C:\\" + std::wstring(300, L'文');
    CFileMissingDlg dialog;
    dialog.SetMember(1, path);
    EXPECT_EQ(std::wstring(dialog.member(1)), path.substr(0, 259));
    StepPilot pilot({ Press(IDC_MISSING_EXIT) });
    ScopedAutopilot scope(pilot);
    dialog.DoModal();
    // The member holds 259 characters; with " 丢失。" the text is cut to 259 again.
    EXPECT_EQ(pilot.seen[0].text(IDC_MISSING_TEXT), path.substr(0, 259));
}

TEST_F(ProblemDialogs, MembersTakeTheirTextAsItStandsPercentSignsIncluded)
{
    CFolderItemDlg dialog;
    dialog.SetMember(1, L"100% 状态%s窗口");
    StepPilot pilot({ Press(IDC_ITEM_NO) });
    ScopedAutopilot scope(pilot);
    EXPECT_EQ(dialog.DoModal(), IDC_ITEM_NO);
    EXPECT_EQ(pilot.seen[0].text(IDC_ITEM_TEXT), L"“100% 状态%s窗口”的程序文件夹项目不存在。");
}

TEST_F(ProblemDialogs, WaitWindowsAreModelessWithTheirTwoLines)
{
    StepPilot pilot;
    ScopedAutopilot scope(pilot);
    CCheckingSystemDlg system;
    ASSERT_TRUE(system.Create());
    LONG style = GetWindowLongW(system.hwnd(), GWL_STYLE);
    EXPECT_TRUE(ClientAreaIs(system.hwnd(), 225, 55));
    system.DestroyWindow();
    CCheckingNetworkDlg network;
    ASSERT_TRUE(network.Create());
    EXPECT_TRUE(ClientAreaIs(network.hwnd(), 225, 55));
    network.DestroyWindow();

    ASSERT_EQ(pilot.created.size(), 2u);
    EXPECT_EQ(pilot.created[0].title, kTitle);
    EXPECT_EQ(Texts(pilot.created[0]), (std::vector<std::wstring>{ L"疑难解答正在检查系统。", L"请稍侯..." }));
    EXPECT_EQ(Texts(pilot.created[1]), (std::vector<std::wstring>{ L"疑难解答正在检查网络。", L"请稍侯..." }));
    EXPECT_EQ(style & (WS_SYSMENU | DS_SETFOREGROUND | WS_VISIBLE), 0);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
}

}  // namespace
