// Folding and searching never read outside their input, whatever the bytes;
// folding is stable and a name always finds itself.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "search/AppEntry.h"
#include "search/Matching.h"

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

  std::string folded = word;
  if (tarn::NormalizeForMatch(folded)) {
    std::string twice = folded;
    // A folded text is valid and folds to itself.
    if (!tarn::NormalizeForMatch(twice) || twice != folded) std::abort();
  } else if (folded != word) {
    std::abort();
  }

  // The shortcut for names of double-byte characters only agrees with the
  // character walk.
  const std::string searched = word.empty() ? std::string("x") : word;
  const tarn::ModedWord moded = tarn::SelectMatchMode(searched);
  std::string w(moded.Text);
  tarn::NormalizeForMatch(w);
  const tarn::CWordMatcher matcher(moded.Mode, w);
  tarn::CMatchNormalizer names;
  for (const AppEntry& e : entries) {
    const std::string_view n = names.Normalize(e.DispName);
    const bool hit = matcher.Matches(n, false);
    if (names.DoubleByteOnly && matcher.Matches(n, true) != hit) std::abort();
    // The quick test on the unfolded name never turns a match away.
    if (hit && !matcher.MayMatchRaw(e.DispName)) std::abort();
  }

  MatchList::Positions matches;
  tarn::FilterEntries(entries, word, matches);
  if (matches.size() > entries.size()) std::abort();
  for (std::size_t i = 1; i < matches.size(); ++i) {
    if (matches[i] <= matches[i - 1]) std::abort();
  }
  tarn::FilterEntries(entries, "", matches);
  if (matches.size() != entries.size()) std::abort();

  // Every non-empty name is found by itself as an exact word, unless the
  // name begins with a mode character.
  for (const AppEntry& e : entries) {
    if (e.DispName.empty()) continue;
    const char first = e.DispName[0];
    if (first == '^' || first == '\\' || first == '*') continue;
    MatchList::Positions one;
    tarn::FilterEntries(AppEntryList{e}, "\\" + e.DispName, one);
    if (one.size() != 1) std::abort();
  }
  for (const char* mode : {"^", "\\", "*", ""}) {
    tarn::FilterEntries(entries, std::string(mode) + word, matches);
    tarn::FilterEntries(entries, word + "$", matches);
  }
  return 0;
}
