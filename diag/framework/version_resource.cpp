#include "framework/version_resource.h"

#include <vector>

bool ModuleFileVersion(HMODULE module, FileVersion& version)
{
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = found ? SizeofResource(module, found) : 0;
    if (!data || !size)
        return false;
    // The resource lies in read-only pages of the module; it is searched in a copy of its own.
    std::vector<BYTE> copy(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(copy.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || !fixed ||
        length < sizeof(VS_FIXEDFILEINFO))
        return false;
    version.part[0] = HIWORD(fixed->dwFileVersionMS);
    version.part[1] = LOWORD(fixed->dwFileVersionMS);
    version.part[2] = HIWORD(fixed->dwFileVersionLS);
    version.part[3] = LOWORD(fixed->dwFileVersionLS);
    return true;
}

bool FileVersionOf(const wchar_t* path, FileVersion& version)
{
    // GetFileVersionInfoSizeW and GetFileVersionInfoW would each map the file in turn: for a
    // library of a megabyte that is a few milliseconds apiece.
    HMODULE module = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return false;
    bool found = ModuleFileVersion(module, version);
    FreeLibrary(module);
    return found;
}
