// Resource ids of XERB5LAK.EXE, the status windows' start-up and notification-area program.
#pragma once

#define IDI_STARTER 100

#define IDS_TRAY_TIP 200
#define IDS_TRAY_EXIT 201
#define IDS_TRAY_NO_PRINTER 202
