// One complete unattended troubleshooter run in this process, with each check of the
// application object timed around the real one. Prints one line "NAME MS" per check, then
// FinishRun (closing lines, results dialog, saving the log), the rest of the sequence (start
// dialog, please-wait window, log lines), the moment each dialog was ready, and the whole run.
// The run is the first in its process, as every real run is: what a check pays once per
// process, it pays here.
//   bench_checks PRINTER LOG
#include "app/troubleshooter_app.h"
#include "app/unattended.h"

#include "framework/autopilot.h"
#include "res/resource.h"

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

double Milliseconds(LONGLONG ticks)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(ticks) * 1000.0 / double(frequency.QuadPart);
}

LONGLONG Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

class TimedApp : public CTroubleshooterApp {
public:
    std::map<std::string, LONGLONG> spent;  // ticks per check, summed over its calls
    LONGLONG checks = 0;                    // ticks of all checks
    LONGLONG finish = 0;                    // FinishRun: closing lines, results dialog, saving
    LONGLONG run = 0;                       // RunChecks as a whole
    std::map<std::string, LONGLONG> began;  // when each check was first called

    void RunChecks() override
    {
        LONGLONG start = Now();
        Base::RunChecks();
        run = Now() - start;
    }
    void FinishRun() override
    {
        LONGLONG start = Now();
        Base::FinishRun();
        finish = Now() - start;
    }
    // Each check timed around the real one.
#define TIMED_CHECK(check) \
    int check() override { return Time(#check, [&] { return Base::check(); }); }
    TIMED_CHECK(IsSpoolerRunning)
    TIMED_CHECK(HasAdminRights)
    TIMED_CHECK(CheckManifestFile)
    TIMED_CHECK(LoadFileManifest)
    TIMED_CHECK(CheckPortPresent)
    TIMED_CHECK(CheckPrinterRegistry)
    TIMED_CHECK(CheckAppPath)
    TIMED_CHECK(CheckPortDriverService)
    TIMED_CHECK(CheckLanguageMonitor)
    TIMED_CHECK(CheckPrinterDriver)
    TIMED_CHECK(CheckStatusWindowStartup)
    TIMED_CHECK(CheckBidiSupport)
    TIMED_CHECK(CheckHoldMismatchedDocuments)
    TIMED_CHECK(CheckProgramFolder)
    TIMED_CHECK(CheckPrintServer)
    TIMED_CHECK(CheckNetworkPrinter)
#undef TIMED_CHECK
    int ProgramItemExists(const wchar_t* itemName) override
    {
        return Time("ProgramItemExists", [&] { return Base::ProgramItemExists(itemName); });
    }

private:
    using Base = CTroubleshooterApp;

    template <typename Check>
    int Time(const char* name, Check check)
    {
        LONGLONG start = Now();
        if (!began.count(name))
            began[name] = start;
        int result = check();
        LONGLONG ticks = Now() - start;
        spent[name] += ticks;
        checks += ticks;
        return result;
    }
};

// The unattended policy, with the moment each dialog was first asked about noted.
class TimingPilot : public Autopilot {
public:
    explicit TimingPilot(Autopilot& policy) : policy_(policy) {}
    std::vector<std::pair<UINT, LONGLONG>> firstAsked;

    AutopilotAction Answer(const DialogSnapshot& dialog) override
    {
        if (firstAsked.empty() || firstAsked.back().first != dialog.templateId)
            firstAsked.emplace_back(dialog.templateId, Now());
        return policy_.Answer(dialog);
    }
    void Created(const DialogSnapshot& dialog) override
    {
        firstAsked.emplace_back(dialog.templateId, Now());
        policy_.Created(dialog);
    }
    bool SeesWindows() const override { return policy_.SeesWindows(); }
    void Stuck(const DialogSnapshot& dialog, const AutopilotAction& action) override { policy_.Stuck(dialog, action); }

private:
    Autopilot& policy_;
};

// The dialog's name in the output; the template id for one a clean run does not show.
std::string DialogName(UINT templateId)
{
    switch (templateId) {
    case IDD_START:
        return "start-dialog";
    case IDD_CHECKING_SYSTEM:
        return "please-wait";
    case IDD_RESULTS:
        return "results-dialog";
    }
    return "dialog-" + std::to_string(templateId);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_checks PRINTER LOG\n");
        return 2;
    }
    TimedApp app;
    app.Enable3dControls();
    app.PrepareLogFilePath();
    CommandLineOptions options;
    options.unattended = true;
    options.printer = argv[1];
    options.log = argv[2];
    UnattendedPilot policy(options, app.logFilePath);
    TimingPilot pilot(policy);
    LONGLONG start = Now();
    {
        ScopedAutopilot flying(pilot);
        app.RunChecks();
    }
    LONGLONG total = Now() - start;
    const int code = policy.ExitCode(app);

    for (const auto& [name, ticks] : app.spent)
        std::printf("%s %.2f\n", name.c_str(), Milliseconds(ticks));
    std::printf("FinishRun %.2f\n", Milliseconds(app.finish));
    std::printf("start-dialog-and-sequence %.2f\n", Milliseconds(app.run - app.checks - app.finish));
    // When each dialog was ready, from the start of the run: the dialogs' own share shows
    // between these moments and the checks around them.
    for (const auto& [name, at] : app.began)
        std::printf("%s-began-at %.2f\n", name.c_str(), Milliseconds(at - start));
    for (const auto& [templateId, at] : pilot.firstAsked)
        std::printf("%s-ready-at %.2f\n", DialogName(templateId).c_str(), Milliseconds(at - start));
    std::printf("whole-run %.2f\n", Milliseconds(total));
    return code;
}
