// The fault reports of the check sequence and the dialogs that share their shape: a
// stock icon painted at a fixed place, fault texts (some filled in when the dialog opens)
// and a column of buttons, each of which ends the dialog with its result.
#pragma once
#include "dialogs/layer.h"
#include "framework/dialog.h"
#include "framework/strings.h"
#include "res/resource.h"

#include <string>

class ProblemDialog : public CDialog {
public:
    // The dialog of template `templateId`; its icon, buttons, help and fill-ins come from
    // the table of shapes.
    explicit ProblemDialog(UINT templateId);

    // Caller-supplied texts, members 1 to 5, each cut to a path buffer (kPathChars).
    void SetMember(int index, const std::wstring& text);
    const wchar_t* member(int index) const;

    struct Shape;

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    BOOL OnCommand(UINT id, UINT notifyCode, HWND control) override;
    BOOL OnPaint() override;
    BOOL OnHelpInfo(HELPINFO* info) override;
    // The topic help opens; 0 does nothing.
    virtual DWORD HelpTopic() const;

private:
    const Shape& shape_;
    wchar_t members_[5][kPathChars] = {};
};

// A member whose shape says everything: its constructor only names the template.
#define PROBLEM_DIALOG(name, templateId) \
    class name : public ProblemDialog { \
    public: \
        name() : ProblemDialog(templateId) {} \
    }

PROBLEM_DIALOG(CSpoolerStoppedDlg, IDD_SPOOLER_STOPPED);
// Retry (0) / back (1) / cancel and Esc (2) after the results file could not be written;
// the sentence names the application's savedResultPath.
PROBLEM_DIALOG(CWriteFailedDlg, IDD_WRITE_FAILED);
PROBLEM_DIALOG(CFinishDlg, IDD_FINISH);
// Notices: continue / exit / help.
PROBLEM_DIALOG(CFileMissingDlg, IDD_FILE_MISSING);            // member 1: the file path
PROBLEM_DIALOG(CNoPermissionDlg, IDD_NO_PERMISSION);
PROBLEM_DIALOG(CServerErrorDlg, IDD_SERVER_ERROR);
PROBLEM_DIALOG(CNetPrinterErrorDlg, IDD_NET_PRINTER_ERROR);
PROBLEM_DIALOG(CRegistryReinstallDlg, IDD_REGISTRY_REINSTALL);
// Correction offers: yes / no / exit (the wrong-port dialog adds help).
PROBLEM_DIALOG(CPortSettingsDlg, IDD_PORT_SETTINGS);
PROBLEM_DIALOG(CLangMonitorDlg, IDD_LANG_MONITOR);
PROBLEM_DIALOG(CDriverSettingsDlg, IDD_DRIVER_SETTINGS);
PROBLEM_DIALOG(CStatusWindowDlg, IDD_STATUS_WINDOW);
PROBLEM_DIALOG(CBidiDlg, IDD_BIDI);
PROBLEM_DIALOG(CFolderItemDlg, IDD_FOLDER_ITEM);              // member 1: the item name
PROBLEM_DIALOG(CRegistryFixDlg, IDD_REGISTRY_FIX);
PROBLEM_DIALOG(CHoldMismatchedDlg, IDD_HOLD_MISMATCHED);

#undef PROBLEM_DIALOG

// The port-driver dialog, member 1: the fault text. Its yes button is greyed while the port
// is missing.
class COndrixDriverDlg : public ProblemDialog {
public:
    COndrixDriverDlg() : ProblemDialog(IDD_ONDRIX_DRIVER) {}

protected:
    BOOL OnInitDialog() override;
};

// The program-folder dialog: its yes button has the program folder created before the dialog
// ends.
class CProgramFolderDlg : public ProblemDialog {
public:
    CProgramFolderDlg() : ProblemDialog(IDD_PROGRAM_FOLDER) {}

protected:
    BOOL OnCommand(UINT id, UINT notifyCode, HWND control) override;
};

// The file-version dialog: one difference of a package file. Members: 1 fault line, 2 label
// of the current value, 3 current value, 4 label of the expected value, 5 expected value.
// The help topic follows from the label of the current value.
class CFileVersionDlg : public ProblemDialog {
public:
    CFileVersionDlg() : ProblemDialog(IDD_FILE_VERSION) {}

protected:
    DWORD HelpTopic() const override;
};

// The modeless please-wait windows while the system and the network are checked: no
// buttons, no handling of their own.
class CCheckingSystemDlg : public CDialog {
public:
    CCheckingSystemDlg() : CDialog(IDD_CHECKING_SYSTEM) {}
};
class CCheckingNetworkDlg : public CDialog {
public:
    CCheckingNetworkDlg() : CDialog(IDD_CHECKING_NETWORK) {}
};
