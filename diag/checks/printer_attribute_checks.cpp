// Printer queue attributes and driver data. (placeholder until the checks land)
#include "app/troubleshooter_app.h"

int CTroubleshooterApp::CheckBidiSupport() { return 1; }
int CTroubleshooterApp::EnableBidiSupport() { return 1; }
int CTroubleshooterApp::CheckHoldMismatchedDocuments() { return 1; }
int CTroubleshooterApp::DisableHoldMismatchedDocuments() { return 1; }
int CTroubleshooterApp::CheckPrinterRegistry() { return 1; }
