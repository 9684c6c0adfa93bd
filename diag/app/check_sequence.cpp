// The check sequence and the end of a run. (placeholder until the sequence lands)
#include "app/troubleshooter_app.h"

void CTroubleshooterApp::RunChecks() {}
void CTroubleshooterApp::FinishRun() {}
int CTroubleshooterApp::EnablePrivilege(const wchar_t*) { return 0; }
int CTroubleshooterApp::DisablePrivilege(const wchar_t*) { return 0; }
