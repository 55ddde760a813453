// The real program under Wine: resident start with its hotkey taken by
// another program, second instance, exit.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "settings/EnvInfoStore.h"
#include "support/TestSupport.h"

using tarn::test::TempDir;

TEST(Smoke, ResidentSecondInstanceAndExit) {
  TempDir dir;
  const std::string built = tarn::test::ExeDir() + "..\\src\\app\\TarnLauncher.exe";
  const std::string exe = dir / "TarnLauncher.exe";
  ASSERT_TRUE(CopyFileA(built.c_str(), exe.c_str(), FALSE)) << built;

  // Its settings file: one small folder to collect, a key nobody holds.
  tarn::test::MakeDirs(dir / "apps");
  tarn::test::WriteFileBytes(dir / "apps\\tool.exe", "MZ");
  {
    CEnvInfoStore store(dir.Path() + "\\");
    EnvDlgInfo info;
    ApplyLoadDefaults(info);
    info.HotKey = {1, 1, 1, 0, VK_F11};
    info.SrchDirFlg = {};
    info.SrchDirFlg.Any = true;
    info.AnyDirs = {dir / "apps"};
    ASSERT_TRUE(store.SaveEnvInfo(&info));
    store.FreeEnvInfo();
  }

  // This process holds the key: the program's message about it is up
  // while its start-up goes on.
  ASSERT_TRUE(RegisterHotKey(nullptr, 79, MOD_ALT | MOD_CONTROL | MOD_SHIFT, VK_F11));
  struct KeyHolder { ~KeyHolder() { UnregisterHotKey(nullptr, 79); } } holder;

  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION first = {};
  std::string cmd = "\"" + exe + "\"";
  ASSERT_TRUE(CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.Path().c_str(),
                             &si, &first));
  CloseHandle(first.hThread);
  // Whatever fails below, the resident instance must not outlive the test.
  struct Ender {
    HANDLE process;
    ~Ender() {
      if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) TerminateProcess(process, 99);
      CloseHandle(process);
    }
  } ender{first.hProcess};

  HWND keyBox = tarn::test::WaitForDialog("Tarn Launcher", 20000, first.dwProcessId);
  ASSERT_NE(keyBox, nullptr);
  std::string text;
  tarn::test::PumpUntil([&] { return !(text = tarn::test::MessageBoxText(keyBox)).empty(); });
  EXPECT_EQ(text.rfind("ダイアログ表示表のホットキーの登録に失敗しました。", 0), 0u) << text;
  // The first pass lands meanwhile and leaves the cache file beside the program.
  EXPECT_TRUE(tarn::test::PumpUntil([&] { return tarn::test::FileExists(dir / "apppaths.ini"); }, 60000));
  EXPECT_FALSE(tarn::test::FileExists(dir / "apppaths.tmp"));
  PostMessageA(keyBox, WM_COMMAND, IDOK, 0);

  HWND main = nullptr;
  ASSERT_TRUE(tarn::test::PumpUntil([&] { return (main = tarn::test::FindMainWindow(first.dwProcessId)) != nullptr; },
                                    20000));
  EXPECT_FALSE(IsWindowVisible(main));

  const int second = tarn::test::RunProcess(cmd, 20000, [&](DWORD pid) {
    if (HWND box = tarn::test::FindDialogByCaption("Tarn Launcher", pid)) {
      // The box may be found before its text is in place, and again while
      // it closes.
      const std::string now = tarn::test::MessageBoxText(box);
      if (now.empty()) return;
      text = now;
      PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
  });
  EXPECT_EQ(second, 0);
  EXPECT_EQ(text, "既に起動されています。");
  EXPECT_EQ(WaitForSingleObject(first.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));

  PostMessageA(main, WM_COMMAND, 4004, 0);
  HWND confirm = tarn::test::WaitForDialog("Tarn Launcher 終了確認", 15000, first.dwProcessId);
  ASSERT_NE(confirm, nullptr);
  EXPECT_EQ(tarn::test::MessageBoxText(confirm), "Tarn Launcher を終了しますか？");
  PostMessageA(confirm, WM_COMMAND, IDYES, 0);
  ASSERT_EQ(WaitForSingleObject(first.hProcess, 15000), static_cast<DWORD>(WAIT_OBJECT_0));
  DWORD code = 99;
  GetExitCodeProcess(first.hProcess, &code);
  EXPECT_EQ(code, 0u);
}
