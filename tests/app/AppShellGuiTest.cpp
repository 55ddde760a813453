// The real hidden main window created in-process, its tray icon, and About.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/AboutDlg.h"
#include "app/BriskApp.h"
#include "app/TrayIcon.h"
#include "base/Cp932.h"
#include "base/DialogBase.h"
#include "res/SettingsDialogs.h"
#include "res/resource.h"
#include "search/FolderScan.h"
#include "search/FolderWatch.h"
#include "search/SrchApliBase.h"
#include "settings/EnvInfoStore.h"
#include "support/LauncherDrive.h"
#include "tarn_version.h"

using namespace tarn::test;
using Rows = std::vector<std::string>;

namespace {

bool HotKeyFree(UINT modifiers = MOD_ALT | MOD_CONTROL | MOD_SHIFT, UINT key = VK_F12) {
  return RegisterHotKey(nullptr, 77, modifiers, key) && UnregisterHotKey(nullptr, 77);
}

// What the shell says to a call about the program's icon.
bool Notify(HWND window, DWORD what) {
  NOTIFYICONDATAA probe = {};
  probe.cbSize = NOTIFYICONDATAA_V1_SIZE, probe.hWnd = window, probe.uID = IDM_TRAY;
  return Shell_NotifyIconA(what, &probe);
}

bool MutexExists() {
  HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "Tarn Launcher");
  return mutex && CloseHandle(mutex);
}

bool UnderWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

// A balloon of the notification area, as Wine's shell shows it: a tooltip
// window of its own process.
bool BalloonShown() {
  bool shown = false;
  EnumWindows([](HWND w, LPARAM found) {
    char cls[32] = {};
    DWORD pid = 0;
    GetClassNameA(w, cls, sizeof cls), GetWindowThreadProcessId(w, &pid);
    if (pid != GetCurrentProcessId() && IsWindowVisible(w) && std::string(cls) == TOOLTIPS_CLASSA)
      *reinterpret_cast<bool*>(found) = true;
    return TRUE;
  }, reinterpret_cast<LPARAM>(&shown));
  return shown;
}

class MainWindow : public AppTest {
 protected:
  MainWindow() {
    MakeDirs(dir / "files");
    for (const char* name : {"alpha.txt", "beta.txt", "gamma.txt"}) WriteFileBytes(dir / "files" + "\\" + name, "x");
    settings.SrchDirFlg = {.Any = true}, settings.AnyDirSubDir = false, settings.AnyDirs = {dir / "files;.txt"};
  }
  static bool WaitIdle() {
    return PumpUntil([] {
      CTrayIcon* tray = GetBriskApp() ? GetBriskApp()->GetTrayIcon() : nullptr;
      return tray && tray->GetBusy() == 0 && std::string(tray->GetTip()) == "Tarn Launcher";
    });
  }
};

TEST_F(MainWindow, StartsHiddenAndBusyThenTrayAndLauncherFollowTheCollection) {
  HWND window = Create();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(!IsWindowVisible(window) && MutexExists());
  CBriskApp* app = GetBriskApp();
  CTrayIcon* tray = app->GetTrayIcon();
  EXPECT_STREQ(tray->GetTip(), "リスト再取得(U)");  // busy until the first pass reports
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(app->GetCollector()->GetAllCount(), 3);
  HICON idle = tray->GetWantedIcon();
  SendMessageA(GetMainWindow(), WM_COLLECT_NOTIFY, 1, 0);
  EXPECT_TRUE(app->GetBusy() == 1 && std::string(tray->GetTip()) == "リスト再取得(U)" && tray->GetWantedIcon() != idle);
  // A launcher opened while busy has settings and refresh disabled; the
  // hotkey again only brings it forward, another id does nothing.
  PostMessageA(GetMainWindow(), WM_HOTKEY, 1, 0);
  ASSERT_TRUE(PumpUntil([] { return LauncherWindow() != nullptr; }));
  HWND launcher = LauncherWindow();
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(launcher, 4005)) || IsWindowEnabled(GetDlgItem(launcher, 4006)));
  PostMessageA(GetMainWindow(), WM_HOTKEY, 2, 0), PostMessageA(GetMainWindow(), WM_HOTKEY, 1, 0);
  PumpFor(100);
  EXPECT_EQ(LauncherWindow(), launcher);
  SendMessageA(GetMainWindow(), WM_COLLECT_NOTIFY, 0,
               reinterpret_cast<LPARAM>(new AppEntryList{{"alpha", dir / "files\\alpha.txt", 0}}));
  EXPECT_TRUE(tray->GetBusy() == 0 && std::string(tray->GetTip()) == "Tarn Launcher" && tray->GetWantedIcon() == idle);
  EXPECT_TRUE(app->GetCollector()->GetAllCount() == 1 && IsWindowEnabled(GetDlgItem(launcher, 4005)) &&
              IsWindowEnabled(GetDlgItem(launcher, 4006)));
  // The refresh command runs a new pass, which finds all three again.
  PostMessageA(GetMainWindow(), WM_COMMAND, 4006, 0);
  EXPECT_TRUE(PumpUntil([&] { return app->GetCollector()->GetAllCount() == 3; }) && WaitIdle());
}

TEST_F(MainWindow, FilesAddedRenamedAndRemovedReachAnOpenLauncher) {
  FolderWatchTimings = {200, 30000, 300, 120000};
  ASSERT_TRUE(Create() && WaitIdle());
  HWND launcher = OpenLauncher(GetMainWindow());
  ASSERT_NE(launcher, nullptr);
  const auto names = [&] {
    Rows out;
    for (const std::string& row : ListTexts(GetDlgItem(launcher, IDC_LAUNCHER_LIST))) {
      const std::string name = row.substr(0, row.find(".txt"));
      if (name.find_first_not_of("abeghlmptd") == std::string::npos) out.push_back(name);
    }
    return std::sort(out.begin(), out.end()), out;
  };
  const std::string files = dir / "files\\";
  const std::pair<std::function<bool()>, Rows> steps[] = {
      {[&] { return WriteFileBytes(files + "delta.txt", "x"), true; }, {"alpha", "beta", "delta", "gamma"}},
      {[&] { return MoveFileA((files + "delta.txt").c_str(), (files + "lambda.txt").c_str()) != 0; },
       {"alpha", "beta", "gamma", "lambda"}},
      {[&] { return DeleteFileA((files + "beta.txt").c_str()) != 0; }, {"alpha", "gamma", "lambda"}}};
  for (const auto& [act, rows] : steps) {
    PumpFor(400);
    ASSERT_TRUE(act());
    EXPECT_TRUE(PumpUntil([&] { return names() == rows; })) << rows.back();
  }
  FolderWatchTimings = {};
}

TEST_F(MainWindow, WithoutAPassTheTrayTurnsIdleOnceTheCacheIsIn) {
  settings = QuietSettings();
  for (bool cached : {false, true}) {
    ASSERT_NE(Create(cached ? Rows{dir / "files\\alpha.txt"} : Rows{}), nullptr);
    CSrchApliBase* collector = GetBriskApp()->GetCollector();
    EXPECT_TRUE(!collector->IsCollecting() && WaitIdle() && collector->GetAllCount() == (cached ? 1 : 0)) << cached;
    DestroyWindow(GetMainWindow());
  }
}

TEST_F(MainWindow, SettingsDialogAndAppliedSettingsDriveTheHotkeyAndTheRefreshTimer) {
  HWND window = Create();
  ASSERT_TRUE(window && WaitIdle());
  // Cancelled, all stays as it was; on OK the new key is saved and taken.
  for (int button : {IDCANCEL, IDOK}) {
    PostMessageA(window, WM_COMMAND, 4005, 0);
    HWND dialog = WaitForDialog("Tarn Launcher 環境設定");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(HotKeyFree() && !KillTimer(window, 3));
    SendDlgItemMessageA(dialog, 1001, HKM_SETHOTKEY, MAKEWORD(VK_F8, HOTKEYF_CONTROL | HOTKEYF_ALT), 0);
    PostMessageA(dialog, WM_COMMAND, button, 0);
    ASSERT_TRUE(PumpUntil([] { return !CEnvInfoStore().IsEnvDialogOpen(); }));
    PumpFor(200);
    EXPECT_TRUE(HotKeyFree() == (button == IDOK) && HotKeyFree(MOD_ALT | MOD_CONTROL, VK_F8) == (button == IDCANCEL));
    EXPECT_TRUE(KillTimer(window, 3));
    SetTimer(window, 3, 60000, nullptr);
  }
  EXPECT_EQ(SavedSettings().HotKey, (HotKeySetting{1, 1, 0, 0, VK_F8}));
  // A plain or Shift-only key of a hand-edited file would take that key from
  // every program: it is not registered, and no message comes.
  for (int shift : {0, 1}) {
    settings.HotKey = {0, 0, shift, 0, VK_F8};
    EXPECT_EQ(AnswerMessageBox("Tarn Launcher", [&] { Apply(), PumpFor(100); }), "");
    EXPECT_TRUE(HotKeyFree(shift ? MOD_SHIFT : 0, VK_F8)) << shift;
  }
  settings.HotKey = QuietSettings().HotKey;
  // A zero period is held to the shortest one, never a timer firing at once.
  for (auto [minutes, ticks] : {std::pair{360, true}, std::pair{20, false}, std::pair{0, false}}) {
    // The running period is about to end when a launch applies the settings.
    settings.UpdateTimer = minutes, SetTimer(window, 3, 200, nullptr), Apply();
    bool ticked = false;
    MSG msg;
    for (const DWORD start = GetTickCount(); !ticked && GetTickCount() - start < 1000; Sleep(10))
      ticked = PeekMessageA(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE) && msg.wParam == 3;
    EXPECT_EQ(ticked, ticks) << minutes;
  }
}

TEST_F(MainWindow, ChangedEnvironmentIsTakenAndAChangedPathCollected) {
  // An installer writes the user's variables, PATH entries quoted and
  // through a variable, then tells every window.
  const std::string quoted = dir / "new tools", more = dir / "more", pathBefore = tarn::GetEnvVar("PATH");
  MakeDirs(quoted), MakeDirs(more);
  WriteFileBytes(quoted + "\\qtool.exe", "MZ"), WriteFileBytes(more + "\\vtool.exe", "MZ");
  settings.SrchDirFlg = {.Path = true};
  HWND window = Create();
  ASSERT_TRUE(window && WaitIdle());
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Environment", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), 0);
  const std::string userPath = "\"" + quoted + "\";%TARN_MORE%";
  const struct { const char* name; DWORD type; std::string value; } vars[] = {
      {"TARN_MORE", REG_SZ, more}, {"TARN_SUB", REG_EXPAND_SZ, "%TARN_MORE%\\sub"}, {"Path", REG_SZ, userPath}};
  for (const auto& v : vars) RegSetValueExA(key, v.name, 0, v.type, reinterpret_cast<const BYTE*>(v.value.c_str()), v.value.size() + 1);
  char system[4096] = {};
  DWORD size = sizeof system;
  RegGetValueA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment", "PATH",
               RRF_RT_REG_SZ, nullptr, system, &size);
  const auto found = [](const char* word) {
    CSrchApliBase* store = GetBriskApp()->GetCollector();
    return store->Search(word) && store->GetMatchList().size() == 1;
  };
  EXPECT_FALSE(found("qtool") || found("vtool"));
  SendMessageA(window, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("Environment"));
  EXPECT_EQ(tarn::GetEnvVar("TARN_SUB"), more + "\\sub");
  EXPECT_EQ(tarn::GetEnvVar("PATH"), std::string(system) + ";" + userPath);
  EXPECT_TRUE(PumpUntil([&] { return found("qtool") && found("vtool"); }) && WaitIdle());
  // PATHEXT alone changed is collected again too.
  WriteFileBytes(more + "\\wtool.tarn", "MZ");
  RegSetValueExA(key, "PATHEXT", 0, REG_SZ, reinterpret_cast<const BYTE*>(".EXE;.TARN"), 11);
  SendMessageA(window, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("Environment"));
  EXPECT_TRUE(PumpUntil([&] { return found("wtool"); }) && WaitIdle());
  RegDeleteValueA(key, "PATHEXT");
  // Taken out again, they go.
  for (const auto& v : vars) RegDeleteValueA(key, v.name);
  RegCloseKey(key);
  SendMessageA(window, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("Environment"));
  EXPECT_TRUE(tarn::GetEnvVar("TARN_SUB").empty() && tarn::GetEnvVar("PATH") == system);
  EXPECT_TRUE(PumpUntil([&] { return !found("qtool"); }) && WaitIdle());
  SetEnvironmentVariableA("PATH", pathBefore.c_str());
}

TEST_F(MainWindow, UnreadableSettingsAreToldAndNeverOverwritten) {
  std::string before, after;
  PrepareProgramFolder(dir.Path(), settings, {});
  ASSERT_TRUE(ReadFileBytes(dir / "tlenv.ini", &before));
  // Another program holds the file for longer than the start-up waits.
  HANDLE lock = CreateFileA((dir / "tlenv.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  HWND window = nullptr;
  EXPECT_EQ(AnswerMessageBox("Tarn Launcher", [&] { window = Create(); }),
            "設定ファイル tlenv.ini を読み込めませんでした。\n今回の起動中は、設定と履歴を保存しません。");
  CloseHandle(lock);
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(CEnvInfoStore().SaveEnvInfo(&GetBriskApp()->GetSettings()));
  EXPECT_TRUE(ReadFileBytes(dir / "tlenv.ini", &after) && after == before);
}

TEST_F(MainWindow, AFolderThatCannotBeWrittenIsToldOncePerRun) {
  // Folders in the way of both temporary files: every save fails there.
  PrepareProgramFolder(dir.Path(), settings, {});
  MakeDirs(dir / "tlenv.tmp"), MakeDirs(dir / "apppaths.tmp");
  const std::string told = "次のフォルダにファイルを保存できませんでした。\n" + dir.Path() + "\\\n\n";
  // The first failure of a run is told, the cache's or the settings', and no later one.
  for (bool cacheFails : {true, false}) {
    if (!cacheFails) RemoveDirectoryA((dir / "apppaths.tmp").c_str());
    HWND window = nullptr;
    const std::string atStart = AnswerMessageBox("Tarn Launcher", [&] { window = Start(), WaitIdle(), PumpFor(200); });
    const std::string onApply = AnswerMessageBox("Tarn Launcher", [&] { Apply(), PumpFor(200); });
    EXPECT_TRUE((cacheFails ? atStart : onApply).starts_with(told)) << atStart << onApply;
    EXPECT_TRUE((cacheFails ? onApply : atStart).empty()) << atStart << onApply;
    EXPECT_EQ(AnswerMessageBox("Tarn Launcher", [&] { Apply(), GetBriskApp()->Refresh(), WaitIdle(), PumpFor(200); }), "");
    EXPECT_TRUE(IsWindow(window) && GetBriskApp()->GetCollector()->GetAllCount() == 3);  // running on
    DestroyWindow(window);
  }
}

TEST_F(MainWindow, FirstStartShowsWhereTheIconIsOnceAndKeepsTheSettings) {
  // Settings of an older file: a first start, without a pass over the whole prefix.
  settings = QuietSettings();
  PrepareProgramFolder(dir.Path(), settings, {});
  ASSERT_TRUE(MoveFileA((dir / "tlenv.ini").c_str(), (dir / "tlenv.txt").c_str()));
  for (bool first : {true, false}) {
    ASSERT_NE(Start(), nullptr);
    // Windows shows it as a notification of its own; Wine's shell as a tooltip, after two seconds.
    EXPECT_TRUE(!UnderWine() || PumpUntil(BalloonShown, 5000) == first) << first;
    EXPECT_TRUE(FileExists(dir / "tlenv.ini") && SavedSettings() == settings);
    DestroyWindow(GetMainWindow());
    EXPECT_TRUE(!UnderWine() || PumpUntil([] { return !BalloonShown(); }, 3000));
  }
}

TEST_F(MainWindow, ExitAskedOnceDeclinedThenConfirmedTearsDown) {
  HWND window = Create();
  ASSERT_TRUE(window && WaitIdle());
  ASSERT_TRUE(GetBriskApp()->ShowLauncher());
  HWND launcher = LauncherWindow();
  std::string asked;
  LRESULT askedAgain = -1;
  // The launcher's exit button asks through the main window; asked again meanwhile, nothing.
  WhenDialogShows("Tarn Launcher 終了確認", [&](HWND box) {
    asked = MessageBoxText(box), askedAgain = SendMessageA(window, WM_CLOSE, 0, 0);
    PostMessageA(box, WM_COMMAND, IDNO, 0);
  });
  SendDlgItemMessageA(launcher, 4004, BM_CLICK, 0, 0);
  ASSERT_TRUE(PumpUntil([&] { return !asked.empty(); }));
  PumpFor(100);
  EXPECT_TRUE(asked == "Tarn Launcher を終了しますか？" && askedAgain == 0);
  EXPECT_TRUE(IsWindow(window) && IsWindow(launcher) && !HotKeyFree());
  // Exit chosen while a message box is up (the key now taken) is asked once it is gone.
  UnregisterHotKey(window, 1);
  ASSERT_TRUE(RegisterHotKey(nullptr, 78, MOD_ALT | MOD_CONTROL | MOD_SHIFT, VK_F12));
  bool confirmed = false;
  WhenDialogShows("Tarn Launcher", [&](HWND box) {
    WhenDialogShows("Tarn Launcher 終了確認", [&](HWND q) { confirmed = true, PostMessageA(q, WM_COMMAND, IDYES, 0); });
    PostMessageA(window, WM_COMMAND, IDC_EXIT, 0), PumpFor(500), PostMessageA(box, WM_COMMAND, IDOK, 0);
  });
  GetBriskApp()->ApplySettings(0), UnregisterHotKey(nullptr, 78);
  EXPECT_TRUE(GetBriskApp() && !confirmed);
  // The program's own loop ends with the quit code 0 (99: it never did).
  SetTimer(nullptr, 0, 15000, [](HWND, UINT, UINT_PTR t, DWORD) { KillTimer(nullptr, t), PostQuitMessage(99); });
  EXPECT_EQ(RunMessageLoop(), 0);
  EXPECT_FALSE(IsWindow(window) || IsWindow(launcher) || GetBriskApp() || GetMainWindow() || FindMainWindow());
  EXPECT_TRUE(confirmed && HotKeyFree() && !MutexExists());
}

// Menu item states seen while the popup is tracked, then the menu closed.
std::vector<UINT> g_States;
void CALLBACK InspectMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  HWND popup = FindWindowA("#32768", nullptr);
  auto menu = reinterpret_cast<HMENU>(popup ? SendMessageA(popup, 0x01E1 /* MN_GETHMENU */, 0, 0) : 0);
  for (UINT id : {IDC_REFRESH, IDC_SETTINGS, IDC_ABOUT}) g_States.push_back(GetMenuState(menu, id, MF_BYCOMMAND));
  EndMenu();
}

TEST_F(MainWindow, TrayIconMenuClicksTipAndTaskBarRestart) {
  HWND window = Create();
  ASSERT_TRUE(window && WaitIdle());
  CTrayIcon* tray = GetBriskApp()->GetTrayIcon();
  const auto tell = [&](LPARAM what) { SendMessageA(window, WM_TRAY_NOTIFY, IDM_TRAY, what); };
  // Busy: refresh and settings greyed; About is the default item.
  for (int busy : {1, 0}) {
    tray->SetBusy(busy), g_States.clear(), SetTimer(nullptr, 0, 200, InspectMenu), tell(WM_RBUTTONUP);
    EXPECT_EQ(g_States, (std::vector<UINT>{busy ? MF_GRAYED : 0u, busy ? MF_GRAYED : 0u, MFS_DEFAULT})) << busy;
  }
  // A click shows the launcher, a double click About; a disabled icon passes nothing on.
  for (BYTE enabled : {0, 1}) {
    tray->SetEnabled(enabled), tell(WM_LBUTTONDOWN), tell(WM_LBUTTONDBLCLK);
    EXPECT_EQ(PumpUntil([] { return LauncherWindow() && CAboutDlg::OpenWindow(); }, 500), enabled == 1);
  }
  SendMessageA(CAboutDlg::OpenWindow(), WM_CLOSE, 0, 0);
  // A tip too long for the record is cut on a character; no tip keeps the last one.
  std::string kana;
  for (std::size_t i = 0; i < CTrayIcon::kTipBytes; ++i) kana += "\x82\xA0";
  tray->UpdateIcon(tray->GetWantedIcon(), kana.c_str()), tray->UpdateIcon(tray->GetWantedIcon(), nullptr);
  EXPECT_EQ(std::string(tray->GetTip()).size(), CTrayIcon::kTipBytes - 2);
  // Forgotten by a restarted task bar, kept without; never back once removed on purpose.
  const UINT created = RegisterWindowMessageA("TaskbarCreated");
  for (bool forget : {true, false}) {
    ASSERT_TRUE(!forget || Notify(window, NIM_DELETE));
    SendMessageA(window, created, 0, 0);
    EXPECT_TRUE(tray->IsShown() && Notify(window, NIM_MODIFY)) << forget;
  }
  tray->UpdateIcon(nullptr, nullptr), SendMessageA(window, created, 0, 0);
  EXPECT_FALSE(tray->IsShown() || Notify(window, NIM_MODIFY));
}

TEST(AboutDlg, TypesByCharactersAndClosesWithoutFreezing) {
  const auto typed = [] { return WindowText(GetDlgItem(CAboutDlg::OpenWindow(), IDC_ABOUT_TYPED), 100); };
  const auto click = [] { SendDlgItemMessageA(CAboutDlg::OpenWindow(), IDC_ABOUT_PICTURE, BM_CLICK, 0, 0); };
  // Shown once however often asked; closed while typing, the next one starts empty.
  CAboutDlg::Show(GetModuleHandleA(nullptr));
  HWND dlg = CAboutDlg::OpenWindow();
  ASSERT_EQ((CAboutDlg::Show(GetModuleHandleA(nullptr)), CAboutDlg::OpenWindow()), dlg);
  EXPECT_NE(WindowText(GetDlgItem(dlg, IDC_ABOUT_TITLE)).find("\nVersion " TARN_VERSION_STRING), std::string::npos);
  click(), PumpUntil([&] { return typed().size() > 4; }), SendMessageA(dlg, WM_CLOSE, 0, 0);
  EXPECT_TRUE(PumpUntil([] { return CAboutDlg::OpenWindow() == nullptr; }));
  CAboutDlg::Show(GetModuleHandleA(nullptr));
  ASSERT_NE(dlg = CAboutDlg::OpenWindow(), nullptr);
  EXPECT_EQ(typed(), "");
  click();
  std::string seen;
  DWORD last = GetTickCount(), longestGap = 0, whole = 0;
  while (IsWindow(dlg) && GetTickCount() - last < 5000) {
    PumpFor(20);
    const DWORD now = GetTickCount();
    longestGap = std::max(longestGap, now - last), last = now;
    if (!IsWindow(dlg) || typed() == seen) continue;
    // Each step adds one whole character (or one line break) to the last.
    const std::string text = typed(), added = text.substr(std::min(seen.size(), text.size()));
    EXPECT_TRUE(text.starts_with(seen) && tarn::CharCount(added) == (added == "\r\n" ? 2u : 1u)) << text;
    seen = text, whole = now;
  }
  EXPECT_TRUE(!IsWindow(dlg) && tarn::CharCount(seen) > 10u);
  // It stayed two seconds after the last character, its thread answering meanwhile.
  EXPECT_TRUE(last - whole >= 1900u && longestGap < 1000u) << last - whole << " " << longestGap;
}

}  // namespace

