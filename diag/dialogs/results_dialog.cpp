// The results dialog: summary, log text, proposed file name, and saving or discarding the
// temporary log on every way out.
#include "dialogs/results_dialog.h"

#include "dialogs/dialog_host.h"
#include "dialogs/problem_dialogs.h"
#include "framework/autopilot.h"
#include "framework/files.h"
#include "framework/raii.h"
#include "framework/strings.h"
#include "framework/winapp.h"
#include "res/resource.h"

#include <algorithm>

#include <commdlg.h>

#include <vector>

namespace {

constexpr int kSaveNameSize = 520;  // file and title buffers of the save dialog

bool Contains(const std::wstring& text, const wchar_t* part)
{
    return text.find(part) != std::wstring::npos;
}

// The port as the summary names it: the port in use before a change of port, else the
// current one, marked local or with its network path.
std::wstring PortDescription(const RunNames& facts)
{
    std::wstring port = facts.previousPortName.empty() ? facts.portName : facts.previousPortName;
    if (Contains(port, L"LPT")) {
        if (Contains(port, L"LPT-USB") || Contains(port, L"LPT_USB") || facts.networkPath.empty())
            return port + LoadStr(IDS_LOCAL);
        return port + L"[" + facts.networkPath + L"]";
    }
    if (Contains(port, L"USB") || !Contains(port, L"\\\\"))
        return port + LoadStr(IDS_LOCAL);
    return port;
}

bool Exists(const std::wstring& name)
{
    WIN32_FIND_DATAW found;
    return bool(UniqueFind(FindFirstFileW(name.c_str(), &found)));
}

// Folder of the proposed file, ending in a backslash: the temporary folder when it exists,
// otherwise the Windows directory.
std::wstring ResultsFolder()
{
    wchar_t temp[kPathChars] = {};
    GetTempPathW(kPathChars, temp);
    std::wstring folder = temp;
    size_t cut = folder.rfind(L'\\');
    if (cut != std::wstring::npos && Exists(folder.substr(0, cut)))
        return temp;
    wchar_t windows[kPathChars] = {};
    GetWindowsDirectoryW(windows, kPathChars);
    return std::wstring(windows) + L"\\";
}

// Three lines of the log box's font, in dialog units.
constexpr int kLeastLogHeight = 3 * 8 + 4;
// WM_DPICHANGED, sent from Windows 8.1 on; the headers give it only to programs that need
// Windows 7, and this one runs on Vista.
constexpr UINT kDpiChangedMessage = 0x02E0;
// Posted to itself: fit the dialog to its monitor once a change of scale has been applied.
constexpr UINT kRefitMessage = WM_APP + 1;

// The results dialog without its window: the summary, the proposed file name, and the choice to
// save, checked, which the name and its button follow. Choosing another name through the save
// dialog needs a window and cannot be done here.
class ResultsContent : public DialogContent {
public:
    explicit ResultsContent(CResultsDlg& dialog)
        : dialog_(dialog), summary_(CResultsDlg::SummarySentence()), fileName_(CResultsDlg::ProposedFileName())
    {
    }

    DialogSnapshot Snapshot() const override
    {
        DialogSnapshot snapshot;
        snapshot.templateId = IDD_RESULTS;
        snapshot.controls = { ContentControl(IDC_RESULTS_SUMMARY, L"Static", summary_),
                              ContentControl(IDC_RESULTS_FILE_NAME, L"Edit", fileName_, save_),
                              ContentControl(IDC_RESULTS_CHANGE_NAME, L"Button", L"", save_),
                              ContentControl(IDC_RESULTS_SAVE, L"Button"), ContentControl(IDOK, L"Button") };
        snapshot.controls[3].check = save_ ? BST_CHECKED : BST_UNCHECKED;
        return snapshot;
    }

    bool Perform(const AutopilotAction& action) override
    {
        if (action.kind == AutopilotAction::SetText && action.control == IDC_RESULTS_FILE_NAME && save_) {
            fileName_ = action.item;
            return true;
        }
        if (action.kind != AutopilotAction::Press)
            return false;
        switch (action.control) {
        case IDC_RESULTS_SAVE:
            save_ = !save_;
            return true;
        case IDOK:
            if (dialog_.KeepLog(fileName_, save_))
                End(IDOK);
            return true;
        case IDCANCEL:
            dialog_.DeleteLog();
            End(IDCANCEL);
            return true;
        }
        return false;
    }

private:
    CResultsDlg& dialog_;
    const std::wstring summary_;
    std::wstring fileName_;
    bool save_ = true;
};

}  // namespace

CResultsDlg::CResultsDlg()
    : CDialog(IDD_RESULTS),
      icon_(LoadIconW(AfxGetApp() ? AfxGetApp()->instance() : GetModuleHandleW(nullptr),
                      MAKEINTRESOURCEW(IDR_MAINFRAME)))
{
}

std::wstring CResultsDlg::SummarySentence()
{
    DialogHost& host = *TheDialogHost();
    const RunNames facts = host.Names();
    const unsigned flags = host.RunFlags();
    std::wstring port = PortDescription(facts);
    auto fill = [&](UINT id) { return FormatInserts(LoadStr(id), facts.driverName.c_str(), port.c_str()); };
    if (flags & RUN_SETTING_WRONG) {
        std::wstring sentence = fill(IDS_SUMMARY_WRONG);
        if (flags & RUN_REINSTALL)
            sentence += FormatPrintf(LoadStr(IDS_REINSTALL).c_str(), facts.driverName.c_str());
        return sentence;
    }
    if (flags & RUN_NETWORK_FAULT)
        return fill(IDS_SUMMARY_NETWORK_WRONG);
    if (flags & RUN_COMPLETED)
        return fill(IDS_SUMMARY_CORRECT);
    return fill(IDS_SUMMARY_ABORTED);
}

std::wstring CResultsDlg::ProposedFileName()
{
    std::wstring folder = ResultsFolder();
    wchar_t stamp[32] = {};
    GetDateFormatW(LOCALE_USER_DEFAULT, 0, nullptr, L"yyMMdd", stamp, 32);
    std::wstring name;
    for (int i = 0; i <= 99; ++i) {
        name = FormatPrintf(i <= 9 ? L"%s%s0%1d.LOG" : L"%s%s%2d.LOG", folder.c_str(), stamp, i);
        if (!Exists(name))
            break;
    }
    return name;
}

BOOL CResultsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    logBox_ = GetDlgItem(IDC_RESULTS_LOG);
    saveBox_ = GetDlgItem(IDC_RESULTS_SAVE);
    SetDlgItemText(IDC_RESULTS_SUMMARY, SummarySentence());
    ShowLog();
    SetDlgItemText(IDC_RESULTS_FILE_NAME, ProposedFileName());
    SendMessageW(saveBox_, BM_SETCHECK, BST_CHECKED, 0);
    FitIntoMonitor();
    return TRUE;
}

void CResultsDlg::FitIntoMonitor()
{
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoW(MonitorFromWindow(hwnd(), MONITOR_DEFAULTTONEAREST), &monitor))
        FitIntoWorkArea(monitor.rcWork);
}

void CResultsDlg::FitIntoWorkArea(const RECT& workArea)
{
    RECT window, log;
    GetWindowRect(hwnd(), &window);
    GetWindowRect(logBox_, &log);
    // The log box keeps at least this much of its height, in dialog units: three lines.
    RECT least = { 0, 0, 0, kLeastLogHeight };
    MapDialogRect(hwnd(), &least);
    const int excess = (window.bottom - window.top) - (workArea.bottom - workArea.top);
    const int taken = std::min(excess, int(log.bottom - log.top) - int(least.bottom));
    if (taken > 0) {
        SetWindowPos(logBox_, nullptr, 0, 0, log.right - log.left, log.bottom - log.top - taken,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        for (HWND child = GetWindow(hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            RECT rect;
            GetWindowRect(child, &rect);
            if (rect.top < log.bottom)
                continue;
            POINT at = { rect.left, rect.top - taken };
            ScreenToClient(hwnd(), &at);
            SetWindowPos(child, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        window.bottom -= taken;
    }
    // Then the whole of it onto the work area, as far as it fits.
    const int width = window.right - window.left, height = window.bottom - window.top;
    const int left = std::max(int(workArea.left), std::min(int(window.left), int(workArea.right) - width));
    const int top = std::max(int(workArea.top), std::min(int(window.top), int(workArea.bottom) - height));
    SetWindowPos(hwnd(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CResultsDlg::OnMessage(UINT message, WPARAM, LPARAM, bool& handled)
{
    // Moved to a monitor of another scale, the dialog is made anew at that scale by the dialog
    // manager; once it has been, it is fitted to that monitor.
    if (message == kDpiChangedMessage)
        PostMessageW(hwnd(), kRefitMessage, 0, 0);
    else if (message == kRefitMessage)
        FitIntoMonitor();
    handled = false;
    return FALSE;
}

void CResultsDlg::ShowLog()
{
    UniqueFile file(CreateFileW(TheDialogHost()->LogFilePath(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string bytes;
    if (!file || !ReadWholeFile(file.get(), bytes))
        return;
    int length = MultiByteToWideChar(GetACP(), 0, bytes.c_str(), -1, nullptr, 0);
    if (length <= 0)
        return;
    std::vector<wchar_t> text(length);
    MultiByteToWideChar(GetACP(), 0, bytes.c_str(), -1, text.data(), length);
    SetWindowTextW(logBox_, text.data());
}

void CResultsDlg::ChangeFileName()
{
    wchar_t file[kSaveNameSize] = {};
    wchar_t title[kSaveNameSize] = {};
    wchar_t windows[kPathChars] = {};
    lstrcpynW(file, GetDlgItemText(IDC_RESULTS_FILE_NAME).c_str(), kSaveNameSize);
    GetWindowsDirectoryW(windows, kPathChars);
    OPENFILENAMEW choice = {};
    choice.lStructSize = sizeof(choice);
    choice.hwndOwner = hwnd();
    choice.lpstrFilter = L"*.*\0*.*\0";
    choice.lpstrFile = file;
    choice.nMaxFile = kSaveNameSize;
    choice.lpstrFileTitle = title;
    choice.nMaxFileTitle = kSaveNameSize;
    choice.lpstrInitialDir = windows;
    choice.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    if (GetSaveFileNameW(&choice))
        SetDlgItemText(IDC_RESULTS_FILE_NAME, file);
}

bool CResultsDlg::MoveLogToSavedPath() const
{
    DialogHost& host = *TheDialogHost();
    const wchar_t* savedPath = host.SavedResultPath();
    const wchar_t* logPath = host.LogFilePath();
    // A name that reaches the temporary log itself, however it is spelt, keeps it there.
    if (SameFile(savedPath, logPath))
        return true;
    // Copied, and removed only once the copy is whole: a write that fails (a full drive) leaves
    // the findings where they were and no file under the chosen name. Held open without write
    // or delete sharing meanwhile, the log cannot be the file the copy replaces.
    UniqueFile log(CreateFileW(logPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                               nullptr));
    std::string bytes;
    if (!log || !ReadWholeFile(log.get(), bytes) || !WriteWholeFile(savedPath, bytes))
        return false;
    log.reset();
    DeleteFileW(logPath);
    return true;
}

void CResultsDlg::DeleteLog() const
{
    DeleteFileW(TheDialogHost()->LogFilePath());
}

bool CResultsDlg::KeepLog(const std::wstring& fileName, bool save)
{
    lstrcpynW(TheDialogHost()->SavedResultPath(), fileName.c_str(), kPathChars);
    if (!save) {
        DeleteLog();
        return true;
    }
    while (!(saved_ = MoveLogToSavedPath())) {
        CWriteFailedDlg failed;
        INT_PTR answer = failed.DoModal();
        if (answer == 0)
            continue;
        if (answer == IDCANCEL) {
            DeleteLog();
            break;
        }
        // Back (or a failure dialog that could not be shown): the log stays, the dialog too.
        return false;
    }
    return true;
}

std::unique_ptr<DialogContent> CResultsDlg::Content()
{
    return std::make_unique<ResultsContent>(*this);
}

void CResultsDlg::OnOK()
{
    if (KeepLog(GetDlgItemText(IDC_RESULTS_FILE_NAME), SendMessageW(saveBox_, BM_GETCHECK, 0, 0) != BST_UNCHECKED))
        EndDialog(IDOK);
}

void CResultsDlg::OnCancel()
{
    DeleteLog();
    EndDialog(IDCANCEL);
}

BOOL CResultsDlg::OnCommand(UINT id, UINT notifyCode, HWND)
{
    if (id == IDC_RESULTS_SAVE && notifyCode == BN_CLICKED) {
        LRESULT state = SendMessageW(saveBox_, BM_GETCHECK, 0, 0);
        if (state == BST_CHECKED || state == BST_UNCHECKED) {
            EnableDlgItem(IDC_RESULTS_CHANGE_NAME, state == BST_CHECKED);
            EnableDlgItem(IDC_RESULTS_FILE_NAME, state == BST_CHECKED);
        }
        return TRUE;
    }
    if (id == IDC_RESULTS_CHANGE_NAME && notifyCode == BN_CLICKED) {
        ChangeFileName();
        return TRUE;
    }
    if (id == IDC_RESULTS_LOG && notifyCode == EN_SETFOCUS) {
        // The dialog manager selects the whole text on focus; show the start instead.
        SendMessageW(logBox_, EM_SETSEL, 0, 0);
        SendMessageW(logBox_, EM_SCROLLCARET, 0, 0);
        return TRUE;
    }
    return FALSE;
}

BOOL CResultsDlg::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    if (IsIconic(hwnd())) {
        SendMessageW(hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        RECT client;
        GetClientRect(hwnd(), &client);
        int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
        int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
        DrawIcon(dc, x, y, icon_);
    }
    DrawIcon(dc, 5, 10, LoadIconW(nullptr, IDI_ASTERISK));
    EndPaint(hwnd(), &ps);
    return TRUE;
}
