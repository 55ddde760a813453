#include "search/WatchRules.h"

#include <algorithm>

#include "base/Cp932.h"
#include "base/Path.h"

namespace tarn {

namespace {

char FoldByte(char c) {
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 0x20);
  return c == '/' ? '\\' : c;
}

std::string_view WithoutFinalSeparator(std::string_view s) {
  if (s.size() > 1 && (EndsWithChar(s, '\\') || EndsWithChar(s, '/'))) s.remove_suffix(1);
  return s;
}

// Equal up to the end of the shorter one; letters of double-byte characters
// are compared as they stand.
bool SamePrefix(std::string_view a, std::string_view b, std::size_t n) {
  for (std::size_t i = 0; i < n; i = NextChar(a, i)) {
    const std::size_t len = CharLength(a, i);
    if (len == 1) {
      if (FoldByte(a[i]) != FoldByte(b[i])) return false;
    } else if (i + len > n || a.substr(i, len) != b.substr(i, len)) {
      return false;
    }
  }
  return true;
}

std::string WithSeparator(std::string folder) {
  if (!folder.empty() && !EndsWithChar(folder, '\\') && !EndsWithChar(folder, '/')) folder += '\\';
  return folder;
}

}  // namespace

bool SameFolder(std::string_view a, std::string_view b) {
  a = WithoutFinalSeparator(a);
  b = WithoutFinalSeparator(b);
  return a.size() == b.size() && SamePrefix(a, b, a.size());
}

bool InFolder(std::string_view path, std::string_view folder) {
  folder = WithoutFinalSeparator(folder);
  if (folder.empty() || path.size() <= folder.size() || !SamePrefix(folder, path, folder.size())) return false;
  // The folder must end where a path element ends: "C:\App" holds
  // "C:\App\x", not "C:\Apps\x". A trail byte 5C at the cut is no separator.
  const char next = path[folder.size()];
  return (next == '\\' || next == '/') && LastCharStart(path.substr(0, folder.size() + 1)) == folder.size();
}

std::vector<WatchRoot> WatchRootsOf(const std::vector<ScanJob>& jobs) {
  std::vector<WatchRoot> roots;
  for (const ScanJob& job : jobs) {
    if (job.Folder.empty()) continue;
    auto same = std::find_if(roots.begin(), roots.end(),
                             [&](const WatchRoot& r) { return SameFolder(r.Folder, job.Folder); });
    if (same == roots.end()) {
      roots.push_back({WithSeparator(job.Folder), job.Patterns, job.Recursive});
      continue;
    }
    same->Subtree = same->Subtree || job.Recursive;
    if (same->Patterns != job.Patterns) same->Patterns = std::string(kAllFilesPattern);
  }
  return roots;
}

bool ChangeMatters(const WatchRoot& root, std::string_view name, std::string_view ownFolder,
                   const std::vector<std::string>& ignoredFolders) {
  if (name.empty()) return true;
  const std::string path = root.Folder + std::string(name);
  for (const std::string& folder : ignoredFolders) {
    if (InFolder(path, folder) || SameFolder(path, folder)) return false;
  }
  if (!ownFolder.empty() && SameFolder(DirectoryOf(path), ownFolder)) {
    // The cache, the names file and the settings, each with its temporary.
    const std::string_view file = std::string_view(path).substr(DirectoryOf(path).size());
    for (std::string_view own :
         {"apppaths.ini", "apppaths.tmp", "appnames.ini", "appnames.tmp", "tlenv.ini", "tlenv.tmp"}) {
      if (file.size() == own.size() && SamePrefix(own, file, own.size())) return false;
    }
  }
  // A folder renamed below a subtree root changes every file in it, and
  // a change does not tell folders from files: all of them count there.
  if (root.Subtree || root.Patterns == kAllFilesPattern) return true;
  return MatchSpec(path, root.Patterns);
}

void CWatchPacer::Changed(uint64_t nowMs) {
  if (!Pending) {
    Pending = true;
    PendingSince = nowMs;
  }
  LastChange = std::max(LastChange, nowMs);
}

std::optional<uint64_t> CWatchPacer::DueAt() const {
  if (!Pending) return std::nullopt;
  // After a quiet moment; an unpacked archive makes one pass, not one each
  // few seconds. Changes that never pause must not starve the list.
  uint64_t at = std::min(LastChange + Timings.QuietMs, PendingSince + Timings.LongestWaitMs);
  if (LastPass && PendingSince < *LastPass + Timings.StreamGapMs) at = std::max(at, *LastPass + Timings.MinGapMs);
  return at;
}

void CWatchPacer::Started(uint64_t nowMs) {
  Pending = false;
  LastPass = nowMs;
}

}  // namespace tarn
