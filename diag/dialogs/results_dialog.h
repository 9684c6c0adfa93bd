// The results dialog at the end of a run: a sentence on what the run found, the result log,
// and the choice to keep the log as a file under a proposed dated name.
#pragma once
#include "dialogs/layer.h"
#include "framework/dialog.h"

#include <string>

class CResultsDlg : public CDialog {
public:
    CResultsDlg();

    // The run's summary sentence, from the application's runFlags, driver and port.
    static std::wstring SummarySentence();
    // The first free name of today's results files: folder + "yyMMdd" + two digits + ".LOG".
    static std::wstring ProposedFileName();
    // True once the log was kept under savedResultPath by this dialog.
    bool saved() const { return saved_; }
    // Keeps the whole dialog inside `workArea` (screen pixels): where the dialog is taller (a
    // large display scale on a small screen), the log box gives up the difference, down to a
    // few lines, and scrolls its text; what stands below it moves up, so that the choice to
    // save and the OK button stay on the screen.
    void FitIntoWorkArea(const RECT& workArea);
    // What OK does with the file name and the choice to save as they stand: the log is moved
    // to that name (a write failure asks whether to try again, go back or give the log up) or
    // discarded. False when the user went back to the dialog.
    bool KeepLog(const std::wstring& fileName, bool save);
    // What Esc does: the log is discarded.
    void DeleteLog() const;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL OnCommand(UINT id, UINT notifyCode, HWND control) override;
    BOOL OnPaint() override;
    // The summary, the file name and the choice to save, without the window; the log's text
    // is the log file itself.
    std::unique_ptr<DialogContent> Content() override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    // FitIntoWorkArea for the work area of the monitor the dialog is on.
    void FitIntoMonitor();
    void ShowLog();
    void ChangeFileName();
    // Moves the temporary log to savedResultPath; false when it could not be written there.
    bool MoveLogToSavedPath() const;

    HICON icon_;
    HWND logBox_ = nullptr;
    HWND saveBox_ = nullptr;
    bool saved_ = false;
};
