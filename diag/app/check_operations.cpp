// The application's check and repair operations: each runs its check or repair with the run's
// facts, so that a test subclass can script it while the others run for real.
#include "app/troubleshooter_app.h"

#include "checks/network_checks.h"
#include "checks/port_checks.h"
#include "checks/port_driver_service.h"
#include "checks/printer_attribute_checks.h"
#include "checks/registration_checks.h"
#include "checks/shortcut_checks.h"

int CTroubleshooterApp::CheckPortPresent() { return ::CheckPortPresent(facts); }
int CTroubleshooterApp::CheckLanguageMonitor() { return ::CheckLanguageMonitor(); }
int CTroubleshooterApp::CheckPrinterDriver() { return ::CheckPrinterDriver(facts); }
int CTroubleshooterApp::CheckStatusWindowStartup() { return ::CheckStatusWindowStartup(facts); }
int CTroubleshooterApp::CheckBidiSupport() { return ::CheckBidiSupport(facts); }
int CTroubleshooterApp::CheckHoldMismatchedDocuments() { return ::CheckHoldMismatchedDocuments(facts); }
int CTroubleshooterApp::CheckProgramFolder() { return ::CheckProgramFolder(facts); }
int CTroubleshooterApp::IsSpoolerRunning() { return ::IsSpoolerRunning(facts); }
int CTroubleshooterApp::CheckPortDriverService() { return ::CheckPortDriverService(facts); }
int CTroubleshooterApp::ProgramItemExists(const wchar_t* itemName) { return ::ProgramItemExists(facts, itemName); }
int CTroubleshooterApp::CheckPrintServer() { return ::CheckPrintServer(facts); }
int CTroubleshooterApp::CheckNetworkPrinter() { return ::CheckNetworkPrinter(facts); }
int CTroubleshooterApp::CheckAppPath() { return ::CheckAppPath(); }
int CTroubleshooterApp::CheckPrinterRegistry() { return ::CheckPrinterRegistry(facts); }
int CTroubleshooterApp::HasAdminRights() { return ::HasAdminRights(facts); }
int CTroubleshooterApp::RepairPrinterDriver(int code) { return ::RepairPrinterDriver(facts, code); }
int CTroubleshooterApp::RepairAppPath(int code) { return ::RepairAppPath(code); }
int CTroubleshooterApp::RepairPortDriverService(unsigned bits) { return ::RepairPortDriverService(bits); }

int CTroubleshooterApp::RepairStatusWindow()
{
    // 0 when nothing was created (no manifest, a missing or damaged entry), so that the run
    // does not report as repaired what was refused.
    return CreateStartupItems();
}

int CTroubleshooterApp::CreateStartupItems() { return ::CreateStartupItems(facts); }
int CTroubleshooterApp::EnableBidiSupport() { return ::EnableBidiSupport(facts); }
int CTroubleshooterApp::DisableHoldMismatchedDocuments() { return ::DisableHoldMismatchedDocuments(facts); }
int CTroubleshooterApp::EnablePortDriverInProfile() { return ::EnablePortDriverInProfile(); }
int CTroubleshooterApp::RepairLanguageMonitor(int code) { return ::RepairLanguageMonitor(code); }

int CTroubleshooterApp::CreateProgramItem(const wchar_t* file, const wchar_t* itemName, const wchar_t* arguments,
                                          const wchar_t*, int iconIndex)
{
    return ::CreateProgramItem(facts, file, itemName, arguments, iconIndex);
}

void CTroubleshooterApp::CreateProgramFolder()
{
    if (hasAdminRights)
        ::CreateProgramFolder(facts);
}

wchar_t* CTroubleshooterApp::NextToken(wchar_t* text, const wchar_t* delimiters, TokenizerState* state)
{
    return ::NextToken(text, delimiters, state);
}
void CTroubleshooterApp::InitTokenizer(TokenizerState* state) { ::InitTokenizer(state); }
void CTroubleshooterApp::FreeTokenizer(TokenizerState* state) { ::FreeTokenizer(state); }
const wchar_t* CTroubleshooterApp::FindAnyOf(const wchar_t* text, const wchar_t* set) { return ::FindAnyOf(text, set); }
