// The shell call behind StartItem, replaceable so that tests can have the
// shell refuse a file, or the user cancel, and watch what follows.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstddef>

#include "launcher/Launch.h"

// Same form as ShellExecuteExA: on failure the last error and hInstApp say why.
using ShellOpenFn = BOOL(WINAPI*)(SHELLEXECUTEINFOA*);

// Longest file or parameter text the shell of this platform is given.
std::size_t ShellTextLimit();

// The shell call StartItem makes: ShellExecuteExA, which may run message
// loops of its own (its prompts), as a stand-in may.
extern ShellOpenFn LaunchShellOpen;

// StartItem with the given shell call in place of ShellExecuteExA, and the
// given limit for its texts.
int StartItemWith(const LaunchRequest& request, ShellOpenFn shellOpen,
                  std::size_t maxShellText = ShellTextLimit());
