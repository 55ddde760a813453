// What a launch hands to the shell, worked out on bytes: the folder to
// start in, the argument string, the command line of the process fall-back
// and the explorer's arguments; and the texts the launcher shows when a
// launch fails.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Drive and directory of the path ("C:\Tools\" for "C:\Tools\app.exe"),
// whatever its length; empty when it has none. The launch uses it as the
// working directory only when it names an existing directory.
std::string LaunchDirectoryCandidate(std::string_view path);

// The text after the first space of the search word (double-byte aware),
// or empty when it has none.
std::string OptionText(std::string_view searchWord);

// Command line of the process fall-back: a candidate's path is a file name
// and is quoted, so that "C:\Program Files\Tool\tool.exe" never starts
// "C:\Program.exe"; options follow after a space. An expanded static
// command is a command line as the user wrote it and is taken unchanged.
std::string FallbackCommandLine(std::string_view path, bool fromStaticItem,
                                std::string_view options);

// Longest text handed to the shell as the file or the parameters. Windows'
// shell copies the file or address into a buffer of INTERNET_MAX_URL_LENGTH
// (2084) characters with its final NUL, so a longer text could arrive cut:
// another address. Wine's shell overruns a buffer once a file text passes
// 996 characters and takes the process down.
inline constexpr std::size_t kMaxShellTextWindows = 2083;
inline constexpr std::size_t kMaxShellTextWine = 996;

// Arguments for the explorer that open the folder with the file selected.
std::string SelectInFolderArguments(std::string_view path);

// Message texts of the launcher for a failed launch; nullptr for a result
// that shows nothing (started, nothing started, refused).
inline constexpr const char kLaunchNotFoundText[] = "実行に失敗しました。\n指定されたファイルはありません。";
inline constexpr const char kLaunchFailedText[] = "実行に失敗しました。\n環境等が正しいかどうか確認して下さい。";
const char* LaunchFailureText(int resultCode);
