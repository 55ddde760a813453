// Expansion of static items with the platform's code page conversion.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launcher/Launch.h"
#include "launcher/UrlEncode.h"

TEST(PlatformUtf8, KnownPairsIncludingTheExtensionCharacters) {
  const struct Case { std::string cp932, utf8; } cases[] = {
      {"\x95\x5C", "\xE8\xA1\xA8"}, {"\xB6", "\xEF\xBD\xB6"}, {"\xB0\xDF", "\xEF\xBD\xB0\xEF\xBE\x9F"},  // 表 ｶ ｰﾟ
      {"\x87\x40", "\xE2\x91\xA0"}, {"\xED\x40", "\xE7\xBA\x8A"}, {"\xFB\xFC", "\xE9\xAB\x99"},  // ① 纊 髙: extensions
      {"\x81\x60", "\xEF\xBD\x9E"}, {"a b", "a b"}};  // ～ as the code page has it
  for (const Case& c : cases) {
    std::string out;
    ASSERT_TRUE(PlatformCp932ToUtf8(c.cp932, &out)) << c.cp932;
    EXPECT_EQ(out, c.utf8) << c.cp932;
  }
  std::string got;
  ASSERT_TRUE(ExpandStaticCommand(StaticItem{"n", "s?q=%1", true, true}, "表 ｶ+1%", &got));
  EXPECT_EQ(got, "s?q=%E8%A1%A8+%EF%BD%B6%2B1%25");
  ASSERT_TRUE(ExpandStaticCommand(StaticItem{"n", "s?q=%1", true, false}, "表 ｶ+1%", &got));
  EXPECT_EQ(got, "s?q=%95%5C+%B6%2B1%25");
}

TEST(PlatformUtf8, AnyWordTheSearchBoxHoldsExpands) {
  // Bytes that are no character, alone and after a lead byte, and words
  // around the search box's 259 bytes.
  std::vector<std::string> words = {"\x81\x20", "\xFD", "a\x95", "\x81\x7F", "%%1%", std::string(1, '\0')};
  for (int v = 1; v < 256; ++v) words.push_back(std::string("\x88") + static_cast<char>(v));
  for (std::size_t len : {258u, 259u, 260u}) {
    std::string w;
    while (w.size() < len) w += (w.size() % 3 == 0) ? "\x95\x5C" : "\xB6";
    words.push_back(w.substr(0, len));
  }
  for (const std::string& w : words) {
    const std::string word = w.substr(0, w.find('\0'));
    std::string utf8;
    ASSERT_TRUE(PlatformCp932ToUtf8(word, &utf8));
    std::string out = "untouched";
    EXPECT_EQ(ExpandStaticCommand(StaticItem{"n", "[%1]", true, true}, w, &out), word.size() <= 259);
    EXPECT_EQ(out, word.size() <= 259 ? "[" + UrlEncodeToString(utf8, kUrlRulesUtf8) + "]" : "untouched");
  }
}
