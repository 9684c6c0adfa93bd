// Filling texts the two ways the program's messages use.
#include "framework/strings.h"
#include "test_resource.h"

#include <gtest/gtest.h>

TEST(Strings, LoadStrReadsTheStringTable)
{
    EXPECT_EQ(LoadStr(IDS_TEST_QUESTION), L"您希望更正这问题吗？");
    EXPECT_EQ(LoadStr(9999), L"");
}

TEST(Strings, InsertsAreNumberedLikeFormatMessage)
{
    EXPECT_EQ(FormatInserts(L"%2 中 %1 的设置正确。", L"Tavik QX2210-2370", L"LPT1:[local]"),
              L"LPT1:[local] 中 Tavik QX2210-2370 的设置正确。");
    EXPECT_EQ(FormatInserts(L"%1 连接到 %2。", L"D", L""), L"D 连接到 。");
    EXPECT_EQ(FormatInserts(L"%2 中 %1 的疑难解答 - %3 %4", L"a", L"b", L"c", L"d"), L"b 中 a 的疑难解答 - c d");
}

TEST(Strings, PrintfUsesWideStringsAndPrecision)
{
    EXPECT_EQ(FormatPrintf(L"重新安装 %s。", L"Tavik"), L"重新安装 Tavik。");
    EXPECT_EQ(FormatPrintf(L"%d.%2.2d.%d.%3.3d", 1, 2, 3, 4), L"1.02.3.004");
    EXPECT_EQ(FormatPrintf(L"重新安装 %s。", L""), L"重新安装 。");
}

TEST(Strings, ShortenPathReplacesTheFirstDirectory)
{
    EXPECT_EQ(ShortenPath(L"C:\\windows\\system32\\spool\\drivers\\w32x86\\3\\XERB5INK.DAT"),
              L"C:\\...\\system32\\spool\\drivers\\w32x86\\3\\XERB5INK.DAT");
    EXPECT_EQ(ShortenPath(L"C:\\x.dat"), L"C:\\...");
    EXPECT_EQ(ShortenPath(L"nobackslash"), L"nobackslash");
}
