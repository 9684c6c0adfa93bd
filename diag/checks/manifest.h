// The installation manifest XERB5INK.DAT in the printer-driver directory: an INI file
// read through the profile functions. Every reader builds the path afresh.
#pragma once
#include <string>
#include <vector>

// The printer-driver directory of the machine's layout + "\XERB5INK.DAT".
std::wstring ManifestPath();
// The existence test of the manifest's readers: open for reading, closed at once.
bool ManifestExists();

// One item entry of [ZELT Groups] or [ZELT Startup]: "file,name[,arguments|@[,icon|@[,index|@]]]".
struct ManifestItem {
    std::wstring file;       // target file name in the printer-driver directory
    std::wstring name;       // display name; the shortcut is name + ".lnk"
    std::wstring arguments;  // empty: none
    std::wstring iconFile;   // the target path when the entry names an icon, else empty
    int iconIndex = 0;
};

// Splits one entry; empty fields vanish, as with a string tokenizer on ",".
// `targetDirectory` gives the icon file's directory.
ManifestItem ParseManifestItem(const std::wstring& value, const std::wstring& targetDirectory);

// The entries of a list section that reading "ZELTItem1" to "ZELTItem<NumItems>" (each into
// 256 characters) finds, in the order of their numbers. The numbers without a key, which
// would read as the nameless entry "NAME_NONE!", are left out.
std::vector<ManifestItem> ReadManifestItems(const wchar_t* section);

// [ZELT Groups] GroupName, default "NAME_NONE!", 256 characters.
std::wstring ReadGroupName();
// True for a name that can only stand for one entry of the folder it is put in: not empty,
// no path separator, drive colon or other character invalid in file names, no trailing dot
// or blank (so neither "." nor ".."), and not a device name. Names from the manifest are
// used as paths only when they are plain.
bool IsPlainName(const std::wstring& name);
// The folder part of a GroupName: the text up to its first comma.
std::wstring GroupFolderName(const std::wstring& groupName);

extern const wchar_t kGroupsSection[];   // "ZELT Groups"
extern const wchar_t kStartupSection[];  // "ZELT Startup"
