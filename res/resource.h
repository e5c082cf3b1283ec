#pragma once
// Resource ids of the program (dialogs, controls, icon, strings).

#define IDD_ABOUTBOX 100
#define IDS_ABOUT_ITEM 101
#define IDD_MAIN 102
#define IDI_APP 128

#define IDC_CONFIGURE 1002
#define IDC_CAPTURE 1006
#define IDC_BACKGROUND_LIST 1007
#define IDC_PHOTO_LIST 1008
#define IDC_MUSIC 1009
#define IDC_DELETE 1010
#define IDC_ABOUT 1013
#define IDC_HELP_BTN 1014
#define IDC_SAVE_AS 1015
#define IDC_MAIL_LINK 1016
#define IDC_HOME_LINK 1017
#define IDC_DELAY 1021
#define IDC_DELAY_LABEL 1023
#define IDC_FORMAT 1026
#define IDC_SKIN 1028

// System-menu command of the About item.
#define ID_SYSMENU_ABOUT 0x0010
