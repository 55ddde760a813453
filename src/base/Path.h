// Path splitting on CP932 byte strings, by the rules of the C runtime's
// path splitter: the directory ends at the last '\' or '/', the extension
// starts at the last '.' after it. Trail bytes are never taken for separators.
#pragma once

#include <string>
#include <string_view>

namespace tarn {

struct PathParts {
  std::string_view Drive;  // "C:" or empty
  std::string_view Dir;    // "\Tools\" (with its final separator) or empty
  std::string_view Name;   // "edit"
  std::string_view Ext;    // ".exe" (with its dot) or empty
};

PathParts SplitPath(std::string_view path);

// Drive and directory of a path, ending with its separator ("C:\Tools\").
std::string_view DirectoryOf(std::string_view path);

// The part after the last '\' or ':' (the whole text when there is none).
std::string_view BaseFileName(std::string_view path);

// dir + '\' + name, adding the separator only when the last character of
// dir is not already one.
std::string JoinPath(std::string_view dir, std::string_view name);

}  // namespace tarn
