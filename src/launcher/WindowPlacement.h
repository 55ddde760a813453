// Restoring a saved rectangle only where a monitor shows it (centring is
// with the dialog base).
#pragma once

#include <windows.h>

#include <vector>

#include "base/DialogBase.h"
#include "launcher/LauncherLayout.h"

// Work areas of all monitors, the primary one first.
std::vector<tarn::Rect32> MonitorWorkAreas();

// Moves and sizes window to the saved rectangle, first brought onto a
// screen when no monitor shows it; minimum is the window's least size.
void RestoreSavedRect(HWND window, const tarn::Rect32& saved, tarn::Size32 minimum);
