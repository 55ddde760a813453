#include "search/Romaji.h"

#include <algorithm>

namespace tarn {

// Rows are grouped by consonant; within a group the plain syllables first,
// then the combinations with small ya, yu, yo and the loanword forms. The
// kana are UTF-16, so that they are the same in every build whatever the
// compiler makes of narrow literals; ToCp932 gives the code page's bytes.
const RomajiRow kRomajiRows[] = {
    {"a", u"ア"}, {"i", u"イ"}, {"u", u"ウ"}, {"e", u"エ"}, {"o", u"オ"},
    {"yi", u"イ"}, {"wu", u"ウ"}, {"whu", u"ウ"}, {"ye", u"イェ"},

    {"ka", u"カ"}, {"ki", u"キ"}, {"ku", u"ク"}, {"ke", u"ケ"}, {"ko", u"コ"},
    {"ca", u"カ"}, {"cu", u"ク"}, {"co", u"コ"}, {"qu", u"ク"},
    {"kya", u"キャ"}, {"kyi", u"キィ"}, {"kyu", u"キュ"}, {"kye", u"キェ"}, {"kyo", u"キョ"},
    {"qa", u"クァ"}, {"qi", u"クィ"}, {"qe", u"クェ"}, {"qo", u"クォ"},
    {"kwa", u"クァ"}, {"qwa", u"クァ"}, {"qwi", u"クィ"}, {"qwu", u"クゥ"}, {"qwe", u"クェ"}, {"qwo", u"クォ"},
    {"qya", u"クャ"}, {"qyu", u"クュ"}, {"qyo", u"クョ"},

    {"ga", u"ガ"}, {"gi", u"ギ"}, {"gu", u"グ"}, {"ge", u"ゲ"}, {"go", u"ゴ"},
    {"gya", u"ギャ"}, {"gyi", u"ギィ"}, {"gyu", u"ギュ"}, {"gye", u"ギェ"}, {"gyo", u"ギョ"},
    {"gwa", u"グァ"}, {"gwi", u"グィ"}, {"gwu", u"グゥ"}, {"gwe", u"グェ"}, {"gwo", u"グォ"},

    {"sa", u"サ"}, {"shi", u"シ"}, {"si", u"シ"}, {"su", u"ス"}, {"se", u"セ"}, {"so", u"ソ"},
    {"ci", u"シ"}, {"ce", u"セ"},
    {"sha", u"シャ"}, {"shu", u"シュ"}, {"she", u"シェ"}, {"sho", u"ショ"},
    {"sya", u"シャ"}, {"syi", u"シィ"}, {"syu", u"シュ"}, {"sye", u"シェ"}, {"syo", u"ショ"},
    {"swa", u"スァ"}, {"swi", u"スィ"}, {"swu", u"スゥ"}, {"swe", u"スェ"}, {"swo", u"スォ"},

    {"za", u"ザ"}, {"ji", u"ジ"}, {"zi", u"ジ"}, {"zu", u"ズ"}, {"ze", u"ゼ"}, {"zo", u"ゾ"},
    {"ja", u"ジャ"}, {"ju", u"ジュ"}, {"je", u"ジェ"}, {"jo", u"ジョ"},
    {"jya", u"ジャ"}, {"jyi", u"ジィ"}, {"jyu", u"ジュ"}, {"jye", u"ジェ"}, {"jyo", u"ジョ"},
    {"zya", u"ジャ"}, {"zyi", u"ジィ"}, {"zyu", u"ジュ"}, {"zye", u"ジェ"}, {"zyo", u"ジョ"},
    // Hepburn spells ぢ and づ like じ and ず.
    {"ji", u"ヂ"}, {"zu", u"ヅ"},

    {"ta", u"タ"}, {"chi", u"チ"}, {"ti", u"チ"}, {"tsu", u"ツ"}, {"tu", u"ツ"}, {"te", u"テ"}, {"to", u"ト"},
    {"cha", u"チャ"}, {"chu", u"チュ"}, {"che", u"チェ"}, {"cho", u"チョ"},
    {"tya", u"チャ"}, {"tyi", u"チィ"}, {"tyu", u"チュ"}, {"tye", u"チェ"}, {"tyo", u"チョ"},
    {"cya", u"チャ"}, {"cyi", u"チィ"}, {"cyu", u"チュ"}, {"cye", u"チェ"}, {"cyo", u"チョ"},
    {"tsa", u"ツァ"}, {"tsi", u"ツィ"}, {"tse", u"ツェ"}, {"tso", u"ツォ"},
    {"tha", u"テャ"}, {"thi", u"ティ"}, {"thu", u"テュ"}, {"the", u"テェ"}, {"tho", u"テョ"},
    {"twa", u"トァ"}, {"twi", u"トィ"}, {"twu", u"トゥ"}, {"twe", u"トェ"}, {"two", u"トォ"},
    // Loanwords as people spell them besides the input method's forms.
    {"ti", u"ティ"}, {"tu", u"トゥ"}, {"tyu", u"テュ"},

    {"da", u"ダ"}, {"di", u"ヂ"}, {"du", u"ヅ"}, {"de", u"デ"}, {"do", u"ド"},
    {"dya", u"ヂャ"}, {"dyi", u"ヂィ"}, {"dyu", u"ヂュ"}, {"dye", u"ヂェ"}, {"dyo", u"ヂョ"},
    {"dha", u"デャ"}, {"dhi", u"ディ"}, {"dhu", u"デュ"}, {"dhe", u"デェ"}, {"dho", u"デョ"},
    {"dwa", u"ドァ"}, {"dwi", u"ドィ"}, {"dwu", u"ドゥ"}, {"dwe", u"ドェ"}, {"dwo", u"ドォ"},
    {"di", u"ディ"}, {"du", u"ドゥ"}, {"dyu", u"デュ"},

    {"na", u"ナ"}, {"ni", u"ニ"}, {"nu", u"ヌ"}, {"ne", u"ネ"}, {"no", u"ノ"},
    {"nya", u"ニャ"}, {"nyi", u"ニィ"}, {"nyu", u"ニュ"}, {"nye", u"ニェ"}, {"nyo", u"ニョ"},
    {"xn", u"ン"},

    {"ha", u"ハ"}, {"hi", u"ヒ"}, {"fu", u"フ"}, {"hu", u"フ"}, {"he", u"ヘ"}, {"ho", u"ホ"},
    {"hya", u"ヒャ"}, {"hyi", u"ヒィ"}, {"hyu", u"ヒュ"}, {"hye", u"ヒェ"}, {"hyo", u"ヒョ"},
    {"fa", u"ファ"}, {"fi", u"フィ"}, {"fe", u"フェ"}, {"fo", u"フォ"},
    {"fya", u"フャ"}, {"fyu", u"フュ"}, {"fyo", u"フョ"},
    {"fwa", u"ファ"}, {"fwi", u"フィ"}, {"fwu", u"フゥ"}, {"fwe", u"フェ"}, {"fwo", u"フォ"},
    {"hwa", u"ファ"}, {"hwi", u"フィ"}, {"hwe", u"フェ"}, {"hwo", u"フォ"},

    {"ba", u"バ"}, {"bi", u"ビ"}, {"bu", u"ブ"}, {"be", u"ベ"}, {"bo", u"ボ"},
    {"bya", u"ビャ"}, {"byi", u"ビィ"}, {"byu", u"ビュ"}, {"bye", u"ビェ"}, {"byo", u"ビョ"},

    {"pa", u"パ"}, {"pi", u"ピ"}, {"pu", u"プ"}, {"pe", u"ペ"}, {"po", u"ポ"},
    {"pya", u"ピャ"}, {"pyi", u"ピィ"}, {"pyu", u"ピュ"}, {"pye", u"ピェ"}, {"pyo", u"ピョ"},

    {"ma", u"マ"}, {"mi", u"ミ"}, {"mu", u"ム"}, {"me", u"メ"}, {"mo", u"モ"},
    {"mya", u"ミャ"}, {"myi", u"ミィ"}, {"myu", u"ミュ"}, {"mye", u"ミェ"}, {"myo", u"ミョ"},

    {"ya", u"ヤ"}, {"yu", u"ユ"}, {"yo", u"ヨ"},

    {"ra", u"ラ"}, {"ri", u"リ"}, {"ru", u"ル"}, {"re", u"レ"}, {"ro", u"ロ"},
    {"rya", u"リャ"}, {"ryi", u"リィ"}, {"ryu", u"リュ"}, {"rye", u"リェ"}, {"ryo", u"リョ"},

    {"wa", u"ワ"}, {"wi", u"ウィ"}, {"we", u"ウェ"}, {"wo", u"ヲ"}, {"wo", u"ウォ"},
    {"wha", u"ウァ"}, {"whi", u"ウィ"}, {"whe", u"ウェ"}, {"who", u"ウォ"},
    {"wyi", u"ヰ"}, {"wye", u"ヱ"},

    {"va", u"ヴァ"}, {"vi", u"ヴィ"}, {"vu", u"ヴ"}, {"ve", u"ヴェ"}, {"vo", u"ヴォ"},
    {"vya", u"ヴャ"}, {"vyu", u"ヴュ"}, {"vyo", u"ヴョ"},

    {"xa", u"ァ"}, {"xi", u"ィ"}, {"xu", u"ゥ"}, {"xe", u"ェ"}, {"xo", u"ォ"},
    {"la", u"ァ"}, {"li", u"ィ"}, {"lu", u"ゥ"}, {"le", u"ェ"}, {"lo", u"ォ"},
    {"xyi", u"ィ"}, {"xye", u"ェ"}, {"lyi", u"ィ"}, {"lye", u"ェ"},
    {"xya", u"ャ"}, {"xyu", u"ュ"}, {"xyo", u"ョ"}, {"lya", u"ャ"}, {"lyu", u"ュ"}, {"lyo", u"ョ"},
    {"xtu", u"ッ"}, {"xtsu", u"ッ"}, {"ltu", u"ッ"}, {"ltsu", u"ッ"},
    {"xwa", u"ヮ"}, {"lwa", u"ヮ"}, {"xka", u"ヵ"}, {"lka", u"ヵ"}, {"xke", u"ヶ"}, {"lke", u"ヶ"},
};
const std::size_t kRomajiRowCount = sizeof kRomajiRows / sizeof kRomajiRows[0];

namespace {

constexpr std::size_t kLongestRomaji = 4;

// The CP932 form of katakana ァ-ヶ (U+30A1-30F6, 8340-8396 stepping over
// 837F) and of ー.
void AppendCp932(std::string& out, std::u16string_view kana) {
  for (char16_t c : kana) {
    if (c == u'ー') {
      out += "\x81\x5B";
    } else if (c >= u'ァ' && c <= u'ヶ') {
      const int trail = 0x40 + (c - u'ァ');
      out += '\x83';
      out += static_cast<char>(trail >= 0x7F ? trail + 1 : trail);
    }
  }
}

constexpr bool IsVowel(char c) { return c == 'a' || c == 'i' || c == 'u' || c == 'e' || c == 'o'; }

// The vowel a katakana ends in; 0 for ン, ッ and ー.
char KanaVowel(char16_t c) {
  static constexpr std::u16string_view kByVowel[] = {
      u"ァアカガサザタダナハバパマャヤラヮワヵ", u"ィイキギシジチヂニヒビピミリヰ",
      u"ゥウクグスズツヅヌフブプムュユルヴ", u"ェエケゲセゼテデネヘベペメレヱヶ",
      u"ォオコゴソゾトドノホボポモョヨロヲ"};
  for (int v = 0; v < 5; ++v)
    if (kByVowel[v].find(c) != std::u16string_view::npos) return "aiueo"[v];
  return 0;
}

// A consonant whose doubling is written っ (n is the exception: nn is ん).
constexpr bool Doubles(char c) { return c >= 'a' && c <= 'z' && !IsVowel(c) && c != 'n'; }

// romaji == row, with the first letter compared before the length is
// counted: most rows are passed over at once.
bool Spells(const char* row, std::string_view romaji) {
  return !romaji.empty() && row[0] == romaji[0] && romaji == row;
}

class ReadingBuilder {
 public:
  explicit ReadingBuilder(KanaReading& r) : Reading(r) {}

  void Begin() {
    Before = Reading.Syllables.empty() ? 0 : Reading.Syllables.back().Vowel;
    Reading.Syllables.push_back({static_cast<uint32_t>(Reading.Spellings.size()), 0, 0});
  }

  // The vowel of the syllable before the one begun last.
  char VowelBefore() const { return Before; }

  // prefix: ン where an n before a vowel or y stands for it.
  void Add(std::u16string_view utf16, std::u16string_view prefix = {}) {
    std::string kana;
    AppendCp932(kana, prefix);
    AppendCp932(kana, utf16);
    KanaReading::Syllable& s = Reading.Syllables.back();
    const char vowel = utf16.back() == u'ー' ? Before : KanaVowel(utf16.back());
    if (s.Count == 0) s.Vowel = vowel;
    if (s.Vowel != vowel) s.Vowel = 0;
    for (uint32_t k = s.First; k < s.First + s.Count; ++k)
      if (Reading.SpellingText(Reading.Spellings[k]) == kana) return;
    Reading.Spellings.push_back({static_cast<uint32_t>(Reading.Text.size()), static_cast<uint32_t>(kana.size())});
    Reading.Text += kana;
    ++s.Count;
  }

  // A vowel typed again after its own syllable: also the long vowel mark,
  // and for o also ウ ("tookyoo"). The syllable keeps its vowel.
  void AddLong(char vowel) {
    KanaReading::Syllable& s = Reading.Syllables.back();
    Add(u"ー");
    if (vowel == 'o') Add(u"ウ");
    s.Vowel = vowel;
  }

  void One(std::u16string_view kana) {
    Begin();
    Add(kana);
  }

  // The kana of every row spelled romaji; false when there is none.
  bool AddRows(std::string_view romaji, std::u16string_view prefix = {}) {
    bool any = false;
    for (std::size_t k = 0; k < kRomajiRowCount; ++k) {
      if (!Spells(kRomajiRows[k].Romaji, romaji)) continue;
      Add(kRomajiRows[k].Kana, prefix);
      any = true;
    }
    return any;
  }

  // Letters that do not make a syllable yet: every kana they can begin.
  bool AddBeginnings(std::string_view letters, std::u16string_view prefix = {}) {
    const std::size_t before = Reading.Syllables.back().Count;
    for (std::size_t k = 0; k < kRomajiRowCount; ++k) {
      const std::string_view romaji = kRomajiRows[k].Romaji;
      if (romaji.size() > letters.size() && romaji.substr(0, letters.size()) == letters)
        Add(kRomajiRows[k].Kana, prefix);
    }
    if (!prefix.empty()) return Reading.Syllables.back().Count > before;
    if ((letters.size() == 1 && Doubles(letters[0])) || letters == "tc") Add(u"ッ");
    if (letters == "n" || letters == "m") Add(u"ン");
    if (letters == "ny") AddBeginnings("y", u"ン");
    return Reading.Syllables.back().Count > before;
  }

 private:
  KanaReading& Reading;
  char Before = 0;
};

std::size_t LongestRow(std::string_view s, std::size_t i) {
  for (std::size_t len = std::min(kLongestRomaji, s.size() - i); len > 0; --len) {
    const std::string_view romaji = s.substr(i, len);
    for (std::size_t k = 0; k < kRomajiRowCount; ++k)
      if (Spells(kRomajiRows[k].Romaji, romaji)) return len;
  }
  return 0;
}

bool Read(std::string_view s, KanaReading& reading) {
  ReadingBuilder b(reading);
  // Set after "nn" before a vowel or y: the second n may begin the
  // syllable that follows (Hepburn "konnichiwa") or already be part of ん
  // (the word-processor "kanna" for かんあ), so that syllable is read both
  // ways.
  bool looseN = false;
  std::size_t i = 0;
  while (i < s.size()) {
    const char c = s[i];
    const char next = i + 1 < s.size() ? s[i + 1] : '\0';
    const char after = i + 2 < s.size() ? s[i + 2] : '\0';
    if (c == '-') {
      b.One(u"ー");
      ++i;
      continue;
    }
    if (c == '\'') return false;  // only after n, taken with it
    if (c == 'n' && next == '\'') {
      b.One(u"ン");
      i += 2;
      continue;
    }
    if (c == 'n' && next == 'n') {
      b.One(u"ン");
      looseN = IsVowel(after) || after == 'y';
      i += looseN ? 1 : 2;
      continue;
    }
    if ((c == 'n' && next != '\0' && !IsVowel(next) && next != 'y') || (c == 'm' && (next == 'b' || next == 'p'))) {
      b.One(u"ン");  // m before b and p: the older Hepburn "shimbun"
      ++i;
      continue;
    }
    if (Doubles(c) && (next == c || (c == 't' && next == 'c' && after == 'h'))) {
      b.One(u"ッ");
      if (c == 'm') b.Add(u"ン");  // Hepburn "samma" for さんま
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
    if (looseN) {
      b.AddRows(s.substr(i + 1, len - 1));
    } else if (c == 'n' && len > 1) {
      b.AddRows(s.substr(i + 1, len - 1), u"ン");  // "honyaku" as ホンヤク
    }
    if (len == 1 && c == b.VowelBefore()) b.AddLong(c);
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
