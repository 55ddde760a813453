#include "search/Matching.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/Cp932.h"

using namespace tarn;

namespace {

using Names = std::vector<std::string>;

AppEntryList MakeEntries(const Names& names) {
  AppEntryList list;
  for (const std::string& n : names) list.push_back({n, "C:\\Apps\\" + n + ".exe", static_cast<int32_t>(list.size())});
  return list;
}

Names NamesAt(const AppEntryList& list, const MatchList::Positions& at) {
  Names names;
  for (int32_t i : at) names.push_back(list[static_cast<std::size_t>(i)].DispName);
  return names;
}

bool Finds(const std::string& word, const std::string& name, bool kana = true) {
  MatchList::Positions matches;
  EXPECT_TRUE(FilterEntries({{name, "C:\\x.exe", 0}}, word, matches, {kana})) << word;
  return matches.size() == 1;
}

}  // namespace

TEST(NormalizeForMatch, FoldsCaseWidthAndWithKanaTheKana) {
  const struct Case { std::string in; bool kana; std::string out; } cases[] = {
      {"ＡＢＣ", false, "ａｂｃ"},        {"Ab1 .\\", false, "ａｂ１　．＼"},
      {"ΑΒΩαω", false, "αβωαω"},        {"АЁНОЯя", false, "аёнояя"},  // Cyrillic lower case steps over 84 7F
      {"ﾊﾞﾊﾟﾎﾟ", false, "バパポ"},        {"ｳﾞｨ", false, "ヴィ"},
      {"ｶﾟ", false, "カ゜"},  // no semi-voiced ka: the mark stays
      {"ｱﾞﾐﾞﾜﾞ", false, "ア゛ミ゛ワ゛"}, {"ﾞｶ", false, "゛カ"},
      {"ｰｯｧ｡｢｣", false, "ーッァ。「」"}, {"が", false, "が"},           // hiragana stays without kana
      {"ア", false, "ア"},               {"表ソ", false, "表ソ"},         // trail bytes 41 and 5C are no 'A', '\'
      {"ab\x81", false, "ａｂ\x81"},     {"\x01\x7F\x80\xA0\xFD", false, "\x01\x7F\x80\xA0\xFD"},
      {"めも帳", true, "メモ帳"},        {"ぁあみむゎわゐゑをん", true, "ァアミムヮワヰヱヲン"},  // ミ 837E, ム 8380
      {"ｶﾞｲﾄﾞ がいど", true, "ガイド　ガイド"}, {"ゝゞヽヾ", true, "ヽヾヽヾ"},
      {"ーっゃｰｯｬ", true, "ーッャーッャ"}, {"ヴヵヶ表Ab", true, "ヴヵヶ表ａｂ"}};
  for (const Case& c : cases) {
    std::string s = c.in;
    EXPECT_TRUE(NormalizeForMatch(s, c.kana) && s == c.out) << c.in << " -> " << s;
  }
  for (const std::string in : {"a\x81\x20" "b", "ABC\x81\x7F", "\x95\x3F", "\xFC\xFD", "ｶﾞ\xE0\x0A"}) {
    std::string s = in;
    EXPECT_TRUE(!NormalizeForMatch(s) && s == in) << in;
  }
  // The reused buffer of the normalizer keeps nothing of a longer name.
  CMatchNormalizer n;
  EXPECT_EQ(n.Normalize(std::string(300, 'A')).size(), 600u);
  EXPECT_EQ(n.Normalize("Ab"), "ａｂ");
  bool ok = true;
  EXPECT_EQ(n.Normalize("x\x81\x20", &ok), "x\x81\x20");
  EXPECT_FALSE(ok);
}

TEST(Filter, EachModeSelectsItsNamesAndResultsStayExact) {
  const AppEntryList entries = MakeEntries({"Excel", "Index", "excel", "EXCEL", "Excel 2003", "Internet Explorer",
                                            "abc", "ＡＢＣ", "ａｂｃ", "xabc", "abc$def", "x$abcx", "ゲーム ガイド",
                                            "がいど", "ｶﾞｲﾄﾞ", "def", "def"});
  MatchList::Positions matches;
  auto search = [&](const std::string& word) {
    EXPECT_TRUE(FilterEntries(entries, word, matches)) << word;
    return NamesAt(entries, matches);
  };
  const struct Case { std::string word; Names names; } cases[] = {
      {"^ex", {"Excel", "excel", "EXCEL", "Excel 2003"}},     {"\\excel", {"Excel", "excel", "EXCEL"}},
      {"el$", {"Excel", "excel", "EXCEL"}},                   {"*ie", {"Index", "Internet Explorer"}},
      {"*xl", {"Excel", "excel", "EXCEL", "Excel 2003", "Internet Explorer"}},
      {"ABC", {"abc", "ＡＢＣ", "ａｂｃ", "xabc", "abc$def", "x$abcx"}},
      {"\\ａｂｃ", {"abc", "ＡＢＣ", "ａｂｃ"}},                {"^abc$", {"abc$def"}},
      {"abc$", {"abc", "ＡＢＣ", "ａｂｃ", "xabc"}},            {"$abc", {"x$abcx"}},
      {"＾abc", {}}, {"abc＄", {"abc$def"}},  // full-width forms are no mode characters
      {"ｶﾞ", {"ゲーム ガイド", "ｶﾞｲﾄﾞ"}},  {"ガイド", {"ゲーム ガイド", "ｶﾞｲﾄﾞ"}}, {"がいど", {"がいど"}},
      {"\\def", {"def", "def"}}, {"abcdef$", {}}, {"Apps", {}},  // duplicates kept; longer than any name; in the path
      {"e", {"Excel", "Index", "excel", "EXCEL", "Excel 2003", "Internet Explorer", "abc$def", "def", "def"}},
      {"*ip", {"Internet Explorer"}}};  // after a longer result: no old tail is kept
  for (const Case& c : cases) EXPECT_EQ(search(c.word), c.names) << c.word;
  // A mode character alone keeps the previous matches.
  for (const std::string word : {"^", "\\", "*", "$"}) {
    const Names before = search("exc");
    EXPECT_FALSE(FilterEntries(entries, word, matches)) << word;
    EXPECT_EQ(NamesAt(entries, matches), before) << word;
  }
}

TEST(Filter, ComparesByCharacters) {
  // Raw (invalid, so unfolded) words and names whose bytes line up across a
  // character boundary, lead bytes standing last, words longer than names.
  const struct Case { std::string name, word; bool match; } cases[] = {
      {"abc\x81\x20", "\x81\x20", true}, {"abc\x81\x20", "abc", false},  // folded word, raw name
      {"\x83\x41\x83\x20", "A\x83\x20", false}, {"\x83\x41\x83\x20", "A\x83\x20$", false},  // from inside a character
      {"\x83\x41\x83\x20", "*A\x83\x20", false}, {"\x41\x83\x20", "A\x83\x20$", true}, {"ab\x81", "\x81", true},
      {"\x81\x40x", "\x81", false}, {"\x81\x40", "^\x81", false}, {"\x81", "^\x81", true},
      {"x\x81", "\x81$", true}, {"表", "*\x95", false}, {"表", "\x95", false},  // no first half of 95 5C
      {"ソフト表", "表$", true}, {"ソフト表", "^ソ", true}, {"de", "cde$", false}, {"de", "e$", true}, {"", "e$", false},
      {"abc", "*ca", false}, {"aab", "*ab", true}, {"表示", "*示", true}, {"ab\x81", "*\x81", true},
      {"\x81\x40", "*\x81", false}, {"\x81\x40", "\\\x81\x40", true},
      {"aab≠", "≠≠", false}};  // folded 82 81 82 81 82 82 81 82: 81 82 81 82 only at an odd offset
  for (const Case& c : cases) EXPECT_EQ(Finds(c.word, c.name, false), c.match) << "name " << c.name << " word " << c.word;
}

TEST(Romaji, EachSpellingReadsAsItsKanaAndUnfinishedLettersAsAnyTheyBegin) {
  const std::pair<std::string, std::string> hits[] = {
      {"kamera", "カメラ"}, {"KaMeRa", "ｶﾒﾗ"}, {"kyoutsuu", "キョウツウ"}, {"shisici", "シシシ"},
      {"chiti", "チチ"}, {"tsutu", "ツツ"}, {"fuhu", "フフ"}, {"jizi", "ジジ"}, {"jizu", "ヂヅ"},
      {"jajyazya", "ジャジャジャ"}, {"shasya", "シャシャ"}, {"chotyocyo", "チョチョチョ"}, {"kyakyukyo", "キャキュキョ"},
      {"gyunyuu", "ギュニュウ"}, {"fairu", "ファイル"}, {"kitte", "キッテ"}, {"kanji", "カンジ"}, {"samma", "サンマ"},
      {"dhisuku", "ディスク"}, {"vaiorin", "ヴァイオリン"}, {"wo", "ヲ"}, {"wo", "ウォ"},
      {"xalaxtultuxtsu", "ァァッッッ"}, {"xyalyoxwaxkalke", "ャョヮヵヶ"}, {"matcha", "マッチャ"}, {"zasshi", "ザッシ"},
      {"kan'i", "カンイ"}, {"honnya", "ホンヤ"}, {"honnya", "ホンニャ"}, {"konnichiha", "コンニチハ"},
      {"konnichiha", "コンイチハ"}, {"konnnichiha", "コンニチハ"}, {"shimbun", "シンブン"}, {"tempura", "テンプラ"},
      {"sampuru", "サンプル"}, {"ko-hi-", "コーヒー"}, {"xn", "ン"}, {"tan", "タン"}, {"tan'", "タン"}};
  for (const auto& [word, name] : hits) EXPECT_TRUE(Finds("\\" + word, name)) << word << " " << name;
  const std::pair<std::string, std::string> misses[] = {
      {"kyo", "キヨ"}, {"konnnichiha", "コンイチハ"}, {"kamera", "カメラマン"},
      {"kamera", "カメ"}, {"memo", "メモ帳"}, {"ka-", "カ－"}};
  for (const auto& [word, name] : misses) EXPECT_FALSE(Finds("\\" + word, name)) << word << " " << name;
  // Every row of the table reads as one syllable, one of whose spellings is its whole kana in the
  // bytes the compiler makes of the same katakana (ァ to ヶ, then ー).
  const std::string katakana = "ァアィイゥウェエォオカガキギクグケゲコゴサザシジスズセゼソゾタダチヂッツヅテデトドナニ"
                               "ヌネノハバパヒビピフブプヘベペホボポマミムメモャヤュユョヨラリルレロヮワヰヱヲンヴヵヶー";
  for (std::size_t k = 0; k < kRomajiRowCount; ++k) {
    KanaReading r;
    ASSERT_TRUE(ReadRomaji(kRomajiRows[k].Romaji, r)) << kRomajiRows[k].Romaji;
    EXPECT_EQ(r.Syllables.size(), 1u) << kRomajiRows[k].Romaji;
    std::string kana;
    for (char16_t c : std::u16string_view(kRomajiRows[k].Kana))
      kana += katakana.substr(c == u'ー' ? katakana.size() - 2 : 2 * static_cast<std::size_t>(c - u'ァ'), 2);
    EXPECT_TRUE(std::any_of(r.Spellings.begin(), r.Spellings.end(), [&](auto& s) { return r.SpellingText(s) == kana; }))
        << kRomajiRows[k].Romaji;
  }
  // Unfinished letters stand for every kana they begin.
  const struct Case { std::string word, name; bool match; } cases[] = {
      {"kamer", "カメラ", true},       {"kamer", "カメ", false},      {"\\kamer", "カメリャ", true},
      {"\\kamer", "カメラマン", false}, {"sh", "シャツ", true},       {"ky", "キョウ", true},
      {"ky", "キー", false},           {"kak", "カッコ", true},       {"kak", "カク", true},
      {"\\n", "ン", true},            {"\\n", "ニャ", true},         {"matc", "マッチ", true},
      {"xts", "ッ", true},             {"\\konny", "コンヤ", true},   {"\\konny", "コンニュ", true},
      {"\\shim", "シン", true},       {"^ts", "ツール", true},       {"^ts", "ト", false}};
  for (const Case& c : cases) EXPECT_EQ(Finds(c.word, c.name), c.match) << c.word << " " << c.name;
}

TEST(Romaji, LongVowelsAndLoanwordSpellingsInEveryMode) {
  // Each word spells its whole name, so every mode finds it.
  const std::vector<std::pair<std::string, std::string>> families[] = {
      {{"konpyu-ta-", "コンピューター"}, {"konpyuutaa", "コンピューター"}, {"konpyuta", "コンピューター"},
       {"kohi", "コーヒー"}, {"koohii", "コーヒー"}, {"tokyo", "トウキョウ"}, {"toukyou", "とうきょう"},
       {"tookyoo", "トウキョウ"}, {"yubin", "ゆうびん"}, {"tsuushin", "ツーシン"}, {"meru", "メール"},
       {"so", "ソウー"}, {"ko-o", "コーウ"}},
      {{"disuku", "ディスク"}, {"edita", "エディター"}, {"tiketto", "ティケット"}, {"tu", "トゥ"}, {"du", "ドゥ"},
       {"dyuo", "デュオ"}, {"tyuba", "テューバ"}, {"fyu", "フュ"}, {"shejeche", "シェジェチェ"},
       {"wiwewo", "ウィウェウォ"}, {"vavivuvevo", "ヴァヴィヴヴェヴォ"}, {"tsa", "ツァ"}},
      {{"honyaku", "ホンヤク"}, {"kinen", "キンエン"}, {"kanyu", "カンユウ"}, {"kanyu", "カニュ"}}};
  for (const auto& family : families)
    for (const auto& [w, name] : family)
      for (const std::string& word : {"\\" + w, "^" + w, w + "$", w, "*" + w})
        EXPECT_TRUE(Finds(word, name)) << word << " " << name;
  const std::pair<std::string, std::string> misses[] = {
      {"\\kaki", "カウキ"}, {"\\kiki", "キウキ"}, {"\\kai", "カー"}, {"\\koohi", "コオオヒ"},
      {"^kanyu", "カンニュ"}, {"ko-hi$", "コウヒ"}, {"\\kana", "カンナ"}};
  for (const auto& [word, name] : misses) EXPECT_FALSE(Finds(word, name)) << word << " " << name;
  // In progress, the long vowel the word has not reached yet.
  for (const std::string word : {"^tami", "^tam", "^taam", "^ta-m", "*tanaru"}) EXPECT_TRUE(Finds(word, "ターミナル")) << word;
  EXPECT_TRUE(Finds("^hony", "ホンヤク"));
}

TEST(Romaji, DictionaryWordsFindThemselvesHoweverLongVowelsAreTyped) {
  // Each line: a word, then its input-method, loanword-without-long-vowels
  // and vowel-again spellings; their first letters find it as a prefix.
  std::ifstream in(TARN_KANA_WORDS);
  int words = 0;
  for (std::string line; std::getline(in, line); ++words) {
    std::istringstream fields(line);
    std::string name, spelling;
    std::getline(fields, name, '\t');
    while (std::getline(fields, spelling, '\t')) {
      EXPECT_TRUE(Finds("\\" + spelling, name)) << spelling << " " << name;
      for (std::size_t n = 1; n < std::min<std::size_t>(spelling.size(), 6); ++n)
        if (!Finds("^" + spelling.substr(0, n), name)) ADD_FAILURE() << spelling.substr(0, n) << " " << name;
    }
  }
  EXPECT_GT(words, 2000);
}

TEST(Filter, KanaOptionInEveryMode) {
  const AppEntryList entries = MakeEntries(
      {"メモ帳", "memo.txt", "カメラ", "ｶﾒﾗ", "かめら", "デジカメ", "ガイドブック", "がいど", "Tokyo", "ナンバー", "とうきょう", "コーヒー"});
  const Names cameras = {"カメラ", "ｶﾒﾗ", "かめら"};
  const struct Case { std::string word; Names off, on; } cases[] = {
      {"memo", {"memo.txt"}, {"メモ帳", "memo.txt"}}, {"めも", {}, {"メモ帳"}},
      {"^kame", {}, cameras},  {"\\kamera", {}, cameras}, {"kame$", {}, {"デジカメ"}}, {"*kara", {}, cameras},
      {"*mt", {"memo.txt"}, {"memo.txt"}}, {"ガイド", {"ガイドブック"}, {"ガイドブック", "がいど"}},
      {"gaido", {}, {"ガイドブック", "がいど"}}, {"nanba-", {}, {"ナンバー"}},
      {"kaメラ", {}, {}},  // not romaji, and not what the names say
      {"tokyo", {"Tokyo"}, {"Tokyo", "とうきょう"}}, {"kohi", {}, {"コーヒー"}}, {"ka\x81", {}, {}}, {"ka\x81\x20", {}, {}}, {"'", {}, {}}, {"-", {}, {}},
      {std::string(259, 'n'), {}, {}}};
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
    const char b = static_cast<char>(c);
    raws.insert(raws.end(), {std::string(1, b), std::string(1, b) + "\xDE", std::string(1, b) + "\xDF"});
    for (int t = 0x40; IsLeadByte(b) && t <= 0xFC; ++t) raws.push_back({b, static_cast<char>(t)});
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
