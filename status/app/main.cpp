// The printer status window: one process per printer queue, started as
//   pstatus !D<printer name> !P<port name>
// and, for scripts, the report of what every status window shows:
//   pstatus /status
#include <windows.h>
#include "../ui/startup.h"
#include "status_report.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    const wchar_t* commandLine = GetCommandLineW();
    if (IsReportCommandLine(commandLine))
        return RunStatusReport(instance, commandLine);
    return RunStatusWindow(instance, commandLine);
}
