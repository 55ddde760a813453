// Expansion of static items with the platform's code page conversion.
#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "launcher/Launch.h"
#include "launcher/UrlEncode.h"

namespace {

std::string Hex(const std::string& bytes) {
  std::string out;
  const char* d = "0123456789ABCDEF";
  for (unsigned char c : bytes) out += std::string("%") + d[c >> 4] + d[c & 15];
  return out;
}

// True when every byte of text is what the encoders may write.
bool WellFormed(const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '%') {
      if (i + 2 >= text.size()) return false;
      if (!isxdigit(static_cast<unsigned char>(text[i + 1])) ||
          !isxdigit(static_cast<unsigned char>(text[i + 2])))
        return false;
      i += 2;
    } else if (!(isalnum(c) && c < 0x80) && c != '-' && c != '.' && c != '*' && c != '_' &&
               c != '+') {
      return false;
    }
  }
  return true;
}

std::string Decode(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '+') {
      out += ' ';
    } else if (text[i] == '%') {
      out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

TEST(PlatformUtf8, KnownPairs) {
  struct Case { std::string cp932, utf8; };
  const Case cases[] = {
      {"\x95\x5C", "\xE8\xA1\xA8"},              // 表, trail byte 5C
      {"\x83\x5C", "\xE3\x82\xBD"},              // ソ
      {"\x94\x5C", "\xE8\x83\xBD"},              // 能
      {"\x8F\x5C", "\xE5\x8D\x81"},              // 十
      {"\xB6", "\xEF\xBD\xB6"},                  // ｶ half-width
      {"\xB0\xDF", "\xEF\xBD\xB0\xEF\xBE\x9F"},  // ｰﾟ
      {"\x87\x40", "\xE2\x91\xA0"},              // ① NEC special
      {"\x87\x54", "\xE2\x85\xA0"},              // Ⅰ
      {"\x87\x8A", "\xE3\x88\xB1"},              // ㈱
      {"\xED\x40", "\xE7\xBA\x8A"},              // 纊 NEC-selected IBM extension
      {"\xFA\x40", "\xE2\x85\xB0"},              // ⅰ IBM extension
      {"\xFB\xFC", "\xE9\xAB\x99"},              // 髙
      {"\x81\x60", "\xEF\xBD\x9E"},              // ～ as the code page has it
      {"\x81\x7C", "\xEF\xBC\x8D"},              // －
      {"a b", "a b"},
  };
  for (const Case& c : cases) {
    std::string out;
    ASSERT_TRUE(PlatformCp932ToUtf8(c.cp932, &out)) << Hex(c.cp932);
    EXPECT_EQ(Hex(out), Hex(c.utf8)) << Hex(c.cp932);

    StaticItem utf8{"n", "q=%1&x", true, true};
    StaticItem ansi{"n", "q=%1&x", true, false};
    std::string got;
    ASSERT_TRUE(ExpandStaticCommand(utf8, c.cp932, &got));
    EXPECT_EQ(got, "q=" + UrlEncodeToString(c.utf8, kUrlRulesUtf8) + "&x");
    ASSERT_TRUE(ExpandStaticCommand(ansi, c.cp932, &got));
    EXPECT_EQ(got, "q=" + UrlEncodeToString(c.cp932, kUrlRulesAnsi) + "&x");
  }
  std::string got;
  ASSERT_TRUE(ExpandStaticCommand(StaticItem{"n", "s?q=%1", true, true}, "表 ｶ+1%", &got));
  EXPECT_EQ(got, "s?q=%E8%A1%A8+%EF%BD%B6%2B1%25");
  ASSERT_TRUE(ExpandStaticCommand(StaticItem{"n", "s?q=%1", true, false}, "表 ｶ+1%", &got));
  EXPECT_EQ(got, "s?q=%95%5C+%B6%2B1%25");
}

TEST(PlatformUtf8, BadWordsNeverOverrunAndGiveWellFormedCommands) {
  std::vector<std::string> words = {"\x81\x20", "\xFD", "\x80", "\xA0", "\x95", "a\x95",
                                    "\x81\x7F", "%", "%1", "%%1%", std::string(1, '\x00')};
  for (int v = 1; v < 256; ++v) {
    words.push_back(std::string(1, static_cast<char>(v)));
    words.push_back(std::string("\x88") + static_cast<char>(v));  // a lead byte and every byte after it
  }
  for (std::size_t len : {258u, 259u, 260u, 261u, 1000u}) {
    std::string w;
    while (w.size() < len) w += (w.size() % 3 == 0) ? "\x95\x5C" : "\xB6";
    words.push_back(w.substr(0, len));
  }
  for (const std::string& w : words) {
    for (bool utf8 : {false, true}) {
      std::string out = "untouched";
      bool ok = ExpandStaticCommand(StaticItem{"n", "[%1]", true, utf8}, w, &out);
      std::size_t wordLen = w.find('\0') == std::string::npos ? w.size() : w.find('\0');
      EXPECT_EQ(ok, wordLen <= 259) << Hex(w);
      if (!ok) {
        EXPECT_EQ(out, "untouched");
        continue;
      }
      ASSERT_GE(out.size(), 2u);
      EXPECT_EQ(out.front(), '[');
      EXPECT_EQ(out.back(), ']');
      EXPECT_TRUE(WellFormed(out.substr(1, out.size() - 2))) << Hex(w) << " -> " << out;
      std::string decoded = Decode(out.substr(1, out.size() - 2));
      std::string want = w.substr(0, wordLen);
      if (utf8) {
        ASSERT_TRUE(PlatformCp932ToUtf8(want, &want));
      }
      EXPECT_EQ(Hex(decoded), Hex(want));
    }
  }
}
