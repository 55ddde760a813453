// Building candidate records from collected paths. The display name comes
// from the caller (the shell, in the program), so this stays portable.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "search/AppEntry.h"

namespace tarn {

// Answers true and fills name with the file's display name, or false when
// there is none.
using DisplayNameSource = std::function<bool(const std::string& path, std::string& name)>;

// The name a candidate is searched and shown by: the file-name part of the
// display name (or of the path), split by path rules, without the last
// extension ("Foo 2.0" gives "Foo 2", "D:\Tools\edit.exe" gives "edit");
// a name that is only an extension (".profile") is kept whole.
std::string DispNameOf(std::string_view shownName);

// Appends one record per path, ListIndex = position in paths. A display
// name that is missing or empty falls back to the path. False, and nothing
// appended, when paths is empty.
bool AppendEntriesWith(AppEntryList& target, const PathList& paths,
                       const DisplayNameSource& displayName);

}  // namespace tarn
