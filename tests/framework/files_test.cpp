// Whether two names reach the same file, against the real file system. The spellings of an
// existing file are run through the program's own refusals in tests/app.
#include "framework/files.h"

#include <gtest/gtest.h>

#include <string>

TEST(Files, NamesNotThereYetAreTheSameWhenTheyWouldBeMadeAsOne)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring f = std::wstring(temp) + L"pdiag-files-" + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(f.c_str(), nullptr)) << GetLastError();
    ASSERT_TRUE(CreateDirectoryW((f + L"\\sub").c_str(), nullptr)) << GetLastError();
    HANDLE file = CreateFileW((f + L"\\a.log").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << GetLastError();
    CloseHandle(file);
    struct Case {
        const char* label;
        std::wstring a, b;
        bool same;
    };
    const Case cases[] = {
        { "the \\\\?\\ prefix and another case", f + L"\\new.log", L"\\\\?\\" + f + L"\\NEW.log", true },
        { "a step up and a trailing dot", f + L"\\new.log", f + L"\\sub\\..\\new.log.", true },
        { "another folder", f + L"\\new.log", f + L"\\sub\\new.log", false },
        { "another name", f + L"\\new.log", f + L"\\new2.log", false },
        { "beside a file", f + L"\\new.log", f + L"\\a.log", false },
        { "a file and its \\\\?\\ name", f + L"\\a.log", L"\\\\?\\" + f + L"\\A.LOG", true },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SameFile(c.a, c.b), c.same) << c.label;
        EXPECT_EQ(SameFile(c.b, c.a), c.same) << c.label << ", the other way round";
    }
    DeleteFileW((f + L"\\a.log").c_str());
    RemoveDirectoryW((f + L"\\sub").c_str());
    RemoveDirectoryW(f.c_str());
}
