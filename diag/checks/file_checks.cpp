// The package's files against the manifest's [ZELTFileConfig] list: presence in each of their
// locations, then version, last-write time and size. Nothing is repaired here: the dialogs
// tell the user to reinstall the package.
#include "app/troubleshooter_app.h"
#include "checks/machine_layout.h"
#include "checks/manifest.h"
#include "dialogs/problem_dialogs.h"
#include "framework/raii.h"
#include "framework/strings.h"
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
const wchar_t kNoVersionText[] = L"00.00.00.00";

// Fields of one file entry.
enum EntryField { kName = 0, kLocation1 = 5, kLocation3 = 7, kSize = 8, kTime = 9, kDate = 10, kVersion = 11 };
const int kEntryFields = 12;

// A file's last-write time may lie up to 25 hours on either side of the expected moment.
const long long kTicksPerSecond = 10000000;
const long long kTimeWindow = 90000 * kTicksPerSecond;
// File-time ticks at 1970-01-01 00:00:00 UTC, where the C library's time starts.
const long long kUnixEpochTicks = 116444736000000000LL;
const long long kSecondsPerDay = 86400;

// The values lines are built into buffers of this many characters.
const size_t kLineChars = 256;

const wchar_t* TextOrEmpty(const wchar_t* text)
{
    return text ? text : L"";
}

// A tokenizer state of its own for one split, freed on every path.
class TokenizerScope {
public:
    explicit TokenizerScope(CTroubleshooterApp& app) : app_(app) { app_.InitTokenizer(&state_); }
    ~TokenizerScope() { app_.FreeTokenizer(&state_); }
    TokenizerScope(const TokenizerScope&) = delete;
    TokenizerScope& operator=(const TokenizerScope&) = delete;

    wchar_t* Next(wchar_t* text, const wchar_t* delimiters) { return app_.NextToken(text, delimiters, &state_); }
    TokenizerState& state() { return state_; }

private:
    CTroubleshooterApp& app_;
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

ExpectedVersion ParseExpectedVersion(CTroubleshooterApp& app, const wchar_t* text)
{
    const wchar_t* starts[4] = { text };
    for (int i = 1; i < 4; ++i) {
        const wchar_t* dot = app.FindAnyOf(starts[i - 1], L".");
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
    DWORD handle = 0;
    DWORD bytes = WithNativeFiles([&] { return GetFileVersionInfoSizeW(path, &handle); });
    if (!bytes)
        return false;
    std::vector<BYTE> data(bytes);
    if (!WithNativeFiles([&] { return GetFileVersionInfoW(path, 0, bytes, data.data()); }))
        return false;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info ||
        length < sizeof(VS_FIXEDFILEINFO))
        return false;
    part[0] = HIWORD(info->dwFileVersionMS);
    part[1] = LOWORD(info->dwFileVersionMS);
    part[2] = HIWORD(info->dwFileVersionLS);
    part[3] = LOWORD(info->dwFileVersionLS);
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
long long ExpectedMoment(CTroubleshooterApp& app, const wchar_t* stamp)
{
    std::wstring text = TextOrEmpty(stamp);
    TokenizerScope split(app);
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

// The three kinds of difference the file-version dialog shows.
struct Difference {
    UINT message;
    UINT currentLabel;
    UINT expectedLabel;
};
const Difference kVersionDiffers = { IDS_UNEXPECTED_VERSION, IDS_CURRENT_VERSION, IDS_EXPECTED_VERSION };
const Difference kSizeDiffers = { IDS_UNEXPECTED_SIZE, IDS_CURRENT_SIZE, IDS_EXPECTED_SIZE };
const Difference kTimeStampDiffers = { IDS_UNEXPECTED_TIMESTAMP, IDS_CURRENT_TIMESTAMP, IDS_EXPECTED_TIMESTAMP };

int ShowDifference(CFileVersionDlg& dialog, const Difference& kind, const wchar_t* path, const std::wstring& current,
                   const wchar_t* expected)
{
    dialog.SetMember(1, FormatPrintf(LoadStr(kind.message).c_str(), ShortenPath(path).c_str()));
    dialog.SetMember(2, LoadStr(kind.currentLabel));
    dialog.SetMember(3, current);
    dialog.SetMember(4, LoadStr(kind.expectedLabel));
    dialog.SetMember(5, TextOrEmpty(expected));
    return static_cast<int>(dialog.DoModal());
}

void NoteFileFinding(CTroubleshooterApp& app)
{
    app.filesAsExpected = 0;
    app.runFlags |= RUN_SETTING_WRONG | RUN_REINSTALL;
}

// Checks one entry in each of its locations; 0 when the user chose Exit.
int CheckEntry(CTroubleshooterApp& app, wchar_t* const (&field)[kEntryFields], CFileMissingDlg& missingDialog)
{
    app.currentFileEntry = field[kName];
    const std::wstring stamp = std::wstring(field[kDate]) + L" " + field[kTime];
    bool counted = false;
    for (int location = kLocation1; location <= kLocation3; ++location) {
        std::wstring directory = LocationDirectory(field[location]);
        if (directory.empty())
            continue;
        const std::wstring path = directory + L"\\" + field[kName];
        if (!counted) {
            counted = true;
            ++app.checkedFileEntries;
        }

        UniqueFile file(WithNativeFiles([&] {
            return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                               nullptr);
        }));
        bool present = bool(file);
        file.reset();
        if (!present) {
            NoteFileFinding(app);
            missingDialog.SetMember(1, ShortenPath(path));
            INT_PTR answer = missingDialog.DoModal();
            app.AppendFinding(FormatPrintf(LoadStr(IDS_FILE_MISSING).c_str(), path.c_str()) + L"\r\n");
            if (answer == IDC_MISSING_EXIT)
                return 0;
            continue;
        }

        wchar_t current[kLineChars] = {};
        wchar_t expected[kLineChars] = {};
        int answer = app.CheckFileVersion(path.c_str(), field[kSize], field[kVersion], stamp.c_str(), current);
        app.LogFileMismatch(0, field[kVersion], stamp.c_str(), wcstoul(field[kSize], nullptr, 10), expected);
        if (answer != IDC_VERSION_CONTINUE && answer != IDC_VERSION_EXIT)
            continue;
        NoteFileFinding(app);
        app.AppendFinding(path + L"\r\n");
        app.AppendLog(current, LogPiece::Detail);
        app.AppendLog(expected, LogPiece::Detail);
        if (answer == IDC_VERSION_EXIT)
            return 0;
    }
    return 1;
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
struct FileList {
    bool found = false;
    std::wstring body;
};

FileList FindFileList(const std::wstring& text)
{
    FileList list;
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

// A file list that yields nothing to check and is not an empty list as the installer writes
// one: damaged, and only reinstalling the package brings it back. 0 when the user chose Exit.
int ReportDamagedFileList(CTroubleshooterApp& app)
{
    NoteFileFinding(app);
    const std::wstring path = ManifestPath();
    CFileVersionDlg dialog;
    dialog.SetMember(1, FormatPrintf(LoadStr(IDS_FILE_LIST_DAMAGED).c_str(), ShortenPath(path).c_str()));
    INT_PTR answer = dialog.DoModal();
    app.AppendFinding(FormatPrintf(LoadStr(IDS_FILE_LIST_DAMAGED).c_str(), path.c_str()) + L"\r\n");
    return answer == IDC_VERSION_EXIT ? 0 : 1;
}

}  // namespace

int CTroubleshooterApp::CheckManifestFile()
{
    UniqueFile file(CreateFileW(ManifestPath().c_str(), 0, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (file)
        return 1;
    filesAsExpected = 0;
    return 0;
}

int CTroubleshooterApp::LoadFileManifest()
{
    std::wstring text;
    if (!ReadManifestText(text))
        return 1;
    FileList list = FindFileList(text);
    checkedFileEntries = 0;
    int result = CheckPackageFiles(list.body.data());
    if (result && checkedFileEntries == 0 && !(list.found && NothingButComments(list.body)))
        return ReportDamagedFileList(*this);
    if (filesAsExpected == 1)
        AppendLog(LoadStr(IDS_ALL_FILES_EXPECTED) + L"\r\n");
    return result;
}

int CTroubleshooterApp::CheckPackageFiles(wchar_t* section)
{
    CFileMissingDlg missingDialog;
    TokenizerScope scan(*this);
    int result = 1;
    for (wchar_t* token = scan.Next(section, kEntryDelimiters); token; token = scan.Next(nullptr, kEntryDelimiters)) {
        if (token[0] == L';') {
            SkipCommentLine(scan.state(), section, token);
            continue;
        }
        wchar_t* field[kEntryFields] = { token };
        int count = 1;
        while (count < kEntryFields && (field[count] = scan.Next(nullptr, kEntryDelimiters)))
            ++count;
        // An entry cut short by the end of the list names no complete file: not checked.
        if (count < kEntryFields)
            break;
        if (!CheckEntry(*this, field, missingDialog)) {
            result = 0;
            break;
        }
    }
    currentFileEntry = nullptr;  // it pointed into the scan's copy
    return result;
}

int CTroubleshooterApp::CheckFileVersion(const wchar_t* path, const wchar_t* sizeText, const wchar_t* versionText,
                                         const wchar_t* timeStampText, wchar_t* currentLine)
{
    UniqueFile file(
        WithNativeFiles([&] { return CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr); }));
    if (!file)
        return -1;
    DWORD size = 0;
    FILETIME written;
    if (!ReadFileSize(file.get(), size) || !ReadLastWriteTime(path, written))
        return -1;
    const std::wstring timeText = LocalTimeText(written);

    CFileVersionDlg dialog;
    const ExpectedVersion expected = ParseExpectedVersion(*this, TextOrEmpty(versionText));
    if (expected.none()) {
        LogFileMismatch(1, kNoVersionText, timeText.c_str(), size, currentLine);
    } else {
        unsigned long actual[4];
        if (!ReadFileVersion(path, actual)) {
            LogFileMismatch(1, kNoVersionText, timeText.c_str(), size, currentLine);
            return ShowDifference(dialog, kVersionDiffers, path, kNoVersionText, versionText);
        }
        const std::wstring actualText = FormatPrintf(L"%d.%2.2d.%d.%3.3d", int(actual[0]), int(actual[1]),
                                                     int(actual[2]), int(actual[3]));
        LogFileMismatch(1, actualText.c_str(), timeText.c_str(), size, currentLine);
        for (int i = 0; i < 4; ++i) {
            if (actual[i] < expected.part[i])
                return ShowDifference(dialog, kVersionDiffers, path, actualText, versionText);
            if (actual[i] > expected.part[i])
                return 0;  // a newer file is accepted whatever its time stamp and size
        }
    }

    const long long moment = ExpectedMoment(*this, timeStampText);
    const long long fileTicks = Ticks(written);
    if (fileTicks >= moment - kTimeWindow && fileTicks <= moment + kTimeWindow) {
        if (!ReadFileSize(file.get(), size))
            return -1;
        if (long(size) == wcstol(TextOrEmpty(sizeText), nullptr, 10))
            return 0;
        return ShowDifference(dialog, kSizeDiffers, path, FormatPrintf(L"%d", size), sizeText);
    }
    const bool newer = fileTicks > moment + kTimeWindow;
    if (newer && ((expected.part[0] == 0 && expected.part[1] != 0) || expected.none()))
        return 0;
    return ShowDifference(dialog, kTimeStampDiffers, path, timeText, timeStampText);
}

void CTroubleshooterApp::LogFileMismatch(int current, const wchar_t* version, const wchar_t* time, unsigned size,
                                         wchar_t* out)
{
    const std::wstring versionLabel = LoadStr(current ? IDS_CURRENT_VERSION : IDS_EXPECTED_VERSION);
    const std::wstring timeLabel = LoadStr(current ? IDS_CURRENT_TIMESTAMP : IDS_EXPECTED_TIMESTAMP);
    const std::wstring sizeLabel = LoadStr(current ? IDS_CURRENT_SIZE : IDS_EXPECTED_SIZE);
    std::wstring line = wcscmp(TextOrEmpty(version), L"0")
                            ? FormatPrintf(L"%s=%s %s=%s %s=%d\r\n", versionLabel.c_str(), TextOrEmpty(version),
                                           timeLabel.c_str(), TextOrEmpty(time), sizeLabel.c_str(), size)
                            : FormatPrintf(L"%s=%s %s=%d\r\n", timeLabel.c_str(), TextOrEmpty(time), sizeLabel.c_str(),
                                           size);
    // The buffer holds 255 characters; a longer line is cut but keeps its line end.
    if (line.size() >= kLineChars)
        line.replace(kLineChars - 3, std::wstring::npos, L"\r\n");
    lstrcpynW(out, line.c_str(), int(kLineChars));
}

void CTroubleshooterApp::InitTokenizer(TokenizerState* state)
{
    state->copy = nullptr;
    state->cursor = nullptr;
}

void CTroubleshooterApp::FreeTokenizer(TokenizerState* state)
{
    delete[] state->copy;
    state->copy = nullptr;
    state->cursor = nullptr;
}

wchar_t* CTroubleshooterApp::NextToken(wchar_t* text, const wchar_t* delimiters, TokenizerState* state)
{
    if (text) {
        delete[] state->copy;
        size_t length = wcslen(text);
        state->copy = new wchar_t[length + 1];
        wmemcpy(state->copy, text, length + 1);
        state->cursor = state->copy;
    }
    wchar_t* token = state->cursor;
    if (!token)
        return nullptr;
    if (!delimiters)
        delimiters = L"";
    while (*token && wcschr(delimiters, *token))
        ++token;
    if (!*token) {
        state->cursor = nullptr;
        return nullptr;
    }
    const wchar_t* end = FindAnyOf(token, delimiters);
    if (end) {
        token[end - token] = L'\0';
        state->cursor = token + (end - token) + 1;
    } else {
        state->cursor = nullptr;
    }
    return token;
}

const wchar_t* CTroubleshooterApp::FindAnyOf(const wchar_t* text, const wchar_t* set)
{
    for (; text && set && *text; ++text)
        if (wcschr(set, *text))
            return text;
    return nullptr;
}
