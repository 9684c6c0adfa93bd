// The printer status window: one process per printer queue, started as
//   pstatus !D<printer name> !P<port name>
// and, for scripts, the report of what every status window shows:
//   pstatus /status
#include <windows.h>
#include "app/command_line.h"
#include "app/status_report.h"
#include "ui/startup.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    PswArguments arguments;
    switch (ReadCommandLine(GetCommandLineW(), &arguments)) {
    case COMMAND_WINDOW:
        return RunStatusWindow(instance, &arguments);
    case COMMAND_REPORT:
        return RunStatusReport(instance);
    default:
        return WriteUsage(instance);
    }
}
