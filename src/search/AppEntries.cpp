#include "search/AppEntries.h"

#include "base/Cp932.h"
#include "base/Path.h"

namespace tarn {
namespace {

// True when text ends with the characters of tail, ASCII letters compared
// without case; the tail must start on a character of text, so that a trail
// byte is never read as the dot of an extension.
bool EndsWithNoCase(std::string_view text, std::string_view tail) {
  if (tail.size() > text.size()) return false;
  const std::size_t cut = text.size() - tail.size();
  std::size_t i = 0;
  while (i < cut) i = NextChar(text, i);
  if (i != cut) return false;
  const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (std::size_t k = 0; k < tail.size(); k += CharLength(tail, k)) {
    const bool same = CharLength(tail, k) == 2 ? text.substr(cut + k, 2) == tail.substr(k, 2)
                                              : fold(text[cut + k]) == fold(tail[k]);
    if (!same) return false;
  }
  return true;
}

}  // namespace

std::string DispNameOf(std::string_view path) {
  const PathParts parts = SplitPath(path);
  // A name that is all extension (".profile") would be blank in the list
  // and found by no word: it keeps its dot.
  if (parts.Name.empty()) return std::string(parts.Ext);
  return std::string(parts.Name);
}

std::string DispNameOf(std::string_view shownName, std::string_view path) {
  const PathParts shown = SplitPath(shownName);
  const std::string_view name = shownName.substr(shown.Drive.size() + shown.Dir.size());
  const std::string_view ext = SplitPath(path).Ext;
  // The shell shows the extension only where it shows the file's own; a
  // name that would be left blank keeps it.
  if (ext.size() > 1 && name.size() > ext.size() && EndsWithNoCase(name, ext)) {
    return std::string(name.substr(0, name.size() - ext.size()));
  }
  return std::string(name);
}

}  // namespace tarn
