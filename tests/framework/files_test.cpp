// Whether two names reach the same file, against the real file system, in a folder of the
// test's own below the temporary folder.
#include "framework/files.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

class Files : public ::testing::Test {
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"pdiag-files-" + std::to_wstring(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr)) << GetLastError();
        ASSERT_TRUE(CreateDirectoryW((folder_ + L"\\sub").c_str(), nullptr)) << GetLastError();
        for (const wchar_t* name : { L"\\a.log", L"\\b.log" }) {
            HANDLE file = CreateFileW((folder_ + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
            ASSERT_NE(file, INVALID_HANDLE_VALUE) << GetLastError();
            CloseHandle(file);
        }
    }
    void TearDown() override
    {
        for (const wchar_t* name : { L"\\a.log", L"\\b.log", L"\\link.log" })
            DeleteFileW((folder_ + name).c_str());
        RemoveDirectoryW((folder_ + L"\\sub").c_str());
        RemoveDirectoryW(folder_.c_str());
    }
    std::wstring folder_;
};

// Existing files are told apart by what they are, names that do not exist by the folder they
// would be made in and their final name.
TEST_F(Files, SameFileFollowsTheFileNotTheSpelling)
{
    ASSERT_TRUE(CreateHardLinkW((folder_ + L"\\link.log").c_str(), (folder_ + L"\\a.log").c_str(), nullptr))
        << GetLastError();
    const std::wstring f = folder_;
    struct Case {
        const char* label;
        std::wstring a, b;
        bool same;
    };
    const Case cases[] = {
        { "one file, the \\\\?\\ prefix", f + L"\\a.log", L"\\\\?\\" + f + L"\\a.log", true },
        { "one file, a step up", f + L"\\a.log", f + L"\\sub\\..\\A.LOG", true },
        { "a hard link", f + L"\\a.log", f + L"\\link.log", true },
        { "two files", f + L"\\a.log", f + L"\\b.log", false },
        { "a missing name, the \\\\?\\ prefix", f + L"\\new.log", L"\\\\?\\" + f + L"\\NEW.log", true },
        { "a missing name, a step up", f + L"\\new.log", f + L"\\sub\\..\\new.log.", true },
        { "a missing name in another folder", f + L"\\new.log", f + L"\\sub\\new.log", false },
        { "two missing names", f + L"\\new.log", f + L"\\new2.log", false },
        { "a missing name and a file", f + L"\\new.log", f + L"\\a.log", false },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SameFile(c.a, c.b), c.same) << c.label << ": " << Narrow(c.a) << " and " << Narrow(c.b);
        EXPECT_EQ(SameFile(c.b, c.a), c.same) << c.label << ", the other way round";
    }
}

}  // namespace
