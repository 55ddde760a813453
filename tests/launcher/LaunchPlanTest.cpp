// What the launch gives the shell, worked out on bytes.
#include "launcher/LaunchPlan.h"

#include <gtest/gtest.h>

#include <string>

#include "launcher/Launch.h"

TEST(LaunchPlan, DirectoryCandidateAndOptions) {
  using Pair = std::pair<std::string, std::string>;
  const std::string longDir = "C:\\" + std::string(600, 'd') + "\\";  // far longer than a path buffer
  const Pair dirs[] = {{"C:\\表\\a.exe", "C:\\表\\"}, {"notepad", ""}, {"notepad c:\\a.txt", "notepad c:\\"},
                        {"https://example.com/s?q=a", "https://example.com/"}, {"C:app.exe", "C:"},
                        {longDir + "x.exe", longDir}};
  for (const auto& [path, dir] : dirs) EXPECT_EQ(LaunchDirectoryCandidate(path), dir) << path;
  // Options: what follows the first space of the word.
  const Pair options[] = {{"app -x", "-x"}, {"app -x  -y z", "-x  -y z"}, {"app ", ""}, {"app", ""}, {"", ""},
                        {"　app -x", "-x"},   // a full-width space is no separator
                        {"\x81\x20x y", "y"},  // nor is 20 after a lead byte
                        {" lead", "lead"}};
  for (const auto& [word, text] : options) EXPECT_EQ(OptionText(word), text) << word;
}

TEST(LaunchPlan, FallbackCommandLineAndFailureTexts) {
  const std::string tool = "C:\\Program Files\\Tool\\tool.exe";
  EXPECT_EQ(FallbackCommandLine(tool, false, ""), "\"" + tool + "\"");
  EXPECT_EQ(FallbackCommandLine(tool, false, "-x"), "\"" + tool + "\" -x");
  // A static item's command line stands as written.
  EXPECT_EQ(FallbackCommandLine("notepad c:\\a.txt", true, ""), "notepad c:\\a.txt");
  EXPECT_EQ(FallbackCommandLine("\"C:\\My Tools\\t.exe\" -q", true, ""), "\"C:\\My Tools\\t.exe\" -q");
  // A start, nothing to start or a refusal shows no message.
  EXPECT_TRUE(!LaunchFailureText(kLaunchStarted) && !LaunchFailureText(kLaunchNothing) && !LaunchFailureText(kLaunchCancelled));
  EXPECT_STREQ(LaunchFailureText(kLaunchNotFound), "実行に失敗しました。\n指定されたファイルはありません。");
  EXPECT_STREQ(LaunchFailureText(kLaunchFailed), "実行に失敗しました。\n環境等が正しいかどうか確認して下さい。");
}
