#include "checks/manifest.h"

#include "checks/machine_layout.h"
#include "framework/raii.h"
#include "framework/strings.h"

#include <algorithm>
#include <cwchar>

const wchar_t kGroupsSection[] = L"ZELT Groups";
const wchar_t kStartupSection[] = L"ZELT Startup";

namespace {
const wchar_t kNoName[] = L"NAME_NONE!";
constexpr DWORD kValueChars = 256;
}

std::wstring ManifestPath()
{
    return ThisMachine().driverDirectory + L"\\" + L"XERB5INK.DAT";
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

const wchar_t kItemKeyPrefix[] = L"ZELTItem";
constexpr int kItemKeyPrefixChars = 8;

// The names of all keys of a section, read into a buffer that grows until the whole list fits.
std::vector<std::wstring> SectionKeys(const wchar_t* section, const std::wstring& path)
{
    std::vector<wchar_t> buffer(4096);
    DWORD length = 0;
    for (;;) {
        length = GetPrivateProfileStringW(section, nullptr, L"", buffer.data(), DWORD(buffer.size()), path.c_str());
        // A list that does not fit comes back cut, its length the buffer's size less two.
        if (length + 2 < buffer.size())
            break;
        buffer.resize(buffer.size() * 2);
    }
    std::vector<std::wstring> keys;
    for (const wchar_t* key = buffer.data(); key < buffer.data() + length && *key; key += lstrlenW(key) + 1)
        keys.emplace_back(key);
    return keys;
}

// The n of a key that reading "ZELTItem%i" for n = 1..count would look up (the prefix in any
// letter case, n in decimal without sign or leading zero); 0 for any other key.
int ItemKeyNumber(const std::wstring& key, int count)
{
    if (key.size() <= size_t(kItemKeyPrefixChars) ||
        CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, key.c_str(), kItemKeyPrefixChars, kItemKeyPrefix,
                       kItemKeyPrefixChars) != CSTR_EQUAL ||
        key[kItemKeyPrefixChars] == L'0')
        return 0;
    long long n = 0;
    for (size_t i = kItemKeyPrefixChars; i < key.size(); ++i) {
        if (key[i] < L'0' || key[i] > L'9')
            return 0;
        n = n * 10 + (key[i] - L'0');
        if (n > count)
            return 0;
    }
    return int(n);
}

}  // namespace

std::vector<ManifestItem> ReadManifestItems(const wchar_t* section)
{
    std::wstring path = ManifestPath();
    const std::wstring& directory = ThisMachine().driverDirectory;
    int count = static_cast<int>(GetPrivateProfileIntW(section, L"NumItems", 0, path.c_str()));
    std::vector<ManifestItem> items;
    if (count <= 0)
        return items;
    // Only the keys present are read: every other number reads as "NAME_NONE!", an entry
    // without an item name that names no shortcut. So NumItems costs nothing by itself.
    std::vector<int> numbers;
    for (const std::wstring& key : SectionKeys(section, path))
        if (int n = ItemKeyNumber(key, count))
            numbers.push_back(n);
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    for (int n : numbers) {
        wchar_t key[32];
        wsprintfW(key, L"ZELTItem%i", n);
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

bool IsPlainName(const std::wstring& name)
{
    if (name.empty() || name.find_first_of(L"\\/:*?\"<>|") != std::wstring::npos)
        return false;
    for (wchar_t c : name)
        if (c < L' ')
            return false;
    // Windows drops trailing dots and blanks, which turns "." and ".." into the folder itself
    // or its parent and makes any such name stand for another.
    if (name.back() == L'.' || name.back() == L' ')
        return false;
    // A device name stays a device with any extension: "CON.lnk" is the console.
    std::wstring base = name.substr(0, name.find(L'.'));
    base.erase(base.find_last_not_of(L' ') + 1);
    static const wchar_t* const kDevices[] = { L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$" };
    for (const wchar_t* device : kDevices)
        if (!lstrcmpiW(base.c_str(), device))
            return false;
    if (base.size() == 4 && base[3] >= L'1' && base[3] <= L'9' &&
        (!_wcsnicmp(base.c_str(), L"COM", 3) || !_wcsnicmp(base.c_str(), L"LPT", 3)))
        return false;
    return true;
}

std::wstring GroupFolderName(const std::wstring& groupName)
{
    return groupName.substr(0, groupName.find(L','));
}
