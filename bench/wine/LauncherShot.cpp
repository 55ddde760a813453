// Helper of scripts/screenshot: prepares a program folder with Japanese
// candidates, opens the launcher of the running program with a word typed
// (or the settings dialog, and the static item dialog over it), and ends
// the program again.
//   tarn_launcher_shot prepare [dialogs]   (the folder of this program)
//   tarn_launcher_shot open <word>
//   tarn_launcher_shot settings
//   tarn_launcher_shot static-item
//   tarn_launcher_shot exit
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/LauncherDrive.h"
#include "support/TestSupport.h"

namespace {

// Settings as a user might have them: every source, two folders of their
// own (neutral paths; they need not exist to be shown) and a web search.
EnvDlgInfo DialogSettings() {
  EnvDlgInfo settings;
  ApplyLoadDefaults(settings);
  settings.SrchDirFlg.Any = true;
  settings.AnyDirs = {"C:\\ツール;.exe;.lnk", "D:\\ゲーム"};
  settings.StaticItems = {{"Google", "https://www.google.co.jp/search?hl=ja&ie=UTF-8&q=%1", true, true},
                          {"ファイル名を指定して実行", "%1", false, false}};
  settings.DefaultSearchMode = '*';
  return settings;
}

int Prepare(const std::string& dir, bool dialogs) {
  const char* names[] = {"メモ帳.txt",     "表計算ソフト.lnk", "画像ビューア.lnk", "メール.lnk",
                         "メディアプレーヤー.lnk", "ターミナル.lnk", "メモリ診断.lnk"};
  std::vector<std::string> paths;
  tarn::test::MakeDirs(dir + "\\samples");
  for (const char* name : names) {
    std::string path = dir + "\\samples\\" + name;
    tarn::test::WriteFileBytes(path, "x");
    paths.push_back(path);
  }
  EnvDlgInfo settings = dialogs ? DialogSettings() : tarn::test::QuietSettings();
  settings.ExecList = {"メモ", "ターミナル"};
  tarn::test::PrepareProgramFolder(dir, settings, paths);
  return 0;
}

int Open(const std::string& word) {
  HWND main = nullptr;
  tarn::test::PumpUntil([&] { return (main = tarn::test::FindMainWindow()) != nullptr; }, 30000);
  if (!main) return 2;
  HWND dialog = tarn::test::OpenLauncher(main);
  if (!dialog) return 3;
  if (!word.empty() && !tarn::test::SearchInLauncher(dialog, word)) return 4;
  tarn::test::PumpFor(500);
  return 0;
}

// Posts command to the window and waits for a dialog with caption.
int Command(HWND window, int command, const char* caption) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(command), 0);
  HWND dialog = tarn::test::WaitForDialog(caption, 10000, pid);
  if (!dialog) return 3;
  tarn::test::PumpFor(500);
  return 0;
}

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
  std::string command = argc > 1 ? argv[1] : "";
  if (command == "prepare") {
    std::string dir = tarn::test::ExeDir();
    return Prepare(dir.substr(0, dir.size() - 1), argc > 2 && std::string(argv[2]) == "dialogs");
  }
  if (command == "open") return Open(argc > 2 ? argv[2] : "");
  HWND main = tarn::test::FindMainWindow();
  if (command == "settings") return main ? Command(main, 4005, "Tarn Launcher 環境設定") : 2;
  if (command == "static-item") {
    // The first static item is selected when the dialog opens: 更新 shows it.
    HWND settings = tarn::test::FindDialogByCaption("Tarn Launcher 環境設定");
    return settings ? Command(settings, 1020, "固定候補設定") : 2;
  }
  if (command == "exit") return Exit();
  std::fprintf(stderr, "usage: tarn_launcher_shot prepare [dialogs] | open [word] | settings | static-item | exit\n");
  return 1;
}
