// Application object: construction, start-up and the plain accessors. (start-up to follow)
#include "app/troubleshooter_app.h"

#include "app/system_utility.h"

CTroubleshooterApp::CTroubleshooterApp() : CWinApp(nullptr) {}

CTroubleshooterApp::~CTroubleshooterApp()
{
    if (instanceMapping_)
        CloseHandle(instanceMapping_);
}

BOOL CTroubleshooterApp::InitInstance()
{
    RunChecks();
    return FALSE;
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

void CTroubleshooterApp::AppendLog(const std::wstring& text)
{
    CSystemUtility().AppendLogLine(logFilePath, text.c_str());
}
