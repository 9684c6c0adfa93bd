// The unattended mode: pdiag started with switches runs the same check sequence, with every
// dialog answered by a policy autopilot, and tells the outcome in its exit code.
#pragma once
#include "app/layer.h"
#include "framework/autopilot.h"

#include <string>

class CTroubleshooterApp;

// Exit codes. A run that got to its checks ends with 0 when every check was correct and the
// log was saved, otherwise with kExitFindings plus the FindingBits that apply.
enum ExitCode : int {
    kExitClean = 0,
    kExitNotRun = 1,  // another instance runs, or the registry root cannot be read
    kExitBadCommandLine = 2,
    kExitSpoolerStopped = 3,
    kExitNoPrinter = 4,
    kExitPrinterNotFound = 5,
    kExitFindings = 16,
};

enum FindingBits : int {
    kFoundIncomplete = 1,      // the run stopped early or a dialog could not be answered
    kFoundSettingWrong = 2,    // a setting was found wrong, repaired or not
    kFoundNetworkFault = 4,
    kFoundReinstall = 8,       // only reinstalling the package cures a fault
    kFoundRestartNeeded = 32,  // a repair takes effect once Windows restarts
    kFoundLogNotSaved = 64,    // the result log or the report could not be saved
};

// The /report value that sends the report to the standard output.
inline constexpr wchar_t kStandardOutput[] = L"-";

struct CommandLineOptions {
    bool unattended = false;
    bool repair = false;
    bool restart = false;
    bool help = false;
    std::wstring printer;  // empty: the first printer of the list
    std::wstring log;      // full path; empty: the name the results dialog proposes
    std::wstring report;   // full path, or kStandardOutput; empty: no report
};

// Parses the program's arguments (without the program name). False for an unknown, repeated
// or malformed switch, with the message that says which.
bool ParseCommandLine(const std::wstring& arguments, CommandLineOptions& options, std::wstring& error);

// The usage text on the standard output when the program has one, otherwise in a message
// box unless the run is unattended.
void ShowUsage(bool unattended);
// A command-line error and the usage, on the standard error (or a message box, as above).
void ShowCommandLineError(const std::wstring& error, bool unattended);
// That another pdiag runs, on the standard error when the program has one, never in a message
// box: a person sees the running one's window brought forward instead.
void TellAnotherRunIsGoingOn();

// Answers every dialog of a run by its template id, as the options say.
class UnattendedPilot : public Autopilot {
public:
    // `temporaryLog` is where the run's log is kept when it cannot be saved as asked; empty:
    // it is given up then.
    explicit UnattendedPilot(const CommandLineOptions& options, const std::wstring& temporaryLog = std::wstring())
        : options_(options), temporaryLog_(temporaryLog)
    {
    }

    AutopilotAction Answer(const DialogSnapshot& dialog) override;
    // No one watches an unattended run: it makes no please-wait window, and the dialogs that
    // can be answered without their windows are not made.
    bool SeesWindows() const override { return false; }
    void Stuck(const DialogSnapshot&, const AutopilotAction&) override { stuck_ = true; }

    // The exit code of the run that this autopilot answered.
    int ExitCode(const CTroubleshooterApp& app) const;
    // The name the log could not be saved under; empty when saving never failed.
    const std::wstring& failedName() const { return failedName_; }

private:
    AutopilotAction AnswerStart(const DialogSnapshot& dialog);
    AutopilotAction AnswerResults(const DialogSnapshot& dialog);

    const CommandLineOptions options_;
    const std::wstring temporaryLog_;
    std::wstring failedName_;
    std::wstring lastName_;  // the name in the results dialog when it was last confirmed
    bool spoolerStopped_ = false;
    bool noPrinter_ = false;
    bool printerNotFound_ = false;
    bool writeFailed_ = false;
    bool stuck_ = false;
};

// Runs the check sequence of `app` under the policy autopilot, reports the outcome on the
// standard output or error, and returns the exit code.
int RunUnattended(CTroubleshooterApp& app, const CommandLineOptions& options);
