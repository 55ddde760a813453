// The name a candidate is shown and searched by, made from the shell's
// display name or the path; portable.
#pragma once

#include <string>
#include <string_view>

namespace tarn {

// The name of a path the shell gave no name for: its file-name part, split
// by path rules, without the last extension ("D:\Tools\edit.exe" gives
// "edit"); a name that is only an extension (".profile") is kept whole.
std::string DispNameOf(std::string_view path);

// The name from the shell's display name of path: its file-name part,
// without the path's own extension where the shell shows it (compared
// without case, character by character): "Foo 2.0.exe" for "Foo 2.0.exe"
// gives "Foo 2.0". A name the shell gives without it stays whole: it hides
// the extension of shortcuts ("Python 3.12 (64-bit)") and, by default, of
// known types ("Foo 2.0").
std::string DispNameOf(std::string_view shownName, std::string_view path);

}  // namespace tarn
