// The package's files against the manifest's [ZELTFileConfig] list: presence in each of their
// locations, then version, last-write time and size. Nothing is repaired here: only
// reinstalling the package brings a file back.
#include "checks/file_checks.h"

#include "checks/check_ids.h"
#include "checks/machine_layout.h"
#include "checks/manifest.h"
#include "checks/tokenizer.h"
#include "framework/raii.h"
#include "framework/strings.h"
#include "framework/version_resource.h"
#include "res/resource.h"

#include <cstdlib>
#include <ctime>
#include <cwchar>
#include <limits>
#include <string>
#include <vector>

namespace {

const wchar_t kSectionHeader[] = L"ZELTFileConfig]";
const wchar_t kEntryDelimiters[] = L" ,\t\r\n";
const wchar_t kStampDelimiters[] = L" /:";

// Fields of one file entry.
enum EntryField { kName = 0, kLocation1 = 5, kLocation3 = 7, kSize = 8, kTime = 9, kDate = 10, kVersion = 11 };
const int kEntryFields = 12;

// A file's last-write time may lie up to 25 hours on either side of the expected moment.
const long long kTicksPerSecond = 10000000;
const long long kTimeWindow = 90000 * kTicksPerSecond;
// File-time ticks at 1970-01-01 00:00:00 UTC, where the C library's time starts.
const long long kUnixEpochTicks = 116444736000000000LL;
const long long kSecondsPerDay = 86400;

const wchar_t* TextOrEmpty(const wchar_t* text)
{
    return text ? text : L"";
}

// A tokenizer state of its own for one split, freed on every path.
class TokenizerScope {
public:
    TokenizerScope() { InitTokenizer(&state_); }
    ~TokenizerScope() { FreeTokenizer(&state_); }
    TokenizerScope(const TokenizerScope&) = delete;
    TokenizerScope& operator=(const TokenizerScope&) = delete;

    wchar_t* Next(wchar_t* text, const wchar_t* delimiters) { return NextToken(text, delimiters, &state_); }
    TokenizerState& state() { return state_; }

private:
    TokenizerState state_;
};

// A comment runs from its ";" to the end of its line, which a CR or an LF ends. The tokenizer
// has overwritten the delimiter that ended the comment's first word in its copy, so the line
// end is looked up in the section text, whose layout the copy shares.
void SkipCommentLine(TokenizerState& state, const wchar_t* section, const wchar_t* token)
{
    const wchar_t* lineEnd = wcspbrk(section + (token - state.copy), L"\r\n");
    state.cursor = lineEnd ? state.copy + (lineEnd - section) + 1 : nullptr;
}

// The four numbers of an expected version, split at its first three dots. A text with fewer
// dots has no version to compare, the same as four zeros.
struct ExpectedVersion {
    unsigned long part[4] = {};
    bool none() const { return !part[0] && !part[1] && !part[2] && !part[3]; }
};

ExpectedVersion ParseExpectedVersion(const wchar_t* text)
{
    const wchar_t* starts[4] = { text };
    for (int i = 1; i < 4; ++i) {
        const wchar_t* dot = FindAnyOf(starts[i - 1], L".");
        if (!dot)
            return ExpectedVersion();
        starts[i] = dot + 1;
    }
    ExpectedVersion version;
    for (int i = 0; i < 4; ++i)
        version.part[i] = wcstoul(starts[i], nullptr, 10);
    return version;
}

// The fixed file version of the file's version resource; false when it has none.
bool ReadFileVersion(const wchar_t* path, unsigned long (&part)[4])
{
    FileVersion version;
    if (!WithNativeFiles([&] { return FileVersionOf(path, version); }))
        return false;
    for (int i = 0; i < 4; ++i)
        part[i] = version.part[i];
    return true;
}

bool ReadFileSize(HANDLE file, DWORD& size)
{
    size = GetFileSize(file, nullptr);
    return size != INVALID_FILE_SIZE || GetLastError() == NO_ERROR;
}

bool ReadLastWriteTime(const wchar_t* path, FILETIME& written)
{
    WIN32_FIND_DATAW found;
    UniqueFind find(WithNativeFiles([&] { return FindFirstFileW(path, &found); }));
    if (!find)
        return false;
    written = found.ftLastWriteTime;
    return true;
}

long long Ticks(const FILETIME& time)
{
    return static_cast<long long>((ULONGLONG(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

// A file time as local time, "YYYY/MM/DD hh:mm:ss".
std::wstring LocalTimeText(const FILETIME& time)
{
    SYSTEMTIME utc, local;
    if (!FileTimeToSystemTime(&time, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        return std::wstring();
    return FormatPrintf(L"%04d/%02d/%02d %02d:%02d:%02d", local.wYear, local.wMonth, local.wDay, local.wHour,
                        local.wMinute, local.wSecond);
}

// Days from 1970-01-01 to a date of the Gregorian calendar (month 1 to 12).
long long DaysFromCivil(long long year, long long month, long long day)
{
    year -= month <= 2;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const long long yearOfEra = year - era * 400;
    const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// The date of a day counted from 1970-01-01.
void CivilFromDays(long long days, long long& year, long long& month, long long& day)
{
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const long long dayOfEra = days - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long shifted = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * shifted + 2) / 5 + 1;
    month = shifted + (shifted < 10 ? 3 : -9);
    year = yearOfEra + era * 400 + (month <= 2);
}

long long FloorDivide(long long value, long long divisor)
{
    return value / divisor - (value % divisor < 0);
}

// The moment of an expected time stamp "date time" in file-time ticks, built as the C
// library's mktime builds it: years below 1970 are taken as 19xx, fields out of range carry
// into the next larger one (month 13 is January of the next year, day 0 the last day of the
// month before), the local time is turned into UTC with the system's time zone (daylight
// saving time as the system decides it for that date), and a moment outside the C library's
// time range fails. A failed moment is the C library's -1, one second before 1970.
long long ExpectedMoment(const wchar_t* stamp)
{
    std::wstring text = TextOrEmpty(stamp);
    TokenizerScope split;
    long long field[6] = {};  // year, month, day, hour, minute, second
    for (int i = 0; i < 6; ++i) {
        wchar_t* token = split.Next(i == 0 ? text.data() : nullptr, kStampDelimiters);
        if (!token)
            break;
        field[i] = _wtoi(token);
    }
    if (field[0] < 1970)
        field[0] += 1900;
    // Months first, carried into years; then everything else counted in seconds from the
    // first of that month, carried by the calendar.
    const long long months = field[1] - 1;
    const long long yearCarry = FloorDivide(months, 12);
    const long long firstOfMonth = DaysFromCivil(field[0] + yearCarry, months - yearCarry * 12 + 1, 1);
    const long long localSeconds =
        (firstOfMonth + field[2] - 1) * kSecondsPerDay + field[3] * 3600 + field[4] * 60 + field[5];

    const long long failed = kUnixEpochTicks - kTicksPerSecond;
    const long long days = FloorDivide(localSeconds, kSecondsPerDay);
    const long long secondOfDay = localSeconds - days * kSecondsPerDay;
    long long year, monthOfYear, day;
    CivilFromDays(days, year, monthOfYear, day);
    if (year < 1601 || year > 30827)
        return failed;
    SYSTEMTIME local = {};
    local.wYear = WORD(year);
    local.wMonth = WORD(monthOfYear);
    local.wDay = WORD(day);
    local.wHour = WORD(secondOfDay / 3600);
    local.wMinute = WORD(secondOfDay / 60 % 60);
    local.wSecond = WORD(secondOfDay % 60);
    SYSTEMTIME utc;
    FILETIME moment;
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !SystemTimeToFileTime(&utc, &moment))
        return failed;
    const long long seconds = (Ticks(moment) - kUnixEpochTicks) / kTicksPerSecond;
    if (seconds < 0 || seconds > static_cast<long long>(std::numeric_limits<time_t>::max()))
        return failed;
    return Ticks(moment);
}

// The whole manifest in UTF-16, converted from the ANSI code page; false when it cannot be read.
bool ReadManifestText(std::wstring& text)
{
    UniqueFile file(CreateFileW(ManifestPath().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    if (!file)
        return false;
    DWORD size = 0;
    if (!ReadFileSize(file.get(), size))
        return false;
    std::vector<char> bytes(size_t(size) + 1);
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), size, &read, nullptr))
        return false;
    // Up to the first zero byte, as text: a manifest in another encoding (UTF-16) or with a
    // zero byte before its file list shows no list here and is reported as damaged.
    int units = MultiByteToWideChar(GetACP(), 0, bytes.data(), -1, nullptr, 0);
    text.assign(units > 0 ? units : 1, L'\0');
    if (units > 0)
        MultiByteToWideChar(GetACP(), 0, bytes.data(), -1, text.data(), units);
    text.resize(wcslen(text.c_str()));
    return true;
}

// The file list: the body after the header's "]" up to the next line that begins with "["
// (a section header), or to the end. A "[" inside a line, a comment's say, does not end it.
ManifestFileList FindFileList(const std::wstring& text)
{
    ManifestFileList list;
    size_t header = text.find(kSectionHeader);
    if (header == std::wstring::npos)
        return list;
    list.found = true;
    const size_t start = header + wcslen(kSectionHeader);
    size_t end = start;
    while ((end = text.find(L'[', end)) != std::wstring::npos) {
        size_t lineStart = text.find_last_of(L"\r\n", end);
        lineStart = lineStart == std::wstring::npos || lineStart < start ? start : lineStart + 1;
        if (text.find_first_not_of(L" \t", lineStart) == end)
            break;
        ++end;
    }
    list.body = text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
    return list;
}

// True for a body of blank and comment lines only: a list the installer left empty.
bool NothingButComments(const std::wstring& body)
{
    size_t line = 0;
    while ((line = body.find_first_not_of(L" \t\r\n", line)) != std::wstring::npos) {
        if (body[line] != L';')
            return false;
        line = body.find_first_of(L"\r\n", line);
    }
    return true;
}

}  // namespace

const wchar_t kNoVersionText[] = L"00.00.00.00";

bool ManifestFileOpens()
{
    UniqueFile file(CreateFileW(ManifestPath().c_str(), 0, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    return bool(file);
}

namespace {

// A file that is not there, the manifest or one of the package's: only reinstalling helps.
Finding MissingFile(const char* check, const std::wstring& path)
{
    return Finding::Fault(check, FormatPrintf(LoadStr(IDS_FILE_MISSING).c_str(), path.c_str()), Repair::None);
}

}  // namespace

Finding ManifestFinding(int opens)
{
    return opens ? Finding::Correct(CheckId::kManifest) : MissingFile(CheckId::kManifest, ManifestPath());
}

Finding MissingFileFinding(const std::wstring& path)
{
    return MissingFile(CheckId::kPackageFiles, path);
}

Finding DifferingFileFinding(const std::wstring& path)
{
    return Finding::Fault(CheckId::kPackageFiles, path, Repair::None);
}

Finding DamagedFileListFinding()
{
    return Finding::Fault(CheckId::kPackageFiles,
                          FormatPrintf(LoadStr(IDS_FILE_LIST_DAMAGED).c_str(), ManifestPath().c_str()), Repair::None);
}

Finding AllFilesExpectedFinding()
{
    return Finding::Correct(CheckId::kPackageFiles, LoadStr(IDS_ALL_FILES_EXPECTED));
}

bool ReadFileList(ManifestFileList& list)
{
    std::wstring text;
    if (!ReadManifestText(text))
        return false;
    list = FindFileList(text);
    return true;
}

bool IsDamagedFileList(const ManifestFileList& list, int checkedEntries)
{
    return checkedEntries == 0 && !(list.found && NothingButComments(list.body));
}

bool WalkFileList(wchar_t* body, FileListVisitor& visitor, int& checkedEntries)
{
    TokenizerScope scan;
    for (wchar_t* token = scan.Next(body, kEntryDelimiters); token; token = scan.Next(nullptr, kEntryDelimiters)) {
        if (token[0] == L';') {
            SkipCommentLine(scan.state(), body, token);
            continue;
        }
        wchar_t* field[kEntryFields] = { token };
        int count = 1;
        while (count < kEntryFields && (field[count] = scan.Next(nullptr, kEntryDelimiters)))
            ++count;
        // An entry cut short by the end of the list names no complete file: not checked.
        if (count < kEntryFields)
            break;
        const PackageFileEntry entry = { field[kName], field[kSize], field[kVersion],
                                         std::wstring(field[kDate]) + L" " + field[kTime] };
        bool counted = false;
        for (int location = kLocation1; location <= kLocation3; ++location) {
            std::wstring directory = LocationDirectory(field[location]);
            if (directory.empty())
                continue;
            const std::wstring path = directory + L"\\" + entry.name;
            if (!counted) {
                counted = true;
                ++checkedEntries;
            }
            UniqueFile file(WithNativeFiles([&] {
                return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
            }));
            bool present = bool(file);
            file.reset();
            if (!(present ? visitor.Present(entry, path) : visitor.Missing(entry, path)))
                return false;
        }
    }
    return true;
}

FileComparison CompareFile(const wchar_t* path, const wchar_t* sizeText, const wchar_t* versionText,
                           const wchar_t* timeStampText)
{
    FileComparison found;
    UniqueFile file(
        WithNativeFiles([&] { return CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr); }));
    if (!file)
        return found;
    DWORD size = 0;
    FILETIME written;
    if (!ReadFileSize(file.get(), size) || !ReadLastWriteTime(path, written))
        return found;
    found.readable = true;
    found.currentTime = LocalTimeText(written);
    found.currentSize = size;
    auto differs = [&](FileComparison::Difference kind, const std::wstring& current, const wchar_t* expected) {
        found.difference = kind;
        found.current = current;
        found.expected = TextOrEmpty(expected);
        return found;
    };

    const ExpectedVersion expected = ParseExpectedVersion(TextOrEmpty(versionText));
    if (expected.none()) {
        found.currentVersion = kNoVersionText;
    } else {
        unsigned long actual[4];
        if (!ReadFileVersion(path, actual)) {
            found.currentVersion = kNoVersionText;
            return differs(FileComparison::Version, kNoVersionText, versionText);
        }
        found.currentVersion = FormatPrintf(L"%d.%2.2d.%d.%3.3d", int(actual[0]), int(actual[1]), int(actual[2]),
                                            int(actual[3]));
        for (int i = 0; i < 4; ++i) {
            if (actual[i] < expected.part[i])
                return differs(FileComparison::Version, found.currentVersion, versionText);
            if (actual[i] > expected.part[i])
                return found;  // a newer file is accepted whatever its time stamp and size
        }
    }

    const long long moment = ExpectedMoment(timeStampText);
    const long long fileTicks = Ticks(written);
    if (fileTicks >= moment - kTimeWindow && fileTicks <= moment + kTimeWindow) {
        if (!ReadFileSize(file.get(), size)) {
            found.readable = false;
            return found;
        }
        if (long(size) == wcstol(TextOrEmpty(sizeText), nullptr, 10))
            return found;
        return differs(FileComparison::Size, FormatPrintf(L"%d", size), sizeText);
    }
    const bool newer = fileTicks > moment + kTimeWindow;
    if (newer && ((expected.part[0] == 0 && expected.part[1] != 0) || expected.none()))
        return found;
    return differs(FileComparison::TimeStamp, found.currentTime, timeStampText);
}
