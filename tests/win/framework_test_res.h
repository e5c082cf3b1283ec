#pragma once
// Resource ids of the framework tests.
#define IDD_FW_TEST 200
#define IDD_FW_PLAIN 201
#define IDS_FW_TEST_WIDE 300
#define IDC_FW_NUMBER 1001
#define IDC_FW_GO 1002
#define IDC_FW_OTHER 1003
#define IDC_FW_LINK 1004
#define IDC_FW_COMBO 1005
#define IDC_FW_LIST 1006
