// Item entries of the manifest and the reading of its lists.
#include "checks/manifest.h"
#include "checks/package_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ItemCase {
    const wchar_t* value;
    const wchar_t* file;
    const wchar_t* name;
    const wchar_t* arguments;
    bool icon;
    int iconIndex;
};

TEST(ManifestItem, FieldsSplitAtCommasWithEmptyFieldsDropped)
{
    const ItemCase cases[] = {
        { L"XERB5LAK.EXE,Status,@", L"XERB5LAK.EXE", L"Status", L"", false, 0 },
        { L"XERB5LAK.EXE,Status,/min,@", L"XERB5LAK.EXE", L"Status", L"/min", false, 0 },
        { L"XERB5LAK.EXE,,Status,@", L"XERB5LAK.EXE", L"Status", L"", false, 0 },
        { L"XERB5LAK.EXE,Status", L"XERB5LAK.EXE", L"Status", L"", false, 0 },
        { L"XERB5LAK.EXE,Status,/min,icon,2", L"XERB5LAK.EXE", L"Status", L"/min", true, 2 },
        { L"XERB5LAK.EXE,Status,/min,icon,7", L"XERB5LAK.EXE", L"Status", L"/min", true, 0 },
        { L"XERB5LAK.EXE,Status,/min,icon,@", L"XERB5LAK.EXE", L"Status", L"/min", true, 0 },
        { L"NAME_NONE!", L"NAME_NONE!", L"", L"", false, 0 },
    };
    for (const ItemCase& c : cases) {
        ManifestItem item = ParseManifestItem(c.value, L"C:\\d");
        EXPECT_EQ(item.file, c.file) << c.value;
        EXPECT_EQ(item.name, c.name) << c.value;
        EXPECT_EQ(item.arguments, c.arguments) << c.value;
        EXPECT_EQ(item.iconFile, c.icon ? std::wstring(L"C:\\d\\XERB5LAK.EXE") : std::wstring()) << c.value;
        EXPECT_EQ(item.iconIndex, c.iconIndex) << c.value;
    }
}

TEST(ManifestItem, GroupFolderIsTheNameUpToTheFirstComma)
{
    EXPECT_EQ(GroupFolderName(L"Tavik QX2210-2370,x"), L"Tavik QX2210-2370");
    EXPECT_EQ(GroupFolderName(L"Tavik QX2210-2370"), L"Tavik QX2210-2370");
}

TEST(ManifestLists, NumItemsDecidesHowManyKeysAreRead)
{
    ScopedManifest manifest(L"[ZELT Startup]\r\nNumItems=2\r\nZELTItem1=A.EXE,甲,@\r\nZELTItem2=B.EXE,乙,@\r\n"
                            L"ZELTItem3=C.EXE,丙,@\r\n[ZELT Groups]\r\nZELTItem1=A.EXE,甲,@\r\n");
    std::vector<ManifestItem> startup = ReadManifestItems(kStartupSection);
    ASSERT_EQ(startup.size(), 2u);
    EXPECT_EQ(startup[1].name, L"乙");
    // No NumItems: no key is read.
    EXPECT_TRUE(ReadManifestItems(kGroupsSection).empty());
}

std::vector<std::wstring> Names(const std::vector<ManifestItem>& items)
{
    std::vector<std::wstring> names;
    for (const ManifestItem& item : items)
        names.push_back(item.name);
    return names;
}

TEST(ManifestLists, OnlyTheKeysPresentUpToNumItemsAreRead)
{
    // Numbers without a key would read as the nameless "NAME_NONE!": they are left out.
    ScopedManifest manifest(L"[ZELT Groups]\r\nNumItems=2000000000\r\nzeltitem3=C.EXE,丙,@\r\nZELTItem1=A.EXE,甲,@\r\n"
                            L"ZELTItem3=D.EXE,丁,@\r\n");
    std::vector<ManifestItem> items = ReadManifestItems(kGroupsSection);
    EXPECT_EQ(Names(items), (std::vector<std::wstring>{ L"甲", L"丙" })) << "in number order, the first of a key twice";
    EXPECT_EQ(items[1].file, L"C.EXE");
}

TEST(ManifestLists, StrayKeysAtTheTopOfTheRangeNeitherEmptyTheListNorCount)
{
    ScopedManifest manifest(L"[ZELT Startup]\r\nNumItems=2\r\nZELTItem1=A.EXE,甲,@\r\nZELTItem2147483647=B.EXE,乙,@\r\n"
                            L"ZELTItem99999999999=C.EXE,丙,@\r\nZELTItem4294967298=D.EXE,丁,@\r\nZELTItem02=E.EXE,戊,@\r\n"
                            L"ZELTItem+2=F.EXE,己,@\r\nZELTItem2x=G.EXE,庚,@\r\nZELTItem=H.EXE,辛,@\r\n"
                            L"[ZELT Groups]\r\nNumItems=2147483647\r\nZELTItem2147483647=B.EXE,乙,@\r\n"
                            L"ZELTItem99999999999=C.EXE,丙,@\r\n");
    EXPECT_EQ(Names(ReadManifestItems(kStartupSection)), std::vector<std::wstring>{ L"甲" });
    EXPECT_EQ(Names(ReadManifestItems(kGroupsSection)), std::vector<std::wstring>{ L"乙" });
}

TEST(ManifestLists, AHugeNumItemsCostsOnlyTheKeysPresent)
{
    // Reading every number up to NumItems would take hours; the test's time-out catches it.
    ScopedManifest manifest(L"[ZELT Groups]\r\nNumItems=99999999\r\nZELTItem99999999=A.EXE,甲,@\r\n");
    EXPECT_EQ(Names(ReadManifestItems(kGroupsSection)), std::vector<std::wstring>{ L"甲" });
}

TEST(ManifestLists, KeyListLongerThanAnyFixedBuffer)
{
    std::wstring text = L"[ZELT Groups]\r\nNumItems=3000\r\n";
    for (int i = 3000; i >= 1; --i)
        text += L"ZELTItem" + std::to_wstring(i) + L"=F" + std::to_wstring(i) + L".EXE,N" + std::to_wstring(i) + L",@\r\n";
    ScopedManifest manifest(text);
    std::vector<ManifestItem> items = ReadManifestItems(kGroupsSection);
    ASSERT_EQ(items.size(), 3000u);
    EXPECT_EQ(items.front().name, L"N1");
    EXPECT_EQ(items.back().name, L"N3000");
}

TEST(PlainName, OnlyANameInsideItsFolderIsPlain)
{
    for (const wchar_t* name : { L"Tavik QX2210-2370", L"Tavik QX2210-2370,x", L"状态窗口", L"a..b", L"NAME_NONE!",
                                 L"CONSOLE", L"COM0", L"LPT10", L".hidden" })
        EXPECT_TRUE(IsPlainName(name)) << Ansi(name);
    for (const wchar_t* name : { L"", L"..", L".", L"...", L"x.", L"x ", L"..\\..\\EvilGroup", L"a/b", L"C:\\EvilAbs",
                                 L"C:x", L"a*b", L"a?b", L"a\"b", L"a<b", L"a>b", L"a|b", L"a\tb", L"CON", L"con",
                                 L"NUL.lnk", L"Aux .txt", L"PRN", L"COM1", L"lpt9", L"CONIN$" })
        EXPECT_FALSE(IsPlainName(name)) << Ansi(name);
}

}  // namespace
