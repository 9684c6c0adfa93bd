// What a status window does with the private messages of its protocol.
#pragma once
#include "ui/layer.h"
#include <windows.h>

void Protocol_OnResetStatus(void);
void Protocol_OnQuit(HWND window);
void Protocol_OnShow(void);
void Protocol_OnRelaunch(HWND window);
void Protocol_OnCloseInstance(HWND window);

// Starts a fresh copy of this program for the same printer and port; FALSE when it could not
// be started.
BOOL StartProgramCopy(void);
