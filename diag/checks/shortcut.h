// Shell links and the all-users special folders the package's shortcuts live in.
#pragma once
#include <windows.h>

#include <string>

// Saves folder + "\" + name + ".LNK" pointing at `target`, with `name` as its description, the
// target's directory as working directory, `arguments` when not empty and an icon location only
// when `iconFile` is not empty; then tells the shell. Leaves the thread's COM state as it was.
// Result: that of saving the link, or of the step that failed.
HRESULT CreateShortcut(const std::wstring& target, const std::wstring& folder, const std::wstring& name,
                       const wchar_t* arguments, const wchar_t* iconFile, int& iconIndex);

// The path of a special folder (CSIDL_COMMON_PROGRAMS, CSIDL_COMMON_STARTUP); false when the
// shell cannot name it.
bool SpecialFolderPath(int csidl, std::wstring& path);
