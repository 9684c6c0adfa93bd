// The first window of the troubleshooter: system figures, the printers of the supported
// driver, and the question whether to run. Yes classifies the chosen printer's port, starts
// the result log and ends with 1001; No ends with 1003, Esc and the close box with 2.
#pragma once
#include "dialogs/layer.h"
#include "framework/dialog.h"

#include <winspool.h>

#include <string>

class CStartDlg : public CDialog {
public:
    CStartDlg();

    // n of the chosen printer's port LPTn; 0 for every other port. The sequence takes it
    // over after a 1001 result.
    int portNumber = 0;
    // The chosen printer's LPT port is redirected to a network resource.
    int redirectedLptPort = 0;

    // Has the application classify the named printer for the run, as choosing it in the list
    // does (portNumber and the redirection flag come into this dialog).
    void ClassifyPrinter(const std::wstring& name);
    // The classification of one printer record; null when no printer matched the list text.
    void ClassifyPrinter(const PRINTER_INFO_2W* printer);
    // Has the application create the result log anew with its three header lines, the figures
    // as the dialog shows them.
    void WriteLogHeader(const std::wstring& diskText, const std::wstring& memoryText);
    // What Yes does: classifies the chosen printer, starts the log with the figures as shown
    // and makes the printer the run's.
    void Confirm(const std::wstring& printer, const std::wstring& diskText, const std::wstring& memoryText);

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT id, UINT notifyCode, HWND control) override;
    BOOL OnPaint() override;
    // The figures, the printer list and its choice, without the window.
    std::unique_ptr<DialogContent> Content() override;

private:
    void FillPrinterList();
    std::wstring SelectedPrinter() const;
    std::wstring FigureText(int id) const;

    HICON icon_;
};
