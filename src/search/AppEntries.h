// The name a candidate is shown and searched by, made from the shell's
// display name or the path; portable.
#pragma once

#include <string>
#include <string_view>

namespace tarn {

// The name a candidate is searched and shown by: the file-name part of the
// display name (or of the path), split by path rules, without the last
// extension ("Foo 2.0" gives "Foo 2", "D:\Tools\edit.exe" gives "edit");
// a name that is only an extension (".profile") is kept whole.
std::string DispNameOf(std::string_view shownName);

}  // namespace tarn
