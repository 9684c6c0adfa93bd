// The dialog framework against the real dialog manager: modal runs answered by the
// autopilot, the texts it reads, and the commands it sends.
#include "framework/autopilot.h"
#include "framework/dialog.h"
#include "framework/strings.h"
#include "framework/winapp.h"
#include "support/test_support.h"
#include "test_resource.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// Answers from a script and keeps what it saw.
class ScriptedPilot : public Autopilot {
public:
    std::vector<AutopilotAction> script;
    std::vector<DialogSnapshot> seen;
    std::vector<DialogSnapshot> created;
    int stuck = 0;

    AutopilotAction Answer(const DialogSnapshot& dialog) override
    {
        seen.push_back(dialog);
        if (seen.size() > script.size())
            return AutopilotAction::leave();
        return script[seen.size() - 1];
    }
    void Created(const DialogSnapshot& dialog) override { created.push_back(dialog); }
    void Stuck(const DialogSnapshot&, const AutopilotAction&) override { ++stuck; }
};

// A dialog that fills its text, lists two entries, and records what reaches its handlers.
class ChoiceDialog : public CDialog {
public:
    ChoiceDialog() : CDialog(IDD_TEST_CHOICE) {}
    std::vector<std::wstring> events;
    bool everShown = false;
    bool everActivated = false;

protected:
    BOOL OnInitDialog() override
    {
        SetDlgItemText(IDC_TEST_TEXT, FormatPrintf(LoadStr(IDS_TEST_FILL).c_str(), L"状态窗口"));
        SendDlgItemMessage(IDC_TEST_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"B"));
        SendDlgItemMessage(IDC_TEST_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"A"));
        return TRUE;
    }
    BOOL OnCommand(UINT id, UINT code, HWND) override
    {
        if (id == IDC_TEST_LIST && code == LBN_SELCHANGE) {
            events.push_back(L"select " + std::to_wstring(SendDlgItemMessage(IDC_TEST_LIST, LB_GETCURSEL)));
            return TRUE;
        }
        if (id == IDC_TEST_HELP) {
            events.push_back(L"help");
            return TRUE;
        }
        if (id == IDC_TEST_CHECK) {
            events.push_back(L"check " + std::to_wstring(SendDlgItemMessage(IDC_TEST_CHECK, BM_GETCHECK)));
            return TRUE;
        }
        if (code == BN_CLICKED) {
            EndDialog(id);
            return TRUE;
        }
        return FALSE;
    }
    void OnCancel() override { events.push_back(L"cancel ignored"); }
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM, bool&) override
    {
        if (message == WM_SHOWWINDOW && wParam)
            everShown = true;
        if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE)
            everActivated = true;
        return FALSE;
    }
};

TEST(Autopilot, PressEndsModalDialogWithButtonIdAndDialogIsNeverShown)
{
    ScriptedPilot pilot;
    pilot.script = { AutopilotAction::press(IDC_TEST_NO) };
    ScopedAutopilot scope(pilot);
    ChoiceDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDC_TEST_NO);
    // Neither shown nor activated on its way out, though its template makes it visible.
    EXPECT_FALSE(dialog.everShown);
    EXPECT_FALSE(dialog.everActivated);
    ASSERT_EQ(pilot.seen.size(), 1u);
    EXPECT_EQ(pilot.seen[0].templateId, static_cast<UINT>(IDD_TEST_CHOICE));
}

TEST(Autopilot, ReadsTemplateAndStringTableTextsExactly)
{
    ScriptedPilot pilot;
    pilot.script = { AutopilotAction::press(IDC_TEST_YES) };
    ScopedAutopilot scope(pilot);
    ChoiceDialog dialog;
    dialog.DoModal();
    ASSERT_EQ(pilot.seen.size(), 1u);
    const DialogSnapshot& seen = pilot.seen[0];
    EXPECT_EQ(seen.title, L"Tavik QX2210-2370 疑难解答");
    EXPECT_EQ(seen.text(IDC_TEST_YES), L"是(&Y)");
    EXPECT_EQ(seen.text(IDC_TEST_TEXT), L"“状态窗口”的程序文件夹项目不存在。");
    // The same texts as the ANSI code page 936 stores them.
    EXPECT_EQ(GetACP(), 936u);
    EXPECT_EQ(Ansi(seen.text(IDC_TEST_YES)), "\xCA\xC7(&Y)");
    EXPECT_EQ(Ansi(seen.title), "Tavik QX2210-2370 \xD2\xC9\xC4\xD1\xBD\xE2\xB4\xF0");
    EXPECT_EQ(Ansi(LoadStr(IDS_TEST_QUESTION)),
              "\xC4\xFA\xCF\xA3\xCD\xFB\xB8\xFC\xD5\xFD\xD5\xE2\xCE\xCA\xCC\xE2\xC2\xF0\xA3\xBF");
    // Controls' states: the list is sorted, the disabled button reads as disabled.
    const ControlState* list = seen.find(IDC_TEST_LIST);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->items, (std::vector<std::wstring>{ L"A", L"B" }));
    EXPECT_FALSE(seen.enabled(IDC_TEST_OFF));
    EXPECT_TRUE(seen.enabled(IDC_TEST_YES));
    EXPECT_EQ(seen.find(IDC_TEST_CHECK)->check, BST_UNCHECKED);
}

TEST(Autopilot, ActionsThatDoNotEndTheDialogAreFollowedByTheNextAnswer)
{
    ScriptedPilot pilot;
    pilot.script = { AutopilotAction::press(IDC_TEST_HELP), AutopilotAction::press(IDCANCEL),
                     AutopilotAction::select(IDC_TEST_LIST, L"B"), AutopilotAction::press(IDC_TEST_CHECK),
                     AutopilotAction::press(IDC_TEST_YES) };
    ScopedAutopilot scope(pilot);
    ChoiceDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDC_TEST_YES);
    EXPECT_EQ(dialog.events,
              (std::vector<std::wstring>{ L"help", L"cancel ignored", L"select 1", L"check 1" }));
    // Each answer saw the state the previous action left.
    ASSERT_EQ(pilot.seen.size(), 5u);
    EXPECT_EQ(pilot.seen[3].find(IDC_TEST_LIST)->selection, 1);
    EXPECT_EQ(pilot.seen[4].find(IDC_TEST_CHECK)->check, BST_CHECKED);
}

TEST(Autopilot, SetTextPutsTheTextIntoTheControl)
{
    ScriptedPilot pilot;
    pilot.script = { AutopilotAction::setText(IDC_TEST_TEXT, L"结果已保存"), AutopilotAction::press(IDC_TEST_YES) };
    ScopedAutopilot scope(pilot);
    ChoiceDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDC_TEST_YES);
    ASSERT_EQ(pilot.seen.size(), 2u);
    EXPECT_EQ(pilot.seen[1].text(IDC_TEST_TEXT), L"结果已保存");
}

TEST(Autopilot, DisabledButtonOrUnknownEntryCannotBePressed)
{
    for (AutopilotAction action : { AutopilotAction::press(IDC_TEST_OFF), AutopilotAction::press(999),
                                    AutopilotAction::select(IDC_TEST_LIST, L"C"),
                                    AutopilotAction::setText(IDC_TEST_OFF, L"x") }) {
        ScriptedPilot pilot;
        pilot.script = { action };
        ScopedAutopilot scope(pilot);
        ChoiceDialog dialog;
        EXPECT_EQ(dialog.DoModal(), -1);
        EXPECT_EQ(pilot.stuck, 1);
        EXPECT_TRUE(dialog.events.empty());
    }
}

TEST(Autopilot, EnterAndEscWithoutButtonsSendOkAndCancel)
{
    // IDOK is no control of the template: the stray command still ends the dialog with 1.
    ScriptedPilot pilot;
    pilot.script = { AutopilotAction::press(IDCANCEL), AutopilotAction::press(IDOK) };
    ScopedAutopilot scope(pilot);
    ChoiceDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.events, (std::vector<std::wstring>{ L"cancel ignored" }));
    EXPECT_EQ(pilot.stuck, 0);
}

// A choice dialog that can also be answered without its window: its content holds the yes
// button, which ends it with its id, and counts the actions it took.
class ChoiceWithContent : public ChoiceDialog {
public:
    bool initialised = false;
    int contentActions = 0;

protected:
    BOOL OnInitDialog() override
    {
        initialised = true;
        return ChoiceDialog::OnInitDialog();
    }
    std::unique_ptr<DialogContent> Content() override
    {
        struct YesOnly : DialogContent {
            int& actions;
            explicit YesOnly(int& counter) : actions(counter) {}
            DialogSnapshot Snapshot() const override
            {
                DialogSnapshot snapshot;
                snapshot.templateId = IDD_TEST_CHOICE;
                snapshot.controls.push_back(ContentControl(IDC_TEST_YES, L"Button"));
                return snapshot;
            }
            bool Perform(const AutopilotAction& action) override
            {
                ++actions;
                if (action.kind != AutopilotAction::Press || action.control != IDC_TEST_YES)
                    return false;
                End(IDC_TEST_YES);
                return true;
            }
        };
        return std::make_unique<YesOnly>(contentActions);
    }
};

// A dialog is answered from its content exactly when the pilot sees no windows and the dialog
// has one; with no window, a pilot that leaves it has no one to leave it to.
TEST(Autopilot, ADialogIsAnsweredFromItsContentOnlyWhereNoOneSeesItsWindow)
{
    struct Row {
        const char* label;
        bool seesWindows;
        bool hasContent;
        std::vector<AutopilotAction> script;
        INT_PTR result;
        bool windowMade;
        int stuck;
    };
    const Row rows[] = {
        { "seen, with a content", true, true, { AutopilotAction::press(IDC_TEST_YES) }, IDC_TEST_YES, true, 0 },
        { "unseen, with a content", false, true, { AutopilotAction::press(IDC_TEST_YES) }, IDC_TEST_YES, false, 0 },
        { "unseen, without a content", false, false, { AutopilotAction::press(IDC_TEST_NO) }, IDC_TEST_NO, true, 0 },
        { "unseen, left", false, true, { AutopilotAction::leave() }, -1, false, 1 },
        { "unseen, a control the content lacks", false, true, { AutopilotAction::press(IDC_TEST_NO) }, -1, false, 1 },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        struct Pilot : ScriptedPilot {
            bool sees = true;
            bool SeesWindows() const override { return sees; }
        } pilot;
        pilot.sees = row.seesWindows;
        pilot.script = row.script;
        ScopedAutopilot scope(pilot);
        ChoiceWithContent withContent;
        ChoiceDialog without;
        ChoiceDialog& dialog = row.hasContent ? withContent : without;
        EXPECT_EQ(dialog.DoModal(), row.result);
        EXPECT_EQ(pilot.stuck, row.stuck);
        ASSERT_EQ(pilot.seen.size(), 1u);
        EXPECT_EQ(pilot.seen[0].templateId, static_cast<UINT>(IDD_TEST_CHOICE));
        // What a window shows holds all its controls, the list among them; the content only Yes.
        EXPECT_EQ(pilot.seen[0].find(IDC_TEST_LIST) != nullptr, row.windowMade);
        EXPECT_EQ(withContent.initialised, row.hasContent && row.windowMade);
    }
}

TEST(Autopilot, ModelessDialogIsCreatedButNotShown)
{
    ScriptedPilot pilot;
    ScopedAutopilot scope(pilot);
    CDialog wait(IDD_TEST_WAIT);
    ASSERT_TRUE(wait.Create());
    wait.ShowWindow(SW_SHOW);
    wait.UpdateWindow();
    EXPECT_FALSE(IsWindowVisible(wait.hwnd()));
    ASSERT_EQ(pilot.created.size(), 1u);
    EXPECT_EQ(pilot.created[0].controls.size(), 1u);
    EXPECT_EQ(pilot.created[0].controls[0].text, L"请稍侯...");
    EXPECT_TRUE(wait.DestroyWindow());
    EXPECT_EQ(wait.hwnd(), nullptr);
}

TEST(Autopilot, ModelessDialogIsNotCreatedForAPilotThatDoesNotWatch)
{
    struct Blind : ScriptedPilot {
        bool SeesWindows() const override { return false; }
    } pilot;
    ScopedAutopilot scope(pilot);
    CDialog wait(IDD_TEST_WAIT);
    EXPECT_FALSE(wait.Create());
    EXPECT_EQ(wait.hwnd(), nullptr);
    EXPECT_TRUE(pilot.created.empty());
    // What the sequence does with a please-wait window still does nothing.
    EXPECT_FALSE(wait.ShowWindow(SW_SHOW));
    EXPECT_FALSE(wait.UpdateWindow());
    EXPECT_FALSE(wait.DestroyWindow());
}

TEST(Autopilot, WithoutPilotModelessDialogShows)
{
    CDialog wait(IDD_TEST_WAIT);
    ASSERT_TRUE(wait.Create());
    wait.ShowWindow(SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(wait.hwnd()));
}

class HelpRecorder : public CWinApp {
public:
    std::vector<std::pair<UINT, DWORD_PTR>> calls;
    void WinHelp(DWORD_PTR data, UINT command) override { calls.emplace_back(command, data); }
};

TEST(WinApp, GlobalPointerAndHelpCall)
{
    HelpRecorder app;
    EXPECT_EQ(AfxGetApp(), &app);
    app.SetHelpFilePath(L"C:\\x\\3\\XERB5.HLP");
    EXPECT_EQ(app.GetHelpFilePath(), L"C:\\x\\3\\XERB5.HLP");
    // The framework's help command reaches the application from any dialog.
    ScriptedPilot pilot;
    pilot.script = { AutopilotAction::leave() };
    class HelpCommand : public ChoiceDialog {
        BOOL OnInitDialog() override
        {
            SendMessageW(hwnd(), WM_COMMAND, CWinApp::ID_HELP, 0);
            EndDialog(IDC_TEST_NO);
            return TRUE;
        }
    } dialog;
    ScopedAutopilot scope(pilot);
    EXPECT_EQ(dialog.DoModal(), IDC_TEST_NO);
    ASSERT_EQ(app.calls.size(), 1u);
    EXPECT_EQ(app.calls[0].first, static_cast<UINT>(HELP_FINDER));
}

}  // namespace
