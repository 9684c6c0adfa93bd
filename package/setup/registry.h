// Small registry helpers under HKEY_LOCAL_MACHINE; each returns a Win32 error code.
// `options` is REG_OPTION_VOLATILE for keys created below a volatile one.
#pragma once
#include <windows.h>
#include <string>

namespace pkg {

LONG WriteString(const std::wstring& key, const wchar_t* name, const std::wstring& value, DWORD options = REG_OPTION_NON_VOLATILE);
LONG WriteDword(const std::wstring& key, const wchar_t* name, DWORD value, DWORD options = REG_OPTION_NON_VOLATILE);
LONG DeleteValue(const std::wstring& key, const wchar_t* name);
// Removes the key with everything below it; a missing key is not an error.
LONG DeleteKeyTree(const std::wstring& key);
// Removes `key` only when it has neither subkeys nor values.
void DeleteKeyIfEmpty(const std::wstring& key);

bool KeyExists(const std::wstring& key);
bool ValueExists(const std::wstring& key, const wchar_t* name);
bool ReadString(const std::wstring& key, const wchar_t* name, std::wstring& value);
bool ReadDword(const std::wstring& key, const wchar_t* name, DWORD& value);

}  // namespace pkg
