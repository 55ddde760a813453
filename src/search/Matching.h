// Search words against display names: the mode character, case and width
// folding of CP932 text, and the tests of each mode. Names are folded anew
// on every search (those that cannot match are not folded at all); nothing
// folded is kept between searches.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "search/AppEntry.h"

namespace tarn {

enum class MatchMode { Substring, Prefix, Exact, Suffix, InOrder };

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
// False, and s unchanged, when a lead byte is followed by a byte that cannot
// be a trail byte.
bool NormalizeForMatch(std::string& s);

// The same folding into a buffer kept from call to call, so that folding a
// long list of names allocates only when a longer name comes along.
class CMatchNormalizer {
 public:
  // The folded form of s, or s itself when s is not valid CP932 (then *ok
  // is false). The view lives until the next call.
  std::string_view Normalize(std::string_view s, bool* ok = nullptr);

  // True after a Normalize whose result consists of double-byte characters
  // only (then every even offset is a character boundary).
  bool DoubleByteOnly = false;

 private:
  std::string Buffer;
};

// True when the characters of w occur in n in the same order, not
// necessarily adjacent. An empty w matches.
bool MatchInOrder(std::string_view n, std::string_view w);

// A folded word and its mode, ready to test folded names. Comparison is by
// CP932 characters: a hit never starts inside a double-byte character, and
// a lead byte standing last is a character of its own.
class CWordMatcher {
 public:
  CWordMatcher(MatchMode mode, std::string_view foldedWord);
  // doubleByteOnly: the name is known to hold double-byte characters only.
  bool Matches(std::string_view foldedName, bool doubleByteOnly = false) const;
  // False when the unfolded name cannot match once folded, so that it need
  // not be folded at all: it is too short (or, for an exact word, too long)
  // or lacks every byte that could fold into one of the word's characters.
  bool MayMatchRaw(std::string_view rawName) const;

 private:
  bool FindAtCharBoundary(std::string_view n, bool evenBoundaries) const;
  bool InOrderDoubleByte(std::string_view n) const;

  MatchMode Mode;
  std::string_view Word;
  bool EndsWithLoneLead;
  bool WordDoubleByteOnly;

  // For up to 16 double-byte characters of the word, one bit each: which
  // single bytes fold into it, and which bytes after one of up to four lead
  // bytes do. A name that cannot make every bit can hold no match.
  static constexpr int kMaxLeads = 4;
  uint16_t Needed = 0;
  uint16_t SingleBits[256] = {};
  uint8_t LeadSlot[256] = {};  // 1-based slot of a lead byte, 0 for none
  uint16_t TrailBits[kMaxLeads + 1][256] = {};
};

// Rebuilds matches as the positions in entries of the records that the word
// selects, in the order of entries; the empty word selects every record. A
// word that is only a mode character leaves matches as it is and answers
// false.
bool FilterEntries(const AppEntryList& entries, std::string_view word, MatchList::Positions& matches);

}  // namespace tarn
