// What the checks of one run share: the printer chosen at the start, its driver and port, how
// the port was classified, the network names it stands for, and what the run asks of the
// system once (the service manager, the all-users folders). The application owns one; the
// checks read and set it, nothing else of the application.
#pragma once
#include "framework/raii.h"
#include "framework/strings.h"

#include <map>
#include <string>

class RunFacts {
public:
    std::wstring portName;
    std::wstring previousPortName;  // the port before the port choice moved the printer
    std::wstring printerName;
    wchar_t driverName[kPathChars] = {};
    int portNumber = 1;             // n of the port LPTn; 0 for every other port
    int networkConnection = 0;      // the port leads to the network (a share, a redirected LPT)
    wchar_t networkPath[kPathChars] = {};
    std::wstring serverName;
    int otherPort = 0;              // a local port of no kind the package knows
    int remotePrinter = 0;          // a connection to a print server's printer
    int compliantPort = 0;          // a port of a monitor that declares itself compliant
    int usbLptPort = 0;
    int usbPort = 0;
    int redirectedLptPort = 0;
    int portMissing = 0;            // the LPT port is not in the parallel-port device map

    // The port the checks look at: "LPTn:" for an LPT port, otherwise the port's name, cut to
    // 256 characters.
    std::wstring CheckedPortText() const;

    // The local service manager, opened once for the run: every OpenSCManagerW is a new
    // connection to the service process, and the spooler, rights and port-driver checks each
    // need one. Full access when the user may change services, otherwise read access; null
    // when it cannot be opened at all.
    SC_HANDLE ServiceManager();
    // Whether the service manager opened with full access.
    bool ServiceManagerFullAccess();

    // The all-users special folder `csidl` (CSIDL_COMMON_PROGRAMS, CSIDL_COMMON_STARTUP), asked
    // of the shell once for the run: the checks of the program items ask for it once per item.
    // False when the shell cannot name it.
    bool CommonFolder(int csidl, std::wstring& path);

private:
    UniqueService serviceManager_;
    bool serviceManagerOpened_ = false;
    bool serviceManagerFullAccess_ = false;
    std::map<int, std::wstring> commonFolders_;
};
