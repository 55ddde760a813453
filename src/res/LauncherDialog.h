#pragma once

// Controls of the launcher dialog "DLG_BRSK" (the small buttons carry the
// command ids 4003 to 4006, Close is IDCANCEL).
#define IDC_LAUNCHER_LIST 1002
#define IDC_LAUNCHER_RUN 1004
#define IDC_LAUNCHER_SEARCH 1008
#define IDC_LAUNCHER_COUNTER 1018
#define IDC_LAUNCHER_PATH 1023
