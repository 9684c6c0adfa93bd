#pragma once
#define IDD_TEST_CHOICE   200
#define IDD_TEST_WAIT     201
#define IDC_TEST_TEXT     300
#define IDC_TEST_YES      301
#define IDC_TEST_NO       302
#define IDC_TEST_HELP     303
#define IDC_TEST_LIST     304
#define IDC_TEST_CHECK    305
#define IDC_TEST_OFF      306
#define IDS_TEST_QUESTION 400
#define IDS_TEST_FILL     401
#define IDC_STATIC (-1)
