// The program group with its shortcuts, the start-up shortcut of the status window and
// the App Paths entry of XERB5LAK.EXE.
#pragma once
#include <string>

#include "setup_log.h"

namespace pkg {

// A shell link `folder`\`name`.lnk to `target`, with the name as description and the
// target's directory as working directory. Returns the HRESULT of saving it.
long CreateShortcut(const std::wstring& target, const std::wstring& folder, const std::wstring& name);

void CreateProgramGroup(SetupLog& log);
void CreateStartupShortcut(SetupLog& log);
void WriteAppPath(SetupLog& log);
// Deletes a folder with the files in it.
void RemoveFolder(const std::wstring& folder, SetupLog& log);
void RemoveShortcuts(SetupLog& log);

}  // namespace pkg
