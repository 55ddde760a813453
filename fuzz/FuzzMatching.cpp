// Folding and searching never read outside their input, whatever the bytes;
// folding is stable and a name always finds itself. With kana matching: a
// name's own hiragana and katakana forms find it, and a romaji word finds
// the kana it reads as, also where the name holds long vowels it leaves out.
// Names in kanji get their readings from the real table: reading is stable,
// keeps valid text valid, and a name is found by its reading.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/Cp932.h"
#include "search/AppEntry.h"
#include "search/Matching.h"
#include "search/Readings.h"
#include "search/Romaji.h"
#include "support/ReadingFile.h"

namespace {

// s with its kana turned into katakana or hiragana, character by character
// (ぁ-ん 829F-82F1 run alongside ァ-ン 8340-8393, which skip 837F).
std::string KanaForm(const std::string& s, bool katakana) {
  std::string out = s;
  for (std::size_t i = 0; i + 1 < out.size(); i = tarn::NextChar(out, i)) {
    const auto lead = static_cast<unsigned char>(out[i]);
    const auto trail = static_cast<unsigned char>(out[i + 1]);
    if (katakana && lead == 0x82 && trail >= 0x9F && trail <= 0xF1) {
      const int k = 0x40 + (trail - 0x9F);
      out[i] = '\x83';
      out[i + 1] = static_cast<char>(k >= 0x7F ? k + 1 : k);
    } else if (!katakana && lead == 0x83 && trail >= 0x40 && trail <= 0x93 && trail != 0x7F) {
      out[i] = '\x82';
      out[i + 1] = static_cast<char>(0x9F + (trail - 0x40) - (trail > 0x7F ? 1 : 0));
    }
  }
  return out;
}

const tarn::CReadingTable& Table() {
  const tarn::CReadingTable& table = tarn::test::SourceReadingTable();
  if (!table.IsOpen()) std::abort();
  return table;
}

// A record of list, with its reading, found by word with kana matching.
bool FindsOne(const AppEntryList& list, const AppEntry& e, const std::string& word) {
  AppEntryList one{e};
  one.SetReading(one[0], list.ReadingOf(e));
  MatchList::Positions at;
  tarn::FilterEntries(one, word, at, {true});
  return at.size() == 1;
}

bool FindsOne(const AppEntry& e, const std::string& word, bool kana) {
  MatchList::Positions one;
  tarn::FilterEntries(AppEntryList{e}, word, one, {kana});
  return one.size() == 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // First byte: where the word ends; the rest splits into the word and
  // names at each NUL.
  if (size < 1) return 0;
  const std::string in(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::size_t cut = data[0] % (in.size() + 1);
  const std::string word = in.substr(0, cut);

  AppEntryList entries;
  std::string rest = in.substr(cut);
  for (std::size_t start = 0; start <= rest.size();) {
    std::size_t end = rest.find('\0', start);
    if (end == std::string::npos) end = rest.size();
    entries.push_back({rest.substr(start, end - start), "C:\\x.exe", static_cast<int32_t>(entries.size())});
    start = end + 1;
  }
  tarn::SetReadings(entries, &Table());
  AppEntryList again = entries;
  tarn::SetReadings(again, &Table());
  if (again != entries) std::abort();
  for (const AppEntry& e : entries) {
    // Folded: valid text of double-byte characters only.
    std::string read;
    const std::string_view r = entries.ReadingOf(e);
    if (!r.empty() && (!Table().Read(e.DispName, read) || r.size() % 2 || !tarn::IsValidCp932(r))) std::abort();
  }

  for (bool kana : {false, true}) {
    std::string folded = word;
    if (tarn::NormalizeForMatch(folded, kana)) {
      std::string twice = folded;
      // A folded text is valid and folds to itself.
      if (!tarn::NormalizeForMatch(twice, kana) || twice != folded) std::abort();
    } else if (folded != word) {
      std::abort();
    }
  }

  // The shortcut for names of double-byte characters only agrees with the
  // character walk.
  const std::string searched = word.empty() ? std::string("x") : word;
  const tarn::ModedWord moded = tarn::SelectMatchMode(searched);
  for (bool kana : {false, true}) {
    std::string w(moded.Text);
    tarn::NormalizeForMatch(w, kana);
    const tarn::CWordMatcher matcher(moded.Mode, w, kana);
    tarn::CMatchNormalizer names(kana);
    for (const AppEntry& e : entries) {
      for (const std::string_view raw : {std::string_view(e.DispName), entries.ReadingOf(e)}) {
        const std::string_view n = names.Normalize(raw);
        const bool hit = matcher.Matches(n, false);
        if (names.DoubleByteOnly && matcher.Matches(n, true) != hit) std::abort();
        // The quick test on the unfolded name never turns a match away.
        if (hit && !matcher.MayMatchRaw(raw)) std::abort();
      }
    }
  }

  // The same word read as romaji: the input's bytes made letters, '-' and
  // '\''. Every spelling of the reading finds a name of its own kana.
  static const char kRomajiBytes[] = "aiueonkstnhmyrwgzdbpjcfvlxqAN-'";
  std::string romaji;
  for (unsigned char c : word) romaji += kRomajiBytes[c % (sizeof kRomajiBytes - 1)];
  tarn::KanaReading reading;
  if (tarn::ReadRomaji(romaji, reading)) {
    // The same name with the long vowels a word may leave out: after some
    // syllables ー, after some ending in o or u ウ, or both.
    std::string spelled, stretched;
    for (std::size_t k = 0; k < reading.Syllables.size(); ++k) {
      const tarn::KanaReading::Syllable& s = reading.Syllables[k];
      if (s.Count == 0) std::abort();
      const std::string_view text = reading.SpellingText(reading.Spellings[s.First + (word.size() + s.First) % s.Count]);
      spelled += text;
      stretched += text;
      const unsigned bits = static_cast<unsigned char>(word[k % word.size()]);
      if ((bits & 2) && (s.Vowel == 'o' || s.Vowel == 'u')) stretched += "\x83\x45";
      if (bits & 1) stretched += "\x81\x5B";
    }
    for (const std::string& name : {spelled, stretched}) {
      const AppEntry e{name, "C:\\x.exe", 0};
      for (const char* mode : {"\\", "^", "*", ""}) {
        if (!FindsOne(e, mode + romaji, true)) std::abort();
      }
      if (!FindsOne(e, romaji + "$", true)) std::abort();
    }
    tarn::CMatchNormalizer names(true);
    for (const tarn::MatchMode mode : {tarn::MatchMode::Substring, tarn::MatchMode::InOrder, tarn::MatchMode::Exact}) {
      const tarn::CKanaMatcher m(mode, reading);
      for (const AppEntry& n : entries) {
        for (const std::string_view raw : {std::string_view(n.DispName), entries.ReadingOf(n)}) {
          const std::string_view folded = names.Normalize(raw);
          const bool hit = m.Matches(folded, false);
          if (names.DoubleByteOnly && m.Matches(folded, true) != hit) std::abort();
          if (hit && !m.MayMatchRaw(raw)) std::abort();
        }
      }
    }
  }

  MatchList::Positions matches;
  for (bool kana : {false, true}) {
    tarn::FilterEntries(entries, word, matches, {kana});
    if (matches.size() > entries.size()) std::abort();
    for (std::size_t i = 1; i < matches.size(); ++i) {
      if (matches[i] <= matches[i - 1]) std::abort();
    }
    tarn::FilterEntries(entries, "", matches, {kana});
    if (matches.size() != entries.size()) std::abort();
    for (const char* mode : {"^", "\\", "*", ""}) {
      tarn::FilterEntries(entries, std::string(mode) + word, matches, {kana});
      tarn::FilterEntries(entries, word + "$", matches, {kana});
      tarn::FilterEntries(entries, std::string(mode) + romaji, matches, {kana});
    }
  }

  // Every non-empty name is found by itself as an exact word, unless the
  // name begins with a mode character; with kana matching, also by its
  // hiragana and katakana forms when it is valid text.
  for (const AppEntry& e : entries) {
    if (e.DispName.empty()) continue;
    const char first = e.DispName[0];
    if (first == '^' || first == '\\' || first == '*') continue;
    if (!FindsOne(e, "\\" + e.DispName, false) || !FindsOne(e, "\\" + e.DispName, true)) std::abort();
    if (!tarn::IsValidCp932(e.DispName)) continue;
    if (!FindsOne(e, "\\" + KanaForm(e.DispName, true), true) || !FindsOne(e, "\\" + KanaForm(e.DispName, false), true))
      std::abort();
    // By its reading only with kana matching, in its hiragana form too.
    const std::string r(entries.ReadingOf(e));
    if (!r.empty() && (!FindsOne(entries, e, "\\" + r) || !FindsOne(entries, e, "\\" + KanaForm(r, false))))
      std::abort();
  }
  return 0;
}
