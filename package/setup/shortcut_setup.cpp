#include "shortcut_setup.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "com.h"
#include "package_layout.h"
#include "raii.h"
#include "registry.h"

namespace pkg {

namespace {

void RemoveFile(const std::wstring& path, SetupLog& log)
{
    if (!DeleteFileW(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND && GetLastError() != ERROR_PATH_NOT_FOUND)
        log.Failed(L"delete " + path, GetLastError());
}

std::wstring StarterPath() { return PrinterDriverDirectory() + L"\\" + kStarterName; }

}  // namespace

long CreateShortcut(const std::wstring& target, const std::wstring& folder, const std::wstring& name)
{
    ComScope com;
    ComRef<IShellLinkW> link;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put());
    if (FAILED(hr))
        return hr;
    ComRef<IPersistFile> file;
    hr = link->QueryInterface(IID_IPersistFile, file.put());
    if (FAILED(hr))
        return hr;
    link->SetPath(target.c_str());
    link->SetDescription(name.c_str());
    link->SetWorkingDirectory(target.substr(0, target.find_last_of(L'\\')).c_str());
    const std::wstring path = folder + L"\\" + name + L".lnk";
    hr = file->Save(path.c_str(), TRUE);
    if (SUCCEEDED(hr))
        SHChangeNotify(SHCNE_CREATE | SHCNE_UPDATEDIR, SHCNF_PATHW, folder.c_str(), path.c_str());
    return hr;
}

void CreateProgramGroup(SetupLog& log)
{
    const std::wstring folder = ProgramGroupFolder();
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        log.Failed(L"create " + folder, GetLastError());
        return;
    }
    for (const ShortcutItem& item : kGroupItems)
        log.Check(std::wstring(L"shortcut ") + item.name,
                  static_cast<DWORD>(CreateShortcut(PrinterDriverDirectory() + L"\\" + item.file, folder, item.name)));
}

void CreateStartupShortcut(SetupLog& log)
{
    log.Check(L"start-up shortcut",
              static_cast<DWORD>(CreateShortcut(StarterPath(), CommonFolder(CSIDL_COMMON_STARTUP), kStartupItem.name)));
}

void WriteAppPath(SetupLog& log)
{
    log.Check(L"App Paths entry", WriteString(AppPathKeyPath(), nullptr, StarterPath()));
}

void RemoveFolder(const std::wstring& folder, SetupLog& log)
{
    WIN32_FIND_DATAW found;
    UniqueFind search(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (search) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                RemoveFile(folder + L"\\" + found.cFileName, log);
        } while (FindNextFileW(search.get(), &found));
    }
    search.reset();
    if (!RemoveDirectoryW(folder.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND &&
        GetLastError() != ERROR_PATH_NOT_FOUND)
        log.Failed(L"remove " + folder, GetLastError());
}

void RemoveShortcuts(SetupLog& log)
{
    RemoveFolder(ProgramGroupFolder(), log);
    RemoveFile(StartupShortcutPath(), log);
    log.Check(L"remove App Paths entry", DeleteKeyTree(AppPathKeyPath()));
}

}  // namespace pkg
