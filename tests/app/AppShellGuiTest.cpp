// The real hidden main window, created in-process through the same entry
// code as the program, with a test folder for its files.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/BriskApp.h"
#include "launcher/AppListView.h"
#include "res/resource.h"
#include "search/SrchApliBase.h"
#include "settings/EnvInfoStore.h"
#include "support/LauncherDrive.h"
#include "support/TestSupport.h"

using tarn::test::TempDir;

namespace {

// A hotkey nobody else is likely to hold.
constexpr HotKeySetting kTestKey = {1, 1, 1, 0, VK_F12};
constexpr UINT kTestMods = MOD_ALT | MOD_CONTROL | MOD_SHIFT;

int g_LauncherCreated = 0;
HWND g_Launcher = nullptr;

// Stands in for the launcher dialog: a window with the search box and the
// settings and refresh buttons, the search box carrying the app property.
HWND MakeLauncher(CLauncherHost*) {
  ++g_LauncherCreated;
  HINSTANCE inst = GetModuleHandleA(nullptr);
  g_Launcher = CreateWindowExA(0, "STATIC", "launcher", WS_OVERLAPPED, 0, 0, 300, 100, nullptr, nullptr,
                               inst, nullptr);
  HWND box = CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 100, 20, g_Launcher,
                             reinterpret_cast<HMENU>(1008), inst, nullptr);
  CreateWindowExA(0, "BUTTON", "", WS_CHILD, 0, 30, 20, 20, g_Launcher, reinterpret_cast<HMENU>(4005),
                  inst, nullptr);
  CreateWindowExA(0, "BUTTON", "", WS_CHILD, 30, 30, 20, 20, g_Launcher, reinterpret_cast<HMENU>(4006),
                  inst, nullptr);
  SetPropA(box, "CBriskApp", GetBriskApp());
  return g_Launcher;
}

bool HotKeyFree() {
  if (!RegisterHotKey(nullptr, 77, kTestMods, VK_F12)) return false;
  UnregisterHotKey(nullptr, 77);
  return true;
}

// Answers the exit confirmation from inside its own modal loop.
int g_Answer = IDYES;
int g_BoxesSeen = 0;
LRESULT g_SecondClose = -1;
void CALLBACK AnswerExit(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = tarn::test::FindDialogByCaption(GetProductName() + " 終了確認");
  if (!box) return;
  KillTimer(nullptr, timer);
  ++g_BoxesSeen;
  EXPECT_EQ(tarn::test::MessageBoxText(box), GetProductName() + " を終了しますか？");
  // Asking again while the box is open does nothing.
  g_SecondClose = SendMessageA(GetMainWindow(), WM_CLOSE, 0, 0);
  PostMessageA(box, WM_COMMAND, g_Answer, 0);
}

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    tarn::test::MakeDirs(dir / "files");
    for (const char* name : {"alpha.txt", "beta.txt", "gamma.txt"})
      tarn::test::WriteFileBytes(dir / ("files\\" + std::string(name)), "x");
    CEnvInfoStore::SetDefaultDirectory(dir.Path() + "\\");
    EnvDlgInfo info;
    ApplyLoadDefaults(info);
    info.HotKey = kTestKey;
    info.SrchDirFlg = {};
    info.SrchDirFlg.Any = true;
    info.AnyDirSubDir = false;
    info.AnyDirs = {dir / "files;.txt"};
    info.DefaultSearchMode = defaultSearchMode;
    CEnvInfoStore().SaveEnvInfo(&info);
    SetLauncherFactory(&MakeLauncher);
    g_LauncherCreated = 0;
    g_Launcher = nullptr;
  }
  void TearDown() override {
    // A pass whose result is still on its way would be lost with the window
    // and keep the next test's pass from starting.
    if (CBriskApp* app = GetBriskApp())
      tarn::test::PumpUntil([app] { return !app->GetCollector()->IsCollecting(); });
    if (GetMainWindow()) DestroyWindow(GetMainWindow());
    SetLauncherFactory(nullptr);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }
  HWND Create() {
    HWND window = CreateMainWindow(GetModuleHandleA(nullptr), dir.Path() + "\\");
    return window;
  }
  bool WaitIdle() {
    return tarn::test::PumpUntil([] {
      CBriskApp* app = GetBriskApp();
      return app && app->GetTrayIcon()->GetBusy() == 0 &&
             std::string(app->GetTrayIcon()->GetTip()) == "Tarn Launcher";
    });
  }

  TempDir dir;
  int32_t defaultSearchMode = 0;
};

}  // namespace

TEST_F(MainWindow, StartsHiddenWithMutexHotkeyTimerAndBusyTray) {
  HWND window = Create();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(FindWindowA("Tarn_Launcher", "Tarn_Launcher"), window);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(GetMainWindow(), window);
  HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "Tarn Launcher");
  EXPECT_NE(mutex, nullptr);
  if (mutex) CloseHandle(mutex);

  CBriskApp* app = GetBriskApp();
  ASSERT_NE(app, nullptr);
  EXPECT_EQ(app->GetAppInfo()->ProductName, "Tarn Launcher");
  // Before the first pass has reported, the tray shows the busy look.
  CTrayIcon* tray = app->GetTrayIcon();
  EXPECT_NE(tray->GetWantedIcon(), nullptr);
  EXPECT_STREQ(tray->GetTip(), "リスト再取得(U)");
  EXPECT_FALSE(HotKeyFree());  // ours
  EXPECT_GE(GetKeyboardDelay(), 300u);
  EXPECT_LE(GetKeyboardDelay(), 1050u);

  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(app->GetCollector()->GetAllCount(), 3);
  // The refresh timer runs (killing it answers whether it existed).
  EXPECT_TRUE(KillTimer(window, 3));
  app->EnableTimer(true);
}

TEST_F(MainWindow, TrayLookAndMenuFollowTheCollection) {
  ASSERT_NE(Create(), nullptr);
  ASSERT_TRUE(WaitIdle());
  CBriskApp* app = GetBriskApp();
  CTrayIcon* tray = app->GetTrayIcon();
  HICON idle = tray->GetWantedIcon();

  SendMessageA(GetMainWindow(), WM_COLLECT_NOTIFY, 1, 0);
  EXPECT_EQ(tray->GetBusy(), 1);
  EXPECT_EQ(app->GetBusy(), 1);
  EXPECT_STREQ(tray->GetTip(), "リスト再取得(U)");
  EXPECT_NE(tray->GetWantedIcon(), idle);

  // A launcher opened while busy starts with settings and refresh disabled.
  PostMessageA(GetMainWindow(), WM_HOTKEY, 1, 0);
  tarn::test::PumpFor(100);
  ASSERT_EQ(g_LauncherCreated, 1);
  EXPECT_EQ(app->GetLauncherWindow(), g_Launcher);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(g_Launcher, 4005)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(g_Launcher, 4006)));
  PostMessageA(GetMainWindow(), WM_HOTKEY, 2, 0);  // another id: nothing
  PostMessageA(GetMainWindow(), WM_HOTKEY, 1, 0);  // open already: to the front
  tarn::test::PumpFor(100);
  EXPECT_EQ(g_LauncherCreated, 1);

  auto* records = new AppEntryList{{"alpha", dir / "files\\alpha.txt", 0}};
  SendMessageA(GetMainWindow(), WM_COLLECT_NOTIFY, 0, reinterpret_cast<LPARAM>(records));
  EXPECT_EQ(tray->GetBusy(), 0);
  EXPECT_STREQ(tray->GetTip(), "Tarn Launcher");
  EXPECT_EQ(tray->GetWantedIcon(), idle);
  EXPECT_EQ(app->GetCollector()->GetAllCount(), 1);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(g_Launcher, 4005)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(g_Launcher, 4006)));

  // The refresh command runs a new pass, which finds all three again.
  PostMessageA(GetMainWindow(), WM_COMMAND, 4006, 0);
  ASSERT_TRUE(tarn::test::PumpUntil([&] { return app->GetCollector()->GetAllCount() == 3; }));
  EXPECT_TRUE(WaitIdle());
}

TEST_F(MainWindow, WithoutAPassTheTrayTurnsIdleOnceTheCacheIsIn) {
  // Settings that start no pass; with and without a cache file to load.
  EnvDlgInfo quiet = tarn::test::QuietSettings();
  quiet.HotKey = kTestKey;
  for (bool cached : {false, true}) {
    std::vector<std::string> candidates;
    if (cached) candidates.push_back(dir / "files\\alpha.txt");
    tarn::test::PrepareProgramFolder(dir.Path(), quiet, candidates);
    if (!cached) DeleteFileA((dir / "apppaths.ini").c_str());
    ASSERT_NE(Create(), nullptr);
    EXPECT_FALSE(GetBriskApp()->GetCollector()->IsCollecting());
    EXPECT_TRUE(WaitIdle()) << cached;
    EXPECT_EQ(GetBriskApp()->GetCollector()->GetAllCount(), cached ? 1 : 0);
    DestroyWindow(GetMainWindow());
  }
}

TEST_F(MainWindow, DefaultSearchModeOnlyForPrintableValues) {
  defaultSearchMode = 256 + '*';  // would be '*' if cut to a byte
  SetUp();
  ASSERT_NE(Create(), nullptr);
  CBriskApp* app = GetBriskApp();
  ASSERT_TRUE(app->ShowLauncher());
  app->ApplySettings(0);
  char text[16] = {};
  GetDlgItemTextA(g_Launcher, 1008, text, sizeof text);
  EXPECT_STREQ(text, "");

  // The same characters count as when the launcher opens.
  for (int32_t mode : {int32_t{'*'}, int32_t{0xB1}}) {
    EnvDlgInfo info;
    CEnvInfoStore().GetEnvInfo(&info);
    info.DefaultSearchMode = mode;
    CEnvInfoStore().SaveEnvInfo(&info);
    app->ApplySettings(0);
    GetDlgItemTextA(g_Launcher, 1008, text, sizeof text);
    EXPECT_EQ(std::string(text), std::string(1, static_cast<char>(mode)));
  }
}

TEST_F(MainWindow, AppliedSettingsRestartTheRefreshPeriodOnlyWhenItChanged) {
  HWND window = Create();
  ASSERT_TRUE(window && WaitIdle());
  // A zero period is held to the shortest one, never a timer firing at once.
  for (auto [minutes, ticks] : {std::pair{360, true}, std::pair{20, false}, std::pair{0, false}}) {
    EnvDlgInfo info;
    CEnvInfoStore().GetEnvInfo(&info);
    info.UpdateTimer = minutes;
    CEnvInfoStore().SaveEnvInfo(&info);
    // The running period is about to end when a launch applies the settings.
    SetTimer(window, 3, 200, nullptr);
    GetBriskApp()->ApplySettings(0);
    bool ticked = false;
    MSG msg;
    for (const DWORD start = GetTickCount(); !ticked && GetTickCount() - start < 1000; Sleep(10))
      ticked = PeekMessageA(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE) && msg.wParam == 3;
    EXPECT_EQ(ticked, ticks) << minutes;
  }
}

std::string g_StopText;
TEST_F(MainWindow, UnreadableSettingsAreToldAndNeverOverwritten) {
  std::string before, after;
  ASSERT_TRUE(tarn::test::ReadFileBytes(dir / "tlenv.ini", &before));
  // Another program holds the file for longer than the start-up waits.
  HANDLE lock = CreateFileA((dir / "tlenv.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  CEnvInfoStore().FreeEnvInfo();
  SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR timer, DWORD) {
    if (HWND box = tarn::test::FindDialogByCaption("Tarn Launcher")) {
      KillTimer(nullptr, timer);
      g_StopText = tarn::test::MessageBoxText(box);
      PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
  });
  HWND window = Create();
  CloseHandle(lock);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(g_StopText, "設定ファイル tlenv.ini を読み込めませんでした。\n今回の起動中は、設定と履歴を保存しません。");
  EXPECT_FALSE(CEnvInfoStore().SaveEnvInfo(&GetBriskApp()->GetSettings()));
  ASSERT_TRUE(tarn::test::ReadFileBytes(dir / "tlenv.ini", &after));
  EXPECT_EQ(after, before);
}

HWND ThreadDialog() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM l) -> BOOL {
        char cls[16] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (std::string(cls) != "#32770" || !IsWindowVisible(w)) return TRUE;
        *reinterpret_cast<HWND*>(l) = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

TEST_F(MainWindow, SettingsCommandTurnsHotkeyAndTimerBackOn) {
  HWND window = Create();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitIdle());
  PostMessageA(window, WM_COMMAND, 4005, 0);
  tarn::test::PumpFor(200);
  if (CEnvInfoStore().IsEnvDialogOpen()) {
    // While the dialog is open neither runs; cancelling restores both.
    EXPECT_TRUE(HotKeyFree());
    EXPECT_FALSE(KillTimer(window, 3));
    HWND dialog = ThreadDialog();
    ASSERT_NE(dialog, nullptr);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(tarn::test::PumpUntil([] { return !CEnvInfoStore().IsEnvDialogOpen(); }));
    tarn::test::PumpFor(200);
  }
  // Back on, whether a dialog came and went or none could open.
  EXPECT_FALSE(HotKeyFree());
  EXPECT_TRUE(KillTimer(window, 3));
}

TEST_F(MainWindow, ExitAskedOnceDeclinedThenConfirmedTearsDown) {
  HWND window = Create();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitIdle());
  ASSERT_TRUE(GetBriskApp()->ShowLauncher());
  HWND launcher = g_Launcher;
  HWND box = GetDlgItem(launcher, 1008);

  g_Answer = IDNO;
  g_BoxesSeen = 0;
  SetTimer(nullptr, 0, 100, AnswerExit);
  PostMessageA(window, WM_COMMAND, 4004, 0);
  ASSERT_TRUE(tarn::test::PumpUntil([] { return g_BoxesSeen == 1; }));
  tarn::test::PumpFor(100);
  EXPECT_EQ(g_SecondClose, 0);
  EXPECT_EQ(g_BoxesSeen, 1);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_NE(GetBriskApp(), nullptr);
  EXPECT_FALSE(HotKeyFree());

  g_Answer = IDYES;
  SetTimer(nullptr, 0, 100, AnswerExit);
  PostMessageA(window, WM_COMMAND, 4004, 0);
  // The program's own loop ends with the quit code 0 (99: it never did).
  SetTimer(nullptr, 0, 15000, [](HWND, UINT, UINT_PTR t, DWORD) {
    KillTimer(nullptr, t);
    PostQuitMessage(99);
  });
  EXPECT_EQ(RunMessageLoop(), 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(g_BoxesSeen, 2);
  EXPECT_EQ(GetBriskApp(), nullptr);
  EXPECT_EQ(GetMainWindow(), nullptr);
  // The open launcher went first, so its search box points at nothing.
  EXPECT_FALSE(IsWindow(launcher));
  EXPECT_FALSE(IsWindow(box));
  EXPECT_TRUE(HotKeyFree());
  EXPECT_EQ(FindWindowA("Tarn_Launcher", nullptr), nullptr);
  HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "Tarn Launcher");
  EXPECT_EQ(mutex, nullptr);
  if (mutex) CloseHandle(mutex);
}

TEST_F(MainWindow, ExitFromTheTrayWaitsForTheHotkeyMessage) {
  HWND window = Create();
  ASSERT_TRUE(window && WaitIdle());
  // Another holder of the key: registering it again fails with a message.
  UnregisterHotKey(window, 1);
  ASSERT_TRUE(RegisterHotKey(nullptr, 78, kTestMods, VK_F12));
  g_Answer = IDYES;
  g_BoxesSeen = 0;
  SetTimer(nullptr, 0, 100, AnswerExit);
  tarn::test::WhenDialogShows("Tarn Launcher", [window](HWND box) {
    PostMessageA(window, WM_COMMAND, IDC_EXIT, 0);  // as the tray menu does
    tarn::test::PumpFor(500);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  });
  GetBriskApp()->ApplySettings(0);
  UnregisterHotKey(nullptr, 78);
  // The application outlived its box; the exit is asked after it.
  EXPECT_NE(GetBriskApp(), nullptr);
  EXPECT_EQ(g_BoxesSeen, 0);
  SetTimer(nullptr, 0, 15000, [](HWND, UINT, UINT_PTR t, DWORD) {
    KillTimer(nullptr, t);
    PostQuitMessage(99);
  });
  EXPECT_EQ(RunMessageLoop(), 0);
  EXPECT_EQ(g_BoxesSeen, 1);
  EXPECT_FALSE(IsWindow(window));
}
