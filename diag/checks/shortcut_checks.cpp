// Program folder, shortcuts, start-up item and App Paths entry. (placeholder until the checks land)
#include "app/troubleshooter_app.h"

int CTroubleshooterApp::CheckStatusWindowStartup() { return 1; }
int CTroubleshooterApp::RepairStatusWindow() { return 1; }
int CTroubleshooterApp::CreateStartupItems() { return 0; }
int CTroubleshooterApp::CheckProgramFolder() { return 1; }
void CTroubleshooterApp::CreateProgramFolder() {}
int CTroubleshooterApp::ProgramItemExists(const wchar_t*) { return 1; }
int CTroubleshooterApp::CreateProgramItem(const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*, int) { return 1; }
int CTroubleshooterApp::CheckAppPath() { return 0; }
int CTroubleshooterApp::RepairAppPath(int) { return 1; }
