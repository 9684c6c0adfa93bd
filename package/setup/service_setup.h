// The port-driver service "OndrixM4": a kernel driver, started automatically, with its
// device instance in the service's Enum key and in the current hardware profile.
#pragma once
#include <windows.h>

#include "setup_log.h"

namespace pkg {

// Creates the service, or gives an existing one its expected configuration back.
void InstallService(SetupLog& log);
// Gives the service its expected configuration when it exists; creates nothing.
void RepairServiceIfInstalled(SetupLog& log);
bool ServiceInstalled();
// ChangeServiceConfigW on the installed service; SERVICE_NO_CHANGE leaves a field alone.
void ChangeService(DWORD startType, DWORD errorControl, SetupLog& log);
void RemoveService(SetupLog& log);

}  // namespace pkg
