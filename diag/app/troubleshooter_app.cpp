// Application object: construction, start-up and the plain accessors.
#include "app/troubleshooter_app.h"

#include "app/system_utility.h"
#include "app/unattended.h"
#include "checks/machine_layout.h"
#include "checks/port_checks.h"
#include "framework/raii.h"
#include "framework/strings.h"
#include "res/resource.h"

#include <winspool.h>

CTroubleshooterApp::CTroubleshooterApp() : CWinApp(nullptr) {}

CTroubleshooterApp::~CTroubleshooterApp()
{
    if (instanceMapping_)
        CloseHandle(instanceMapping_);
}

BOOL CTroubleshooterApp::InitInstance()
{
    // Switches are checked before anything else, so a bad one changes nothing.
    CommandLineOptions options;
    std::wstring error;
    if (!ParseCommandLine(commandLine(), options, error)) {
        ShowCommandLineError(error, options.unattended);
        SetExitCode(kExitBadCommandLine);
        return FALSE;
    }
    if (options.help) {
        ShowUsage(options.unattended);
        return FALSE;
    }

    if (!TakeSingleInstance()) {
        TellAnotherRunIsGoingOn();
        SetExitCode(kExitNotRun);
        return FALSE;
    }
    Enable3dControls();

    SetHelpFilePath(SpoolerDriverFolder() + L"\\3\\" + L"XERB5.HLP");

    PrepareLogFilePath();

    if (options.unattended)
        SetExitCode(RunUnattended(*this, options));
    else
        RunChecks();
    return FALSE;
}

bool CTroubleshooterApp::TakeSingleInstance()
{
    instanceMapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READONLY, 0, 32, L"pdiag.exe");
    if (instanceMapping_ && GetLastError() != ERROR_ALREADY_EXISTS)
        return true;
    if (HWND running = FindWindowW(nullptr, LoadStr(IDS_TITLE).c_str()))
        SetForegroundWindow(running);
    return false;
}

void CTroubleshooterApp::PrepareLogFilePath()
{
    GetTempPathW(kPathChars, logFilePath);
    // The folder without its trailing backslash; a drive root cuts to "C:", which the
    // finder does not report, so the log then goes to the Windows directory.
    std::wstring folder = logFilePath;
    size_t cut = folder.rfind(L'\\');
    if (cut != std::wstring::npos)
        folder.resize(cut);
    WIN32_FIND_DATAW found;
    UniqueFind find(FindFirstFileW(folder.c_str(), &found));
    if (!find) {
        GetWindowsDirectoryW(logFilePath, kPathChars);
        lstrcatW(logFilePath, L"\\");
    }
    lstrcatW(logFilePath, L"ts_xerb5.tmp");
}

void CTroubleshooterApp::FormatPortName(wchar_t* out)
{
    lstrcpynW(out, facts.CheckedPortText().c_str(), 257);
}

const wchar_t* CTroubleshooterApp::GetLogFilePath() { return logFilePath; }
std::wstring CTroubleshooterApp::GetPortName() { return portName; }
void CTroubleshooterApp::SetPortName(const std::wstring& name) { portName = name; }
std::wstring CTroubleshooterApp::GetPreviousPortName() { return previousPortName; }
void CTroubleshooterApp::SetPreviousPortName(const std::wstring& name) { previousPortName = name; }
std::wstring CTroubleshooterApp::GetPrinterName() { return printerName; }
void CTroubleshooterApp::SetPrinterName(const std::wstring& name) { printerName = name; }
wchar_t* CTroubleshooterApp::GetDriverName() { return driverName; }

RunNames CTroubleshooterApp::Names()
{
    RunNames names;
    names.driverName = facts.driverName;
    names.portName = facts.portName;
    names.previousPortName = facts.previousPortName;
    names.serverName = facts.serverName;
    names.networkPath = facts.networkPath;
    names.redirectedLptPort = facts.redirectedLptPort != 0;
    names.portMissing = facts.portMissing != 0;
    return names;
}

DWORD CTroubleshooterApp::FreeDiskSpaceMB() { return CSystemUtility().GetFreeDiskSpaceMB(); }
DWORD CTroubleshooterApp::AvailableMemory() { return CSystemUtility().GetAvailableMemory(); }
std::vector<std::wstring> CTroubleshooterApp::SupportedPrinters() { return SupportedPrinterNames(); }

int CTroubleshooterApp::ClassifyPrinter(const std::wstring& name)
{
    int number = 0;
    ClassifyPrinterNamed(facts, name, number);
    return number;
}

int CTroubleshooterApp::ClassifyPrinter(const PRINTER_INFO_2W* printer)
{
    int number = 0;
    ::ClassifyPrinter(facts, printer, number);
    return number;
}

void CTroubleshooterApp::StartLog(const std::wstring& diskText, const std::wstring& memoryText, bool redirected)
{
    {
        // A fresh, empty log, closed at once; when it cannot be created the appends create it.
        UniqueFile fresh(CreateFileW(GetLogFilePath(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    }

    std::wstring portText = portName;
    if (!networkConnection)
        portText += LoadStr(IDS_LOCAL);
    else if (redirected)
        portText += L"[" + std::wstring(networkPath) + L"]";

    SYSTEMTIME now;
    GetLocalTime(&now);
    now.wMilliseconds = 0;
    wchar_t date[64] = {};
    wchar_t time[64] = {};
    GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date, 64);
    GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &now, nullptr, time, 64);

    CSystemUtility log;
    std::wstring header = FormatInserts(LoadStr(IDS_LOG_HEADER), driverName, portText.c_str(), date, time);
    log.AppendLogLine(GetLogFilePath(), (header + L"\r\n").c_str());
    log.AppendLogLine(GetLogFilePath(), FormatPrintf(L"%s: %s%s\r\n", LoadStr(IDS_FREE_DISK).c_str(), diskText.c_str(),
                                                LoadStr(IDS_MB).c_str())
                                       .c_str());
    log.AppendLogLine(GetLogFilePath(), FormatPrintf(L"%s: %s%s\r\n", LoadStr(IDS_FREE_MEMORY).c_str(),
                                                memoryText.c_str(), LoadStr(IDS_KB).c_str())
                                       .c_str());
}

void CTroubleshooterApp::ChoosePrinter(const std::wstring& name)
{
    SetPrinterName(name);
    // Help comes from the driver package's help file in the printer-driver directory.
    std::wstring help = lstrcmpW(driverName, kSupportedDriver) == 0 ? SpoolerDriverFolder() : L"";
    SetHelpFilePath(help + L"\\3\\" + L"XERB5.HLP");
}

std::vector<std::wstring> CTroubleshooterApp::PortsToChoose() { return EligiblePorts(facts); }
void CTroubleshooterApp::MovePrinter(const std::wstring& port) { MovePrinterToPort(facts, port); }

void CTroubleshooterApp::AppendLog(const std::wstring& text, LogPiece piece)
{
    CSystemUtility().AppendLogLine(logFilePath, text.c_str());
    // The listener hears of the piece even when the file could not take it: what the run
    // found is then still reported.
    if (logListener)
        logListener->Appended(check_, checkCode_, piece, text);
}

void CTroubleshooterApp::BeginCheck(const char* check, int code)
{
    check_ = check;
    checkCode_ = code;
}
