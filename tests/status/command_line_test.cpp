// The command line, read as Windows programs read theirs, with the start-up program's
// unquoted names still understood.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"

namespace {

struct CommandLineCase {
    const wchar_t* line;
    CommandKind kind;
    const wchar_t* printer;
    const wchar_t* port;
    BOOL readToEnd;
};

TEST(CommandLine, SwitchesAndTheReportAreReadWithQuotesBlanksAndTabs)
{
    const CommandLineCase cases[] = {
        // As the start-up program writes it: names without quotes, blanks between their words.
        {L"C:\\p\\pstatus.exe !DTavik QX2210-2370  !PLPT1:", COMMAND_WINDOW, L"Tavik QX2210-2370", L"LPT1:", TRUE},
        {L"pstatus.exe !P LPT2:  !Dprn", COMMAND_WINDOW, L"prn", L" LPT2:  ", TRUE},
        {L"pstatus.exe !Dprn!PLPT2:", COMMAND_WINDOW, L"prn", L"LPT2:", TRUE},
        {L"pstatus.exe !Dprn !LX !PLPT2:", COMMAND_WINDOW, L"prn", L"", FALSE},
        {L"pstatus.exe !Sx !Dprn", COMMAND_WINDOW, L"", L"", FALSE},
        {L"pstatus.exe !Dprn !N", COMMAND_WINDOW, L"prn", L"", FALSE},
        {L"pstatus.exe !Dprn !P", COMMAND_WINDOW, L"prn", L"", TRUE},
        {L"pstatus.exe", COMMAND_WINDOW, L"", L"", TRUE},
        // Quotes: around the path, around a whole switch, around a value; a tab between them.
        {L"\"C:\\Program Files\\pstatus.exe\" !Dq", COMMAND_WINDOW, L"q", L"", TRUE},
        {L"pstatus.exe \"!DTavik QX2210-2370\" \"!PLPT1:\"", COMMAND_WINDOW, L"Tavik QX2210-2370", L"LPT1:", TRUE},
        {L"pstatus.exe !D\"Tavik  QX\"\t!PLPT1:", COMMAND_WINDOW, L"Tavik  QX", L"LPT1:", TRUE},
        {L"pstatus.exe \"!Da!b\" !PLPT1:", COMMAND_WINDOW, L"a!b", L"LPT1:", TRUE},
        {L"pstatus.exe !DPSW \\\"二\\\" !PLPT2:", COMMAND_WINDOW, L"PSW \"二\"", L"LPT2:", TRUE},
        {L"pstatus.exe !D\\\\srv\\q\t\t", COMMAND_WINDOW, L"\\\\srv\\q", L"", TRUE},
        // The report switch, quoted or not, in any case, with blanks or a tab inside its quotes.
        {L"pstatus.exe /status", COMMAND_REPORT, L"", L"", TRUE},
        {L"\"C:\\Program Files\\pstatus.exe\" \"/status\"", COMMAND_REPORT, L"", L"", TRUE},
        {L"pstatus.exe \"/status\t\"", COMMAND_REPORT, L"", L"", TRUE},
        {L"pstatus.exe \"/STATUS  \"  ", COMMAND_REPORT, L"", L"", TRUE},
        // What is not understood.
        {L"pstatus.exe /status extra", COMMAND_MALFORMED, L"", L"", TRUE},
        {L"pstatus.exe \"/status\" !Dprn", COMMAND_MALFORMED, L"", L"", TRUE},
        {L"pstatus.exe /stat", COMMAND_MALFORMED, L"", L"", TRUE},
        {L"pstatus.exe \"/status x\"", COMMAND_MALFORMED, L"", L"", TRUE},
        {L"pstatus.exe extra !Dprn", COMMAND_MALFORMED, L"", L"", TRUE},
        {L"pstatus.exe !Dprn!", COMMAND_MALFORMED, L"prn", L"", TRUE},
        {L"pstatus.exe !Xprn", COMMAND_MALFORMED, L"", L"", TRUE},
    };
    for (const CommandLineCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - cases));
        PswArguments arguments;
        EXPECT_EQ(ReadCommandLine(c.line, &arguments), c.kind);
        if (c.kind != COMMAND_WINDOW)
            continue;
        EXPECT_STREQ(arguments.printer, c.printer);
        EXPECT_STREQ(arguments.port, c.port);
        EXPECT_EQ(arguments.readToEnd, c.readToEnd);
    }
}

// The platform's own reading of a command line.
std::vector<std::wstring> PlatformArguments(const std::wstring& line)
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(line.c_str(), &count);
    std::vector<std::wstring> read(arguments, arguments + (arguments ? count : 0));
    LocalFree(arguments);
    return read;
}

TEST(CommandLine, QuotesAndBackslashesAreReadAsThePlatformReadsThem)
{
    const wchar_t* const values[] = {
        L"\"Tavik QX2210-2370\"", L"a\\\"b", L"a\\\\\"b c\"", L"\"a\"\"b\"", L"\"a\"\"\"b\"",
        L"\\\\srv\\q", L"\"a\\\\\\\"b\"", L"a\\\\\\\\\"b\"", L"\"x y\"z", L"\"\"", L"\"a\\\"\"",
    };
    for (const wchar_t* const& value : values) {
        SCOPED_TRACE(testing::Message() << "value " << (&value - values));
        const std::wstring line = L"pstatus.exe !D" + std::wstring(value) + L" !PLPT1:";
        // A quote left open takes the port switch into the printer's argument.
        const std::vector<std::wstring> platform = PlatformArguments(line);
        ASSERT_GE(platform.size(), 2u);
        PswArguments arguments;
        ASSERT_EQ(ReadCommandLine(line.c_str(), &arguments), COMMAND_WINDOW);
        EXPECT_EQ(L"!D" + std::wstring(arguments.printer), platform[1]);
        EXPECT_EQ(L"!P" + std::wstring(arguments.port), platform.size() > 2 ? platform[2] : L"!P");
    }
}

TEST(CommandLine, AWrittenCommandLineGivesTheNamesBack)
{
    const struct {
        const wchar_t* printer;
        const wchar_t* port;
    } cases[] = {
        {L"Tavik QX2210-2370", L"LPT1:"},
        {L"PSW 报告 \"二\"", L" LPT2:  "},
        {L"\\\\srv\\queue\\", L"\\\\srv\\port\\\\"},
        {L"a!b\\\"c", L"!P"},
    };
    const wchar_t program[] = L"C:\\Program Files\\pstatus.exe";
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - cases));
        std::vector<wchar_t> written(WindowCommandLineChars(lstrlenW(program)));
        ASSERT_TRUE(WriteWindowCommandLine(program, c.printer, c.port, written.data(), written.size()));
        const std::wstring line = written.data();
        PswArguments arguments;
        ASSERT_EQ(ReadCommandLine(line.c_str(), &arguments), COMMAND_WINDOW) << testing::PrintToString(line);
        EXPECT_STREQ(arguments.printer, c.printer);
        EXPECT_STREQ(arguments.port, c.port);
        const std::vector<std::wstring> platform = PlatformArguments(line);
        ASSERT_EQ(platform.size(), 3u);
        EXPECT_EQ(platform[0], program);
        EXPECT_EQ(platform[1], L"!D" + std::wstring(c.printer));
    }
}

TEST(CommandLine, OverlongValuesAreCutToTheirBuffers)
{
    const std::wstring longPrinter(300, L'p'), longPort(100, L'q');
    PswArguments arguments;
    ASSERT_EQ(ReadCommandLine((L"x !D" + longPrinter + L" !P" + longPort).c_str(), &arguments), COMMAND_WINDOW);
    EXPECT_EQ(std::wstring(arguments.printer), std::wstring(261, L'p'));
    EXPECT_EQ(std::wstring(arguments.port), std::wstring(79, L'q'));
}

}  // namespace
