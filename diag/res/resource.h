// Resource ids of pdiag: dialogs, controls, strings, icons and help topics.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Icons
#define IDR_MAINFRAME                   128

// Dialogs
#define IDD_START                       102
#define IDD_RESULTS                     129
#define IDD_SPOOLER_STOPPED             133
#define IDD_WRITE_FAILED                134
#define IDD_FINISH                      135
#define IDD_FILE_MISSING                136
#define IDD_SELECT_PORT                 137
#define IDD_PORT_SETTINGS               138
#define IDD_LANG_MONITOR                141
#define IDD_DRIVER_SETTINGS             142
#define IDD_STATUS_WINDOW               143
#define IDD_BIDI                        144
#define IDD_PROGRAM_FOLDER              146
#define IDD_CHECKING_SYSTEM             147
#define IDD_FOLDER_ITEM                 148
#define IDD_CHECKING_NETWORK            149
#define IDD_FILE_VERSION                150
#define IDD_ONDRIX_DRIVER               151
#define IDD_NO_PERMISSION               153
#define IDD_SERVER_ERROR                154
#define IDD_NET_PRINTER_ERROR           155
#define IDD_REGISTRY_FIX                157
#define IDD_REGISTRY_REINSTALL          158
#define IDD_HOLD_MISMATCHED             159

// Start dialog (102)
#define IDC_START_YES                   1001
#define IDC_START_NO                    1003
#define IDC_DISK_SPACE                  1004
#define IDC_MEMORY                      1005
#define IDC_PRINTER_LIST                1006
#define IDC_SYSINFO_GROUP               1119
#define IDC_DISK_LABEL                  1120
#define IDC_MEMORY_LABEL                1121
#define IDC_DISK_UNIT                   1122
#define IDC_MEMORY_UNIT                 1123
#define IDC_PRINTER_LABEL               1124
#define IDC_START_INTRO                 1125
#define IDC_START_QUESTION              1126

// Results dialog (129)
#define IDC_RESULTS_LOG                 1008
#define IDC_RESULTS_SAVE                1009
#define IDC_RESULTS_CHANGE_NAME         1010
#define IDC_RESULTS_FILE_NAME           1016
#define IDC_RESULTS_SUMMARY             1017
#define IDC_RESULTS_LABEL               1198
#define IDC_RESULTS_SAVE_GROUP          1199
#define IDC_RESULTS_FILE_LABEL          1200

// Spooler stopped (133)
#define IDC_SPOOLER_TEXT1               1116
#define IDC_SPOOLER_TEXT2               1117
#define IDC_SPOOLER_TEXT3               1118

// Write failed (134)
#define IDC_WRITE_BACK                  1019
#define IDC_WRITE_RETRY                 1020
#define IDC_WRITE_FAILED_TEXT           1023

// Finish (135)
#define IDC_FINISH_RESTART              1021
#define IDC_FINISH_RETURN               1022
#define IDC_FINISH_TEXT1                1204
#define IDC_FINISH_TEXT2                1205

// File missing (136)
#define IDC_MISSING_CONTINUE            1024
#define IDC_MISSING_EXIT                1025
#define IDC_MISSING_HELP                1026
#define IDC_MISSING_TEXT                1074
#define IDC_MISSING_REINSTALL           1107

// Select port (137)
#define IDC_PORT_LIST                   1028
#define IDC_PORT_CHOOSE_TEXT            1140
#define IDC_PORT_LIST_LABEL             1141

// Port settings wrong (138)
#define IDC_PORT_YES                    1029
#define IDC_PORT_NO                     1030
#define IDC_PORT_EXIT                   1031
#define IDC_PORT_HELP                   1032
#define IDC_PORT_TEXT                   1109

// Language monitor (141)
#define IDC_LANGMON_YES                 1039
#define IDC_LANGMON_NO                  1040
#define IDC_LANGMON_EXIT                1041
#define IDC_LANGMON_TEXT                1155

// Driver settings (142)
#define IDC_DRIVER_YES                  1042
#define IDC_DRIVER_NO                   1044
#define IDC_DRIVER_EXIT                 1045
#define IDC_DRIVER_TEXT                 1111

// Status window (143)
#define IDC_STATUSWND_YES               1046
#define IDC_STATUSWND_NO                1048
#define IDC_STATUSWND_EXIT              1049
#define IDC_STATUSWND_TEXT              1164

// Bidirectional support (144)
#define IDC_BIDI_YES                    1050
#define IDC_BIDI_NO                     1051
#define IDC_BIDI_EXIT                   1052
#define IDC_BIDI_TEXT                   1169

// Program folder (146)
#define IDC_FOLDER_YES                  1056
#define IDC_FOLDER_NO                   1057
#define IDC_FOLDER_EXIT                 1058
#define IDC_FOLDER_TEXT                 1179

// Checking system / network (147, 149)
#define IDC_CHECKING_SYSTEM_TEXT        1127
#define IDC_CHECKING_SYSTEM_WAIT        1128
#define IDC_CHECKING_NETWORK_TEXT       1188
#define IDC_CHECKING_NETWORK_WAIT       1189

// Folder item (148)
#define IDC_ITEM_YES                    1059
#define IDC_ITEM_NO                     1061
#define IDC_ITEM_EXIT                   1062
#define IDC_ITEM_TEXT                   1064

// File version (150)
#define IDC_VERSION_CONTINUE            1066
#define IDC_VERSION_EXIT                1067
#define IDC_VERSION_HELP                1068
#define IDC_VERSION_TEXT                1069
#define IDC_VERSION_CURRENT_LABEL       1070
#define IDC_VERSION_EXPECTED_LABEL      1071
#define IDC_VERSION_CURRENT_VALUE       1072
#define IDC_VERSION_EXPECTED_VALUE      1073
#define IDC_VERSION_REINSTALL           1108

// Port-driver service (151)
#define IDC_ONDRIX_YES                  1075
#define IDC_ONDRIX_NO                   1076
#define IDC_ONDRIX_EXIT                 1077
#define IDC_ONDRIX_TEXT                 1078

// No permission (153)
#define IDC_NOPERM_CONTINUE             1080
#define IDC_NOPERM_EXIT                 1081
#define IDC_NOPERM_HELP                 1082
#define IDC_NOPERM_TEXT                 1210

// Print server not reachable (154)
#define IDC_SERVER_CONTINUE             1083
#define IDC_SERVER_EXIT                 1084
#define IDC_SERVER_HELP                 1085
#define IDC_SERVER_TEXT                 1096
#define IDC_SERVER_LABEL                1190

// Network printer not reachable (155)
#define IDC_NETPRN_CONTINUE             1086
#define IDC_NETPRN_EXIT                 1087
#define IDC_NETPRN_HELP                 1088
#define IDC_NETPRN_TEXT                 1092
#define IDC_NETPRN_LABEL                1194

// Registry setting wrong (157)
#define IDC_REGFIX_YES                  1093
#define IDC_REGFIX_NO                   1094
#define IDC_REGFIX_EXIT                 1095
#define IDC_REGFIX_TEXT                 1142

// Registry damaged, reinstall (158)
#define IDC_REGREINST_CONTINUE          1098
#define IDC_REGREINST_EXIT              1099
#define IDC_REGREINST_HELP              1100
#define IDC_REGREINST_REINSTALL         1110
#define IDC_REGREINST_TEXT              1147

// Hold mismatched documents (159)
#define IDC_HOLD_YES                    1101
#define IDC_HOLD_NO                     1102
#define IDC_HOLD_EXIT                   1103
#define IDC_HOLD_TEXT                   1174

// Help topics of the help file
#define HELP_TOPIC_FILE_MISSING         5010
#define HELP_TOPIC_VERSION              5020
#define HELP_TOPIC_SIZE                 5030
#define HELP_TOPIC_TIMESTAMP            5040
#define HELP_TOPIC_PORT                 5050
#define HELP_TOPIC_SERVER               5070
#define HELP_TOPIC_NET_PRINTER          5080
#define HELP_TOPIC_NO_PERMISSION        5090
#define HELP_TOPIC_REINSTALL            5100

// Strings
#define IDS_LOCAL                       9
#define IDS_TITLE                       10
#define IDS_SUMMARY_WRONG               13
#define IDS_SUMMARY_CORRECT             14
#define IDS_REINSTALL                   15
#define IDS_SUMMARY_NETWORK_WRONG       16
#define IDS_SUMMARY_ABORTED             21
#define IDS_CANNOT_WRITE                22
#define IDS_ITEM_MISSING                37
#define IDS_CURRENT_VERSION             44
#define IDS_EXPECTED_VERSION            45
#define IDS_CURRENT_SIZE                46
#define IDS_EXPECTED_SIZE               47
#define IDS_CURRENT_TIMESTAMP           48
#define IDS_EXPECTED_TIMESTAMP          49
#define IDS_FILE_MISSING                56
#define IDS_ONDRIX_NOT_RUNNING          57
#define IDS_ONDRIX_DISABLED             58
#define IDS_ONDRIX_MISCONFIGURED        59
#define IDS_SERVER_UNREACHABLE          60
#define IDS_NET_PRINTER_UNREACHABLE     62
#define IDS_ERROR                       100
#define IDS_NETWORK_ERROR               101
#define IDS_FIXED                       102
#define IDS_NOT_FIXED                   103
#define IDS_PORT_CONNECTION             104
#define IDS_LANGMON_INSTALLED           105
#define IDS_LANGMON_MISSING             106
#define IDS_DRIVER_CORRECT              107
#define IDS_STATUSWND_INSTALLED         108
#define IDS_STATUSWND_MISSING           109
#define IDS_REGISTRY_CORRECT            110
#define IDS_REGISTRY_WRONG              111
#define IDS_ONDRIX_CORRECT              112
#define IDS_BIDI_DISABLED               113
#define IDS_HOLD_ENABLED                114
#define IDS_ATTRIBUTES_CORRECT          115
#define IDS_FOLDER_MISSING              116
#define IDS_FOLDER_CORRECT              117
#define IDS_NETWORK_CORRECT             118
#define IDS_RUN_COMPLETE                119
#define IDS_RUN_ABORTED                 120
#define IDS_RESTARTING                  121
#define IDS_RETURNING                   122
#define IDS_LOG_HEADER                  123
#define IDS_FREE_DISK                   124
#define IDS_FREE_MEMORY                 125
#define IDS_MB                          126
#define IDS_KB                          127
#define IDS_MODE_BIDI                   130
#define IDS_MODE_ECP                    131
#define IDS_MODE_ECP_DMA                132
#define IDS_MODE_STANDARD               133
#define IDS_UNEXPECTED_VERSION          134
#define IDS_UNEXPECTED_SIZE             135
#define IDS_UNEXPECTED_TIMESTAMP        136
#define IDS_ALL_FILES_EXPECTED          137
#define IDS_FILE_LIST_DAMAGED           138
// 200-299: texts of the unattended mode
#define IDS_USAGE                       200
#define IDS_BAD_ARGUMENT                201
#define IDS_NEEDS_UNATTENDED            202
#define IDS_NO_PRINTER                  203
#define IDS_PRINTER_NOT_FOUND           204
#define IDS_SPOOLER_NOT_RUNNING         205
#define IDS_LOG_SAVED                   206
#define IDS_LOG_KEPT                    207
#define IDS_REPORT_NOT_WRITTEN          208
#define IDS_REPORT_NOT_OUTPUT           209
#define IDS_ANOTHER_RUN                 210
#define IDS_REGISTRY_UNREADABLE         211
#define IDS_PORT_WRONG                  1000
#define IDS_DRIVER_WRONG                1001
