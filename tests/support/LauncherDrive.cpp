#include "support/LauncherDrive.h"

#include "settings/EnvInfoStore.h"
#include "support/TestSupport.h"

namespace tarn::test {

EnvDlgInfo QuietSettings() {
  EnvDlgInfo info;
  ApplyLoadDefaults(info);
  info.SrchDirFlg = {};
  info.SrchDirFlg.NtCom = true;
  info.SrchDirFlg.Path = true;
  info.SpeedTuning = {};
  info.AnyDirSubDir = true;
  info.AnyDirs.clear();
  return info;
}

void PrepareProgramFolder(const std::string& dir, const EnvDlgInfo& settings,
                          const std::vector<std::string>& candidates) {
  CEnvInfoStore(dir + "\\").SaveEnvInfo(&settings);
  std::string cache;
  for (const std::string& path : candidates) cache += path + "\r\n";
  WriteFileBytes(dir + "\\apppaths.ini", cache + "\r\n");
}

RunningProgram::RunningProgram(const std::string& dir) {
  const std::string exe = dir + "\\TarnLauncher.exe";
  if (!CopyFileA((ExeDir() + "..\\src\\app\\TarnLauncher.exe").c_str(), exe.c_str(), FALSE)) return;
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  std::string cmd = "\"" + exe + "\"";
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &info_)) return;
  CloseHandle(info_.hThread);
  PumpUntil([&] { return (main_ = FindMainWindow(info_.dwProcessId)) != nullptr; }, 20000);
}

RunningProgram::~RunningProgram() {
  if (!info_.hProcess) return;
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 99);
  CloseHandle(info_.hProcess);
}

bool RunningProgram::Exit() {
  PostMessageA(main_, WM_COMMAND, 4004, 0);
  HWND confirm = WaitForDialog("Tarn Launcher 終了確認", 10000, info_.dwProcessId);
  if (!confirm) return false;
  PostMessageA(confirm, WM_COMMAND, IDYES, 0);
  return WaitForSingleObject(info_.hProcess, 15000) == WAIT_OBJECT_0;
}

HWND OpenLauncher(HWND mainWindow, DWORD timeoutMs) {
  DWORD pid = 0;
  GetWindowThreadProcessId(mainWindow, &pid);
  PostMessageA(mainWindow, WM_HOTKEY, 1, 0);
  HWND dialog = nullptr;
  PumpUntil([&] { return (dialog = FindDialogByCaption("Tarn Launcher", pid)) != nullptr && IsWindowVisible(dialog); },
            timeoutMs);
  return dialog;
}

bool SearchInLauncher(HWND dialog, const std::string& word, DWORD timeoutMs) {
  HWND counter = GetDlgItem(dialog, 1018);
  char before[64] = {};
  // The first fill replaces the template's placeholder text; the cached
  // candidates may come in after it.
  PumpUntil(
      [&] {
        GetWindowTextA(counter, before, sizeof before);
        const std::string text = before;
        return !text.empty() && text.find('X') == std::string::npos && text.find("/     0]") == std::string::npos;
      },
      timeoutMs);
  // WM_SETTEXT carries its text across processes whole, double-byte
  // characters included.
  SendMessageA(GetDlgItem(dialog, 1008), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(word.c_str()));
  return PumpUntil(
      [&] {
        char now[64] = {};
        GetWindowTextA(counter, now, sizeof now);
        return std::string(now) != before;
      },
      timeoutMs);
}

}  // namespace tarn::test
