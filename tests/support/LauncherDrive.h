// Driving a running Tarn Launcher from another process, as a user would:
// the hotkey message, the search box, Return and the exit command.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "settings/EnvDlgInfo.h"

namespace tarn::test {

// Settings that collect nothing at start: the candidates come from the
// cache file alone.
EnvDlgInfo QuietSettings();

// Writes tlenv.ini (through the settings store) and apppaths.ini into dir.
void PrepareProgramFolder(const std::string& dir, const EnvDlgInfo& settings,
                          const std::vector<std::string>& candidates);

// Posts the hotkey and waits for the launcher dialog; nullptr on timeout.
HWND OpenLauncher(HWND mainWindow, DWORD timeoutMs = 10000);

// Puts word into the search box and waits until the counter shows the
// list was filtered with it: the word must change the number of matches.
bool SearchInLauncher(HWND dialog, const std::string& word, DWORD timeoutMs = 10000);

}  // namespace tarn::test
