// The options, port settings and about dialogs, run modally in this process over a real
// main window and answered by clicks: what they show, what they store and send, and help.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/protocol.h"
#include "res/dialog_ids.h"
#include "status_test_support.h"
#include "ui/dialogs.h"
#include "ui/help.h"

namespace {

const wchar_t kPortKey[] = L"SOFTWARE\\Tavik\\XERB5\\Monitors\\XERB5 Monitor\\LPT1:";
const UINT kTickMs = 20;
const int kGiveUpTicks = 250;   // five seconds without a new window to answer
const DWORD kFakeStatusHandle = 0x51;

std::wstring WindowText(HWND window)
{
    wchar_t text[260] = {};
    GetWindowTextW(window, text, ARRAYSIZE(text));
    return text;
}

std::wstring ItemText(HWND dialog, int id)
{
    return WindowText(GetDlgItem(dialog, id));
}

bool Checked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

bool Enabled(HWND dialog, int id)
{
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

// A mouse click on a control: the control changes its own state and notifies the dialog
// with WM_COMMAND once the dialog's message loop runs again.
void Click(HWND dialog, int id)
{
    PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

// The dialog's client area has the template's size in dialog units.
void ExpectClientSize(HWND dialog, int width, int height, CallSite site = {})
{
    CallerTrace trace(site);
    RECT client, units = {0, 0, width, height};
    GetClientRect(dialog, &client);
    MapDialogRect(dialog, &units);
    EXPECT_EQ(client.right, units.right) << "width of " << width << " dialog units";
    EXPECT_EQ(client.bottom, units.bottom) << "height of " << height << " dialog units";
}

// Answers the modal windows this thread opens, one step for each in turn. A thread timer,
// which their message loops dispatch, hands every newly shown dialog window to the next
// step; a step reads the window and posts its clicks. Windows that stay open for a few
// seconds with nothing new to answer are ended, so that a failing test does not hang.
class ModalAnswers {
public:
    using Step = std::function<void(HWND)>;
    explicit ModalAnswers(std::vector<Step> steps) : steps_(std::move(steps))
    {
        active_ = this;
        timer_ = SetTimer(nullptr, 0, kTickMs, Tick);
    }
    ~ModalAnswers()
    {
        KillTimer(nullptr, timer_);
        active_ = nullptr;
    }
    ModalAnswers(const ModalAnswers&) = delete;
    ModalAnswers& operator=(const ModalAnswers&) = delete;
    size_t answered() const { return next_; }

private:
    static BOOL CALLBACK CollectDialog(HWND window, LPARAM windows)
    {
        wchar_t name[16] = {};
        GetClassNameW(window, name, ARRAYSIZE(name));
        if (lstrcmpW(name, L"#32770") == 0 && IsWindowVisible(window))
            reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
        return TRUE;
    }

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        if (active_)
            active_->AnswerNewWindow();
    }

    void AnswerNewWindow()
    {
        std::vector<HWND> open;
        EnumThreadWindows(GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&open));
        for (HWND window : open) {
            if (seen_.count(window))
                continue;
            seen_.insert(window);
            idleTicks_ = 0;
            if (next_ < steps_.size()) {
                steps_[next_++](window);
            } else {
                ADD_FAILURE() << "unexpected window \"" << testing::PrintToString(WindowText(window)) << "\"";
                EndDialog(window, IDCANCEL);
            }
            return;
        }
        if (++idleTicks_ < kGiveUpTicks)
            return;
        for (HWND window : open) {
            ADD_FAILURE() << "window left open: " << testing::PrintToString(WindowText(window));
            EndDialog(window, IDCANCEL);
        }
        idleTicks_ = 0;
    }

    static ModalAnswers* active_;
    std::vector<Step> steps_;
    size_t next_ = 0;
    std::set<HWND> seen_;
    int idleTicks_ = 0;
    UINT_PTR timer_ = 0;
};

ModalAnswers* ModalAnswers::active_ = nullptr;

// One call of the help viewer; for HELP_CONTEXTMENU the pair list it was given.
struct HelpCall {
    HWND window;
    std::wstring file;
    UINT command;
    ULONG_PTR data;
    std::vector<DWORD> pairs;
};

// Stands in for the help viewer while in scope.
class HelpRecorder {
public:
    HelpRecorder() : saved_(g_winHelp)
    {
        calls_ = &calls;
        g_winHelp = Record;
    }
    ~HelpRecorder()
    {
        g_winHelp = saved_;
        calls_ = nullptr;
    }
    HelpRecorder(const HelpRecorder&) = delete;
    HelpRecorder& operator=(const HelpRecorder&) = delete;
    std::vector<HelpCall> calls;

private:
    static BOOL WINAPI Record(HWND window, const wchar_t* file, UINT command, ULONG_PTR data)
    {
        HelpCall call = {window, file, command, data, {}};
        // One (control, topic) pair and the zero pair that ends the list.
        if (command == HELP_CONTEXTMENU)
            call.pairs.assign(reinterpret_cast<const DWORD*>(data), reinterpret_cast<const DWORD*>(data) + 4);
        calls_->push_back(call);
        return TRUE;
    }
    static std::vector<HelpCall>* calls_;
    WinHelpFunction saved_;
};

std::vector<HelpCall>* HelpRecorder::calls_ = nullptr;

class StatusDialogs : public StatusWindowTest {
protected:
    void SetUp() override
    {
        machineSettingsExisted_ = RegistryKeyExists(HKEY_LOCAL_MACHINE, MachineSettingsKey());
        StatusWindowTest::SetUp();
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, SettingsKey(kWindowPrinter).c_str(), L"StatusSense");
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kPortKey, L"Mode");
    }
    void TearDown() override
    {
        StatusWindowTest::TearDown();
        if (!machineSettingsExisted_)
            RegDeleteTreeW(HKEY_LOCAL_MACHINE, MachineSettingsKey().c_str());
    }
    static std::wstring MachineSettingsKey() { return kSettingsRoot + std::wstring(kWindowPrinter); }

    int Show(int templateId, LPARAM parameter = 0)
    {
        return ShowStatusDialog(g_state.instance, window_, templateId, parameter);
    }
    std::optional<DWORD> UserValue(const wchar_t* name) const
    {
        return RegistryDword(HKEY_CURRENT_USER, SettingsKey(kWindowPrinter), name);
    }
    std::optional<DWORD> MachineValue(const wchar_t* name) const
    {
        return RegistryDword(HKEY_LOCAL_MACHINE, SettingsKey(kWindowPrinter), name);
    }
    struct Options {
        DWORD showing, statusSense, alwaysOnTop;
    };
    void SetSavedOptions(const Options& options)
    {
        g_state.showing = options.showing;
        g_state.statusSense = options.statusSense;
        g_state.alwaysOnTop = options.alwaysOnTop;
    }
    // The saved options are `options`; with `stored` the registry holds them too, without it
    // it holds none.
    void ExpectOptions(const Options& options, bool stored, CallSite site = {}) const
    {
        CallerTrace trace(site);
        EXPECT_EQ(g_state.showing, options.showing);
        EXPECT_EQ(g_state.statusSense, options.statusSense);
        EXPECT_EQ(g_state.alwaysOnTop, options.alwaysOnTop);
        auto value = [stored](DWORD v) { return stored ? std::optional<DWORD>(v) : std::nullopt; };
        EXPECT_EQ(UserValue(L"Showing"), value(options.showing));
        EXPECT_EQ(MachineValue(L"StatusSense"), value(options.statusSense));
        EXPECT_EQ(UserValue(L"AlwaysOnTop"), value(options.alwaysOnTop));
    }
    SavedDword currentMode_{HKEY_LOCAL_MACHINE, kPortKey, L"CurrentMode"};
    SavedDword mode_{HKEY_LOCAL_MACHINE, kPortKey, L"Mode"};
    SavedDword attribute_{HKEY_LOCAL_MACHINE, kPortKey, L"Attribute"};
    SavedDword statusSense_{HKEY_LOCAL_MACHINE, SettingsKey(kWindowPrinter), L"StatusSense"};
    bool machineSettingsExisted_ = false;
};

// ---- Options ----

// Stored values the buttons do not offer are shown as the window acts on them and stored as
// shown.
TEST_F(StatusDialogs, OptionsShowAnUnknownStatusSenseAsAlwaysAndStoreOne)
{
    SetSavedOptions({7, 5, 3});
    ModalAnswers answers({[](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), L"选项设置");
        ExpectClientSize(dialog, 250, 151);
        const std::pair<int, const wchar_t*> texts[] = {
            {IDC_SHOWING_LABEL, L"显示打印机状态窗口(&D):"},
            {IDC_SHOW_WHILE_PRINTING, L"正在打印时"},
            {IDC_SHOW_ON_ERROR, L"只有在发生错误时"},
            {IDC_SENSE_LABEL, L"监视器设备状态(&M):"},
            {IDC_SENSE_ALWAYS, L"总是"},
            {IDC_SENSE_WHILE_SHOWN, L"只是在显示打印机状态窗口时"},
            {IDC_SENSE_WHILE_PRINTING, L"只有在打印时"},
            {IDC_ALWAYS_ON_TOP, L"始终在最前面显示打印机状态窗口(&T)"},
            {IDOK, L"确定"},
            {IDCANCEL, L"取消"},
        };
        for (const auto& text : texts)
            EXPECT_EQ(ItemText(dialog, text.first), text.second) << "control " << text.first;
        EXPECT_TRUE(Checked(dialog, IDC_SHOW_WHILE_PRINTING));
        EXPECT_FALSE(Checked(dialog, IDC_SHOW_ON_ERROR));
        EXPECT_TRUE(Checked(dialog, IDC_SENSE_ALWAYS));
        EXPECT_FALSE(Checked(dialog, IDC_SENSE_WHILE_SHOWN));
        EXPECT_FALSE(Checked(dialog, IDC_SENSE_WHILE_PRINTING));
        EXPECT_TRUE(Checked(dialog, IDC_ALWAYS_ON_TOP));
        // A local port: the device can be watched.
        EXPECT_TRUE(Enabled(dialog, IDC_SENSE_ALWAYS));
        EXPECT_TRUE(Enabled(dialog, IDC_SENSE_WHILE_PRINTING));
        Click(dialog, IDOK);
    }});
    EXPECT_EQ(Show(IDD_OPTIONS), 0);
    EXPECT_EQ(answers.answered(), 1u);
    ExpectOptions({0, 1, 1}, true);
}

TEST_F(StatusDialogs, TheOptionsCommandTellsTheLibraryOfANewSenseAndPutsTheWindowOnTop)
{
    LibraryCallLog calls;
    ASSERT_TRUE(g_state.libraries.SmPsw_OpenPrinter(window_, kWindowPrinter, L"LPT1:", &g_state.statusHandle));
    SetSavedOptions({0, 1, 0});
    ModalAnswers changed({[](HWND dialog) {
        Click(dialog, IDC_SENSE_WHILE_SHOWN);
        Click(dialog, IDC_ALWAYS_ON_TOP);
        Click(dialog, IDOK);
    }});
    SendMessageW(window_, WM_COMMAND, IDM_OPTIONS, 0);
    const std::string request = "SmPsw_JobRequest " + std::to_string(g_state.statusHandle) + " 2054 0";
    EXPECT_EQ(calls.Calls("SmPsw_JobRequest"), std::vector<std::string>{request});
    EXPECT_TRUE(GetWindowLongW(window_, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(IsWindowVisible(window_)) << "a hidden window stays hidden";

    // The same way of watching again: the library hears nothing new.
    ModalAnswers unchanged({[](HWND dialog) { Click(dialog, IDOK); }});
    SendMessageW(window_, WM_COMMAND, IDM_OPTIONS, 0);
    EXPECT_EQ(calls.Calls("SmPsw_JobRequest").size(), 1u);
}

TEST_F(StatusDialogs, OptionsOnANetworkPortGreyTheDeviceWatchingAndStillStoreAllThree)
{
    OpenWindow(L"\\\\server\\queue");
    SetSavedOptions({1, 0, 1});
    ModalAnswers answers({[](HWND dialog) {
        EXPECT_TRUE(Checked(dialog, IDC_SHOW_ON_ERROR));
        EXPECT_TRUE(Checked(dialog, IDC_SENSE_WHILE_PRINTING));
        EXPECT_TRUE(Checked(dialog, IDC_ALWAYS_ON_TOP));
        for (int id : {IDC_SENSE_ALWAYS, IDC_SENSE_WHILE_SHOWN, IDC_SENSE_WHILE_PRINTING})
            EXPECT_FALSE(Enabled(dialog, id)) << "control " << id;
        EXPECT_TRUE(Enabled(dialog, IDC_SHOW_WHILE_PRINTING));
        Click(dialog, IDC_SHOW_WHILE_PRINTING);
        Click(dialog, IDC_ALWAYS_ON_TOP);
        Click(dialog, IDOK);
    }});
    EXPECT_EQ(Show(IDD_OPTIONS), 0);
    ExpectOptions({0, 0, 0}, true);
}

// The same choices, cancelled and then confirmed.
TEST_F(StatusDialogs, OptionsStoreTheChoicesOnlyOnOk)
{
    SetSavedOptions({0, 1, 0});
    for (int button : {IDCANCEL, IDOK}) {
        SCOPED_TRACE(button == IDOK ? "确定" : "取消");
        ModalAnswers answers({[button](HWND dialog) {
            Click(dialog, IDC_SHOW_ON_ERROR);
            Click(dialog, IDC_SENSE_WHILE_SHOWN);
            Click(dialog, IDC_ALWAYS_ON_TOP);
            Click(dialog, button);
        }});
        EXPECT_EQ(Show(IDD_OPTIONS), 0);
        EXPECT_EQ(answers.answered(), 1u);
        if (button == IDCANCEL)
            ExpectOptions({0, 1, 0}, false);
        else
            ExpectOptions({1, 2, 1}, true);
    }
}

// ---- Port settings ----

TEST_F(StatusDialogs, PortSettingsOfferOnlyWhatTheAttributeAllows)
{
    SetRegistryDword(HKEY_LOCAL_MACHINE, kPortKey, L"CurrentMode", 1);
    SetRegistryDword(HKEY_LOCAL_MACHINE, kPortKey, L"Attribute", 8);
    ModalAnswers standard({[](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), L"端口设置");
        ExpectClientSize(dialog, 160, 73);
        EXPECT_EQ(ItemText(dialog, IDC_PORT_TYPE_LABEL), L"端口类型(&T):");
        EXPECT_EQ(ItemText(dialog, IDC_PORT_STANDARD), L"标准");
        EXPECT_EQ(ItemText(dialog, IDC_PORT_ECP), L"ECP");
        EXPECT_FALSE(GetDlgItem(dialog, IDC_PORT_ECP_DMA));
        EXPECT_TRUE(Checked(dialog, IDC_PORT_STANDARD));
        EXPECT_FALSE(Enabled(dialog, IDC_PORT_ECP));
        Click(dialog, IDCANCEL);
    }});
    EXPECT_EQ(Show(IDD_PORT_SETTINGS, PORT_SETTINGS_STANDARD), 0);
    EXPECT_EQ(standard.answered(), 1u);

    // Without the value the default 8 holds.
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kPortKey, L"Attribute");
    ModalAnswers dma({[](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), L"端口设置");
        ExpectClientSize(dialog, 160, 85);
        EXPECT_EQ(ItemText(dialog, IDC_PORT_ECP), L"无 DMA 的 ECP 端口");
        EXPECT_EQ(ItemText(dialog, IDC_PORT_ECP_DMA), L"有 DMA 的 ECP 端口");
        EXPECT_TRUE(Checked(dialog, IDC_PORT_STANDARD));
        EXPECT_FALSE(Enabled(dialog, IDC_PORT_ECP));
        EXPECT_TRUE(Enabled(dialog, IDC_PORT_ECP_DMA));
        Click(dialog, IDCANCEL);
    }});
    EXPECT_EQ(Show(IDD_PORT_SETTINGS_DMA, PORT_SETTINGS_DMA), 0);
    EXPECT_EQ(dma.answered(), 1u);
    EXPECT_FALSE(RegistryDword(HKEY_LOCAL_MACHINE, kPortKey, L"Mode"));
}

TEST_F(StatusDialogs, PortSettingsShowAModeWithoutButtonAsStandardAndKeepIt)
{
    LibraryCallLog calls;
    SetRegistryDword(HKEY_LOCAL_MACHINE, kPortKey, L"CurrentMode", 4);
    SetRegistryDword(HKEY_LOCAL_MACHINE, kPortKey, L"Attribute", 0xC);
    ModalAnswers answers({[](HWND dialog) {
        EXPECT_TRUE(Checked(dialog, IDC_PORT_STANDARD));
        EXPECT_FALSE(Checked(dialog, IDC_PORT_ECP));
        EXPECT_TRUE(Enabled(dialog, IDC_PORT_ECP));
        Click(dialog, IDOK);
    }});
    EXPECT_EQ(Show(IDD_PORT_SETTINGS, PORT_SETTINGS_STANDARD), 0);
    EXPECT_EQ(answers.answered(), 1u);
    EXPECT_FALSE(RegistryDword(HKEY_LOCAL_MACHINE, kPortKey, L"Mode"));
    EXPECT_EQ(RegistryDword(HKEY_LOCAL_MACHINE, kPortKey, L"CurrentMode"), 4u);
    EXPECT_TRUE(calls.Calls("SmPsw_JobRequest ").empty());
}

TEST_F(StatusDialogs, ChoosingEcpWithDmaAsksForModeFourOnce)
{
    LibraryCallLog calls;
    g_state.statusHandle = kFakeStatusHandle;
    SetRegistryDword(HKEY_LOCAL_MACHINE, kPortKey, L"CurrentMode", 1);
    SetRegistryDword(HKEY_LOCAL_MACHINE, kPortKey, L"Attribute", 0xC);
    ModalAnswers answers({[](HWND dialog) {
        EXPECT_TRUE(Enabled(dialog, IDC_PORT_ECP_DMA));
        Click(dialog, IDC_PORT_ECP_DMA);
        Click(dialog, IDOK);
    }});
    EXPECT_EQ(Show(IDD_PORT_SETTINGS_DMA, PORT_SETTINGS_DMA), 0);
    g_state.statusHandle = 0;
    EXPECT_EQ(RegistryDword(HKEY_LOCAL_MACHINE, kPortKey, L"Mode"), 4u);
    // The print monitor, not the dialog, changes the mode in force.
    EXPECT_EQ(RegistryDword(HKEY_LOCAL_MACHINE, kPortKey, L"CurrentMode"), 1u);
    EXPECT_EQ(calls.Calls("SmPsw_JobRequest "),
              std::vector<std::string>{"SmPsw_JobRequest " + std::to_string(kFakeStatusHandle) + " 2055 0"});
}

TEST_F(StatusDialogs, PortSettingsWhileAJobPrintsTellTheUserAndChangeNothing)
{
    LibraryCallLog calls;
    SetRegistryDword(HKEY_LOCAL_MACHINE, kPortKey, L"CurrentMode", 1);
    SetRegistryDword(HKEY_LOCAL_MACHINE, kPortKey, L"Attribute", 0xC);
    KeepStatusCopy({0, JOB_IN_PROGRESS});
    ModalAnswers answers({
        [](HWND dialog) {
            Click(dialog, IDC_PORT_ECP_DMA);
            Click(dialog, IDOK);
        },
        [](HWND box) {
            EXPECT_EQ(WindowText(box), L"打印机状态窗口");
            EXPECT_EQ(ItemText(box, 0xFFFF), L"打印时端口设置不可用。");
            EXPECT_FALSE(GetWindow(box, GW_OWNER));
            Click(box, IDOK);
        },
    });
    EXPECT_EQ(Show(IDD_PORT_SETTINGS_DMA, PORT_SETTINGS_DMA), 0);
    EXPECT_EQ(answers.answered(), 2u);
    EXPECT_FALSE(RegistryDword(HKEY_LOCAL_MACHINE, kPortKey, L"Mode"));
    EXPECT_TRUE(calls.Calls("SmPsw_JobRequest ").empty());
}

// ---- About box and the table ----

TEST_F(StatusDialogs, TheAboutBoxNamesTheProductAndVersion)
{
    ModalAnswers answers({[](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), L"关于");
        ExpectClientSize(dialog, 218, 89);
        EXPECT_EQ(ItemText(dialog, IDC_ABOUT_PRODUCT), L"Tavik QX2210-2370");
        EXPECT_EQ(ItemText(dialog, IDC_ABOUT_VERSION), L"1.00.0.003");
        EXPECT_TRUE(SendDlgItemMessageW(dialog, IDC_ABOUT_ICON, STM_GETICON, 0, 0));
        EXPECT_EQ(ItemText(dialog, IDOK), L"确定");
        Click(dialog, IDOK);
    }});
    EXPECT_EQ(Show(IDD_ABOUT), 0);
    EXPECT_EQ(answers.answered(), 1u);
}

TEST_F(StatusDialogs, ATemplateOutsideTheTableShowsNothing)
{
    {
        ModalAnswers none({});
        for (int templateId : {0, 404, 405, 501})
            EXPECT_EQ(Show(templateId), 1) << "template " << templateId;
    }
    // The lookups that failed leave the table whole.
    ModalAnswers about({[](HWND dialog) { Click(dialog, IDOK); }});
    EXPECT_EQ(Show(IDD_ABOUT), 0);
    EXPECT_EQ(about.answered(), 1u);
}

// ---- Help ----

// Where the help file lies: the spooler's driver folder for this system's environment.
std::wstring HelpFile()
{
    wchar_t folder[MAX_PATH] = {};
    DWORD needed = 0;
    EXPECT_TRUE(GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(folder), sizeof(folder), &needed))
        << GetLastError();
    return std::wstring(folder) + L"\\3\\XERB5.HLP";
}

// The client point in the middle of a control.
LPARAM MiddleOf(HWND dialog, int id)
{
    RECT rect;
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

// F1 typed while control `id` has the focus. Typed keys come after posted messages, so this
// runs the thread's messages itself until the help viewer has been called.
void PressF1(HWND dialog, int id, const HelpRecorder& help, CallSite site = {})
{
    CallerTrace trace(site);
    size_t before = help.calls.size();
    SetForegroundWindow(dialog);
    SetFocus(GetDlgItem(dialog, id));
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_F1;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ASSERT_EQ(SendInput(2, keys, sizeof(INPUT)), 2u) << GetLastError();
    for (DWORD start = GetTickCount(); help.calls.size() == before && GetTickCount() - start < 2000;) {
        MSG message;
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
    EXPECT_EQ(help.calls.size(), before + 1) << "F1 on control " << id;
}

TEST_F(StatusDialogs, OptionsHelpOpensTheContentsOrTheControlsTopic)
{
    HelpRecorder help;
    HWND options = nullptr, always = nullptr, onError = nullptr;
    ModalAnswers answers({[&](HWND dialog) {
        options = dialog;
        always = GetDlgItem(dialog, IDC_SENSE_ALWAYS);
        onError = GetDlgItem(dialog, IDC_SHOW_ON_ERROR);
        PressF1(dialog, IDOK, help);
        PressF1(dialog, IDC_SENSE_ALWAYS, help);
        // F1 in the open system menu names a menu item, not a control.
        HELPINFO menuItem = {sizeof(menuItem), HELPINFO_MENUITEM, SC_CLOSE, GetSystemMenu(dialog, FALSE), 0, {}};
        SendMessageW(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&menuItem));
        // A right click on a button reaches the dialog as WM_CONTEXTMENU; one on a static
        // text arrives as the dialog's own click.
        PostMessageW(GetDlgItem(dialog, IDC_SHOW_ON_ERROR), WM_RBUTTONUP, 0, MAKELPARAM(2, 2));
        PostMessageW(dialog, WM_RBUTTONUP, 0, MiddleOf(dialog, IDC_SHOWING_LABEL));
        Click(dialog, IDCANCEL);
    }});
    EXPECT_EQ(Show(IDD_OPTIONS), 0);
    ASSERT_EQ(help.calls.size(), 5u);
    for (const HelpCall& call : help.calls)
        EXPECT_EQ(lstrcmpiW(call.file.c_str(), HelpFile().c_str()), 0) << testing::PrintToString(call.file);

    EXPECT_EQ(help.calls[0].window, options);
    EXPECT_EQ(help.calls[0].command, UINT(HELP_FINDER));
    EXPECT_EQ(help.calls[0].data, 0u);

    EXPECT_EQ(help.calls[1].window, always);
    EXPECT_EQ(help.calls[1].command, UINT(HELP_CONTEXTPOPUP));
    EXPECT_EQ(help.calls[1].data, 3230u);

    EXPECT_EQ(help.calls[2].window, options);
    EXPECT_EQ(help.calls[2].command, UINT(HELP_FINDER));

    EXPECT_EQ(help.calls[3].window, onError);
    EXPECT_EQ(help.calls[3].command, UINT(HELP_CONTEXTMENU));
    EXPECT_EQ(help.calls[3].pairs, (std::vector<DWORD>{IDC_SHOW_ON_ERROR, 3210, 0, 0}));

    EXPECT_EQ(help.calls[4].window, options);
    EXPECT_EQ(help.calls[4].command, UINT(HELP_CONTEXTMENU));
    EXPECT_EQ(help.calls[4].pairs, (std::vector<DWORD>{IDC_SHOWING_LABEL, 3211, 0, 0}));
}

}  // namespace
