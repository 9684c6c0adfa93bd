// Looks at the prefix the way the troubleshooter's checks do, independently of the
// installer's own code: registry, files, version resources, the manifest. The system and
// driver directories, file sizes and shortcuts come from the shared support/test_support.h.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace probe {

extern const wchar_t kPrinter[];  // "Tavik QX2210-2370"

std::wstring PayloadDir();
std::wstring ManifestPath();
std::wstring PrinterKey();
std::wstring DriverKey();
std::wstring SpecialFolder(int csidl);  // SHGetSpecialFolderLocation + SHGetPathFromIDListW

bool KeyExists(const std::wstring& key);
bool HasValue(const std::wstring& key, const wchar_t* name);
// REG_SZ read into a 64-byte buffer, as the driver check reads it.
bool ReadShortString(const std::wstring& key, const wchar_t* name, std::wstring& out);
bool ReadString(const std::wstring& key, const wchar_t* name, std::wstring& out);
bool ReadDword(const std::wstring& key, const wchar_t* name, DWORD& out);
DWORD PrinterAttributes();  // 0 when unreadable

bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);
std::wstring FileVersion(const std::wstring& path);   // "%d.%2.2d.%d.%3.3d", empty when none
std::wstring FileTimeText(const std::wstring& path);  // local "%Y/%m/%d %H:%M:%S"
// The listed local time stamp "YYYY/MM/DD HH:MM:SS" minus the file's, in seconds.
LONGLONG SecondsFromListed(const std::wstring& path, const std::wstring& listed);
// Whether some value of "HARDWARE\DEVICEMAP\PARALLEL PORTS" names `dosName`.
bool ParallelPortListed(const wchar_t* dosName);

// One [ZELTFileConfig] entry of the manifest.
struct FileEntry {
    std::wstring name;
    std::wstring locations[3];
    std::wstring size, time, date, version;
};
// The manifest decoded from code page 936.
bool ReadManifestText(std::wstring& text);
// Its [ZELTFileConfig] entries: 12 tokens each, comments skipped.
std::vector<FileEntry> ReadFileEntries();
const FileEntry* FindEntry(const std::vector<FileEntry>& entries, const std::wstring& name);
std::wstring LocationDir(const std::wstring& code);  // empty for unknown codes

// Runs a program with `arguments`, waits, returns its exit code and its stdout bytes.
DWORD RunProgram(const std::wstring& program, const std::wstring& arguments, std::string* output = nullptr);

}  // namespace probe
