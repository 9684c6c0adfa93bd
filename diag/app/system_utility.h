// Free disk space, available memory and the one way text reaches a log file.
#pragma once
#include "app/layer.h"
#include <windows.h>

class CSystemUtility {
public:
    DWORD GetFreeDiskSpaceMB();
    DWORD GetAvailableMemory();
    // Appends `text`, converted to the ANSI code page, to the file at `path`; 1 when written.
    int AppendLogLine(const wchar_t* path, const wchar_t* text);
};
