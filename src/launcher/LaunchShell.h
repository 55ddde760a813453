// The shell call behind StartItem, replaceable so that tests can have the
// shell refuse a file and watch the process fall-back that follows.
#pragma once

#include <windows.h>

#include "launcher/Launch.h"

// Same form as ShellExecuteA.
using ShellOpenFn = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);

// StartItem with the given shell call in place of ShellExecuteA.
int StartItemWith(const LaunchRequest& request, ShellOpenFn shellOpen);
