// URL encoding of search words and the "%1" expansion of static items.
#include "launcher/UrlEncode.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Measures (with a buffer of size 0, never written), then writes into
// exactly that much.
std::string Encode(const std::string& src, int rules) {
  std::size_t size = 0;
  char untouched = '#';
  EXPECT_TRUE(UrlEncode(src.c_str(), &untouched, size, rules) && untouched == '#');
  std::string buf(size, '#');
  EXPECT_TRUE(UrlEncode(src.c_str(), buf.data(), size, rules) && size == buf.size() && buf.back() == '\0');
  return buf.substr(0, size - 1);
}

// Stands in for the platform's converter: marks what it converted.
bool Marked(std::string_view in, std::string* out) {
  *out = "<" + std::string(in) + ">";
  return true;
}

}  // namespace

TEST(UrlEncode, EveryByteByTheSameRulesInBothSets) {
  const char* hex = "0123456789ABCDEF";
  for (int v = 1; v < 256; ++v) {
    const auto c = static_cast<unsigned char>(v);
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                       c == '.' || c == '*' || c == '_';
    const std::string src(1, static_cast<char>(c));
    const std::string want = c == ' ' ? "+" : plain ? src : std::string("%") + hex[c >> 4] + hex[c & 15];
    for (int rules : {kUrlRulesAnsi, kUrlRulesUtf8, 7}) EXPECT_EQ(Encode(src, rules), want) << v;
  }
  // Double-byte characters byte by byte: trail bytes 5C and 'A' too.
  EXPECT_EQ(Encode("a 表ア%", kUrlRulesAnsi), "a+%95%5C%83A%25");
  EXPECT_EQ(UrlEncodeToString("x/y", kUrlRulesUtf8), "x%2Fy");
}

TEST(ExpandCommand, PlaceholderReplacedOnlyWhereTheWordFitsAndConverts) {
  const struct Case { std::string command, word; bool url, utf8; std::string want; } cases[] = {
      {"search?q=%1&lang=%1", "a b", true, false, "search?q=a+b&lang=%1"}, {"%%1", "x", false, false, "%x"},
      {"notepad.exe", "anything at all", true, true, "notepad.exe"},        {"end%1", "w", false, false, "endw"},
      {"%1", "notepad c:\\a.txt", false, false, "notepad c:\\a.txt"},     {"q=%1", "", true, true, "q="},
      {"%1", "表 ｶ", false, true, "表 ｶ"},  // UTF-8 without encoding: left Shift-JIS
      {"q=%1", "表", true, false, "q=%95%5C"}, {"q=%1", "表", true, true, "q=%3C%95%5C%3E"},  // converted, then encoded
      {"%1%1", "%1", false, false, "%1%1"},  // the word itself is never searched again
      {"", "w", true, true, ""}};
  for (const Case& c : cases) {
    std::string out = "untouched";
    ASSERT_TRUE(ExpandCommand({"name", c.command, c.url, c.utf8}, c.word, &out, &Marked)) << c.command << c.word;
    EXPECT_EQ(out, c.want) << c.command << " / " << c.word;
  }
  // A word too long for the box, or one that fails to convert, expands nothing.
  for (bool utf8 : {false, true}) {
    std::string out = "untouched";
    EXPECT_FALSE(ExpandCommand({"n", "q=%1", true, utf8}, std::string(260, 'w'), &out, &Marked));
    EXPECT_EQ(out, "untouched");
    EXPECT_TRUE(ExpandCommand({"n", "q=%1", true, utf8}, std::string(259, 'w'), &out, &Marked));
  }
  auto failing = [](std::string_view, std::string*) { return false; };
  for (Cp932ToUtf8Fn convert : {static_cast<Cp932ToUtf8Fn>(failing), static_cast<Cp932ToUtf8Fn>(nullptr)}) {
    std::string out = "untouched";
    EXPECT_FALSE(ExpandCommand({"n", "%1", true, true}, "表", &out, convert));
    EXPECT_EQ(out, "untouched");
  }
}
