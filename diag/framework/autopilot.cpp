#include "framework/autopilot.h"

#include "framework/dialog.h"

namespace {
Autopilot* g_pilot = nullptr;

// More actions than any dialog needs: a dialog still open after them would never end.
constexpr int kMaxActions = 32;

std::wstring WindowText(HWND window)
{
    int length = GetWindowTextLengthW(window);
    std::wstring text(length + 1, L'\0');
    text.resize(GetWindowTextW(window, &text[0], length + 1));
    return text;
}

std::wstring ListEntry(HWND list, UINT lenMessage, UINT textMessage, int index)
{
    LRESULT length = SendMessageW(list, lenMessage, index, 0);
    if (length < 0)
        return std::wstring();
    std::wstring text(length + 1, L'\0');
    SendMessageW(list, textMessage, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(length);
    return text;
}

BOOL CALLBACK AddControl(HWND control, LPARAM param)
{
    auto* snapshot = reinterpret_cast<DialogSnapshot*>(param);
    ControlState state;
    state.id = GetDlgCtrlID(control);
    wchar_t cls[64] = {};
    GetClassNameW(control, cls, 64);
    state.className = cls;
    state.text = WindowText(control);
    state.enabled = IsWindowEnabled(control) != FALSE;
    state.visible = (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0;
    if (lstrcmpiW(cls, L"Button") == 0) {
        state.check = static_cast<int>(SendMessageW(control, BM_GETCHECK, 0, 0));
    } else if (lstrcmpiW(cls, L"ListBox") == 0) {
        LRESULT count = SendMessageW(control, LB_GETCOUNT, 0, 0);
        for (int i = 0; i < count; ++i)
            state.items.push_back(ListEntry(control, LB_GETTEXTLEN, LB_GETTEXT, i));
        state.selection = static_cast<int>(SendMessageW(control, LB_GETCURSEL, 0, 0));
    } else if (lstrcmpiW(cls, L"ComboBox") == 0) {
        LRESULT count = SendMessageW(control, CB_GETCOUNT, 0, 0);
        for (int i = 0; i < count; ++i)
            state.items.push_back(ListEntry(control, CB_GETLBTEXTLEN, CB_GETLBTEXT, i));
        state.selection = static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0));
    }
    snapshot->controls.push_back(state);
    return TRUE;
}

bool IsAutoToggle(HWND control)
{
    LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_AUTOCHECKBOX || type == BS_AUTO3STATE || type == BS_AUTORADIOBUTTON;
}

// Does what a person's click or choice does; false when the control cannot take it.
bool Perform(HWND dialog, const AutopilotAction& action)
{
    HWND control = GetDlgItem(dialog, action.control);
    // Enter and Esc send IDOK and IDCANCEL even where no button carries those ids.
    bool key = action.kind == AutopilotAction::Press && (action.control == IDOK || action.control == IDCANCEL);
    if (!control && key) {
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(action.control, BN_CLICKED), 0);
        return true;
    }
    if (!control || !IsWindowEnabled(control))
        return false;
    wchar_t cls[64] = {};
    GetClassNameW(control, cls, 64);
    if (action.kind == AutopilotAction::Press) {
        if (lstrcmpiW(cls, L"Button") == 0 && IsAutoToggle(control)) {
            LRESULT state = SendMessageW(control, BM_GETCHECK, 0, 0);
            SendMessageW(control, BM_SETCHECK, state == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
        }
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(action.control, BN_CLICKED),
                     reinterpret_cast<LPARAM>(control));
        return true;
    }
    if (action.kind == AutopilotAction::SetText)
        return SetWindowTextW(control, action.item.c_str()) != FALSE;
    bool combo = lstrcmpiW(cls, L"ComboBox") == 0;
    if (!combo && lstrcmpiW(cls, L"ListBox") != 0)
        return false;
    LRESULT index = SendMessageW(control, combo ? CB_FINDSTRINGEXACT : LB_FINDSTRINGEXACT,
                                 static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(action.item.c_str()));
    if (index < 0)
        return false;
    SendMessageW(control, combo ? CB_SETCURSEL : LB_SETCURSEL, index, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(action.control, combo ? CBN_SELCHANGE : LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(control));
    return true;
}
}  // namespace

const ControlState* DialogSnapshot::find(int id) const
{
    for (const ControlState& c : controls)
        if (c.id == id)
            return &c;
    return nullptr;
}

std::wstring DialogSnapshot::text(int id) const
{
    const ControlState* c = find(id);
    return c ? c->text : std::wstring();
}

bool DialogSnapshot::enabled(int id) const
{
    const ControlState* c = find(id);
    return c && c->enabled;
}

DialogSnapshot TakeSnapshot(HWND dialog, UINT templateId)
{
    DialogSnapshot snapshot;
    snapshot.templateId = templateId;
    snapshot.title = WindowText(dialog);
    EnumChildWindows(dialog, AddControl, reinterpret_cast<LPARAM>(&snapshot));
    return snapshot;
}

ControlState ContentControl(int id, const wchar_t* className, const std::wstring& text, bool enabled)
{
    ControlState control;
    control.id = id;
    control.className = className;
    control.text = text;
    control.enabled = enabled;
    control.visible = true;
    return control;
}

void SetAutopilot(Autopilot* pilot)
{
    g_pilot = pilot;
}

Autopilot* CurrentAutopilot()
{
    return g_pilot;
}

namespace {

// Asks the autopilot and carries out its answers until the dialog ends, the autopilot leaves
// it (false) or it is stuck; a stuck dialog is ended with -1.
template <typename Dialog>
bool Fly(Dialog& dialog)
{
    Autopilot* pilot = CurrentAutopilot();
    for (int n = 0; pilot && !dialog.ended(); ++n) {
        DialogSnapshot snapshot = dialog.Snapshot();
        AutopilotAction action = pilot->Answer(snapshot);
        if (action.kind == AutopilotAction::Leave)
            return false;
        if (n == kMaxActions || !dialog.Perform(action)) {
            pilot->Stuck(snapshot, action);
            dialog.End(-1);
            return true;
        }
    }
    return true;
}

// A modal dialog's window as Fly sees it.
struct WindowFlight {
    CDialog& dialog;
    bool ended() const { return dialog.ended(); }
    DialogSnapshot Snapshot() const { return TakeSnapshot(dialog.hwnd(), dialog.templateId()); }
    bool Perform(const AutopilotAction& action) { return ::Perform(dialog.hwnd(), action); }
    void End(INT_PTR result) { dialog.EndDialog(result); }
};
}  // namespace

void FlyAutopilot(CDialog& dialog)
{
    WindowFlight flight{ dialog };
    Fly(flight);
}

INT_PTR FlyAutopilot(DialogContent& content)
{
    if (!Fly(content)) {
        Autopilot* pilot = CurrentAutopilot();
        pilot->Stuck(content.Snapshot(), AutopilotAction::leave());
        content.End(-1);
    }
    return content.result();
}
