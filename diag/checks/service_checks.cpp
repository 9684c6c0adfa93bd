// Spooler and port-driver service checks. (placeholder until the checks land)
#include "app/troubleshooter_app.h"

int CTroubleshooterApp::IsSpoolerRunning() { return 1; }
int CTroubleshooterApp::HasAdminRights() { return 1; }
int CTroubleshooterApp::CheckPortDriverService() { return 0; }
int CTroubleshooterApp::RepairPortDriverService(unsigned) { return 0; }
int CTroubleshooterApp::EnablePortDriverInProfile() { return 0; }
void CTroubleshooterApp::LogPortDriverServiceResult(unsigned) {}
