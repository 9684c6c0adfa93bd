// The status window as a screen reader meets it: another process walks its accessibility tree
// while a job prints and while the paper is out, and listens to the events it raises; and the
// keyboard focus, which comes back to the child that had it and reaches the toolbar.
//
// Wine's standard objects give every window the role of a client area and no children for
// lists, tabs and toolbars: the roles and the children's names read here are what the window
// itself answers to WM_GETOBJECT.
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/protocol.h"
#include "status_test_support.h"
#include "ui/commands.h"
#include "ui/main_window.h"
#include "ui/menu_states.h"

namespace {

const wchar_t kStandInKey[] = L"Software\\Tavik\\XERB5\\StandIn";

// What a reader hears of one object.
struct Heard {
    HRESULT found = E_FAIL;   // AccessibleObjectFromWindow
    std::wstring name, value;
    LONG role = 0, state = 0;
};

// A text property of one object: name, value or description; empty when it has none.
std::wstring TextOf(IAccessible* object, HRESULT (STDMETHODCALLTYPE IAccessible::*property)(VARIANT, BSTR*),
                    VARIANT id)
{
    BSTR text = nullptr;
    HRESULT result = (object->*property)(id, &text);
    std::wstring copy = SUCCEEDED(result) && text ? text : L"";
    SysFreeString(text);
    return copy;
}

Heard Read(IAccessible* object, LONG child)
{
    Heard heard;
    heard.found = S_OK;
    VARIANT id;
    id.vt = VT_I4;
    id.lVal = child;
    heard.name = TextOf(object, &IAccessible::get_accName, id);
    heard.value = TextOf(object, &IAccessible::get_accValue, id);
    VARIANT result;
    VariantInit(&result);
    if (SUCCEEDED(object->get_accRole(id, &result)) && result.vt == VT_I4)
        heard.role = result.lVal;
    VariantClear(&result);
    if (SUCCEEDED(object->get_accState(id, &result)) && result.vt == VT_I4)
        heard.state = result.lVal;
    VariantClear(&result);
    return heard;
}

// The client area of a window as a reader gets it, or one of its children.
Heard ReadWindow(HWND window, LONG child = CHILDID_SELF)
{
    IAccessible* object = nullptr;
    HRESULT found = AccessibleObjectFromWindow(window, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&object));
    if (FAILED(found) || !object) {
        Heard none;
        none.found = found;
        return none;
    }
    Heard heard = Read(object, child);
    object->Release();
    return heard;
}

// The events of another process, taken while this thread pumps its messages.
struct WinEvent {
    DWORD event;
    HWND window;
    LONG object, child;
};
std::vector<WinEvent> g_events;

void CALLBACK Listen(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD)
{
    g_events.push_back({event, window, object, child});
}

bool HeardEvent(DWORD event, HWND window)
{
    for (const WinEvent& e : g_events)
        if (e.event == event && e.window == window && e.object == OBJID_CLIENT && e.child == CHILDID_SELF)
            return true;
    return false;
}

// Pumps this thread's messages (the events and COM's answers arrive through them) until
// `done` holds, for up to 20 s.
template <typename Done>
bool PumpUntil(Done done)
{
    for (int i = 0; i < 400; ++i) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        if (done())
            return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return false;
}

class ScreenReader : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        g_events.clear();
        SetRegistryDword(HKEY_CURRENT_USER, SettingsKey(kPackagePrinter), L"LastWindowVisiblity", 1);
    }
    void TearDown() override
    {
        if (hook_)
            UnhookWinEvent(hook_);
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kStandInKey, kPackagePrinter);
        CoUninitialize();
    }

    SavedDword visibility_{HKEY_CURRENT_USER, SettingsKey(kPackagePrinter), L"LastWindowVisiblity"};
    HWINEVENTHOOK hook_ = nullptr;
};

TEST_F(ScreenReader, HearsStateDocumentAndPagesWhileAJobPrintsAndAnAlertWhenThePaperRunsOut)
{
    StatusWindowProcess status(StatusCommand(kPackagePrinter));
    ASSERT_TRUE(status.Started());
    hook_ = SetWinEventHook(EVENT_SYSTEM_ALERT, EVENT_OBJECT_VALUECHANGE, nullptr, Listen, status.process.id, 0,
                            WINEVENT_OUTOFCONTEXT);
    ASSERT_TRUE(hook_);
    auto part = [&](int id) { return GetDlgItem(status.window, id); };
    const HWND statusToolbar = FindWindowExW(part(IDC_STATUS_TOOLBAR_PANE), nullptr, TOOLBARCLASSNAMEW, nullptr);
    ASSERT_TRUE(statusToolbar);

    // A reader walking the window meets every part as a child of its client area.
    {
        IAccessible* client = nullptr;
        ASSERT_EQ(AccessibleObjectFromWindow(status.window, OBJID_CLIENT, IID_IAccessible,
                                             reinterpret_cast<void**>(&client)),
                  S_OK);
        LONG count = 0;
        ASSERT_EQ(client->get_accChildCount(&count), S_OK);
        std::vector<VARIANT> children(count);
        LONG got = 0;
        EXPECT_TRUE(SUCCEEDED(AccessibleChildren(client, 0, count, children.data(), &got)));
        std::vector<HWND> reached;
        for (LONG i = 0; i < got; ++i) {
            HWND window = nullptr;
            if (children[i].vt == VT_DISPATCH && children[i].pdispVal)
                WindowFromAccessibleObject(reinterpret_cast<IAccessible*>(children[i].pdispVal), &window);
            reached.push_back(window);
            VariantClear(&children[i]);
        }
        client->Release();
        for (int id : {IDC_JOB_STATUS_PANE, IDC_PRINTER_STATUS_PANE, IDC_PICTURE_PANE, IDC_PROGRESS_BAR,
                       IDC_MESSAGE_BOX, IDC_TAB, IDC_DETAIL_LIST})
            EXPECT_NE(std::find(reached.begin(), reached.end(), part(id)), reached.end()) << "control " << id;
    }

    const wchar_t job[] = L"pages=10 interval=700 error=paperout@3 for=8000 doc=报告.doc";
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kStandInKey, kPackagePrinter, REG_SZ, job, sizeof(job)),
              ERROR_SUCCESS);

    // While it prints.
    ASSERT_TRUE(PumpUntil([&] { return ReadWindow(part(IDC_PRINTER_STATUS_PANE)).name == L"正在打印"; }))
        << "the status icon says: " << testing::PrintToString(ReadWindow(part(IDC_PRINTER_STATUS_PANE)).name);
    EXPECT_EQ(ReadWindow(part(IDC_JOB_STATUS_PANE)).name, L"正在打印 报告.doc");
    EXPECT_EQ(ReadWindow(part(IDC_PICTURE_PANE)).name, L"正在打印");
    const std::wstring pages = ReadWindow(part(IDC_PROGRESS_BAR)).value;
    EXPECT_TRUE(pages.rfind(L"前 ", 0) == 0 && pages.find(L" 页 (10 页中)已打印") != std::wstring::npos)
        << testing::PrintToString(pages);

    // The paper runs out on the third page: an alert, and the parts say so.
    ASSERT_TRUE(PumpUntil([&] { return HeardEvent(EVENT_SYSTEM_ALERT, part(IDC_PRINTER_STATUS_PANE)); }))
        << "no alert; events heard: " << g_events.size();
    {
        IAccessible* alerted = nullptr;
        VARIANT child;
        ASSERT_EQ(AccessibleObjectFromEvent(part(IDC_PRINTER_STATUS_PANE), OBJID_CLIENT, CHILDID_SELF, &alerted, &child),
                  S_OK);
        Heard heard = Read(alerted, child.lVal);
        alerted->Release();
        EXPECT_EQ(heard.name, L"缺纸") << "what the alert says";
    }
    EXPECT_TRUE(HeardEvent(EVENT_OBJECT_NAMECHANGE, part(IDC_JOB_STATUS_PANE)));
    EXPECT_TRUE(HeardEvent(EVENT_OBJECT_NAMECHANGE, part(IDC_PRINTER_STATUS_PANE)));
    EXPECT_TRUE(HeardEvent(EVENT_OBJECT_VALUECHANGE, part(IDC_PROGRESS_BAR)));

    struct Row {
        const char* label;
        HWND window;
        LONG child;
        LONG role;
        const wchar_t* name;
        std::optional<std::wstring> value;  // nullopt: not checked
        bool invisible;
    } rows[] = {
        {"state pane", part(IDC_JOB_STATUS_PANE), CHILDID_SELF, ROLE_SYSTEM_STATICTEXT, L"缺纸 报告.doc", {}, false},
        {"status icon", part(IDC_PRINTER_STATUS_PANE), CHILDID_SELF, ROLE_SYSTEM_GRAPHIC, L"缺纸", {}, false},
        {"picture", part(IDC_PICTURE_PANE), CHILDID_SELF, ROLE_SYSTEM_GRAPHIC, L"缺纸", {}, false},
        {"progress bar", part(IDC_PROGRESS_BAR), CHILDID_SELF, ROLE_SYSTEM_PROGRESSBAR, L"打印进度",
         std::wstring(L"前 2 页 (10 页中)已打印"), false},
        {"message box", part(IDC_MESSAGE_BOX), CHILDID_SELF, ROLE_SYSTEM_TEXT, L"状态说明",
         std::wstring(L"纸盒中没有纸。\r\n请装入纸张，打印将自动继续。\r\n"), false},
        {"tabs", part(IDC_TAB), CHILDID_SELF, ROLE_SYSTEM_PAGETABLIST, L"打印作业详细信息", {}, false},
        {"tab 2", part(IDC_TAB), 2, ROLE_SYSTEM_PAGETAB, L"打印作业日志", {}, false},
        {"tab 3", part(IDC_TAB), 3, ROLE_SYSTEM_PAGETAB, L"打印作业列表", {}, false},
        {"detail list", part(IDC_DETAIL_LIST), CHILDID_SELF, ROLE_SYSTEM_LIST, L"打印作业详细信息", {}, false},
        {"log list", part(IDC_LOG_LIST), CHILDID_SELF, ROLE_SYSTEM_LIST, L"打印作业日志", {}, true},
        {"waiting list", part(IDC_WAITING_LIST), CHILDID_SELF, ROLE_SYSTEM_LIST, L"打印作业列表", {}, true},
        {"toolbar", statusToolbar, CHILDID_SELF, ROLE_SYSTEM_TOOLBAR, L"作业控制", {}, false},
        {"pause button", statusToolbar, 1, ROLE_SYSTEM_PUSHBUTTON, L"暂停打印", {}, false},
        {"resume button", statusToolbar, 2, ROLE_SYSTEM_PUSHBUTTON, L"恢复打印", {}, false},
        {"restart button", statusToolbar, 3, ROLE_SYSTEM_PUSHBUTTON, L"重新开始打印", {}, false},
        {"cancel button", statusToolbar, 4, ROLE_SYSTEM_PUSHBUTTON, L"取消打印", {}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        Heard heard = ReadWindow(row.window, row.child);
        ASSERT_EQ(heard.found, S_OK);
        EXPECT_EQ(heard.role, row.role);
        EXPECT_EQ(heard.name, row.name);
        if (row.value) {
            EXPECT_EQ(heard.value, *row.value);
        }
        if (row.child == CHILDID_SELF) {
            EXPECT_EQ((heard.state & STATE_SYSTEM_INVISIBLE) != 0, row.invisible) << "state " << heard.state;
        }
    }
    EXPECT_EQ(status.QuitAndWait(), 0u);
}

// ---- The keyboard, in a window of this process ----

class Keyboard : public StatusWindowTest {
protected:
    void SetUp() override
    {
        StatusWindowTest::SetUp();
        ShowWindow(window_, SW_SHOW);
        SetForegroundWindow(window_);
        SetActiveWindow(window_);
        // The library offers pause alone.
        g_state.display.toolbarTable = commands_;
        RefreshCommandStates(FALSE, FALSE);
    }
    CommandStateEntry commands_[COMMAND_STATE_ENTRIES] = {
        {IDM_PAUSE, TBSTATE_ENABLED}, {IDM_RESUME, 0}, {IDM_CANCEL, 0}};
};

TEST_F(Keyboard, TabReachesThePagesToolbarWhichShowsTheFocusOnItsFirstButton)
{
    const MainWindowChildren& c = g_state.children;
    SetFocus(c.tab);
    g_state.focusPane = IDC_TAB;
    const HWND forward[] = {c.detailList, c.statusToolbar, c.messageBox, c.tab};
    for (HWND expected : forward) {
        SendMessageW(window_, WM_COMMAND, IDM_FOCUS_NEXT, 0);
        EXPECT_EQ(GetFocus(), expected) << "Tab from pane " << g_state.focusPane;
    }
    EXPECT_EQ(SendMessageW(c.statusToolbar, TB_GETHOTITEM, 0, 0), -1) << "no button stays raised after the focus left";
    const HWND backward[] = {c.messageBox, c.statusToolbar, c.detailList, c.tab};
    for (HWND expected : backward) {
        SendMessageW(window_, WM_COMMAND, IDM_FOCUS_PREVIOUS, 0);
        EXPECT_EQ(GetFocus(), expected) << "Shift+Tab to pane " << g_state.focusPane;
    }

    // On the toolbar the first button that can be pressed is the hot one, so the focus shows.
    SendMessageW(window_, WM_COMMAND, IDM_FOCUS_PREVIOUS, 0);
    SendMessageW(window_, WM_COMMAND, IDM_FOCUS_PREVIOUS, 0);
    ASSERT_EQ(GetFocus(), c.statusToolbar);
    EXPECT_EQ(SendMessageW(c.statusToolbar, TB_GETHOTITEM, 0, 0), 0);

    // Enter presses it: the command goes to the library as from the mouse.
    {
        LibraryCallLog calls;
        ASSERT_TRUE(g_state.libraries.SmPsw_OpenPrinter(window_, kWindowPrinter, L"LPT1:", &g_state.statusHandle));
        SendMessageW(c.statusToolbar, WM_KEYDOWN, VK_RETURN, 0);
        SendMessageW(c.statusToolbar, WM_KEYUP, VK_RETURN, 0);
        const std::vector<std::string> expected = {"SmPsw_JobRequest " + std::to_string(g_state.statusHandle) +
                                                   " " + std::to_string(JOB_REQUEST_PAUSE) + " 0"};
        EXPECT_EQ(calls.Calls("SmPsw_JobRequest"), expected);
    }

    // With no button to press the toolbar is passed over.
    commands_[0].state = 0;
    for (UINT id = IDM_PAUSE; id <= IDM_CANCEL; ++id)
        SendMessageW(c.statusToolbar, TB_SETSTATE, id, MAKELPARAM(0, 0));
    SetFocus(c.detailList);
    g_state.focusPane = IDC_DETAIL_LIST;
    SendMessageW(window_, WM_COMMAND, IDM_FOCUS_NEXT, 0);
    EXPECT_EQ(GetFocus(), c.messageBox);
}

// A dialog or a message box disables the window and takes the activation; when it closes the
// focus must land on the child that had it, where the user sees it, not on the window.
TEST_F(Keyboard, TheFocusComesBackToTheChildThatHadItAfterADialog)
{
    const MainWindowChildren& c = g_state.children;
    const struct {
        const char* label;
        HWND child;
    } rows[] = {{"message box", c.messageBox}, {"detail list", c.detailList}, {"toolbar", c.statusToolbar}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        SetFocus(row.child);
        ASSERT_EQ(GetFocus(), row.child);
        HWND dialog = CreateWindowExW(0, WC_STATICW, L"dialog", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, window_, nullptr,
                                      nullptr, nullptr);
        ASSERT_TRUE(dialog);
        EnableWindow(window_, FALSE);
        SetActiveWindow(dialog);
        EnableWindow(window_, TRUE);
        DestroyWindow(dialog);
        SetActiveWindow(window_);
        EXPECT_EQ(GetActiveWindow(), window_);
        EXPECT_EQ(GetFocus(), row.child);
    }

    // A child that has gone from view since leaves the focus to the tab control.
    SetFocus(c.detailList);
    HWND other = CreateWindowExW(0, WC_STATICW, L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                 nullptr, nullptr);
    SetActiveWindow(other);
    ShowWindow(c.detailList, SW_HIDE);
    DestroyWindow(other);
    SetActiveWindow(window_);
    EXPECT_EQ(GetFocus(), c.tab);
}

}  // namespace
