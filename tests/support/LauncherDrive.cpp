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
