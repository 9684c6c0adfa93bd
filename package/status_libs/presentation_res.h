// Resource ids of XERB5PMN.DLL, the stand-in presentation library.
#pragma once

#define IDM_STATUS_WINDOW 300

// Commands of the menu and the toolbars, as the status window knows them.
#define IDC_PAUSE 100
#define IDC_RESUME 101
#define IDC_RESTART 102
#define IDC_CANCEL 103
#define IDC_TEST_PAGE 104
#define IDC_OPTIONS 120
#define IDC_HELP_TOPICS 130
#define IDC_ABOUT 133
#define IDC_PORT_SETTINGS 134
#define IDC_TERMINATE 400  // the status window's system-menu item

// Pictures: packed DIBs of 16 colours, magenta transparent.
#define IDB_PRINTER 700
#define IDB_PRINTER_EMPTY 701
#define IDB_SHEET_FEED 710
#define IDB_SHEET_OUT1 711
#define IDB_SHEET_OUT2 712
#define IDB_SHEET_TRAY 713
#define IDB_DATA 720
#define IDB_MARK_ERROR 730
#define IDB_MARK_WARNING 731
#define IDB_MARK_PAUSE 732
#define IDB_TOOLBAR 740  // pause, resume, restart, cancel; silver is the button face

#define IDI_STATE_READY 800
#define IDI_STATE_PRINTING 801
#define IDI_STATE_ERROR 802

// State titles (the job-status pane's first line).
#define IDS_STATE_CONNECTING 1000
#define IDS_STATE_NO_STATUS 1001
#define IDS_STATE_READY 1002
#define IDS_STATE_PRINTING 1003
#define IDS_STATE_RECEIVING 1004
#define IDS_STATE_FINISHING 1005
#define IDS_STATE_CANCELLING 1006
#define IDS_STATE_PAUSED 1007
#define IDS_STATE_PAPER_OUT 1010
#define IDS_STATE_PAPER_JAM 1011
#define IDS_STATE_COVER_OPEN 1012
#define IDS_STATE_OFFLINE 1013
#define IDS_STATE_TONER_EMPTY 1014
#define IDS_STATE_MEMORY_FULL 1015
#define IDS_STATE_ATTENTION 1016

// Advice in the message box, up to two lines per state, and the attention notes.
#define IDS_ADVICE_CONNECTING 1100
#define IDS_ADVICE_NO_STATUS 1101
#define IDS_ADVICE_READY 1102
#define IDS_ADVICE_PRINTING 1103
#define IDS_ADVICE_RECEIVING 1104
#define IDS_ADVICE_FINISHING 1105
#define IDS_ADVICE_CANCELLING 1106
#define IDS_ADVICE_PAUSED 1107
#define IDS_ADVICE_PAUSED_2 1108
#define IDS_ADVICE_PAPER_OUT 1110
#define IDS_ADVICE_PAPER_OUT_2 1111
#define IDS_ADVICE_PAPER_JAM 1112
#define IDS_ADVICE_PAPER_JAM_2 1113
#define IDS_ADVICE_COVER_OPEN 1114
#define IDS_ADVICE_OFFLINE 1115
#define IDS_ADVICE_OFFLINE_2 1116
#define IDS_ADVICE_TONER_EMPTY 1117
#define IDS_ADVICE_MEMORY_FULL 1118
#define IDS_ADVICE_MEMORY_FULL_2 1119
#define IDS_NOTE_TONER_LOW 1130
#define IDS_NOTE_DRUM 1131

// Menu help: 1200 + the command's id; the three menus: 1250 + their position.
#define IDS_MENU_HELP_BASE 1200
#define IDS_MENU_POPUP_BASE 1250
#define IDS_MENU_HELP_TERMINATE 1260
// Toolbar tooltips: 1400 + the command's id.
#define IDS_TOOLTIP_BASE 1400
