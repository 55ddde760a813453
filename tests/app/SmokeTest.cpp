// The built program under Wine, driven from this process as a user would.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "base/DialogBase.h"
#include "launcher/RecordLog.h"
#include "support/LauncherDrive.h"

namespace {

using namespace tarn::test;

class Smoke : public ::testing::Test {
 protected:
  // Starts the program with these settings and cached candidates; it never outlives the test.
  HWND Start(const std::vector<std::string>& candidates, bool waitForMainWindow = true) {
    program.reset();
    PrepareProgramFolder(dir.Path(), settings, candidates);
    return program.emplace(dir.Path(), waitForMainWindow).MainWindow();
  }

  TempDir dir;
  EnvDlgInfo settings = QuietSettings();
  std::optional<RunningProgram> program;
};

TEST_F(Smoke, ResidentSecondInstanceAndExit) {
  // A key this process holds, and one small folder to collect.
  settings.HotKey = {1, 1, 1, 0, VK_F11}, settings.SrchDirFlg.Any = true, settings.AnyDirs = {dir / "apps"};
  MakeDirs(dir / "apps"), WriteFileBytes(dir / "apps\\tool.exe", "MZ");
  ASSERT_TRUE(RegisterHotKey(nullptr, 79, MOD_ALT | MOD_CONTROL | MOD_SHIFT, VK_F11));
  Start({}, false);
  // The message about the key is up while the start-up goes on.
  std::string text;
  HWND keyBox = WaitForMessageBox("Tarn Launcher", &text, 20000, program->Pid());
  UnregisterHotKey(nullptr, 79);
  EXPECT_TRUE(text.starts_with("ダイアログ表示表のホットキーの登録に失敗しました。")) << text;
  // The first pass lands meanwhile and leaves the cache file beside the program.
  EXPECT_TRUE(PumpUntil([&] { return FileExists(dir / "apppaths.ini"); }, 60000) && !FileExists(dir / "apppaths.tmp"));
  PostMessageA(keyBox, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(PumpUntil([&] { return program->MainWindow() != nullptr; }, 20000));
  EXPECT_FALSE(IsWindowVisible(program->MainWindow()));
  RunningProgram second(dir.Path(), false);
  PostMessageA(WaitForMessageBox("Tarn Launcher", &text, 20000, second.Pid()), WM_COMMAND, IDOK, 0);
  EXPECT_EQ(text, "既に起動されています。");
  EXPECT_TRUE(second.ExitCode(20000) == 0 && program->ExitCode(0) == -1);
  EXPECT_TRUE(program->Exit());
}

TEST_F(Smoke, HotkeyWordReturnStartsTheFoundProgram) {
  MakeDirs(dir / "道具");
  const std::string recorder = dir / "道具\\記録係.exe", memo = dir / "道具\\メモ帳.exe";
  for (const std::string& copy : {recorder, memo}) CopyFileA(RecorderPath().c_str(), copy.c_str(), FALSE);
  settings.StaticItems = {{"ファイル名を指定して実行", "%1", false, false}};
  // The kana option read from tlenv.ini: a romaji word finds a kana name.
  const struct { bool kanaMatch; std::string word, started; } cases[] = {{false, "記録", recorder}, {true, "memo", memo}};
  for (std::size_t n = 0; const auto& c : cases) {
    settings.KanaMatch = c.kanaMatch;
    ASSERT_NE(Start({memo, recorder}), nullptr);
    HWND dialog = OpenLauncher(program->MainWindow());
    ASSERT_TRUE(SearchInLauncher(dialog, c.word)) << c.word;
    EXPECT_EQ(WindowText(GetDlgItem(dialog, 1018)), "[    1 /     2]") << c.word;
    // Return goes through the program's own loop to the Run button.
    PostMessageA(FindWindowExA(GetDlgItem(dialog, 1008), nullptr, "Edit", nullptr), WM_KEYDOWN, VK_RETURN, 1);
    const auto records = WaitForRecords(dir / "道具\\recorder.log", ++n);
    ASSERT_EQ(records.size(), n) << c.word;
    EXPECT_TRUE(records.back().program == c.started && records.back().cwd == dir / "道具") << records.back().program;
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(dialog); }));
    EXPECT_TRUE(program->Exit());
  }
}

TEST_F(Smoke, AnotherCodePageIsToldBeforeAnythingIsWritten) {
  // Wine gives a process the code page of the Unix locale it starts in, and
  // a child of ours inherits ours: the program is started from the Unix side.
  char loader[MAX_PATH] = {};
  if (!GetEnvironmentVariableA("WINELOADER", loader, sizeof loader)) GTEST_SKIP() << "not under Wine";
  const std::string exe = dir / "TarnLauncher.exe";
  ASSERT_TRUE(CopyFileA((ExeDir() + "..\\src\\app\\TarnLauncher.exe").c_str(), exe.c_str(), FALSE));
  PROCESS_INFORMATION unix = {};
  ASSERT_TRUE(StartProcess(std::string("Z:\\usr\\bin\\env LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 ") + loader + " \"" + exe + "\"",
                           dir.Path().c_str(), 0, &unix));
  CloseHandle(unix.hProcess);
  std::string text;
  HWND box = WaitForMessageBox("Tarn Launcher", &text, 30000);
  DWORD pid = 0;
  GetWindowThreadProcessId(box ? box : FindMainWindow(), &pid);
  HANDLE program = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, pid);
  ASSERT_NE(program, nullptr) << "the program did not show itself";
  EXPECT_TRUE(text.starts_with("Tarn Launcher works only with code page 932") &&
              text.find("このシステムではコード ページ 1252 になっています。") != std::string::npos) << text;
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  DWORD code = 99;
  if (WaitForSingleObject(program, 15000) != WAIT_OBJECT_0) TerminateProcess(program, 99);
  EXPECT_TRUE(GetExitCodeProcess(program, &code) && code == 1) << code;
  CloseHandle(program);
  EXPECT_FALSE(FileExists(dir / "tlenv.ini") || FileExists(dir / "apppaths.tmp") || FileExists(dir / "apppaths.ini"));
}

}  // namespace
