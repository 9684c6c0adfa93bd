#include "file_setup.h"

#include <cstdio>
#include <iterator>
#include <string>

#include "raii.h"

namespace pkg {

namespace {

bool FileSize(const std::wstring& path, ULONGLONG& size)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return false;
    size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

bool InUse(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_USER_MAPPED_FILE;
}

// Renames a file the loader holds mapped (Wine refuses to overwrite or delete it) to
// <name>.old, which goes at the next restart.
bool MoveAside(const std::wstring& path)
{
    const std::wstring aside = path + L".old";
    DeleteFileW(aside.c_str());
    if (!MoveFileExW(path.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING))
        return false;
    MoveFileExW(aside.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return true;
}

// The manifest as UTF-16 with CR LF line ends; the groups and the start-up list come from
// the same tables the shortcuts are made from, the file list from files.txt.
std::wstring ManifestText(const std::wstring& payloadDir)
{
    std::wstring text;
    auto line = [&text](const std::wstring& content) { text += content + L"\r\n"; };

    line(L"[ZELT Groups]");
    line(std::wstring(L"GroupName=") + kGroupName);
    line(L"NumItems=" + std::to_wstring(std::size(kGroupItems)));
    int number = 0;
    for (const ShortcutItem& item : kGroupItems)
        line(L"ZELTItem" + std::to_wstring(++number) + L"=" + item.file + L"," + item.name + L",@");
    line(L"");
    line(L"[ZELT Startup]");
    line(L"NumItems=1");
    line(std::wstring(L"ZELTItem1=") + kStartupItem.file + L"," + kStartupItem.name + L",@");
    line(L"");
    line(L"[ZELTFileConfig]");
    line(L";file,disk,flags,flags,flags,location1,location2,location3,size,time,date,version");
    for (const PackageFile* file = PackageFilesBegin(); file != PackageFilesEnd(); ++file) {
        ULONGLONG size = 0;
        FileSize(payloadDir + L"\\" + file->name, size);
        line(std::wstring(file->name) + L",1,0,0,0," + ManifestLocationCode(file->locations[0]) + L"," +
             ManifestLocationCode(file->locations[1]) + L"," + ManifestLocationCode(file->locations[2]) + L"," +
             std::to_wstring(size) + L"," + file->time + L"," + file->date + L"," + file->version);
    }
    return text;
}

}  // namespace

DWORD CopyOver(const std::wstring& source, const std::wstring& target)
{
    if (CopyFileW(source.c_str(), target.c_str(), FALSE))
        return ERROR_SUCCESS;
    DWORD error = GetLastError();
    if (!InUse(error) || !MoveAside(target))
        return error;
    return CopyFileW(source.c_str(), target.c_str(), FALSE) ? ERROR_SUCCESS : GetLastError();
}

DWORD RemoveInstalledFile(const std::wstring& path)
{
    if (DeleteFileW(path.c_str()))
        return ERROR_SUCCESS;
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return ERROR_SUCCESS;
    return InUse(error) && MoveAside(path) ? ERROR_SUCCESS : error;
}

std::wstring InstalledPath(const PackageFile& file, int location)
{
    const std::wstring directory = LocationDirectory(file.locations[location]);
    return directory.empty() ? std::wstring() : directory + L"\\" + file.name;
}

bool ListedFileTime(const PackageFile& file, LONGLONG offsetSeconds, FILETIME& out)
{
    SYSTEMTIME local = {};
    if (swscanf(file.date, L"%hu/%hu/%hu", &local.wYear, &local.wMonth, &local.wDay) != 3 ||
        swscanf(file.time, L"%hu:%hu:%hu", &local.wHour, &local.wMinute, &local.wSecond) != 3)
        return false;
    SYSTEMTIME utc;
    FILETIME time;
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !SystemTimeToFileTime(&utc, &time))
        return false;
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    value.QuadPart += offsetSeconds * 10000000LL;
    out.dwLowDateTime = value.LowPart;
    out.dwHighDateTime = value.HighPart;
    return true;
}

DWORD SetLastWriteTime(const std::wstring& path, const FILETIME& time)
{
    UniqueFile file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return GetLastError();
    return SetFileTime(file.get(), nullptr, nullptr, &time) ? ERROR_SUCCESS : GetLastError();
}

void InstallFiles(const std::wstring& payloadDir, SetupLog& log)
{
    for (const PackageFile* file = PackageFilesBegin(); file != PackageFilesEnd(); ++file) {
        const std::wstring source = payloadDir + L"\\" + file->name;
        FILETIME listed;
        if (!ListedFileTime(*file, 0, listed)) {
            log.Failed(std::wstring(L"listed time of ") + file->name, ERROR_INVALID_DATA);
            continue;
        }
        for (int location = 0; location < 3; ++location) {
            const std::wstring target = InstalledPath(*file, location);
            if (target.empty())
                continue;
            if (log.Check(L"copy " + target, CopyOver(source, target)))
                log.Check(L"time of " + target, SetLastWriteTime(target, listed));
        }
    }
    for (const wchar_t* file : kUnlistedFiles)
        log.Check(std::wstring(L"copy ") + file,
                  CopyOver(payloadDir + L"\\" + file, PrinterDriverDirectory() + L"\\" + file));
}

void WriteManifest(const std::wstring& payloadDir, SetupLog& log)
{
    const std::wstring text = ManifestText(payloadDir);
    int bytes = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                    nullptr);
    std::string ansi(bytes, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), &ansi[0], bytes, nullptr, nullptr);

    const std::wstring path = ManifestPath();
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !WriteFile(file.get(), ansi.data(), static_cast<DWORD>(ansi.size()), &written, nullptr) ||
        written != ansi.size())
        log.Failed(L"write " + path, GetLastError());
}

void RemoveFiles(SetupLog& log)
{
    auto remove = [&log](const std::wstring& path) { log.Check(L"delete " + path, RemoveInstalledFile(path)); };
    for (const PackageFile* file = PackageFilesBegin(); file != PackageFilesEnd(); ++file) {
        for (int location = 0; location < 3; ++location) {
            const std::wstring path = InstalledPath(*file, location);
            if (path.empty())
                continue;
            remove(path);
            DeleteFileW((path + L".old").c_str());  // left by a replacement while mapped
        }
    }
    for (const wchar_t* file : kUnlistedFiles) {
        const std::wstring path = PrinterDriverDirectory() + L"\\" + file;
        remove(path);
        DeleteFileW((path + L".old").c_str());  // a library a running status window held
    }
    remove(ManifestPath());
}

}  // namespace pkg
