#include "search/Romaji.h"

#include <algorithm>

namespace tarn {

// Rows are grouped by consonant; within a group the plain syllables first,
// then the combinations with small ya, yu, yo and the loanword forms.
const RomajiRow kRomajiRows[] = {
    {"a", "ア"}, {"i", "イ"}, {"u", "ウ"}, {"e", "エ"}, {"o", "オ"},
    {"yi", "イ"}, {"wu", "ウ"}, {"whu", "ウ"}, {"ye", "イェ"},

    {"ka", "カ"}, {"ki", "キ"}, {"ku", "ク"}, {"ke", "ケ"}, {"ko", "コ"},
    {"ca", "カ"}, {"cu", "ク"}, {"co", "コ"}, {"qu", "ク"},
    {"kya", "キャ"}, {"kyi", "キィ"}, {"kyu", "キュ"}, {"kye", "キェ"}, {"kyo", "キョ"},
    {"qa", "クァ"}, {"qi", "クィ"}, {"qe", "クェ"}, {"qo", "クォ"},
    {"kwa", "クァ"}, {"qwa", "クァ"}, {"qwi", "クィ"}, {"qwu", "クゥ"}, {"qwe", "クェ"}, {"qwo", "クォ"},
    {"qya", "クャ"}, {"qyu", "クュ"}, {"qyo", "クョ"},

    {"ga", "ガ"}, {"gi", "ギ"}, {"gu", "グ"}, {"ge", "ゲ"}, {"go", "ゴ"},
    {"gya", "ギャ"}, {"gyi", "ギィ"}, {"gyu", "ギュ"}, {"gye", "ギェ"}, {"gyo", "ギョ"},
    {"gwa", "グァ"}, {"gwi", "グィ"}, {"gwu", "グゥ"}, {"gwe", "グェ"}, {"gwo", "グォ"},

    {"sa", "サ"}, {"shi", "シ"}, {"si", "シ"}, {"su", "ス"}, {"se", "セ"}, {"so", "ソ"},
    {"ci", "シ"}, {"ce", "セ"},
    {"sha", "シャ"}, {"shu", "シュ"}, {"she", "シェ"}, {"sho", "ショ"},
    {"sya", "シャ"}, {"syi", "シィ"}, {"syu", "シュ"}, {"sye", "シェ"}, {"syo", "ショ"},
    {"swa", "スァ"}, {"swi", "スィ"}, {"swu", "スゥ"}, {"swe", "スェ"}, {"swo", "スォ"},

    {"za", "ザ"}, {"ji", "ジ"}, {"zi", "ジ"}, {"zu", "ズ"}, {"ze", "ゼ"}, {"zo", "ゾ"},
    {"ja", "ジャ"}, {"ju", "ジュ"}, {"je", "ジェ"}, {"jo", "ジョ"},
    {"jya", "ジャ"}, {"jyi", "ジィ"}, {"jyu", "ジュ"}, {"jye", "ジェ"}, {"jyo", "ジョ"},
    {"zya", "ジャ"}, {"zyi", "ジィ"}, {"zyu", "ジュ"}, {"zye", "ジェ"}, {"zyo", "ジョ"},
    // Hepburn spells ぢ and づ like じ and ず.
    {"ji", "ヂ"}, {"zu", "ヅ"},

    {"ta", "タ"}, {"chi", "チ"}, {"ti", "チ"}, {"tsu", "ツ"}, {"tu", "ツ"}, {"te", "テ"}, {"to", "ト"},
    {"cha", "チャ"}, {"chu", "チュ"}, {"che", "チェ"}, {"cho", "チョ"},
    {"tya", "チャ"}, {"tyi", "チィ"}, {"tyu", "チュ"}, {"tye", "チェ"}, {"tyo", "チョ"},
    {"cya", "チャ"}, {"cyi", "チィ"}, {"cyu", "チュ"}, {"cye", "チェ"}, {"cyo", "チョ"},
    {"tsa", "ツァ"}, {"tsi", "ツィ"}, {"tse", "ツェ"}, {"tso", "ツォ"},
    {"tha", "テャ"}, {"thi", "ティ"}, {"thu", "テュ"}, {"the", "テェ"}, {"tho", "テョ"},
    {"twa", "トァ"}, {"twi", "トィ"}, {"twu", "トゥ"}, {"twe", "トェ"}, {"two", "トォ"},

    {"da", "ダ"}, {"di", "ヂ"}, {"du", "ヅ"}, {"de", "デ"}, {"do", "ド"},
    {"dya", "ヂャ"}, {"dyi", "ヂィ"}, {"dyu", "ヂュ"}, {"dye", "ヂェ"}, {"dyo", "ヂョ"},
    {"dha", "デャ"}, {"dhi", "ディ"}, {"dhu", "デュ"}, {"dhe", "デェ"}, {"dho", "デョ"},
    {"dwa", "ドァ"}, {"dwi", "ドィ"}, {"dwu", "ドゥ"}, {"dwe", "ドェ"}, {"dwo", "ドォ"},

    {"na", "ナ"}, {"ni", "ニ"}, {"nu", "ヌ"}, {"ne", "ネ"}, {"no", "ノ"},
    {"nya", "ニャ"}, {"nyi", "ニィ"}, {"nyu", "ニュ"}, {"nye", "ニェ"}, {"nyo", "ニョ"},
    {"xn", "ン"},

    {"ha", "ハ"}, {"hi", "ヒ"}, {"fu", "フ"}, {"hu", "フ"}, {"he", "ヘ"}, {"ho", "ホ"},
    {"hya", "ヒャ"}, {"hyi", "ヒィ"}, {"hyu", "ヒュ"}, {"hye", "ヒェ"}, {"hyo", "ヒョ"},
    {"fa", "ファ"}, {"fi", "フィ"}, {"fe", "フェ"}, {"fo", "フォ"},
    {"fya", "フャ"}, {"fyu", "フュ"}, {"fyo", "フョ"},
    {"fwa", "ファ"}, {"fwi", "フィ"}, {"fwu", "フゥ"}, {"fwe", "フェ"}, {"fwo", "フォ"},
    {"hwa", "ファ"}, {"hwi", "フィ"}, {"hwe", "フェ"}, {"hwo", "フォ"},

    {"ba", "バ"}, {"bi", "ビ"}, {"bu", "ブ"}, {"be", "ベ"}, {"bo", "ボ"},
    {"bya", "ビャ"}, {"byi", "ビィ"}, {"byu", "ビュ"}, {"bye", "ビェ"}, {"byo", "ビョ"},

    {"pa", "パ"}, {"pi", "ピ"}, {"pu", "プ"}, {"pe", "ペ"}, {"po", "ポ"},
    {"pya", "ピャ"}, {"pyi", "ピィ"}, {"pyu", "ピュ"}, {"pye", "ピェ"}, {"pyo", "ピョ"},

    {"ma", "マ"}, {"mi", "ミ"}, {"mu", "ム"}, {"me", "メ"}, {"mo", "モ"},
    {"mya", "ミャ"}, {"myi", "ミィ"}, {"myu", "ミュ"}, {"mye", "ミェ"}, {"myo", "ミョ"},

    {"ya", "ヤ"}, {"yu", "ユ"}, {"yo", "ヨ"},

    {"ra", "ラ"}, {"ri", "リ"}, {"ru", "ル"}, {"re", "レ"}, {"ro", "ロ"},
    {"rya", "リャ"}, {"ryi", "リィ"}, {"ryu", "リュ"}, {"rye", "リェ"}, {"ryo", "リョ"},

    {"wa", "ワ"}, {"wi", "ウィ"}, {"we", "ウェ"}, {"wo", "ヲ"}, {"wo", "ウォ"},
    {"wha", "ウァ"}, {"whi", "ウィ"}, {"whe", "ウェ"}, {"who", "ウォ"},
    {"wyi", "ヰ"}, {"wye", "ヱ"},

    {"va", "ヴァ"}, {"vi", "ヴィ"}, {"vu", "ヴ"}, {"ve", "ヴェ"}, {"vo", "ヴォ"},
    {"vya", "ヴャ"}, {"vyu", "ヴュ"}, {"vyo", "ヴョ"},

    {"xa", "ァ"}, {"xi", "ィ"}, {"xu", "ゥ"}, {"xe", "ェ"}, {"xo", "ォ"},
    {"la", "ァ"}, {"li", "ィ"}, {"lu", "ゥ"}, {"le", "ェ"}, {"lo", "ォ"},
    {"xyi", "ィ"}, {"xye", "ェ"}, {"lyi", "ィ"}, {"lye", "ェ"},
    {"xya", "ャ"}, {"xyu", "ュ"}, {"xyo", "ョ"}, {"lya", "ャ"}, {"lyu", "ュ"}, {"lyo", "ョ"},
    {"xtu", "ッ"}, {"xtsu", "ッ"}, {"ltu", "ッ"}, {"ltsu", "ッ"},
    {"xwa", "ヮ"}, {"lwa", "ヮ"}, {"xka", "ヵ"}, {"lka", "ヵ"}, {"xke", "ヶ"}, {"lke", "ヶ"},
};
const std::size_t kRomajiRowCount = sizeof kRomajiRows / sizeof kRomajiRows[0];

namespace {

constexpr std::size_t kLongestRomaji = 4;

constexpr bool IsVowel(char c) { return c == 'a' || c == 'i' || c == 'u' || c == 'e' || c == 'o'; }

// A consonant whose doubling is written っ (n is the exception: nn is ん).
constexpr bool Doubles(char c) { return c >= 'a' && c <= 'z' && !IsVowel(c) && c != 'n'; }

class ReadingBuilder {
 public:
  explicit ReadingBuilder(KanaReading& r) : r_(r) {}

  void Begin() { r_.Syllables.push_back({static_cast<uint32_t>(r_.Spellings.size()), 0}); }

  void Add(std::string_view kana) {
    KanaReading::Syllable& s = r_.Syllables.back();
    for (uint32_t k = s.First; k < s.First + s.Count; ++k)
      if (r_.SpellingText(r_.Spellings[k]) == kana) return;
    r_.Spellings.push_back({static_cast<uint32_t>(r_.Text.size()), static_cast<uint32_t>(kana.size())});
    r_.Text += kana;
    ++s.Count;
  }

  void One(std::string_view kana) {
    Begin();
    Add(kana);
  }

  // The kana of every row spelled romaji; false when there is none.
  bool AddRows(std::string_view romaji) {
    bool any = false;
    for (std::size_t k = 0; k < kRomajiRowCount; ++k) {
      if (romaji != kRomajiRows[k].Romaji) continue;
      Add(kRomajiRows[k].Kana);
      any = true;
    }
    return any;
  }

  // Letters that do not make a syllable yet: every kana they can begin.
  bool AddBeginnings(std::string_view letters) {
    const std::size_t before = r_.Syllables.back().Count;
    for (std::size_t k = 0; k < kRomajiRowCount; ++k) {
      const std::string_view romaji = kRomajiRows[k].Romaji;
      if (romaji.size() > letters.size() && romaji.substr(0, letters.size()) == letters) Add(kRomajiRows[k].Kana);
    }
    if ((letters.size() == 1 && Doubles(letters[0])) || letters == "tc") Add("ッ");
    if (letters == "n" || letters == "m") Add("ン");
    return r_.Syllables.back().Count > before;
  }

 private:
  KanaReading& r_;
};

std::size_t LongestRow(std::string_view s, std::size_t i) {
  for (std::size_t len = std::min(kLongestRomaji, s.size() - i); len > 0; --len) {
    const std::string_view romaji = s.substr(i, len);
    for (std::size_t k = 0; k < kRomajiRowCount; ++k)
      if (romaji == kRomajiRows[k].Romaji) return len;
  }
  return 0;
}

bool Read(std::string_view s, KanaReading& reading) {
  ReadingBuilder b(reading);
  // Set after "nn" before a vowel: the second n may begin the syllable that
  // follows (Hepburn "konnichiwa") or already be part of ん (the
  // word-processor "kanna" for かんあ), so the syllable is read both ways.
  bool looseN = false;
  std::size_t i = 0;
  while (i < s.size()) {
    const char c = s[i];
    const char next = i + 1 < s.size() ? s[i + 1] : '\0';
    const char after = i + 2 < s.size() ? s[i + 2] : '\0';
    if (c == '-') {
      b.One("ー");
      ++i;
      continue;
    }
    if (c == '\'') return false;  // only after n, taken with it
    if (c == 'n' && next == '\'') {
      b.One("ン");
      i += 2;
      continue;
    }
    if (c == 'n' && next == 'n') {
      b.One("ン");
      looseN = IsVowel(after) || after == 'y';
      i += looseN ? 1 : 2;
      continue;
    }
    if ((c == 'n' && next != '\0' && !IsVowel(next) && next != 'y') || (c == 'm' && (next == 'b' || next == 'p'))) {
      b.One("ン");  // m before b and p: the older Hepburn "shimbun"
      ++i;
      continue;
    }
    if (Doubles(c) && (next == c || (c == 't' && next == 'c' && after == 'h'))) {
      b.One("ッ");
      if (c == 'm') b.Add("ン");  // Hepburn "samma" for さんま
      ++i;
      continue;
    }
    b.Begin();
    const std::size_t len = LongestRow(s, i);
    if (len == 0) {
      // Only the letters at the end of the word may be unfinished.
      if (!b.AddBeginnings(s.substr(i))) return false;
      if (looseN) b.AddBeginnings(s.substr(i + 1));
      return true;
    }
    b.AddRows(s.substr(i, len));
    if (looseN) b.AddRows(s.substr(i + 1, len - 1));
    looseN = false;
    i += len;
  }
  return true;
}

}  // namespace

bool ReadRomaji(std::string_view word, KanaReading& reading) {
  reading = KanaReading{};
  std::string s(word);
  bool letter = false;
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c >= 'a' && c <= 'z') {
      letter = true;
    } else if (c != '-' && c != '\'') {
      return false;
    }
  }
  if (letter && Read(s, reading)) return true;
  reading = KanaReading{};
  return false;
}

}  // namespace tarn
