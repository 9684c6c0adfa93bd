#include "app/system_utility.h"

#include "framework/raii.h"

namespace {

struct GlobalTraits {
    static HGLOBAL none() { return nullptr; }
    static bool invalid(HGLOBAL h) { return h == nullptr; }
    static void close(HGLOBAL h) { GlobalFree(h); }
};
using UniqueGlobal = UniqueResource<HGLOBAL, GlobalTraits>;

// Locks a movable global block for the life of a scope.
class GlobalLockGuard {
public:
    explicit GlobalLockGuard(HGLOBAL block) : block_(block), data_(static_cast<char*>(GlobalLock(block))) {}
    ~GlobalLockGuard()
    {
        if (data_)
            GlobalUnlock(block_);
    }
    GlobalLockGuard(const GlobalLockGuard&) = delete;
    GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
    char* data() const { return data_; }

private:
    HGLOBAL block_;
    char* data_;
};

using FreeSpaceExW = BOOL(WINAPI*)(LPCWSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
using FreeSpaceExA = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);

// The kernel32 export `name` as a function of type Fn; null when the system lacks it.
template <typename Fn>
Fn Kernel32Export(const char* name)
{
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    FARPROC proc = kernel ? GetProcAddress(kernel, name) : nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(proc));
}

// Megabytes free to the caller on the current drive through a GetDiskFreeSpaceEx variant.
template <typename Fn>
DWORD FreeMegabytes(Fn freeSpaceEx)
{
    ULARGE_INTEGER available = {}, total = {}, free = {};
    if (!freeSpaceEx(nullptr, &available, &total, &free))
        return 0;
    return static_cast<DWORD>(available.QuadPart >> 20);
}

}  // namespace

DWORD CSystemUtility::GetFreeDiskSpaceMB()
{
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);  // 276
    GetVersionExW(&version);
    if (version.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        auto freeSpaceEx = Kernel32Export<FreeSpaceExW>("GetDiskFreeSpaceExW");
        return freeSpaceEx ? FreeMegabytes(freeSpaceEx) : 0;
    }
    if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
        if (auto freeSpaceEx = Kernel32Export<FreeSpaceExA>("GetDiskFreeSpaceExA"))
            return FreeMegabytes(freeSpaceEx);
        DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
        if (!GetDiskFreeSpaceW(nullptr, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
            return 0;
        return static_cast<DWORD>((static_cast<ULONGLONG>(freeClusters) * bytesPerSector * sectorsPerCluster) >> 20);
    }
    return 0;
}

DWORD CSystemUtility::GetAvailableMemory()
{
    MEMORYSTATUS status = {};
    status.dwLength = sizeof(status);  // 32
    GlobalMemoryStatus(&status);
    return static_cast<DWORD>(status.dwAvailPhys);
}

int CSystemUtility::AppendLogLine(const wchar_t* path, const wchar_t* text)
{
    UniqueFile file(CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return 0;
    if (SetFilePointer(file.get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER)
        return 0;

    // Two bytes per UTF-16 unit, terminator included, hold any double-byte code page's text.
    int units = lstrlenW(text) + 1;
    UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 2 * units));
    if (!block)
        return 0;
    GlobalLockGuard bytes(block.get());
    if (!bytes.data())
        return 0;
    WideCharToMultiByte(CP_ACP, 0, text, units, bytes.data(), 2 * units, nullptr, nullptr);

    DWORD written = 0;
    BOOL ok = WriteFile(file.get(), bytes.data(), lstrlenA(bytes.data()), &written, nullptr);
    return ok ? 1 : 0;
}
