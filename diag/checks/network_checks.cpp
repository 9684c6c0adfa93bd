// Print server and shared printer reachability. (placeholder until the checks land)
#include "app/troubleshooter_app.h"

int CTroubleshooterApp::CheckPrintServer() { return 1; }
int CTroubleshooterApp::CheckNetworkPrinter() { return 1; }
