// The search-word and started-item histories.
#include "launcher/Histories.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using List = std::vector<std::string>;

TEST(Histories, CaseIgnoredForLettersOnly) {
  const struct Case { std::string a, b; bool equal; } cases[] = {
      {"abz", "ABZ", true}, {"abc", "abd", false}, {"abc", "abcd", false}, {"", "", true}, {"a", "\xC1", false},
      {"ａｂｚ", "ＡＢＺ", true}, {"αω", "ΑΩ", true}, {"@[`{", "@[`{", true}, {"@", "`", false}, {"\x95", "\x95", true},
      {"яжа", "ЯЖА", true},      // Cyrillic, on both sides of the unused 847F
      {"ア", "\x83\x61", false},  // trail byte 'A' is no letter: ア vs ヂ
      {"表", "\x95\x7C", false}};  // trail byte 5C vs 7C
  for (const Case& c : cases) {
    EXPECT_EQ(EqualIgnoringCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
    EXPECT_EQ(EqualIgnoringCase(c.b, c.a), c.equal) << c.b << " / " << c.a;
  }
}

TEST(Histories, SearchWords) {
  const struct Case { List before; int max; std::string word; List after; bool changed; } cases[] = {
      {{"abc", "xyz"}, 20, "ABC", {"ABC", "xyz"}, true}, {{"a"}, 5, "", {"a"}, false},
      {{"a", "b", "c"}, 3, "b", {"b", "a", "c"}, true},       // full, word present: nothing dropped
      {{"a", "b", "c"}, 3, "d", {"d", "a", "b"}, true},       // full, new word: the last one goes
      {{"a", "b", "c", "d", "e"}, 2, "f", {"f", "a"}, true},  // maximum lowered meanwhile
      {{"ａ", "A", "a"}, 9, "Ａ", {"Ａ", "A", "a"}, true},    // every case-equal entry goes
      {{"a"}, 0, "b", {"a"}, false}, {{"a"}, -3, "b", {"a"}, false},
      {{"a"}, 5, std::string(259, 'w'), {std::string(259, 'w'), "a"}, true},
      {{"a"}, 5, std::string(260, 'w'), {"a"}, false},  // longer than a settings line
      // No control characters, nothing that would end the section, no broken CP932.
      {{"a"}, 5, "a\tb", {"a"}, false}, {{"a"}, 5, "ExecList-E:", {"a"}, false}, {{"a"}, 5, "\x88\x20", {"a"}, false}};
  for (const Case& c : cases) {
    List list = c.before;
    EXPECT_EQ(AddToExecList(list, c.max, c.word), c.changed) << c.word;
    EXPECT_EQ(list, c.after) << c.word;
  }
}

TEST(Histories, StartedItemsAndBothOnTheSettingsRecord) {
  const struct Case { List before; int max; std::string path; List after; } cases[] = {
      {{}, 20, "C:\\a.exe", {"C:\\a.exe"}}, {{"C:\\b.exe", "C:\\a.exe"}, 20, "C:\\a.exe", {"C:\\a.exe", "C:\\b.exe"}},
      {{"C:\\A.exe"}, 20, "C:\\a.exe", {"C:\\a.exe", "C:\\A.exe"}},  // case counts
      {{"x", "y", "w", "v"}, 2, "z", {"z", "x"}}, {{"x", "z", "z"}, 2, "z", {"z", "x"}},
      {{"x"}, 20, "", {"x"}},  // static rows have no path
      {{"x"}, 0, "z", {"x"}},   {{"x"}, -1, "z", {"x"}}, {{"x"}, 20, std::string(260, 'p'), {"x"}},
      {{"x"}, 20, "TopDirs-E:", {"x"}}};
  for (const Case& c : cases) {
    List list = c.before;
    AddToTopDirs(list, c.max, c.path);
    EXPECT_EQ(list, c.after) << c.path;
  }
  // On the record, each list keeps to its own maximum.
  EnvDlgInfo info;
  info.ExecListNumMax = 2;
  info.TopDirNumMax = 2;
  for (const char* w : {"one", "two", "ONE", "three"}) AddToExecList(info, w);
  EXPECT_EQ(info.ExecList, (List{"three", "ONE"}));
  for (const char* p : {"C:\\1", "C:\\2", "C:\\1"}) AddToTopDirs(info, p);
  EXPECT_EQ(info.TopDirs, (List{"C:\\1", "C:\\2"}));
}
