// Test helpers for the checks: registry data under HKEY_LOCAL_MACHINE that tests set and put
// back, and a temporary result log read back byte for byte.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include "support/test_support.h"

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

// Puts registry data back when it goes out of scope: the named values of the key as they
// were, or, when the key (or a parent) did not exist, removes what was created below.
class RegistryRestorer {
public:
    explicit RegistryRestorer(std::wstring path, std::initializer_list<const wchar_t*> names = {})
        : path_(std::move(path))
    {
        for (size_t end = path_.find(L'\\');; end = path_.find(L'\\', end + 1)) {
            std::wstring prefix = path_.substr(0, end);
            HKEY key = nullptr;
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, prefix.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
                createdRoot_ = prefix;
                return;
            }
            if (end == std::wstring::npos) {
                for (const wchar_t* name : names)
                    saved_.push_back(Save(key, name));
                RegCloseKey(key);
                return;
            }
            RegCloseKey(key);
        }
    }
    ~RegistryRestorer()
    {
        if (!createdRoot_.empty()) {
            RegDeleteTreeW(HKEY_LOCAL_MACHINE, createdRoot_.c_str());
            return;
        }
        // The key may have gone with its owner (a deleted service): it comes back too.
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            return;
        for (const Saved& value : saved_) {
            if (value.present)
                RegSetValueExW(key, value.name.c_str(), 0, value.type, value.data.data(),
                               static_cast<DWORD>(value.data.size()));
            else
                RegDeleteValueW(key, value.name.c_str());
        }
        RegCloseKey(key);
    }
    RegistryRestorer(const RegistryRestorer&) = delete;
    RegistryRestorer& operator=(const RegistryRestorer&) = delete;

private:
    struct Saved {
        std::wstring name;
        bool present = false;
        DWORD type = 0;
        std::vector<BYTE> data;
    };
    static Saved Save(HKEY key, const wchar_t* name)
    {
        Saved value;
        value.name = name;
        DWORD size = 0;
        if (RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS)
            return value;
        value.data.resize(size);
        value.present = RegQueryValueExW(key, name, nullptr, &value.type, value.data.data(), &size) == ERROR_SUCCESS;
        value.data.resize(size);
        return value;
    }

    std::wstring path_;
    std::wstring createdRoot_;
    std::vector<Saved> saved_;
};

// Writes a value of any type, creating the key; the data is taken as it is.
inline void SetMachineValue(const std::wstring& path, const wchar_t* name, DWORD type, const void* data, size_t bytes,
                            CallSite site = {})
{
    CallerTrace trace(site);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS)
        << "cannot create HKLM\\" << Ansi(path);
    EXPECT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(bytes)),
              ERROR_SUCCESS)
        << "cannot set " << Ansi(name ? name : L"(default)") << " of HKLM\\" << Ansi(path);
    RegCloseKey(key);
}

// Creates the key and its missing parents as volatile keys, which is what a volatile parent
// (such as the current hardware profile) takes.
inline void CreateVolatileMachineKey(const std::wstring& path, CallSite site = {})
{
    CallerTrace trace(site);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_READ, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS)
        << "cannot create the volatile key HKLM\\" << Ansi(path);
    RegCloseKey(key);
}

// A string with its terminator; `text` may hold zeros of its own (a multi-string).
inline void SetMachineString(const std::wstring& path, const wchar_t* name, const std::wstring& text,
                             DWORD type = REG_SZ, CallSite site = {})
{
    SetMachineValue(path, name, type, text.c_str(), (text.size() + 1) * sizeof(wchar_t), site);
}

inline void SetMachineDword(const std::wstring& path, const wchar_t* name, DWORD value, CallSite site = {})
{
    SetMachineValue(path, name, REG_DWORD, &value, sizeof(value), site);
}

inline void DeleteMachineValue(const std::wstring& path, const wchar_t* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, name);
        RegCloseKey(key);
    }
}

inline bool MachineKeyExists(const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// A value's type and bytes; empty when the key or the value is missing.
struct MachineData {
    DWORD type = 0;
    std::vector<BYTE> bytes;
};
inline std::optional<MachineData> ReadMachineValue(const std::wstring& path, const wchar_t* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    MachineData data;
    DWORD size = 0;
    LONG error = RegQueryValueExW(key, name, nullptr, &data.type, nullptr, &size);
    if (error == ERROR_SUCCESS) {
        data.bytes.resize(size);
        error = RegQueryValueExW(key, name, nullptr, &data.type, data.bytes.data(), &size);
        data.bytes.resize(size);
    }
    RegCloseKey(key);
    if (error != ERROR_SUCCESS)
        return std::nullopt;
    return data;
}

// A REG_SZ value's text (without the terminator); empty when missing or of another type.
inline std::optional<std::wstring> MachineString(const std::wstring& path, const wchar_t* name)
{
    std::optional<MachineData> data = ReadMachineValue(path, name);
    if (!data || data->type != REG_SZ)
        return std::nullopt;
    std::wstring text(reinterpret_cast<const wchar_t*>(data->bytes.data()), data->bytes.size() / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0')
        text.pop_back();
    return text;
}

// A REG_DWORD value; empty when missing or of another type.
inline std::optional<DWORD> MachineDword(const std::wstring& path, const wchar_t* name)
{
    std::optional<MachineData> data = ReadMachineValue(path, name);
    if (!data || data->type != REG_DWORD || data->bytes.size() != sizeof(DWORD))
        return std::nullopt;
    return *reinterpret_cast<const DWORD*>(data->bytes.data());
}

// The entries of a REG_MULTI_SZ value; none when it is missing.
inline std::vector<std::wstring> MachineMultiString(const std::wstring& path, const wchar_t* name)
{
    std::vector<std::wstring> entries;
    std::optional<MachineData> data = ReadMachineValue(path, name);
    if (!data || data->type != REG_MULTI_SZ)
        return entries;
    const wchar_t* text = reinterpret_cast<const wchar_t*>(data->bytes.data());
    size_t length = data->bytes.size() / sizeof(wchar_t);
    for (size_t i = 0; i < length && text[i];) {
        std::wstring entry;
        while (i < length && text[i])
            entry += text[i++];
        entries.push_back(entry);
        ++i;
    }
    return entries;
}

// An empty file in the temporary directory for the result log, deleted afterwards.
class TempLog {
public:
    TempLog()
    {
        wchar_t directory[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, directory);
        GetTempFileNameW(directory, L"chk", 0, path_);
    }
    ~TempLog() { DeleteFileW(path_); }
    TempLog(const TempLog&) = delete;
    TempLog& operator=(const TempLog&) = delete;

    const wchar_t* path() const { return path_; }

    // The file's bytes as written (ANSI text).
    std::string bytes() const { return ReadBytes(path_); }

private:
    wchar_t path_[MAX_PATH] = {};
};
