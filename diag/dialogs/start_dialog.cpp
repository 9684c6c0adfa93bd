#include "dialogs/start_dialog.h"

#include "dialogs/dialog_host.h"
#include "framework/strings.h"
#include "framework/winapp.h"
#include "res/resource.h"

namespace {

HINSTANCE ResourceModule()
{
    return AfxGetApp() ? AfxGetApp()->instance() : GetModuleHandleW(nullptr);
}

}  // namespace

CStartDlg::CStartDlg()
    : CDialog(IDD_START), icon_(LoadIconW(ResourceModule(), MAKEINTRESOURCEW(IDR_MAINFRAME)))
{
}

BOOL CStartDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));

    DialogHost* host = TheDialogHost();
    SetDlgItemText(IDC_DISK_SPACE, FormatPrintf(L"%ld", static_cast<long>(host ? host->FreeDiskSpaceMB() : 0)));
    SetDlgItemText(IDC_MEMORY, FormatPrintf(L"%ld", static_cast<long>(host ? host->AvailableMemory() >> 10 : 0)));

    EnableDlgItem(IDC_START_YES, FALSE);
    FillPrinterList();
    return TRUE;
}

void CStartDlg::FillPrinterList()
{
    SendDlgItemMessage(IDC_PRINTER_LIST, LB_RESETCONTENT);
    if (DialogHost* host = TheDialogHost())
        for (const std::wstring& name : host->SupportedPrinters())
            SendDlgItemMessage(IDC_PRINTER_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    if (SendDlgItemMessage(IDC_PRINTER_LIST, LB_GETCOUNT) > 0) {
        EnableDlgItem(IDC_START_YES, TRUE);
        SendDlgItemMessage(IDC_PRINTER_LIST, LB_SETCURSEL, 0);
    }
}

std::wstring CStartDlg::SelectedPrinter() const
{
    LRESULT index = SendDlgItemMessage(IDC_PRINTER_LIST, LB_GETCURSEL);
    if (index == LB_ERR)
        return std::wstring();
    LRESULT length = SendDlgItemMessage(IDC_PRINTER_LIST, LB_GETTEXTLEN, index);
    if (length == LB_ERR)
        return std::wstring();
    std::wstring text(length + 1, L'\0');
    SendDlgItemMessage(IDC_PRINTER_LIST, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(length);
    return text;
}

void CStartDlg::ClassifySelectedPrinter()
{
    if (DialogHost* host = TheDialogHost()) {
        portNumber = host->ClassifyPrinter(SelectedPrinter());
        redirectedLptPort = host->Names().redirectedLptPort;
    }
}

void CStartDlg::ClassifyPrinter(const PRINTER_INFO_2W* printer)
{
    if (DialogHost* host = TheDialogHost()) {
        portNumber = host->ClassifyPrinter(printer);
        redirectedLptPort = host->Names().redirectedLptPort;
    }
}

void CStartDlg::WriteLogHeader(const std::wstring& diskText, const std::wstring& memoryText)
{
    if (DialogHost* host = TheDialogHost())
        host->StartLog(diskText, memoryText, redirectedLptPort != 0);
}

std::wstring CStartDlg::FigureText(int id) const
{
    wchar_t text[32] = {};
    ::GetDlgItemTextW(hwnd(), id, text, 32);
    return text;
}

void CStartDlg::OnYes()
{
    ClassifySelectedPrinter();
    WriteLogHeader(FigureText(IDC_DISK_SPACE), FigureText(IDC_MEMORY));
    if (DialogHost* host = TheDialogHost())
        host->ChoosePrinter(SelectedPrinter());
    EndDialog(IDC_START_YES);
}

BOOL CStartDlg::OnCommand(UINT id, UINT notifyCode, HWND)
{
    switch (id) {
    case IDC_START_YES:
        OnYes();
        return TRUE;
    case IDC_START_NO:
        EndDialog(IDC_START_NO);
        return TRUE;
    case IDC_PRINTER_LIST:
        if (notifyCode == LBN_SELCHANGE)
            ClassifySelectedPrinter();
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CStartDlg::OnPaint()
{
    // Minimised, the dialog shows its icon centred in the client area.
    if (!IsIconic(hwnd()))
        return FALSE;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd(), &paint);
    SendMessageW(hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(hwnd(), &client);
    int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon_);
    EndPaint(hwnd(), &paint);
    return TRUE;
}
