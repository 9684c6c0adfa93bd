// Test fixtures for the manifest, shortcut and file checks: files and folders of the prefix
// replaced for one test and put back after, package files with a chosen version resource,
// size and time stamp, and an autopilot that answers the problem dialogs from a list.
#pragma once
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "app/troubleshooter_app.h"
#include "framework/autopilot.h"
#include "machine_state.h"
#include "res/resource.h"
#include "support/test_support.h"

#include <string>
#include <vector>

inline std::wstring CommonFolder(int csidl, CallSite site = {})
{
    CallerTrace trace(site);
    wchar_t path[MAX_PATH] = {};
    HRESULT result = SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    EXPECT_TRUE(SUCCEEDED(result)) << "SHGetFolderPathW(" << csidl << ") returned 0x" << std::hex << result;
    return path;
}

inline bool PathExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Removes a file, or a folder with everything in it.
inline void RemovePath(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
        return;
    }
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name != L"." && name != L"..")
                RemovePath(path + L"\\" + name);
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    RemoveDirectoryW(path.c_str());
}

// Moves whatever is at `path` (file or folder) out of the way for a scope, so the test starts
// without it; afterwards removes what the test left there and moves the original back, with
// its time stamps.
class SetAside {
public:
    explicit SetAside(std::wstring path) : path_(std::move(path)), saved_(path_ + L".set-aside")
    {
        RemovePath(saved_);
        had_ = PathExists(path_);
        if (had_) {
            EXPECT_TRUE(MoveFileExW(path_.c_str(), saved_.c_str(), 0)) << "cannot move " << Ansi(path_);
        }
    }
    ~SetAside()
    {
        RemovePath(path_);
        if (had_)
            MoveFileExW(saved_.c_str(), path_.c_str(), 0);
    }
    SetAside(const SetAside&) = delete;
    SetAside& operator=(const SetAside&) = delete;

    const std::wstring& path() const { return path_; }
    bool hadOriginal() const { return had_; }

private:
    std::wstring path_;
    std::wstring saved_;
    bool had_ = false;
};

// The manifest XERB5INK.DAT replaced by the given text (stored in code page 936), or absent.
class ScopedManifest {
public:
    explicit ScopedManifest(const std::wstring& text) { WriteBytes(aside_.path(), Ansi(text)); }
    ScopedManifest() = default;  // no manifest at all

private:
    SetAside aside_{ DriverDir() + L"\\XERB5INK.DAT" };
};

// Ticks (100 ns since 1601, UTC) of a local time, with daylight saving time as the system
// decides it for that date.
inline ULONGLONG LocalMoment(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second,
                             CallSite site = {})
{
    CallerTrace trace(site);
    SYSTEMTIME local = {};
    local.wYear = year;
    local.wMonth = month;
    local.wDay = day;
    local.wHour = hour;
    local.wMinute = minute;
    local.wSecond = second;
    SYSTEMTIME utc;
    FILETIME time = {};
    EXPECT_TRUE(TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc))
        << year << "/" << month << "/" << day << ", error " << GetLastError();
    EXPECT_TRUE(SystemTimeToFileTime(&utc, &time)) << "error " << GetLastError();
    return (ULONGLONG(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

const ULONGLONG kTicksPerHour = 3600ull * 10000000ull;

inline void SetLastWriteTicks(const std::wstring& path, ULONGLONG ticks, CallSite site = {})
{
    CallerTrace trace(site);
    UniqueFile file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(bool(file)) << "cannot open " << Ansi(path) << ", error " << GetLastError();
    FILETIME time = { DWORD(ticks), DWORD(ticks >> 32) };
    EXPECT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &time))
        << "cannot set the time of " << Ansi(path) << ", error " << GetLastError();
}

inline ULONGLONG LastWriteTicks(const std::wstring& path, CallSite site = {})
{
    CallerTrace trace(site);
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    EXPECT_TRUE(GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        << "cannot read the attributes of " << Ansi(path) << ", error " << GetLastError();
    return (ULONGLONG(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

// A version resource holding only the fixed part, file version a.b.c.d.
inline std::vector<BYTE> VersionResource(WORD a, WORD b, WORD c, WORD d)
{
    std::vector<BYTE> block;
    auto word = [&](WORD w) {
        block.push_back(BYTE(w));
        block.push_back(BYTE(w >> 8));
    };
    word(0);  // length, filled in below
    word(sizeof(VS_FIXEDFILEINFO));
    word(0);  // binary value
    for (const wchar_t* key = L"VS_VERSION_INFO";; ++key) {
        word(*key);
        if (!*key)
            break;
    }
    while (block.size() % 4)
        block.push_back(0);
    VS_FIXEDFILEINFO info = {};
    info.dwSignature = VS_FFI_SIGNATURE;
    info.dwStrucVersion = VS_FFI_STRUCVERSION;
    info.dwFileVersionMS = info.dwProductVersionMS = MAKELONG(b, a);
    info.dwFileVersionLS = info.dwProductVersionLS = MAKELONG(d, c);
    info.dwFileOS = VOS_NT_WINDOWS32;
    info.dwFileType = VFT_DLL;
    const BYTE* bytes = reinterpret_cast<const BYTE*>(&info);
    block.insert(block.end(), bytes, bytes + sizeof(info));
    block[0] = BYTE(block.size());
    block[1] = BYTE(block.size() >> 8);
    return block;
}

// A real PE file at `path`: a copy of this test program whose resources are replaced by a
// version resource a.b.c.d, or by none at all when `withVersion` is false.
inline void WritePeFile(const std::wstring& path, bool withVersion, WORD a = 0, WORD b = 0, WORD c = 0, WORD d = 0,
                        CallSite site = {})
{
    CallerTrace trace(site);
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    ASSERT_TRUE(CopyFileW(self, path.c_str(), FALSE)) << "cannot copy to " << Ansi(path) << ", error " << GetLastError();
    HANDLE update = BeginUpdateResourceW(path.c_str(), TRUE);
    ASSERT_NE(update, nullptr) << "BeginUpdateResourceW on " << Ansi(path) << ", error " << GetLastError();
    if (withVersion) {
        std::vector<BYTE> resource = VersionResource(a, b, c, d);
        EXPECT_TRUE(UpdateResourceW(update, RT_VERSION, MAKEINTRESOURCEW(1), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                                    resource.data(), DWORD(resource.size())))
            << "UpdateResourceW on " << Ansi(path) << ", error " << GetLastError();
    }
    ASSERT_TRUE(EndUpdateResourceW(update, FALSE))
        << "EndUpdateResourceW on " << Ansi(path) << ", error " << GetLastError();
}

// Presses the listed buttons, one for each question, and keeps what every dialog showed.
// A dialog beyond the list fails the test and is ended with -1.
class AnswerPilot : public Autopilot {
public:
    explicit AnswerPilot(std::vector<int> answers = {}) : answers_(std::move(answers)) {}

    AutopilotAction Answer(const DialogSnapshot& dialog) override
    {
        seen.push_back(dialog);
        if (next_ < answers_.size())
            return AutopilotAction::press(answers_[next_++]);
        ADD_FAILURE() << "unexpected dialog " << dialog.templateId;
        return AutopilotAction::press(0);
    }
    void Stuck(const DialogSnapshot&, const AutopilotAction&) override { ++stuck; }

    std::vector<DialogSnapshot> seen;
    int stuck = 0;

private:
    std::vector<int> answers_;
    size_t next_ = 0;
};

// --- The installed stand-in package --------------------------------------------------------------

// Runs the package's installer, which lies in the build tree beside the tests' folder, with
// its output thrown away; its exit code, or -1 when it cannot be started.
inline int RunInstaller(const std::wstring& arguments)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring program = self;
    program = program.substr(0, program.rfind(L'\\'));
    program = program.substr(0, program.rfind(L'\\')) + L"\\package\\pkginst.exe";
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;

    SECURITY_ATTRIBUTES inherit = {};
    inherit.nLength = sizeof(inherit);
    inherit.bInheritHandle = TRUE;
    HANDLE nul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                             nullptr);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = nul;
    startup.hStdError = nul;
    PROCESS_INFORMATION process = {};
    BOOL started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                  &startup, &process);
    DWORD code = DWORD(-1);
    if (started) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    if (nul != INVALID_HANDLE_VALUE)
        CloseHandle(nul);
    return int(code);
}

// The program group items of the stand-in package, in manifest order.
struct PackageItem {
    const wchar_t* file;
    const wchar_t* name;
};
const PackageItem kPackageItems[] = { { L"XERB5LAK.EXE", L"状态窗口" }, { L"PDIAG.EXE", L"疑难解答" } };

// Continues every file dialog and keeps what it said.
class ContinuePilot : public Autopilot {
public:
    AutopilotAction Answer(const DialogSnapshot& dialog) override
    {
        if (dialog.templateId == IDD_FILE_MISSING) {
            said.push_back(L"missing " + dialog.text(IDC_MISSING_TEXT));
            return AutopilotAction::press(IDC_MISSING_CONTINUE);
        }
        if (dialog.templateId == IDD_FILE_VERSION) {
            said.push_back(dialog.text(IDC_VERSION_TEXT));
            return AutopilotAction::press(IDC_VERSION_CONTINUE);
        }
        ADD_FAILURE() << "unexpected dialog " << dialog.templateId;
        return AutopilotAction::press(0);
    }

    std::vector<std::wstring> said;
};

// Every finding of the manifest, file, start-up, program folder and App Paths checks on the
// prefix as it is, one text each, in the order the checks run.
inline std::vector<std::wstring> Findings(CTroubleshooterApp& app)
{
    ContinuePilot pilot;
    ScopedAutopilot flying(pilot);
    std::vector<std::wstring> found;
    if (!app.CheckManifestFile())
        found.push_back(L"manifest");
    app.LoadFileManifest();
    found.insert(found.end(), pilot.said.begin(), pilot.said.end());
    if (app.CheckAppPath())
        found.push_back(L"app path");
    if (!app.CheckStatusWindowStartup())
        found.push_back(L"startup");
    if (!app.CheckProgramFolder())
        found.push_back(L"folder");
    for (const PackageItem& item : kPackageItems)
        if (!app.ProgramItemExists(item.name))
            found.push_back(std::wstring(L"item ") + item.name);
    return found;
}

// Starts from the installed package broken by the installer's named fault, and installs the
// package again afterwards, which repairs every fault.
class InstalledPackage : public ::testing::Test {
protected:
    InstalledPackage()
    {
        lstrcpyW(app_.logFilePath, log_.path());
        lstrcpyW(app_.driverName, L"Tavik QX2210-2370");
    }
    ~InstalledPackage() override
    {
        if (broken_) {
            EXPECT_EQ(RunInstaller(L"install"), 0);
        }
    }

    void Break(const wchar_t* fault)
    {
        broken_ = true;
        ASSERT_EQ(RunInstaller(std::wstring(L"fault ") + fault), 0) << Ansi(fault);
    }

    CTroubleshooterApp app_;
    TempLog log_;
    bool broken_ = false;
};
