// Answers modal dialogs with no person present. Once a dialog's own initialisation has
// run, the autopilot reads every control and acts on one: a press sends exactly the
// WM_COMMAND that a click sends, so the dialog's own handler ends it. A dialog answered
// this way is never shown; modeless dialogs are created but not shown while it flies. An
// autopilot whose dialogs no one looks at has no modeless dialog created, and answers a modal
// dialog that can say what it holds without a window (DialogContent) without making one.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

class CDialog;

struct ControlState {
    int id = 0;
    std::wstring className;  // as GetClassNameW reports it: "Button", "Static", "ListBox"...
    std::wstring text;
    bool enabled = false;
    bool visible = false;    // the control's own WS_VISIBLE style
    int check = 0;           // BM_GETCHECK for buttons
    std::vector<std::wstring> items;  // entries of a list box or combo box
    int selection = -1;
};

struct DialogSnapshot {
    UINT templateId = 0;
    std::wstring title;
    std::vector<ControlState> controls;

    const ControlState* find(int id) const;
    std::wstring text(int id) const;  // empty when there is no such control
    bool enabled(int id) const;
};

DialogSnapshot TakeSnapshot(HWND dialog, UINT templateId);

struct AutopilotAction {
    enum Kind { Leave, Press, Select, SetText };
    Kind kind = Leave;
    int control = 0;
    std::wstring item;  // Select: the list entry to choose; SetText: the new text

    static AutopilotAction press(int id) { return { Press, id, {} }; }
    static AutopilotAction select(int id, const std::wstring& item) { return { Select, id, item }; }
    // Puts a text into a control, as a choice made in another window (a file dialog) does.
    static AutopilotAction setText(int id, const std::wstring& text) { return { SetText, id, text }; }
    static AutopilotAction leave() { return {}; }
};

class Autopilot {
public:
    virtual ~Autopilot() = default;
    // Asked once the dialog is initialised and again after every action that did not end it.
    // Leave hands the dialog to a person.
    virtual AutopilotAction Answer(const DialogSnapshot& dialog) = 0;
    // Whether anyone looks at the dialogs' windows while this autopilot flies (a test does).
    // Making a window is most of what a dialog costs, so an autopilot that no one watches
    // spares the windows it can: no modeless dialog is created, and a modal dialog with a
    // content of its own is answered from that content.
    virtual bool SeesWindows() const { return true; }
    // A modeless dialog was created.
    virtual void Created(const DialogSnapshot&) {}
    // An action could not be carried out (no such control, disabled, no such entry) or the
    // dialog would not end; the dialog is ended with -1.
    virtual void Stuck(const DialogSnapshot&, const AutopilotAction&) {}
};

// The process-wide autopilot; null flies no dialog.
void SetAutopilot(Autopilot* pilot);
Autopilot* CurrentAutopilot();

// Installs an autopilot for the life of a scope.
class ScopedAutopilot {
public:
    explicit ScopedAutopilot(Autopilot& pilot) : previous_(CurrentAutopilot()) { SetAutopilot(&pilot); }
    ~ScopedAutopilot() { SetAutopilot(previous_); }
    ScopedAutopilot(const ScopedAutopilot&) = delete;
    ScopedAutopilot& operator=(const ScopedAutopilot&) = delete;

private:
    Autopilot* previous_;
};

// What a modal dialog holds and how its controls act, without its window: the controls an
// answer goes by, and an action on them doing what the same action does in the window.
class DialogContent {
public:
    virtual ~DialogContent() = default;
    virtual DialogSnapshot Snapshot() const = 0;
    // False when the control cannot take the action (none such, disabled, no such entry).
    virtual bool Perform(const AutopilotAction& action) = 0;

    bool ended() const { return ended_; }
    INT_PTR result() const { return result_; }
    void End(INT_PTR result)
    {
        ended_ = true;
        result_ = result;
    }

private:
    bool ended_ = false;
    INT_PTR result_ = -1;
};

// A visible control of a content, as a snapshot of its window would hold it.
ControlState ContentControl(int id, const wchar_t* className, const std::wstring& text = std::wstring(),
                            bool enabled = true);

// Runs the autopilot on a modal dialog that has just been initialised.
void FlyAutopilot(CDialog& dialog);
// Runs the autopilot on a dialog's content until it ends, and returns the dialog's result; -1
// when it could not be answered. With no window there is no person to leave it to: an
// autopilot that leaves the content is stuck.
INT_PTR FlyAutopilot(DialogContent& content);
