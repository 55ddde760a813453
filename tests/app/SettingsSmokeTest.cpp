// The real program: settings changed through the dialog's controls are saved
// and applied on OK (the new hotkey held); the About command opens one dialog.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "settings/EnvInfoStore.h"
#include "support/LauncherDrive.h"
#include "support/TestSupport.h"

namespace {

constexpr UINT kOldMods = MOD_CONTROL | MOD_ALT | MOD_SHIFT, kNewMods = MOD_CONTROL | MOD_ALT;

bool KeyFree(UINT modifiers, UINT key) {
  if (!RegisterHotKey(nullptr, 0x7101, modifiers, key)) return false;
  UnregisterHotKey(nullptr, 0x7101);
  return true;
}

TEST(SettingsSmoke, TrayCommandsOpenSettingsAndAbout) {
  tarn::test::TempDir dir;
  EnvDlgInfo settings = tarn::test::QuietSettings();
  settings.HotKey = {1, 1, 1, 0, VK_F10};
  tarn::test::PrepareProgramFolder(dir.Path(), settings, {});
  tarn::test::RunningProgram program(dir.Path());
  ASSERT_NE(program.MainWindow(), nullptr);
  EXPECT_TRUE(tarn::test::PumpUntil([] { return !KeyFree(kOldMods, VK_F10); }));

  PostMessageA(program.MainWindow(), WM_COMMAND, 4005, 0);
  HWND dlg = tarn::test::WaitForDialog("Tarn Launcher 環境設定", 10000, program.Pid());
  ASSERT_NE(dlg, nullptr);
  // The caption comes before the controls.
  ASSERT_TRUE(tarn::test::PumpUntil([&] { return IsWindowVisible(dlg) && GetDlgItem(dlg, IDOK); }));
  EXPECT_TRUE(KeyFree(kOldMods, VK_F10));  // off while the dialog is open
  SendDlgItemMessageA(dlg, 1001, HKM_SETHOTKEY, MAKEWORD(VK_F8, HOTKEYF_CONTROL | HOTKEYF_ALT), 0);
  SendDlgItemMessageA(dlg, 1039, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("120"));
  SendDlgItemMessageA(dlg, 1037, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("*"));
  SendDlgItemMessageA(dlg, 1038, BM_CLICK, 0, 0);
  PostMessageA(dlg, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(tarn::test::PumpUntil([&] { return !IsWindow(dlg); }));
  EXPECT_TRUE(tarn::test::PumpUntil([&] { return !KeyFree(kNewMods, VK_F8); }));
  EXPECT_TRUE(KeyFree(kOldMods, VK_F10));

  CEnvInfoStore store(dir.Path() + "\\");
  store.FreeEnvInfo();  // this process holds the record it prepared
  EnvDlgInfo saved;
  ASSERT_TRUE(store.GetEnvInfo(&saved));
  store.FreeEnvInfo();
  settings.HotKey = {1, 1, 0, 0, VK_F8};
  settings.UpdateTimer = 120;
  settings.DefaultSearchMode = '*';
  settings.SpaceIsOption = !settings.SpaceIsOption;
  EXPECT_EQ(saved, settings);

  for (int i = 0; i < 2; ++i) PostMessageA(program.MainWindow(), WM_COMMAND, 4003, 0);
  HWND about = tarn::test::WaitForDialog("Tarn Launcher バージョン情報", 10000, program.Pid());
  ASSERT_NE(about, nullptr);
  tarn::test::PumpFor(300);
  PostMessageA(about, WM_CLOSE, 0, 0);
  EXPECT_TRUE(tarn::test::PumpUntil([&] { return !IsWindow(about); }));
  tarn::test::PumpFor(300);
  EXPECT_EQ(tarn::test::FindDialogByCaption("Tarn Launcher バージョン情報", program.Pid()), nullptr);
  EXPECT_TRUE(program.Exit());
}

}  // namespace
