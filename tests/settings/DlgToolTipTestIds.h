#pragma once

// Ids of the tooltip test dialog, clear of the program's own resources.
#define IDC_TIP_LABEL 7000
#define IDC_TIP_BUTTON 7001
#define IDC_TIP_COMBO 7002
#define IDC_TIP_EDIT 7003
#define IDC_TIP_GROUP 7004
