// CP932 text and paths, byte by byte.
#include "base/Cp932.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "base/Path.h"

using namespace tarn;

constexpr std::size_t npos = std::string_view::npos;

TEST(Cp932, LiteralsAreCompiledToCp932AndBytesClassified) {
  EXPECT_EQ(std::string("表ソｶ"), "\x95\x5C\x83\x5C\xB6");
  struct Case { char c; bool lead, trail; };
  const Case cases[] = {{'\x3F', false, false}, {'\x40', false, true},  {'\x5C', false, true},
                        {'\x7F', false, false}, {'\x80', false, true},  {'\x81', true, true},
                        {'\x9F', true, true},   {'\xA0', false, true},  {'\xB6', false, true},
                        {'\xE0', true, true},   {'\xFC', true, true},   {'\xFD', false, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(IsLeadByte(c.c), c.lead) << int(c.c);
    EXPECT_EQ(IsTrailByte(c.c), c.trail) << int(c.c);
  }
}

TEST(Cp932, CharacterWalkValidityAndSeparators) {
  struct Case { std::string s; std::size_t last; bool valid; };
  const Case cases[] = {{"", npos, true},          {"a\x95\x5C", 1, true},      {"\x95\x5C\\", 2, true},
                        {"ab\x81", 2, true},        // a lead byte last stands alone
                        {"\xB6\xDE", 1, true},       {"\x81\x20", 0, false},      {"\x81\x7F" "a", 2, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(LastCharStart(c.s), c.last) << c.s;
    EXPECT_EQ(IsValidCp932(c.s), c.valid) << c.s;
  }
  // Separators are never found in trail bytes.
  EXPECT_EQ(FindChar("\x95\x5C\\", '\\', 1), 2u);  // a start inside a character is no character
  EXPECT_EQ(FindFirstCharOf("\x83\x5Cx/", "\\/"), 3u);
}

TEST(Cp932, BoundedCopyNeverSplitsOrOverruns) {
  struct Case { std::string src; bool whole; const char* copied; };
  const Case cases[] = {{"abcd", true, "abcd"}, {"abcde", false, "abcd"}, {"abc\x95\x5C", false, "abc"}};
  for (const Case& c : cases) {
    char buf[7] = "######";
    EXPECT_EQ(CopyBounded(buf, 5, c.src), c.whole) << c.src;
    EXPECT_STREQ(buf, c.copied);
    EXPECT_EQ(buf[5], '#');
  }
  char untouched = '#';
  EXPECT_FALSE(CopyBounded(&untouched, 0, "x"));
  EXPECT_EQ(untouched, '#');
  EXPECT_EQ(TruncateToFit("\x95\x5C\x95\x5C", 3), "\x95\x5C");
  const char raw[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(BoundedLength(raw, sizeof raw), 4u);
  EXPECT_EQ(BoundedLength("ab", 3), 2u);
}

TEST(Path, SplitsLikeTheRuntimeAndJoins) {
  const struct Case { std::string_view path, drive, dir, fname, ext; } cases[] = {
      {"D:\\Tools\\edit.exe", "D:", "\\Tools\\", "edit", ".exe"}, {"Foo 2.0", "", "", "Foo 2", ".0"},
      {"a.b.c", "", "", "a.b", ".c"},                               {"C:\\dir.x\\file", "C:", "\\dir.x\\", "file", ""},
      {"C:/a/b.txt", "C:", "/a/", "b", ".txt"},                     {"C:\\a/b\\c", "C:", "\\a/b\\", "c", ""},
      {"C:\\ソフト表\\表.exe", "C:", "\\ソフト表\\", "表", ".exe"}, {"C:\\ソフト表", "C:", "\\", "ソフト表", ""},
      {"", "", "", "", ""}};
  for (const Case& c : cases) {
    const PathParts p = SplitPath(c.path);
    EXPECT_EQ((std::array{p.Drive, p.Dir, p.Name, p.Ext}), (std::array{c.drive, c.dir, c.fname, c.ext})) << c.path;
  }
  EXPECT_EQ(DirectoryOf("C:\\Tools\\edit.exe"), "C:\\Tools\\");
  // A separator is added only where one is missing.
  EXPECT_EQ(JoinPath("C:\\ソフト表", "a.exe"), "C:\\ソフト表\\a.exe");
  EXPECT_EQ(JoinPath("C:\\", "a.exe"), "C:\\a.exe");
  EXPECT_EQ(JoinPath("C:/x/", "a.exe"), "C:/x/a.exe");
  EXPECT_EQ(JoinPath("", "a.exe"), "a.exe");
}
