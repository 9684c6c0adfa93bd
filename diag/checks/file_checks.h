// The package's files against the manifest's [ZELTFileConfig] list: presence in each of their
// locations, then version, last-write time and size. The check finds; what is shown and
// logged of it is the caller's, told entry by entry through a FileListVisitor.
#pragma once
#include "checks/finding.h"

#include <string>

// Whether the manifest can be opened at all (no access asked, no sharing).
bool ManifestFileOpens();
// The manifest's finding from ManifestFileOpens: a missing manifest is a notice, with its
// whole path; a manifest that is there writes no line.
Finding ManifestFinding(int opens);

// The file list of the manifest: the body after the section header up to the next section.
struct ManifestFileList {
    bool found = false;  // the manifest has the section
    std::wstring body;
};
// False when the manifest cannot be read.
bool ReadFileList(ManifestFileList& list);
// A list that yielded no entry to check and is not an empty list as the installer writes one
// (blank and comment lines only): damaged, and only reinstalling brings it back.
bool IsDamagedFileList(const ManifestFileList& list, int checkedEntries);

// The file check's findings. Its faults are notices (only reinstalling helps), each with the
// whole path; the correct one is the check's single line when no file differs.
Finding MissingFileFinding(const std::wstring& path);
Finding DifferingFileFinding(const std::wstring& path);
Finding DamagedFileListFinding();
Finding AllFilesExpectedFinding();

// One complete entry of the list, its texts as the list gives them.
struct PackageFileEntry {
    const wchar_t* name;
    const wchar_t* sizeText;
    const wchar_t* versionText;
    std::wstring stamp;  // "date time"
};

// Told of each place an entry of the list names, in the order of the list.
class FileListVisitor {
public:
    // The file is not at the place; false ends the walk.
    virtual bool Missing(const PackageFileEntry& entry, const std::wstring& path) = 0;
    // The file is at the place; false ends the walk.
    virtual bool Present(const PackageFileEntry& entry, const std::wstring& path) = 0;

protected:
    ~FileListVisitor() = default;
};

// Walks the list's entries: comments are passed over, an entry cut short by the end of the
// list is not checked, and each location the machine has is told to the visitor. False when
// the visitor ended the walk; `checkedEntries` counts the entries looked for in at least one
// place.
bool WalkFileList(wchar_t* body, FileListVisitor& visitor, int& checkedEntries);

// The version text of a file without a version resource, and of an entry that expects none.
extern const wchar_t kNoVersionText[];

// What a present file is against its entry.
struct FileComparison {
    enum Difference { None, Version, Size, TimeStamp };
    bool readable = false;      // false: the file could not be opened or its figures read
    Difference difference = None;
    // The file's own figures, once read (currentVersion is empty before).
    std::wstring currentVersion;
    std::wstring currentTime;   // local time, "YYYY/MM/DD hh:mm:ss"
    unsigned currentSize = 0;
    // The two values of a difference as the user is shown them.
    std::wstring current;
    std::wstring expected;
};

// Compares a file with the size, version and "date time" its entry expects. A newer version
// is accepted whatever its time stamp and size; the time stamp may lie 25 hours on either
// side; a file newer than that is accepted when the entry expects no version (or 0.x).
FileComparison CompareFile(const wchar_t* path, const wchar_t* sizeText, const wchar_t* versionText,
                           const wchar_t* timeStampText);
