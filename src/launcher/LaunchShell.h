// The shell call behind StartItem, replaceable so that tests can have the
// shell refuse a file and watch the process fall-back that follows.
#pragma once

#include <windows.h>

#include <cstddef>

#include "launcher/Launch.h"

// Same form as ShellExecuteA.
using ShellOpenFn = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);

// Longest file or parameter text the shell of this platform is given.
std::size_t ShellTextLimit();

// The shell call StartItem makes: ShellExecuteA, which may run message
// loops of its own (its prompts), as a stand-in may.
extern ShellOpenFn LaunchShellOpen;

// StartItem with the given shell call in place of ShellExecuteA, and the
// given limit for its texts.
int StartItemWith(const LaunchRequest& request, ShellOpenFn shellOpen,
                  std::size_t maxShellText = ShellTextLimit());
