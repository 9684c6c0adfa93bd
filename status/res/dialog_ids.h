// Templates and control ids of the status window's dialogs.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDD_OPTIONS 401
#define IDD_ABOUT 402
#define IDD_PORT_SETTINGS 403       // standard or ECP
#define IDD_PORT_SETTINGS_DMA 406   // standard, ECP without or with DMA

// Options.
#define IDC_SHOWING_LABEL 1000
#define IDC_SHOW_WHILE_PRINTING 1001
#define IDC_SHOW_ON_ERROR 1002
#define IDC_ALWAYS_ON_TOP 1009
#define IDC_SENSE_LABEL 1010
#define IDC_SENSE_ALWAYS 1011
#define IDC_SENSE_WHILE_SHOWN 1012
#define IDC_SENSE_WHILE_PRINTING 1013

// Port settings: a mode is its button's id less IDC_PORT_TYPE_LABEL.
#define IDC_PORT_TYPE_LABEL 1014
#define IDC_PORT_STANDARD 1015
#define IDC_PORT_MODE_2 1016         // offered by no template; the help file keeps its topic
#define IDC_PORT_ECP 1017
#define IDC_PORT_ECP_DMA 1018

// About box.
#define IDC_ABOUT_ICON 1020
#define IDC_ABOUT_PRODUCT 1021
#define IDC_ABOUT_VERSION 1022
