// Placing dialogs on the screen: centring over a window inside the work
// area, and restoring a saved rectangle only where a monitor shows it.
#pragma once

#include <windows.h>

#include <vector>

#include "launcher/LauncherLayout.h"

// Centres window over reference, kept inside the desktop's work area (the
// whole primary screen when the work area cannot be read).
void CenterWindowInWorkArea(HWND window, HWND reference);

// Work areas of all monitors, the primary one first.
std::vector<tarn::Rect32> MonitorWorkAreas();

// Moves and sizes window to the saved rectangle, first brought onto a
// screen when no monitor shows it; minimum is the window's least size.
void RestoreSavedRect(HWND window, const tarn::Rect32& saved, tarn::Size32 minimum);

inline tarn::Rect32 ToRect32(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
