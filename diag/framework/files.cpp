#include "framework/files.h"

#include "framework/raii.h"

FileWriteCalls g_fileWriteCalls = { WriteFile };

namespace {

// What a file or folder is on its volume. No access is asked for, so a file that another
// program holds open without sharing still answers.
bool Identify(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info)
{
    UniqueFile file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file && GetFileInformationByHandle(file.get(), &info);
}

bool SameIdentity(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b)
{
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}

// The full form of `path` cut into its folder (with the trailing backslash) and its final
// name; false for a name without either.
bool SplitFullPath(const std::wstring& path, std::wstring& folder, std::wstring& name)
{
    DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return false;
    std::wstring full(size, L'\0');
    wchar_t* part = nullptr;
    DWORD length = GetFullPathNameW(path.c_str(), size, &full[0], &part);
    if (length == 0 || length >= size || !part)
        return false;
    const size_t cut = part - full.c_str();
    folder = full.substr(0, cut);
    name = full.substr(cut, length - cut);
    return !folder.empty() && !name.empty();
}

}  // namespace

bool SameFile(const std::wstring& a, const std::wstring& b)
{
    BY_HANDLE_FILE_INFORMATION infoA, infoB;
    const bool knownA = Identify(a, infoA);
    const bool knownB = Identify(b, infoB);
    if (knownA && knownB)
        return SameIdentity(infoA, infoB);
    // One of them is not there (yet): it is the other only when it would be made in the other's
    // folder under the other's name.
    std::wstring folderA, nameA, folderB, nameB;
    if (!SplitFullPath(a, folderA, nameA) || !SplitFullPath(b, folderB, nameB))
        return false;
    if (CompareStringOrdinal(nameA.c_str(), -1, nameB.c_str(), -1, TRUE) != CSTR_EQUAL)
        return false;
    return Identify(folderA, infoA) && Identify(folderB, infoB) && SameIdentity(infoA, infoB);
}

bool ReadWholeFile(HANDLE file, std::string& bytes)
{
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size) || size.HighPart != 0 || size.LowPart > 0x7FFFFFFF)
        return false;
    bytes.assign(size.LowPart, '\0');
    DWORD read = 0;
    if (size.LowPart && !ReadFile(file, &bytes[0], size.LowPart, &read, nullptr))
        return false;
    bytes.resize(read);
    return true;
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes)
{
    // A file that cannot be deleted (read-only, or open elsewhere) is not replaced: the new
    // one is made only where no file is.
    DeleteFileW(path.c_str());
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    DWORD written = 0;
    if (g_fileWriteCalls.writeFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size())
        return true;
    file.reset();
    DeleteFileW(path.c_str());
    return false;
}
