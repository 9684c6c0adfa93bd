#include "status_report.h"

#include <windows.h>
#include <shlobj.h>
#include <winspool.h>
#include <cstdarg>
#include <cwchar>
#include <vector>

#include "file_setup.h"
#include "package_layout.h"
#include "raii.h"
#include "registry.h"

namespace pkg {

namespace {

std::wstring Format(const wchar_t* format, ...)
{
    wchar_t buffer[512];
    va_list args;
    va_start(args, format);
    vswprintf(buffer, 512, format, args);
    va_end(args);
    return buffer;
}

std::wstring StringValue(const std::wstring& key, const wchar_t* name)
{
    std::wstring value;
    return ReadString(key, name, value) ? L"\"" + value + L"\"" : L"(missing)";
}

std::wstring DwordValue(const std::wstring& key, const wchar_t* name)
{
    DWORD value = 0;
    return ReadDword(key, name, value) ? Format(L"0x%lX", value) : L"(missing)";
}

std::wstring Presence(bool present) { return present ? L"present" : L"MISSING"; }

void ReportPrinter(std::wstring& out)
{
    DWORD needed = 0, count = 0;
    EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
    LocalBlock buffer(needed);
    bool listed = false;
    if (buffer && EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.as(), needed, &needed, &count)) {
        const auto* printers = buffer.as<PRINTER_INFO_2W>();
        for (DWORD i = 0; i < count; ++i) {
            if (lstrcmpW(printers[i].pPrinterName, kPrinterName) != 0)
                continue;
            listed = true;
            out += Format(L"Printer \"%ls\": driver \"%ls\", port \"%ls\"\r\n", printers[i].pPrinterName,
                          printers[i].pDriverName ? printers[i].pDriverName : L"",
                          printers[i].pPortName ? printers[i].pPortName : L"");
        }
    }
    if (!listed)
        out += Format(L"Printer \"%ls\": NOT LISTED by the spooler\r\n", kPrinterName);

    DWORD attributes = 0;
    if (ReadDword(PrinterKeyPath(), L"Attributes", attributes))
        out += Format(L"  Attributes 0x%lX: bidirectional support %ls, hold mismatched documents %ls\r\n", attributes,
                      (attributes & kAttributeBidi) ? L"on" : L"OFF", (attributes & kAttributeHoldMismatched) ? L"ON" : L"off");
    else
        out += L"  Attributes (missing)\r\n";
    out += L"  PrinterDriverData: APPINFO " + Presence(ValueExists(DriverDataKeyPath(), L"APPINFO")) +
           L", APPINFO-SIZE " + Presence(ValueExists(DriverDataKeyPath(), L"APPINFO-SIZE")) + L"\r\n";
}

void ReportRegistry(std::wstring& out)
{
    const std::wstring driver = DriverKeyPath();
    out += L"Driver key HKLM\\" + driver + L": " + Presence(KeyExists(driver)) + L"\r\n";
    for (const wchar_t* name : {L"Configuration File", L"Data File", L"Driver", L"Help File", L"Monitor"})
        out += std::wstring(L"  ") + name + L" = " + StringValue(driver, name) + L"\r\n";
    out += L"  Version = " + DwordValue(driver, L"Version") + L"\r\n";

    out += L"Monitor key HKLM\\" + MonitorKeyPath() + L": Driver = " + StringValue(MonitorKeyPath(), L"Driver") + L"\r\n";
    const std::wstring port = std::wstring(kPortMonitorKey) + L"\\" + kPortSubkey;
    out += std::wstring(L"Port monitor key HKLM\\") + kPortMonitorKey + L": UseDMA = " +
           DwordValue(kPortMonitorKey, L"UseDMA") + L"\r\n";
    out += std::wstring(L"  ") + kPortSubkey + L" CurrentMode = " + DwordValue(port, L"CurrentMode") + L", Mode = " +
           DwordValue(port, L"Mode") + L", Attribute = " + DwordValue(port, L"Attribute") + L"\r\n";
    out += std::wstring(L"Parallel ports HKLM\\") + kParallelPortsKey + L": " + kParallelPortValue + L" = " +
           StringValue(kParallelPortsKey, kParallelPortValue) + L"\r\n";
    out += L"App Paths HKLM\\" + AppPathKeyPath() + L": (default) = " + StringValue(AppPathKeyPath(), nullptr) + L"\r\n";
}

std::wstring LocalTimeText(const FILETIME& time)
{
    SYSTEMTIME utc, local;
    if (!FileTimeToSystemTime(&time, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        return L"?";
    return Format(L"%04u/%02u/%02u %02u:%02u:%02u", local.wYear, local.wMonth, local.wDay, local.wHour,
                  local.wMinute, local.wSecond);
}

std::wstring Compare(const std::wstring& actual, const std::wstring& expected)
{
    return actual == expected ? actual : actual + L" (EXPECTED " + expected + L")";
}

void ReportFiles(const std::wstring& payloadDir, std::wstring& out)
{
    out += L"Manifest " + ManifestPath() + L": " + Presence(GetFileAttributesW(ManifestPath().c_str()) != INVALID_FILE_ATTRIBUTES) + L"\r\n";
    for (const PackageFile* file = PackageFilesBegin(); file != PackageFilesEnd(); ++file) {
        WIN32_FILE_ATTRIBUTE_DATA payload = {};
        GetFileAttributesExW((payloadDir + L"\\" + file->name).c_str(), GetFileExInfoStandard, &payload);
        for (int location = 0; location < 3; ++location) {
            const std::wstring path = InstalledPath(*file, location);
            if (path.empty())
                continue;
            WIN32_FILE_ATTRIBUTE_DATA data;
            if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
                out += L"  " + path + L": MISSING\r\n";
                continue;
            }
            std::wstring version = FileVersionText(path);
            out += L"  " + path + L"\r\n      version " + Compare(version.empty() ? L"0.00.0.000" : version, file->version) +
                   L", size " + Compare(std::to_wstring(data.nFileSizeLow), std::to_wstring(payload.nFileSizeLow)) +
                   L", time " + Compare(LocalTimeText(data.ftLastWriteTime), std::wstring(file->date) + L" " + file->time) +
                   L"\r\n";
        }
    }
    for (const wchar_t* file : kUnlistedFiles) {
        const std::wstring path = PrinterDriverDirectory() + L"\\" + file;
        out += L"  " + path + L": " + Presence(GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) + L"\r\n";
    }
}

void ReportShortcuts(std::wstring& out)
{
    out += L"Program group " + ProgramGroupFolder() + L": " +
           Presence(GetFileAttributesW(ProgramGroupFolder().c_str()) != INVALID_FILE_ATTRIBUTES) + L"\r\n";
    for (const ShortcutItem& item : kGroupItems)
        out += L"  " + GroupShortcutPath(item) + L": " +
               Presence(GetFileAttributesW(GroupShortcutPath(item).c_str()) != INVALID_FILE_ATTRIBUTES) + L"\r\n";
    out += L"Start-up shortcut " + StartupShortcutPath() + L": " +
           Presence(GetFileAttributesW(StartupShortcutPath().c_str()) != INVALID_FILE_ATTRIBUTES) + L"\r\n";
}

void ReportService(std::wstring& out)
{
    UniqueService manager(OpenSCManagerW(nullptr, nullptr, GENERIC_READ));
    UniqueService service(manager ? OpenServiceW(manager.get(), kServiceName, SERVICE_QUERY_CONFIG | SERVICE_QUERY_STATUS)
                                  : nullptr);
    if (!service) {
        out += std::wstring(L"Service ") + kServiceName + L": not installed\r\n";
        return;
    }
    DWORD needed = 0;
    QueryServiceConfigW(service.get(), nullptr, 0, &needed);
    LocalBlock buffer(needed);
    auto* config = buffer.as<QUERY_SERVICE_CONFIGW>();
    SERVICE_STATUS status = {};
    if (!buffer || !QueryServiceConfigW(service.get(), config, needed, &needed) ||
        !QueryServiceStatus(service.get(), &status)) {
        out += std::wstring(L"Service ") + kServiceName + L": cannot be read\r\n";
        return;
    }
    out += Format(L"Service %ls: type %lu, start %lu, error control %lu, state %lu, exit code %lu\r\n", kServiceName,
                  config->dwServiceType, config->dwStartType, config->dwErrorControl, status.dwCurrentState,
                  status.dwWin32ExitCode);
    out += Format(L"  image \"%ls\", group \"%ls\", display name \"%ls\"\r\n", config->lpBinaryPathName,
                  config->lpLoadOrderGroup, config->lpDisplayName);
    out += L"  Enum 0 = " + StringValue(ServiceEnumKeyPath(), L"0") + L", profile CSConfigFlags = " +
           DwordValue(ProfileEnumKeyPath(), L"CSConfigFlags") + L"\r\n";
}

}  // namespace

std::wstring FileVersionText(const std::wstring& path)
{
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (!size)
        return std::wstring();
    std::vector<BYTE> data(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data()) ||
        !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info || !length)
        return std::wstring();
    return Format(L"%d.%2.2d.%d.%3.3d", HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                  HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS));
}

std::wstring StatusReport(const std::wstring& payloadDir)
{
    std::wstring out;
    ReportPrinter(out);
    ReportRegistry(out);
    ReportFiles(payloadDir, out);
    ReportShortcuts(out);
    ReportService(out);
    return out;
}

}  // namespace pkg
