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

class LaunchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = tmp_ / "テスト 表";  // a 5C trail byte and a space
    MakeDirs(folder_);
    program_ = folder_ + "\\記録 ソフト.exe";
    ASSERT_TRUE(CopyFileA(RecorderPath().c_str(), program_.c_str(), FALSE));
    log_ = folder_ + "\\recorder.log";
    // The launcher's own current directory, seen by starts without a folder.
    cwd_ = tmp_ / "カレント";
    MakeDirs(cwd_);
    char old[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, old);
    oldCwd_ = old;
    ASSERT_TRUE(SetCurrentDirectoryA(cwd_.c_str()));
  }
  void TearDown() override { SetCurrentDirectoryA(oldCwd_.c_str()); }

  TempDir tmp_;
  std::string folder_, program_, log_, cwd_, oldCwd_;
};

// A shell that answers g_shellAnswer and remembers what it was asked.
struct ShellCall {
  std::string file, params, dir;
  bool noVerb = false;
  int show = -1;
};
INT_PTR g_shellAnswer = 0;
ShellCall g_shellCall;

HINSTANCE WINAPI RefusingShell(HWND, LPCSTR verb, LPCSTR file, LPCSTR params, LPCSTR dir, INT show) {
  g_shellCall.file = file ? file : "";
  g_shellCall.params = params ? params : "";
  g_shellCall.dir = dir ? dir : "";
  g_shellCall.noVerb = verb == nullptr;
  g_shellCall.show = show;
  return reinterpret_cast<HINSTANCE>(g_shellAnswer);
}

}  // namespace

TEST_F(LaunchTest, CandidateStartsInItsOwnFolder) {
  struct Case { bool spaceIsOption; std::string word, args; };
  const Case cases[] = {{false, "kiroku -x", ""}, {true, "kiroku -x  \"a b\" 表", "-x  \"a b\" 表"}};
  std::size_t n = 0;
  for (const Case& c : cases) {
    ASSERT_EQ(StartItem({.Path = program_, .SearchWord = c.word, .SpaceIsOption = c.spaceIsOption}), kLaunchStarted);
    auto records = WaitForRecords(log_, ++n);
    ASSERT_EQ(records.size(), n) << c.word;
    EXPECT_EQ(records.back().program, program_);
    EXPECT_EQ(records.back().args, c.args);
    EXPECT_EQ(records.back().cwd, folder_);
  }
}

TEST_F(LaunchTest, MissingFilesAnswerNotFound) {
  for (const std::string& path : {tmp_ / "無い.exe", tmp_ / "無いフォルダ\\x.exe", std::string()}) {
    for (bool rowZero : {false, true})
      EXPECT_EQ(StartItem({.Path = path, .SearchWord = "w", .RowZero = rowZero}), kLaunchNotFound) << path;
  }
  EXPECT_FALSE(FileExists(log_));
}

TEST_F(LaunchTest, StaticCommandInTheFirstRowRunsWholeAsACommandLine) {
  // The shell cannot open '"program" args' as one file, nor take 1 000 bytes
  // under Wine; the first row then runs it as a process, unchanged, in the
  // launcher's own directory.
  std::string word, want;
  for (int i = 0; i < 129; ++i) {
    word += "表";
    want += "%E8%A1%A8";
  }
  word += 'a';
  std::string command;
  ASSERT_TRUE(ExpandStaticCommand({"web", "\"" + program_ + "\" %1", true, true}, word, &command));
  ASSERT_GT(command.size(), 1000u);
  LaunchRequest r{.Path = command, .SearchWord = word, .RowZero = true, .FromStaticItem = true};
  ASSERT_EQ(StartItem(r), kLaunchStarted);
  auto records = WaitForRecords(log_, 1);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].args, want + "a");
  EXPECT_EQ(records[0].cwd, cwd_);
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
    g_shellCall = {};
    g_shellAnswer = 42;
    const bool fits = limit == kMaxShellTextWindows;
    EXPECT_EQ(StartItemWith(r, &RefusingShell, limit), fits ? kLaunchStarted : kLaunchFailed) << limit;
    EXPECT_EQ(g_shellCall.file, fits ? r.Path : "") << limit;
  }
  EXPECT_EQ(ShellTextLimit(), tarn::RunningUnderWine() ? kMaxShellTextWine : kMaxShellTextWindows);
}

TEST_F(LaunchTest, WhatTheShellIsGivenAndWhatItsAnswerMeans) {
  struct Case { std::string path, word; INT_PTR answer; int code; std::string dir, params; };
  const std::string own = folder_ + "\\";
  const Case cases[] = {
      {program_, "kiroku -x", 33, kLaunchStarted, own, "-x"}, {program_, "kiroku -x", 2, kLaunchNotFound, own, "-x"},
      {program_, "kiroku -x", 3, kLaunchNotFound, own, "-x"}, {program_, "kiroku -x", 5, kLaunchFailed, own, "-x"},
      {program_, "kiroku -x", 31, kLaunchFailed, own, "-x"},  {program_, "kiroku -x", 0, kLaunchFailed, own, "-x"},
      {folder_, "f -x", 42, kLaunchStarted, tmp_.Path() + "\\", "-x"},  // a folder takes options too
      {"notepad c:\\a.txt", "notepad c:\\a.txt", 42, kLaunchStarted, ".", ""},
      {"https://example.com/s?q=a+b", "a b", 42, kLaunchStarted, ".", ""},
      {"notepad", "notepad x", 42, kLaunchStarted, ".", ""},
      {tmp_ / "無い\\x.exe", "x -y", 42, kLaunchStarted, ".", ""},
      {"C:\\" + std::string(300, 'd') + "\\x.exe", "x -y", 42, kLaunchStarted, ".", ""},
  };
  for (const Case& c : cases) {
    const LaunchRequest r{.Path = c.path, .SearchWord = c.word, .SpaceIsOption = true};
    g_shellAnswer = c.answer;
    g_shellCall = {};
    EXPECT_EQ(StartItemWith(r, &RefusingShell), c.code) << c.path << " " << c.answer;
    EXPECT_EQ(g_shellCall.file, c.path);
    EXPECT_EQ(g_shellCall.dir, c.dir) << c.path;
    EXPECT_EQ(g_shellCall.params, c.params) << c.path;
    EXPECT_TRUE(g_shellCall.noVerb);
    EXPECT_EQ(g_shellCall.show, SW_SHOWNORMAL);
  }
  EXPECT_FALSE(FileExists(log_));
}

TEST_F(LaunchTest, FirstRowCandidateFallsBackQuoted) {
  // The shell refuses the file (as Windows does for a type without a verb);
  // the process start that follows runs it. Taken unquoted,
  // "<tmp>\テスト 表\tool.tarnx" would start "<tmp>\テスト.exe".
  std::string tool = folder_ + "\\tool.tarnx";
  ASSERT_TRUE(CopyFileA(RecorderPath().c_str(), tool.c_str(), FALSE));
  std::string decoy = tmp_ / "テスト.exe";
  ASSERT_TRUE(CopyFileA(RecorderPath().c_str(), decoy.c_str(), FALSE));
  g_shellAnswer = 31;  // no association
  LaunchRequest r{.Path = tool, .SearchWord = "tool -v", .SpaceIsOption = true};
  EXPECT_EQ(StartItemWith(r, &RefusingShell), kLaunchFailed);
  r.RowZero = true;
  ASSERT_EQ(StartItemWith(r, &RefusingShell), kLaunchStarted);
  auto records = WaitForRecords(log_, 1);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].program, tool);
  EXPECT_EQ(records[0].args, "-v");
  EXPECT_EQ(records[0].cwd, cwd_);
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
