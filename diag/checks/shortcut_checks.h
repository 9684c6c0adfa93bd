// The program group folder and its shortcuts, the status window's start-up shortcut and its
// App Paths entry, checked against the manifest and the registry, and their repairs.
#pragma once
#include "checks/finding.h"
#include "checks/run_facts.h"

// 1 when the start-up shortcut of the status window is there, 0 when it is missing (also for
// a missing manifest or a missing or damaged entry).
int CheckStatusWindowStartup(RunFacts& facts);
// The status window's finding from its check's result: any result but 1 and 0 writes no line.
Finding StatusWindowFinding(int result);
// Creates the status window's start-up shortcut; 0 when nothing was created (no manifest, a
// missing or damaged entry).
int CreateStartupItems(RunFacts& facts);
// 1 when the program folder of the manifest's GroupName is in the all-users Programs folder.
int CheckProgramFolder(RunFacts& facts);
// The program folder's finding from its check's result. A folder that is there writes no
// line yet: its correct line follows its items, for which it stands too.
Finding ProgramFolderFinding(int result);
// Creates the program folder; nothing for a name that is not plain.
void CreateProgramFolder(RunFacts& facts);
// 1 when the group folder holds the shortcut `itemName` + ".lnk".
int ProgramItemExists(RunFacts& facts, const wchar_t* itemName);
// One program item's finding from its check's result: a missing item is a fault of its own,
// an item that is there writes no line.
Finding ProgramItemFinding(const std::wstring& itemName, int exists);
// Creates one shortcut of the group folder; 0 for a damaged entry (a name or file that is not
// plain), when nothing is created.
int CreateProgramItem(RunFacts& facts, const wchar_t* file, const wchar_t* itemName, const wchar_t* arguments,
                      int iconIndex);
// 0 when the App Paths entry names the status window, otherwise the code RepairAppPath takes.
int CheckAppPath();
// The App Paths entry's finding, a line of the registry check.
Finding AppPathFinding(int code);
int RepairAppPath(int code);
