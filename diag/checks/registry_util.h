// Registry reads and writes shared by the registration, printer attribute, port and service
// checks. Every path is under HKEY_LOCAL_MACHINE, opened in the view the spooler reads.
#pragma once
#include "checks/machine_layout.h"
#include "framework/raii.h"

#include <string>

// The spooler's own keys.
inline const wchar_t kPrintKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Print";

inline LONG OpenMachineKey(const std::wstring& path, REGSAM access, UniqueKey& key)
{
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, access | ThisMachine().registryView, key.put());
}

// Opens the key for writing values, creating it (and any missing parent) when absent.
inline LONG CreateMachineKey(const std::wstring& path, UniqueKey& key)
{
    return RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_SET_VALUE | ThisMachine().registryView, nullptr, key.put(), nullptr);
}

// Reads a string value through a buffer of `bytes` bytes: a value that does not fit fails with
// ERROR_MORE_DATA. The text ends at the first zero, also when the value was stored without one.
inline LONG ReadStringValue(HKEY key, const wchar_t* name, DWORD bytes, std::wstring& text)
{
    std::wstring buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD size = bytes;
    LONG error = RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&buffer[0]), &size);
    if (error == ERROR_SUCCESS)
        text.assign(buffer.c_str());
    return error;
}

// Reads a value into four bytes; a shorter value leaves the rest zero.
inline bool ReadDwordValue(HKEY key, const wchar_t* name, DWORD& value)
{
    value = 0;
    DWORD size = sizeof(value);
    return RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) ==
           ERROR_SUCCESS;
}

// Writes a REG_SZ whose size counts the terminator.
inline LONG WriteStringValue(HKEY key, const wchar_t* name, const wchar_t* text)
{
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>((lstrlenW(text) + 1) * sizeof(wchar_t)));
}

inline LONG WriteDwordValue(HKEY key, const wchar_t* name, DWORD value)
{
    return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

// Equal when the texts differ at most in the case of the letters A to Z.
inline bool EqualsIgnoringAsciiCase(const std::wstring& text, const wchar_t* expected)
{
    auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? wchar_t(c - L'A' + L'a') : c; };
    size_t i = 0;
    for (; i < text.size() && expected[i]; ++i)
        if (lower(text[i]) != lower(expected[i]))
            return false;
    return i == text.size() && !expected[i];
}
