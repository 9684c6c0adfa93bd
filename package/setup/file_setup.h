// The package's files in the printer-driver, system and drivers directories, and the
// manifest XERB5INK.DAT that lists them.
#pragma once
#include <windows.h>
#include <string>

#include "package_layout.h"
#include "setup_log.h"

namespace pkg {

// Copies every file of the table to each of its locations and gives each copy the listed
// last-write time; copies the unlisted files (the programs and the status window's
// libraries) into the printer-driver directory.
void InstallFiles(const std::wstring& payloadDir, SetupLog& log);
// Writes the manifest in the ANSI code page; sizes are measured from the payload files.
void WriteManifest(const std::wstring& payloadDir, SetupLog& log);
// Deletes every installed copy, the unlisted files and the manifest.
void RemoveFiles(SetupLog& log);

// The listed local time of `file` moved by `offsetSeconds`, as a UTC file time.
bool ListedFileTime(const PackageFile& file, LONGLONG offsetSeconds, FILETIME& out);
// Sets the last-write time of `path`.
DWORD SetLastWriteTime(const std::wstring& path, const FILETIME& time);
// Copies `source` over `target`; a target the loader holds mapped is moved aside first.
DWORD CopyOver(const std::wstring& source, const std::wstring& target);
// Deletes an installed file (moving it aside when it is mapped); absent counts as done.
DWORD RemoveInstalledFile(const std::wstring& path);
// Full path of the installed copy of `file` at location 0, 1 or 2; empty for "-".
std::wstring InstalledPath(const PackageFile& file, int location);

}  // namespace pkg
