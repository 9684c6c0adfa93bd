// Writers of the result log's finding lines. (placeholder until the sequence lands)
#include "app/troubleshooter_app.h"

void CTroubleshooterApp::LogPortConnection(int) {}
void CTroubleshooterApp::LogRepairOutcome(int) {}
void CTroubleshooterApp::LogLanguageMonitorResult(int) {}
void CTroubleshooterApp::LogPrinterDriverResult(int) {}
void CTroubleshooterApp::LogStatusWindowResult(int) {}
void CTroubleshooterApp::LogPrintServerResult(int) {}
void CTroubleshooterApp::LogNetworkPrinterResult(int) {}
void CTroubleshooterApp::LogRegistryResult(int) {}
