// The picture helpers' side of the handshake with scripts/picture-session.sh: a window is
// announced by the file NAME.ready holding its rectangle ("left top width height", desktop
// pixels); the script photographs it and removes the file.
#pragma once
#include <windows.h>

#include <cstdio>
#include <string>

// Writes `ready` (a path ending in ".ready") for the window, whole or not at all.
inline void AnnounceWindow(const std::wstring& ready, HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    char line[64];
    int n = std::snprintf(line, sizeof line, "%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
                          rect.bottom - rect.top);
    std::wstring partial = ready + L".part";
    HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, line, n, &written, nullptr);
    CloseHandle(file);
    MoveFileExW(partial.c_str(), ready.c_str(), MOVEFILE_REPLACE_EXISTING);
}
