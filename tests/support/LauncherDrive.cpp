#include "support/LauncherDrive.h"

#include "app/BriskApp.h"
#include "base/DialogBase.h"
#include "launcher/LauncherDlg.h"
#include "search/SrchApliBase.h"
#include "settings/EnvInfoStore.h"

namespace tarn::test {

EnvDlgInfo QuietSettings() {
  EnvDlgInfo info;
  ApplyLoadDefaults(info);
  info.HotKey = {1, 1, 1, 0, VK_F12}, info.SrchDirFlg = {.NtCom = true, .Path = true};
  info.SpeedTuning = {}, info.AnyDirSubDir = true, info.AnyDirs.clear();
  return info;
}

void PrepareProgramFolder(const std::string& dir, const EnvDlgInfo& settings, const std::vector<std::string>& candidates) {
  CEnvInfoStore(dir + "\\").SaveEnvInfo(&settings);
  std::string cache;
  for (const std::string& path : candidates) cache += path + "\r\n";
  if (!candidates.empty()) WriteFileBytes(dir + "\\apppaths.ini", cache + "\r\n");
}

AppTest::~AppTest() {
  // A pass still reporting would be lost with the window and block the next test's pass.
  if (CBriskApp* app = GetBriskApp()) PumpUntil([app] { return !app->GetCollector()->IsCollecting(); });
  if (GetMainWindow()) DestroyWindow(GetMainWindow());
  for (MSG msg; PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);) {
  }
}

HWND AppTest::Create(const std::vector<std::string>& candidates) {
  PrepareProgramFolder(dir.Path(), settings, candidates);
  return Start();
}

HWND AppTest::Start() {
  CEnvInfoStore::SetDefaultDirectory(dir.Path() + "\\");
  CEnvInfoStore().FreeEnvInfo();  // read again from this test's file
  SetLauncherFactory(&CreateLauncherDialog);
  return CreateMainWindow(GetModuleHandleA(nullptr), dir.Path() + "\\");
}

HWND AppTest::LauncherWindow() { return GetBriskApp() ? GetBriskApp()->GetLauncherWindow() : nullptr; }

void AppTest::Apply() {
  CEnvInfoStore().SaveEnvInfo(&settings);
  GetBriskApp()->ApplySettings(0);
}

EnvDlgInfo AppTest::SavedSettings() {
  CEnvInfoStore store;
  EnvDlgInfo info;
  return store.LoadEnvInfo(), store.GetEnvInfo(&info), info;
}

RunningProgram::RunningProgram(const std::string& dir, bool waitForMainWindow) {
  const std::string exe = dir + "\\TarnLauncher.exe";
  CopyFileA((ExeDir() + "..\\src\\app\\TarnLauncher.exe").c_str(), exe.c_str(), TRUE);
  if (StartProcess("\"" + exe + "\"", dir.c_str(), 0, &info_) && waitForMainWindow)
    PumpUntil([&] { return (main_ = FindMainWindow(info_.dwProcessId)) != nullptr; }, 20000);
}

RunningProgram::~RunningProgram() {
  if (info_.hProcess && ExitCode(0) < 0) TerminateProcess(info_.hProcess, 99);
  if (info_.hProcess) CloseHandle(info_.hProcess);
}

long RunningProgram::ExitCode(DWORD waitMs) const {
  DWORD code = 0;
  if (!info_.hProcess || WaitForSingleObject(info_.hProcess, waitMs) != WAIT_OBJECT_0) return -1;
  return GetExitCodeProcess(info_.hProcess, &code), static_cast<long>(code);
}

bool RunningProgram::Exit() {
  PostMessageA(MainWindow(), WM_COMMAND, 4004, 0);
  std::string text;
  PostMessageA(WaitForMessageBox("Tarn Launcher 終了確認", &text, 10000, info_.dwProcessId), WM_COMMAND, IDYES, 0);
  EXPECT_EQ(text, "Tarn Launcher を終了しますか？");
  return ExitCode(15000) == 0;
}

HWND OpenLauncher(HWND mainWindow) {
  DWORD pid = 0;
  GetWindowThreadProcessId(mainWindow, &pid);
  PostMessageA(mainWindow, WM_HOTKEY, 1, 0);
  HWND dialog = nullptr;
  PumpUntil([&] { return (dialog = FindDialogByCaption("Tarn Launcher", pid)) != nullptr && IsWindowVisible(dialog); });
  return dialog;
}

bool SearchInLauncher(HWND dialog, const std::string& word) {
  // Waits for the cached candidates; WM_SETTEXT carries double-byte text across processes whole.
  std::string counter;
  PumpUntil([&] {
    counter = WindowText(GetDlgItem(dialog, 1018));
    return !counter.empty() && counter.find('X') == std::string::npos && counter.find("/     0]") == std::string::npos;
  });
  SendMessageA(GetDlgItem(dialog, 1008), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(word.c_str()));
  return PumpUntil([&] { return WindowText(GetDlgItem(dialog, 1018)) != counter; });
}

}  // namespace tarn::test
