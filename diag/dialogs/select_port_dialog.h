// The port choice: lists the ports the chosen printer may use and moves the printer to the
// one picked, classifying it anew. Ends with 1 after a port was applied, 2 after Cancel or Esc.
#pragma once
#include "framework/dialog.h"

#include <string>

class CSelectPortDlg : public CDialog {
public:
    CSelectPortDlg();

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    // Whether the printer may use the port; the monitor name is the one EnumPortsW reports.
    static bool IsEligible(const std::wstring& port, const wchar_t* monitorName);
    static void MovePrinterTo(const std::wstring& printer, const std::wstring& port);
    static void ClassifyChosenPort(const std::wstring& port);
};
