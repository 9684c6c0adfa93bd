// The system figures, the log append, the start-up's log path and the token privileges.
#include "app/system_utility.h"
#include "framework/raii.h"
#include "scripted_app.h"

#include <gtest/gtest.h>

namespace {

class AppendLogLineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = TempFolder() + L"test_app_append.log";
        DeleteFileW(path_.c_str());
    }
    void TearDown() override { DeleteFileW(path_.c_str()); }
    std::wstring path_;
};

TEST_F(AppendLogLineTest, CreatesTheFileAndAppendsAnsiBytesWithoutLineEndsOfItsOwn)
{
    CSystemUtility utility;
    EXPECT_EQ(utility.AppendLogLine(path_.c_str(), L"错误:"), 1);
    EXPECT_EQ(utility.AppendLogLine(path_.c_str(), L"注册表设置不正确。"), 1);
    EXPECT_EQ(ReadBytes(path_), "\xB4\xED\xCE\xF3:\xD7\xA2\xB2\xE1\xB1\xED\xC9\xE8\xD6\xC3\xB2\xBB\xD5\xFD\xC8\xB7\xA1\xA3");
    EXPECT_EQ(utility.AppendLogLine(path_.c_str(), L"-- 已修正\r\n"), 1);
    EXPECT_EQ(ReadBytes(path_).substr(23), "-- \xD2\xD1\xD0\xDE\xD5\xFD\r\n");
}

TEST_F(AppendLogLineTest, EmptyTextWritesNothingAndSucceeds)
{
    CSystemUtility utility;
    EXPECT_EQ(utility.AppendLogLine(path_.c_str(), L""), 1);
    EXPECT_TRUE(FileExists(path_));
    EXPECT_EQ(ReadBytes(path_), "");
    utility.AppendLogLine(path_.c_str(), L"a");
    EXPECT_EQ(utility.AppendLogLine(path_.c_str(), L""), 1);
    EXPECT_EQ(ReadBytes(path_), "a");
}

TEST_F(AppendLogLineTest, MissingDirectoryFails)
{
    std::wstring path = TempFolder() + L"no_such_folder_test_app\\x.log";
    EXPECT_EQ(CSystemUtility().AppendLogLine(path.c_str(), L"x"), 0);
    EXPECT_FALSE(FileExists(path));
}

TEST_F(AppendLogLineTest, AFileAnotherProgramWritesCannotBeAppendedTo)
{
    UniqueFile writer(CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(bool(writer));
    EXPECT_EQ(CSystemUtility().AppendLogLine(path_.c_str(), L"x"), 0);
    writer.reset();
    // A reader that shares reading does not stop the append.
    UniqueFile reader(CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(CSystemUtility().AppendLogLine(path_.c_str(), L"y"), 1);
    reader.reset();
    EXPECT_EQ(ReadBytes(path_), "y");
}

TEST_F(AppendLogLineTest, LongChineseTextFitsAndUnrepresentableCharactersAreReplaced)
{
    std::wstring text(256, L'错');
    EXPECT_EQ(CSystemUtility().AppendLogLine(path_.c_str(), text.c_str()), 1);
    std::string bytes = ReadBytes(path_);
    ASSERT_EQ(bytes.size(), 512u);
    EXPECT_EQ(bytes.substr(510), "\xB4\xED");
    DeleteFileW(path_.c_str());
    EXPECT_EQ(CSystemUtility().AppendLogLine(path_.c_str(), L"a\x0E01" L"b"), 1);
    EXPECT_EQ(ReadBytes(path_), "a?b");
}

TEST(SystemUtility, FreeDiskSpaceIsTheCallersFreeBytesInMegabytes)
{
    ULARGE_INTEGER available = {}, total = {}, free = {};
    ASSERT_TRUE(GetDiskFreeSpaceExW(nullptr, &available, &total, &free));
    DWORD expected = static_cast<DWORD>(available.QuadPart >> 20);
    DWORD mb = CSystemUtility().GetFreeDiskSpaceMB();
    // The disk may change a little between the two calls.
    EXPECT_LE(mb > expected ? mb - expected : expected - mb, 64u);
    EXPECT_GT(mb, 0u);
}

TEST(SystemUtility, AvailableMemoryIsThePhysicalMemoryFree)
{
    MEMORYSTATUS status = {};
    status.dwLength = sizeof(status);
    GlobalMemoryStatus(&status);
    DWORD memory = CSystemUtility().GetAvailableMemory();
    EXPECT_GT(memory, 0u);
    EXPECT_LE(memory, static_cast<DWORD>(status.dwTotalPhys));
}

// The temporary folder as TMP names it, for the length of a test.
class TempVariable {
public:
    explicit TempVariable(const wchar_t* value)
    {
        wchar_t old[MAX_PATH] = {};
        had_ = GetEnvironmentVariableW(L"TMP", old, MAX_PATH) != 0;
        old_ = old;
        SetEnvironmentVariableW(L"TMP", value);
    }
    ~TempVariable() { SetEnvironmentVariableW(L"TMP", had_ ? old_.c_str() : nullptr); }

private:
    bool had_;
    std::wstring old_;
};

std::wstring WindowsLogPath()
{
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    return std::wstring(windows) + L"\\ts_xerb5.tmp";
}

TEST(StartUp, LogPathIsInTheTemporaryFolder)
{
    std::wstring folder = TempFolder() + L"test_app_tmp";
    CreateDirectoryW(folder.c_str(), nullptr);
    {
        TempVariable tmp(folder.c_str());
        ScriptedApp app;
        app.PrepareLogFilePath();
        EXPECT_EQ(std::wstring(app.logFilePath), folder + L"\\ts_xerb5.tmp");
    }
    RemoveDirectoryW(folder.c_str());
}

TEST(StartUp, LogPathFallsBackToTheWindowsDirectory)
{
    for (const wchar_t* tmp : { L"C:\\", L"C:\\no_such_folder_test_app" }) {
        TempVariable variable(tmp);
        ScriptedApp app;
        app.PrepareLogFilePath();
        EXPECT_EQ(std::wstring(app.logFilePath), WindowsLogPath()) << tmp;
    }
}

TEST(Privileges, ShutdownPrivilegeCanBeEnabledAndDisabled)
{
    CTroubleshooterApp app;
    EXPECT_EQ(app.EnablePrivilege(L"SeShutdownPrivilege"), 1);
    EXPECT_EQ(app.DisablePrivilege(L"SeShutdownPrivilege"), 1);
}

TEST(Privileges, PrivilegeTheTokenDoesNotHoldFails)
{
    // Assigning it succeeds with ERROR_NOT_ALL_ASSIGNED, which counts as failure.
    CTroubleshooterApp app;
    EXPECT_EQ(app.EnablePrivilege(L"SeCreateTokenPrivilege"), 0);
}

TEST(Privileges, UnknownPrivilegeFails)
{
    CTroubleshooterApp app;
    EXPECT_EQ(app.EnablePrivilege(L"SeNoSuchPrivilege"), 0);
    EXPECT_EQ(app.DisablePrivilege(L"SeNoSuchPrivilege"), 0);
}

}  // namespace
