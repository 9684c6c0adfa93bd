// A check's line in the result log and its entry in the report are written from one finding:
// the same check, text and code, and the outcome of the answer to its dialog in both.
#include "app/report.h"
#include "checks/manifest.h"
#include "scripted_app.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using A = AutopilotAction;
using Result = ReportedLine::Result;

struct Row {
    const char* label;
    std::function<void(ScriptedApp&)> script;
    std::vector<ScriptStep> answers;  // the check's dialog and the answer to it, if it asks
    const char* check;
    std::wstring line;                // the line in the log, completion and line end included
    Result result;
    std::wstring text;                // the report's text: the line without its completion
    int code;
};

TEST(Finding, LogLineAndReportEntryComeFromTheSameFinding)
{
    const std::wstring wrongDriver = L"错误:Tavik QX2210-2370 打印机驱动程序设置不正确。";
    const std::wstring disabled = L"错误:Ondrix 设备驱动程序被禁用。";
    const std::wstring server = L"网络错误:无法访问打印服务器 srv。";
    const std::wstring manifest = L"错误:" + ManifestPath() + L" 丢失。";
    const Row rows[] = {
        { "correct", [](ScriptedApp&) {}, {}, "languageMonitor",
          L"Tavik QX2210-2370 语言监视器已安装。\r\n", Result::Correct, L"Tavik QX2210-2370 语言监视器已安装。", 0 },
        { "fault repaired", [](ScriptedApp& app) { app.printerDriver = 0x21; },
          { { IDD_DRIVER_SETTINGS, A::press(IDC_DRIVER_YES) } }, "printerDriver", wrongDriver + L"-- 已修正\r\n",
          Result::Repaired, wrongDriver, 0x21 },
        { "fault not repaired", [](ScriptedApp& app) { app.portDriverService = 0x2000; },
          { { IDD_ONDRIX_DRIVER, A::press(IDC_ONDRIX_NO) } }, "portDriverService", disabled + L"-- 未修正\r\n",
          Result::NotRepaired, disabled, 0x2000 },
        { "network fault",
          [](ScriptedApp& app) {
              app.classify = RedirectedToShare;
              app.printServer = 0;
          },
          { { IDD_SERVER_ERROR, A::press(IDC_SERVER_CONTINUE) } }, "printServer", server + L"\r\n", Result::Fault, server,
          0 },
        { "notice answered before its line", [](ScriptedApp& app) { app.manifestFile = 0; },
          { { IDD_FILE_MISSING, A::press(IDC_MISSING_CONTINUE) } }, "manifest", manifest + L"\r\n", Result::Fault,
          manifest, 0 },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        ScriptedApp app;
        row.script(app);
        std::vector<ScriptStep> steps = { { IDD_START, A::press(IDC_START_YES) } };
        steps.insert(steps.end(), row.answers.begin(), row.answers.end());
        steps.push_back({ IDD_RESULTS, A::press(IDCANCEL) });
        if (row.result == Result::Repaired)
            steps.push_back({ IDD_FINISH, A::press(IDC_FINISH_RETURN) });
        ScriptedPilot pilot(steps, &app);
        RunReport report(app);
        {
            ScopedAutopilot scope(pilot);
            app.RunChecks();
        }
        ASSERT_EQ(pilot.answered.size(), steps.size());

        // The log as the results dialog found it.
        const std::string& log = pilot.logAtAnswer[steps.size() - (row.result == Result::Repaired ? 2 : 1)];
        EXPECT_NE(log.find(Ansi(row.line)), std::string::npos) << log;
        const ReportedLine* entry = nullptr;
        for (const ReportedLine& line : report.lines())
            if (std::string(line.check) == row.check)
                entry = &line;
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(int(entry->result), int(row.result));
        EXPECT_EQ(Ansi(entry->text), Ansi(row.text));
        EXPECT_EQ(entry->code, row.code);
    }
}

}  // namespace
