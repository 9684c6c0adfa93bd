#include "registry.h"

#include <vector>

#include "raii.h"

namespace pkg {

namespace {

LONG CreateKey(const std::wstring& key, DWORD options, UniqueKey& out)
{
    return RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, options, KEY_SET_VALUE, nullptr,
                           out.put(), nullptr);
}

LONG SetValue(const std::wstring& key, const wchar_t* name, DWORD type, const void* data, DWORD size,
              DWORD options = REG_OPTION_NON_VOLATILE)
{
    UniqueKey k;
    LONG error = CreateKey(key, options, k);
    if (error != ERROR_SUCCESS)
        return error;
    return RegSetValueExW(k.get(), name, 0, type, static_cast<const BYTE*>(data), size);
}

LONG OpenKey(const std::wstring& key, REGSAM access, UniqueKey& out)
{
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, access, out.put());
}

}  // namespace

LONG WriteString(const std::wstring& key, const wchar_t* name, const std::wstring& value, DWORD options)
{
    return SetValue(key, name, REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)),
                    options);
}

LONG WriteDword(const std::wstring& key, const wchar_t* name, DWORD value, DWORD options)
{
    return SetValue(key, name, REG_DWORD, &value, sizeof(value), options);
}

LONG DeleteValue(const std::wstring& key, const wchar_t* name)
{
    UniqueKey k;
    LONG error = OpenKey(key, KEY_SET_VALUE, k);
    if (error == ERROR_FILE_NOT_FOUND)
        return ERROR_SUCCESS;
    if (error != ERROR_SUCCESS)
        return error;
    error = RegDeleteValueW(k.get(), name);
    return error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : error;
}

LONG DeleteKeyTree(const std::wstring& key)
{
    LONG error = RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str());
    return error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : error;
}

void DeleteKeyIfEmpty(const std::wstring& key)
{
    UniqueKey k;
    if (OpenKey(key, KEY_READ, k) != ERROR_SUCCESS)
        return;
    DWORD subkeys = 0, values = 0;
    if (RegQueryInfoKeyW(k.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                         nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
        subkeys == 0 && values == 0) {
        k.reset();
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, key.c_str());
    }
}

bool KeyExists(const std::wstring& key)
{
    UniqueKey k;
    return OpenKey(key, KEY_READ, k) == ERROR_SUCCESS;
}

bool ValueExists(const std::wstring& key, const wchar_t* name)
{
    UniqueKey k;
    return OpenKey(key, KEY_READ, k) == ERROR_SUCCESS &&
           RegQueryValueExW(k.get(), name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool ReadString(const std::wstring& key, const wchar_t* name, std::wstring& value)
{
    UniqueKey k;
    DWORD type = 0, size = 0;
    if (OpenKey(key, KEY_READ, k) != ERROR_SUCCESS ||
        RegQueryValueExW(k.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
        return false;
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(k.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
        ERROR_SUCCESS)
        return false;
    value = buffer.data();
    return true;
}

bool ReadDword(const std::wstring& key, const wchar_t* name, DWORD& value)
{
    UniqueKey k;
    DWORD type = 0, size = sizeof(value);
    return OpenKey(key, KEY_READ, k) == ERROR_SUCCESS &&
           RegQueryValueExW(k.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
           type == REG_DWORD;
}

}  // namespace pkg
