// Search words against display names: the mode character, case and width
// folding of CP932 text, and the tests of each mode. Names are folded anew
// on every search (those that cannot match are not folded at all); nothing
// folded is kept between searches.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "search/AppEntry.h"
#include "search/Romaji.h"

namespace tarn {

enum class MatchMode { Substring, Prefix, Exact, Suffix, InOrder };

// How a search compares beyond case and width.
struct MatchOptions {
  // Hiragana and katakana are the same letters, and a word typed in romaji
  // also finds the names written in the kana it spells.
  bool KanaMatch = false;
};

struct ModedWord {
  MatchMode Mode = MatchMode::Substring;
  std::string_view Text;  // the word without its mode character
};

// Reads the mode from the first byte ('^' prefix, '\' exact, '*' in order)
// or else the last byte ('$' suffix) and cuts that one character off.
ModedWord SelectMatchMode(std::string_view word);

// Folds s in place so that case and width no longer matter: letters to lower
// case, every single-byte character to its full-width double-byte form,
// half-width kana with a following (semi-)voiced mark to the composed kana.
// With kana, hiragana (and its iteration marks) become katakana too; the
// long vowel mark and small kana stay what they are. False, and s
// unchanged, when a lead byte is followed by a byte that cannot be a trail
// byte.
bool NormalizeForMatch(std::string& s, bool kana = false);

// The same folding into a buffer kept from call to call, so that folding a
// long list of names allocates only when a longer name comes along.
class CMatchNormalizer {
 public:
  explicit CMatchNormalizer(bool kana = false) : Kana(kana) {}

  // The folded form of s, or s itself when s is not valid CP932 (then *ok
  // is false). The view lives until the next call.
  std::string_view Normalize(std::string_view s, bool* ok = nullptr);

  // True after a Normalize whose result consists of double-byte characters
  // only (then every even offset is a character boundary).
  bool DoubleByteOnly = false;

 private:
  bool Kana;
  std::string Buffer;
};

// Which bytes of an unfolded name can fold into each of up to 32 wanted
// characters, found in one pass over the name. A name that cannot make a
// word's characters holds no match and need not be folded. Bytes are taken
// wherever they stand, so the test may let a name through but never turns
// one away.
class CRawCharFilter {
 public:
  static constexpr int kSlots = 32;
  // A slot is met by a source of any character wanted in it. With kana,
  // the hiragana of a katakana character is a source too.
  void Want(int slot, unsigned char lead, unsigned char trail, bool kana);
  // The slots raw meets; one that a fifth lead byte would be needed for
  // counts as met.
  uint32_t Met(std::string_view raw) const;
  bool MetAll(std::string_view raw, uint32_t slots) const { return slots == 0 || (Met(raw) & slots) == slots; }

 private:
  // Bits per slot: which single bytes fold into a wanted character, and
  // which bytes after one of up to four lead bytes do.
  static constexpr int kMaxLeads = 4;
  uint32_t Dropped = 0;
  uint8_t Leads = 0;
  uint32_t SingleBits[256] = {};
  uint8_t LeadSlot[256] = {};  // 1-based slot of a lead byte, 0 for none
  uint32_t TrailBits[kMaxLeads + 1][256] = {};
};

// True when the characters of w occur in n in the same order, not
// necessarily adjacent. An empty w matches.
bool MatchInOrder(std::string_view n, std::string_view w);

// A folded word and its mode, ready to test folded names. Comparison is by
// CP932 characters: a hit never starts inside a double-byte character, and
// a lead byte standing last is a character of its own.
class CWordMatcher {
 public:
  // kana: the word and the names are folded with kana.
  CWordMatcher(MatchMode mode, std::string_view foldedWord, bool kana = false);
  // doubleByteOnly: the name is known to hold double-byte characters only.
  bool Matches(std::string_view foldedName, bool doubleByteOnly = false) const;
  // False when the unfolded name cannot match once folded, so that it need
  // not be folded at all: it is too short (or, for an exact word, too long)
  // or lacks every byte that could fold into one of the word's characters.
  bool MayMatchRaw(std::string_view rawName) const {
    return MayMatchLength(rawName.size()) && Filter.MetAll(rawName, Needed);
  }
  bool MayMatchLength(std::size_t rawSize) const;
  // Wants the word's first 16 double-byte characters in slots from first
  // on; answers those slots.
  uint32_t WantChars(CRawCharFilter& filter, int first) const;

 private:
  bool FindAtCharBoundary(std::string_view n, bool evenBoundaries) const;
  bool InOrderDoubleByte(std::string_view n) const;

  MatchMode Mode;
  std::string_view Word;
  bool Kana;
  bool EndsWithLoneLead;
  bool WordDoubleByteOnly;
  CRawCharFilter Filter;
  uint32_t Needed;
};

// A romaji word's kana reading and its mode, ready to test names folded
// with kana. Each syllable matches one of its spellings, and may be followed
// in the name by a long vowel the word leaves out (ー, or ウ after o and u);
// in the in-order mode the characters of the spellings need not be adjacent.
class CKanaMatcher {
 public:
  CKanaMatcher(MatchMode mode, const KanaReading& reading);
  bool Matches(std::string_view foldedName, bool doubleByteOnly = false) const;
  // As in CWordMatcher, by the first characters of the first 16 syllables.
  bool MayMatchRaw(std::string_view raw) const { return MayMatchLength(raw.size()) && Filter.MetAll(raw, Needed); }
  bool MayMatchLength(std::size_t rawSize) const;
  uint32_t WantChars(CRawCharFilter& filter, int first) const;

 private:
  bool MatchFrom(std::string_view n, std::size_t syllable, std::size_t pos, bool toEnd) const;
  bool MatchInOrderFrom(std::string_view n, bool doubleByteOnly) const;

  MatchMode Mode;
  KanaReading Reading;
  std::size_t MinBytes = 0;  // of the shortest and longest spelling of the word
  std::size_t MaxBytes = 0;
  std::bitset<65536> FirstChars;  // double-byte characters a first syllable begins with
  CRawCharFilter Filter;
  uint32_t Needed;
};

// Rebuilds matches as the positions in entries of the records that the word
// selects, in the order of entries; the empty word selects every record. A
// word that is only a mode character leaves matches as it is and answers
// false. With KanaMatch a name matches when it matches the word as typed,
// or when the word is romaji and the name matches its reading; a record's
// Reading is tested as its name is.
bool FilterEntries(const AppEntryList& entries, std::string_view word, MatchList::Positions& matches,
                   MatchOptions options = {});

}  // namespace tarn
