#include "dialogs/start_dialog.h"

#include "dialogs/dialog_host.h"
#include "framework/autopilot.h"
#include "framework/strings.h"
#include "framework/winapp.h"
#include "res/resource.h"

#include <algorithm>

namespace {

HINSTANCE ResourceModule()
{
    return AfxGetApp() ? AfxGetApp()->instance() : GetModuleHandleW(nullptr);
}

// The system figures as the dialog shows them: free space of the system drive in MB and
// available memory in KB.
std::wstring DiskText(DialogHost* host)
{
    return FormatPrintf(L"%ld", static_cast<long>(host ? host->FreeDiskSpaceMB() : 0));
}

std::wstring MemoryText(DialogHost* host)
{
    return FormatPrintf(L"%ld", static_cast<long>(host ? host->AvailableMemory() >> 10 : 0));
}

// The start dialog without its window. The list is in the order the list box sorts it in
// (letter case ignored, in the user's locale), its first entry chosen; Yes can be pressed
// once there is a printer.
class StartContent : public DialogContent {
public:
    explicit StartContent(CStartDlg& dialog)
        : dialog_(dialog), disk_(DiskText(TheDialogHost())), memory_(MemoryText(TheDialogHost()))
    {
        if (DialogHost* host = TheDialogHost())
            printers_ = host->SupportedPrinters();
        std::stable_sort(printers_.begin(), printers_.end(), [](const std::wstring& a, const std::wstring& b) {
            return lstrcmpiW(a.c_str(), b.c_str()) < 0;
        });
        chosen_ = printers_.empty() ? -1 : 0;
    }

    DialogSnapshot Snapshot() const override
    {
        DialogSnapshot snapshot;
        snapshot.templateId = IDD_START;
        snapshot.controls = { ContentControl(IDC_DISK_SPACE, L"Static", disk_),
                              ContentControl(IDC_MEMORY, L"Static", memory_),
                              ContentControl(IDC_PRINTER_LIST, L"ListBox"),
                              ContentControl(IDC_START_YES, L"Button", L"", chosen_ >= 0),
                              ContentControl(IDC_START_NO, L"Button") };
        snapshot.controls[2].items = printers_;
        snapshot.controls[2].selection = chosen_;
        return snapshot;
    }

    bool Perform(const AutopilotAction& action) override
    {
        if (action.kind == AutopilotAction::Select && action.control == IDC_PRINTER_LIST) {
            auto found = std::find_if(printers_.begin(), printers_.end(), [&](const std::wstring& name) {
                return lstrcmpiW(name.c_str(), action.item.c_str()) == 0;
            });
            if (found == printers_.end())
                return false;
            chosen_ = static_cast<int>(found - printers_.begin());
            dialog_.ClassifyPrinter(*found);
            return true;
        }
        if (action.kind != AutopilotAction::Press)
            return false;
        switch (action.control) {
        case IDC_START_YES:
            if (chosen_ < 0)
                return false;
            dialog_.Confirm(printers_[chosen_], disk_, memory_);
            End(IDC_START_YES);
            return true;
        case IDC_START_NO:
        case IDOK:  // Enter where no button has the focus
        case IDCANCEL:
            End(action.control);
            return true;
        }
        return false;
    }

private:
    CStartDlg& dialog_;
    const std::wstring disk_;
    const std::wstring memory_;
    std::vector<std::wstring> printers_;
    int chosen_ = -1;
};

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

    SetDlgItemText(IDC_DISK_SPACE, DiskText(TheDialogHost()));
    SetDlgItemText(IDC_MEMORY, MemoryText(TheDialogHost()));

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

std::unique_ptr<DialogContent> CStartDlg::Content()
{
    return std::make_unique<StartContent>(*this);
}

void CStartDlg::ClassifyPrinter(const std::wstring& name)
{
    if (DialogHost* host = TheDialogHost()) {
        portNumber = host->ClassifyPrinter(name);
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

void CStartDlg::Confirm(const std::wstring& printer, const std::wstring& diskText, const std::wstring& memoryText)
{
    ClassifyPrinter(printer);
    WriteLogHeader(diskText, memoryText);
    if (DialogHost* host = TheDialogHost())
        host->ChoosePrinter(printer);
}

BOOL CStartDlg::OnCommand(UINT id, UINT notifyCode, HWND)
{
    switch (id) {
    case IDC_START_YES:
        Confirm(SelectedPrinter(), FigureText(IDC_DISK_SPACE), FigureText(IDC_MEMORY));
        EndDialog(IDC_START_YES);
        return TRUE;
    case IDC_START_NO:
        EndDialog(IDC_START_NO);
        return TRUE;
    case IDC_PRINTER_LIST:
        if (notifyCode == LBN_SELCHANGE)
            ClassifyPrinter(SelectedPrinter());
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
