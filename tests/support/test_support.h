// Helpers every test folder shares: texts in the prefix's ANSI code page, the system and
// driver directories, files written and read back byte for byte, and shortcuts read back
// through the shell.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <string>

#include "call_site.h"
#include "framework/com.h"
#include "framework/raii.h"

// Bytes of a wide text in code page 936, the ANSI code page of the test prefix, as the logs
// and the manifest hold them.
inline std::string Ansi(const std::wstring& text)
{
    int bytes = WideCharToMultiByte(936, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(bytes, '\0');
    WideCharToMultiByte(936, 0, text.c_str(), int(text.size()), out.data(), bytes, nullptr, nullptr);
    return out;
}

inline std::wstring SystemDir()
{
    wchar_t path[MAX_PATH] = {};
    GetSystemDirectoryW(path, MAX_PATH);
    return path;
}

// The print environment of the stand-in package built beside the tests, as on the Windows it is
// for: the 32-bit package for 32-bit Windows, the 64-bit one for 64-bit Windows; its printer
// driver directory, where the package's files go; and the manifest's code for that directory.
#ifdef _WIN64
inline const wchar_t kPackageEnvironment[] = L"Windows x64";
inline const wchar_t kDriverDirCode[] = L"X64_3";
#else
inline const wchar_t kPackageEnvironment[] = L"Windows NT x86";
inline const wchar_t kDriverDirCode[] = L"W32_3";
#endif

inline std::wstring DriverDir()
{
    return SystemDir() + (sizeof(void*) == 8 ? L"\\spool\\drivers\\x64\\3" : L"\\spool\\drivers\\w32x86\\3");
}

// The whole content of a file, also while a writer still holds it open; empty when it
// cannot be opened.
inline std::string ReadBytes(const std::wstring& path)
{
    std::string content;
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    if (!file)
        return content;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read)
        content.append(buffer, read);
    return content;
}

// Replaces the file's content by `bytes`, creating it.
inline void WriteBytes(const std::wstring& path, const std::string& bytes, CallSite site = {})
{
    CallerTrace trace(site);
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(bool(file)) << "cannot create " << Ansi(path) << ", error " << GetLastError();
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file.get(), bytes.data(), DWORD(bytes.size()), &written, nullptr))
        << "cannot write " << Ansi(path) << ", error " << GetLastError();
    EXPECT_EQ(written, bytes.size()) << "bytes written to " << Ansi(path);
}

// False when the file's attributes cannot be read.
inline bool FileSize(const std::wstring& path, ULONGLONG& size)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return false;
    size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

// A shortcut as the shell reads it back; `loaded` is false when it cannot be read.
struct ShortcutFields {
    bool loaded = false;
    std::wstring target, arguments, workingDirectory, description, iconFile;
    int iconIndex = -1;
};

inline ShortcutFields ReadShortcut(const std::wstring& path)
{
    ShortcutFields fields;
    ComScope com;
    ComRef<IShellLinkW> link;
    ComRef<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.put())) || FAILED(file->Load(path.c_str(), STGM_READ)))
        return fields;
    wchar_t text[MAX_PATH * 2];
    fields.loaded = true;
    text[0] = 0;
    link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
    fields.target = text;
    text[0] = 0;
    link->GetArguments(text, MAX_PATH * 2);
    fields.arguments = text;
    text[0] = 0;
    link->GetWorkingDirectory(text, MAX_PATH);
    fields.workingDirectory = text;
    text[0] = 0;
    link->GetDescription(text, MAX_PATH);
    fields.description = text;
    text[0] = 0;
    link->GetIconLocation(text, MAX_PATH, &fields.iconIndex);
    fields.iconFile = text;
    return fields;
}
