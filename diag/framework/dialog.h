// A dialog from a template of the program's resources, run modally or created modeless.
// Handlers are virtual; the dialog procedure is one plain message switch.
#pragma once
#include <windows.h>
#include <memory>
#include <string>

class DialogContent;

class CDialog {
public:
    explicit CDialog(UINT templateId);
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the dialog modally without an owner; the result is the id it ended with. Under an
    // autopilot that sees no windows, a dialog with a content is answered from it instead.
    virtual INT_PTR DoModal();
    // Creates the dialog modeless, hidden until ShowWindow; FALSE without a window when the
    // autopilot flying does not watch modeless dialogs.
    BOOL Create(HWND parent = nullptr);
    BOOL ShowWindow(int command);
    BOOL UpdateWindow();
    BOOL DestroyWindow();
    void EndDialog(INT_PTR result);

    HWND hwnd() const { return hwnd_; }
    UINT templateId() const { return templateId_; }
    bool ended() const { return ended_; }

    HWND GetDlgItem(int id) const;
    std::wstring GetDlgItemText(int id) const;
    void SetDlgItemText(int id, const std::wstring& text);
    void EnableDlgItem(int id, BOOL enable);
    LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

protected:
    // Called with the controls in place; TRUE lets the dialog manager set the focus.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // Any other command; TRUE when handled.
    virtual BOOL OnCommand(UINT id, UINT notifyCode, HWND control);
    // TRUE when the handler painted the window itself.
    virtual BOOL OnPaint();
    // F1 (WM_HELP); the default answers it and does nothing.
    virtual BOOL OnHelpInfo(HELPINFO* info);
    // What the dialog holds without its window, made when it is to be answered; null (the
    // default): the dialog cannot be answered without its window.
    virtual std::unique_ptr<DialogContent> Content();
    // Messages the switch does not route; set `handled` to answer one.
    virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    UINT templateId_;
    HWND hwnd_ = nullptr;
    bool modal_ = false;
    bool ended_ = false;
};
