// The two histories of the settings record: search words that led to a
// launch (ExecList) and the candidates that were started (TopDirs), both
// most recent first.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/EnvDlgInfo.h"

// Equal when case is ignored for ASCII letters and for the full-width
// Latin, Greek and Cyrillic letters of code page 932; everything else,
// trail bytes included, compares byte for byte.
bool EqualIgnoringCase(std::string_view a, std::string_view b);

// Longest history entry: a settings file line holds at most 259 bytes.
inline constexpr std::size_t kMaxHistoryEntry = 259;

// Puts word at the front of list, removing every entry equal to it when
// case is ignored, and keeps at most max entries. Nothing happens when max
// is 0 or less, or the word could not stand as a line of the settings file
// (empty, longer than kMaxHistoryEntry, control characters, broken CP932).
// Answers whether the list changed.
bool AddToExecList(std::vector<std::string>& list, int32_t max, std::string_view word);

// Puts the started path at the front of list, removing byte-for-byte equal
// entries, and keeps at most max entries. Nothing happens when max is below
// 1, the path is empty (static item rows have none) or could not stand as
// a line of the settings file. Answers whether the list changed.
bool AddToTopDirs(std::vector<std::string>& list, int32_t max, std::string_view path);

// The same on the settings record.
inline bool AddToExecList(EnvDlgInfo& info, std::string_view word) {
  return AddToExecList(info.ExecList, info.ExecListNumMax, word);
}
inline bool AddToTopDirs(EnvDlgInfo& info, std::string_view path) {
  return AddToTopDirs(info.TopDirs, info.TopDirNumMax, path);
}
