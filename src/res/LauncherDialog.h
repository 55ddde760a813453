#pragma once

// Controls of the launcher dialog "DLG_BRSK". The small buttons carry the
// commands of resource.h (IDC_ABOUT to IDC_REFRESH).
#include "resource.h"

#define IDC_LAUNCHER_LIST 1002
#define IDC_LAUNCHER_RUN 1004
#define IDC_LAUNCHER_SEARCH 1008
#define IDC_LAUNCHER_COUNTER 1018
#define IDC_LAUNCHER_PATH 1023
// The system's cancel id, so that Escape closes the dialog too.
#define IDC_LAUNCHER_CLOSE 2
