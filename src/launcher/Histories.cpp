#include "launcher/Histories.h"

#include <algorithm>

#include "base/Cp932.h"
#include "settings/EnvFile.h"

namespace {

// Upper-case form of one character (c1 = lead byte or the single byte,
// c2 = trail byte or 0), as one comparable number.
unsigned FoldedChar(unsigned char c1, unsigned char c2) {
  if (c2 == 0) return (c1 >= 'a' && c1 <= 'z') ? c1 - 0x20 : c1;
  unsigned code = (static_cast<unsigned>(c1) << 8) | c2;
  // Full-width Latin: ａ-ｚ 8281-829A, Ａ-Ｚ 8260-8279.
  if (code >= 0x8281 && code <= 0x829A) return code - 0x21;
  // Greek: α-ω 83BF-83D6, Α-Ω 839F-83B6.
  if (code >= 0x83BF && code <= 0x83D6) return code - 0x20;
  // Cyrillic: а-я 8470-8491 with 847F unused, А-Я 8440-8460.
  if (code >= 0x8470 && code <= 0x847E) return code - 0x30;
  if (code >= 0x8480 && code <= 0x8491) return code - 0x31;
  return code;
}

}  // namespace

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    std::size_t la = tarn::CharLength(a, i), lb = tarn::CharLength(b, j);
    if (la != lb) return false;
    auto ua = static_cast<unsigned char>(a[i]), ub = static_cast<unsigned char>(b[j]);
    unsigned char ta = la == 2 ? static_cast<unsigned char>(a[i + 1]) : 0;
    unsigned char tb = lb == 2 ? static_cast<unsigned char>(b[j + 1]) : 0;
    if (FoldedChar(ua, ta) != FoldedChar(ub, tb)) return false;
    i += la;
    j += lb;
  }
  return i == a.size() && j == b.size();
}

bool AddToExecList(std::vector<std::string>& list, int32_t max, std::string_view word) {
  if (max <= 0 || word.empty() || word.size() > kMaxHistoryEntry) return false;
  if (!tarn::IsStorableListEntry(word, "ExecList-E:")) return false;
  std::erase_if(list, [&](const std::string& e) { return EqualIgnoringCase(e, word); });
  // The settings dialog may have cut the maximum below the list's length.
  if (list.size() >= static_cast<std::size_t>(max)) list.resize(static_cast<std::size_t>(max) - 1);
  list.insert(list.begin(), std::string(word));
  return true;
}

bool AddToTopDirs(std::vector<std::string>& list, int32_t max, std::string_view path) {
  if (max < 1 || path.empty() || path.size() > kMaxHistoryEntry) return false;
  if (!tarn::IsStorableListEntry(path, "TopDirs-E:")) return false;
  std::erase_if(list, [&](const std::string& e) { return e == path; });
  if (list.size() >= static_cast<std::size_t>(max)) list.resize(static_cast<std::size_t>(max) - 1);
  list.insert(list.begin(), std::string(path));
  return true;
}
