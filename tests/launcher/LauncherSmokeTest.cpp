// The real program under Wine, from the hotkey to a launch: the hotkey
// message opens the dialog, a word filters it, Return starts the recorder,
// and the settings file keeps the histories.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/LauncherDrive.h"
#include "settings/EnvInfoStore.h"
#include "support/TestSupport.h"

using tarn::test::TempDir;

TEST(LauncherSmoke, HotkeyTypeReturnStartsTheRecorder) {
  TempDir dir;
  tarn::test::MakeDirs(dir / "道具");
  const std::string recorder = dir / "道具\\記録係.exe";
  ASSERT_TRUE(CopyFileA(tarn::test::RecorderPath().c_str(), recorder.c_str(), FALSE));
  tarn::test::WriteFileBytes(dir / "メモ帳.txt", "x");

  EnvDlgInfo settings = tarn::test::QuietSettings();
  settings.HotKey = {1, 1, 1, 0, VK_F9};
  settings.StaticItems = {{"ファイル名を指定して実行", "%1", false, false}};
  settings.ExecList.clear();
  settings.TopDirs.clear();
  tarn::test::PrepareProgramFolder(dir.Path(), settings, {dir / "メモ帳.txt", recorder});

  tarn::test::RunningProgram program(dir.Path());
  ASSERT_NE(program.MainWindow(), nullptr);

  HWND dialog = tarn::test::OpenLauncher(program.MainWindow());
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(tarn::test::SearchInLauncher(dialog, "記録"));
  char counter[64] = {};
  GetWindowTextA(GetDlgItem(dialog, 1018), counter, sizeof counter);
  EXPECT_STREQ(counter, "[    1 /     2]");
  // Return goes through the program's own loop to the Run button.
  PostMessageA(FindWindowExA(GetDlgItem(dialog, 1008), nullptr, "Edit", nullptr), WM_KEYDOWN, VK_RETURN, 1);
  std::string log;
  EXPECT_TRUE(tarn::test::PumpUntil(
      [&] { return tarn::test::ReadFileBytes(dir / "道具\\recorder.log", &log) && !log.empty(); }, 15000));
  EXPECT_NE(log.find("cwd=" + dir / "道具" + "\r\n"), std::string::npos) << log;
  EXPECT_TRUE(tarn::test::PumpUntil([&] { return !IsWindow(dialog); }, 10000));

  std::string ini;
  ASSERT_TRUE(tarn::test::ReadFileBytes(dir / "tlenv.ini", &ini));
  EXPECT_NE(ini.find("記録"), std::string::npos);
  EXPECT_NE(ini.find(recorder), std::string::npos);

  EXPECT_TRUE(program.Exit());
}
