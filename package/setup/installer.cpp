#include "installer.h"

#include "file_setup.h"
#include "service_setup.h"
#include "shortcut_setup.h"
#include "spooler_setup.h"

namespace pkg {

void Install(const std::wstring& payloadDir, bool withService, SetupLog& log)
{
    RegisterDriver(log);
    RegisterPrinter(log);
    RegisterMonitor(log);
    WritePortMonitorKey(log);
    AddParallelPort(log);
    InstallFiles(payloadDir, log);
    WriteManifest(payloadDir, log);
    CreateProgramGroup(log);
    CreateStartupShortcut(log);
    WriteAppPath(log);
    if (withService)
        InstallService(log);
    else
        RepairServiceIfInstalled(log);
}

void Uninstall(SetupLog& log)
{
    RemoveSpoolerRegistrations(log);
    RemoveFiles(log);
    RemoveShortcuts(log);
    RemoveService(log);
}

}  // namespace pkg
