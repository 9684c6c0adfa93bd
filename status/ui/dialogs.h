// The status window's dialogs: options, port settings and the about box.
#pragma once
#include "ui/layer.h"
#include <windows.h>

// The dialog parameter of the port settings: which of the two templates is open.
#define PORT_SETTINGS_STANDARD 0   // with IDD_PORT_SETTINGS: standard or ECP
#define PORT_SETTINGS_DMA 1        // with IDD_PORT_SETTINGS_DMA: ECP without or with DMA too

// Runs the dialog of template `templateId` (res/dialog_ids.h) modally with `parameter`.
// Returns 0 when the dialog was shown, however it ended, and 1 when the program has no
// dialog of that template.
int ShowStatusDialog(HINSTANCE instance, HWND owner, int templateId, LPARAM parameter);

// "确定" stores "Showing", "StatusSense" and "AlwaysOnTop" in g_state and the registry.
INT_PTR CALLBACK OptionsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// "确定" asks the print monitor for the chosen mode ("Mode") and tells the status library.
INT_PTR CALLBACK PortSettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Tells the user that the port cannot be set while a job prints.
void ShowPortBusyMessage(void);
