// Resource identifiers of TarnockUpdate.exe.
#pragma once

#define IDD_UPDATE_DIALOG 102
#define IDD_UPDATE_INFO 130
#define IDB_UPDATE_SKIN 129
#define IDI_UPDATE_ICON 132

// Strings: the names of the files beside the updater, then the texts of the dialog.
#define IDS_MAIN_PROGRAM 102
#define IDS_SETUP_PROGRAM 103
#define IDS_UPDATE_TITLE 110
#define IDS_STATE_CHECKING 111
#define IDS_STATE_UP_TO_DATE 112
#define IDS_STATE_OFFERED 113
#define IDS_STATE_DOWNLOADING 114

// Main window.
#define IDC_UPDATE 1000
#define IDC_PROGRESS 1001
#define IDC_STATE_TEXT 1002
#define IDC_CLOSE 1003
#define IDC_DETAILS 1004

// Details dialog.
#define IDC_INFO_DESCRIPTION 1005
#define IDC_INFO_VERSION 1006
#define IDC_INFO_DATE 1007
#define IDC_INFO_FILENAME 1008
#define IDC_INFO_FILESIZE 1009
