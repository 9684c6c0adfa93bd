// Writers of the result log's finding lines. A correct setting is its message and a line
// end; a fault is "错误:" (or "网络错误:") and its message, left open until the outcome
// of the user's answer completes the line.
#include "app/troubleshooter_app.h"

#include "framework/strings.h"
#include "res/resource.h"

#include <cwchar>

namespace {

const wchar_t* TextOrEmpty(const wchar_t* text)
{
    return text ? text : L"";
}

}  // namespace

void CTroubleshooterApp::WriteFinding(const Finding& finding)
{
    BeginCheck(finding.check, finding.code);
    if (!finding.correct())
        AppendLog(LoadStr(finding.network ? IDS_NETWORK_ERROR : IDS_ERROR) + finding.text, LogPiece::Finding);
    else if (!finding.text.empty())
        AppendLog(finding.text + L"\r\n");
}

void CTroubleshooterApp::WriteAnsweredFinding(const Finding& finding)
{
    WriteFinding(finding);
    AppendLog(L"\r\n");
}

void CTroubleshooterApp::LogRepairOutcome(int fixed)
{
    AppendLog(LoadStr(fixed ? IDS_FIXED : IDS_NOT_FIXED) + L"\r\n", fixed ? LogPiece::Fixed : LogPiece::NotFixed);
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
