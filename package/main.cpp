// pkginst: installs the stand-in driver package into the current Wine prefix, removes it,
// breaks it in named ways, and reports what is installed. Its payload lies beside it.
//   pkginst install [--with-service] | uninstall | fault NAME... | status | show
#include <windows.h>
#include <string>

#include "faults.h"
#include "installer.h"
#include "package_layout.h"
#include "status_report.h"

namespace {

// Console text goes out in the ANSI code page, as the rest of the package writes.
void Write(HANDLE stream, const std::wstring& text)
{
    int bytes = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string ansi(bytes, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), &ansi[0], bytes, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(stream, ansi.data(), static_cast<DWORD>(ansi.size()), &written, nullptr);
}

int Usage()
{
    std::wstring text =
        L"usage: pkginst install [--with-service]   install or repair the package\r\n"
        L"       pkginst uninstall                  remove everything install puts in place\r\n"
        L"       pkginst fault NAME...              break an installed package\r\n"
        L"       pkginst status | show              report what is installed\r\n"
        L"faults:\r\n";
    for (const pkg::FaultInfo& fault : pkg::Faults())
        text += std::wstring(L"  ") + fault.name + L" - " + fault.description + L"\r\n";
    Write(GetStdHandle(STD_ERROR_HANDLE), text);
    return 2;
}

int Finish(const pkg::SetupLog& log)
{
    for (const std::wstring& problem : log.problems())
        Write(GetStdHandle(STD_ERROR_HANDLE), L"pkginst: " + problem + L"\r\n");
    return log.ok() ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return Usage();
    const std::wstring command = argv[1];
    const std::wstring payloadDir = pkg::ModuleDirectory();
    pkg::SetupLog log;

    if (command == L"install") {
        bool withService = false;
        for (int i = 2; i < argc; ++i) {
            if (std::wstring(argv[i]) != L"--with-service")
                return Usage();
            withService = true;
        }
        pkg::Install(payloadDir, withService, log);
        return Finish(log);
    }
    if (command == L"uninstall" && argc == 2) {
        pkg::Uninstall(log);
        return Finish(log);
    }
    if (command == L"fault" && argc > 2) {
        for (int i = 2; i < argc; ++i)
            if (!pkg::IsFault(argv[i]))
                return Usage();
        for (int i = 2; i < argc; ++i)
            pkg::InjectFault(argv[i], payloadDir, log);
        return Finish(log);
    }
    if ((command == L"status" || command == L"show") && argc == 2) {
        Write(GetStdHandle(STD_OUTPUT_HANDLE), pkg::StatusReport(payloadDir));
        return 0;
    }
    return Usage();
}
