// The fault reports of the check sequence and the dialogs that share their shape: a
// stock icon painted at a fixed place, fault texts (some filled in when the dialog opens)
// and a column of buttons, each of which ends the dialog with its own id.
#pragma once
#include "framework/dialog.h"

#include <string>

class ProblemDialog : public CDialog {
public:
    struct Shape {
        UINT templateId;
        LPCWSTR icon;      // stock icon id, or null for none
        POINT iconAt;      // client pixels
        int helpButton;    // 0 when the dialog has none
        DWORD helpTopic;   // topic for the help button and F1
    };
    explicit ProblemDialog(const Shape& shape);

    // Caller-supplied texts, members 1 to 5, 260 characters each.
    void SetMember(int index, const std::wstring& text);
    const wchar_t* member(int index) const;

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    BOOL OnCommand(UINT id, UINT notifyCode, HWND control) override;
    BOOL OnPaint() override;
    BOOL OnHelpInfo(HELPINFO* info) override;
    // The topic help opens; 0 does nothing.
    virtual DWORD HelpTopic() const;
    // Fills the texts that depend on the caller or the application.
    virtual void FillTexts() {}

    const Shape shape_;
    wchar_t members_[5][260] = {};
};

#define DECLARE_PROBLEM_DIALOG(name) \
    class name : public ProblemDialog { \
    public: \
        name(); \
    protected: \
        void FillTexts() override; \
    }

// Notices with one button, and the finish dialog.
DECLARE_PROBLEM_DIALOG(CSpoolerStoppedDlg);   // 133
DECLARE_PROBLEM_DIALOG(CFinishDlg);           // 135
// Notices: continue / exit / help.
DECLARE_PROBLEM_DIALOG(CFileMissingDlg);      // 136, member 1: the file path
DECLARE_PROBLEM_DIALOG(CNoPermissionDlg);     // 153
DECLARE_PROBLEM_DIALOG(CServerErrorDlg);      // 154
DECLARE_PROBLEM_DIALOG(CNetPrinterErrorDlg);  // 155
DECLARE_PROBLEM_DIALOG(CRegistryReinstallDlg);// 158
// Correction offers: yes / no / exit (138 adds help).
DECLARE_PROBLEM_DIALOG(CPortSettingsDlg);     // 138
DECLARE_PROBLEM_DIALOG(CLangMonitorDlg);      // 141
DECLARE_PROBLEM_DIALOG(CDriverSettingsDlg);   // 142
DECLARE_PROBLEM_DIALOG(CStatusWindowDlg);     // 143
DECLARE_PROBLEM_DIALOG(CBidiDlg);             // 144
DECLARE_PROBLEM_DIALOG(CFolderItemDlg);       // 148, member 1: the item name
DECLARE_PROBLEM_DIALOG(COndrixDriverDlg);     // 151, member 1: the fault text
DECLARE_PROBLEM_DIALOG(CRegistryFixDlg);      // 157
DECLARE_PROBLEM_DIALOG(CHoldMismatchedDlg);   // 159

// 146: its yes button has the program folder created before the dialog ends.
class CProgramFolderDlg : public ProblemDialog {
public:
    CProgramFolderDlg();

protected:
    BOOL OnCommand(UINT id, UINT notifyCode, HWND control) override;
};

// 150: one difference of a package file. Members: 1 fault line, 2 label of the current
// value, 3 current value, 4 label of the expected value, 5 expected value.
class CFileVersionDlg : public ProblemDialog {
public:
    CFileVersionDlg();

protected:
    void FillTexts() override;
    DWORD HelpTopic() const override;
};

// 134: retry (0) / back (1) / cancel (2) after the results file could not be written.
class CWriteFailedDlg : public ProblemDialog {
public:
    CWriteFailedDlg();

protected:
    void FillTexts() override;
    BOOL OnCommand(UINT id, UINT notifyCode, HWND control) override;
    void OnCancel() override;
};

// The modeless please-wait windows 147 and 149.
class CCheckingSystemDlg : public CDialog {
public:
    CCheckingSystemDlg();
};
class CCheckingNetworkDlg : public CDialog {
public:
    CCheckingNetworkDlg();
};
