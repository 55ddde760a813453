#include "base/Cp932.h"

#include <gtest/gtest.h>

#include <string>

using namespace tarn;

namespace {
constexpr std::size_t npos = std::string_view::npos;
}

TEST(Cp932, LiteralsAreCompiledToCp932) {
  // The build turns UTF-8 sources into CP932 literals; everything depends on it.
  EXPECT_EQ(std::string("表"), "\x95\x5C");
  EXPECT_EQ(std::string("ソ"), "\x83\x5C");
  EXPECT_EQ(std::string("ｶ"), "\xB6");
}

TEST(Cp932, Classification) {
  EXPECT_TRUE(IsLeadByte('\x81'));
  EXPECT_TRUE(IsLeadByte('\x9F'));
  EXPECT_TRUE(IsLeadByte('\xE0'));
  EXPECT_TRUE(IsLeadByte('\xFC'));
  EXPECT_FALSE(IsLeadByte('\x80'));
  EXPECT_FALSE(IsLeadByte('\xA0'));
  EXPECT_FALSE(IsLeadByte('\xB6'));  // half-width kana
  EXPECT_FALSE(IsLeadByte('\xFD'));
  EXPECT_TRUE(IsTrailByte('\x40'));
  EXPECT_TRUE(IsTrailByte('\x5C'));
  EXPECT_FALSE(IsTrailByte('\x7F'));
  EXPECT_FALSE(IsTrailByte('\x3F'));
  EXPECT_FALSE(IsTrailByte('\xFD'));
}

TEST(Cp932, CharacterWalk) {
  struct Case { std::string s; std::size_t count; std::size_t last; };
  const Case cases[] = {
      {"", 0, npos},
      {"a", 1, 0},
      {"\x95\x5C", 1, 0},           // 表
      {"a\x95\x5C", 2, 1},
      {"\x95\x5C\\", 2, 2},
      {"ab\x81", 3, 2},             // lead byte as the last byte
      {"\xB6\xDE", 2, 1},           // half-width ka + voiced mark
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CharCount(c.s), c.count) << c.s;
    EXPECT_EQ(LastCharStart(c.s), c.last) << c.s;
  }
}

TEST(Cp932, FindsSeparatorsNeverInTrailBytes) {
  const std::string folder = "C:\\ソフト表";      // ends in 5C trail byte
  EXPECT_FALSE(EndsWithChar(folder, '\\'));
  EXPECT_TRUE(EndsWithChar(folder + "\\", '\\'));
  EXPECT_EQ(FindLastChar(folder, '\\'), 2u);
  EXPECT_EQ(FindChar("\x95\x5C\\", '\\'), 2u);
  EXPECT_EQ(FindChar("\x95\x5C", '\\'), npos);
  EXPECT_EQ(FindChar("a.b.c", '.', 2), 3u);
  EXPECT_EQ(FindLastCharOf("a/b\\c", "\\/"), 3u);
  EXPECT_EQ(FindFirstCharOf("\x83\x5Cx/", "\\/"), 3u);
}

TEST(Cp932, Validity) {
  EXPECT_TRUE(IsValidCp932(""));
  EXPECT_TRUE(IsValidCp932("abc\x95\x5C"));
  EXPECT_TRUE(IsValidCp932("abc\x81"));       // lead byte last
  EXPECT_FALSE(IsValidCp932("\x81\x20"));     // bad trail
  EXPECT_FALSE(IsValidCp932("\x81\x7F" "a"));
}

TEST(Cp932, BoundedCopyNeverSplitsOrOverruns) {
  char buf[5];
  EXPECT_TRUE(CopyBounded(buf, sizeof buf, "abcd"));
  EXPECT_STREQ(buf, "abcd");
  EXPECT_FALSE(CopyBounded(buf, sizeof buf, "abcde"));
  EXPECT_STREQ(buf, "abcd");
  // "abc表": the kanji does not fit in the last byte; it is dropped whole.
  EXPECT_FALSE(CopyBounded(buf, sizeof buf, "abc\x95\x5C"));
  EXPECT_STREQ(buf, "abc");
  EXPECT_FALSE(CopyBounded(buf, 0, "x"));
  EXPECT_EQ(TruncateToFit("\x95\x5C\x95\x5C", 3), "\x95\x5C");
  EXPECT_EQ(TruncateToFit("abc", 3), "abc");
  const char raw[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(BoundedLength(raw, sizeof raw), 4u);
  EXPECT_EQ(BoundedLength("ab", 3), 2u);
}
