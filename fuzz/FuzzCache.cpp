// Cache file text, user folder entries and wildcard patterns from any
// bytes: never a crash, never a read out of bounds, only storable paths kept.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "search/CollectSources.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  tarn::PathViews paths;
  tarn::CacheParseResult r = tarn::ParseCacheText(text, paths);
  if (r.Kept != paths.size()) std::abort();
  std::size_t bytes = 0;
  for (std::string_view p : paths) {
    if (!tarn::IsStorablePath(p)) std::abort();
    bytes += p.size();
  }
  if (bytes > size) std::abort();

  // The first line as a user folder entry, the rest as a path to match.
  std::size_t cut = text.find('\n');
  std::string_view head = text.substr(0, cut);
  std::string_view tail = cut == std::string_view::npos ? std::string_view() : text.substr(cut + 1);
  tarn::AnyDirEntry e = tarn::SplitAnyDirEntry(head, tarn::kDefaultExecPatterns);
  tarn::MatchSpec(tail.substr(0, 300), e.Patterns.substr(0, 64));
  tarn::SplitPathDirs(head);
  return 0;
}
