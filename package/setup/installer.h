// Install and uninstall of the whole stand-in package into the current Wine prefix.
#pragma once
#include <string>

#include "setup_log.h"

namespace pkg {

// Puts everything in place, repairing whatever differs; safe to run again over a broken
// installation. The driver and printer are registered before the files are copied, since
// the spooler calls into a configuration module it finds in the driver directory.
// The service is created only with `withService`; an existing one is always repaired.
void Install(const std::wstring& payloadDir, bool withService, SetupLog& log);
// Removes everything Install puts there, the service included.
void Uninstall(SetupLog& log);

}  // namespace pkg
