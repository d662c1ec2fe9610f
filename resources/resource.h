// Resource and control identifiers of Tarnock.
#pragma once

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDD_TARNOCK_DIALOG 102
#define IDD_HELP 165
#define IDD_LOADING 172

// Menus
#define IDR_MAIN_MENU 169
#define IDR_LIST_MENU 170
#define IDR_STYLE_MENU 181

// Strings
#define IDS_UPDATER_FILE 102
#define IDS_WINDOW_TITLE 103
#define IDS_ABOUT_TEXT 104

// Icons
#define IDI_MAINFRAME 130
#define IDI_INFO 161
#define IDI_WEBSITE 162
#define IDI_UPDATE 164
#define IDI_MENU 174
#define IDI_DEFAULT_PROGRAM 180
#define IDI_STYLE 186

// Bitmaps: "BMP" custom resources (whole image files) and RT_BITMAP ones
#define IDB_BACKGROUND 138
#define IDB_HEADER 144
#define IDB_REMOVE 148
#define IDB_EXIT 149
#define IDB_TOOLBAR 151
#define IDB_ALLPROGRAMS 152
#define IDB_MESSENGER 153
#define IDB_P2P 154
#define IDB_SPYWARE 155
#define IDB_HELP_BACKGROUND 166
#define IDB_LOADING 173
#define IDB_BHO 175
#define IDB_STARTUP 179
#define IDB_ACTIVEX 181
#define IDB_COPYRIGHT 182
#define IDB_SEARCH 183
#define IDB_INFO 184

// Controls of the main dialog (1, 2 and 3 are the remove, exit and information buttons)
#define IDC_REMOVE 1
#define IDC_EXIT 2
#define IDC_INFO 3
#define IDC_SEARCH 185
#define IDC_RESULT_LIST 1000
#define IDC_SPYWARE 1002
#define IDC_TOOLBAR 1003
#define IDC_MESSENGER 1004
#define IDC_P2P 1005
#define IDC_ALLPROGRAMS 1006
#define IDC_UPDATE 1007
#define IDC_ABOUT 1008
#define IDC_MENU 1015
#define IDC_WEBSITE 1016
#define IDC_BROWSER 1017
#define IDC_ABOUT_TEXT 1019
#define IDC_ABOUT_VERSION 1020
#define IDC_BHO 1021
#define IDC_STARTUP 1022
#define IDC_ACTIVEX 1023
#define IDC_COPYRIGHT 1025
#define IDC_STYLE 1026
#define IDC_REMOVAL_STATUS 1060

// Menu commands
#define ID_STYLE_ICON 32781
#define ID_STYLE_REPORT 32782
#define ID_STYLE_LIST 32783
#define ID_MENU_RANKPAGE 32786
#define ID_MENU_RANKCONSENT 32788
#define ID_LIST_OPINION 32793
#define ID_LIST_REMOVE 32794
#define ID_LIST_HOMEPAGE 32795
#define ID_LIST_SEARCH 32797
#define ID_LIST_FOLDER 32807
#define ID_LIST_DELETEENTRY 32809
#define ID_MENU_AUTOUPDATE 32804
#define ID_MENU_MANUALUPDATE 32805
#define ID_MENU_BACKUPFOLDER 32810

// Private messages between the result list and the main dialog
#define UM_LISTSELECTION (WM_USER + 124)
#define UM_LISTACTION (WM_USER + 125)
