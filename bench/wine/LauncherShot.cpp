// Helper of scripts/screenshot, run in a Wine prefix of its own:
//   tarn_launcher_shot prepare <program folder>   sample candidates under
//                                                 C:\Tools and the program's
//                                                 settings and cache
//   tarn_launcher_shot <target> [args]            starts the program beside
//                                                 this one, shows the target
//                                                 and writes shown.txt with
//                                                 its result (0 = shown)
//   tarn_launcher_shot exit                       ends the program
// A target is a function below and a row of kTargets.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "settings/EnvInfoStore.h"
#include "support/LauncherDrive.h"
#include "support/TestSupport.h"

namespace {

const char kSamples[] = "C:\\Tools";

bool MakeShortcut(const std::string& link, const std::string& target) {
  IShellLinkA* shellLink = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&shellLink))))
    return false;
  shellLink->SetPath(target.c_str());
  IPersistFile* file = nullptr;
  bool saved = false;
  if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
    saved = SUCCEEDED(file->Save(wide, TRUE));
    file->Release();
  }
  shellLink->Release();
  return saved;
}

int Prepare(const std::string& dir) {
  // Shortcuts to programs every Wine prefix has, so the rows show real icons.
  const struct {
    const char* name;
    const char* target;
  } shortcuts[] = {
      {"メモ帳", "C:\\windows\\notepad.exe"},
      {"ワードパッド", "C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe"},
      {"メディア プレーヤー", "C:\\Program Files\\Windows Media Player\\wmplayer.exe"},
      {"コマンド プロンプト", "C:\\windows\\system32\\cmd.exe"},
      {"エクスプローラー", "C:\\windows\\explorer.exe"},
      {"タスク マネージャー", "C:\\windows\\system32\\taskmgr.exe"},
      {"マインスイーパー", "C:\\windows\\system32\\winemine.exe"},
      {"レジストリ エディター", "C:\\windows\\regedit.exe"},
  };
  const char* documents[] = {"メモ.txt", "会議メモ.txt", "予定表.txt"};
  std::vector<std::string> paths;
  tarn::test::MakeDirs(std::string(kSamples) + "\\文書");
  if (FAILED(CoInitialize(nullptr))) return 2;
  for (const auto& s : shortcuts) {
    std::string path = std::string(kSamples) + "\\" + s.name + ".lnk";
    if (!MakeShortcut(path, s.target)) return 3;
    paths.push_back(path);
  }
  CoUninitialize();
  for (const char* name : documents) {
    std::string path = std::string(kSamples) + "\\文書\\" + name;
    tarn::test::WriteFileBytes(path, "x");
    paths.push_back(path);
  }
  EnvDlgInfo settings = tarn::test::QuietSettings();
  settings.ExecList = {"メモ", "エクスプローラー"};
  settings.TopDirs = {paths[0]};
  tarn::test::MakeDirs(dir);
  tarn::test::PrepareProgramFolder(dir, settings, paths);
  return 0;
}

// The pointer goes to the desktop's corner, where no tooltip opens, and the
// window gets time to paint.
void Settle() {
  SetCursorPos(0, 0);
  tarn::test::PumpFor(500);
}

// Starts TarnLauncher.exe from this program's folder unless it runs, and
// waits for its main window. Starting it from here keeps it in the same
// Wine desktop without a second desktop start racing this one.
HWND FindProgram() {
  if (!tarn::test::FindMainWindow()) {
    std::string commandLine = "\"" + tarn::test::ExeDir() + "TarnLauncher.exe\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
      return nullptr;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  HWND main = nullptr;
  tarn::test::PumpUntil([&] { return (main = tarn::test::FindMainWindow()) != nullptr; }, 30000);
  return main;
}

// The launcher dialog with an optional word typed into it.
int Launcher(const std::vector<std::string>& args) {
  HWND main = FindProgram();
  if (!main) return 2;
  HWND dialog = tarn::test::OpenLauncher(main);
  if (!dialog) return 3;
  if (!args.empty() && !args[0].empty() && !tarn::test::SearchInLauncher(dialog, args[0])) return 4;
  Settle();
  return 0;
}

// Posts a command to a window and waits until the dialog with the caption
// shows its controls.
bool ShowDialog(HWND window, int command, const char* caption) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(command), 0);
  HWND dialog = tarn::test::WaitForDialog(caption, 10000, pid);
  return dialog && tarn::test::PumpUntil([&] { return IsWindowVisible(dialog) && GetDlgItem(dialog, IDOK); });
}

// The settings dialog, over settings as a user might have them: every
// source, folders of their own and a web search first among the static
// items.
int Settings(const std::vector<std::string>&) {
  if (!tarn::test::FindMainWindow()) {
    CEnvInfoStore store(tarn::test::ExeDir());
    EnvDlgInfo settings;
    store.GetEnvInfo(&settings);
    EnvDlgInfo defaults;
    ApplyLoadDefaults(defaults);
    settings.SrchDirFlg = defaults.SrchDirFlg;
    settings.SrchDirFlg.Any = true;
    settings.AnyDirs = {std::string(kSamples) + ";.lnk", std::string(kSamples) + "\\文書"};
    settings.StaticItems.insert(settings.StaticItems.begin(),
                                {"Google", "https://www.google.co.jp/search?hl=ja&ie=UTF-8&q=%1", true, true});
    store.SaveEnvInfo(&settings);
  }
  HWND main = FindProgram();
  if (!main || !ShowDialog(main, 4005, "Tarn Launcher 環境設定")) return 2;
  Settle();
  return 0;
}

// The static item dialog over the settings dialog, showing its first item.
int StaticItem(const std::vector<std::string>& args) {
  if (int result = Settings(args)) return result;
  HWND settings = tarn::test::FindDialogByCaption("Tarn Launcher 環境設定");
  if (!settings || !ShowDialog(settings, 1020, "固定候補設定")) return 3;
  Settle();
  return 0;
}

const struct {
  const char* name;
  int (*show)(const std::vector<std::string>& args);
} kTargets[] = {
    {"launcher", Launcher},
    {"settings", Settings},
    {"static-item", StaticItem},
};

int Exit() {
  HWND main = tarn::test::FindMainWindow();
  if (!main) return 2;
  DWORD pid = 0;
  GetWindowThreadProcessId(main, &pid);
  PostMessageA(main, WM_COMMAND, 4004, 0);
  HWND confirm = tarn::test::WaitForDialog("Tarn Launcher 終了確認", 10000, pid);
  if (!confirm) return 3;
  PostMessageA(confirm, WM_COMMAND, IDYES, 0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "prepare" && argc > 2) return Prepare(argv[2]);
  if (command == "exit") return Exit();
  for (const auto& target : kTargets) {
    if (command != target.name) continue;
    const int result = target.show(std::vector<std::string>(argv + 2, argv + argc));
    // The script waits for this file: the Wine desktop this runs in may
    // keep the starting command from returning.
    tarn::test::WriteFileBytes(tarn::test::ExeDir() + "shown.txt", std::to_string(result));
    return result;
  }
  std::fprintf(stderr, "usage: tarn_launcher_shot prepare <folder> | exit | <target> [args]\ntargets:");
  for (const auto& target : kTargets) std::fprintf(stderr, " %s", target.name);
  std::fprintf(stderr, "\n");
  return 1;
}
