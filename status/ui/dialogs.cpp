#include "ui/dialogs.h"
#include <stddef.h>
#include <windowsx.h>
#include "app/protocol.h"
#include "app/settings.h"
#include "app/state.h"
#include "app/strings.h"
#include "monitor/port_class.h"
#include "monitor/status_rules.h"
#include "res/dialog_ids.h"
#include "res/resource.h"
#include "ui/help.h"

#define MESSAGE_CHARS 260
#define VERSION_CHARS 520

// "Showing": when the window pops up by itself. A stored value other than 0 and 1 (a 7, say)
// acts as 1 in the window (only errors bring it up), yet this dialog shows it as "while
// printing", and confirming the dialog stores that choice, 0.
#define SHOWING_WHILE_PRINTING 0
#define SHOWING_ON_ERROR 1
// "StatusSense": when the status library watches the device.
#define STATUS_SENSE_WHILE_SHOWN 2
#define STATUS_SENSE_WHILE_PRINTING 0

// Port modes ("CurrentMode", "Mode") and the capability bits of "Attribute".
#define PORT_MODE_STANDARD 1
#define PORT_MODE_ECP 3
#define PORT_MODE_ECP_DMA 4
#define PORT_ATTRIBUTE_ECP 0x4
#define PORT_ATTRIBUTE_ECP_DMA 0x8
#define PORT_ATTRIBUTE_DEFAULT PORT_ATTRIBUTE_ECP_DMA

// The program's version as the about box shows it, kept as ANSI text.
static const char kVersion[] = "1.00.0.003";

struct DialogTableRow {
    int templateId;
    DLGPROC procedure;
};

// The dialogs by template. The last row is the end marker: ShowStatusDialog writes the
// template it looks for into it, so the walk always stops.
static DialogTableRow s_dialogTable[] = {
    {IDD_ABOUT, AboutDlgProc},
    {IDD_OPTIONS, OptionsDlgProc},
    {IDD_PORT_SETTINGS, PortSettingsDlgProc},
    {IDD_PORT_SETTINGS_DMA, PortSettingsDlgProc},
    {0, NULL},
};

// A control and its topic in the help file. WinHelpW takes a list of them that ends with a
// zero pair.
struct HelpPair {
    DWORD controlId;
    DWORD topic;
};

// Topics of the help file: a label's topic tells what its group is for, its buttons' what
// each choice does.
#define TOPIC_SHOWING 3210
#define TOPIC_SHOWING_GROUP 3211
#define TOPIC_STATUS_SENSE 3230
#define TOPIC_STATUS_SENSE_GROUP 3231
#define TOPIC_ALWAYS_ON_TOP 3240
#define TOPIC_PORT_TYPE_GROUP 3300
#define TOPIC_PORT_STANDARD 3310
#define TOPIC_PORT_MODE_2 3320
#define TOPIC_PORT_ECP 3330
#define TOPIC_PORT_ECP_DMA 3340

static const HelpPair kHelpTopics[] = {
    // Options.
    {IDC_SHOWING_LABEL, TOPIC_SHOWING_GROUP},
    {IDC_SHOW_WHILE_PRINTING, TOPIC_SHOWING},
    {IDC_SHOW_ON_ERROR, TOPIC_SHOWING},
    {IDC_ALWAYS_ON_TOP, TOPIC_ALWAYS_ON_TOP},
    {IDC_SENSE_LABEL, TOPIC_STATUS_SENSE_GROUP},
    {IDC_SENSE_ALWAYS, TOPIC_STATUS_SENSE},
    {IDC_SENSE_WHILE_SHOWN, TOPIC_STATUS_SENSE},
    {IDC_SENSE_WHILE_PRINTING, TOPIC_STATUS_SENSE},
    // Port settings.
    {IDC_PORT_TYPE_LABEL, TOPIC_PORT_TYPE_GROUP},
    {IDC_PORT_STANDARD, TOPIC_PORT_STANDARD},
    {IDC_PORT_MODE_2, TOPIC_PORT_MODE_2},
    {IDC_PORT_ECP, TOPIC_PORT_ECP},
    {IDC_PORT_ECP_DMA, TOPIC_PORT_ECP_DMA},
};

// The radio buttons of "StatusSense"; the first is also shown for a value none of them has.
static const struct {
    int buttonId;
    DWORD statusSense;
} kSenseButtons[] = {
    {IDC_SENSE_ALWAYS, STATUS_SENSE_ALWAYS},
    {IDC_SENSE_WHILE_SHOWN, STATUS_SENSE_WHILE_SHOWN},
    {IDC_SENSE_WHILE_PRINTING, STATUS_SENSE_WHILE_PRINTING},
};

// What the dialogs work on; one modal dialog runs at a time, on the main thread.
static struct {
    DWORD showing, statusSense, alwaysOnTop;   // options: the user's choice until "确定"
    DWORD selectedMode;                        // port settings: the mode chosen
    int lastModeId;                            // the last mode button of the open template
    // The (control, topic) pair of each dialog's last help request and the zero pair that
    // ends the list: the help viewer may read the list after the call has returned.
    HelpPair optionsHelp[2], portHelp[2];
} s_dialog;

int ShowStatusDialog(HINSTANCE instance, HWND owner, int templateId, LPARAM parameter)
{
    s_dialogTable[ARRAYSIZE(s_dialogTable) - 1].templateId = templateId;
    const DialogTableRow* row = s_dialogTable;
    while (row->templateId != templateId)
        ++row;
    if (!row->procedure)
        return 1;
    DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), owner, row->procedure, parameter);
    return 0;
}

void ShowPortBusyMessage(void)
{
    wchar_t text[MESSAGE_CHARS], title[MESSAGE_CHARS];
    LoadText(IDS_PORT_BUSY, text, ARRAYSIZE(text));
    LoadText(IDS_WINDOW_TITLE, title, ARRAYSIZE(title));
    MessageBoxW(NULL, text, title, MB_SETFOREGROUND);
}

// ---- Help of the options and port settings dialogs ----

static DWORD HelpTopic(int controlId)
{
    for (size_t i = 0; i < ARRAYSIZE(kHelpTopics); ++i)
        if (int(kHelpTopics[i].controlId) == controlId)
            return kHelpTopics[i].topic;
    return 0;
}

// Keeps `controlId` and its topic as the dialog's pair; returns the topic.
static DWORD RememberHelpPair(HelpPair* pair, int controlId)
{
    pair[0].controlId = DWORD(controlId);
    pair[0].topic = HelpTopic(controlId);
    return pair[0].topic;
}

// F1: a control other than "确定" and "取消" shows its own topic; anything else (the two
// buttons, a menu of the dialog) opens the help file's contents.
static void Dialog_OnHelp(HWND dialog, const HELPINFO* info, HelpPair* pair)
{
    if (info && info->iContextType == HELPINFO_WINDOW && info->iCtrlId > IDCANCEL) {
        DWORD topic = RememberHelpPair(pair, info->iCtrlId);
        ShowHelp(static_cast<HWND>(info->hItemHandle), HELP_CONTEXTPOPUP, topic);
    } else {
        ShowHelp(dialog, HELP_FINDER, 0);
    }
}

// The "What's This?" help of `control`, when it has a topic.
static void ShowContextHelp(HWND owner, HWND control, HelpPair* pair)
{
    if (control && RememberHelpPair(pair, GetDlgCtrlID(control)))
        ShowHelp(owner, HELP_CONTEXTMENU, reinterpret_cast<ULONG_PTR>(pair));
}

// Help messages of a dialog with help; FALSE for any other message.
static BOOL Dialog_HandleHelp(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, HelpPair* pair)
{
    switch (message) {
    case WM_HELP:
        Dialog_OnHelp(dialog, reinterpret_cast<const HELPINFO*>(lParam), pair);
        return TRUE;
    case WM_CONTEXTMENU: {
        HWND control = reinterpret_cast<HWND>(wParam);
        ShowContextHelp(control, control, pair);
        return TRUE;
    }
    case WM_RBUTTONUP: {
        // Static controls let clicks through to the dialog: find the one under the pointer.
        POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ShowContextHelp(dialog, ChildWindowFromPoint(dialog, point), pair);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

// ---- Options ----

static int SenseButton(DWORD statusSense)
{
    for (size_t i = 0; i < ARRAYSIZE(kSenseButtons); ++i)
        if (kSenseButtons[i].statusSense == statusSense)
            return kSenseButtons[i].buttonId;
    return kSenseButtons[0].buttonId;
}

static DWORD SenseOfButton(int buttonId)
{
    for (size_t i = 0; i < ARRAYSIZE(kSenseButtons); ++i)
        if (kSenseButtons[i].buttonId == buttonId)
            return kSenseButtons[i].statusSense;
    return kSenseButtons[0].statusSense;
}

static BOOL Options_OnInitDialog(HWND dialog)
{
    // The working copies hold what the buttons show, so that "确定" stores what the user saw
    // even where a stored value is none the dialog offers.
    s_dialog.showing = g_state.showing == SHOWING_ON_ERROR ? SHOWING_ON_ERROR : SHOWING_WHILE_PRINTING;
    int senseButton = SenseButton(g_state.statusSense);
    s_dialog.statusSense = SenseOfButton(senseButton);
    s_dialog.alwaysOnTop = g_state.alwaysOnTop != 0;

    CheckRadioButton(dialog, IDC_SHOW_WHILE_PRINTING, IDC_SHOW_ON_ERROR,
                     s_dialog.showing == SHOWING_ON_ERROR ? IDC_SHOW_ON_ERROR : IDC_SHOW_WHILE_PRINTING);
    CheckRadioButton(dialog, IDC_SENSE_ALWAYS, IDC_SENSE_WHILE_PRINTING, senseButton);
    // A network printer's device is not watched from here.
    BOOL watchable = Seat().portClass != PORT_CLASS_OTHER;
    for (size_t i = 0; i < ARRAYSIZE(kSenseButtons); ++i)
        EnableWindow(GetDlgItem(dialog, kSenseButtons[i].buttonId), watchable);
    CheckDlgButton(dialog, IDC_ALWAYS_ON_TOP, s_dialog.alwaysOnTop ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

// Every value is written, changed or not; a write that fails keeps the choice in memory.
static void Options_Save(void)
{
    g_state.showing = s_dialog.showing;
    g_state.statusSense = s_dialog.statusSense;
    g_state.alwaysOnTop = s_dialog.alwaysOnTop;
    WritePswValue(HKEY_CURRENT_USER, g_state.printerName, VALUE_SHOWING, g_state.showing);
    WritePswValue(HKEY_LOCAL_MACHINE, g_state.printerName, VALUE_STATUS_SENSE, g_state.statusSense);
    WritePswValue(HKEY_CURRENT_USER, g_state.printerName, VALUE_ALWAYS_ON_TOP, g_state.alwaysOnTop);
}

static void Options_OnCommand(HWND dialog, int id)
{
    switch (id) {
    case IDC_SHOW_WHILE_PRINTING:
    case IDC_SHOW_ON_ERROR:
        CheckRadioButton(dialog, IDC_SHOW_WHILE_PRINTING, IDC_SHOW_ON_ERROR, id);
        s_dialog.showing = id == IDC_SHOW_ON_ERROR ? SHOWING_ON_ERROR : SHOWING_WHILE_PRINTING;
        break;
    case IDC_SENSE_ALWAYS:
    case IDC_SENSE_WHILE_SHOWN:
    case IDC_SENSE_WHILE_PRINTING:
        CheckRadioButton(dialog, IDC_SENSE_ALWAYS, IDC_SENSE_WHILE_PRINTING, id);
        s_dialog.statusSense = SenseOfButton(id);
        break;
    case IDC_ALWAYS_ON_TOP:
        s_dialog.alwaysOnTop = IsDlgButtonChecked(dialog, IDC_ALWAYS_ON_TOP) == BST_CHECKED;
        break;
    case IDOK:
        Options_Save();
        EndDialog(dialog, IDOK);
        break;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        break;
    }
}

INT_PTR CALLBACK OptionsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return Options_OnInitDialog(dialog);
    case WM_COMMAND:
        Options_OnCommand(dialog, LOWORD(wParam));
        return TRUE;
    default:
        return Dialog_HandleHelp(dialog, message, wParam, lParam, s_dialog.optionsHelp);
    }
}

// ---- Port settings ----

static DWORD CurrentPortMode(int port)
{
    DWORD mode = PORT_MODE_STANDARD;
    ReadPortValue(&mode, PORT_MODE_STANDARD, port, VALUE_CURRENT_MODE);
    return mode;
}

static BOOL PortSettings_OnInitDialog(HWND dialog, LPARAM parameter)
{
    BOOL withDma = parameter == PORT_SETTINGS_DMA;
    s_dialog.lastModeId = withDma ? IDC_PORT_ECP_DMA : IDC_PORT_ECP;
    int port = PortNumber(g_state.portName);
    DWORD mode = CurrentPortMode(port);
    DWORD attribute = PORT_ATTRIBUTE_DEFAULT;
    ReadPortValue(&attribute, PORT_ATTRIBUTE_DEFAULT, port, VALUE_ATTRIBUTE);

    // A mode the template has no button for shows as standard, but stays selected: only a
    // click changes what "确定" asks for.
    int checked = IDC_PORT_STANDARD;
    if (mode == PORT_MODE_ECP_DMA && withDma)
        checked = IDC_PORT_ECP_DMA;
    else if (mode == PORT_MODE_ECP)
        checked = IDC_PORT_ECP;
    CheckRadioButton(dialog, IDC_PORT_STANDARD, s_dialog.lastModeId, checked);
    s_dialog.selectedMode = mode;
    EnableWindow(GetDlgItem(dialog, IDC_PORT_ECP), (attribute & PORT_ATTRIBUTE_ECP) != 0);
    if (withDma)
        EnableWindow(GetDlgItem(dialog, IDC_PORT_ECP_DMA), (attribute & PORT_ATTRIBUTE_ECP_DMA) != 0);
    return TRUE;
}

// The print monitor applies "Mode" and reports the mode in force as "CurrentMode"; the
// port is left alone while a job prints.
static void PortSettings_OnOk(void)
{
    if (StatusField(offsetof(PswStatusData, jobFlags)) & JOB_IN_PROGRESS) {
        ShowPortBusyMessage();
        return;
    }
    int port = PortNumber(g_state.portName);
    if (s_dialog.selectedMode == CurrentPortMode(port))
        return;
    WritePortValue(s_dialog.selectedMode, port, VALUE_MODE);
    g_state.libraries.SmPsw_JobRequest(g_state.statusHandle, JOB_REQUEST_PORT_MODE, 0);
}

static void PortSettings_OnCommand(HWND dialog, int id)
{
    switch (id) {
    case IDC_PORT_STANDARD:
    case IDC_PORT_ECP:
    case IDC_PORT_ECP_DMA:
        CheckRadioButton(dialog, IDC_PORT_STANDARD, s_dialog.lastModeId, id);
        s_dialog.selectedMode = DWORD(id - IDC_PORT_TYPE_LABEL);
        break;
    case IDOK:
        PortSettings_OnOk();
        EndDialog(dialog, IDOK);
        break;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        break;
    }
}

INT_PTR CALLBACK PortSettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return PortSettings_OnInitDialog(dialog, lParam);
    case WM_COMMAND:
        PortSettings_OnCommand(dialog, LOWORD(wParam));
        return TRUE;
    default:
        return Dialog_HandleHelp(dialog, message, wParam, lParam, s_dialog.portHelp);
    }
}

// ---- About ----

static BOOL About_OnInitDialog(HWND dialog)
{
    // The product is the printer model the package drives.
    SetDlgItemTextW(dialog, IDC_ABOUT_PRODUCT, PACKAGE_DRIVER_NAME);
    wchar_t version[VERSION_CHARS] = L"";
    MultiByteToWideChar(GetACP(), 0, kVersion, -1, version, ARRAYSIZE(version));
    SetDlgItemTextW(dialog, IDC_ABOUT_VERSION, version);
    return TRUE;
}

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return About_OnInitDialog(dialog);
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}
