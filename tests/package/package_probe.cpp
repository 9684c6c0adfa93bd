#include "package/package_probe.h"

#include <objbase.h>
#include <shlobj.h>
#include <cwchar>

#include "raii.h"

namespace probe {

const wchar_t kPrinter[] = L"Tavik QX2210-2370";

std::wstring PayloadDir() { return L"" PKG_PAYLOAD_DIR; }

std::wstring ManifestPath() { return DriverDir() + L"\\XERB5INK.DAT"; }

std::wstring PrinterKey()
{
    return std::wstring(L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\") + kPrinter;
}

std::wstring DriverKey()
{
    return std::wstring(L"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\") + kPackageEnvironment +
           L"\\Drivers\\Version-3\\" + kPrinter;
}

std::wstring SpecialFolder(int csidl)
{
    LPITEMIDLIST list = nullptr;
    wchar_t path[MAX_PATH] = L"";
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, csidl, &list))) {
        SHGetPathFromIDListW(list, path);
        CoTaskMemFree(list);
    }
    return path;
}

namespace {

bool Open(const std::wstring& key, UniqueKey& out)
{
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, out.put()) == ERROR_SUCCESS;
}

std::wstring LocalText(const FILETIME& time)
{
    SYSTEMTIME utc, local;
    FileTimeToSystemTime(&time, &utc);
    SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
    wchar_t text[32];
    swprintf(text, 32, L"%04u/%02u/%02u %02u:%02u:%02u", local.wYear, local.wMonth, local.wDay, local.wHour,
             local.wMinute, local.wSecond);
    return text;
}

bool LastWrite(const std::wstring& path, FILETIME& time)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return false;
    time = data.ftLastWriteTime;
    return true;
}

}  // namespace

bool KeyExists(const std::wstring& key)
{
    UniqueKey k;
    return Open(key, k);
}

bool HasValue(const std::wstring& key, const wchar_t* name)
{
    UniqueKey k;
    return Open(key, k) && RegQueryValueExW(k.get(), name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool ReadShortString(const std::wstring& key, const wchar_t* name, std::wstring& out)
{
    UniqueKey k;
    wchar_t buffer[32] = L"";
    DWORD size = sizeof(buffer), type = 0;
    if (!Open(key, k) || RegQueryValueExW(k.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
                             ERROR_SUCCESS || type != REG_SZ)
        return false;
    buffer[31] = L'\0';
    out = buffer;
    return true;
}

bool ReadString(const std::wstring& key, const wchar_t* name, std::wstring& out)
{
    UniqueKey k;
    wchar_t buffer[1024] = L"";
    DWORD size = sizeof(buffer) - sizeof(wchar_t), type = 0;
    if (!Open(key, k) || RegQueryValueExW(k.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
                             ERROR_SUCCESS || type != REG_SZ)
        return false;
    out = buffer;
    return true;
}

bool ReadDword(const std::wstring& key, const wchar_t* name, DWORD& out)
{
    UniqueKey k;
    DWORD size = sizeof(out), type = 0;
    return Open(key, k) &&
           RegQueryValueExW(k.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&out), &size) == ERROR_SUCCESS &&
           type == REG_DWORD;
}

DWORD PrinterAttributes()
{
    DWORD attributes = 0;
    return ReadDword(PrinterKey(), L"Attributes", attributes) ? attributes : 0;
}

bool FileExists(const std::wstring& path)
{
    UniqueFile file(CreateFileW(path.c_str(), 0, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return bool(file);
}

bool FolderExists(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring FileVersion(const std::wstring& path)
{
    // The version functions load the file as a data module, and the loader answers with a
    // module of that path this process already maps (the spooler keeps the configuration
    // module loaded even after it was replaced). A fresh copy has a path of its own.
    wchar_t temp[MAX_PATH], copy[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    GetTempFileNameW(temp, L"ver", 0, copy);
    if (!CopyFileW(path.c_str(), copy, FALSE))
        return std::wstring();
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(copy, &ignored);
    std::vector<BYTE> data(size ? size : 1);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    bool ok = size && GetFileVersionInfoW(copy, 0, size, data.data()) &&
              VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) && info;
    DeleteFileW(copy);
    if (!ok)
        return std::wstring();
    wchar_t text[64];
    swprintf(text, 64, L"%d.%2.2d.%d.%3.3d", HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
             HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS));
    return text;
}

std::wstring FileTimeText(const std::wstring& path)
{
    FILETIME time;
    return LastWrite(path, time) ? LocalText(time) : std::wstring();
}

LONGLONG SecondsFromListed(const std::wstring& path, const std::wstring& listed)
{
    SYSTEMTIME local = {}, utc;
    FILETIME expected, actual;
    swscanf(listed.c_str(), L"%hu/%hu/%hu %hu:%hu:%hu", &local.wYear, &local.wMonth, &local.wDay, &local.wHour,
            &local.wMinute, &local.wSecond);
    TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc);
    SystemTimeToFileTime(&utc, &expected);
    if (!LastWrite(path, actual))
        return 0;
    auto ticks = [](const FILETIME& t) {
        return static_cast<LONGLONG>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    return (ticks(actual) - ticks(expected)) / 10000000LL;
}

bool ParallelPortListed(const wchar_t* dosName)
{
    UniqueKey key;
    if (!Open(L"HARDWARE\\DEVICEMAP\\PARALLEL PORTS", key))
        return false;
    for (DWORD index = 0;; ++index) {
        wchar_t name[260], data[260] = L"";
        DWORD nameSize = 260, dataSize = sizeof(data) - sizeof(wchar_t);
        LONG error = RegEnumValueW(key.get(), index, name, &nameSize, nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                                   &dataSize);
        if (error == ERROR_NO_MORE_ITEMS)
            return false;
        if (error == ERROR_SUCCESS && wcsstr(data, dosName))
            return true;
    }
}

bool ReadManifestText(std::wstring& text)
{
    UniqueFile file(CreateFileW(ManifestPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return false;
    DWORD size = GetFileSize(file.get(), nullptr), read = 0;
    std::string bytes(size, '\0');
    if (!ReadFile(file.get(), &bytes[0], size, &read, nullptr) || read != size)
        return false;
    int length = MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0 && size > 0)
        return false;
    text.assign(length, L'\0');
    MultiByteToWideChar(936, 0, bytes.data(), size, &text[0], length);
    return true;
}

std::vector<FileEntry> ReadFileEntries()
{
    std::vector<FileEntry> entries;
    std::wstring text;
    if (!ReadManifestText(text))
        return entries;
    size_t start = text.find(L"[ZELTFileConfig]");
    if (start == std::wstring::npos)
        return entries;
    start += 16;
    const std::wstring body = text.substr(start, text.find(L'[', start) - start);

    std::vector<std::wstring> tokens;
    const std::wstring delimiters = L" ,\t\r\n";
    for (size_t pos = 0; pos < body.size();) {
        pos = body.find_first_not_of(delimiters, pos);
        if (pos == std::wstring::npos)
            break;
        if (body[pos] == L';') {  // comment to the end of the line
            pos = body.find(L'\n', pos);
            continue;
        }
        size_t end = body.find_first_of(delimiters, pos);
        tokens.push_back(body.substr(pos, end - pos));
        pos = end;
    }
    for (size_t i = 0; i + 12 <= tokens.size(); i += 12)
        entries.push_back({tokens[i], {tokens[i + 5], tokens[i + 6], tokens[i + 7]}, tokens[i + 8], tokens[i + 9],
                           tokens[i + 10], tokens[i + 11]});
    if (tokens.size() % 12 != 0)
        entries.clear();  // a broken entry: report none rather than shifted ones
    return entries;
}

const FileEntry* FindEntry(const std::vector<FileEntry>& entries, const std::wstring& name)
{
    for (const FileEntry& entry : entries)
        if (entry.name == name)
            return &entry;
    return nullptr;
}

std::wstring LocationDir(const std::wstring& code)
{
    if (code == kDriverDirCode)
        return DriverDir();
    if (code == L"SYS32")
        return SystemDir();
    if (code == L"DRV")
        return SystemDir() + L"\\drivers";
    return std::wstring();
}

DWORD RunProgram(const std::wstring& program, const std::wstring& arguments, std::string* output)
{
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    CreatePipe(&readEnd, &writeEnd, &inherit, 0);
    UniqueFile reader(readEnd), writer(writeEnd);
    SetHandleInformation(reader.get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writer.get();
    startup.hStdError = writer.get();
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::wstring commandLine = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process))
        return static_cast<DWORD>(-1);
    UniqueFile child(process.hProcess), thread(process.hThread);
    writer.reset();

    std::string collected;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(reader.get(), buffer, sizeof(buffer), &read, nullptr) && read)
        collected.append(buffer, read);
    WaitForSingleObject(child.get(), 120000);
    DWORD code = static_cast<DWORD>(-1);
    GetExitCodeProcess(child.get(), &code);
    if (output)
        *output = collected;
    return code;
}

}  // namespace probe
