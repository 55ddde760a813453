// Readings of names in kanji: the built-in reading table (made from
// mecab-ipadic by scripts/make-readings) read in place, and the katakana
// reading of a name made with it, so that 電卓 is found by "dentaku".
// Portable: the table's bytes come from the caller.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "search/AppEntry.h"

namespace tarn {

class CReadingTable {
 public:
  // Takes the table's bytes, which must outlive the object; nothing is
  // copied. False, and the table reads nothing, when they are not a whole,
  // undamaged table.
  bool Open(std::string_view bytes);
  bool IsOpen() const { return Groups != nullptr; }

  // The name with each word of kanji (and its okurigana) that the table
  // knows replaced by its reading in katakana; kana, letters and unknown
  // kanji stay as written. False, and reading empty, when the table knows
  // no word of the name. A name that is not valid CP932 is not read.
  bool Read(std::string_view name, std::string& reading) const;

 private:
  struct Found {
    std::size_t Bytes = 0;  // of the name the word covers
    std::string_view Kana, Ending;
  };
  bool Longest(std::string_view text, std::size_t at, Found& found) const;
  bool FindRest(uint32_t firstBlock, uint32_t endBlock, std::string_view rest, Found& found) const;

  const unsigned char* Groups = nullptr;
  uint32_t GroupCount = 0;
  const unsigned char* Blocks = nullptr;
  uint32_t BlockCount = 0;
  std::string_view Data;
};

// Gives every record whose name the table reads its reading, folded as
// names are for kana matching (so of double-byte characters only), and
// takes it from every other; with no table (or one not open), takes all.
void SetReadings(AppEntryList& records, const CReadingTable* table);

}  // namespace tarn
