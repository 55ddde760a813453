// What the launch gives the shell, worked out on bytes.
#include "launcher/LaunchPlan.h"

#include <gtest/gtest.h>

#include <string>

#include "launcher/Launch.h"

TEST(LaunchPlan, DirectoryCandidate) {
  struct Case { std::string path, dir; };
  const Case cases[] = {
      {"C:\\Tools\\app.exe", "C:\\Tools\\"},
      {"C:\\Program Files\\ソフト\\app.exe", "C:\\Program Files\\ソフト\\"},
      {"C:\\表\\a.exe", "C:\\表\\"},  // 表 ends in 5C: not a separator
      {"C:\\表", "C:\\"},
      {"notepad", ""},
      {"notepad c:\\a.txt", "notepad c:\\"},
      {"https://example.com/s?q=a", "https://example.com/"},
      {"C:app.exe", "C:"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(LaunchDirectoryCandidate(c.path), c.dir) << c.path;
  // Commands far longer than a path buffer split whole.
  std::string longDir = "C:\\" + std::string(600, 'd') + "\\";
  EXPECT_EQ(LaunchDirectoryCandidate(longDir + "x.exe"), longDir);
}

TEST(LaunchPlan, OptionsAfterTheFirstSpace) {
  struct Case { std::string word, options; };
  const Case cases[] = {
      {"app -x", "-x"},
      {"app -x  -y z", "-x  -y z"},
      {"app ", ""},
      {"app", ""},
      {"", ""},
      {"　app -x", "-x"},          // a full-width space is a character, not the separator
      {"\x81\x20x y", "y"},        // lead byte 81 and 20 is no character; the first real space
      {" lead", "lead"},
  };
  for (const Case& c : cases) EXPECT_EQ(OptionText(c.word), c.options) << c.word;
}

TEST(LaunchPlan, FallbackCommandLine) {
  struct Case { std::string path; bool fromStatic; std::string options, line; };
  const Case cases[] = {
      {"C:\\Program Files\\Tool\\tool.exe", false, "", "\"C:\\Program Files\\Tool\\tool.exe\""},
      {"C:\\Program Files\\Tool\\tool.exe", false, "-x", "\"C:\\Program Files\\Tool\\tool.exe\" -x"},
      {"notepad c:\\a.txt", true, "", "notepad c:\\a.txt"},
      {"\"C:\\My Tools\\t.exe\" -q", true, "", "\"C:\\My Tools\\t.exe\" -q"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FallbackCommandLine(c.path, c.fromStatic, c.options), c.line) << c.path;
}

TEST(LaunchPlan, ExplorerArgumentsAndMessages) {
  EXPECT_EQ(SelectInFolderArguments("C:\\Tools\\app.exe"), "/select,\"C:\\Tools\\app.exe\"");
  EXPECT_EQ(LaunchFailureText(kLaunchStarted), nullptr);
  EXPECT_EQ(LaunchFailureText(kLaunchNothing), nullptr);
  EXPECT_STREQ(LaunchFailureText(kLaunchNotFound), "実行に失敗しました。\n指定されたファイルはありません。");
  EXPECT_STREQ(LaunchFailureText(kLaunchFailed), "実行に失敗しました。\n環境等が正しいかどうか確認して下さい。");
  EXPECT_STREQ(LaunchFailureText(2), kLaunchFailedText);
}
