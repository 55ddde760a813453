#include "search/Matching.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/Cp932.h"

using namespace tarn;

namespace {

AppEntryList MakeEntries(const std::vector<std::string>& names) {
  AppEntryList list;
  for (std::size_t i = 0; i < names.size(); ++i) {
    list.push_back({names[i], "C:\\Apps\\" + std::to_string(i) + ".exe", static_cast<int32_t>(i)});
  }
  return list;
}

std::vector<std::string> NamesAt(const AppEntryList& list, const MatchList::Positions& at) {
  std::vector<std::string> names;
  for (int32_t i : at) names.push_back(list[static_cast<std::size_t>(i)].DispName);
  return names;
}

std::string Folded(std::string s) {
  NormalizeForMatch(s);
  return s;
}

}  // namespace

TEST(NormalizeForMatch, FoldsCaseAndWidth) {
  struct Case { std::string in; std::string out; };
  const Case cases[] = {
      {"", ""},
      {"ABC", "ａｂｃ"},
      {"abc", "ａｂｃ"},
      {"ＡＢＣ", "ａｂｃ"},
      {"ａｂｃ", "ａｂｃ"},
      {"Ab1 .\\", "ａｂ１　．＼"},
      {"ΑΒΩαω", "αβωαω"},             // Greek
      {"АЁНОЯя", "аёнояя"},           // Cyrillic: lower case steps over 84 7F
      {"ｶﾞ", "ガ"},
      {"ﾊﾞﾊﾟﾎﾟ", "バパポ"},
      {"ｳﾞｨ", "ヴィ"},
      {"ｶﾟ", "カ゜"},                  // no semi-voiced ka: the mark stays
      {"ｱﾞﾐﾞﾜﾞ", "ア゛ミ゛ワ゛"},       // no voiced form: never another kana
      {"ﾞｶ", "゛カ"},
      {"ｰｯｧ｡｢｣", "ーッァ。「」"},
      {"が", "が"},                    // hiragana stays hiragana
      {"ア", "ア"},                    // 83 41: the trail byte is no 'A'
      {"表ソ", "表ソ"},                // 5C trail bytes are no '\'
      {"ab\x81", "ａｂ\x81"},          // lead byte standing last
      {"\x01\x7F\x80\xA0\xFD", "\x01\x7F\x80\xA0\xFD"},  // no full-width form
  };
  for (const Case& c : cases) {
    std::string s = c.in;
    EXPECT_TRUE(NormalizeForMatch(s)) << c.in;
    EXPECT_EQ(s, c.out) << c.in;
  }
}

TEST(NormalizeForMatch, KanaTurnsHiraganaIntoKatakana) {
  struct Case { std::string in; std::string out; };
  const Case cases[] = {
      {"めも帳", "メモ帳"},
      {"ぁあみむゎわゐゑをん", "ァアミムヮワヰヱヲン"},  // ミ 83 7E, ム 83 80: over 7F
      {"ｶﾞｲﾄﾞ がいど", "ガイド　ガイド"},
      {"ゝゞヽヾ", "ヽヾヽヾ"},
      {"ーっゃｰｯｬ", "ーッャーッャ"},  // long vowel mark and small kana stay themselves
      {"ヴヵヶ表Ab", "ヴヵヶ表ａｂ"},
  };
  for (const Case& c : cases) {
    std::string s = c.in;
    EXPECT_TRUE(NormalizeForMatch(s, true)) << c.in;
    EXPECT_EQ(s, c.out) << c.in;
  }
}

TEST(NormalizeForMatch, InvalidTrailByteLeavesTextAlone) {
  const std::string cases[] = {"a\x81\x20" "b", "ABC\x81\x7F", "\x95\x3F", "\xFC\xFD", "ｶﾞ\xE0\x0A"};
  for (const std::string& in : cases) {
    std::string s = in;
    EXPECT_FALSE(NormalizeForMatch(s)) << in;
    EXPECT_EQ(s, in);
  }
}

TEST(NormalizeForMatch, BufferIsReusedAcrossNames) {
  CMatchNormalizer n;
  EXPECT_EQ(n.Normalize(std::string(300, 'A')), Folded(std::string(300, 'a')));
  EXPECT_EQ(n.Normalize("Ab"), "ａｂ");
  bool ok = true;
  EXPECT_EQ(n.Normalize("x\x81\x20"), "x\x81\x20");
  n.Normalize("x\x81\x20", &ok);
  EXPECT_FALSE(ok);
}

TEST(SelectMatchMode, ReadsOneModeCharacter) {
  struct Case { std::string word; MatchMode mode; std::string text; };
  const Case cases[] = {
      {"abc", MatchMode::Substring, "abc"},
      {"^abc", MatchMode::Prefix, "abc"},
      {"^abc$", MatchMode::Prefix, "abc$"},
      {"\\excel", MatchMode::Exact, "excel"},
      {"*xl", MatchMode::InOrder, "xl"},
      {"abc$", MatchMode::Suffix, "abc"},
      {"$abc", MatchMode::Substring, "$abc"},
      {"^", MatchMode::Prefix, ""},
      {"$", MatchMode::Suffix, ""},
      {"＾abc", MatchMode::Substring, "＾abc"},  // full-width forms are plain characters
      {"abc＄", MatchMode::Substring, "abc＄"},
      {"表", MatchMode::Substring, "表"},
  };
  for (const Case& c : cases) {
    const ModedWord m = SelectMatchMode(c.word);
    EXPECT_EQ(m.Mode, c.mode) << c.word;
    EXPECT_EQ(std::string(m.Text), c.text) << c.word;
  }
}

TEST(MatchInOrder, FindsCharactersInOrder) {
  struct Case { std::string n; std::string w; bool match; };
  const Case cases[] = {
      {"internet explorer", "ie", true},
      {"excel", "xl", true},
      {"index", "xl", false},
      {"abc", "", true},
      {"", "a", false},
      {"abc", "ca", false},
      {"aab", "ab", true},
      {"表示", "示", true},
      {"表", "\x5C", false},          // a trail byte is not a character
      {"ab\x81", "\x81", true},
      {"\x81\x40", "\x81", false},
  };
  for (const Case& c : cases) EXPECT_EQ(MatchInOrder(c.n, c.w), c.match) << c.n << " / " << c.w;
}

class FilterTest : public ::testing::Test {
 protected:
  AppEntryList entries = MakeEntries({
      "Excel", "Index", "excel", "EXCEL", "Excel 2003", "Internet Explorer",
      "abc", "ＡＢＣ", "ａｂｃ", "xabc", "abc$def", "x$abcx", "ゲーム ガイド", "がいど", "ｶﾞｲﾄﾞ",
      "def",
  });
  MatchList::Positions matches;

  std::vector<std::string> Search(const std::string& word) {
    EXPECT_TRUE(FilterEntries(entries, word, matches)) << word;
    return NamesAt(entries, matches);
  }
};

TEST_F(FilterTest, EachModeSelectsItsNames) {
  using V = std::vector<std::string>;
  struct Case { std::string word; V names; };
  const Case cases[] = {
      {"^ex", {"Excel", "excel", "EXCEL", "Excel 2003"}},
      {"\\excel", {"Excel", "excel", "EXCEL"}},
      {"el$", {"Excel", "excel", "EXCEL"}},
      {"*xl", {"Excel", "excel", "EXCEL", "Excel 2003", "Internet Explorer"}},
      {"*ie", {"Index", "Internet Explorer"}},
      {"*ip", {"Internet Explorer"}},
      {"ABC", {"abc", "ＡＢＣ", "ａｂｃ", "xabc", "abc$def", "x$abcx"}},
      {"\\ａｂｃ", {"abc", "ＡＢＣ", "ａｂｃ"}},
      {"^abc$", {"abc$def"}},
      {"abc$", {"abc", "ＡＢＣ", "ａｂｃ", "xabc"}},
      {"$abc", {"x$abcx"}},
      {"ｶﾞ", {"ゲーム ガイド", "ｶﾞｲﾄﾞ"}},
      {"ガイド", {"ゲーム ガイド", "ｶﾞｲﾄﾞ"}},
      {"がいど", {"がいど"}},
      {"abcdef$", {}},                       // longer than every name ending so
      {"Apps", {}},                          // only in FullPath
      {"nothing", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(Search(c.word), c.names) << c.word;
}

TEST_F(FilterTest, EmptyWordSelectsEverythingInOrder) {
  Search("xyz");
  Search("");
  ASSERT_EQ(matches.size(), entries.size());
  for (std::size_t i = 0; i < matches.size(); ++i) EXPECT_EQ(matches[i], static_cast<int32_t>(i));
}

TEST_F(FilterTest, ModeCharacterAloneKeepsPreviousMatches) {
  for (const std::string word : {"^", "\\", "*", "$"}) {
    const std::vector<std::string> before = Search("exc");
    ASSERT_EQ(before.size(), 4u);
    EXPECT_FALSE(FilterEntries(entries, word, matches)) << word;
    EXPECT_EQ(NamesAt(entries, matches), before) << word;
  }
}

TEST_F(FilterTest, MatchesArePositionsOfTheRecords) {
  Search("\\EXCEL");
  EXPECT_EQ(matches, (MatchList::Positions{0, 2, 3}));
}

TEST_F(FilterTest, ShrinkingAndGrowingResultsStayExact) {
  // Records are overwritten in place; a smaller result must not keep old tails.
  EXPECT_EQ(Search("e").size(), 8u);
  EXPECT_EQ(Search("\\def"), std::vector<std::string>{"def"});
  EXPECT_EQ(Search("*ip"), std::vector<std::string>{"Internet Explorer"});
  EXPECT_EQ(Search("a").size(), 6u);
  EXPECT_EQ(entries[static_cast<std::size_t>(matches[5])].DispName, "x$abcx");
}

TEST(Filter, DuplicatesAreKept) {
  AppEntryList entries = {{"edit", "C:\\edit.exe", 0}, {"edit", "C:\\edit.exe", 1}, {"other", "C:\\o.exe", 2}};
  MatchList::Positions matches;
  ASSERT_TRUE(FilterEntries(entries, "edi", matches));
  EXPECT_EQ(matches, (MatchList::Positions{0, 1}));
}

TEST(Filter, ComparesByCharacters) {
  // Raw (invalid, so unfolded) words and names whose bytes line up across a
  // character boundary; and lead bytes standing last.
  struct Case { std::string name; std::string word; bool match; };
  const Case cases[] = {
      {"abc\x81\x20", "\x81\x20", true},        // both invalid: compared as they are
      {"abc\x81\x20", "abc", false},            // a folded word against a raw name
      {"\x83\x41\x83\x20", "A\x83\x20", false},  // occurs from inside a character only
      {"\x83\x41\x83\x20", "A\x83\x20$", false},
      {"\x83\x41\x83\x20", "*A\x83\x20", false},
      {"\x41\x83\x20", "A\x83\x20$", true},
      {"ab\x81", "\x81", true},                 // lone lead matches a lone lead
      {"\x81\x40x", "\x81", false},             // not the first half of 81 40
      {"\x81\x40", "^\x81", false},
      {"\x81", "^\x81", true},
      {"\x81\x40", "\\\x81\x40", true},
      {"x\x81", "\x81$", true},
      {"表", "*\x95", false},                  // a lone lead is not the first half of 95 5C
      {"表", "\x95", false},
      {"ソフト表", "表$", true},
      {"ソフト表", "^ソ", true},
  };
  for (const Case& c : cases) {
    AppEntryList entries = {{c.name, "C:\\x.exe", 0}};
    MatchList::Positions matches;
    ASSERT_TRUE(FilterEntries(entries, c.word, matches)) << c.word;
    EXPECT_EQ(matches.size(), c.match ? 1u : 0u) << "name " << c.name << " word " << c.word;
  }
}

TEST(Filter, SuffixLongerThanNameNeverMatches) {
  AppEntryList entries = {{"de", "C:\\de.exe", 0}, {"", "C:\\.exe", 1}};
  MatchList::Positions matches;
  for (const std::string word : {"cde$", "de$", "e$"}) {
    ASSERT_TRUE(FilterEntries(entries, word, matches));
    EXPECT_EQ(matches.size(), word == "cde$" ? 0u : 1u) << word;
  }
}

bool Finds(const std::string& word, const std::string& name, bool kana = true) {
  MatchList::Positions matches;
  FilterEntries({{name, "C:\\x.exe", 0}}, word, matches, {kana});
  return matches.size() == 1;
}

TEST(Romaji, EachSpellingFamilyReadsAsItsKana) {
  // Exact words: the whole reading and nothing more.
  const std::pair<std::string, std::string> cases[] = {
      {"kamera", "カメラ"}, {"KaMeRa", "ｶﾒﾗ"}, {"kamera", "かめら"}, {"gaido", "がいど"},
      {"kyoutsuu", "キョウツウ"}, {"shisici", "シシシ"}, {"chiti", "チチ"}, {"tsutu", "ツツ"},
      {"fuhu", "フフ"}, {"jizi", "ジジ"}, {"jizu", "ヂヅ"}, {"jajyazya", "ジャジャジャ"},
      {"shasya", "シャシャ"}, {"chotyocyo", "チョチョチョ"}, {"kyakyukyo", "キャキュキョ"},
      {"gyunyuu", "ギュニュウ"}, {"fairu", "ファイル"}, {"dhisuku", "ディスク"}, {"vaiorin", "ヴァイオリン"},
      {"wo", "ヲ"}, {"wo", "ウォ"}, {"xalaxtultuxtsu", "ァァッッッ"}, {"xyalyoxwaxkalke", "ャョヮヵヶ"},
      {"kitte", "キッテ"}, {"matcha", "マッチャ"}, {"zasshi", "ザッシ"}, {"kanji", "カンジ"},
      {"kan'i", "カンイ"}, {"honnya", "ホンヤ"}, {"honnya", "ホンニャ"}, {"konnichiha", "コンニチハ"},
      {"konnichiha", "コンイチハ"}, {"konnnichiha", "コンニチハ"}, {"shimbun", "シンブン"},
      {"samma", "サンマ"}, {"ko-hi-", "コーヒー"}, {"xn", "ン"}, {"tan", "タン"}, {"tan'", "タン"},
  };
  for (const auto& [word, name] : cases) EXPECT_TRUE(Finds("\\" + word, name)) << word << " " << name;

  const std::pair<std::string, std::string> misses[] = {
      {"kyo", "キヨ"}, {"ti", "ティ"}, {"konnnichiha", "コンイチハ"}, {"kamera", "カメラマン"},
      {"kamera", "カメ"}, {"memo", "メモ帳"}, {"ka-", "カ－"},
  };
  for (const auto& [word, name] : misses) EXPECT_FALSE(Finds("\\" + word, name)) << word << " " << name;
  EXPECT_FALSE(Finds("\\kamera", "カメラ", false));
}

TEST(Romaji, EveryRowReadsAsOneSyllableOfWholeKana) {
  for (std::size_t k = 0; k < kRomajiRowCount; ++k) {
    KanaReading r;
    ASSERT_TRUE(ReadRomaji(kRomajiRows[k].Romaji, r)) << kRomajiRows[k].Romaji;
    EXPECT_EQ(r.Syllables.size(), 1u) << kRomajiRows[k].Romaji;
    const std::size_t bytes = 2 * std::u16string_view(kRomajiRows[k].Kana).size();
    EXPECT_TRUE(std::any_of(r.Spellings.begin(), r.Spellings.end(), [&](auto& s) { return s.Length == bytes; }));
  }
}

TEST(Romaji, UnfinishedLettersStandForEveryKanaTheyBegin) {
  struct Case { std::string word; std::string name; bool match; };
  const Case cases[] = {
      {"kamer", "カメラ", true},       {"kamer", "カメ", false},        {"\\kamer", "カメリャ", true},
      {"\\kamer", "カメラマン", false}, {"sh", "シャツ", true},         {"ky", "キョウ", true},
      {"ky", "キー", false},           {"kak", "カッコ", true},         {"kak", "カク", true},
      {"\\n", "ン", true},            {"\\n", "ニャ", true},          {"matc", "マッチ", true},
      {"xts", "ッ", true},             {"\\konny", "コンヤ", true},     {"\\konny", "コンニュ", true},
      {"\\shim", "シン", true},       {"^ts", "ツール", true},         {"^ts", "ト", false},
  };
  for (const Case& c : cases) EXPECT_EQ(Finds(c.word, c.name), c.match) << c.word << " " << c.name;
}

TEST(Filter, KanaOptionInEveryMode) {
  const AppEntryList entries = MakeEntries(
      {"メモ帳", "memo.txt", "カメラ", "ｶﾒﾗ", "かめら", "デジカメ", "ガイドブック", "がいど", "Tokyo", "ナンバー"});
  using V = std::vector<std::string>;
  struct Case { std::string word; V off; V on; };
  const Case cases[] = {
      {"memo", {"memo.txt"}, {"メモ帳", "memo.txt"}},
      {"めも", {}, {"メモ帳"}},
      {"^kame", {}, {"カメラ", "ｶﾒﾗ", "かめら"}},
      {"\\kamera", {}, {"カメラ", "ｶﾒﾗ", "かめら"}},
      {"kame$", {}, {"デジカメ"}},
      {"*kara", {}, {"カメラ", "ｶﾒﾗ", "かめら"}},
      {"*mt", {"memo.txt"}, {"memo.txt"}},
      {"ガイド", {"ガイドブック"}, {"ガイドブック", "がいど"}},
      {"gaido", {}, {"ガイドブック", "がいど"}},
      {"nanba-", {}, {"ナンバー"}},
      {"kaメラ", {}, {}},  // not romaji, and not what the names say
      {"tokyo", {"Tokyo"}, {"Tokyo"}},
      {"ka\x81", {}, {}},
      {"ka\x81\x20", {}, {}},
      {"'", {}, {}},
      {"-", {}, {}},
      {std::string(259, 'n'), {}, {}},
  };
  MatchList::Positions matches;
  for (const Case& c : cases) {
    for (bool kana : {false, true}) {
      ASSERT_TRUE(FilterEntries(entries, c.word, matches, {kana}));
      EXPECT_EQ(NamesAt(entries, matches), kana ? c.on : c.off) << c.word << (kana ? " on" : " off");
    }
  }
}

TEST(WordMatcher, QuickTestNeverTurnsAMatchAway) {
  // Every way a name can fold into a double-byte character: each single
  // byte, each lead/trail pair, each kana with either mark. The folded
  // character searched as a word must get past the test on the raw name.
  std::vector<std::string> raws;
  for (int c = 0; c < 256; ++c) {
    raws.push_back(std::string(1, static_cast<char>(c)));
    raws.push_back(std::string(1, static_cast<char>(c)) + "\xDE");
    raws.push_back(std::string(1, static_cast<char>(c)) + "\xDF");
    for (int t = 0x40; t <= 0xFC; ++t) {
      if (IsLeadByte(static_cast<unsigned char>(c))) raws.push_back({static_cast<char>(c), static_cast<char>(t)});
    }
  }
  int checked = 0;
  for (const std::string& raw : raws) {
    for (bool kana : {false, true}) {
      std::string folded = raw;
      if (!NormalizeForMatch(folded, kana)) continue;
      for (std::size_t i = 0; i < folded.size(); i = NextChar(folded, i)) {
        if (CharLength(folded, i) != 2) continue;
        const std::string word = folded.substr(i, 2);
        for (MatchMode mode : {MatchMode::Substring, MatchMode::InOrder, MatchMode::Prefix}) {
          const CWordMatcher m(mode, word, kana);
          if (!m.Matches(folded)) continue;
          ++checked;
          EXPECT_TRUE(m.MayMatchRaw(raw)) << "raw " << raw << " word " << word;
        }
      }
    }
  }
  EXPECT_GT(checked, 20000);
}
