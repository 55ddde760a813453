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

// The built program copied into dir and started there, its main window
// found; ended when the object goes (killed if it will not end).
class RunningProgram {
 public:
  explicit RunningProgram(const std::string& dir);
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  HWND MainWindow() const { return main_; }
  DWORD Pid() const { return info_.dwProcessId; }
  // The exit command, its question answered; true when the process ended.
  bool Exit();

 private:
  PROCESS_INFORMATION info_ = {};
  HWND main_ = nullptr;
};

// Posts the hotkey and waits for the launcher dialog; nullptr on timeout.
HWND OpenLauncher(HWND mainWindow, DWORD timeoutMs = 10000);

// Puts word into the search box and waits until the counter shows the
// list was filtered with it: the word must change the number of matches.
bool SearchInLauncher(HWND dialog, const std::string& word, DWORD timeoutMs = 10000);

}  // namespace tarn::test
