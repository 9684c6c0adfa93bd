// The program group folder and its shortcuts, the status window's start-up shortcut and its
// App Paths entry: checks against the manifest and the registry, and their repairs.
#include "checks/shortcut_checks.h"

#include "checks/check_ids.h"
#include "checks/machine_layout.h"
#include "checks/manifest.h"
#include "checks/registry_util.h"
#include "checks/shortcut.h"
#include "framework/raii.h"
#include "framework/strings.h"
#include "res/resource.h"

#include <shlobj.h>

#include <string>
#include <vector>

namespace {

const wchar_t kStatusWindowFile[] = L"XERB5LAK.EXE";
const int kAppPathWrong = 2;
// The App Paths value is read through 256 bytes; one that does not fit counts as correct.
const DWORD kAppPathBytes = 256;

std::wstring AppPathKeyPath()
{
    return std::wstring(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\") + kStatusWindowFile;
}

std::wstring StatusWindowPath()
{
    return ThisMachine().driverDirectory + L"\\" + kStatusWindowFile;
}

const wchar_t* TextOrEmpty(const wchar_t* text)
{
    return text ? text : L"";
}

// The status window's start-up entry: the first whose file name is exactly "XERB5LAK.EXE".
// An entry without an item name names no shortcut and is passed over; one whose name is not
// plain is damaged and counts as no entry, so nothing outside the Startup folder is touched.
const ManifestItem* FindStatusWindowItem(const std::vector<ManifestItem>& items)
{
    for (const ManifestItem& item : items)
        if (item.file == kStatusWindowFile && !item.name.empty())
            return IsPlainName(item.name) ? &item : nullptr;
    return nullptr;
}

// The program group folder that holds the items: the whole GroupName; false when it is not
// a plain name inside the Programs folder.
bool GroupFolderPath(RunFacts& facts, std::wstring& path)
{
    std::wstring group = ReadGroupName();
    if (!IsPlainName(group) || !facts.CommonFolder(CSIDL_COMMON_PROGRAMS, path))
        return false;
    path += L"\\" + group;
    return true;
}

// Presence of a shortcut file: opened with no access and no sharing, closed at once.
bool FileExists(const std::wstring& path)
{
    UniqueFile file(CreateFileW(path.c_str(), 0, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return bool(file);
}

}  // namespace

int CheckStatusWindowStartup(RunFacts& facts)
{
    if (!ManifestExists())
        return 0;
    std::vector<ManifestItem> items = ReadManifestItems(kStartupSection);
    const ManifestItem* item = FindStatusWindowItem(items);
    std::wstring startup;
    if (!item || !facts.CommonFolder(CSIDL_COMMON_STARTUP, startup))
        return 0;
    return FileExists(startup + L"\\" + item->name + L".lnk") ? 1 : 0;
}

Finding StatusWindowFinding(int result)
{
    if (result == 0)
        return Finding::Fault(CheckId::kStatusWindow, LoadStr(IDS_STATUSWND_MISSING), Repair::StatusWindow);
    return Finding::Correct(CheckId::kStatusWindow, result == 1 ? LoadStr(IDS_STATUSWND_INSTALLED) : std::wstring());
}

int CreateStartupItems(RunFacts& facts)
{
    if (!ManifestExists())
        return 0;
    std::vector<ManifestItem> items = ReadManifestItems(kStartupSection);
    std::wstring startup;
    if (!facts.CommonFolder(CSIDL_COMMON_STARTUP, startup))
        return 0;
    const ManifestItem* item = FindStatusWindowItem(items);
    if (!item)
        return 0;
    int iconIndex = 0;
    HRESULT saved = CreateShortcut(ThisMachine().driverDirectory + L"\\" + item->file, startup, item->name,
                                   item->arguments.c_str(), nullptr, iconIndex);
    return SUCCEEDED(saved) ? 1 : 0;
}

int CheckProgramFolder(RunFacts& facts)
{
    if (!ManifestExists())
        return 0;
    std::wstring folder = GroupFolderName(ReadGroupName());
    std::wstring programs;
    if (!IsPlainName(folder) || !facts.CommonFolder(CSIDL_COMMON_PROGRAMS, programs))
        return 0;
    WIN32_FIND_DATAW found;
    UniqueFind find(FindFirstFileW((programs + L"\\" + folder).c_str(), &found));
    return find ? 1 : 0;
}

Finding ProgramFolderFinding(int result)
{
    if (result == 0)
        return Finding::Fault(CheckId::kProgramFolder, LoadStr(IDS_FOLDER_MISSING), Repair::ProgramFolder);
    return Finding::Correct(CheckId::kProgramFolder);
}

void CreateProgramFolder(RunFacts& facts)
{
    // The folder is created relative to the current directory: without the Programs folder
    // as current directory it would land anywhere, so nothing is created then.
    std::wstring programs;
    if (!facts.CommonFolder(CSIDL_COMMON_PROGRAMS, programs) || !SetCurrentDirectoryW(programs.c_str()))
        return;
    if (!ManifestExists())
        return;
    std::wstring folder = GroupFolderName(ReadGroupName());
    if (IsPlainName(folder))
        CreateDirectoryExW(programs.c_str(), folder.c_str(), nullptr);
}

int ProgramItemExists(RunFacts& facts, const wchar_t* itemName)
{
    std::wstring folder;
    if (!IsPlainName(TextOrEmpty(itemName)) || !GroupFolderPath(facts, folder))
        return 0;
    return FileExists(folder + L"\\" + itemName + L".lnk") ? 1 : 0;
}

Finding ProgramItemFinding(const std::wstring& itemName, int exists)
{
    if (exists)
        return Finding::Correct(CheckId::kProgramItem);
    return Finding::Fault(CheckId::kProgramItem, FormatPrintf(LoadStr(IDS_ITEM_MISSING).c_str(), itemName.c_str()),
                          Repair::ProgramItem);
}

int CreateProgramItem(RunFacts& facts, const wchar_t* file, const wchar_t* itemName, const wchar_t* arguments,
                      int iconIndex)
{
    // The target, too, stays in the printer-driver directory.
    std::wstring folder;
    if (!IsPlainName(TextOrEmpty(itemName)) || !IsPlainName(TextOrEmpty(file)) || !GroupFolderPath(facts, folder))
        return 0;
    CreateShortcut(ThisMachine().driverDirectory + L"\\" + file, folder, itemName, arguments, nullptr, iconIndex);
    return 1;
}

int CheckAppPath()
{
    UniqueKey key;
    if (OpenMachineKey(AppPathKeyPath(), KEY_READ, key) != ERROR_SUCCESS)
        return kAppPathWrong;
    std::wstring value;
    if (ReadStringValue(key.get(), nullptr, kAppPathBytes, value) != ERROR_SUCCESS)
        return 0;
    return EqualsIgnoringAsciiCase(value, StatusWindowPath().c_str()) ? 0 : kAppPathWrong;
}

int RepairAppPath(int code)
{
    if (code & kAppPathWrong) {
        UniqueKey key;
        if (CreateMachineKey(AppPathKeyPath(), key) == ERROR_SUCCESS)
            WriteStringValue(key.get(), nullptr, StatusWindowPath().c_str());
    }
    return 1;
}

Finding AppPathFinding(int code)
{
    if (code == 0)
        return Finding::Correct(CheckId::kRegistry, LoadStr(IDS_REGISTRY_CORRECT));
    return Finding::Fault(CheckId::kRegistry, LoadStr(IDS_REGISTRY_WRONG), Repair::AppPath, code);
}
