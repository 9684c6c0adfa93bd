// The fixed file version of a module's version resource.
#pragma once
#include <windows.h>

// The four numbers of a file version, most significant first.
struct FileVersion {
    unsigned part[4] = {};
};

// The version resource of `module` (loaded as a program or as a data file); false when it has
// none or it is too short to hold the fixed file information.
bool ModuleFileVersion(HMODULE module, FileVersion& version);

// The version resource of the file `path`, read by mapping the file as data: the file's code is
// neither loaded nor run, and it is mapped once. False when the file cannot be mapped (it is
// not a Windows program or library) or has no version resource.
bool FileVersionOf(const wchar_t* path, FileVersion& version);
