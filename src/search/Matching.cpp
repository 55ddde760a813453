#include "search/Matching.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "base/Cp932.h"

namespace tarn {
namespace {

// Full-width double-byte form of each single-byte character, high byte
// first; 0 where there is none (control bytes, which are kept as they are).
// A to Z go straight to the lower-case full-width letters. The quotation
// mark and apostrophe become ” and ’, the forms names actually use.
constexpr uint16_t kAsciiWide[0x7F - 0x20] = {
    0x8140, 0x8149, 0x8168, 0x8194, 0x8190, 0x8193, 0x8195, 0x8166,  //  !"#$%&'
    0x8169, 0x816A, 0x8196, 0x817B, 0x8143, 0x817C, 0x8144, 0x815E,  // ()*+,-./
    0x824F, 0x8250, 0x8251, 0x8252, 0x8253, 0x8254, 0x8255, 0x8256,  // 01234567
    0x8257, 0x8258, 0x8146, 0x8147, 0x8183, 0x8181, 0x8184, 0x8148,  // 89:;<=>?
    0x8197, 0x8281, 0x8282, 0x8283, 0x8284, 0x8285, 0x8286, 0x8287,  // @ABCDEFG
    0x8288, 0x8289, 0x828A, 0x828B, 0x828C, 0x828D, 0x828E, 0x828F,  // HIJKLMNO
    0x8290, 0x8291, 0x8292, 0x8293, 0x8294, 0x8295, 0x8296, 0x8297,  // PQRSTUVW
    0x8298, 0x8299, 0x829A, 0x816D, 0x815F, 0x816E, 0x814F, 0x8151,  // XYZ[\]^_
    0x814D, 0x8281, 0x8282, 0x8283, 0x8284, 0x8285, 0x8286, 0x8287,  // `abcdefg
    0x8288, 0x8289, 0x828A, 0x828B, 0x828C, 0x828D, 0x828E, 0x828F,  // hijklmno
    0x8290, 0x8291, 0x8292, 0x8293, 0x8294, 0x8295, 0x8296, 0x8297,  // pqrstuvw
    0x8298, 0x8299, 0x829A, 0x816F, 0x8162, 0x8170, 0x8160,          // xyz{|}~
};

// Half-width katakana and punctuation 0xA1-0xDF.
constexpr uint16_t kKanaWide[0xE0 - 0xA1] = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340, 0x8342,  // ｡｢｣､･ｦｧｨ
    0x8344, 0x8346, 0x8348, 0x8383, 0x8385, 0x8387, 0x8362, 0x815B,  // ｩｪｫｬｭｮｯｰ
    0x8341, 0x8343, 0x8345, 0x8347, 0x8349, 0x834A, 0x834C, 0x834E,  // ｱｲｳｴｵｶｷｸ
    0x8350, 0x8352, 0x8354, 0x8356, 0x8358, 0x835A, 0x835C, 0x835E,  // ｹｺｻｼｽｾｿﾀ
    0x8360, 0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B, 0x836C,  // ﾁﾂﾃﾄﾅﾆﾇﾈ
    0x836D, 0x836E, 0x8371, 0x8374, 0x8377, 0x837A, 0x837D, 0x837E,  // ﾉﾊﾋﾌﾍﾎﾏﾐ
    0x8380, 0x8381, 0x8382, 0x8384, 0x8386, 0x8388, 0x8389, 0x838A,  // ﾑﾒﾓﾔﾕﾖﾗﾘ
    0x838B, 0x838C, 0x838D, 0x838F, 0x8393, 0x814A, 0x814B,          // ﾙﾚﾛﾜﾝﾞﾟ
};

constexpr unsigned char kVoicedMark = 0xDE;
constexpr unsigned char kSemiVoicedMark = 0xDF;

// How the folding treats each byte.
enum ByteKind : uint8_t {
  kWide,   // single-byte character with a full-width form
  kLead,   // first byte of a double-byte character
  kKeep,   // single byte without a full-width form: kept as it is
  kKana,   // half-width kana that composes with a following mark
};

struct ByteTables {
  uint8_t Kind[256];
  uint8_t Wide[256][2];     // full-width form, high byte first
  uint8_t Lo[256];
  uint8_t Voiced[256];      // low byte of the composed form with ﾞ, 0 if none
  uint8_t SemiVoiced[256];  // with ﾟ
  uint8_t Lower[3][256];    // trail bytes after 82, 83, 84, lower-cased
  uint8_t HiraToKata[256];  // trail after 82 of a hiragana → trail after 83, 0 if none
  uint8_t KataToHira[256];  // and back
};

// Only kana that have a composed form in the code page take a mark: adding
// to the low byte of any other kana would give a different kana (ｱﾞ → ィ)
// or no character at all (ﾐﾞ → 83 7F). Elsewhere the mark stays ゛ or ゜.
constexpr ByteTables MakeTables() {
  ByteTables t{};
  for (int c = 0; c < 256; ++c) {
    uint16_t wide = 0;
    if (c >= 0x20 && c <= 0x7E) wide = kAsciiWide[c - 0x20];
    if (c >= 0xA1 && c <= 0xDF) wide = kKanaWide[c - 0xA1];
    t.Wide[c][0] = static_cast<uint8_t>(wide >> 8);
    t.Wide[c][1] = static_cast<uint8_t>(wide & 0xFF);
    t.Lo[c] = t.Wide[c][1];
    t.Kind[c] = IsLeadByte(static_cast<unsigned char>(c)) ? kLead : wide ? kWide : kKeep;
    if (c == 0xB3) t.Voiced[c] = 0x94;                                 // ｳﾞ → ヴ
    if (c >= 0xB6 && c <= 0xC4) t.Voiced[c] = static_cast<uint8_t>(t.Lo[c] + 1);  // ｶ..ﾄ
    if (c >= 0xCA && c <= 0xCE) {                                      // ﾊ..ﾎ
      t.Voiced[c] = static_cast<uint8_t>(t.Lo[c] + 1);
      t.SemiVoiced[c] = static_cast<uint8_t>(t.Lo[c] + 2);
    }
    if (t.Voiced[c]) t.Kind[c] = kKana;

    // Upper-case double-byte letters: Ａ-Ｚ 8260-8279 → ａ-ｚ 8281-829A,
    // Α-Ω 839F-83B6 → α-ω 83BF-83D6, А-Я 8440-8460 → а-я 8470-8491 (which
    // step over 7F).
    t.Lower[0][c] = static_cast<uint8_t>(c >= 0x60 && c <= 0x79 ? c + 0x21 : c);
    t.Lower[1][c] = static_cast<uint8_t>(c >= 0x9F && c <= 0xB6 ? c + 0x20 : c);
    t.Lower[2][c] = static_cast<uint8_t>(c >= 0x40 && c <= 0x60 ? (c + 0x30 >= 0x7F ? c + 0x31 : c + 0x30) : c);

    // ぁ-ん 829F-82F1 and ァ-ン 8340-8393 are in the same order; the
    // katakana step over 7F. ヴヵヶ have no hiragana in the code page.
    if (c >= 0x9F && c <= 0xF1) {
      const int kata = 0x40 + (c - 0x9F);
      t.HiraToKata[c] = static_cast<uint8_t>(kata >= 0x7F ? kata + 1 : kata);
      t.KataToHira[t.HiraToKata[c]] = static_cast<uint8_t>(c);
    }
  }
  return t;
}

// The iteration marks ゝゞ 8154-8155 and ヽヾ 8152-8153.
constexpr unsigned char kHiraIteration = 0x54;
constexpr unsigned char kKataIteration = 0x52;

constexpr ByteTables kTables = MakeTables();

// Folds n bytes of s into out (room for 2n bytes). Answers the folded
// length, or SIZE_MAX when a lead byte has an invalid trail byte; single is
// set when the result holds a one-byte character.
template <bool Kana>
std::size_t FoldInto(const unsigned char* s, std::size_t n, unsigned char* out, bool& single) {
  single = false;
  const ByteTables& t = kTables;
  unsigned char* o = out;
  std::size_t i = 0;
  while (i < n) {
    const unsigned char c = s[i];
    if (t.Kind[c] == kWide) {  // by far the most frequent: ASCII and kana
      std::memcpy(o, t.Wide[c], 2);
      o += 2;
      ++i;
      continue;
    }
    switch (t.Kind[c]) {
      case kLead: {
        if (i + 1 == n) {  // lead byte standing last: a character of its own
          single = true;
          *o++ = c;
          return static_cast<std::size_t>(o - out);
        }
        const unsigned char trail = s[i + 1];
        if (!IsTrailByte(trail)) return SIZE_MAX;
        o[0] = c;
        o[1] = static_cast<unsigned>(c - 0x82) < 3 ? t.Lower[c - 0x82][trail] : trail;
        if constexpr (Kana) {
          if (c == 0x82 && t.HiraToKata[trail]) {
            o[0] = 0x83;
            o[1] = t.HiraToKata[trail];
          } else if (c == 0x81 && static_cast<unsigned>(trail - kHiraIteration) < 2) {
            o[1] = static_cast<unsigned char>(trail - kHiraIteration + kKataIteration);
          }
        }
        o += 2;
        i += 2;
        break;
      }
      case kKeep:
        single = true;
        *o++ = c;
        ++i;
        break;
      default: {  // kKana
        unsigned char lo = t.Lo[c];
        if (i + 1 < n && s[i + 1] == kVoicedMark) {
          lo = t.Voiced[c];
          ++i;
        } else if (i + 1 < n && s[i + 1] == kSemiVoicedMark && t.SemiVoiced[c]) {
          lo = t.SemiVoiced[c];
          ++i;
        }
        o[0] = t.Wide[c][0];
        o[1] = lo;
        o += 2;
        ++i;
        break;
      }
    }
  }
  return static_cast<std::size_t>(o - out);
}

bool SameBytes(const char* a, const char* b, std::size_t n) {
  return n == 0 || std::memcmp(a, b, n) == 0;
}

bool IsCharBoundary(std::string_view s, std::size_t pos) {
  std::size_t i = 0;
  while (i < pos) i = NextChar(s, i);
  return i == pos;
}

}  // namespace

ModedWord SelectMatchMode(std::string_view word) {
  if (word.empty()) return {MatchMode::Substring, word};
  switch (word.front()) {
    case '^': return {MatchMode::Prefix, word.substr(1)};
    case '\\': return {MatchMode::Exact, word.substr(1)};
    case '*': return {MatchMode::InOrder, word.substr(1)};
    default: break;
  }
  // '$' as the last byte only counts when it is a character of its own:
  // no CP932 trail byte is 0x24, so the byte test is enough.
  if (word.back() == '$') return {MatchMode::Suffix, word.substr(0, word.size() - 1)};
  return {MatchMode::Substring, word};
}

std::string_view CMatchNormalizer::Normalize(std::string_view s, bool* ok) {
  const std::size_t need = s.size() * 2;
  if (Buffer.size() < need) Buffer.resize(need < 64 ? 64 : need);
  bool single = false;
  const auto* in = reinterpret_cast<const unsigned char*>(s.data());
  auto* out = reinterpret_cast<unsigned char*>(Buffer.data());
  const std::size_t len =
      Kana ? FoldInto<true>(in, s.size(), out, single) : FoldInto<false>(in, s.size(), out, single);
  if (ok) *ok = len != SIZE_MAX;
  DoubleByteOnly = len != SIZE_MAX && !single;
  if (len == SIZE_MAX) return s;
  return std::string_view(Buffer.data(), len);
}

bool NormalizeForMatch(std::string& s, bool kana) {
  CMatchNormalizer n(kana);
  bool ok = false;
  std::string_view folded = n.Normalize(s, &ok);
  if (ok) s.assign(folded);
  return ok;
}

bool MatchInOrder(std::string_view n, std::string_view w) {
  if (w.empty()) return true;
  std::size_t j = 0;
  std::size_t lw = CharLength(w, 0);
  for (std::size_t i = 0; i < n.size();) {
    const std::size_t ln = CharLength(n, i);
    if (ln == lw && n[i] == w[j] && (ln == 1 || n[i + 1] == w[j + 1])) {
      j += lw;
      if (j >= w.size()) return true;
      lw = CharLength(w, j);
    }
    i += ln;
  }
  return false;
}

void CRawCharFilter::Want(int slot, unsigned char lead, unsigned char trail, bool kana) {
  const ByteTables& t = kTables;
  const uint32_t mask = 1u << slot;
  // Every byte of a name that can fold into (lead, trail): a single-byte
  // character whose full-width form it is, a half-width kana that composes
  // into it with a mark, or trail (or the upper-case letter's trail byte)
  // after lead. A name compared unfolded must hold lead, trail itself.
  auto trails = [&](unsigned char l) -> uint32_t* {
    if (!LeadSlot[l]) {
      if (Leads == kMaxLeads) return nullptr;
      LeadSlot[l] = ++Leads;
    }
    return TrailBits[LeadSlot[l]];
  };
  uint32_t* bits = trails(lead);
  if (!bits) {
    Dropped |= mask;
    return;
  }
  bits[trail] |= mask;
  for (int c = 0; c < 256; ++c) {
    if (static_cast<unsigned>(lead - 0x82) < 3 && t.Lower[lead - 0x82][c] == trail) bits[c] |= mask;
    if (t.Kind[c] != kWide && t.Kind[c] != kKana) continue;
    if (t.Wide[c][0] != lead) continue;
    if (t.Wide[c][1] == trail || (t.Kind[c] == kKana && (t.Voiced[c] == trail || t.SemiVoiced[c] == trail))) {
      SingleBits[c] |= mask;
    }
  }
  if (!kana) return;
  unsigned char hiraLead = 0x82, hiraTrail = lead == 0x83 ? t.KataToHira[trail] : 0;
  if (lead == 0x81 && static_cast<unsigned>(trail - kKataIteration) < 2) {
    hiraLead = 0x81;
    hiraTrail = static_cast<unsigned char>(trail - kKataIteration + kHiraIteration);
  }
  if (!hiraTrail) return;
  if (uint32_t* hira = trails(hiraLead)) {
    hira[hiraTrail] |= mask;
  } else {
    Dropped |= mask;
  }
}

uint32_t CRawCharFilter::Met(std::string_view raw) const {
  const auto* s = reinterpret_cast<const unsigned char*>(raw.data());
  const std::size_t n = raw.size();
  uint32_t found = Dropped;
  for (std::size_t i = 0; i < n; ++i) {
    found |= SingleBits[s[i]];
    const unsigned slot = LeadSlot[s[i]];
    if (slot && i + 1 < n) found |= TrailBits[slot][s[i + 1]];
  }
  return found;
}

constexpr int kSlotsPerWord = CRawCharFilter::kSlots / 2;

CWordMatcher::CWordMatcher(MatchMode mode, std::string_view foldedWord, bool kana)
    : Mode(mode), Word(foldedWord), Kana(kana), EndsWithLoneLead(false), WordDoubleByteOnly(true) {
  const std::size_t last = LastCharStart(foldedWord);
  EndsWithLoneLead = last != std::string_view::npos && last + 1 == foldedWord.size() &&
                     IsLeadByte(foldedWord[last]);
  for (std::size_t i = 0; i < foldedWord.size(); i = NextChar(foldedWord, i)) {
    if (CharLength(foldedWord, i) != 2) WordDoubleByteOnly = false;
  }
  Needed = WantChars(Filter, 0);
}

uint32_t CWordMatcher::WantChars(CRawCharFilter& filter, int first) const {
  uint32_t slots = 0;
  int slot = first;
  for (std::size_t i = 0; i < Word.size() && slot < first + kSlotsPerWord; i = NextChar(Word, i)) {
    if (CharLength(Word, i) != 2) continue;
    filter.Want(slot, static_cast<unsigned char>(Word[i]), static_cast<unsigned char>(Word[i + 1]), Kana);
    slots |= 1u << slot++;
  }
  return slots;
}

// The bytes of the word, laid over the name at a character boundary, cut
// the name into the same characters as the word itself, except that a lone
// lead byte ending the word is a whole character only at the end of the name.
// In a name of double-byte characters only, the boundaries are the even
// offsets.
bool CWordMatcher::FindAtCharBoundary(std::string_view n, bool evenBoundaries) const {
  if (Word.empty()) return true;
  if (n.size() < Word.size()) return false;
  // Look for the word's second byte: in folded text the first is nearly
  // always 82 or 83, which would stop the scan at every character.
  const std::size_t anchor = Word.size() >= 2 ? 1 : 0;
  const char key = Word[anchor];
  const char* const base = n.data();
  const std::size_t last = n.size() - Word.size();  // latest possible start
  std::size_t boundary = 0;
  std::size_t from = 0;
  while (from <= last) {
    const void* p = std::memchr(base + from + anchor, key, last - from + 1);
    if (!p) return false;
    const std::size_t hit = static_cast<std::size_t>(static_cast<const char*>(p) - base) - anchor;
    if ((evenBoundaries && (hit & 1) != 0) || std::memcmp(base + hit, Word.data(), Word.size()) != 0) {
      from = hit + 1;
      continue;
    }
    if (!evenBoundaries) {
      while (boundary < hit) boundary = NextChar(n, boundary);
      if (boundary != hit) {
        from = boundary;
        continue;
      }
    }
    if (!EndsWithLoneLead || hit + Word.size() == n.size()) return true;
    from = hit + 1;
  }
  return false;
}

// Both texts of double-byte characters only: step through the name two
// bytes at a time.
bool CWordMatcher::InOrderDoubleByte(std::string_view n) const {
  std::size_t i = 0;
  for (std::size_t j = 0; j < Word.size(); j += 2) {
    const char lead = Word[j];
    const char trail = Word[j + 1];
    while (i + 1 < n.size() && (n[i + 1] != trail || n[i] != lead)) i += 2;
    if (i + 1 >= n.size()) return false;
    i += 2;
  }
  return true;
}

bool CWordMatcher::MayMatchLength(std::size_t rawSize) const {
  // Folding turns each byte into one or two and each pair into two; a name
  // that is not valid text is compared as it is. So the folded name is at
  // least rawSize and at most 2 * rawSize bytes long.
  return Mode == MatchMode::Exact ? rawSize <= Word.size() && Word.size() <= 2 * rawSize
                                  : Word.size() <= 2 * rawSize;
}

bool CWordMatcher::Matches(std::string_view n, bool doubleByteOnly) const {
  switch (Mode) {
    case MatchMode::Substring:
      return FindAtCharBoundary(n, doubleByteOnly);
    case MatchMode::Prefix:
      return n.size() >= Word.size() && SameBytes(n.data(), Word.data(), Word.size()) &&
             (!EndsWithLoneLead || n.size() == Word.size());
    case MatchMode::Exact:
      return n == Word;
    case MatchMode::Suffix: {
      if (n.size() < Word.size()) return false;
      const std::size_t start = n.size() - Word.size();
      return SameBytes(n.data() + start, Word.data(), Word.size()) &&
             (doubleByteOnly ? (start & 1) == 0 : IsCharBoundary(n, start));
    }
    case MatchMode::InOrder:
      return doubleByteOnly && WordDoubleByteOnly ? InOrderDoubleByte(n) : MatchInOrder(n, Word);
  }
  return false;
}

CKanaMatcher::CKanaMatcher(MatchMode mode, const KanaReading& reading) : Mode(mode), Reading(reading) {
  auto& syllables = Reading.Syllables;
  auto& spellings = Reading.Spellings;
  // Where the word may go on in the name, a last syllable's spelling that
  // begins with another of its spellings finds nothing more: leave it out.
  // (The last syllable's spellings stand last.)
  if (!syllables.empty() && Mode != MatchMode::Exact && Mode != MatchMode::Suffix) {
    KanaReading::Syllable& s = syllables.back();
    auto longer = [&](const KanaReading::Spelling& a) {
      for (uint32_t k = s.First; k < s.First + s.Count; ++k) {
        const std::string_view b = Reading.SpellingText(spellings[k]);
        if (b.size() < a.Length && Reading.SpellingText(a).substr(0, b.size()) == b) return true;
      }
      return false;
    };
    std::vector<KanaReading::Spelling> kept(spellings.begin(), spellings.begin() + s.First);
    for (uint32_t k = s.First; k < s.First + s.Count; ++k)
      if (!longer(spellings[k])) kept.push_back(spellings[k]);
    s.Count = static_cast<uint32_t>(kept.size() - s.First);
    spellings = std::move(kept);
  }
  if (!syllables.empty()) {
    for (uint32_t j = syllables[0].First; j < syllables[0].First + syllables[0].Count; ++j) {
      const std::string_view text = Reading.SpellingText(spellings[j]);
      if (text.size() >= 2) FirstChars.set(static_cast<unsigned char>(text[0]) << 8 | static_cast<unsigned char>(text[1]));
    }
  }
  for (const KanaReading::Syllable& syllable : syllables) {
    std::size_t shortest = SIZE_MAX;
    std::size_t longest = 0;
    for (uint32_t j = syllable.First; j < syllable.First + syllable.Count; ++j) {
      shortest = std::min<std::size_t>(shortest, spellings[j].Length);
      longest = std::max<std::size_t>(longest, spellings[j].Length);
    }
    MinBytes += shortest == SIZE_MAX ? 0 : shortest;
    MaxBytes += longest + 4;  // and the ウ and ー the word may leave out
  }
  Needed = WantChars(Filter, 0);
}

uint32_t CKanaMatcher::WantChars(CRawCharFilter& filter, int first) const {
  uint32_t slots = 0;
  const std::size_t count = std::min<std::size_t>(Reading.Syllables.size(), kSlotsPerWord);
  for (std::size_t k = 0; k < count; ++k) {
    const KanaReading::Syllable& s = Reading.Syllables[k];
    const int slot = first + static_cast<int>(k);
    for (uint32_t j = s.First; j < s.First + s.Count; ++j) {
      // Spellings are whole double-byte characters.
      const std::string_view text = Reading.SpellingText(Reading.Spellings[j]);
      if (text.size() >= 2)
        filter.Want(slot, static_cast<unsigned char>(text[0]), static_cast<unsigned char>(text[1]), true);
    }
    slots |= 1u << slot;
  }
  return slots;
}

bool CKanaMatcher::MayMatchLength(std::size_t rawSize) const {
  return MinBytes <= 2 * rawSize && (Mode != MatchMode::Exact || rawSize <= MaxBytes);
}

// The syllables from this one on, laid over the name from pos; toEnd: the
// last one must end where the name ends. A spelling is made of whole
// double-byte characters, so when pos is a character boundary, so is every
// position after a spelling that matched there. After each syllable the
// name may hold a long vowel the word leaves out: ー, or ウ after o and u
// ("tokyo" for トウキョウ), or both.
bool CKanaMatcher::MatchFrom(std::string_view n, std::size_t syllable, std::size_t pos, bool toEnd) const {
  if (syllable == Reading.Syllables.size()) return !toEnd || pos == n.size();
  const KanaReading::Syllable& s = Reading.Syllables[syllable];
  for (uint32_t k = s.First; k < s.First + s.Count; ++k) {
    const std::string_view text = Reading.SpellingText(Reading.Spellings[k]);
    if (n.size() - pos < text.size()) continue;
    // Spellings are a few characters: byte by byte beats a call.
    std::size_t b = 0;
    while (b < text.size() && n[pos + b] == text[b]) ++b;
    if (b < text.size()) continue;
    std::size_t end = pos + b;
    if (MatchFrom(n, syllable + 1, end, toEnd)) return true;
    auto at = [&](char lead, char trail) { return n.size() - end >= 2 && n[end] == lead && n[end + 1] == trail; };
    if ((s.Vowel == 'o' || s.Vowel == 'u') && at('\x83', '\x45')) {  // ウ
      end += 2;
      if (MatchFrom(n, syllable + 1, end, toEnd)) return true;
    }
    if (at('\x81', '\x5B') && MatchFrom(n, syllable + 1, end + 2, toEnd)) return true;  // ー
  }
  return false;
}

// Each syllable takes the spelling whose characters are all found soonest:
// what is left of the name after it holds every later match.
bool CKanaMatcher::MatchInOrderFrom(std::string_view n, bool doubleByteOnly) const {
  auto next = [&](std::size_t i) { return doubleByteOnly ? i + 2 : NextChar(n, i); };
  std::size_t pos = 0;
  for (const KanaReading::Syllable& s : Reading.Syllables) {
    std::size_t best = SIZE_MAX;
    for (uint32_t k = s.First; k < s.First + s.Count; ++k) {
      const std::string_view text = Reading.SpellingText(Reading.Spellings[k]);
      // Found at a character boundary, a lead byte of the spelling with
      // the byte after it is one character of the name.
      std::size_t i = pos;
      for (std::size_t c = 0; c + 1 < text.size(); c += 2) {
        while (i + 1 < n.size() && !(n[i] == text[c] && n[i + 1] == text[c + 1])) i = next(i);
        if (i + 1 >= n.size()) {
          i = SIZE_MAX;
          break;
        }
        i += 2;
      }
      best = std::min(best, i);
    }
    if (best == SIZE_MAX) return false;
    pos = best;
  }
  return true;
}

bool CKanaMatcher::Matches(std::string_view n, bool doubleByteOnly) const {
  switch (Mode) {
    case MatchMode::Prefix:
      return MatchFrom(n, 0, 0, false);
    case MatchMode::Exact:
      return MatchFrom(n, 0, 0, true);
    case MatchMode::Substring:
    case MatchMode::Suffix:
      for (std::size_t i = 0; i + 1 < n.size(); i = doubleByteOnly ? i + 2 : NextChar(n, i)) {
        if (FirstChars.test(static_cast<unsigned char>(n[i]) << 8 | static_cast<unsigned char>(n[i + 1])) &&
            MatchFrom(n, 0, i, Mode == MatchMode::Suffix)) {
          return true;
        }
      }
      return false;
    case MatchMode::InOrder:
      return MatchInOrderFrom(n, doubleByteOnly);
  }
  return false;
}

namespace {

// Rebuilds matches as the positions of the records that pass the test, in
// the order of entries.
template <typename RecordTest>
void ScanEntries(const AppEntryList& entries, MatchList::Positions& matches, const RecordTest& test) {
  matches.clear();
  const auto count = static_cast<int32_t>(entries.size());
  for (int32_t i = 0; i < count; ++i) {
#if defined(__GNUC__)
    // The names live apart from the records; fetch a few ahead.
    if (i + 8 < count) __builtin_prefetch(entries[static_cast<std::size_t>(i + 8)].DispName.data());
#endif
    if (test(entries[static_cast<std::size_t>(i)])) matches.push_back(i);
  }
}

// The records whose names pass the test, or whose readings (folded
// already) pass the other. A list without readings is scanned as before.
template <typename Test, typename ReadingTest>
void CollectMatches(const AppEntryList& entries, MatchList::Positions& matches, const Test& test,
                    const ReadingTest* readingTest) {
  if (readingTest && entries.HasReadings()) {
    ScanEntries(entries, matches, [&](const AppEntry& e) {
      return test(std::string_view(e.DispName)) || (e.ReadingAt != 0 && (*readingTest)(entries.ReadingOf(e)));
    });
  } else {
    ScanEntries(entries, matches, [&](const AppEntry& e) { return test(std::string_view(e.DispName)); });
  }
}

// In order, a word that is not romaji as a whole may be the first letters
// of its syllables ("*dnt" for デンタク): each letter stands for every kana
// it can begin.
bool ReadLettersInOrder(std::string_view word, KanaReading& reading) {
  reading = KanaReading{};
  KanaReading one;
  for (const char& c : word) {
    if (!ReadRomaji(std::string_view(&c, 1), one)) return false;
    const auto text = static_cast<uint32_t>(reading.Text.size());
    const auto first = static_cast<uint32_t>(reading.Spellings.size());
    reading.Text += one.Text;
    for (KanaReading::Spelling s : one.Spellings) reading.Spellings.push_back({s.Offset + text, s.Length});
    for (KanaReading::Syllable s : one.Syllables) reading.Syllables.push_back({s.First + first, s.Count});
  }
  return !reading.Syllables.empty();
}

}  // namespace

bool FilterEntries(const AppEntryList& entries, std::string_view word, MatchList::Positions& matches,
                   MatchOptions options) {
  if (word.empty()) {
    const auto count = static_cast<int32_t>(entries.size());
    matches.resize(entries.size());
    for (int32_t i = 0; i < count; ++i) matches[static_cast<std::size_t>(i)] = i;
    return true;
  }
  const ModedWord moded = SelectMatchMode(word);
  if (moded.Text.empty()) return false;

  const bool kana = options.KanaMatch;
  std::string folded(moded.Text);
  NormalizeForMatch(folded, kana);  // an invalid word is compared as it is
  const CWordMatcher typed(moded.Mode, folded, kana);
  CMatchNormalizer names(kana);
  KanaReading reading;
  if (!kana || !(ReadRomaji(moded.Text, reading) ||
                 (moded.Mode == MatchMode::InOrder && ReadLettersInOrder(moded.Text, reading)))) {
    // Readings are kept folded, of double-byte characters only.
    const auto typedReading = [&](std::string_view r) { return typed.Matches(r, true); };
    CollectMatches(entries, matches, [&](std::string_view raw) {
      if (!typed.MayMatchRaw(raw)) return false;
      const std::string_view name = names.Normalize(raw);
      return typed.Matches(name, names.DoubleByteOnly);
    }, kana ? &typedReading : nullptr);
    return true;
  }
  const CKanaMatcher read(moded.Mode, reading);
  const auto bothReading = [&](std::string_view r) {
    return (read.MayMatchLength(r.size() / 2) && read.Matches(r, true)) || typed.Matches(r, true);
  };
  // Both quick tests in one pass over each name.
  CRawCharFilter both;
  const uint32_t typedSlots = typed.WantChars(both, 0);
  const uint32_t readSlots = read.WantChars(both, kSlotsPerWord);
  CollectMatches(entries, matches, [&](std::string_view raw) {
    const uint32_t met = both.Met(raw);
    const bool mayTyped = (met & typedSlots) == typedSlots && typed.MayMatchLength(raw.size());
    const bool mayRead = (met & readSlots) == readSlots && read.MayMatchLength(raw.size());
    if (!mayTyped && !mayRead) return false;
    const std::string_view name = names.Normalize(raw);
    return (mayTyped && typed.Matches(name, names.DoubleByteOnly)) ||
           (mayRead && read.Matches(name, names.DoubleByteOnly));
  }, &bothReading);
  return true;
}

}  // namespace tarn
