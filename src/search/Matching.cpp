#include "search/Matching.h"

#include <array>
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

struct ByteInfo {
  uint8_t Hi = 0;       // 0: no full-width form, the byte is kept
  uint8_t Lo = 0;
  uint8_t Voiced = 0;   // low byte of the composed form with ﾞ, 0 if none
  uint8_t SemiVoiced = 0;
  bool Lead = false;
};

// Only kana that have a composed form in the code page take a mark: adding
// to the low byte of any other kana would give a different kana (ｱﾞ → ィ)
// or no character at all (ﾐﾞ → 83 7F). Elsewhere the mark stays ゛ or ゜.
constexpr std::array<ByteInfo, 256> MakeByteTable() {
  std::array<ByteInfo, 256> t{};
  for (int c = 0; c < 256; ++c) {
    uint16_t wide = 0;
    if (c >= 0x20 && c <= 0x7E) wide = kAsciiWide[c - 0x20];
    if (c >= 0xA1 && c <= 0xDF) wide = kKanaWide[c - 0xA1];
    t[c].Hi = static_cast<uint8_t>(wide >> 8);
    t[c].Lo = static_cast<uint8_t>(wide & 0xFF);
    t[c].Lead = IsLeadByte(static_cast<unsigned char>(c));
    if (c == 0xB3) t[c].Voiced = 0x94;                       // ｳﾞ → ヴ
    if (c >= 0xB6 && c <= 0xC4) t[c].Voiced = t[c].Lo + 1;   // ｶ..ﾄ
    if (c >= 0xCA && c <= 0xCE) {                            // ﾊ..ﾎ
      t[c].Voiced = t[c].Lo + 1;
      t[c].SemiVoiced = t[c].Lo + 2;
    }
  }
  return t;
}

constexpr std::array<ByteInfo, 256> kBytes = MakeByteTable();

// Lower-case counterpart of an upper-case double-byte letter (full-width
// Latin, Greek, Cyrillic); the trail byte unchanged otherwise.
inline unsigned char LowerTrail(unsigned char lead, unsigned char trail) {
  switch (lead) {
    case 0x82:  // Ａ-Ｚ 8260-8279 → ａ-ｚ 8281-829A
      return (trail >= 0x60 && trail <= 0x79) ? trail + 0x21 : trail;
    case 0x83:  // Α-Ω 839F-83B6 → α-ω 83BF-83D6
      return (trail >= 0x9F && trail <= 0xB6) ? trail + 0x20 : trail;
    case 0x84:  // А-Я 8440-8460 → а-я 8470-8491, which step over 7F
      if (trail >= 0x40 && trail <= 0x60) {
        unsigned char lower = trail + 0x30;
        return lower >= 0x7F ? lower + 1 : lower;
      }
      return trail;
    default:
      return trail;
  }
}

// Folds n bytes of s into out (room for 2n bytes). Answers the folded
// length, or SIZE_MAX when a lead byte has an invalid trail byte.
std::size_t FoldInto(const unsigned char* s, std::size_t n, unsigned char* out) {
  unsigned char* o = out;
  std::size_t i = 0;
  while (i < n) {
    const unsigned char c = s[i];
    const ByteInfo& b = kBytes[c];
    if (b.Lead) {
      if (i + 1 == n) {  // lead byte standing last: kept as a character of its own
        *o++ = c;
        break;
      }
      const unsigned char t = s[i + 1];
      if (!IsTrailByte(t)) return SIZE_MAX;
      *o++ = c;
      *o++ = LowerTrail(c, t);
      i += 2;
      continue;
    }
    if (b.Hi == 0) {
      *o++ = c;
      ++i;
      continue;
    }
    *o++ = b.Hi;
    unsigned char lo = b.Lo;
    ++i;
    if (i < n && (b.Voiced | b.SemiVoiced) != 0) {
      if (s[i] == kVoicedMark && b.Voiced) {
        lo = b.Voiced;
        ++i;
      } else if (s[i] == kSemiVoicedMark && b.SemiVoiced) {
        lo = b.SemiVoiced;
        ++i;
      }
    }
    *o++ = lo;
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
  const std::size_t len = FoldInto(reinterpret_cast<const unsigned char*>(s.data()), s.size(),
                                   reinterpret_cast<unsigned char*>(Buffer.data()));
  if (ok) *ok = len != SIZE_MAX;
  if (len == SIZE_MAX) return s;
  return std::string_view(Buffer.data(), len);
}

bool NormalizeForMatch(std::string& s) {
  CMatchNormalizer n;
  bool ok = false;
  std::string_view folded = n.Normalize(s, &ok);
  if (ok) s.assign(folded);
  return ok;
}

bool MatchInOrder(std::string_view n, std::string_view w) {
  std::size_t j = 0;
  for (std::size_t i = 0; i < n.size() && j < w.size();) {
    const std::size_t ln = CharLength(n, i);
    const std::size_t lw = CharLength(w, j);
    if (ln == lw && SameBytes(n.data() + i, w.data() + j, ln)) j += lw;
    i += ln;
  }
  return j >= w.size();
}

CWordMatcher::CWordMatcher(MatchMode mode, std::string_view foldedWord)
    : Mode(mode), Word(foldedWord), EndsWithLoneLead(false) {
  const std::size_t last = LastCharStart(foldedWord);
  EndsWithLoneLead = last != std::string_view::npos && last + 1 == foldedWord.size() &&
                     IsLeadByte(foldedWord[last]);
}

// The bytes of the word, laid over the name at a character boundary, cut
// the name into the same characters as the word itself, except that a lone
// lead byte ending the word is a whole character only at the end of the name.
bool CWordMatcher::FindAtCharBoundary(std::string_view n) const {
  if (Word.empty()) return true;
  std::size_t boundary = 0;
  std::size_t from = 0;
  for (;;) {
    const std::size_t hit = n.find(Word, from);
    if (hit == std::string_view::npos) return false;
    while (boundary < hit) boundary = NextChar(n, boundary);
    if (boundary == hit) {
      if (!EndsWithLoneLead || hit + Word.size() == n.size()) return true;
      from = hit + 1;
    } else {
      from = boundary;
    }
  }
}

bool CWordMatcher::Matches(std::string_view n) const {
  switch (Mode) {
    case MatchMode::Substring:
      return FindAtCharBoundary(n);
    case MatchMode::Prefix:
      return n.size() >= Word.size() && SameBytes(n.data(), Word.data(), Word.size()) &&
             (!EndsWithLoneLead || n.size() == Word.size());
    case MatchMode::Exact:
      return n == Word;
    case MatchMode::Suffix:
      // Folded text is double-byte throughout, so the tail is aligned; a
      // name left unfolded may not be, hence the boundary check on a hit.
      return n.size() >= Word.size() &&
             SameBytes(n.data() + (n.size() - Word.size()), Word.data(), Word.size()) &&
             IsCharBoundary(n, n.size() - Word.size());
    case MatchMode::InOrder:
      return MatchInOrder(n, Word);
  }
  return false;
}

bool FilterEntries(const AppEntryList& entries, std::string_view word, AppEntryList& matches) {
  if (word.empty()) {
    matches = entries;
    return true;
  }
  const ModedWord moded = SelectMatchMode(word);
  if (moded.Text.empty()) return false;

  std::string folded(moded.Text);
  NormalizeForMatch(folded);  // an invalid word is compared as it is
  const CWordMatcher matcher(moded.Mode, folded);

  // Records already in matches are overwritten in place, so that their
  // strings' storage is reused instead of freed and allocated again.
  CMatchNormalizer names;
  std::size_t used = 0;
  for (const AppEntry& e : entries) {
    if (!matcher.Matches(names.Normalize(e.DispName))) continue;
    if (used < matches.size()) {
      matches[used] = e;
    } else {
      matches.push_back(e);
    }
    ++used;
  }
  matches.resize(used);
  return true;
}

}  // namespace tarn
