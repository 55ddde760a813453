// The few list-control steps every list of the program takes the same way.
#pragma once

#include <windows.h>

// The selected row, -1 when none.
int SelectedListRow(HWND list);
// Selects and focuses the row, scrolled into view on request.
void SelectListRow(HWND list, int row, bool scroll);
// The first column as wide as the list's client area.
void FitFirstColumn(HWND list);
