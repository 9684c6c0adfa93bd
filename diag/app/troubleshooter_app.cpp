// Application object: construction, start-up and the plain accessors.
#include "app/troubleshooter_app.h"

#include "app/system_utility.h"
#include "app/unattended.h"
#include "checks/machine_layout.h"
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
    if (portNumber != 0)
        wsprintfW(out, L"LPT%d:", portNumber);
    else
        lstrcpynW(out, portName.c_str(), 257);
}

const wchar_t* CTroubleshooterApp::GetLogFilePath() { return logFilePath; }
std::wstring CTroubleshooterApp::GetPortName() { return portName; }
void CTroubleshooterApp::SetPortName(const std::wstring& name) { portName = name; }
std::wstring CTroubleshooterApp::GetPreviousPortName() { return previousPortName; }
void CTroubleshooterApp::SetPreviousPortName(const std::wstring& name) { previousPortName = name; }
std::wstring CTroubleshooterApp::GetPrinterName() { return printerName; }
void CTroubleshooterApp::SetPrinterName(const std::wstring& name) { printerName = name; }
wchar_t* CTroubleshooterApp::GetDriverName() { return driverName; }

void CTroubleshooterApp::AppendLog(const std::wstring& text, LogPiece piece)
{
    CSystemUtility().AppendLogLine(logFilePath, text.c_str());
    // The listener hears of the piece even when the file could not take it: what the run
    // found is then still reported.
    if (logListener)
        logListener->Appended(check_, checkCode_, piece, text);
}

void CTroubleshooterApp::AppendFinding(const std::wstring& text)
{
    AppendLog(LoadStr(IDS_ERROR) + text, LogPiece::Finding);
}

void CTroubleshooterApp::AppendNetworkFinding(const std::wstring& text)
{
    AppendLog(LoadStr(IDS_NETWORK_ERROR) + text, LogPiece::Finding);
}

void CTroubleshooterApp::BeginCheck(const char* check, int code)
{
    check_ = check;
    checkCode_ = code;
}
