// The manifest XERB5INK.DAT: its sections as the profile functions read them, and its file
// list compared with the installed files' versions, sizes and time stamps.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>

#include "package/package_probe.h"

using namespace probe;

namespace {

std::wstring Profile(const wchar_t* section, const wchar_t* key)
{
    wchar_t buffer[256];
    GetPrivateProfileStringW(section, key, L"NAME_NONE!", buffer, 256, ManifestPath().c_str());
    return buffer;
}

int ProfileInt(const wchar_t* section, const wchar_t* key)
{
    return static_cast<int>(GetPrivateProfileIntW(section, key, 0, ManifestPath().c_str()));
}

}  // namespace

TEST(Manifest, IsWrittenInCodePage936)
{
    ASSERT_EQ(936u, GetACP());
    std::wstring text;
    ASSERT_TRUE(ReadManifestText(text));
    EXPECT_NE(std::wstring::npos, text.find(L"ZELTItem1=XERB5LAK.EXE,状态窗口,@\r\n"));
}

TEST(Manifest, GroupsSectionReadsAsTheProfileFunctionsSeeIt)
{
    EXPECT_EQ(L"Tavik QX2210-2370", Profile(L"ZELT Groups", L"GroupName"));
    ASSERT_EQ(2, ProfileInt(L"ZELT Groups", L"NumItems"));
    EXPECT_EQ(L"XERB5LAK.EXE,状态窗口,@", Profile(L"ZELT Groups", L"ZELTItem1"));
    EXPECT_EQ(L"PDIAG.EXE,疑难解答,@", Profile(L"ZELT Groups", L"ZELTItem2"));
}

TEST(Manifest, StartupSectionNamesTheStarter)
{
    ASSERT_EQ(1, ProfileInt(L"ZELT Startup", L"NumItems"));
    EXPECT_EQ(L"XERB5LAK.EXE,Tavik QX2210-2370 状态窗口,@", Profile(L"ZELT Startup", L"ZELTItem1"));
}

TEST(Manifest, ListsEveryPackageFileAtItsLocation)
{
    const std::map<std::wstring, std::wstring> expected = {
        {L"XERB5K.DLL", kDriverDirCode},   {L"XERB5UIK.DLL", kDriverDirCode}, {L"XERB5LMK.DLL", L"SYS32"},
        {L"XERB5LAK.EXE", kDriverDirCode}, {L"XERB5LP.SYS", L"DRV"},          {L"XERB5.HLP", kDriverDirCode},
    };
    const std::vector<FileEntry> entries = ReadFileEntries();
    ASSERT_EQ(expected.size(), entries.size());
    for (const FileEntry& entry : entries) {
        auto it = expected.find(entry.name);
        ASSERT_NE(expected.end(), it) << entry.name;
        EXPECT_EQ(it->second, entry.locations[0]) << entry.name;
        EXPECT_TRUE(LocationDir(entry.locations[1]).empty()) << entry.name;
        EXPECT_TRUE(LocationDir(entry.locations[2]).empty()) << entry.name;
    }
}

TEST(Manifest, FieldsHaveTheFormsTheCheckParses)
{
    for (const FileEntry& entry : ReadFileEntries()) {
        unsigned v[4], y, mo, d, h, mi, s;
        wchar_t end;
        EXPECT_EQ(4, swscanf(entry.version.c_str(), L"%u.%u.%u.%u%lc", &v[0], &v[1], &v[2], &v[3], &end)) << entry.name;
        EXPECT_EQ(3, swscanf(entry.date.c_str(), L"%u/%u/%u%lc", &y, &mo, &d, &end)) << entry.name;
        EXPECT_EQ(3, swscanf(entry.time.c_str(), L"%u:%u:%u%lc", &h, &mi, &s, &end)) << entry.name;
        EXPECT_GE(y, 1970u);
        EXPECT_TRUE(!entry.size.empty() && std::all_of(entry.size.begin(), entry.size.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }))
            << entry.size;
    }
}

TEST(Manifest, InstalledFilesHaveTheListedVersionSizeAndTime)
{
    const std::vector<FileEntry> entries = ReadFileEntries();
    ASSERT_FALSE(entries.empty());
    for (const FileEntry& entry : entries) {
        const std::wstring path = LocationDir(entry.locations[0]) + L"\\" + entry.name;
        ASSERT_TRUE(FileExists(path)) << path;
        const std::wstring version = FileVersion(path);
        EXPECT_EQ(entry.version, version.empty() ? L"0.00.0.000" : version) << path;
        ULONGLONG size = 0, payload = 0;
        ASSERT_TRUE(FileSize(path, size));
        EXPECT_EQ(entry.size, std::to_wstring(size)) << path;
        ASSERT_TRUE(FileSize(PayloadDir() + L"\\" + entry.name, payload));
        EXPECT_EQ(payload, size) << path;
        EXPECT_EQ(entry.date + L" " + entry.time, FileTimeText(path)) << path;
    }
}

TEST(Manifest, ProgramFilesCarryRealVersionResources)
{
    for (const FileEntry& entry : ReadFileEntries()) {
        if (entry.name == L"XERB5.HLP")
            continue;
        EXPECT_FALSE(FileVersion(LocationDir(entry.locations[0]) + L"\\" + entry.name).empty()) << entry.name;
    }
}
