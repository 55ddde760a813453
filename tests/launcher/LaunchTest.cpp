// Starting items for real under Wine: the recorder stands in for the
// programs, copied into folders whose names hold spaces and Japanese text.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/SystemLibrary.h"
#include "launcher/Launch.h"
#include "launcher/LaunchPlan.h"
#include "launcher/LaunchShell.h"
#include "RecordLog.h"
#include "support/TestSupport.h"

using namespace tarn::test;

namespace {

// What the stand-in shell was given: "file|params|dir", marked where a verb
// or a show state other than normal came with it. It answers hInstApp and,
// when that is 32 or less, fails with the last error.
std::string g_shellCall;
INT_PTR g_shellAnswer = 0;
DWORD g_shellError = 0;

BOOL WINAPI FakeShell(SHELLEXECUTEINFOA* i) {
  g_shellCall = std::string(i->lpFile ? i->lpFile : "") + "|" + (i->lpParameters ? i->lpParameters : "") + "|" +
                (i->lpDirectory ? i->lpDirectory : "");
  if (i->lpVerb || i->nShow != SW_SHOWNORMAL) g_shellCall += "|verb or show";
  i->hInstApp = reinterpret_cast<HINSTANCE>(g_shellAnswer);
  SetLastError(g_shellError);
  return g_shellAnswer > 32;
}

class LaunchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeDirs(folder_);
    ASSERT_TRUE(CopyFileA(RecorderPath().c_str(), program_.c_str(), FALSE));
    // The launcher's own current directory, seen by starts without a folder.
    MakeDirs(cwd_);
    char old[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, old);
    oldCwd_ = old;
    ASSERT_TRUE(SetCurrentDirectoryA(cwd_.c_str()));
  }
  void TearDown() override { SetCurrentDirectoryA(oldCwd_.c_str()); }

  // The n-th start the recorder wrote, as "program|args|cwd".
  std::string Recorded(std::size_t n = 1) {
    const auto records = WaitForRecords(log_, n);
    if (records.size() != n) return "no record " + std::to_string(n);
    return records.back().program + "|" + records.back().args + "|" + records.back().cwd;
  }
  static int Shell(const LaunchRequest& r, INT_PTR answer, std::size_t limit = ShellTextLimit(), DWORD error = 0) {
    g_shellAnswer = answer, g_shellError = error;
    g_shellCall.clear();
    return StartItemWith(r, &FakeShell, limit);
  }

  TempDir tmp_;
  const std::string folder_ = tmp_ / "テスト 表";  // a 5C trail byte and a space
  const std::string program_ = folder_ + "\\記録 ソフト.exe", log_ = folder_ + "\\recorder.log";
  const std::string cwd_ = tmp_ / "カレント";
  std::string oldCwd_;
};

}  // namespace

TEST_F(LaunchTest, MissingFilesAreNotFoundAndACandidateStartsInItsOwnFolder) {
  for (const std::string& path : {tmp_ / "無い.exe", tmp_ / "無いフォルダ\\x.exe", std::string()}) {
    for (bool rowZero : {false, true})
      EXPECT_EQ(StartItem({.Path = path, .SearchWord = "w", .RowZero = rowZero}), kLaunchNotFound) << path;
  }
  EXPECT_FALSE(FileExists(log_));
  struct Case { bool spaceIsOption; std::string word, args; };
  const Case cases[] = {{false, "kiroku -x", ""}, {true, "kiroku -x  \"a b\" 表", "-x  \"a b\" 表"}};
  std::size_t n = 0;
  for (const Case& c : cases) {
    ASSERT_EQ(StartItem({.Path = program_, .SearchWord = c.word, .SpaceIsOption = c.spaceIsOption}), kLaunchStarted);
    EXPECT_EQ(Recorded(++n), program_ + "|" + c.args + "|" + folder_);
  }
}

TEST_F(LaunchTest, StaticCommandInTheFirstRowRunsWholeAsACommandLine) {
  // The shell cannot open '"program" args' as one file, nor take 1 000 bytes
  // under Wine; the first row then runs it as a process, unchanged, in the
  // launcher's own directory.
  std::string word, want;
  for (int i = 0; i < 129; ++i) word += "表", want += "%E8%A1%A8";
  word += 'a';
  std::string command;
  ASSERT_TRUE(ExpandStaticCommand({"web", "\"" + program_ + "\" %1", true, true}, word, &command));
  ASSERT_GT(command.size(), 1000u);
  LaunchRequest r{.Path = command, .SearchWord = word, .RowZero = true, .FromStaticItem = true};
  ASSERT_EQ(StartItem(r), kLaunchStarted);
  EXPECT_EQ(Recorded(), program_ + "|" + want + "a|" + cwd_);
  // In any other row: the shell's failure (or a refusal where the text is
  // too long for it), never a crash.
  r.RowZero = false;
  EXPECT_NE(StartItem(r), kLaunchStarted);
  EXPECT_EQ(OpenContainingFolderWith(program_.c_str(), tmp_ / std::string(2100, 'p')), kLaunchFailed);
  PumpFor(300);
  EXPECT_EQ(ReadRecords(log_).size(), 1u);
}

TEST_F(LaunchTest, LongWebSearchReachesTheShellWhereItFits) {
  // 219 half-width kana, nine bytes each in UTF-8 and URL-encoded.
  const std::string word(219, '\xB6');
  LaunchRequest r{.Path = "", .SearchWord = word, .FromStaticItem = true};
  ASSERT_TRUE(ExpandStaticCommand({"web", "https://example.com/search?q=%1", true, true}, word, &r.Path));
  ASSERT_EQ(r.Path.size(), 2000u);
  // Windows opens it; Wine's shell is never given it.
  for (std::size_t limit : {kMaxShellTextWindows, kMaxShellTextWine}) {
    const bool fits = limit == kMaxShellTextWindows;
    EXPECT_EQ(Shell(r, 42, limit), fits ? kLaunchStarted : kLaunchFailed) << limit;
    EXPECT_EQ(g_shellCall, fits ? r.Path + "||." : "") << limit;
  }
  EXPECT_EQ(ShellTextLimit(), tarn::RunningUnderWine() ? kMaxShellTextWine : kMaxShellTextWindows);
}

TEST_F(LaunchTest, WhatTheShellIsGivenAndWhatItsAnswerMeans) {
  // Only what the shell could not find or associate runs as a process from
  // the first row; a refusal (the elevation prompt or a download warning
  // answered no) is silent and never forced through.
  const struct Answer { DWORD error; INT_PTR answer; int code, rowZero; } answers[] = {
      {0, 33, kLaunchStarted, kLaunchStarted},
      {ERROR_FILE_NOT_FOUND, 2, kLaunchNotFound, kLaunchStarted}, {ERROR_PATH_NOT_FOUND, 2, kLaunchNotFound, kLaunchStarted},
      {ERROR_INVALID_NAME, 2, kLaunchNotFound, kLaunchStarted},   {0, 3, kLaunchNotFound, kLaunchStarted},
      {ERROR_INVALID_NAME, 0, kLaunchFailed, kLaunchStarted},
      {ERROR_NO_ASSOCIATION, 31, kLaunchFailed, kLaunchStarted},  {ERROR_BAD_EXE_FORMAT, 31, kLaunchFailed, kLaunchStarted},
      {ERROR_CANCELLED, 5, kLaunchCancelled, kLaunchCancelled},   {ERROR_CANCELLED, 2, kLaunchCancelled, kLaunchCancelled},
      {ERROR_ACCESS_DENIED, 5, kLaunchCancelled, kLaunchCancelled}, {0, 5, kLaunchCancelled, kLaunchCancelled},
      {ERROR_ACCESS_DISABLED_BY_POLICY, 0, kLaunchCancelled, kLaunchCancelled},
      {ERROR_DDE_FAIL, 29, kLaunchFailed, kLaunchFailed},         {ERROR_BAD_EXE_FORMAT, 11, kLaunchFailed, kLaunchFailed},
      {0, 0, kLaunchFailed, kLaunchFailed}};
  std::size_t starts = 0;
  for (const Answer& a : answers) {
    for (bool rowZero : {false, true}) {
      LaunchRequest r{.Path = program_, .SearchWord = "kiroku -x", .SpaceIsOption = true, .RowZero = rowZero};
      EXPECT_EQ(Shell(r, a.answer, ShellTextLimit(), a.error), rowZero ? a.rowZero : a.code) << a.error << " " << a.answer;
      EXPECT_EQ(g_shellCall, program_ + "|-x|" + folder_ + "\\");
      if (rowZero && a.answer <= 32 && a.rowZero == kLaunchStarted) {
        EXPECT_EQ(Recorded(++starts), program_ + "|-x|" + cwd_);
      }
    }
  }
  PumpFor(300);
  EXPECT_EQ(ReadRecords(log_).size(), starts) << "a process started past the shell's answer";
  const struct Case { std::string path, word, params, dir; } cases[] = {
      {folder_, "f -x", "-x", tmp_.Path() + "\\"},  // a folder takes options too
      {"notepad c:\\a.txt", "notepad c:\\a.txt", "", "."}, {"https://example.com/s?q=a+b", "a b", "", "."},
      {"notepad", "notepad x", "", "."}, {tmp_ / "無い\\x.exe", "x -y", "", "."},
      {"C:\\" + std::string(300, 'd') + "\\x.exe", "x -y", "", "."}};
  for (const Case& c : cases) {
    EXPECT_EQ(Shell({.Path = c.path, .SearchWord = c.word, .SpaceIsOption = true}, 42), kLaunchStarted) << c.path;
    EXPECT_EQ(g_shellCall, c.path + "|" + c.params + "|" + c.dir);
  }
}

TEST_F(LaunchTest, FirstRowCandidateFallsBackQuoted) {
  // The shell refuses the file (as Windows does for a type without a verb);
  // the process start that follows runs it. Taken unquoted,
  // "<tmp>\テスト 表\tool.tarnx" would start "<tmp>\テスト.exe".
  std::string tool = folder_ + "\\tool.tarnx";
  ASSERT_TRUE(CopyFileA(RecorderPath().c_str(), tool.c_str(), FALSE));
  std::string decoy = tmp_ / "テスト.exe";
  ASSERT_TRUE(CopyFileA(RecorderPath().c_str(), decoy.c_str(), FALSE));
  LaunchRequest r{.Path = tool, .SearchWord = "tool -v", .SpaceIsOption = true};
  EXPECT_EQ(Shell(r, 31), kLaunchFailed);  // no association
  r.RowZero = true;
  ASSERT_EQ(Shell(r, 31), kLaunchStarted);
  EXPECT_EQ(Recorded(), tool + "|-v|" + cwd_);
  PumpFor(300);
  EXPECT_FALSE(FileExists(tmp_ / "recorder.log")) << "the decoy ran";
}

TEST_F(LaunchTest, ContainingFolderSelectsTheFile) {
  // The recorder stands in for the explorer; the arguments are what the
  // explorer would get.
  ASSERT_EQ(OpenContainingFolderWith(program_.c_str(), program_), kLaunchStarted);
  auto records = WaitForRecords(log_, 1);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].args, "/select,\"" + program_ + "\"");
  EXPECT_EQ(OpenContainingFolderWith((tmp_ / "無い.exe").c_str(), program_), kLaunchNotFound);
  EXPECT_EQ(OpenContainingFolder(""), kLaunchNothing);
}
