// The program driven as a user would: in this process, or the built exe in another.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/EnvDlgInfo.h"
#include "support/TestSupport.h"

namespace tarn::test {

// Settings that collect nothing at start, with the tests' hotkey Ctrl+Alt+Shift+F12.
EnvDlgInfo QuietSettings();
// tlenv.ini (through the settings store) and, given candidates, apppaths.ini.
void PrepareProgramFolder(const std::string& dir, const EnvDlgInfo& settings, const std::vector<std::string>& candidates);

// The main window in this process, its files in a test folder, gone with the test.
class AppTest : public ::testing::Test {
 protected:
  ~AppTest() override;
  // Prepares the folder with settings and candidates and creates the window.
  HWND Create(const std::vector<std::string>& candidates = {});
  // Creates the window on the folder as it is.
  HWND Start();
  static HWND LauncherWindow();  // nullptr when none is open
  // The test's settings saved and taken up, as the settings dialog does.
  void Apply();
  static EnvDlgInfo SavedSettings();

  TempDir dir;
  EnvDlgInfo settings = QuietSettings();
};

// dir\TarnLauncher.exe, copied in and started there; killed with the object if still running.
class RunningProgram {
 public:
  explicit RunningProgram(const std::string& dir, bool waitForMainWindow = true);
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;
  HWND MainWindow() { return main_ ? main_ : (main_ = FindMainWindow(info_.dwProcessId)); }
  DWORD Pid() const { return info_.dwProcessId; }
  long ExitCode(DWORD waitMs) const;  // -1 while it runs
  bool Exit();  // the exit command, answered yes; true when it ended with 0

 private:
  PROCESS_INFORMATION info_ = {};
  HWND main_ = nullptr;
};

// Posts the hotkey and waits for the launcher dialog; nullptr on timeout.
HWND OpenLauncher(HWND mainWindow);
// Sets the search word; true once the counter changed (the word must change it).
bool SearchInLauncher(HWND dialog, const std::string& word);

}  // namespace tarn::test
