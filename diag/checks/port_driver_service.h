// The spooler and the port-driver service "OndrixM4": the fault bits of
// CheckPortDriverService, which RepairPortDriverService takes back, and the two service
// manager queries the check uses.
#pragma once
#include "checks/finding.h"
#include "checks/run_facts.h"

#include <windows.h>
#include <winsvc.h>

#include <vector>

enum PortDriverFault : unsigned {
    PDS_WRONG_TYPE = 0x0004,
    PDS_START_TYPE = 0x0008,  // never reported; asks the repair for automatic start
    PDS_WRONG_ERROR_CONTROL = 0x0010,
    PDS_WRONG_IMAGE_PATH = 0x0020,
    PDS_WRONG_GROUP = 0x0040,
    PDS_WRONG_DISPLAY_NAME = 0x0080,
    PDS_WRONG_FIRST_DEPENDENCY = 0x0100,
    PDS_WRONG_SECOND_DEPENDENCY = 0x0200,
    PDS_CONFIGURATION = 0x0FFF,
    PDS_NOT_RUNNING = 0x1000,
    PDS_DISABLED = 0x2000,
};

// The check reads the service's configuration and status through this table, which holds
// QueryServiceConfigW and QueryServiceStatus. Only tests replace them, to show states the
// platform under test cannot produce (a dependency list, a driver that runs).
struct ServiceQueries {
    BOOL(WINAPI* queryConfig)(SC_HANDLE, LPQUERY_SERVICE_CONFIGW, DWORD, LPDWORD);
    BOOL(WINAPI* queryStatus)(SC_HANDLE, LPSERVICE_STATUS);
};

ServiceQueries& PortDriverServiceQueries();

// 1 when the service "Spooler" is among the active services.
int IsSpoolerRunning(RunFacts& facts);
// 1 when the service manager opens with full access: the user may change services.
int HasAdminRights(RunFacts& facts);
// The fault bits of the port-driver service; 0 when correct or not installed.
int CheckPortDriverService(RunFacts& facts);
// The findings of the fault bits: the correct one, or one for each kind of fault present (not
// running, disabled, configured wrong, in this order), each with that kind's bits as its code.
std::vector<Finding> PortDriverServiceFindings(unsigned bits);
// Repairs the faults of one kind: configuration bits change the configuration (0), a driver
// that does not run or is disabled is enabled and continued (1); other bits do nothing (0).
int RepairPortDriverService(unsigned bits);
// Clears "CSConfigFlags" of the driver's device in the current hardware profile; the registry
// error.
int EnablePortDriverInProfile();
