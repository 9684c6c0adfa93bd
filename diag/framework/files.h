// Files named by the user: whether two names reach the same file, and whole files read and
// written so that a failed write leaves nothing behind.
#pragma once
#include <windows.h>

#include <string>

// True when the names `a` and `b` reach the same file. Existing files are compared by what
// they are (the volume's serial number and the file's index), so another drive letter for the
// same folder, a "\\?\" prefix, a short name or a hard link is the same file. A name that does
// not exist (yet) is the same as another when both would be made in the same folder, compared
// the same way, under the same final name, which Windows compares without regard to case.
bool SameFile(const std::wstring& a, const std::wstring& b);

// The whole content of the open file `file`; false when it cannot be read.
bool ReadWholeFile(HANDLE file, std::string& bytes);

// Replaces the file `path` by one holding `bytes`: a file of that name is deleted, then the
// file is made anew. False when it cannot be made (also when the old one could not be deleted)
// or not all of it was written; a file that was made is then removed again, so that a failed
// write (a full drive) leaves no empty or partial file.
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);

// The platform call WriteWholeFile writes with. Tests replace it to stand for a full drive,
// which Wine cannot produce; everything else uses the real WriteFile.
struct FileWriteCalls {
    BOOL(WINAPI* writeFile)(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped);
};
extern FileWriteCalls g_fileWriteCalls;
