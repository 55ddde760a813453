#include "search/Readings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "search/Matching.h"
#include "support/ReadingFile.h"

using namespace tarn;

namespace {

const std::string& TableBytes() { return test::SourceReadingBytes(); }

const CReadingTable& Table() {
  EXPECT_TRUE(test::SourceReadingTable().IsOpen());
  return test::SourceReadingTable();
}

// The same records without their readings.
AppEntryList MakeNamesOnly(AppEntryList entries) {
  SetReadings(entries, nullptr);
  return entries;
}

}  // namespace

TEST(Readings, RealNamesReadAsPeopleSayThem) {
  const struct Case { const char* name; const char* reading; } cases[] = {
      {"電卓", "デンタク"}, {"設定", "セッテイ"}, {"付箋", "フセン"}, {"拡大鏡", "カクダイキョウ"},
      {"文字コード表", "モジコードヒョウ"}, {"システム情報", "システムジョウホウ"}, {"メモ帳", "メモチョウ"},
      {"秀丸エディタ", "ヒデマルエディタ"}, {"一太郎 2024", "イチタロウ 2024"}, {"弥生会計 24", "ヤヨイカイケイ 24"},
      {"切り取り領域とスケッチ", "キリトリリョウイキとスケッチ"}, {"新しいフォルダー", "アタラシイフォルダー"},
      {"ごみ箱", "ごみバコ"}, {"画面キーボード", "ガメンキーボード"}, {"東京都", "トウキョウト"}, {"休む", "ヤスム"},
      {"帳簿", "チョウボ"}, {"帳", "トバリ"}, {"Excel 表", "Excel ヒョウ"},  // after a space a kanji is a word again
      {"娃 ﾒﾓ", "娃 ﾒﾓ"}, {"娃電卓", "娃デンタク"}};  // a kanji the table lacks stays as written
  for (const Case& c : cases) {
    std::string reading;
    const bool read = Table().Read(c.name, reading);
    EXPECT_EQ(read ? reading : std::string(c.name), c.reading) << c.name;
  }
}

TEST(Readings, FoundByTheirReadingInEveryModeWithKanaOnly) {
  AppEntryList entries;
  for (const char* n : {"電卓", "弥生会計 24", "メモ帳", "設定", "付箋", "Dentaku Pro", "娃", "東京都"})
    entries.push_back({n, std::string("C:\\") + n + ".lnk", static_cast<int32_t>(entries.size())});
  SetReadings(entries, &Table());
  const struct Case { const char* word; std::vector<int32_t> on; } cases[] = {
      {"dentaku", {0, 5}}, {"\\dentaku", {0}}, {"^dentaku", {0, 5}}, {"*dnt", {0, 5}}, {"でんたく", {0}},
      {"デンタク", {0}},   {"ﾃﾞﾝﾀｸ", {0}},       {"^yayoi", {1}},       {"24$", {1}}, {"chou$", {2}},
      {"memochou", {2}},   {"*mmc", {2}},        {"settei", {3}},       {"fusen", {4}},      {"電卓", {0}},
      {"takuden", {}},     {"娃", {6}},          {"\\chou", {}}, {"\\tokyoto", {7}}};
  MatchList::Positions matches;
  for (const Case& c : cases) {
    for (bool kana : {false, true}) {
      ASSERT_TRUE(FilterEntries(entries, c.word, matches, {kana})) << c.word;
      std::vector<int32_t> off;
      if (!kana) FilterEntries(MakeNamesOnly(entries), c.word, off, {false});
      EXPECT_EQ(matches, kana ? c.on : off) << c.word << (kana ? " on" : " off");
    }
  }
  entries[0].DispName = "電\xFF卓";  // read again to a reading not all double-byte: none
  SetReadings(entries, &Table());
  EXPECT_TRUE(entries.ReadingOf(entries[0]).empty());
}

TEST(Readings, BadNamesAndDamagedTablesReadNothingWrong) {
  std::string reading;
  const std::string longName = std::string(255, 'a') + "電卓";  // 259 bytes
  EXPECT_TRUE(Table().Read(longName, reading) && reading == std::string(255, 'a') + "デンタク");
  // A reading over 255 bytes keeps its length; one over 65 535 is left out.
  for (std::size_t n : {40u, 9000u}) {
    AppEntryList big{{"", "C:\\x.lnk", 0}};
    for (std::size_t i = 0; i < n; ++i) big[0].DispName += "電卓";
    SetReadings(big, &Table());
    EXPECT_EQ(big.ReadingOf(big[0]).size(), n < 8000 ? 8 * n : 0) << n;
  }
  // Invalid text is never read; stray single bytes and a lead byte standing last are kept as they are.
  const std::pair<std::string, std::string> bads[] = {
      {"電卓\x81\x20", ""}, {"\x93\x64\x91", "デン\x91"}, {"電\xFF卓", "デン\xFFタク"},
      {std::string("\x93\x64\0\x91\xEC", 5), std::string("デン\0タク", 9)}};
  for (const auto& [bad, want] : bads) EXPECT_TRUE(Table().Read(bad, reading) == !want.empty() && reading == want) << bad;
  const std::string& good = TableBytes();
  std::string flipped = good, counted = good;
  flipped[good.size() / 2] ^= 1;
  counted[8] ^= 1;
  std::string twice = good;  // a group's code twice, with a checksum made right again
  twice.replace(28, 2, good.substr(20, 2));
  uint32_t h = 2166136261u;
  for (std::size_t i = 20; i < twice.size(); ++i) h = (h ^ static_cast<unsigned char>(twice[i])) * 16777619u;
  for (int k = 0; k < 4; ++k) twice[16 + k] = static_cast<char>(h >> 8 * k);
  for (const std::string& damaged : {std::string(), good.substr(0, 19), good.substr(0, good.size() - 1), flipped,
                                     counted, twice, "TRD2" + good.substr(4)}) {
    CReadingTable table;
    EXPECT_FALSE(table.Open(damaged)) << damaged.size();
    AppEntryList entries{{"電卓", "C:\\電卓.lnk", 0}};
    SetReadings(entries, &Table());
    SetReadings(entries, &table);
    EXPECT_TRUE(!table.Read("電卓", reading) && reading.empty() && entries.ReadingOf(entries[0]).empty());
  }
}
