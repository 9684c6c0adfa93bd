#include "checks/shortcut.h"

#include <objbase.h>
#include <shlobj.h>

#include "framework/com.h"
#include "framework/strings.h"

HRESULT CreateShortcut(const std::wstring& target, const std::wstring& folder, const std::wstring& name,
                       const wchar_t* arguments, const wchar_t* iconFile, int& iconIndex)
{
    const std::wstring linkPath = folder + L"\\" + name + L".LNK";
    ComScope com;  // declared first: the interfaces are released before COM goes
    ComRef<IShellLinkW> link;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put());
    if (FAILED(result))
        return result;
    ComRef<IPersistFile> file;
    result = link->QueryInterface(IID_IPersistFile, file.put());
    if (FAILED(result))
        return result;

    link->SetPath(target.c_str());
    link->SetDescription(name.c_str());
    size_t cut = target.rfind(L'\\');
    if (cut != std::wstring::npos)
        link->SetWorkingDirectory(target.substr(0, cut).c_str());
    if (arguments && *arguments)
        link->SetArguments(arguments);
    if (iconFile && *iconFile)
        link->SetIconLocation(iconFile, iconIndex);

    result = file->Save(linkPath.c_str(), TRUE);
    SHChangeNotify(SHCNE_CREATE | SHCNE_UPDATEDIR, SHCNF_PATHW, folder.c_str(), linkPath.c_str());
    return result;
}

bool SpecialFolderPath(int csidl, std::wstring& path)
{
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list)) || !list)
        return false;
    wchar_t buffer[kPathChars] = {};
    BOOL found = SHGetPathFromIDListW(list, buffer);
    CoTaskMemFree(list);
    if (!found)
        return false;
    path = buffer;
    return true;
}
