// URL encoding of search words and the "%1" expansion of static items.
#include "launcher/UrlEncode.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "IconvCp932.h"

namespace {

std::string Encode(const std::string& src, int rules) {
  std::size_t size = 0;
  EXPECT_TRUE(UrlEncode(src.c_str(), nullptr, size, rules));
  std::string buf(size + 8, '#');
  std::size_t given = size;
  EXPECT_TRUE(UrlEncode(src.c_str(), buf.data(), given, rules));
  EXPECT_EQ(given, size);
  EXPECT_EQ(buf[size - 1], '\0');
  EXPECT_EQ(buf[size], '#') << "written past the measured size";
  return buf.substr(0, size - 1);
}

std::string Hex(unsigned char c) {
  const char* d = "0123456789ABCDEF";
  return std::string("%") + d[c >> 4] + d[c & 15];
}

bool Unreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '*' || c == '_';
}

StaticItem Item(const std::string& command, bool url, bool utf8) {
  return StaticItem{"name", command, url, utf8};
}

}  // namespace

TEST(UrlEncode, BothRuleSetsOnExamples) {
  struct Case { std::string src, ansi, utf8; };
  const Case cases[] = {
      {"", "", ""},
      {"a b", "a+b", "a+b"},
      {"1+1", "1%2B1", "1%2B1"},
      {"100%", "100%25", "100%25"},
      {"x/y?z=1", "x%2Fy%3Fz%3D1", "x%2Fy%3Fz%3D1"},
      {"-.*_", "-.*_", "-.*_"},
      {"\t", "%09", "%09"},
      {"a\x7F~", "a%7F%7E", "a%7F%7E"},
      {"表", "%95%5C", "%95%5C"},                // the same bytes, taken as they are
      {"ア", "%83A", "%83A"},                   // trail byte 'A' stands for itself
      {"漢聞", "%8A%BF%95%B7", "%8A%BF%95%B7"},  // trail bytes the code page calls letters
      {"ｶﾅ", "%B6%C5", "%B6%C5"},                // half-width katakana never raw
      {"\xE8\xA1\xA8", "%E8%A1%A8", "%E8%A1%A8"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Encode(c.src, kUrlRulesAnsi), c.ansi) << c.src;
    EXPECT_EQ(Encode(c.src, kUrlRulesUtf8), c.utf8) << c.src;
    EXPECT_EQ(Encode(c.src, 7), c.ansi) << "any flag but 1 takes the code-page rules";
    EXPECT_EQ(UrlEncodeToString(c.src, kUrlRulesUtf8), c.utf8);
  }
}

TEST(UrlEncode, EveryByteValue) {
  for (int v = 1; v < 256; ++v) {
    auto c = static_cast<unsigned char>(v);
    std::string src(1, static_cast<char>(c));
    std::string want = c == ' ' ? "+" : Unreserved(c) ? src : Hex(c);
    for (int rules : {kUrlRulesAnsi, kUrlRulesUtf8}) EXPECT_EQ(Encode(src, rules), want) << v;
  }
}

TEST(UrlEncode, MeasureThenWriteAndTooSmallBuffers) {
  const std::string src = "a 表%";  // a + 2 escapes + 1 escape = 1+1+6+3
  std::size_t size = 0;
  ASSERT_TRUE(UrlEncodeAnsi(src.c_str(), nullptr, size));
  EXPECT_EQ(size, 12u);
  size = 0;
  char sentinel[4] = {'x', 'x', 'x', 'x'};
  ASSERT_TRUE(UrlEncodeUtf8(src.c_str(), sentinel, size)) << "size 0 measures";
  EXPECT_EQ(size, 12u);
  EXPECT_EQ(sentinel[0], 'x');
  for (std::size_t cap = 1; cap < 12; ++cap) {
    std::string buf(16, '#');
    std::size_t given = cap;
    EXPECT_FALSE(UrlEncode(src.c_str(), buf.data(), given, kUrlRulesAnsi)) << cap;
    EXPECT_EQ(buf.find_first_not_of('#', cap), std::string::npos) << "wrote past " << cap;
  }
  std::size_t one = 1;
  char empty[1] = {'x'};
  ASSERT_TRUE(UrlEncodeAnsi("", empty, one));
  EXPECT_EQ(empty[0], '\0');
  EXPECT_EQ(one, 1u);
}

TEST(ExpandCommand, PlaceholderReplacement) {
  struct Case { std::string command, word; bool url, utf8; std::string want; };
  const Case cases[] = {
      {"search?q=%1&lang=%1", "a b", true, false, "search?q=a+b&lang=%1"},
      {"notepad.exe", "anything at all", true, true, "notepad.exe"},
      {"%%1", "x", false, false, "%x"},
      {"%1", "notepad c:\\a.txt", false, false, "notepad c:\\a.txt"},
      {"%1", "表 ｶ", false, true, "表 ｶ"},  // UTF-8 without encoding: left Shift-JIS
      {"q=%1", "表", true, false, "q=%95%5C"},
      {"q=%1", "表", true, true, "q=%E8%A1%A8"},
      {"q=%1", "①髙ｶ", true, true, "q=%E2%91%A0%E9%AB%99%EF%BD%B6"},
      {"q=%1", "1+1 100%", true, true, "q=1%2B1+100%25"},
      {"%1%1", "%1", false, false, "%1%1"},  // the word itself is never searched again
      {"q=%1", "", true, true, "q="},
      {"", "w", true, true, ""},
      {"%", "w", false, false, "%"},
      {"end%1", "w", false, false, "endw"},
  };
  for (const Case& c : cases) {
    std::string out = "untouched";
    ASSERT_TRUE(ExpandCommand(Item(c.command, c.url, c.utf8), c.word, &out, &IconvCp932ToUtf8))
        << c.command << " / " << c.word;
    EXPECT_EQ(out, c.want) << c.command << " / " << c.word;
  }
}

TEST(ExpandCommand, WordLengthsAndFailures) {
  auto failing = [](std::string_view, std::string*) { return false; };
  struct Case { std::size_t len; bool ok; };
  const Case cases[] = {{0, true}, {1, true}, {258, true}, {259, true}, {260, false}, {5000, false}};
  for (const Case& c : cases) {
    std::string word(c.len, 'w');
    for (bool utf8 : {false, true}) {
      std::string out = "untouched";
      bool ok = ExpandCommand(Item("q=%1", true, utf8), word, &out, &IconvCp932ToUtf8);
      EXPECT_EQ(ok, c.ok) << c.len;
      EXPECT_EQ(out, ok ? "q=" + word : "untouched");
    }
  }
  // 259 bytes of kanji whose trail byte is 5C, plus a final lone lead byte.
  std::string heavy;
  while (heavy.size() + 2 <= 258) heavy += "表";
  heavy += '\x95';
  ASSERT_EQ(heavy.size(), 259u);
  std::string out;
  ASSERT_TRUE(ExpandCommand(Item("%1", true, false), heavy, &out, nullptr));
  EXPECT_EQ(out.size(), 259u * 3);
  std::string out2 = "untouched";
  EXPECT_FALSE(ExpandCommand(Item("%1", true, true), "表", &out2, failing));
  EXPECT_FALSE(ExpandCommand(Item("%1", true, true), "表", &out2, nullptr));
  EXPECT_EQ(out2, "untouched");
  // Without a placeholder the word is not used, so its length does not matter.
  ASSERT_TRUE(ExpandCommand(Item("calc", true, true), std::string(400, 'w'), &out2, failing));
  EXPECT_EQ(out2, "calc");
}

TEST(ExpandCommand, EmbeddedNulEndsTheTexts) {
  std::string out;
  ASSERT_TRUE(ExpandCommand(Item(std::string("a%1\0%1", 6), false, false), std::string("xy\0z", 4),
                            &out, nullptr));
  EXPECT_EQ(out, "axy");
}
