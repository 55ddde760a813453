#include "search/AppEntries.h"

#include "base/Path.h"

namespace tarn {

std::string DispNameOf(std::string_view shownName) {
  const PathParts parts = SplitPath(shownName);
  // A name that is all extension (".profile") would be blank in the list
  // and found by no word: it keeps its dot.
  if (parts.Name.empty()) return std::string(parts.Ext);
  return std::string(parts.Name);
}

}  // namespace tarn
