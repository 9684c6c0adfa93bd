// Fault reports and the dialogs of the same shape, described by two tables: what each
// dialog draws and answers, and which texts it fills in when it opens.
#include "dialogs/problem_dialogs.h"

#include "dialogs/dialog_host.h"
#include "framework/accessibility.h"
#include "framework/winapp.h"
#include "framework/strings.h"

namespace {

struct ButtonResult {
    int id;
    INT_PTR result;
};

// Where a filled-in text comes from.
enum class Source { Member1, Member2, Member3, Member4, Member5, DriverName, ServerName, NetworkPath, SavedResultPath };

struct FillIn {
    UINT templateId;
    int control;
    UINT format;  // string-table entry with one %s, or 0 for the text as it stands
    Source source;
};

const FillIn kFillIns[] = {
    { IDD_WRITE_FAILED, IDC_WRITE_FAILED_TEXT, IDS_CANNOT_WRITE, Source::SavedResultPath },
    { IDD_FILE_MISSING, IDC_MISSING_TEXT, IDS_FILE_MISSING, Source::Member1 },
    { IDD_FILE_MISSING, IDC_MISSING_REINSTALL, IDS_REINSTALL, Source::DriverName },
    { IDD_PORT_SETTINGS, IDC_PORT_TEXT, IDS_PORT_WRONG, Source::DriverName },
    { IDD_DRIVER_SETTINGS, IDC_DRIVER_TEXT, IDS_DRIVER_WRONG, Source::DriverName },
    { IDD_FOLDER_ITEM, IDC_ITEM_TEXT, IDS_ITEM_MISSING, Source::Member1 },
    { IDD_FILE_VERSION, IDC_VERSION_TEXT, 0, Source::Member1 },
    { IDD_FILE_VERSION, IDC_VERSION_CURRENT_LABEL, 0, Source::Member2 },
    { IDD_FILE_VERSION, IDC_VERSION_CURRENT_VALUE, 0, Source::Member3 },
    { IDD_FILE_VERSION, IDC_VERSION_EXPECTED_LABEL, 0, Source::Member4 },
    { IDD_FILE_VERSION, IDC_VERSION_EXPECTED_VALUE, 0, Source::Member5 },
    { IDD_FILE_VERSION, IDC_VERSION_REINSTALL, IDS_REINSTALL, Source::DriverName },
    { IDD_ONDRIX_DRIVER, IDC_ONDRIX_TEXT, 0, Source::Member1 },
    { IDD_SERVER_ERROR, IDC_SERVER_TEXT, IDS_SERVER_UNREACHABLE, Source::ServerName },
    { IDD_NET_PRINTER_ERROR, IDC_NETPRN_TEXT, IDS_NET_PRINTER_UNREACHABLE, Source::NetworkPath },
    { IDD_REGISTRY_REINSTALL, IDC_REGREINST_REINSTALL, IDS_REINSTALL, Source::DriverName },
};

constexpr ButtonResult Own(int id) { return { id, id }; }

}  // namespace

struct ProblemDialog::Shape {
    UINT templateId;
    LPCWSTR icon;                // stock icon, or null for none
    POINT iconAt;                // client pixels
    ButtonResult buttons[3];     // the buttons that end the dialog; IDOK ends it with 1 anyway
    int helpButton;              // 0 when the dialog has none
    DWORD helpTopic;             // topic of the help button and F1; 0 for none
    INT_PTR escapeResult;        // what Esc ends the dialog with; -1: Esc does nothing
};

namespace {

constexpr POINT kIconAt = { 20, 23 };
constexpr POINT kIconHigh = { 20, 13 };
constexpr POINT kIconLow = { 20, 33 };

const ProblemDialog::Shape kShapes[] = {
    { IDD_SPOOLER_STOPPED, IDI_HAND, kIconLow, {}, 0, 0, -1 },
    { IDD_WRITE_FAILED, IDI_EXCLAMATION, kIconHigh, { { IDC_WRITE_RETRY, 0 }, { IDC_WRITE_BACK, 1 } }, 0, 0, IDCANCEL },
    { IDD_FINISH, nullptr, {}, { Own(IDC_FINISH_RESTART), Own(IDC_FINISH_RETURN) }, 0, 0, -1 },
    { IDD_FILE_MISSING, IDI_EXCLAMATION, kIconAt, { Own(IDC_MISSING_CONTINUE), Own(IDC_MISSING_EXIT) },
      IDC_MISSING_HELP, HELP_TOPIC_FILE_MISSING, -1 },
    { IDD_PORT_SETTINGS, IDI_EXCLAMATION, kIconAt, { Own(IDC_PORT_YES), Own(IDC_PORT_NO), Own(IDC_PORT_EXIT) },
      IDC_PORT_HELP, HELP_TOPIC_PORT, -1 },
    { IDD_LANG_MONITOR, IDI_EXCLAMATION, kIconAt, { Own(IDC_LANGMON_YES), Own(IDC_LANGMON_NO), Own(IDC_LANGMON_EXIT) },
      0, 0, -1 },
    { IDD_DRIVER_SETTINGS, IDI_EXCLAMATION, kIconAt, { Own(IDC_DRIVER_YES), Own(IDC_DRIVER_NO), Own(IDC_DRIVER_EXIT) },
      0, 0, -1 },
    { IDD_STATUS_WINDOW, IDI_EXCLAMATION, kIconAt,
      { Own(IDC_STATUSWND_YES), Own(IDC_STATUSWND_NO), Own(IDC_STATUSWND_EXIT) }, 0, 0, -1 },
    { IDD_BIDI, IDI_EXCLAMATION, kIconAt, { Own(IDC_BIDI_YES), Own(IDC_BIDI_NO), Own(IDC_BIDI_EXIT) }, 0, 0, -1 },
    { IDD_PROGRAM_FOLDER, IDI_EXCLAMATION, kIconAt, { Own(IDC_FOLDER_YES), Own(IDC_FOLDER_NO), Own(IDC_FOLDER_EXIT) },
      0, 0, -1 },
    { IDD_FOLDER_ITEM, IDI_EXCLAMATION, kIconAt, { Own(IDC_ITEM_YES), Own(IDC_ITEM_NO), Own(IDC_ITEM_EXIT) }, 0, 0, -1 },
    // The file-version dialog's topic follows from its label (CFileVersionDlg::HelpTopic).
    { IDD_FILE_VERSION, IDI_EXCLAMATION, kIconAt, { Own(IDC_VERSION_CONTINUE), Own(IDC_VERSION_EXIT) },
      IDC_VERSION_HELP, 0, -1 },
    { IDD_ONDRIX_DRIVER, IDI_EXCLAMATION, kIconHigh, { Own(IDC_ONDRIX_YES), Own(IDC_ONDRIX_NO), Own(IDC_ONDRIX_EXIT) },
      0, 0, -1 },
    { IDD_NO_PERMISSION, IDI_EXCLAMATION, kIconAt, { Own(IDC_NOPERM_CONTINUE), Own(IDC_NOPERM_EXIT) },
      IDC_NOPERM_HELP, HELP_TOPIC_NO_PERMISSION, -1 },
    { IDD_SERVER_ERROR, IDI_EXCLAMATION, kIconAt, { Own(IDC_SERVER_CONTINUE), Own(IDC_SERVER_EXIT) },
      IDC_SERVER_HELP, HELP_TOPIC_SERVER, -1 },
    { IDD_NET_PRINTER_ERROR, IDI_EXCLAMATION, kIconAt, { Own(IDC_NETPRN_CONTINUE), Own(IDC_NETPRN_EXIT) },
      IDC_NETPRN_HELP, HELP_TOPIC_NET_PRINTER, -1 },
    { IDD_REGISTRY_FIX, IDI_EXCLAMATION, kIconAt, { Own(IDC_REGFIX_YES), Own(IDC_REGFIX_NO), Own(IDC_REGFIX_EXIT) },
      0, 0, -1 },
    { IDD_REGISTRY_REINSTALL, IDI_EXCLAMATION, kIconAt, { Own(IDC_REGREINST_CONTINUE), Own(IDC_REGREINST_EXIT) },
      IDC_REGREINST_HELP, HELP_TOPIC_REINSTALL, -1 },
    { IDD_HOLD_MISMATCHED, IDI_EXCLAMATION, kIconAt, { Own(IDC_HOLD_YES), Own(IDC_HOLD_NO), Own(IDC_HOLD_EXIT) },
      0, 0, -1 },
};

const ProblemDialog::Shape& ShapeOf(UINT templateId)
{
    for (const ProblemDialog::Shape& shape : kShapes)
        if (shape.templateId == templateId)
            return shape;
    // Every class names a template of the table; an unknown one gets a dialog that only
    // IDOK ends.
    static const ProblemDialog::Shape none = { 0, nullptr, {}, {}, 0, 0, -1 };
    return none;
}

std::wstring SourceText(Source source, const ProblemDialog& dialog)
{
    DialogHost* host = TheDialogHost();
    switch (source) {
    case Source::Member1: return dialog.member(1);
    case Source::Member2: return dialog.member(2);
    case Source::Member3: return dialog.member(3);
    case Source::Member4: return dialog.member(4);
    case Source::Member5: return dialog.member(5);
    case Source::DriverName: return host ? host->Names().driverName : L"";
    case Source::ServerName: return host ? host->Names().serverName : L"";
    case Source::NetworkPath: return host ? host->Names().networkPath : L"";
    case Source::SavedResultPath: return host ? host->SavedResultPath() : L"";
    }
    return std::wstring();
}

}  // namespace

ProblemDialog::ProblemDialog(UINT templateId) : CDialog(templateId), shape_(ShapeOf(templateId)) {}

void ProblemDialog::SetMember(int index, const std::wstring& text)
{
    if (index >= 1 && index <= 5)
        lstrcpynW(members_[index - 1], text.c_str(), kPathChars);
}

const wchar_t* ProblemDialog::member(int index) const
{
    return index >= 1 && index <= 5 ? members_[index - 1] : L"";
}

BOOL ProblemDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    for (const FillIn& fill : kFillIns) {
        if (fill.templateId != templateId())
            continue;
        std::wstring text = SourceText(fill.source, *this);
        if (fill.format)
            text = FormatPrintf(LoadStr(fill.format).c_str(), text.c_str());
        // Every filled-in text is cut as the members are.
        if (text.size() >= kPathChars)
            text.resize(kPathChars - 1);
        SetDlgItemText(fill.control, text);
    }
    // A reader hears what each button does, not only "是" or "否".
    DescribeButtonsByTheirLines(hwnd());
    return TRUE;
}

void ProblemDialog::OnCancel()
{
    if (shape_.escapeResult >= 0)
        EndDialog(shape_.escapeResult);
}

BOOL ProblemDialog::OnCommand(UINT id, UINT notifyCode, HWND)
{
    if (notifyCode != BN_CLICKED)
        return FALSE;
    if (shape_.helpButton && static_cast<int>(id) == shape_.helpButton) {
        OnHelpInfo(nullptr);
        return TRUE;
    }
    for (const ButtonResult& button : shape_.buttons) {
        if (button.id && button.id == static_cast<int>(id)) {
            EndDialog(button.result);
            return TRUE;
        }
    }
    return FALSE;
}

BOOL ProblemDialog::OnPaint()
{
    if (!shape_.icon)
        return FALSE;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    DrawIcon(dc, shape_.iconAt.x, shape_.iconAt.y, LoadIconW(nullptr, shape_.icon));
    EndPaint(hwnd(), &ps);
    return TRUE;
}

BOOL ProblemDialog::OnHelpInfo(HELPINFO*)
{
    DWORD topic = HelpTopic();
    if (topic && AfxGetApp())
        AfxGetApp()->WinHelp(topic, HELP_CONTEXT);
    return TRUE;
}

DWORD ProblemDialog::HelpTopic() const
{
    return shape_.helpTopic;
}

BOOL COndrixDriverDlg::OnInitDialog()
{
    ProblemDialog::OnInitDialog();
    DialogHost* host = TheDialogHost();
    EnableDlgItem(IDC_ONDRIX_YES, !(host && host->Names().portMissing));
    return TRUE;
}

BOOL CProgramFolderDlg::OnCommand(UINT id, UINT notifyCode, HWND control)
{
    DialogHost* host = TheDialogHost();
    if (id == IDC_FOLDER_YES && notifyCode == BN_CLICKED && host)
        host->CreateProgramFolder();
    return ProblemDialog::OnCommand(id, notifyCode, control);
}

DWORD CFileVersionDlg::HelpTopic() const
{
    static const struct {
        UINT label;
        DWORD topic;
    } kTopics[] = {
        { IDS_CURRENT_VERSION, HELP_TOPIC_VERSION },
        { IDS_CURRENT_SIZE, HELP_TOPIC_SIZE },
        { IDS_CURRENT_TIMESTAMP, HELP_TOPIC_TIMESTAMP },
    };
    for (const auto& entry : kTopics)
        if (LoadStr(entry.label) == member(2))
            return entry.topic;
    return 0;
}
