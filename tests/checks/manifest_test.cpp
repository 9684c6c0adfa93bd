// Item entries of the manifest and the reading of its lists.
#include "checks/manifest.h"
#include "checks/package_fixture.h"

#include <gtest/gtest.h>

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

TEST(ManifestLists, AHugeNumItemsEndsAfterTheKeysPresent)
{
    // Entries past the last key read as the default: one of them still counts as an entry
    // without a name, the rest need not be read one by one.
    ScopedManifest manifest(L"[ZELT Groups]\r\nNumItems=2000000000\r\nZELTItem1=A.EXE,甲,@\r\nzeltitem3=C.EXE,丙,@\r\n");
    std::vector<ManifestItem> items = ReadManifestItems(kGroupsSection);
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].name, L"甲");
    EXPECT_EQ(items[1].file, L"NAME_NONE!");
    EXPECT_EQ(items[1].name, L"");
    EXPECT_EQ(items[2].name, L"丙");
    EXPECT_EQ(items[3].file, L"NAME_NONE!");
}

}  // namespace
