// Reading a word typed in romaji as the kana it spells, so that a search
// word typed with the input method off still finds Japanese names. The
// reading is in the folded form of names: full-width katakana.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarn {

// One spelling of the table: lower-case romaji and the katakana it stands
// for. A romaji that stands for more than one kana has one row each.
struct RomajiRow {
  const char* Romaji;
  const char16_t* Kana;
};

// Hepburn, kunrei and Nihon-shiki syllables and the word-processor forms
// (small kana with x or l, the extra y and w combinations).
extern const RomajiRow kRomajiRows[];
extern const std::size_t kRomajiRowCount;

// A romaji word as a sequence of syllables. Most syllables have one
// spelling; some have several (zu is ズ or ヅ; the a of "nna" is ア or, read
// as n + na, ナ; na is ナ or ンア, as in "honyaku"; a vowel typed again is
// also ー, and the o of "oo" also ウ), and letters still being typed at the
// end of the word stand for every kana they can begin.
struct KanaReading {
  struct Spelling {
    uint32_t Offset = 0;  // bytes of Text
    uint32_t Length = 0;
  };
  struct Syllable {
    uint32_t First = 0;  // index into Spellings
    uint32_t Count = 0;
    // The vowel the syllable ends in ('a', 'i', 'u', 'e', 'o'), 0 for none
    // or for spellings that end in different vowels. After o and u a name's
    // ウ may stand for the long vowel that was not typed.
    char Vowel = 0;
  };
  std::string Text;
  std::vector<Spelling> Spellings;
  std::vector<Syllable> Syllables;

  std::string_view SpellingText(const Spelling& s) const { return std::string_view(Text).substr(s.Offset, s.Length); }
};

// Reads word as romaji: ASCII letters in either case, '-' for the long
// vowel mark ー and '\'' after n. False, and reading empty, for any other
// word, and for a word that no syllables make up.
bool ReadRomaji(std::string_view word, KanaReading& reading);

}  // namespace tarn
