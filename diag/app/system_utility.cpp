#include "app/system_utility.h"

DWORD CSystemUtility::GetFreeDiskSpaceMB() { return 0; }
DWORD CSystemUtility::GetAvailableMemory() { return 0; }
int CSystemUtility::AppendLogLine(const wchar_t*, const wchar_t*) { return 0; }
