// The real hidden main window, created in-process through the same entry
// code as the program, collecting a test folder.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "app/BriskApp.h"
#include "launcher/AppListView.h"
#include "search/SrchApliBase.h"
#include "settings/EnvInfoStore.h"
#include "support/LauncherDrive.h"

using namespace tarn::test;

namespace {

// The tests' key is Ctrl+Alt+Shift+F12.
bool HotKeyFree(UINT modifiers = MOD_ALT | MOD_CONTROL | MOD_SHIFT, UINT key = VK_F12) {
  if (!RegisterHotKey(nullptr, 77, modifiers, key)) return false;
  UnregisterHotKey(nullptr, 77);
  return true;
}

bool MutexExists() {
  HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "Tarn Launcher");
  if (mutex) CloseHandle(mutex);
  return mutex != nullptr;
}

class MainWindow : public AppTest {
 protected:
  MainWindow() {
    MakeDirs(dir / "files");
    for (const char* name : {"alpha.txt", "beta.txt", "gamma.txt"}) WriteFileBytes(dir / "files" + "\\" + name, "x");
    settings.SrchDirFlg = {};
    settings.SrchDirFlg.Any = true;
    settings.AnyDirSubDir = false;
    settings.AnyDirs = {dir / "files;.txt"};
  }
  static bool WaitIdle() {
    return PumpUntil([] {
      CTrayIcon* tray = GetBriskApp() ? GetBriskApp()->GetTrayIcon() : nullptr;
      return tray && tray->GetBusy() == 0 && std::string(tray->GetTip()) == "Tarn Launcher";
    });
  }
  // Answers the next message box with the caption from inside its loop.
  static void Answer(const std::string& caption, int button, std::string* text) {
    WhenDialogShows(caption, [=](HWND box) {
      *text = MessageBoxText(box);
      PostMessageA(box, WM_COMMAND, button, 0);
    });
  }
};

TEST_F(MainWindow, StartsHiddenAndBusyThenTrayAndLauncherFollowTheCollection) {
  HWND window = Create();
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_TRUE(MutexExists());
  CBriskApp* app = GetBriskApp();
  CTrayIcon* tray = app->GetTrayIcon();
  // Before the first pass has reported, the tray shows the busy look.
  EXPECT_STREQ(tray->GetTip(), "リスト再取得(U)");
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(app->GetCollector()->GetAllCount(), 3);
  HICON idle = tray->GetWantedIcon();
  SendMessageA(GetMainWindow(), WM_COLLECT_NOTIFY, 1, 0);
  EXPECT_EQ(app->GetBusy(), 1);
  EXPECT_STREQ(tray->GetTip(), "リスト再取得(U)");
  EXPECT_NE(tray->GetWantedIcon(), idle);

  // A launcher opened while busy starts with settings and refresh disabled;
  // the hotkey again only brings it forward, another id does nothing.
  PostMessageA(GetMainWindow(), WM_HOTKEY, 1, 0);
  ASSERT_TRUE(PumpUntil([] { return LauncherWindow() != nullptr; }));
  HWND launcher = LauncherWindow();
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(launcher, 4005)) || IsWindowEnabled(GetDlgItem(launcher, 4006)));
  PostMessageA(GetMainWindow(), WM_HOTKEY, 2, 0);
  PostMessageA(GetMainWindow(), WM_HOTKEY, 1, 0);
  PumpFor(100);
  EXPECT_EQ(LauncherWindow(), launcher);

  auto* records = new AppEntryList{{"alpha", dir / "files\\alpha.txt", 0}};
  SendMessageA(GetMainWindow(), WM_COLLECT_NOTIFY, 0, reinterpret_cast<LPARAM>(records));
  EXPECT_EQ(tray->GetBusy(), 0);
  EXPECT_STREQ(tray->GetTip(), "Tarn Launcher");
  EXPECT_EQ(tray->GetWantedIcon(), idle);
  EXPECT_EQ(app->GetCollector()->GetAllCount(), 1);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(launcher, 4005)) && IsWindowEnabled(GetDlgItem(launcher, 4006)));

  // The refresh command runs a new pass, which finds all three again.
  PostMessageA(GetMainWindow(), WM_COMMAND, 4006, 0);
  ASSERT_TRUE(PumpUntil([&] { return app->GetCollector()->GetAllCount() == 3; }));
  EXPECT_TRUE(WaitIdle());
}

TEST_F(MainWindow, AppliedSettingsRestartTheRefreshPeriodOnlyWhenItChanged) {
  HWND window = Create();
  ASSERT_TRUE(window && WaitIdle());
  // A zero period is held to the shortest one, never a timer firing at once.
  for (auto [minutes, ticks] : {std::pair{360, true}, std::pair{20, false}, std::pair{0, false}}) {
    settings.UpdateTimer = minutes;
    // The running period is about to end when a launch applies the settings.
    SetTimer(window, 3, 200, nullptr);
    Apply();
    bool ticked = false;
    MSG msg;
    for (const DWORD start = GetTickCount(); !ticked && GetTickCount() - start < 1000; Sleep(10))
      ticked = PeekMessageA(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE) && msg.wParam == 3;
    EXPECT_EQ(ticked, ticks) << minutes;
  }
}

TEST_F(MainWindow, UnreadableSettingsAreToldAndNeverOverwritten) {
  std::string before, after, told;
  PrepareProgramFolder(dir.Path(), settings, {});
  ASSERT_TRUE(ReadFileBytes(dir / "tlenv.ini", &before));
  // Another program holds the file for longer than the start-up waits.
  HANDLE lock = CreateFileA((dir / "tlenv.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  Answer("Tarn Launcher", IDOK, &told);
  HWND window = Create();
  CloseHandle(lock);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(told, "設定ファイル tlenv.ini を読み込めませんでした。\n今回の起動中は、設定と履歴を保存しません。");
  EXPECT_FALSE(CEnvInfoStore().SaveEnvInfo(&GetBriskApp()->GetSettings()));
  ASSERT_TRUE(ReadFileBytes(dir / "tlenv.ini", &after));
  EXPECT_EQ(after, before);
}

TEST_F(MainWindow, SettingsDialogTurnsHotkeyAndTimerOffUntilItEnds) {
  HWND window = Create();
  ASSERT_TRUE(window && WaitIdle());
  // Cancelled, all stays as it was; on OK the new key is saved and taken.
  for (int button : {IDCANCEL, IDOK}) {
    PostMessageA(window, WM_COMMAND, 4005, 0);
    HWND dialog = WaitForDialog("Tarn Launcher 環境設定");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(HotKeyFree());
    EXPECT_FALSE(KillTimer(window, 3));
    SendDlgItemMessageA(dialog, 1001, HKM_SETHOTKEY, MAKEWORD(VK_F8, HOTKEYF_CONTROL | HOTKEYF_ALT), 0);
    PostMessageA(dialog, WM_COMMAND, button, 0);
    ASSERT_TRUE(PumpUntil([] { return !CEnvInfoStore().IsEnvDialogOpen(); }));
    PumpFor(200);
    EXPECT_EQ(HotKeyFree(), button == IDOK);
    EXPECT_EQ(HotKeyFree(MOD_ALT | MOD_CONTROL, VK_F8), button == IDCANCEL);
    EXPECT_TRUE(KillTimer(window, 3));
    SetTimer(window, 3, 60000, nullptr);
  }
  EXPECT_EQ(SavedSettings().HotKey, (HotKeySetting{1, 1, 0, 0, VK_F8}));
}

TEST_F(MainWindow, ExitAskedOnceDeclinedThenConfirmedTearsDown) {
  HWND window = Create();
  ASSERT_TRUE(window && WaitIdle());
  ASSERT_TRUE(GetBriskApp()->ShowLauncher());
  HWND launcher = LauncherWindow();
  std::string asked;
  LRESULT askedAgain = -1;
  // The launcher's exit button asks through the main window; asking again
  // while the question is open does nothing.
  WhenDialogShows("Tarn Launcher 終了確認", [&](HWND box) {
    asked = MessageBoxText(box);
    askedAgain = SendMessageA(window, WM_CLOSE, 0, 0);
    PostMessageA(box, WM_COMMAND, IDNO, 0);
  });
  SendDlgItemMessageA(launcher, 4004, BM_CLICK, 0, 0);
  ASSERT_TRUE(PumpUntil([&] { return !asked.empty(); }));
  PumpFor(100);
  EXPECT_EQ(asked, "Tarn Launcher を終了しますか？");
  EXPECT_EQ(askedAgain, 0);
  EXPECT_TRUE(IsWindow(window) && IsWindow(launcher));
  EXPECT_FALSE(HotKeyFree());

  Answer("Tarn Launcher 終了確認", IDYES, &asked);
  PostMessageA(window, WM_COMMAND, 4004, 0);
  // The program's own loop ends with the quit code 0 (99: it never did).
  SetTimer(nullptr, 0, 15000, [](HWND, UINT, UINT_PTR t, DWORD) {
    KillTimer(nullptr, t);
    PostQuitMessage(99);
  });
  EXPECT_EQ(RunMessageLoop(), 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(IsWindow(launcher));
  EXPECT_EQ(GetBriskApp(), nullptr);
  EXPECT_EQ(GetMainWindow(), nullptr);
  EXPECT_TRUE(HotKeyFree());
  EXPECT_EQ(FindWindowA("Tarn_Launcher", nullptr), nullptr);
  EXPECT_FALSE(MutexExists());
}

}  // namespace
