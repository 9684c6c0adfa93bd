#include "framework/dialog.h"

#include "framework/autopilot.h"
#include "framework/winapp.h"

#include <cstring>
#include <vector>

CDialog::CDialog(UINT templateId) : templateId_(templateId) {}

CDialog::~CDialog()
{
    if (hwnd_ && !modal_)
        ::DestroyWindow(hwnd_);
}

static HINSTANCE ResourceModule()
{
    CWinApp* app = AfxGetApp();
    return app ? app->instance() : GetModuleHandleW(nullptr);
}

// A copy of the dialog's template without WS_VISIBLE; empty when the template cannot be
// read. A dialog the autopilot answers ends during its initialisation, and the dialog manager
// would otherwise show, activate and paint it on the way to destroying it. One the autopilot
// leaves to a person is still shown, by the modal loop once the queue is first empty.
static std::vector<BYTE> HiddenTemplate(UINT templateId)
{
    HINSTANCE module = ResourceModule();
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(templateId), RT_DIALOG);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const BYTE* bytes = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (!bytes)
        return {};
    std::vector<BYTE> copy(bytes, bytes + SizeofResource(module, found));
    // An extended template begins with version 1 and 0xFFFF; its style follows the help id
    // and the extended style. A plain template begins with its style.
    const size_t at = copy.size() >= 16 && copy[2] == 0xFF && copy[3] == 0xFF ? 12 : 0;
    if (copy.size() < at + sizeof(DWORD))
        return {};
    DWORD style;
    std::memcpy(&style, &copy[at], sizeof(style));
    style &= ~WS_VISIBLE;
    std::memcpy(&copy[at], &style, sizeof(style));
    return copy;
}

INT_PTR CDialog::DoModal()
{
    modal_ = true;
    ended_ = false;
    Autopilot* pilot = CurrentAutopilot();
    if (pilot && !pilot->SeesWindows())
        if (std::unique_ptr<DialogContent> content = Content())
            return FlyAutopilot(*content);
    // The vector's block is aligned as the dialog manager requires of a template.
    std::vector<BYTE> hidden = pilot ? HiddenTemplate(templateId_) : std::vector<BYTE>();
    INT_PTR result = hidden.empty()
                         ? DialogBoxParamW(ResourceModule(), MAKEINTRESOURCEW(templateId_), nullptr, DialogProc,
                                           reinterpret_cast<LPARAM>(this))
                         : DialogBoxIndirectParamW(ResourceModule(), reinterpret_cast<DLGTEMPLATE*>(hidden.data()),
                                                   nullptr, DialogProc, reinterpret_cast<LPARAM>(this));
    hwnd_ = nullptr;
    return result;
}

BOOL CDialog::Create(HWND parent)
{
    modal_ = false;
    if (CurrentAutopilot() && !CurrentAutopilot()->SeesWindows())
        return FALSE;
    hwnd_ = CreateDialogParamW(ResourceModule(), MAKEINTRESOURCEW(templateId_), parent, DialogProc,
                               reinterpret_cast<LPARAM>(this));
    if (hwnd_ && CurrentAutopilot())
        CurrentAutopilot()->Created(TakeSnapshot(hwnd_, templateId_));
    return hwnd_ != nullptr;
}

BOOL CDialog::ShowWindow(int command)
{
    // While the autopilot answers, no dialog reaches the screen.
    if (CurrentAutopilot())
        return FALSE;
    return hwnd_ ? ::ShowWindow(hwnd_, command) : FALSE;
}

BOOL CDialog::UpdateWindow()
{
    return hwnd_ ? ::UpdateWindow(hwnd_) : FALSE;
}

BOOL CDialog::DestroyWindow()
{
    if (!hwnd_)
        return FALSE;
    BOOL done = ::DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    return done;
}

void CDialog::EndDialog(INT_PTR result)
{
    ended_ = true;
    if (modal_)
        ::EndDialog(hwnd_, result);
    else
        DestroyWindow();
}

HWND CDialog::GetDlgItem(int id) const
{
    return ::GetDlgItem(hwnd_, id);
}

std::wstring CDialog::GetDlgItemText(int id) const
{
    HWND control = GetDlgItem(id);
    int length = control ? GetWindowTextLengthW(control) : 0;
    std::vector<wchar_t> text(length + 1);
    if (control)
        GetWindowTextW(control, text.data(), length + 1);
    return text.data();
}

void CDialog::SetDlgItemText(int id, const std::wstring& text)
{
    ::SetDlgItemTextW(hwnd_, id, text.c_str());
}

void CDialog::EnableDlgItem(int id, BOOL enable)
{
    if (HWND control = GetDlgItem(id))
        EnableWindow(control, enable);
}

LRESULT CDialog::SendDlgItemMessage(int id, UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendDlgItemMessageW(hwnd_, id, message, wParam, lParam);
}

BOOL CDialog::OnInitDialog()
{
    return TRUE;
}

void CDialog::OnOK()
{
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::OnCommand(UINT, UINT, HWND)
{
    return FALSE;
}

BOOL CDialog::OnPaint()
{
    return FALSE;
}

BOOL CDialog::OnHelpInfo(HELPINFO*)
{
    return TRUE;
}

std::unique_ptr<DialogContent> CDialog::Content()
{
    return nullptr;
}

INT_PTR CDialog::OnMessage(UINT, WPARAM, LPARAM, bool&)
{
    return FALSE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* self;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lParam);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    } else {
        self = reinterpret_cast<CDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!self)
        return FALSE;
    INT_PTR result = self->Dispatch(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

INT_PTR CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        BOOL focus = OnInitDialog();
        if (modal_ && CurrentAutopilot())
            FlyAutopilot(*this);
        // A dialog that ended here takes no focus, which would activate it.
        return ended_ ? FALSE : focus;
    }
    case WM_COMMAND: {
        UINT id = LOWORD(wParam);
        if (id == IDOK) {
            OnOK();
            return TRUE;
        }
        if (id == IDCANCEL) {
            OnCancel();
            return TRUE;
        }
        if (id == CWinApp::ID_HELP && AfxGetApp()) {
            AfxGetApp()->OnHelp();
            return TRUE;
        }
        return OnCommand(id, HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    }
    case WM_PAINT:
        return OnPaint();
    case WM_HELP:
        return OnHelpInfo(reinterpret_cast<HELPINFO*>(lParam));
    default: {
        bool handled = false;
        INT_PTR result = OnMessage(message, wParam, lParam, handled);
        return handled ? result : FALSE;
    }
    }
}
