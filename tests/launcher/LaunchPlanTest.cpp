// What the launch gives the shell, worked out on bytes.
#include "launcher/LaunchPlan.h"

#include <gtest/gtest.h>

#include <string>

TEST(LaunchPlan, DirectoryCandidate) {
  struct Case { std::string path, dir; };
  const std::string longDir = "C:\\" + std::string(600, 'd') + "\\";  // far longer than a path buffer
  const Case cases[] = {{"C:\\表\\a.exe", "C:\\表\\"}, {"notepad", ""}, {"notepad c:\\a.txt", "notepad c:\\"},
                        {"https://example.com/s?q=a", "https://example.com/"}, {"C:app.exe", "C:"},
                        {longDir + "x.exe", longDir}};
  for (const Case& c : cases) EXPECT_EQ(LaunchDirectoryCandidate(c.path), c.dir) << c.path;
}

TEST(LaunchPlan, OptionsAfterTheFirstSpace) {
  struct Case { std::string word, options; };
  const Case cases[] = {{"app -x", "-x"}, {"app -x  -y z", "-x  -y z"}, {"app ", ""}, {"app", ""}, {"", ""},
                        {"　app -x", "-x"},   // a full-width space is no separator
                        {"\x81\x20x y", "y"},  // nor is 20 after a lead byte
                        {" lead", "lead"}};
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
  for (const Case& c : cases) EXPECT_EQ(FallbackCommandLine(c.path, c.fromStatic, c.options), c.line) << c.path;
}
