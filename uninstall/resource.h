// Resource ids of Uninstall.exe. The German variant of a message string is
// its English id + IDS_GERMAN_OFFSET.
#pragma once

#define IDI_UNINSTALL 1

#define IDS_FAMILY_NAME 6
#define IDS_MESSAGE_CAPTION 7
#define IDS_CONFIRM_REMOVE 100
#define IDS_REMOVED 101
#define IDS_GERMAN_OFFSET 1000

#define IDD_UNINSTALL_ENGLISH 102
#define IDD_UNINSTALL_GERMAN 103

#define IDC_APPS 1001
#define IDC_REMOVE 1003
#define IDC_APP_ICON 1005
