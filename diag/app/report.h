// The report of an unattended run for other programs: a JSON document with the machine, the
// printer, every log line that a check wrote (as the log got it), and the outcome.
#pragma once
#include "app/layer.h"
#include "app/troubleshooter_app.h"

#include <string>
#include <vector>

// One log line of a check.
struct ReportedLine {
    enum class Result { Correct, Fault, Repaired, NotRepaired };
    const char* check = nullptr;       // CheckId
    Result result = Result::Correct;
    std::wstring text;                 // the line without its completion and line end
    int code = 0;                      // the check's fault code for a finding; 0: none
    std::vector<std::wstring> details; // lines that tell more of the finding
};

// Follows the application's result log from its construction to its destruction and makes
// the report of the run.
class RunReport : public LogListener {
public:
    explicit RunReport(CTroubleshooterApp& app);
    ~RunReport();
    RunReport(const RunReport&) = delete;
    RunReport& operator=(const RunReport&) = delete;

    void Appended(const char* check, int code, LogPiece piece, const std::wstring& text) override;

    const std::vector<ReportedLine>& lines() const { return lines_; }
    // The document of the run that ended now with `exitCode`, its log at `logPath` (empty:
    // there is none).
    std::string Document(int exitCode, const std::wstring& logPath) const;

private:
    // Ends the open line, whatever completed it.
    void CloseLine();
    // Adds a piece without line end to the open line of `check`, opening one when none is.
    void AddToLine(const char* check, int code, LogPiece piece, const std::wstring& part);

    CTroubleshooterApp& app_;
    const FILETIME started_;
    std::vector<ReportedLine> lines_;
    bool lineOpen_ = false;
};

// "2026-12-09T21:53:32+08:00": the moment in local time, to the second, with its offset
// from UTC.
std::wstring LocalTimeWithOffset(const FILETIME& utc);
