// pstatus /status read back as a management script reads it: two status windows, a job that
// runs out of paper on one of them, the JSON parsed by a real parser.
#include <windows.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <memory>
#include <string>

#include "app/command_line.h"
#include "app/protocol.h"
#include "app/status_report.h"
#include "spooler_printers.h"
#include "status_test_support.h"

namespace {

// A second printer of the package, whose name needs escaping in JSON.
const wchar_t kSecondPrinter[] = L"PSW 报告 \"二\"";
const char kSecondPrinterUtf8[] = "PSW 报告 \"二\"";
const char kPackagePrinterUtf8[] = "Tavik QX2210-2370";
const wchar_t kStandInKey[] = L"Software\\Tavik\\XERB5\\StandIn";

struct Report {
    std::optional<DWORD> exitCode;
    nlohmann::json windows;
};

Report ReadStatus(const std::wstring& switches = L"/status", CallSite site = {})
{
    CallerTrace trace(site);
    std::string out, err;
    Report report;
    report.exitCode = RunCaught(L"\"" + ProgramPath() + L"\" " + switches, &out, &err);
    report.windows = nlohmann::json::parse(out, nullptr, false);
    EXPECT_FALSE(report.windows.is_discarded())
        << "not JSON (exit code " << (report.exitCode ? std::to_string(*report.exitCode) : "none") << "): " << out;
    EXPECT_EQ(err, "");
    return report;
}

// Reads the report until `done` holds for it, for up to 20 s.
template <typename Done>
Report ReadStatusUntil(Done done, CallSite site = {})
{
    Report report;
    for (int i = 0; i < 40; ++i) {
        report = ReadStatus(L"/status", site);
        if (report.windows.is_array() && done(report.windows))
            break;
        Sleep(500);
    }
    return report;
}

class StatusReport : public ::testing::Test {
protected:
    void SetUp() override
    {
        AddTestPrinter(kSecondPrinter, L"Tavik QX2210-2370", L"LPT2:");
        for (const wchar_t* printer : {kPackagePrinter, kSecondPrinter})
            SetRegistryDword(HKEY_CURRENT_USER, SettingsKey(printer), L"LastWindowVisiblity", 1);
        first_ = std::make_unique<StatusWindowProcess>(StatusCommand(kPackagePrinter, L"LPT1:"), kPackagePrinter);
        second_ = std::make_unique<StatusWindowProcess>(StatusCommand(kSecondPrinter, L"LPT2:"), kSecondPrinter);
        ASSERT_TRUE(first_->Started());
        ASSERT_TRUE(second_->Started());
    }
    void TearDown() override
    {
        for (auto* status : {first_.get(), second_.get()}) {
            if (status) {
                EXPECT_EQ(status->QuitAndWait(), 0u);
            }
        }
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kStandInKey, kPackagePrinter);
        DeletePrinterNamed(kSecondPrinter);
        for (const wchar_t* printer : {kPackagePrinter, kSecondPrinter})
            RegDeleteTreeW(HKEY_CURRENT_USER, (kSettingsRoot + std::wstring(printer)).c_str());
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kSettingsRoot + std::wstring(kSecondPrinter)).c_str());
    }

    std::unique_ptr<StatusWindowProcess> first_, second_;
};

TEST_F(StatusReport, EachWindowReportsWhatItShowsAndAnErrorSetsTheExitCode)
{
    // A job of six pages that runs out of paper on its third page, for five seconds.
    const wchar_t job[] = L"pages=6 interval=400 error=paperout@3 for=5000 doc=季度报告.doc";
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kStandInKey, kPackagePrinter, REG_SZ, job, sizeof(job)),
              ERROR_SUCCESS);
    Report report = ReadStatusUntil([](const nlohmann::json& windows) {
        return windows.size() == 2 && windows[1]["error"] == true;
    });
    EXPECT_EQ(report.exitCode, DWORD(EXIT_REPORT_ERROR_SHOWN));
    ASSERT_EQ(report.windows.size(), 2u) << report.windows.dump();
    // Sorted by printer name; every field as the window shows it.
    const nlohmann::json& idle = report.windows[0];
    const nlohmann::json& stuck = report.windows[1];
    EXPECT_EQ(idle["printer"], kSecondPrinterUtf8);
    EXPECT_EQ(idle["port"], "LPT2:");
    EXPECT_EQ(idle["error"], false);
    EXPECT_TRUE(idle["job"].is_null());
    EXPECT_EQ(stuck["printer"], kPackagePrinterUtf8);
    EXPECT_EQ(stuck["port"], "LPT1:");
    for (const nlohmann::json& window : report.windows) {
        EXPECT_EQ(window["answered"], true);
        EXPECT_EQ(window["visible"], true);
        EXPECT_TRUE(window["displayCode"].is_number_integer());
        EXPECT_TRUE(window["state"].is_string());
        EXPECT_TRUE(window["message"].is_array());
        EXPECT_EQ(window["attention"], false);
    }
    ASSERT_TRUE(stuck["job"].is_object()) << stuck.dump();
    EXPECT_EQ(stuck["job"]["document"], "季度报告.doc");
    EXPECT_EQ(stuck["job"]["totalPages"], 6);
    // Paper ran out on the third page: two printed.
    EXPECT_EQ(stuck["job"]["pagesPrinted"], 2);
    EXPECT_FALSE(stuck["message"].empty()) << "the error explains itself";

    // Paper back: no window shows an error any more.
    report = ReadStatusUntil([](const nlohmann::json& windows) {
        return windows.size() == 2 && windows[0]["error"] == false && windows[1]["error"] == false;
    });
    EXPECT_EQ(report.exitCode, DWORD(EXIT_REPORT_NO_ERROR));
}

// Anything not understood, the window's switches included, gets the usage of both.
TEST(StatusReportCommandLine, AMalformedCommandLineGetsTheUsageAndExitCodeTwo)
{
    for (const wchar_t* arguments : {L"/stat", L"/status extra", L"/?", L"\"/status\" !Dprn", L"extra", L"!Xprn",
                                     L"!DTavik QX2210-2370!"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(arguments)));
        std::string out, err;
        EXPECT_EQ(RunCaught(L"\"" + ProgramPath() + L"\" " + arguments, &out, &err), DWORD(EXIT_USAGE));
        EXPECT_EQ(out, "");
        EXPECT_NE(err.find("pstatus.exe /status"), std::string::npos) << err;
        EXPECT_NE(err.find("pstatus.exe !D"), std::string::npos) << err;
    }
}

// Quoted as scripts quote it, with a tab or blanks inside the quotes, the switch is the switch.
TEST(StatusReportCommandLine, TheSwitchIsReadAsWindowsProgramsReadIt)
{
    for (const wchar_t* arguments : {L"\"/status\"", L"\"/status\t\"", L"\"/Status  \"", L"/STATUS\t"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(arguments)));
        Report report = ReadStatus(arguments);
        EXPECT_EQ(report.exitCode, DWORD(EXIT_REPORT_NO_ERROR));
        EXPECT_EQ(report.windows, nlohmann::json::array());
    }
}

// A window of the class that does not answer (another program's, or a hung one) is listed
// with what can be seen from outside, and does not count as an error.
TEST(StatusReportCommandLine, AWindowThatDoesNotAnswerIsListedAsUnanswered)
{
    const wchar_t silent[] = L"PSW Silent Printer";
    ChildProcess holder(L"\"" WINDOW_HOLDER L"\" \"" PSW_MAIN_CLASS L"\" \"" + std::wstring(silent) + L"\" 0 8000");
    for (int i = 0; i < 50 && !FindWindowW(PSW_MAIN_CLASS, silent); ++i)
        Sleep(100);
    Report report = ReadStatus();
    EXPECT_EQ(report.exitCode, DWORD(EXIT_REPORT_NO_ERROR));
    ASSERT_TRUE(report.windows.is_array());
    ASSERT_EQ(report.windows.size(), 1u) << report.windows.dump();
    const nlohmann::json& window = report.windows[0];
    EXPECT_EQ(window["printer"], "PSW Silent Printer");
    EXPECT_EQ(window["answered"], false);
    EXPECT_EQ(window["visible"], false);
    for (const char* field : {"port", "displayCode", "state", "message", "error", "attention", "job"})
        EXPECT_TRUE(window[field].is_null()) << field;
}

}  // namespace
