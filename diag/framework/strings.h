// String-table access, the two ways the programs fill in texts, and the size of the buffers
// that hold paths and names.
#pragma once
#include <windows.h>
#include <string>

// Paths and names are held in buffers of this many wide characters, terminator included.
constexpr int kPathChars = MAX_PATH;

// Entry `id` of the string table of `module` (the program itself by default); empty if absent.
std::wstring LoadStr(UINT id, HINSTANCE module = nullptr);

// printf-style filling with the platform's wsprintf rules (%s is a wide string, %d an int).
// The result is cut at 1024 characters, the platform's limit for this formatting.
std::wstring FormatPrintf(const wchar_t* format, ...);

// %1, %2 ... filled like FormatMessage from a string: %1 is the first insert.
std::wstring FormatInserts(const std::wstring& format, const wchar_t* insert1,
                           const wchar_t* insert2 = nullptr, const wchar_t* insert3 = nullptr,
                           const wchar_t* insert4 = nullptr);

// Characters of `text` up to its first backslash included, "...", then the rest from the
// second backslash on: C:\windows\system32\x.dat becomes C:\...\system32\x.dat.
std::wstring ShortenPath(const std::wstring& path);
