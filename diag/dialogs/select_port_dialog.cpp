#include "dialogs/select_port_dialog.h"

#include "dialogs/dialog_host.h"
#include "framework/strings.h"
#include "res/resource.h"

CSelectPortDlg::CSelectPortDlg() : CDialog(IDD_SELECT_PORT) {}

BOOL CSelectPortDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (DialogHost* host = TheDialogHost())
        for (const std::wstring& port : host->PortsToChoose())
            SendDlgItemMessage(IDC_PORT_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(port.c_str()));
    if (SendDlgItemMessage(IDC_PORT_LIST, CB_GETCOUNT) <= 0) {
        EnableDlgItem(IDOK, FALSE);
        return TRUE;
    }
    SendDlgItemMessage(IDC_PORT_LIST, CB_SETCURSEL, 0);
    SetFocus(GetDlgItem(IDOK));
    return FALSE;
}

void CSelectPortDlg::OnOK()
{
    wchar_t chosen[kPathChars] = {};
    ::GetDlgItemTextW(hwnd(), IDC_PORT_LIST, chosen, kPathChars);
    if (DialogHost* host = TheDialogHost())
        host->MovePrinter(chosen);
    EndDialog(1);
}
