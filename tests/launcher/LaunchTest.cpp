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

// "テスト 表" ends its first word in a 5C trail byte and holds a space.
const std::string kFolder = "テスト 表";

class LaunchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = tmp_ / kFolder;
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

LaunchRequest Candidate(const std::string& path, const std::string& word, bool rowZero = false) {
  LaunchRequest r;
  r.Path = path;
  r.SearchWord = word;
  r.RowZero = rowZero;
  return r;
}

}  // namespace

TEST_F(LaunchTest, CandidateStartsInItsOwnFolder) {
  struct Case { bool spaceIsOption; std::string word, args; };
  const Case cases[] = {
      {false, "kiroku -x", ""},
      {true, "kiroku -x  \"a b\" 表", "-x  \"a b\" 表"},
      {true, "kiroku", ""},
  };
  std::size_t n = 0;
  for (const Case& c : cases) {
    LaunchRequest r = Candidate(program_, c.word);
    r.SpaceIsOption = c.spaceIsOption;
    ASSERT_EQ(StartItem(r), kLaunchStarted) << c.word;
    auto records = WaitForRecords(log_, ++n);
    ASSERT_EQ(records.size(), n) << c.word;
    EXPECT_EQ(records.back().program, program_);
    EXPECT_EQ(records.back().args, c.args);
    EXPECT_EQ(records.back().cwd, folder_);
  }
}

TEST_F(LaunchTest, MissingFilesAnswerNotFound) {
  struct Case { std::string path; bool rowZero; };
  const Case cases[] = {
      {tmp_ / "無い.exe", false},
      {tmp_ / "無い.exe", true},
      {tmp_ / "無いフォルダ\\x.exe", false},
      {tmp_ / "無いフォルダ\\x.exe", true},
      {"", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(StartItem(Candidate(c.path, "w", c.rowZero)), kLaunchNotFound) << c.path;
  EXPECT_FALSE(FileExists(log_));
}

TEST_F(LaunchTest, StaticCommandInTheFirstRowRunsAsACommandLine) {
  // The shell cannot open '"program" args' as one file; the first row then
  // runs it as a process, unchanged, in the launcher's own directory.
  struct Case { bool utf8; std::string args; };
  const Case cases[] = {
      {false, "q=%95%5C+%B6%2B1%25&x=%1"},
      {true, "q=%E8%A1%A8+%EF%BD%B6%2B1%25&x=%1"},
  };
  std::size_t n = 0;
  for (const Case& c : cases) {
    StaticItem item{"web", "\"" + program_ + "\" q=%1&x=%1", true, c.utf8};
    std::string command;
    ASSERT_TRUE(ExpandStaticCommand(item, "表 ｶ+1%", &command));
    LaunchRequest r = Candidate(command, "表 ｶ+1%");
    r.FromStaticItem = true;
    r.SpaceIsOption = true;  // not an existing path: no argument string
    r.RowZero = false;
    EXPECT_EQ(StartItem(r), kLaunchNotFound) << "a later row stops at the shell's answer";
    EXPECT_TRUE(ReadRecords(log_).size() == n);
    r.RowZero = true;
    ASSERT_EQ(StartItem(r), kLaunchStarted);
    auto records = WaitForRecords(log_, ++n);
    ASSERT_EQ(records.size(), n);
    EXPECT_EQ(records.back().program, program_);
    EXPECT_EQ(records.back().args, c.args);
    EXPECT_EQ(records.back().cwd, cwd_);
  }
}

TEST_F(LaunchTest, CommandsLongerThanAPathBufferStartWhole) {
  std::string word;
  while (word.size() + 2 <= 259) word += "表";
  word += 'a';
  ASSERT_EQ(word.size(), 259u);
  StaticItem item{"web", "\"" + program_ + "\" %1", true, true};
  std::string command;
  ASSERT_TRUE(ExpandStaticCommand(item, word, &command));
  ASSERT_GT(command.size(), 1000u);
  LaunchRequest r = Candidate(command, word, true);
  r.FromStaticItem = true;
  ASSERT_EQ(StartItem(r), kLaunchStarted);
  auto records = WaitForRecords(log_, 1);
  ASSERT_EQ(records.size(), 1u);
  std::string want;
  for (std::size_t i = 0; i < 129; ++i) want += "%E8%A1%A8";
  EXPECT_EQ(records[0].args, want + "a");
  // In any other row: the shell's failure (or a refusal where the text is
  // too long for it), never a crash.
  r.RowZero = false;
  EXPECT_NE(StartItem(r), kLaunchStarted);
  std::string longPath = tmp_ / std::string(2100, 'p');
  EXPECT_EQ(OpenContainingFolderWith(program_.c_str(), longPath), kLaunchFailed);
  PumpFor(300);
  EXPECT_EQ(ReadRecords(log_).size(), 1u);
}

TEST_F(LaunchTest, LongWebSearchReachesTheShellWhereItFits) {
  // 219 half-width kana, nine bytes each in UTF-8 and URL-encoded.
  const std::string word(219, '\xB6');
  LaunchRequest r = Candidate("", word);
  r.FromStaticItem = true;
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

TEST_F(LaunchTest, ShellAnswersBecomeResultCodes) {
  struct Case { INT_PTR answer; bool rowZero; int code; };
  const Case cases[] = {
      {33, false, kLaunchStarted}, {2, false, kLaunchNotFound}, {3, false, kLaunchNotFound},
      {5, false, kLaunchFailed},   {31, false, kLaunchFailed},  {0, false, kLaunchFailed},
  };
  for (const Case& c : cases) {
    g_shellAnswer = c.answer;
    LaunchRequest r = Candidate(program_, "kiroku -x", c.rowZero);
    r.SpaceIsOption = true;
    EXPECT_EQ(StartItemWith(r, &RefusingShell), c.code) << c.answer;
    EXPECT_EQ(g_shellCall.file, program_);
    EXPECT_EQ(g_shellCall.params, "-x");
    EXPECT_EQ(g_shellCall.dir, folder_ + "\\");
    EXPECT_TRUE(g_shellCall.noVerb);
    EXPECT_EQ(g_shellCall.show, SW_SHOWNORMAL);
  }
  EXPECT_FALSE(FileExists(log_));
}

TEST_F(LaunchTest, WorkingDirectoryAndArgumentsGivenToTheShell) {
  struct Case { std::string path; bool spaceIsOption; std::string word, dir, params; };
  const Case cases[] = {
      {program_, true, "kiroku -x", folder_ + "\\", "-x"},
      {folder_, true, "f -x", tmp_.Path() + "\\", "-x"},  // a folder takes options too
      {"notepad c:\\a.txt", true, "notepad c:\\a.txt", ".", ""},
      {"https://example.com/s?q=a+b", true, "a b", ".", ""},
      {"notepad", true, "notepad x", ".", ""},
      {tmp_ / "無い\\x.exe", true, "x -y", ".", ""},
      {"C:\\" + std::string(300, 'd') + "\\x.exe", true, "x -y", ".", ""},
  };
  g_shellAnswer = 42;
  for (const Case& c : cases) {
    LaunchRequest r = Candidate(c.path, c.word);
    r.SpaceIsOption = c.spaceIsOption;
    r.FromStaticItem = true;
    EXPECT_EQ(StartItemWith(r, &RefusingShell), kLaunchStarted);
    EXPECT_EQ(g_shellCall.file, c.path);
    EXPECT_EQ(g_shellCall.dir, c.dir) << c.path;
    EXPECT_EQ(g_shellCall.params, c.params) << c.path;
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
  g_shellAnswer = 31;  // no association
  LaunchRequest r = Candidate(tool, "tool -v", false);
  r.SpaceIsOption = true;
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
