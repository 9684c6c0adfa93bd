#include "dialogs/select_port_dialog.h"

#include "app/troubleshooter_app.h"
#include "checks/network_checks.h"
#include "checks/port_checks.h"
#include "framework/raii.h"
#include "res/resource.h"

CSelectPortDlg::CSelectPortDlg() : CDialog(IDD_SELECT_PORT) {}

bool CSelectPortDlg::IsEligible(const std::wstring& port, const wchar_t* monitorName)
{
    if (Contains(port, L"\\\\"))
        return false;
    if (Contains(port, L"LPT"))
        return IsLptUsbName(port) || IsInParallelDeviceMap(CutAtLastColon(port));
    if (lstrcmpW(TheApp()->driverName, kSupportedDriver) != 0)
        return false;
    if (Contains(port, L"USBPRN"))
        return true;
    if (Contains(port, L"USB"))
        return NumberAfterPrefix(port) != 0;
    return IsCompliantMonitor(monitorName);
}

BOOL CSelectPortDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    PortEnumeration ports;
    for (DWORD i = 0; i < ports.count(); ++i) {
        if (ports[i].pPortName && IsEligible(ports[i].pPortName, ports[i].pMonitorName))
            SendDlgItemMessage(IDC_PORT_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ports[i].pPortName));
    }
    if (SendDlgItemMessage(IDC_PORT_LIST, CB_GETCOUNT) <= 0) {
        EnableDlgItem(IDOK, FALSE);
        return TRUE;
    }
    SendDlgItemMessage(IDC_PORT_LIST, CB_SETCURSEL, 0);
    SetFocus(GetDlgItem(IDOK));
    return FALSE;
}

void CSelectPortDlg::MovePrinterTo(const std::wstring& printer, const std::wstring& port)
{
    // Failures are not reported: the next run finds the port unchanged.
    PRINTER_DEFAULTSW access = { nullptr, nullptr, PRINTER_ALL_ACCESS };
    UniquePrinter handle;
    if (!OpenPrinterW(const_cast<wchar_t*>(printer.c_str()), handle.put(), &access))
        return;
    DWORD needed = 0;
    GetPrinterW(handle.get(), 2, nullptr, 0, &needed);
    if (needed == 0)
        return;
    LocalBlock info(needed + 4);
    if (!info || !GetPrinterW(handle.get(), 2, info.as<BYTE>(), needed + 4, &needed))
        return;
    // Every other field, the security descriptor and device mode included, goes back as read.
    std::wstring newPort = port;
    info.as<PRINTER_INFO_2W>()->pPortName = &newPort[0];
    SetPrinterW(handle.get(), 2, info.as<BYTE>(), 0);
}

void CSelectPortDlg::ClassifyChosenPort(const std::wstring& port)
{
    CTroubleshooterApp* app = TheApp();
    if (Contains(port, L"LPT") && IsLptUsbName(port)) {
        app->portNumber = 0;
        app->usbLptPort = 1;
    } else if (Contains(port, L"LPT")) {
        app->portNumber = LptDigit(port);
        app->networkConnection = NetworkPortInfo(port).FindPersistentConnection() ? 1 : 0;
        app->redirectedLptPort = app->networkConnection;
    } else if (Contains(port, L"USB")) {
        app->portNumber = 0;
        app->networkConnection = 0;
        app->usbPort = 1;
    } else {
        // Only ports of a compliant monitor are offered without "LPT" or "USB" in their name.
        // Such a port has no LPT number; an old one would still name the previous port.
        app->portNumber = 0;
        app->compliantPort = 1;
        app->networkConnection = 0;
    }
    app->otherPort = 0;
}

void CSelectPortDlg::OnOK()
{
    CTroubleshooterApp* app = TheApp();
    app->usbLptPort = 0;
    app->compliantPort = 0;
    app->networkConnection = 0;
    app->redirectedLptPort = 0;
    app->usbPort = 0;

    wchar_t chosen[kPathChars] = {};
    ::GetDlgItemTextW(hwnd(), IDC_PORT_LIST, chosen, kPathChars);
    MovePrinterTo(app->GetPrinterName(), chosen);

    app->SetPreviousPortName(app->GetPortName());
    app->SetPortName(chosen);
    ClassifyChosenPort(chosen);
    EndDialog(1);
}
