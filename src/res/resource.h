#pragma once

// Product name string and program icon.
#define IDS_PRODUCT_NAME 102
#define IDI_PROGRAM 102

// The reading table of names in kanji (RCDATA, made by scripts/make-readings).
#define IDR_READINGS 120

// Tray menu and tray icon id.
#define IDM_TRAY 110

// Commands of the tray menu and the launcher's small buttons; the icons and
// strings of the same ids belong to them.
#define IDC_ABOUT 4003
#define IDC_EXIT 4004
#define IDC_SETTINGS 4005
#define IDC_REFRESH 4006
