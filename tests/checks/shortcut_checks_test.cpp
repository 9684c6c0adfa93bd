// Program folder, shortcuts, status-window start-up item and App Paths entry, against the
// prefix's real shell folders, shell links and registry.
#include "app/troubleshooter_app.h"
#include "checks/shortcut.h"
#include "dialogs/problem_dialogs.h"
#include "machine_state.h"
#include "package_fixture.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>

namespace {

const std::wstring kAppPathKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\XERB5LAK.EXE";

std::wstring StatusWindowTarget()
{
    return DriverDir() + L"\\XERB5LAK.EXE";
}

std::wstring StartupFolder()
{
    return CommonFolder(CSIDL_COMMON_STARTUP);
}

std::wstring ProgramsFolder()
{
    return CommonFolder(CSIDL_COMMON_PROGRAMS);
}

// The App Paths entry of the status window as it was, put back afterwards: the key with its
// default value, or no key.
class AppPathRestorer {
public:
    AppPathRestorer() : keyExisted_(MachineKeyExists(kAppPathKey)), value_(ReadMachineValue(kAppPathKey, L"")) {}
    ~AppPathRestorer()
    {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kAppPathKey.c_str());
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, kAppPathKey.c_str());
        if (!keyExisted_)
            return;
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kAppPathKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return;
        if (value_)
            RegSetValueExW(key, nullptr, 0, value_->type, value_->bytes.data(), DWORD(value_->bytes.size()));
        RegCloseKey(key);
    }
    AppPathRestorer(const AppPathRestorer&) = delete;
    AppPathRestorer& operator=(const AppPathRestorer&) = delete;

private:
    bool keyExisted_;
    std::optional<MachineData> value_;
};

// Restores the process's current directory, which the folder creation changes.
class CurrentDirectoryRestorer {
public:
    CurrentDirectoryRestorer() { GetCurrentDirectoryW(MAX_PATH, saved_); }
    ~CurrentDirectoryRestorer() { SetCurrentDirectoryW(saved_); }

private:
    wchar_t saved_[MAX_PATH] = {};
};

void ExpectShortcut(const std::wstring& path, const std::wstring& target, const std::wstring& arguments,
                    const std::wstring& description, CallSite site = {})
{
    CallerTrace trace(site);
    ShortcutFields link = ReadShortcut(path);
    ASSERT_TRUE(link.loaded) << "no shortcut " << Ansi(path);
    EXPECT_EQ(link.target, target);
    EXPECT_EQ(link.arguments, arguments);
    EXPECT_EQ(link.workingDirectory, target.substr(0, target.rfind(L'\\')));
    EXPECT_EQ(link.description, description);
    EXPECT_EQ(link.iconFile, L"") << "no icon location is set";
}

// A manifest of the test's own, with shortcut names the package does not use.
class OwnManifest : public ::testing::Test {
protected:
    OwnManifest() { lstrcpyW(app_.logFilePath, log_.path()); }

    CTroubleshooterApp app_;
    TempLog log_;
    CurrentDirectoryRestorer directory_;
};

const wchar_t kStartupManifest[] =
    L"[ZELT Startup]\r\n"
    L"NumItems=2\r\n"
    L"ZELTItem1=XERB5UIK.DLL,测试其他启动项,@\r\n"
    L"ZELTItem2=XERB5LAK.EXE,测试状态窗口启动,/tray,icon,1\r\n";

class StartupItems : public OwnManifest {
protected:
    ScopedManifest manifest_{ kStartupManifest };
    SetAside other_{ StartupFolder() + L"\\测试其他启动项.lnk" };
    SetAside status_{ StartupFolder() + L"\\测试状态窗口启动.lnk" };
};

const wchar_t kGroupManifest[] =
    L"[ZELT Groups]\r\n"
    L"GroupName=XERB5 测试组\r\n"
    L"NumItems=2\r\n"
    L"ZELTItem1=XERB5LAK.EXE,测试状态窗口,/min,@\r\n"
    L"ZELTItem2=PDIAG.EXE,测试疑难解答,@\r\n";

class ProgramGroup : public OwnManifest {
protected:
    ScopedManifest manifest_{ kGroupManifest };
    SetAside folder_{ ProgramsFolder() + L"\\XERB5 测试组" };
};

}  // namespace

// --- Shell links ---------------------------------------------------------------------------------

TEST(CreateShortcut, ShellReadsBackTargetArgumentsAndWorkingDirectory)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    SetAside link(std::wstring(temp) + L"测试链接.LNK");
    int iconIndex = 0;
    EXPECT_EQ(CreateShortcut(L"C:\\windows\\notepad.exe", temp, L"测试链接", L"/a b", nullptr, iconIndex), S_OK);
    ExpectShortcut(link.path(), L"C:\\windows\\notepad.exe", L"/a b", L"测试链接");

    // Empty arguments set none; an icon file is set when one is given.
    iconIndex = 2;
    EXPECT_EQ(CreateShortcut(L"C:\\windows\\notepad.exe", temp, L"测试链接", L"", L"C:\\windows\\notepad.exe",
                             iconIndex),
              S_OK);
    ShortcutFields fields = ReadShortcut(link.path());
    EXPECT_EQ(fields.arguments, L"");
    EXPECT_EQ(fields.iconFile, L"C:\\windows\\notepad.exe");
    EXPECT_EQ(fields.iconIndex, 2);
}

TEST(CreateShortcut, MissingFolderFailsAndCreatesNothing)
{
    int iconIndex = 0;
    HRESULT result = CreateShortcut(L"C:\\windows\\notepad.exe", L"C:\\no such folder", L"x", nullptr, nullptr, iconIndex);
    EXPECT_TRUE(FAILED(result));
    EXPECT_FALSE(PathExists(L"C:\\no such folder"));
}

// The thread's apartment as CoInitializeEx for the multithreaded apartment reports it, undone
// again: S_OK uninitialised, S_FALSE multithreaded, RPC_E_CHANGED_MODE single-threaded.
HRESULT ProbeApartment()
{
    HRESULT result = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(result))
        CoUninitialize();
    return result;
}

// The thread's COM state after a call is the one before it: uninitialised, single-threaded or
// multithreaded apartment. Each case runs on a thread of its own.
TEST(CreateShortcut, LeavesTheThreadsComStateAsItFoundIt)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    SetAside link(std::wstring(temp) + L"com-state.LNK");
    struct Case {
        const char* name;
        int init;  // -1 none, else the COINIT model
        HRESULT state;
    };
    const Case cases[] = { { "uninitialised", -1, S_OK },
                           { "single-threaded", COINIT_APARTMENTTHREADED, RPC_E_CHANGED_MODE },
                           { "multithreaded", COINIT_MULTITHREADED, S_FALSE } };
    for (const Case& c : cases) {
        HRESULT saved = E_FAIL, before = E_FAIL, after = E_FAIL;
        std::thread worker([&] {
            if (c.init >= 0)
                CoInitializeEx(nullptr, DWORD(c.init));
            before = ProbeApartment();
            int iconIndex = 0;
            saved = CreateShortcut(L"C:\\windows\\notepad.exe", temp, L"com-state", nullptr, nullptr, iconIndex);
            after = ProbeApartment();
            if (c.init >= 0)
                CoUninitialize();
        });
        worker.join();
        EXPECT_EQ(saved, S_OK) << c.name;
        EXPECT_EQ(before, c.state) << c.name;
        EXPECT_EQ(after, c.state) << c.name;
    }
}

// The run asks the shell once for each folder; every later ask gets the same answer.
TEST(CommonFolders, AreTheShellsAllUsersFolders)
{
    RunFacts facts;
    for (int csidl : { CSIDL_COMMON_PROGRAMS, CSIDL_COMMON_STARTUP }) {
        SCOPED_TRACE(csidl);
        std::wstring first, again;
        ASSERT_TRUE(facts.CommonFolder(csidl, first));
        EXPECT_EQ(first, CommonFolder(csidl));
        ASSERT_TRUE(facts.CommonFolder(csidl, again));
        EXPECT_EQ(again, first);
    }
}

// --- Status window start-up item -----------------------------------------------------------------

TEST_F(StartupItems, CheckLooksForTheStatusWindowEntrysName)
{
    EXPECT_EQ(app_.CheckStatusWindowStartup(), 0);
    WriteBytes(other_.path(), "not a link");
    EXPECT_EQ(app_.CheckStatusWindowStartup(), 0) << "the first entry is not the status window's";
    WriteBytes(status_.path(), "not a link");
    EXPECT_EQ(app_.CheckStatusWindowStartup(), 1) << "presence of the file is what counts";
}

TEST_F(StartupItems, RepairCreatesOnlyTheStatusWindowShortcut)
{
    ASSERT_EQ(app_.CheckStatusWindowStartup(), 0);
    EXPECT_EQ(app_.RepairStatusWindow(), 1);
    EXPECT_EQ(app_.CheckStatusWindowStartup(), 1);
    EXPECT_FALSE(PathExists(other_.path()));
    // Five fields: created like three, the icon fields have no effect.
    ExpectShortcut(status_.path(), StatusWindowTarget(), L"/tray", L"测试状态窗口启动");
}

TEST_F(OwnManifest, StartupEntryInOtherLetterCaseDoesNotMatch)
{
    ScopedManifest manifest(L"[ZELT Startup]\r\nNumItems=1\r\nZELTItem1=xerb5lak.exe,测试状态窗口启动,@\r\n");
    SetAside link(StartupFolder() + L"\\测试状态窗口启动.lnk");
    WriteBytes(link.path(), "not a link");
    EXPECT_EQ(app_.CheckStatusWindowStartup(), 0);
    RemovePath(link.path());
    EXPECT_EQ(app_.CreateStartupItems(), 0);
    EXPECT_FALSE(PathExists(link.path()));
}

TEST_F(OwnManifest, StartupEntryWithoutNameNamesNoShortcut)
{
    ScopedManifest manifest(L"[ZELT Startup]\r\nNumItems=2\r\nZELTItem1=XERB5LAK.EXE\r\n");
    SetAside nameless(StartupFolder() + L"\\.lnk");
    WriteBytes(nameless.path(), "not a link");
    EXPECT_EQ(app_.CheckStatusWindowStartup(), 0);
    EXPECT_EQ(app_.CreateStartupItems(), 0);
}

TEST_F(OwnManifest, WithoutManifestNothingIsFoundOrCreated)
{
    ScopedManifest absent;
    SetAside noName(ProgramsFolder() + L"\\NAME_NONE!");
    EXPECT_EQ(app_.CheckStatusWindowStartup(), 0);
    EXPECT_EQ(app_.CreateStartupItems(), 0);
    EXPECT_EQ(app_.RepairStatusWindow(), 0) << "nothing was created";
    EXPECT_EQ(app_.CheckProgramFolder(), 0);
    app_.CreateProgramFolder();
    EXPECT_FALSE(PathExists(noName.path()));
}

// --- Program folder and items --------------------------------------------------------------------

TEST_F(ProgramGroup, FolderCreatedAndFound)
{
    EXPECT_EQ(app_.CheckProgramFolder(), 0);
    app_.CreateProgramFolder();
    EXPECT_TRUE(GetFileAttributesW(folder_.path().c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(PathExists(folder_.path()));
    EXPECT_EQ(app_.CheckProgramFolder(), 1);
}

TEST_F(ProgramGroup, FolderNotCreatedWithoutAdminRights)
{
    app_.hasAdminRights = 0;
    app_.CreateProgramFolder();
    EXPECT_FALSE(PathExists(folder_.path()));
    EXPECT_EQ(app_.CheckProgramFolder(), 0);
}

TEST_F(ProgramGroup, ItemShortcutsAsTheShellReadsThem)
{
    ASSERT_TRUE(CreateDirectoryW(folder_.path().c_str(), nullptr));
    EXPECT_EQ(app_.ProgramItemExists(L"测试状态窗口"), 0);
    EXPECT_EQ(app_.CreateProgramItem(L"XERB5LAK.EXE", L"测试状态窗口", L"/min", L"", 0), 1);
    EXPECT_EQ(app_.ProgramItemExists(L"测试状态窗口"), 1);
    EXPECT_EQ(app_.ProgramItemExists(L"测试疑难解答"), 0) << "only the item asked for";
    ExpectShortcut(folder_.path() + L"\\测试状态窗口.lnk", StatusWindowTarget(), L"/min", L"测试状态窗口");

    // An icon named by the entry is not given to the shortcut.
    EXPECT_EQ(app_.CreateProgramItem(L"PDIAG.EXE", L"测试疑难解答", L"", (DriverDir() + L"\\PDIAG.EXE").c_str(), 2), 1);
    ExpectShortcut(folder_.path() + L"\\测试疑难解答.lnk", DriverDir() + L"\\PDIAG.EXE", L"", L"测试疑难解答");
}

TEST_F(ProgramGroup, ItemIntoMissingFolderFailsSilently)
{
    EXPECT_EQ(app_.CreateProgramItem(L"XERB5LAK.EXE", L"测试状态窗口", nullptr, nullptr, 0), 1);
    EXPECT_FALSE(PathExists(folder_.path()));
    EXPECT_EQ(app_.ProgramItemExists(L"测试状态窗口"), 0);
}

// The folder check and creation take GroupName up to its comma; the items live in the folder
// named by the whole value.
TEST_F(OwnManifest, GroupNameWithComma)
{
    ScopedManifest manifest(L"[ZELT Groups]\r\nGroupName=XERB5 测试组,x\r\nNumItems=0\r\n");
    SetAside folder(ProgramsFolder() + L"\\XERB5 测试组");
    SetAside whole(ProgramsFolder() + L"\\XERB5 测试组,x");

    EXPECT_EQ(app_.CheckProgramFolder(), 0);
    ASSERT_TRUE(CreateDirectoryW(whole.path().c_str(), nullptr));
    EXPECT_EQ(app_.CheckProgramFolder(), 0) << "the whole value is not the folder looked for";
    app_.CreateProgramFolder();
    EXPECT_TRUE(PathExists(folder.path()));
    EXPECT_EQ(app_.CheckProgramFolder(), 1);

    EXPECT_EQ(app_.CreateProgramItem(L"XERB5LAK.EXE", L"测试状态窗口", nullptr, nullptr, 0), 1);
    EXPECT_TRUE(PathExists(whole.path() + L"\\测试状态窗口.lnk"));
    EXPECT_FALSE(PathExists(folder.path() + L"\\测试状态窗口.lnk"));
    EXPECT_EQ(app_.ProgramItemExists(L"测试状态窗口"), 1);
}

// Where a name from the manifest would lead if it were used as a path.
std::wstring Resolved(const std::wstring& path)
{
    wchar_t full[MAX_PATH] = {};
    GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return full;
}

// Group, item and start-up names that are not plain names are never used as paths: nothing
// is created for them and they read as missing.
TEST_F(OwnManifest, NamesThatAreNotPlainAreNeverPaths)
{
    app_.hasAdminRights = 1;
    const std::wstring climb = L"..\\..\\..\\..\\..\\..\\";
    SetAside evilGroup(Resolved(ProgramsFolder() + L"\\" + climb + L"EvilGroup"));
    SetAside evilAbsolute(L"C:\\EvilAbs");
    SetAside evilStartup(Resolved(StartupFolder() + L"\\" + climb + L"x.lnk"));
    SetAside evilItem(Resolved(ProgramsFolder() + L"\\XERB5 测试组\\" + climb + L"x.LNK"));
    SetAside evilTarget(ProgramsFolder() + L"\\XERB5 测试组");

    for (const std::wstring& group : { climb + L"EvilGroup", std::wstring(L"C:\\EvilAbs") }) {
        ScopedManifest manifest(L"[ZELT Groups]\r\nGroupName=" + group + L"\r\nNumItems=0\r\n");
        EXPECT_EQ(app_.CheckProgramFolder(), 0) << Ansi(group);
        app_.CreateProgramFolder();
        // The sequence reports the folder repair by looking again: still missing.
        EXPECT_EQ(app_.CheckProgramFolder(), 0) << Ansi(group);
        EXPECT_EQ(app_.ProgramItemExists(L"测试状态窗口"), 0);
        EXPECT_EQ(app_.CreateProgramItem(L"XERB5LAK.EXE", L"测试状态窗口", nullptr, nullptr, 0), 0);
    }
    EXPECT_FALSE(PathExists(evilGroup.path()));
    EXPECT_FALSE(PathExists(evilAbsolute.path()));

    {
        ScopedManifest manifest(L"[ZELT Startup]\r\nNumItems=1\r\nZELTItem1=XERB5LAK.EXE," + climb + L"x,@\r\n");
        EXPECT_EQ(app_.CheckStatusWindowStartup(), 0);
        EXPECT_EQ(app_.CreateStartupItems(), 0);
        EXPECT_EQ(app_.RepairStatusWindow(), 0) << "a refused entry is not repaired";
        EXPECT_FALSE(PathExists(evilStartup.path()));
    }

    // In a plain group: an item name that climbs out, and a target outside the driver directory.
    ScopedManifest manifest(L"[ZELT Groups]\r\nGroupName=XERB5 测试组\r\nNumItems=0\r\n");
    app_.CreateProgramFolder();
    ASSERT_TRUE(PathExists(evilTarget.path()));
    EXPECT_EQ(app_.ProgramItemExists((climb + L"x").c_str()), 0);
    EXPECT_EQ(app_.CreateProgramItem(L"XERB5LAK.EXE", (climb + L"x").c_str(), nullptr, nullptr, 0), 0);
    EXPECT_FALSE(PathExists(evilItem.path()));
    EXPECT_EQ(app_.CreateProgramItem(L"..\\..\\evil.exe", L"测试状态窗口", nullptr, nullptr, 0), 0);
    EXPECT_EQ(app_.CreateProgramItem(L"XERB5LAK.EXE", L"CON", nullptr, nullptr, 0), 0);
    EXPECT_FALSE(PathExists(evilTarget.path() + L"\\测试状态窗口.lnk"));
}

TEST_F(OwnManifest, GroupNameMissingIsNameNone)
{
    ScopedManifest manifest(L"[ZELT Groups]\r\nNumItems=0\r\n");
    SetAside folder(ProgramsFolder() + L"\\NAME_NONE!");
    EXPECT_EQ(app_.CheckProgramFolder(), 0);
    app_.CreateProgramFolder();
    EXPECT_TRUE(PathExists(folder.path()));
    EXPECT_EQ(app_.CheckProgramFolder(), 1);
}

TEST_F(ProgramGroup, FolderDialogYesCreatesTheFolderNoDoesNot)
{
    {
        AnswerPilot pilot({ IDC_FOLDER_NO });
        ScopedAutopilot flying(pilot);
        CProgramFolderDlg dialog;
        EXPECT_EQ(dialog.DoModal(), IDC_FOLDER_NO);
        EXPECT_FALSE(PathExists(folder_.path()));
    }
    AnswerPilot pilot({ IDC_FOLDER_YES });
    ScopedAutopilot flying(pilot);
    CProgramFolderDlg dialog;
    EXPECT_EQ(dialog.DoModal(), IDC_FOLDER_YES);
    EXPECT_TRUE(PathExists(folder_.path()));
}

// --- App Paths -----------------------------------------------------------------------------------

class AppPath : public ::testing::Test {
protected:
    AppPathRestorer restore_;
    CTroubleshooterApp app_;
};

TEST_F(AppPath, ValueInOtherLetterCaseIsCorrect)
{
    std::wstring upper = StatusWindowTarget();
    CharUpperW(upper.data());
    SetMachineString(kAppPathKey, L"", upper);
    EXPECT_EQ(app_.CheckAppPath(), 0);
    std::wstring lower = StatusWindowTarget();
    CharLowerW(lower.data());
    SetMachineString(kAppPathKey, L"", lower);
    EXPECT_EQ(app_.CheckAppPath(), 0);
}

TEST_F(AppPath, WrongValueIsRepaired)
{
    SetMachineString(kAppPathKey, L"", L"C:\\elsewhere\\XERB5LAK.EXE");
    ASSERT_EQ(app_.CheckAppPath(), 2);
    EXPECT_EQ(app_.RepairAppPath(0), 1);
    EXPECT_EQ(MachineString(kAppPathKey, L""), L"C:\\elsewhere\\XERB5LAK.EXE") << "no bit, no change";
    EXPECT_EQ(app_.RepairAppPath(2), 1);
    std::optional<MachineData> value = ReadMachineValue(kAppPathKey, L"");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, DWORD(REG_SZ));
    EXPECT_EQ(value->bytes.size(), (StatusWindowTarget().size() + 1) * sizeof(wchar_t));
    EXPECT_EQ(MachineString(kAppPathKey, L""), StatusWindowTarget());
    EXPECT_EQ(app_.CheckAppPath(), 0);
}

TEST_F(AppPath, MissingKeyIsCreated)
{
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kAppPathKey.c_str());
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kAppPathKey.c_str());
    ASSERT_FALSE(MachineKeyExists(kAppPathKey));
    EXPECT_EQ(app_.CheckAppPath(), 2);
    EXPECT_EQ(app_.RepairAppPath(2), 1);
    EXPECT_EQ(MachineString(kAppPathKey, L""), StatusWindowTarget());
    EXPECT_EQ(app_.CheckAppPath(), 0);
}

TEST_F(AppPath, UnreadableDefaultValueCountsAsCorrect)
{
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kAppPathKey.c_str());
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kAppPathKey.c_str());
    SetMachineString(kAppPathKey, L"Path", DriverDir());
    EXPECT_EQ(app_.CheckAppPath(), 0) << "no default value";
    SetMachineString(kAppPathKey, L"", std::wstring(127, L'x'));
    EXPECT_EQ(app_.CheckAppPath(), 2) << "127 characters fit the 256-byte read";
    SetMachineString(kAppPathKey, L"", std::wstring(128, L'x'));
    EXPECT_EQ(app_.CheckAppPath(), 0) << "128 characters do not";
}

// --- The installed stand-in package, broken on purpose -------------------------------------------

namespace {

using Findings_ = std::vector<std::wstring>;

struct ShortcutFault {
    const wchar_t* fault;
    Findings_ found;
    void (*repair)(CTroubleshooterApp& app);
};

void CreateItems(CTroubleshooterApp& app)
{
    for (const PackageItem& item : kPackageItems)
        EXPECT_EQ(app.CreateProgramItem(item.file, item.name, nullptr, nullptr, 0), 1);
}

const ShortcutFault kShortcutFaults[] = {
    { L"startup-missing", { L"startup" }, [](CTroubleshooterApp& app) { EXPECT_EQ(app.RepairStatusWindow(), 1); } },
    { L"item-missing", { L"item 疑难解答" },
      [](CTroubleshooterApp& app) { EXPECT_EQ(app.CreateProgramItem(L"PDIAG.EXE", L"疑难解答", nullptr, nullptr, 0), 1); } },
    { L"folder-missing", { L"folder", L"item 状态窗口", L"item 疑难解答" },
      [](CTroubleshooterApp& app) {
          app.CreateProgramFolder();
          EXPECT_EQ(app.CheckProgramFolder(), 1);
          EXPECT_EQ(app.ProgramItemExists(L"状态窗口"), 0) << "the folder alone";
          CreateItems(app);
      } },
    { L"app-path-wrong", { L"app path" },
      [](CTroubleshooterApp& app) { EXPECT_EQ(app.RepairAppPath(app.CheckAppPath()), 1); } },
};

class InstalledShortcuts : public InstalledPackage {
protected:
    CurrentDirectoryRestorer directory_;
};

}  // namespace

TEST_F(InstalledShortcuts, EachFaultFoundAloneAndRepaired)
{
    for (const ShortcutFault& fault : kShortcutFaults) {
        Break(fault.fault);
        EXPECT_EQ(Findings(app_), fault.found) << Ansi(fault.fault);
        fault.repair(app_);
        EXPECT_EQ(Findings(app_), Findings_()) << Ansi(fault.fault) << " repaired";
        ASSERT_EQ(RunInstaller(L"install"), 0);
    }
    // What the repairs made, as the shell reads it.
    ExpectShortcut(StartupFolder() + L"\\Tavik QX2210-2370 状态窗口.lnk", StatusWindowTarget(), L"",
                   L"Tavik QX2210-2370 状态窗口");
}

TEST_F(InstalledShortcuts, RepairsRecreateWhatTheInstallerMade)
{
    Break(L"startup-missing");
    app_.RepairStatusWindow();
    ExpectShortcut(StartupFolder() + L"\\Tavik QX2210-2370 状态窗口.lnk", StatusWindowTarget(), L"",
                   L"Tavik QX2210-2370 状态窗口");
    Break(L"folder-missing");
    app_.CreateProgramFolder();
    CreateItems(app_);
    for (const PackageItem& item : kPackageItems)
        ExpectShortcut(ProgramsFolder() + L"\\Tavik QX2210-2370\\" + item.name + L".lnk",
                       DriverDir() + L"\\" + item.file, L"", item.name);
    Break(L"app-path-wrong");
    app_.RepairAppPath(2);
    EXPECT_EQ(MachineString(kAppPathKey, L""), StatusWindowTarget());
}

TEST_F(InstalledShortcuts, WithoutManifestTheShortcutChecksFindNothingInstalled)
{
    Break(L"manifest-missing");
    EXPECT_EQ(Findings(app_), (Findings_{ L"manifest", L"startup", L"folder", L"item 状态窗口", L"item 疑难解答" }));
    EXPECT_EQ(app_.CreateStartupItems(), 0);
}
