// The package files against the manifest's file list: presence in each location, version
// resources, last-write times and sizes of real files in the prefix's system directories, the
// dialogs answered by the autopilot and the log lines in code page 936.
#include "app/troubleshooter_app.h"
#include "checks/file_checks.h"
#include "machine_state.h"
#include "package_fixture.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const wchar_t kTestFile[] = L"XERB5TST.DLL";
const wchar_t kExpectedDate[] = L"2004/06/18";
const wchar_t kExpectedTime[] = L"12:00:00";
const wchar_t kExpectedStamp[] = L"2004/06/18 12:00:00";
// The manifest's code of the printer-driver directory of the spooler's environment.
const std::wstring kDir = kDriverDirCode;

std::wstring InDirectory(const std::wstring& directory, const wchar_t* name = kTestFile)
{
    return directory + L"\\" + name;
}

std::wstring InDriverDir(const wchar_t* name = kTestFile)
{
    return InDirectory(DriverDir(), name);
}
std::wstring InSystemDir(const wchar_t* name = kTestFile)
{
    return InDirectory(SystemDir(), name);
}
std::wstring InDriversDir(const wchar_t* name = kTestFile)
{
    return InDirectory(SystemDir() + L"\\drivers", name);
}

ULONGLONG ExpectedMoment()
{
    return LocalMoment(2004, 6, 18, 12, 0, 0);
}

// "C:\windows\x" shown as "C:\...\x".
std::wstring Shortened(const std::wstring& path)
{
    size_t second = path.find(L'\\', path.find(L'\\') + 1);
    return path.substr(0, path.find(L'\\') + 1) + L"..." + path.substr(second);
}

// One file entry: name, four ignored fields, three locations, size, time, date, version.
std::wstring Entry(const std::wstring& name, const std::wstring& locations, const std::wstring& size,
                   const std::wstring& version, const std::wstring& time = kExpectedTime,
                   const std::wstring& date = kExpectedDate)
{
    return name + L" 1,0 dll copy " + locations + L" " + size + L" " + time + L" " + date + L" " + version + L"\r\n";
}

std::wstring FileList(const std::wstring& entries)
{
    return L"[ZELT Groups]\r\nGroupName=Test\r\nNumItems=0\r\n[ZELTFileConfig]\r\n" + entries +
           L"[ZELT Startup]\r\nNumItems=0\r\n";
}

const std::string kAllFilesExpected = Ansi(L"所有文件均为预期版本。\r\n");

std::string MissingLine(const std::wstring& path)
{
    return Ansi(L"错误:" + path + L" 丢失。\r\n");
}

// The size of a file the test placed, as the log writes it.
std::wstring SizeText(const std::wstring& path)
{
    ULONGLONG size = 0;
    EXPECT_TRUE(FileSize(path, size));
    return std::to_wstring(size);
}

// A package file of the test in one of the directories, put back as it was after.
class TestFile {
public:
    explicit TestFile(std::wstring path) : aside_(std::move(path)) {}

    // A PE file with version a.b.c.d, written at `ticks`.
    void Place(WORD a, WORD b, WORD c, WORD d, ULONGLONG ticks = ExpectedMoment())
    {
        WritePeFile(path(), true, a, b, c, d);
        SetLastWriteTicks(path(), ticks);
    }
    // A file without a version resource.
    void PlaceData(ULONGLONG ticks = ExpectedMoment())
    {
        WriteBytes(path(), "help file contents");
        SetLastWriteTicks(path(), ticks);
    }
    const std::wstring& path() const { return aside_.path(); }
    std::wstring size() const { return SizeText(path()); }

private:
    SetAside aside_;
};

class FileChecks : public ::testing::Test {
protected:
    FileChecks()
    {
        lstrcpyW(app_.logFilePath, log_.path());
        lstrcpyW(app_.driverName, L"Tavik QX2210-2370");
    }

    // Runs the whole file check on the given manifest, answering the dialogs from the list.
    int Load(const std::wstring& manifestText, std::vector<int> answers)
    {
        ScopedManifest manifest(manifestText);
        pilot_ = AnswerPilot(std::move(answers));
        ScopedAutopilot flying(pilot_);
        return app_.LoadFileManifest();
    }

    // One file compared, answering the dialogs from the list.
    int Compare(const std::wstring& path, const std::wstring& size, const wchar_t* version,
                const wchar_t* stamp = kExpectedStamp, std::vector<int> answers = {})
    {
        pilot_ = AnswerPilot(std::move(answers));
        ScopedAutopilot flying(pilot_);
        line_[0] = 0;
        return app_.CheckFileVersion(path.c_str(), size.c_str(), version, stamp, line_);
    }

    const DialogSnapshot& Dialog(size_t n = 0)
    {
        static const DialogSnapshot none;
        EXPECT_GT(pilot_.seen.size(), n);
        return n < pilot_.seen.size() ? pilot_.seen[n] : none;
    }

    void ExpectDifference(const DialogSnapshot& dialog, const std::wstring& message, const wchar_t* currentLabel,
                          const std::wstring& current, const wchar_t* expectedLabel, const std::wstring& expected)
    {
        EXPECT_EQ(dialog.templateId, UINT(IDD_FILE_VERSION));
        EXPECT_EQ(dialog.text(IDC_VERSION_TEXT), message);
        EXPECT_EQ(dialog.text(IDC_VERSION_CURRENT_LABEL), currentLabel);
        EXPECT_EQ(dialog.text(IDC_VERSION_CURRENT_VALUE), current);
        EXPECT_EQ(dialog.text(IDC_VERSION_EXPECTED_LABEL), expectedLabel);
        EXPECT_EQ(dialog.text(IDC_VERSION_EXPECTED_VALUE), expected);
    }

    CTroubleshooterApp app_;
    TempLog log_;
    AnswerPilot pilot_;
    wchar_t line_[256] = {};
    TestFile driverCopy_{ InDriverDir() };
    TestFile systemCopy_{ InSystemDir() };
    TestFile driversCopy_{ InDriversDir() };
};

}  // namespace

// --- Manifest presence ---------------------------------------------------------------------------

// The walk of the list on its own, without an application object: told place by place.
class RecordingVisitor : public FileListVisitor {
public:
    explicit RecordingVisitor(std::wstring stopAt) : stopAt_(std::move(stopAt)) {}
    bool Missing(const PackageFileEntry&, const std::wstring& path) override { return Tell(L"missing " + path); }
    bool Present(const PackageFileEntry& entry, const std::wstring& path) override
    {
        return Tell(L"present " + path + L" " + entry.sizeText + L" " + entry.versionText + L" " + entry.stamp);
    }
    std::vector<std::wstring> told;

private:
    bool Tell(const std::wstring& line)
    {
        told.push_back(line);
        return line != stopAt_;
    }
    std::wstring stopAt_;
};

TEST(FileListWalk, TellsEachPlaceInTheOrderOfTheList)
{
    const std::wstring kernel = InSystemDir(L"kernel32.dll"), absent = InSystemDir(L"XERB5NO.DLL");
    struct Case {
        const char* label;
        std::wstring body;
        std::wstring stopAt;
        bool walked;
        int checked;
        std::vector<std::wstring> told;
    };
    const Case cases[] = {
        { "each location the machine has, an unknown code passed over",
          L"kernel32.dll 1,0 dll copy SYS32 XX DRV 100 12:00:00 2004/06/18 1.2.3.4\r\n", L"", true, 1,
          { L"present " + kernel + L" 100 1.2.3.4 2004/06/18 12:00:00",
            L"missing " + InDriversDir(L"kernel32.dll") } },
        { "a comment line is passed over",
          L"; kernel32.dll 1,0 dll copy SYS32 x x 1 t d v\r\nXERB5NO.DLL 1,0 dll copy SYS32 x x 1 t d v\r\n", L"",
          true, 1, { L"missing " + absent } },
        { "an entry cut short is not checked", L"XERB5NO.DLL 1,0 dll copy SYS32 x x 1 t d\r\n", L"", true, 0, {} },
        { "an entry of no place the machine has is not counted", L"XERB5NO.DLL 1,0 dll copy XX YY ZZ 1 t d v\r\n",
          L"", true, 0, {} },
        { "false ends the walk",
          L"XERB5NO.DLL 1,0 dll copy SYS32 DRV x 1 t d v\r\nkernel32.dll 1,0 dll copy SYS32 x x 1 t d v\r\n",
          L"missing " + absent, false, 1, { L"missing " + absent } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::wstring body = c.body;
        RecordingVisitor visitor(c.stopAt);
        int checked = 0;
        EXPECT_EQ(WalkFileList(body.data(), visitor, checked), c.walked);
        EXPECT_EQ(checked, c.checked);
        EXPECT_EQ(visitor.told, c.told);
    }
}

TEST_F(FileChecks, ManifestPresentOrMissing)
{
    {
        ScopedManifest manifest(FileList(L""));
        EXPECT_EQ(app_.CheckManifestFile(), 1);
        EXPECT_EQ(app_.filesAsExpected, 1);
    }
    ScopedManifest absent;
    EXPECT_EQ(app_.CheckManifestFile(), 0);
    EXPECT_EQ(app_.filesAsExpected, 0);
    EXPECT_EQ(app_.LoadFileManifest(), 1);
    EXPECT_EQ(log_.bytes(), "") << "the missing manifest is reported by the sequence";
}

// --- Presence in each location -------------------------------------------------------------------

TEST_F(FileChecks, FilesAsExpectedWriteTheirOneLine)
{
    driverCopy_.Place(3, 10, 0, 120);
    systemCopy_.Place(3, 10, 0, 120);
    EXPECT_EQ(Load(FileList(Entry(kTestFile, kDir + L" SYS32 W32", driverCopy_.size(), L"3.10.0.120")), {}), 1);
    EXPECT_TRUE(pilot_.seen.empty());
    EXPECT_EQ(log_.bytes(), kAllFilesExpected);
    EXPECT_EQ(app_.filesAsExpected, 1);
    EXPECT_EQ(app_.runFlags, 0);
}

TEST_F(FileChecks, MissingInOneOfThreeLocations)
{
    driverCopy_.Place(3, 10, 0, 120);
    driversCopy_.Place(3, 10, 0, 120);
    EXPECT_EQ(Load(FileList(Entry(kTestFile, kDir + L",SYS32,DRV", driverCopy_.size(), L"3.10.0.120")),
                   { IDC_MISSING_CONTINUE }),
              1);
    ASSERT_EQ(pilot_.seen.size(), 1u);
    EXPECT_EQ(Dialog().templateId, UINT(IDD_FILE_MISSING));
    EXPECT_EQ(Dialog().text(IDC_MISSING_TEXT), Shortened(InSystemDir()) + L" 丢失。");
    EXPECT_EQ(log_.bytes(), MissingLine(InSystemDir()));
    EXPECT_EQ(app_.filesAsExpected, 0);
    EXPECT_EQ(app_.runFlags, 0x0A);
}

TEST_F(FileChecks, EachMissingCopyHasItsDialogAndLine)
{
    EXPECT_EQ(Load(FileList(Entry(kTestFile, kDir + L" SYS32 DRV", L"100", L"3.10.0.120")),
                   { IDC_MISSING_CONTINUE, IDC_MISSING_CONTINUE, IDC_MISSING_CONTINUE }),
              1);
    ASSERT_EQ(pilot_.seen.size(), 3u);
    EXPECT_EQ(Dialog(0).text(IDC_MISSING_TEXT), Shortened(InDriverDir()) + L" 丢失。");
    EXPECT_EQ(Dialog(1).text(IDC_MISSING_TEXT), Shortened(InSystemDir()) + L" 丢失。");
    EXPECT_EQ(Dialog(2).text(IDC_MISSING_TEXT), Shortened(InDriversDir()) + L" 丢失。");
    EXPECT_EQ(log_.bytes(), MissingLine(InDriverDir()) + MissingLine(InSystemDir()) + MissingLine(InDriversDir()));
}

TEST_F(FileChecks, ExitInTheMissingFileDialogEndsTheWalk)
{
    EXPECT_EQ(Load(FileList(Entry(kTestFile, kDir + L" SYS32 DRV", L"100", L"3.10.0.120") +
                            Entry(L"XERB5TS2.DLL", kDir + L" - -", L"100", L"3.10.0.120")),
                   { IDC_MISSING_EXIT }),
              0);
    EXPECT_EQ(pilot_.seen.size(), 1u);
    EXPECT_EQ(log_.bytes(), MissingLine(InDriverDir()));
}

TEST_F(FileChecks, UnknownLocationCodesAreNotLookedIn)
{
    EXPECT_EQ(Load(FileList(Entry(L"XERB5TS2.DLL", L"W32 w32_3 -", L"100", L"3.10.0.120") +
                            Entry(kTestFile, L"- " + kDir + L" -", L"100", L"3.10.0.120")),
                   { IDC_MISSING_CONTINUE }),
              1);
    ASSERT_EQ(pilot_.seen.size(), 1u);
    EXPECT_EQ(log_.bytes(), MissingLine(InDriverDir()));
}

// --- Version -------------------------------------------------------------------------------------

TEST_F(FileChecks, NewerVersionPassesWhateverItsTimeAndSize)
{
    driverCopy_.Place(3, 10, 0, 121, ExpectedMoment() - 2400 * kTicksPerHour);
    EXPECT_EQ(Compare(driverCopy_.path(), L"1", L"3.10.0.120"), 0);
    driverCopy_.Place(4, 0, 0, 0, ExpectedMoment() + 2400 * kTicksPerHour);
    EXPECT_EQ(Compare(driverCopy_.path(), L"1", L"3.10.0.120"), 0) << "most significant part first";
    EXPECT_TRUE(pilot_.seen.empty());
}

TEST_F(FileChecks, OlderVersionShowsTheVersionDialog)
{
    driverCopy_.Place(3, 2, 0, 95);
    const std::wstring size = driverCopy_.size();
    EXPECT_EQ(Compare(driverCopy_.path(), size, L"3.10.0.120", kExpectedStamp, { IDC_VERSION_CONTINUE }),
              IDC_VERSION_CONTINUE);
    ASSERT_EQ(pilot_.seen.size(), 1u);
    ExpectDifference(Dialog(), Shortened(driverCopy_.path()) + L" 为意外的版本。", L"当前版本", L"3.02.0.095", L"预期版本",
                     L"3.10.0.120");
    EXPECT_EQ(std::wstring(line_), L"当前版本=3.02.0.095 当前时间印记=2004/06/18 12:00:00 当前大小=" + size + L"\r\n");

    EXPECT_EQ(Compare(driverCopy_.path(), size, L"3.10.0.120", kExpectedStamp, { IDC_VERSION_EXIT }),
              IDC_VERSION_EXIT);
}

TEST_F(FileChecks, FileWithoutVersionResource)
{
    driverCopy_.PlaceData();
    const std::wstring size = driverCopy_.size();
    EXPECT_EQ(Compare(driverCopy_.path(), size, L"3.10.0.120", kExpectedStamp, { IDC_VERSION_CONTINUE }),
              IDC_VERSION_CONTINUE);
    ExpectDifference(Dialog(), Shortened(driverCopy_.path()) + L" 为意外的版本。", L"当前版本", L"00.00.00.00",
                     L"预期版本", L"3.10.0.120");
    EXPECT_EQ(std::wstring(line_), L"当前版本=00.00.00.00 当前时间印记=2004/06/18 12:00:00 当前大小=" + size + L"\r\n");

    // A program whose resources hold no version: the same.
    WritePeFile(driverCopy_.path(), false);
    SetLastWriteTicks(driverCopy_.path(), ExpectedMoment());
    EXPECT_EQ(Compare(driverCopy_.path(), driverCopy_.size(), L"3.10.0.120", kExpectedStamp, { IDC_VERSION_CONTINUE }),
              IDC_VERSION_CONTINUE);
    EXPECT_EQ(Dialog(0).text(IDC_VERSION_CURRENT_VALUE), L"00.00.00.00");
}

TEST_F(FileChecks, FourZerosMeanNoVersionToCompare)
{
    driverCopy_.PlaceData();
    const std::wstring size = driverCopy_.size();
    EXPECT_EQ(Compare(driverCopy_.path(), size, L"0.00.0.000"), 0);
    EXPECT_EQ(std::wstring(line_), L"当前版本=00.00.00.00 当前时间印记=2004/06/18 12:00:00 当前大小=" + size + L"\r\n");
    SetLastWriteTicks(driverCopy_.path(), ExpectedMoment() + 26 * kTicksPerHour);
    EXPECT_EQ(Compare(driverCopy_.path(), size, L"0.00.0.000"), 0) << "newer";
    SetLastWriteTicks(driverCopy_.path(), ExpectedMoment() - 26 * kTicksPerHour);
    EXPECT_EQ(Compare(driverCopy_.path(), size, L"0.00.0.000", kExpectedStamp, { IDC_VERSION_CONTINUE }),
              IDC_VERSION_CONTINUE)
        << "older";
    EXPECT_EQ(Dialog().text(IDC_VERSION_CURRENT_LABEL), L"当前时间印记");
}

// An expected version with fewer than three dots has no version to compare.
TEST_F(FileChecks, ExpectedVersionWithFewerDots)
{
    driverCopy_.Place(1, 0, 0, 0);
    const std::wstring size = driverCopy_.size();
    for (const wchar_t* version : { L"3.10", L"3.10.0", L"7", L"" }) {
        EXPECT_EQ(Compare(driverCopy_.path(), size, version), 0) << Ansi(version);
        EXPECT_TRUE(pilot_.seen.empty());
        EXPECT_EQ(std::wstring(line_), L"当前版本=00.00.00.00 当前时间印记=2004/06/18 12:00:00 当前大小=" + size + L"\r\n");
    }
    EXPECT_EQ(Load(FileList(Entry(kTestFile, kDir + L" - -", size, L"3.10")), {}), 1);
    EXPECT_EQ(log_.bytes(), kAllFilesExpected);
}

// --- Time stamp ----------------------------------------------------------------------------------

TEST_F(FileChecks, TwentyFourHoursOffPassesTwentySixDoNot)
{
    driverCopy_.Place(3, 10, 0, 120);
    const std::wstring size = driverCopy_.size();
    for (long long hours : { -24, 24, -25, 25 }) {
        SetLastWriteTicks(driverCopy_.path(), ExpectedMoment() + hours * kTicksPerHour);
        EXPECT_EQ(Compare(driverCopy_.path(), size, L"3.10.0.120"), 0) << hours << " hours";
    }
    SetLastWriteTicks(driverCopy_.path(), ExpectedMoment() - 26 * kTicksPerHour);
    EXPECT_EQ(Compare(driverCopy_.path(), size, L"3.10.0.120", kExpectedStamp, { IDC_VERSION_CONTINUE }),
              IDC_VERSION_CONTINUE);
    ExpectDifference(Dialog(), Shortened(driverCopy_.path()) + L" 为意外时间印记。", L"当前时间印记",
                     L"2004/06/17 10:00:00", L"预期时间印记", kExpectedStamp);

    SetLastWriteTicks(driverCopy_.path(), ExpectedMoment() + 26 * kTicksPerHour);
    EXPECT_EQ(Compare(driverCopy_.path(), size, L"3.10.0.120", kExpectedStamp, { IDC_VERSION_EXIT }),
              IDC_VERSION_EXIT);
    EXPECT_EQ(Dialog().text(IDC_VERSION_CURRENT_VALUE), L"2004/06/19 14:00:00");
}

// A newer file passes when the expected version's first part is 0 and its second is not.
TEST_F(FileChecks, NewerTimeAcceptedForVersionsZeroDotNonzero)
{
    driverCopy_.Place(0, 2, 0, 7, ExpectedMoment() + 26 * kTicksPerHour);
    const std::wstring size = driverCopy_.size();
    EXPECT_EQ(Compare(driverCopy_.path(), size, L"0.02.0.007"), 0);
    SetLastWriteTicks(driverCopy_.path(), ExpectedMoment() - 26 * kTicksPerHour);
    EXPECT_EQ(Compare(driverCopy_.path(), size, L"0.02.0.007", kExpectedStamp, { IDC_VERSION_CONTINUE }),
              IDC_VERSION_CONTINUE)
        << "older";
}

TEST_F(FileChecks, TwoDigitYearIsNineteenHundreds)
{
    driverCopy_.Place(3, 10, 0, 120, LocalMoment(1999, 6, 18, 12, 0, 0));
    EXPECT_EQ(Compare(driverCopy_.path(), driverCopy_.size(), L"3.10.0.120", L"99/06/18 12:00:00"), 0);
}

// Fields out of range carry into the next larger one, as the C library's mktime carries them.
TEST_F(FileChecks, FieldsOutOfRangeCarryIntoTheNextField)
{
    struct Case {
        const wchar_t* stamp;
        ULONGLONG moment;
    };
    const Case cases[] = {
        { L"2004/13/18 12:00:00", LocalMoment(2005, 1, 18, 12, 0, 0) },
        { L"2004/06/31 12:00:00", LocalMoment(2004, 7, 1, 12, 0, 0) },
        { L"2004/03/00 12:00:00", LocalMoment(2004, 2, 29, 12, 0, 0) },
        { L"2004/00/18 12:00:00", LocalMoment(2003, 12, 18, 12, 0, 0) },
        { L"2004/06/18 36:00:70", LocalMoment(2004, 6, 19, 12, 1, 10) },
        { L"104/06/18 12:00:00", LocalMoment(2004, 6, 18, 12, 0, 0) },
    };
    driverCopy_.Place(3, 10, 0, 120);
    const std::wstring size = driverCopy_.size();
    for (const Case& c : cases) {
        SetLastWriteTicks(driverCopy_.path(), c.moment + 20 * kTicksPerHour);
        EXPECT_EQ(Compare(driverCopy_.path(), size, L"3.10.0.120", c.stamp), 0) << Ansi(c.stamp);
        SetLastWriteTicks(driverCopy_.path(), c.moment - 26 * kTicksPerHour);
        EXPECT_EQ(Compare(driverCopy_.path(), size, L"3.10.0.120", c.stamp, { IDC_VERSION_CONTINUE }),
                  IDC_VERSION_CONTINUE)
            << Ansi(c.stamp);
        EXPECT_EQ(Dialog().text(IDC_VERSION_CURRENT_LABEL), L"当前时间印记") << Ansi(c.stamp);
    }
}

// A stamp that names no moment the C library can hold (before 1970 even after adding 1900,
// or none at all) stands for one second before 1970: every file is newer, and the newer-file
// rule decides.
TEST_F(FileChecks, StampWithoutAMomentLeavesItToTheNewerFileRule)
{
    driverCopy_.Place(0, 2, 0, 7);
    const std::wstring size = driverCopy_.size();
    for (const wchar_t* stamp : { L"0000/00/00 00:00:00", L"69/12/31 23:00:00", L"", L"tomorrow" }) {
        EXPECT_EQ(Compare(driverCopy_.path(), size, L"0.02.0.007", stamp), 0) << Ansi(stamp);
        EXPECT_EQ(Compare(driverCopy_.path(), size, L"0.00.0.000", stamp), 0) << Ansi(stamp);
        EXPECT_TRUE(pilot_.seen.empty()) << Ansi(stamp);
    }
    driverCopy_.Place(3, 10, 0, 120);
    EXPECT_EQ(Compare(driverCopy_.path(), driverCopy_.size(), L"3.10.0.120", L"0000/00/00 00:00:00",
                      { IDC_VERSION_CONTINUE }),
              IDC_VERSION_CONTINUE);
    ExpectDifference(Dialog(), Shortened(driverCopy_.path()) + L" 为意外时间印记。", L"当前时间印记",
                     L"2004/06/18 12:00:00", L"预期时间印记", L"0000/00/00 00:00:00");
}

// --- Size ----------------------------------------------------------------------------------------

TEST_F(FileChecks, SizeDifferenceShowsTheSizeAsPlainNumber)
{
    driverCopy_.Place(3, 10, 0, 120);
    const std::wstring size = driverCopy_.size();
    EXPECT_EQ(Compare(driverCopy_.path(), L"0001", L"3.10.0.120", kExpectedStamp, { IDC_VERSION_CONTINUE }),
              IDC_VERSION_CONTINUE);
    ExpectDifference(Dialog(), Shortened(driverCopy_.path()) + L" 为意外的大小。", L"当前大小", size, L"预期大小",
                     L"0001");
}

TEST_F(FileChecks, FileHeldOpenForWritingCountsAsCorrect)
{
    driverCopy_.Place(1, 0, 0, 0);
    HANDLE writer = CreateFileW(driverCopy_.path().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Compare(driverCopy_.path(), L"1", L"3.10.0.120"), -1);
    EXPECT_EQ(Load(FileList(Entry(kTestFile, kDir + L" - -", L"1", L"3.10.0.120")), {}), 1);
    CloseHandle(writer);
    EXPECT_TRUE(pilot_.seen.empty());
    EXPECT_EQ(log_.bytes(), kAllFilesExpected);
}

// --- The walk: log lines, Continue and Exit ------------------------------------------------------

TEST_F(FileChecks, ContinueWritesThreeLinesAndGoesOn)
{
    driverCopy_.Place(3, 2, 0, 95);
    const std::wstring size = driverCopy_.size();
    EXPECT_EQ(Load(FileList(Entry(kTestFile, kDir + L" - -", size, L"3.10.0.120") +
                            Entry(L"XERB5TS2.DLL", L"SYS32 - -", L"100", L"3.10.0.120")),
                   { IDC_VERSION_CONTINUE, IDC_MISSING_CONTINUE }),
              1);
    ASSERT_EQ(pilot_.seen.size(), 2u);
    EXPECT_EQ(Dialog(1).templateId, UINT(IDD_FILE_MISSING));
    EXPECT_EQ(log_.bytes(), Ansi(L"错误:" + driverCopy_.path() + L"\r\n" +
                                L"当前版本=3.02.0.095 当前时间印记=2004/06/18 12:00:00 当前大小=" + size + L"\r\n" +
                                L"预期版本=3.10.0.120 预期时间印记=2004/06/18 12:00:00 预期大小=" + size + L"\r\n") +
                                MissingLine(InSystemDir(L"XERB5TS2.DLL")));
    EXPECT_EQ(app_.runFlags, 0x0A);
    EXPECT_EQ(app_.filesAsExpected, 0);
}

TEST_F(FileChecks, ExitInTheVersionDialogEndsTheWalk)
{
    driverCopy_.Place(3, 10, 0, 120);
    systemCopy_.Place(3, 10, 0, 120);
    const std::wstring size = driverCopy_.size();
    EXPECT_EQ(Load(FileList(Entry(kTestFile, kDir + L" SYS32 -", L"12", L"3.10.0.120") +
                            Entry(L"XERB5TS2.DLL", L"SYS32 - -", L"100", L"3.10.0.120")),
                   { IDC_VERSION_EXIT }),
              0);
    EXPECT_EQ(pilot_.seen.size(), 1u) << "neither the second location nor the next entry";
    EXPECT_EQ(log_.bytes(), Ansi(L"错误:" + driverCopy_.path() + L"\r\n" +
                                L"当前版本=3.10.0.120 当前时间印记=2004/06/18 12:00:00 当前大小=" + size + L"\r\n" +
                                L"预期版本=3.10.0.120 预期时间印记=2004/06/18 12:00:00 预期大小=12\r\n"));
}

TEST_F(FileChecks, SizeAndTimeStampFindingsLogLines)
{
    driverCopy_.Place(3, 10, 0, 120);
    systemCopy_.PlaceData(ExpectedMoment() - 26 * kTicksPerHour);
    const std::wstring driverSize = driverCopy_.size(), systemSize = systemCopy_.size();
    EXPECT_EQ(Load(FileList(Entry(kTestFile, kDir + L" - -", L"7", L"3.10.0.120") +
                            Entry(kTestFile, L"SYS32 - -", systemSize, L"0.00.0.000")),
                   { IDC_VERSION_CONTINUE, IDC_VERSION_CONTINUE }),
              1);
    ASSERT_EQ(pilot_.seen.size(), 2u);
    EXPECT_EQ(Dialog(0).text(IDC_VERSION_CURRENT_LABEL), L"当前大小");
    EXPECT_EQ(Dialog(1).text(IDC_VERSION_CURRENT_LABEL), L"当前时间印记");
    EXPECT_EQ(log_.bytes(),
              Ansi(L"错误:" + driverCopy_.path() + L"\r\n" +
                  L"当前版本=3.10.0.120 当前时间印记=2004/06/18 12:00:00 当前大小=" + driverSize + L"\r\n" +
                  L"预期版本=3.10.0.120 预期时间印记=2004/06/18 12:00:00 预期大小=7\r\n" + L"错误:" + systemCopy_.path() +
                  L"\r\n" + L"当前版本=00.00.00.00 当前时间印记=2004/06/17 10:00:00 当前大小=" + systemSize + L"\r\n" +
                  L"预期版本=0.00.0.000 预期时间印记=2004/06/18 12:00:00 预期大小=" + systemSize + L"\r\n"));
}

// The first entry's time stamp is split while the scan of the section is under way; the scan
// then still finds the second entry.
TEST_F(FileChecks, TimeStampSplitLeavesTheScanInPlace)
{
    driverCopy_.Place(3, 10, 0, 120);
    EXPECT_EQ(Load(FileList(Entry(kTestFile, kDir + L" - -", driverCopy_.size(), L"3.10.0.120") +
                            Entry(L"XERB5TS2.DLL", L"DRV - -", L"100", L"3.10.0.120")),
                   { IDC_MISSING_CONTINUE }),
              1);
    ASSERT_EQ(pilot_.seen.size(), 1u);
    EXPECT_EQ(Dialog().text(IDC_MISSING_TEXT), Shortened(InDriversDir(L"XERB5TS2.DLL")) + L" 丢失。");
}

// --- Section text --------------------------------------------------------------------------------

// A list that yields nothing to check is damaged, unless it is a header followed by nothing but
// blank and comment lines: the empty list an installer writes.
TEST_F(FileChecks, EmptyListAsTheInstallerWritesIt)
{
    for (const std::wstring& text : { FileList(L""), FileList(L";file,disk,flags\r\n\r\n  ; none\r\n"),
                                      std::wstring(L"[ZELTFileConfig]") }) {
        TempLog log;
        lstrcpyW(app_.logFilePath, log.path());
        EXPECT_EQ(Load(text, {}), 1) << Ansi(text);
        EXPECT_TRUE(pilot_.seen.empty()) << Ansi(text);
        EXPECT_EQ(log.bytes(), kAllFilesExpected) << Ansi(text);
    }
    EXPECT_EQ(app_.runFlags, 0);
}

TEST_F(FileChecks, DamagedListIsAFindingThatAsksForReinstalling)
{
    const std::wstring entry = Entry(kTestFile, kDir + L" - -", L"100", L"3.10.0.120");
    const std::string groups = Ansi(L"[ZELT Groups]\r\nGroupName=Test\r\nNumItems=0\r\n");
    std::wstring wide = L"\xFEFF" + FileList(entry);
    const std::string utf16(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
    const std::string damaged[] = {
        utf16,                                                                   // saved as UTF-16
        groups + std::string(1, '\0') + Ansi(L"[ZELTFileConfig]\r\n" + entry),   // a zero byte before the list
        groups + Ansi(L"[zeltfileconfig]\r\n" + entry),                         // other letter case
        groups + Ansi(L"[ ZELTFileConfig ]\r\n" + entry),                       // blanks inside the brackets
        groups,                                                                  // no list at all
        Ansi(L"[ZELTFileConfig]\r\nXERB5TST.DLL 1 2 3 4 W32_3 SYS32 DRV 100 12:00:00 2004/06/18"),  // cut short
        Ansi(L"[ZELTFileConfig]\r\nXERB5TST.DLL 1 2 3 4 W32_3 - -\r\n[Next]\r\n100 12:00:00 2004/06/18 1.0.0.0\r\n"),
        Ansi(FileList(Entry(kTestFile, L"W32 - -", L"100", L"3.10.0.120"))),    // no location looked in
    };
    const std::wstring manifest = DriverDir() + L"\\XERB5INK.DAT";
    const std::string line = Ansi(L"错误:" + manifest + L" 中的文件列表已损坏。\r\n");
    for (const std::string& bytes : damaged) {
        CTroubleshooterApp app;
        TempLog log;
        lstrcpyW(app.logFilePath, log.path());
        lstrcpyW(app.driverName, L"Tavik QX2210-2370");
        SetAside aside(manifest);
        WriteBytes(manifest, bytes);
        AnswerPilot pilot({ IDC_VERSION_CONTINUE });
        {
            ScopedAutopilot flying(pilot);
            EXPECT_EQ(app.LoadFileManifest(), 1);
        }
        ASSERT_EQ(pilot.seen.size(), 1u) << bytes;
        EXPECT_EQ(pilot.seen[0].templateId, UINT(IDD_FILE_VERSION));
        EXPECT_EQ(pilot.seen[0].text(IDC_VERSION_TEXT), Shortened(manifest) + L" 中的文件列表已损坏。");
        EXPECT_EQ(pilot.seen[0].text(IDC_VERSION_REINSTALL), L"重新安装 Tavik QX2210-2370。");
        EXPECT_EQ(log.bytes(), line) << bytes;
        EXPECT_EQ(app.runFlags, 0x0A);
        EXPECT_EQ(app.filesAsExpected, 0);
    }
    // Exit there ends the run.
    EXPECT_EQ(Load(L"[ZELT Groups]\r\nNumItems=0\r\n", { IDC_VERSION_EXIT }), 0);
    EXPECT_EQ(log_.bytes(), line);
}

// CR alone ends a line, and a "[" inside a line does not end the list.
TEST_F(FileChecks, LineEndsAndBracketsInsideComments)
{
    const std::wstring entry = Entry(kTestFile, kDir + L" - -", L"100", L"3.10.0.120");
    std::wstring crOnly = L";files\r" + entry;
    crOnly.replace(crOnly.find(L"\r\n"), 2, L"\r");
    for (const std::wstring& list : { crOnly, L"; see [notes]\r\n" + entry, entry + L"; [end]\r\n" + entry }) {
        TempLog log;
        lstrcpyW(app_.logFilePath, log.path());
        EXPECT_EQ(Load(L"[ZELTFileConfig]\r" + list + L"  [ZELT Startup]\r\nNumItems=0\r\n",
                       { IDC_MISSING_CONTINUE, IDC_MISSING_CONTINUE }),
                  1)
            << Ansi(list);
        EXPECT_EQ(log.bytes(), list.find(L"[end]") == std::wstring::npos
                                   ? MissingLine(InDriverDir())
                                   : MissingLine(InDriverDir()) + MissingLine(InDriverDir()))
            << Ansi(list);
    }
}

// A comment runs to the end of its line, also when it is a single word.
TEST_F(FileChecks, CommentsRunToTheEndOfTheirLine)
{
    const std::wstring entry = Entry(kTestFile, kDir + L" - -", L"100", L"3.10.0.120");
    for (const std::wstring& comments : { L";files\r\n" + entry, L"; the package's files, W32_3 SYS32\r\n" + entry,
                                          L";files\n" + entry, entry + L";end\r\n" }) {
        TempLog log;
        lstrcpyW(app_.logFilePath, log.path());
        EXPECT_EQ(Load(FileList(comments), { IDC_MISSING_CONTINUE }), 1) << Ansi(comments);
        EXPECT_EQ(pilot_.seen.size(), 1u) << Ansi(comments);
        EXPECT_EQ(log.bytes(), MissingLine(InDriverDir())) << Ansi(comments);
    }
}

TEST_F(FileChecks, ManifestReadInTheAnsiCodePage)
{
    // A Chinese file name written in code page 936 is looked for under its own name.
    EXPECT_EQ(Load(FileList(Entry(L"测试文件.DLL", kDir + L" - -", L"100", L"3.10.0.120")), { IDC_MISSING_CONTINUE }), 1);
    EXPECT_EQ(log_.bytes(), MissingLine(InDriverDir(L"测试文件.DLL")));
    EXPECT_EQ(log_.bytes().substr(0, 5), "\xb4\xed\xce\xf3:");
}

// --- Values lines --------------------------------------------------------------------------------

TEST_F(FileChecks, MismatchLines)
{
    wchar_t out[256];
    app_.LogFileMismatch(1, L"3.10.0.120", L"2004/06/18 12:00:00", 3000000000u, out);
    EXPECT_EQ(std::wstring(out), L"当前版本=3.10.0.120 当前时间印记=2004/06/18 12:00:00 当前大小=-1294967296\r\n")
        << "the size is formatted with %d";
    app_.LogFileMismatch(0, L"0", L"2004/06/18 12:00:00", 512, out);
    EXPECT_EQ(std::wstring(out), L"预期时间印记=2004/06/18 12:00:00 预期大小=512\r\n");
    app_.LogFileMismatch(0, L"00", L"x", 1, out);
    EXPECT_EQ(std::wstring(out), L"预期版本=00 预期时间印记=x 预期大小=1\r\n");

    const std::wstring longVersion(400, L'9');
    app_.LogFileMismatch(0, longVersion.c_str(), L"x", 1, out);
    std::wstring line = out;
    EXPECT_EQ(line.size(), 255u);
    EXPECT_EQ(line.substr(253), L"\r\n") << "a cut line keeps its end";
}

// --- Tokenizer -----------------------------------------------------------------------------------

TEST(Tokenizer, SplitsOnAPrivateCopy)
{
    CTroubleshooterApp app;
    TokenizerState state;
    app.InitTokenizer(&state);
    EXPECT_EQ(state.copy, nullptr);
    EXPECT_EQ(state.cursor, nullptr);
    EXPECT_EQ(app.NextToken(nullptr, L",", &state), nullptr) << "nothing to split yet";

    wchar_t text[] = L",,a, b,,c";
    std::vector<std::wstring> tokens;
    for (wchar_t* token = app.NextToken(text, L", ", &state); token; token = app.NextToken(nullptr, L", ", &state))
        tokens.push_back(token);
    EXPECT_EQ(tokens, (std::vector<std::wstring>{ L"a", L"b", L"c" }));
    EXPECT_STREQ(text, L",,a, b,,c") << "the text itself is not touched";
    EXPECT_EQ(app.NextToken(nullptr, L",", &state), nullptr);

    wchar_t other[] = L"x:y";
    EXPECT_STREQ(app.NextToken(other, L":", &state), L"x") << "a new text replaces the copy";
    EXPECT_STREQ(app.NextToken(nullptr, L":", &state), L"y");
    wchar_t blank[] = L" , ";
    EXPECT_EQ(app.NextToken(blank, L", ", &state), nullptr);
    app.FreeTokenizer(&state);
    EXPECT_EQ(state.copy, nullptr);
    EXPECT_EQ(state.cursor, nullptr);
}

TEST(Tokenizer, TwoStatesDoNotDisturbEachOther)
{
    CTroubleshooterApp app;
    TokenizerState outer, inner;
    app.InitTokenizer(&outer);
    app.InitTokenizer(&inner);
    wchar_t lines[] = L"a b c";
    wchar_t stamp[] = L"2004/06/18 12:00:00";
    EXPECT_STREQ(app.NextToken(lines, L" ", &outer), L"a");
    EXPECT_STREQ(app.NextToken(stamp, L" /:", &inner), L"2004");
    EXPECT_STREQ(app.NextToken(nullptr, L" ", &outer), L"b");
    EXPECT_STREQ(app.NextToken(nullptr, L" /:", &inner), L"06");
    EXPECT_STREQ(app.NextToken(nullptr, L" ", &outer), L"c");
    app.FreeTokenizer(&inner);
    app.FreeTokenizer(&outer);
}

TEST(Tokenizer, FindAnyOf)
{
    CTroubleshooterApp app;
    const wchar_t text[] = L"3.10,0";
    EXPECT_EQ(app.FindAnyOf(text, L",."), text + 1);
    EXPECT_EQ(app.FindAnyOf(text, L","), text + 4);
    EXPECT_EQ(app.FindAnyOf(text, L"/"), nullptr);
    EXPECT_EQ(app.FindAnyOf(L"", L"/"), nullptr);
}

// --- The installed stand-in package, broken on purpose -------------------------------------------

namespace {

struct FileFault {
    const wchar_t* fault;
    std::wstring finding;
};

const FileFault kFileFaults[] = {
    { L"file-missing", L"missing " + Shortened(InDriversDir(L"XERB5LP.SYS")) + L" 丢失。" },
    { L"wrong-version", Shortened(InDriverDir(L"XERB5UIK.DLL")) + L" 为意外的版本。" },
    { L"time-off", Shortened(InDriverDir(L"XERB5K.DLL")) + L" 为意外时间印记。" },
    { L"size-off", Shortened(InDriverDir(L"XERB5.HLP")) + L" 为意外的大小。" },
#ifdef _WIN64
    // A 64-bit spooler loads its monitor from the native system folder only.
    { L"monitor-in-syswow64", L"missing " + Shortened(InSystemDir(L"XERB5LMK.DLL")) + L" 丢失。" },
#endif
};

}  // namespace

TEST_F(InstalledPackage, CleanInstallationHasNoFinding)
{
    EXPECT_EQ(Findings(app_), std::vector<std::wstring>());
    EXPECT_EQ(log_.bytes(), kAllFilesExpected);
    EXPECT_EQ(app_.runFlags, 0);
    EXPECT_EQ(app_.filesAsExpected, 1);
}

TEST_F(InstalledPackage, EachFileFaultIsTheOneFinding)
{
    for (const FileFault& fault : kFileFaults) {
        Break(fault.fault);
        EXPECT_EQ(Findings(app_), std::vector<std::wstring>{ fault.finding }) << Ansi(fault.fault);
        ASSERT_EQ(RunInstaller(L"install"), 0);
        EXPECT_EQ(Findings(app_), std::vector<std::wstring>()) << "installed again";
    }
}

TEST_F(InstalledPackage, OlderBuildLogLines)
{
    Break(L"wrong-version");
    AnswerPilot pilot({ IDC_VERSION_CONTINUE });
    ScopedAutopilot flying(pilot);
    EXPECT_EQ(app_.LoadFileManifest(), 1);
    const std::wstring path = InDriverDir(L"XERB5UIK.DLL");
    const std::wstring size = SizeText(path);  // only the version differs from the manifest's
    EXPECT_EQ(log_.bytes(), Ansi(L"错误:" + path + L"\r\n" + L"当前版本=3.02.0.095 当前时间印记=2003/11/20 09:00:00 当前大小=" +
                                size + L"\r\n" +
                                L"预期版本=3.10.0.120 预期时间印记=2004/06/18 12:00:00 预期大小=" + size + L"\r\n"));
}

// --- Local time in a zone with daylight saving time ----------------------------------------------
// Run only by the test "test_checks_zone", which starts this program with TZ=Europe/Berlin so that
// Wine gives the process Central European time; the expected moments are written in UTC.

namespace {

class DaylightSavingZone : public FileChecks {};

ULONGLONG UtcTicks(WORD year, WORD month, WORD day, WORD hour)
{
    SYSTEMTIME utc = {};
    utc.wYear = year;
    utc.wMonth = month;
    utc.wDay = day;
    utc.wHour = hour;
    FILETIME time = {};
    EXPECT_TRUE(SystemTimeToFileTime(&utc, &time));
    return (ULONGLONG(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

TEST_F(DaylightSavingZone, TimeStampsAreLocalTimeInSummerAndWinter)
{
    TIME_ZONE_INFORMATION zone;
    GetTimeZoneInformation(&zone);
    ASSERT_EQ(zone.Bias, -60) << "not run in Central European time";
    ASSERT_EQ(zone.DaylightBias, -60);

    struct Case {
        const wchar_t* stamp;
        ULONGLONG utc;               // the stamp's moment
        const wchar_t* earlierText;  // 26 hours before it, as local time
        const wchar_t* laterText;    // 26 hours after it
    };
    const Case cases[] = {
        { L"2004/06/18 12:00:00", UtcTicks(2004, 6, 18, 10), L"2004/06/17 10:00:00", L"2004/06/19 14:00:00" },
        { L"2004/01/18 12:00:00", UtcTicks(2004, 1, 18, 11), L"2004/01/17 10:00:00", L"2004/01/19 14:00:00" },
        // Summer time begins on 2004/03/28 at 02:00: the day before is in winter time.
        { L"2004/03/28 12:00:00", UtcTicks(2004, 3, 28, 10), L"2004/03/27 09:00:00", L"2004/03/29 14:00:00" },
    };
    driverCopy_.Place(3, 10, 0, 120);
    const std::wstring size = driverCopy_.size();
    for (const Case& c : cases) {
        for (long long hours : { -24, 24 }) {
            SetLastWriteTicks(driverCopy_.path(), c.utc + hours * kTicksPerHour);
            EXPECT_EQ(Compare(driverCopy_.path(), size, L"3.10.0.120", c.stamp), 0) << Ansi(c.stamp) << hours;
        }
        SetLastWriteTicks(driverCopy_.path(), c.utc - 26 * kTicksPerHour);
        EXPECT_EQ(Compare(driverCopy_.path(), size, L"3.10.0.120", c.stamp, { IDC_VERSION_CONTINUE }),
                  IDC_VERSION_CONTINUE)
            << Ansi(c.stamp);
        EXPECT_EQ(Dialog().text(IDC_VERSION_CURRENT_VALUE), c.earlierText);
        SetLastWriteTicks(driverCopy_.path(), c.utc + 26 * kTicksPerHour);
        EXPECT_EQ(Compare(driverCopy_.path(), size, L"3.10.0.120", c.stamp, { IDC_VERSION_CONTINUE }),
                  IDC_VERSION_CONTINUE)
            << Ansi(c.stamp);
        EXPECT_EQ(Dialog().text(IDC_VERSION_CURRENT_VALUE), c.laterText);
    }
}
