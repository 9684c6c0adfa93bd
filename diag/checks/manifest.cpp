#include "checks/manifest.h"

#include "framework/raii.h"

#include <algorithm>

const wchar_t kGroupsSection[] = L"ZELT Groups";
const wchar_t kStartupSection[] = L"ZELT Startup";

namespace {
const wchar_t kNoName[] = L"NAME_NONE!";
constexpr DWORD kValueChars = 256;
}

std::wstring PrinterDriverDirectory()
{
    wchar_t system[260] = {};
    GetSystemDirectoryW(system, 260);
    return std::wstring(system) + L"\\spool\\drivers\\w32x86\\3";
}

std::wstring ManifestPath()
{
    return PrinterDriverDirectory() + L"\\" + L"XERB5INK.DAT";
}

bool ManifestExists()
{
    UniqueFile file(CreateFileW(ManifestPath().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr));
    return bool(file);
}

ManifestItem ParseManifestItem(const std::wstring& value, const std::wstring& targetDirectory)
{
    std::vector<std::wstring> fields;
    size_t pos = 0;
    while (pos < value.size()) {
        size_t end = value.find(L',', pos);
        if (end == std::wstring::npos)
            end = value.size();
        if (end > pos)
            fields.push_back(value.substr(pos, end - pos));
        pos = end + 1;
    }
    ManifestItem item;
    auto field = [&](size_t i) -> const std::wstring* { return i < fields.size() ? &fields[i] : nullptr; };
    if (field(0))
        item.file = *field(0);
    if (field(1))
        item.name = *field(1);
    const std::wstring* arguments = field(2);
    if (!arguments || *arguments == L"@")
        return item;
    item.arguments = *arguments;
    const std::wstring* icon = field(3);
    if (!icon || *icon == L"@")
        return item;
    item.iconFile = targetDirectory + L"\\" + item.file;
    const std::wstring* index = field(4);
    if (index && (*index == L"1" || *index == L"2"))
        item.iconIndex = (*index)[0] - L'0';
    return item;
}

namespace {
// The highest n of the keys "ZELTItem<n>" present in the section. Entries past it can only
// read as the default, so a NumItems far larger than the list need not be walked to its end.
int HighestItemKey(const wchar_t* section, const std::wstring& path)
{
    std::vector<wchar_t> keys(32768);
    DWORD length = GetPrivateProfileStringW(section, nullptr, L"", keys.data(), DWORD(keys.size()), path.c_str());
    int highest = 0;
    for (const wchar_t* key = keys.data(); key < keys.data() + length && *key; key += lstrlenW(key) + 1) {
        if (CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, key, 8, L"ZELTItem", 8) != CSTR_EQUAL)
            continue;
        int n = _wtoi(key + 8);
        if (n > highest)
            highest = n;
    }
    return highest;
}
}  // namespace

std::vector<ManifestItem> ReadManifestItems(const wchar_t* section)
{
    std::wstring path = ManifestPath();
    std::wstring directory = PrinterDriverDirectory();
    int count = static_cast<int>(GetPrivateProfileIntW(section, L"NumItems", 0, path.c_str()));
    // One more than the keys present keeps the reading of a missing key (an entry without a name).
    if (count > 0)
        count = std::min(count, HighestItemKey(section, path) + 1);
    std::vector<ManifestItem> items;
    for (int i = 1; i <= count; ++i) {
        wchar_t key[32];
        wsprintfW(key, L"ZELTItem%i", i);
        wchar_t value[kValueChars] = {};
        GetPrivateProfileStringW(section, key, kNoName, value, kValueChars, path.c_str());
        items.push_back(ParseManifestItem(value, directory));
    }
    return items;
}

std::wstring ReadGroupName()
{
    wchar_t value[kValueChars] = {};
    GetPrivateProfileStringW(kGroupsSection, L"GroupName", kNoName, value, kValueChars, ManifestPath().c_str());
    return value;
}

std::wstring GroupFolderName(const std::wstring& groupName)
{
    return groupName.substr(0, groupName.find(L','));
}
