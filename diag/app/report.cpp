#include "app/report.h"

#include "app/json_writer.h"
#include "framework/strings.h"
#include "framework/version_resource.h"

#include <lmcons.h>


namespace {

const int kSchemaVersion = 1;
const long long kTicksPerMinute = 60LL * 10000000LL;  // FILETIME counts 100 ns

long long Ticks(const FILETIME& time)
{
    return (static_cast<long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME Now()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return now;
}

const char* ResultName(ReportedLine::Result result)
{
    switch (result) {
    case ReportedLine::Result::Fault: return "fault";
    case ReportedLine::Result::Repaired: return "repaired";
    case ReportedLine::Result::NotRepaired: return "notRepaired";
    default: return "correct";
    }
}

// The kind of connection the start dialog found for the printer.
const char* PortClass(const CTroubleshooterApp& app)
{
    if (app.remotePrinter)
        return "printServer";
    if (app.redirectedLptPort)
        return "redirectedLpt";
    // A port named by a network path other than a server's printer: printing goes to a share.
    if (app.networkConnection)
        return "printServer";
    if (app.usbPort || app.usbLptPort)
        return "usb";
    if (app.compliantPort)
        return "compliantMonitor";
    if (app.otherPort)
        return "other";
    return "local";
}

// The file version of the running program ("1.0.0.0"); empty when it has none.
std::wstring ProgramVersion()
{
    FileVersion version;
    if (!ModuleFileVersion(GetModuleHandleW(nullptr), version))
        return std::wstring();
    return FormatPrintf(L"%u.%u.%u.%u", version.part[0], version.part[1], version.part[2], version.part[3]);
}

std::wstring ComputerName()
{
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = ARRAYSIZE(name);
    return GetComputerNameW(name, &size) ? name : L"";
}

std::wstring UserName()
{
    wchar_t name[UNLEN + 1] = {};
    DWORD size = ARRAYSIZE(name);
    return GetUserNameW(name, &size) ? name : L"";
}

std::wstring WithoutLineEnd(const std::wstring& text)
{
    size_t end = text.find_last_not_of(L"\r\n");
    return end == std::wstring::npos ? std::wstring() : text.substr(0, end + 1);
}

}  // namespace

std::wstring LocalTimeWithOffset(const FILETIME& utc)
{
    SYSTEMTIME universal, local;
    FILETIME localTime;
    if (!FileTimeToSystemTime(&utc, &universal) || !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local) ||
        !SystemTimeToFileTime(&local, &localTime))
        return std::wstring();
    // The local time lost the ticks below a millisecond: the offset is rounded to the minute.
    long long difference = Ticks(localTime) - Ticks(utc);
    long long minutes = (difference + (difference < 0 ? -kTicksPerMinute : kTicksPerMinute) / 2) / kTicksPerMinute;
    const wchar_t sign = minutes < 0 ? L'-' : L'+';
    if (minutes < 0)
        minutes = -minutes;
    return FormatPrintf(L"%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", local.wYear, local.wMonth, local.wDay, local.wHour,
                        local.wMinute, local.wSecond, sign, int(minutes / 60), int(minutes % 60));
}

RunReport::RunReport(CTroubleshooterApp& app) : app_(app), started_(Now())
{
    app_.logListener = this;
}

RunReport::~RunReport()
{
    app_.logListener = nullptr;
}

void RunReport::CloseLine()
{
    lineOpen_ = false;
}

void RunReport::Appended(const char* check, int code, LogPiece piece, const std::wstring& text)
{
    // The lines that close a run belong to no check; a line still open ends with them.
    if (!check) {
        CloseLine();
        return;
    }
    if (piece == LogPiece::Detail) {
        if (!lines_.empty())
            lines_.back().details.push_back(WithoutLineEnd(text));
        return;
    }
    // The piece's kind belongs to the line it opens or continues; a line end in it ends that
    // line, and text after the line end opens the next line.
    size_t at = 0;
    for (;;) {
        const size_t end = text.find(L"\r\n", at);
        const std::wstring part = text.substr(at, end == std::wstring::npos ? std::wstring::npos : end - at);
        // A bare line end with no line open is no line of a check.
        if (lineOpen_ || !part.empty() || (at == 0 && piece != LogPiece::Text))
            AddToLine(check, code, at == 0 ? piece : LogPiece::Text, part);
        if (end == std::wstring::npos)
            return;
        CloseLine();
        at = end + 2;
        if (at == text.size())
            return;
    }
}

void RunReport::AddToLine(const char* check, int code, LogPiece piece, const std::wstring& part)
{
    if (!lineOpen_) {
        lines_.push_back(ReportedLine{ check, ReportedLine::Result::Correct, std::wstring(), 0, {} });
        lineOpen_ = true;
    }
    ReportedLine& line = lines_.back();
    switch (piece) {
    case LogPiece::Finding:
        line.result = ReportedLine::Result::Fault;
        line.code = code;
        break;
    // The completion is told by the result, not repeated in the text.
    case LogPiece::Fixed:
        line.result = ReportedLine::Result::Repaired;
        return;
    case LogPiece::NotFixed:
        line.result = ReportedLine::Result::NotRepaired;
        return;
    default:
        break;
    }
    line.text += part;
}

std::string RunReport::Document(int exitCode, const std::wstring& logPath) const
{
    // Printer and port are known once the start dialog confirmed a printer.
    const bool printerKnown = !app_.printerName.empty();
    JsonWriter json;
    json.BeginObject();
    json.Key("schemaVersion");
    json.Number(kSchemaVersion);
    json.Key("program");
    json.String("pdiag");
    json.Key("programVersion");
    json.StringOrNull(ProgramVersion());
    json.Key("computer");
    json.StringOrNull(ComputerName());
    json.Key("user");
    json.StringOrNull(UserName());
    json.Key("started");
    json.StringOrNull(LocalTimeWithOffset(started_));
    json.Key("finished");
    json.StringOrNull(LocalTimeWithOffset(Now()));
    json.Key("printer");
    json.StringOrNull(app_.printerName);
    json.Key("port");
    json.StringOrNull(printerKnown ? app_.portName : std::wstring());
    json.Key("portClass");
    if (printerKnown)
        json.String(PortClass(app_));
    else
        json.Null();

    json.Key("checks");
    json.BeginArray();
    for (const ReportedLine& line : lines_) {
        json.BeginObject();
        json.Key("id");
        json.String(line.check);
        json.Key("result");
        json.String(ResultName(line.result));
        json.Key("text");
        json.String(line.text);
        if (line.code != 0) {
            json.Key("code");
            json.Number(line.code);
        }
        if (!line.details.empty()) {
            json.Key("details");
            json.BeginArray();
            for (const std::wstring& detail : line.details)
                json.String(detail);
            json.EndArray();
        }
        json.EndObject();
    }
    json.EndArray();

    json.Key("restartNeeded");
    json.Bool(app_.restartNeeded != 0);
    json.Key("log");
    json.StringOrNull(logPath);
    json.Key("exitCode");
    json.Number(exitCode);
    json.EndObject();
    return json.Document();
}
