#include "search/AppEntries.h"

#include <cstdint>

#include "base/Path.h"

namespace tarn {

std::string DispNameOf(std::string_view shownName) {
  const PathParts parts = SplitPath(shownName);
  // A name that is all extension (".profile") would be blank in the list
  // and found by no word: it keeps its dot.
  if (parts.Name.empty()) return std::string(parts.Ext);
  return std::string(parts.Name);
}

bool AppendEntriesWith(AppEntryList& target, const PathList& paths,
                       const DisplayNameSource& displayName) {
  if (paths.empty()) return false;
  target.reserve(target.size() + paths.size());
  std::string name;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const std::string& path = paths[i];
    name.clear();
    const bool named = displayName && displayName(path, name) && !name.empty();
    AppEntry e;
    e.DispName = DispNameOf(named ? std::string_view(name) : std::string_view(path));
    e.FullPath = path;
    e.ListIndex = static_cast<int32_t>(i);
    target.push_back(std::move(e));
  }
  return true;
}

}  // namespace tarn
