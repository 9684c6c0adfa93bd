// XERB5LAK.EXE, run at logon from the all-users Startup folder: starts the status window
// pstatus.exe from this program's own directory once for every local printer of the
// package's driver, as  "<path>" !D<printer name> !P<port name>.
#include <windows.h>
#include <winspool.h>
#include <string>
#include "raii.h"

namespace {

const wchar_t kDriverName[] = L"Tavik QX2210-2370";

std::wstring StatusWindowPath()
{
    wchar_t own[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, own, MAX_PATH);
    std::wstring path(own, length);
    path.erase(path.find_last_of(L'\\') + 1);
    return path + L"pstatus.exe";
}

void StartStatusWindow(const std::wstring& program, const wchar_t* printer, const wchar_t* port)
{
    std::wstring commandLine = L"\"" + program + L"\" !D" + printer + L" !P" + port;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &startup, &process)) {
        UniqueFile thread(process.hThread);
        UniqueFile child(process.hProcess);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    DWORD needed = 0, count = 0;
    EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
    LocalBlock buffer(needed);
    if (!buffer || !EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.as(), needed, &needed, &count))
        return 1;

    const std::wstring program = StatusWindowPath();
    const auto* printers = buffer.as<PRINTER_INFO_2W>();
    for (DWORD i = 0; i < count; ++i) {
        const PRINTER_INFO_2W& printer = printers[i];
        if (printer.pDriverName && lstrcmpW(printer.pDriverName, kDriverName) == 0)
            StartStatusWindow(program, printer.pPrinterName, printer.pPortName ? printer.pPortName : L"");
    }
    return 0;
}
