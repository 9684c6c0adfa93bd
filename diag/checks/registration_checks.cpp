// Print monitor and printer driver registration. (placeholder until the checks land)
#include "app/troubleshooter_app.h"

int CTroubleshooterApp::CheckLanguageMonitor() { return 0; }
int CTroubleshooterApp::RepairLanguageMonitor(int) { return 1; }
int CTroubleshooterApp::CheckPrinterDriver() { return 0; }
int CTroubleshooterApp::RepairPrinterDriver(int) { return 0; }
