#pragma once

// The settings dialog's template goes by number. By name, "DLG_BR_ENV" and
// "DLG_BRSK" are ordered one way by the resource compiler ('_' before the
// letters) and the other way by the loader's search ('_' after them), and
// one of the two templates would not be found.
#define DLG_BR_ENV 300

// Controls of the settings dialog "DLG_BR_ENV". Their help texts are the
// strings of the same ids.
#define IDC_ENV_HOTKEY 1001
#define IDC_ENV_STARTMENU 1003
#define IDC_ENV_DESKTOP 1005
#define IDC_ENV_NTCOM 1006
#define IDC_ENV_FOLDERS 1007
#define IDC_ENV_ANY 1009
#define IDC_ENV_BROWSE 1010
#define IDC_ENV_INITLIST 1011
#define IDC_ENV_UPDATE 1012
#define IDC_ENV_LOADICON 1013
#define IDC_ENV_FAVORITES 1014
#define IDC_ENV_FOLDER_DELETE 1015
#define IDC_ENV_RECENT 1016
#define IDC_ENV_EXECLIST_MAX 1017
#define IDC_ENV_TOPDIR_MAX 1018
#define IDC_ENV_SUBDIR 1019
#define IDC_ENV_ITEM_UPDATE 1020
#define IDC_ENV_ITEM_DELETE 1021
#define IDC_ENV_SOURCES 1022
#define IDC_ENV_ITEM_ADD 1025
#define IDC_ENV_ITEMS 1027
#define IDC_ENV_ITEM_UP 1029
#define IDC_ENV_ITEM_DOWN 1030
#define IDC_ENV_PATH 1031
#define IDC_ENV_AUTOCOMPLETE 1033
#define IDC_ENV_WIN 1035
#define IDC_ENV_MODE_GROUP 1036
#define IDC_ENV_SEARCH_MODE 1037
#define IDC_ENV_SPACE_OPTION 1038
#define IDC_ENV_INTERVAL 1039
#define IDC_ENV_KANA 1040
#define IDC_ENV_STARTUP 1041

// Controls of the static item dialog "DLG_STATIC_ITEM_SETTING".
#define IDC_ITEM_COMMAND 1024
#define IDC_ITEM_NAME 1028
#define IDC_ITEM_UTF8 1032
#define IDC_ITEM_URLENCODE 1034

// Controls of the About dialog "DLG_ABOUT" and its picture.
#define IDC_ABOUT_TYPED 1019
#define IDC_ABOUT_PICTURE 1020
#define IDC_ABOUT_NOTICE 1021
#define IDC_ABOUT_TITLE 1023
#define IDB_ABOUT 107
