// Writers of the result log's finding lines. A correct setting is its message and a line
// end; a fault is "错误:" (or "网络错误:") and its message, left open until the outcome
// of the user's answer completes the line.
#include "app/troubleshooter_app.h"

#include "checks/port_driver_service.h"
#include "framework/strings.h"
#include "res/resource.h"

#include <cwchar>

namespace {

const wchar_t* TextOrEmpty(const wchar_t* text)
{
    return text ? text : L"";
}

// The message of a finding: its fault form opens a line, its correct form is a whole line.
void LogFinding(CTroubleshooterApp& app, int ok, const std::wstring& correct, const std::wstring& fault)
{
    if (ok)
        app.AppendLog(correct + L"\r\n");
    else
        app.AppendFinding(fault);
}

}  // namespace

void CTroubleshooterApp::LogPortConnection(int ok)
{
    std::wstring line = FormatInserts(LoadStr(IDS_PORT_CONNECTION), driverName, portName.c_str());
    if (ok)
        AppendLog(line + L"\r\n");
    else
        AppendFinding(line);
}

void CTroubleshooterApp::LogRepairOutcome(int fixed)
{
    AppendLog(LoadStr(fixed ? IDS_FIXED : IDS_NOT_FIXED) + L"\r\n", fixed ? LogPiece::Fixed : LogPiece::NotFixed);
}

void CTroubleshooterApp::LogLanguageMonitorResult(int ok)
{
    LogFinding(*this, ok, LoadStr(IDS_LANGMON_INSTALLED), LoadStr(IDS_LANGMON_MISSING));
}

void CTroubleshooterApp::LogPrinterDriverResult(int ok)
{
    LogFinding(*this, ok, FormatPrintf(LoadStr(IDS_DRIVER_CORRECT).c_str(), driverName),
               FormatPrintf(LoadStr(IDS_DRIVER_WRONG).c_str(), driverName));
}

void CTroubleshooterApp::LogStatusWindowResult(int ok)
{
    LogFinding(*this, ok, LoadStr(IDS_STATUSWND_INSTALLED), LoadStr(IDS_STATUSWND_MISSING));
}

void CTroubleshooterApp::LogPrintServerResult(int ok)
{
    if (!ok)
        AppendNetworkFinding(FormatPrintf(LoadStr(IDS_SERVER_UNREACHABLE).c_str(), serverName.c_str()));
}

void CTroubleshooterApp::LogNetworkPrinterResult(int ok)
{
    if (!ok)
        AppendNetworkFinding(FormatPrintf(LoadStr(IDS_NET_PRINTER_UNREACHABLE).c_str(), networkPath));
}

void CTroubleshooterApp::LogRegistryResult(int ok)
{
    LogFinding(*this, ok, LoadStr(IDS_REGISTRY_CORRECT), LoadStr(IDS_REGISTRY_WRONG));
}

void CTroubleshooterApp::LogPortDriverServiceResult(unsigned bits)
{
    if (bits == 0) {
        AppendLog(LoadStr(IDS_ONDRIX_CORRECT) + L"\r\n");
        return;
    }
    UINT message = (bits & PDS_NOT_RUNNING) ? IDS_ONDRIX_NOT_RUNNING
                   : (bits & PDS_DISABLED)  ? IDS_ONDRIX_DISABLED
                                            : IDS_ONDRIX_MISCONFIGURED;
    AppendFinding(LoadStr(message));
}

void CTroubleshooterApp::LogFileMismatch(int current, const wchar_t* version, const wchar_t* time, unsigned size,
                                         wchar_t* out)
{
    const std::wstring versionLabel = LoadStr(current ? IDS_CURRENT_VERSION : IDS_EXPECTED_VERSION);
    const std::wstring timeLabel = LoadStr(current ? IDS_CURRENT_TIMESTAMP : IDS_EXPECTED_TIMESTAMP);
    const std::wstring sizeLabel = LoadStr(current ? IDS_CURRENT_SIZE : IDS_EXPECTED_SIZE);
    std::wstring line = wcscmp(TextOrEmpty(version), L"0")
                            ? FormatPrintf(L"%s=%s %s=%s %s=%d\r\n", versionLabel.c_str(), TextOrEmpty(version),
                                           timeLabel.c_str(), TextOrEmpty(time), sizeLabel.c_str(), size)
                            : FormatPrintf(L"%s=%s %s=%d\r\n", timeLabel.c_str(), TextOrEmpty(time), sizeLabel.c_str(),
                                           size);
    // The buffer holds 255 characters; a longer line is cut but keeps its line end.
    if (line.size() >= kFileLineChars)
        line.replace(kFileLineChars - 3, std::wstring::npos, L"\r\n");
    lstrcpynW(out, line.c_str(), int(kFileLineChars));
}
