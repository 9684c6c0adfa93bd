#include "dialogs/start_dialog.h"

#include "app/system_utility.h"
#include "app/troubleshooter_app.h"
#include "checks/machine_layout.h"
#include "checks/network_checks.h"
#include "checks/port_checks.h"
#include "framework/raii.h"
#include "framework/strings.h"
#include "res/resource.h"

namespace {

// The local printers and the printer connections (EnumPrintersW, level 2) in one
// zero-filled block.
class PrinterEnumeration {
public:
    PrinterEnumeration() : size_(SizeNeeded()), block_(size_)
    {
        DWORD needed = 0;
        if (!block_ || !EnumPrintersW(kFlags, nullptr, 2, block_.as<BYTE>(), size_, &needed, &count_))
            count_ = 0;
    }
    DWORD count() const { return count_; }
    const PRINTER_INFO_2W& operator[](DWORD i) const { return block_.as<PRINTER_INFO_2W>()[i]; }

private:
    static constexpr DWORD kFlags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    static DWORD SizeNeeded()
    {
        DWORD needed = 0;
        DWORD returned = 0;
        EnumPrintersW(kFlags, nullptr, 2, nullptr, 0, &needed, &returned);
        return needed;
    }
    DWORD size_;
    LocalBlock block_;
    DWORD count_ = 0;
};

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

    CSystemUtility system;
    SetDlgItemText(IDC_DISK_SPACE, FormatPrintf(L"%ld", static_cast<long>(system.GetFreeDiskSpaceMB())));
    SetDlgItemText(IDC_MEMORY, FormatPrintf(L"%ld", static_cast<long>(system.GetAvailableMemory() >> 10)));

    EnableDlgItem(IDC_START_YES, FALSE);
    FillPrinterList();
    return TRUE;
}

void CStartDlg::FillPrinterList()
{
    SendDlgItemMessage(IDC_PRINTER_LIST, LB_RESETCONTENT);
    PrinterEnumeration printers;
    for (DWORD i = 0; i < printers.count(); ++i) {
        const PRINTER_INFO_2W& printer = printers[i];
        // The driver name must match exactly, letter case included.
        if (printer.pDriverName && printer.pPrinterName && lstrcmpW(printer.pDriverName, kSupportedDriver) == 0)
            SendDlgItemMessage(IDC_PRINTER_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(printer.pPrinterName));
    }
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
    std::wstring selected = SelectedPrinter();
    PrinterEnumeration printers;
    for (DWORD i = 0; i < printers.count(); ++i) {
        if (printers[i].pPrinterName && selected == printers[i].pPrinterName) {
            ClassifyPrinter(&printers[i]);
            return;
        }
    }
    ClassifyPrinter(nullptr);
}

void CStartDlg::ClassifyPrinter(const PRINTER_INFO_2W* printer)
{
    CTroubleshooterApp* app = TheApp();
    app->usbLptPort = 0;
    app->compliantPort = 0;
    app->otherPort = 0;
    app->networkConnection = 0;
    app->redirectedLptPort = 0;
    app->usbPort = 0;
    app->remotePrinter = 0;

    std::wstring port;
    if (printer) {
        port = printer->pPortName ? printer->pPortName : L"";
        lstrcpynW(app->driverName, printer->pDriverName ? printer->pDriverName : L"", kPathChars);
        // A printer connection prints to the server's share.
        if (printer->pServerName && *printer->pServerName) {
            app->remotePrinter = 1;
            std::wstring server = printer->pServerName;
            app->serverName = server.size() > 2 ? server.substr(2) : std::wstring();
            port = std::wstring(printer->pServerName) + L"\\" + (printer->pShareName ? printer->pShareName : L"");
        }
        app->SetPortName(port);
    }

    bool local = port.empty() || port[0] != L'\\';
    if (local && Contains(port, L"LPT")) {
        app->usbLptPort = IsLptUsbName(port) ? 1 : 0;
        portNumber = LptDigit(port);
        // The device name ends after the character that follows "LPT": LPT1: is asked for as LPT1.
        NetworkPortInfo device(port.substr(0, port.find(L"LPT") + 4));
        if (device.StandsForNetworkPath()) {
            lstrcpynW(app->networkPath, device.networkName().c_str(), kPathChars);
            app->networkConnection = 1;
            app->redirectedLptPort = 1;
        }
    } else if (local && Contains(port, L"USB")) {
        app->usbPort = 1;
        portNumber = 0;
    } else {
        portNumber = 0;
        if (Contains(port, L"\\")) {
            app->networkConnection = 1;
            lstrcpynW(app->networkPath, port.c_str(), kPathChars);
        } else {
            app->otherPort = 1;
            PortEnumeration ports;
            for (DWORD i = 0; i < ports.count(); ++i) {
                if (ports[i].pPortName && port == ports[i].pPortName && IsCompliantMonitor(ports[i].pMonitorName)) {
                    app->compliantPort = 1;
                    app->otherPort = 0;
                }
            }
        }
    }
    redirectedLptPort = app->redirectedLptPort;
}

void CStartDlg::WriteLogHeader(const std::wstring& diskText, const std::wstring& memoryText)
{
    CTroubleshooterApp* app = TheApp();
    const wchar_t* path = app->GetLogFilePath();
    {
        // A fresh, empty log, closed at once; when it cannot be created the appends create it.
        UniqueFile fresh(CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    }

    std::wstring portText = app->portName;
    if (!app->networkConnection)
        portText += LoadStr(IDS_LOCAL);
    else if (redirectedLptPort)
        portText += L"[" + std::wstring(app->networkPath) + L"]";

    SYSTEMTIME now;
    GetLocalTime(&now);
    now.wMilliseconds = 0;
    wchar_t date[64] = {};
    wchar_t time[64] = {};
    GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date, 64);
    GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &now, nullptr, time, 64);

    CSystemUtility log;
    std::wstring header = FormatInserts(LoadStr(IDS_LOG_HEADER), app->driverName, portText.c_str(), date, time);
    log.AppendLogLine(path, (header + L"\r\n").c_str());
    log.AppendLogLine(path, FormatPrintf(L"%s: %s%s\r\n", LoadStr(IDS_FREE_DISK).c_str(), diskText.c_str(),
                                         LoadStr(IDS_MB).c_str())
                                .c_str());
    log.AppendLogLine(path, FormatPrintf(L"%s: %s%s\r\n", LoadStr(IDS_FREE_MEMORY).c_str(), memoryText.c_str(),
                                         LoadStr(IDS_KB).c_str())
                                .c_str());
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
    TheApp()->SetPrinterName(SelectedPrinter());

    // Help comes from the driver package's help file in the printer-driver directory.
    std::wstring help = lstrcmpW(TheApp()->driverName, kSupportedDriver) == 0 ? SpoolerDriverFolder() : L"";
    AfxGetApp()->SetHelpFilePath(help + L"\\3\\" + L"XERB5.HLP");

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
