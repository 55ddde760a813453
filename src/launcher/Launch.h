// Starting what the user chose: a candidate by its path, or a static item's
// expanded command; and opening the explorer on a candidate.
#pragma once

#include <string>
#include <string_view>

#include "settings/EnvDlgInfo.h"

// Result codes of a launch attempt.
enum LaunchResult : int {
  kLaunchStarted = 0,
  kLaunchNotFound = 20,  // file or path not found
  kLaunchFailed = 30,    // any other failure
  kLaunchNothing = 40,   // nothing was started (no row, empty word, bad expansion)
  kLaunchCancelled = 50, // the user (or the system for them) refused it: no process start follows
};

struct LaunchRequest {
  std::string Path;            // a candidate's full path, or an expanded static command
  std::string SearchWord;      // the whole word the list was filtered with
  bool SpaceIsOption = false;  // text after the first space goes to the program
  bool RowZero = false;        // the first row: a plain process start is tried when the shell fails
  bool FromStaticItem = false; // an expanded command is a command line as it stands
};

// Starts the request; answers kLaunchStarted, kLaunchNotFound, kLaunchFailed
// or kLaunchCancelled (the elevation prompt or a download warning was
// answered no, or access was refused). The path is started whole, whatever
// its length. The working directory is the path's own folder when that
// exists, else "."; with SpaceIsOption the text after the first space of
// the word becomes the argument string when the path names an existing file
// or folder. For the first row a plain process start follows when the shell
// could not find or associate the path, as for a typed command line (a
// candidate's path quoted, an expanded static command as it stands); never
// after a refusal, which the process start would get past. A text too long
// for the shell (over 2083 bytes on Windows, 996 under Wine) skips it: the
// first row goes straight to the process start, any other row answers
// kLaunchFailed. An empty path answers kLaunchNotFound.
int StartItem(const LaunchRequest& request);

// Opens the explorer with the file selected: "explorer" with the arguments
// /select,"<path>". An empty path answers kLaunchNothing.
int OpenContainingFolder(const std::string& path);

// The same with another program in the explorer's place (tests start a
// recorder there rather than a real explorer window).
int OpenContainingFolderWith(const char* program, const std::string& path);

// Puts the (optionally UTF-8, optionally URL-encoded) word in place of the
// first "%1" of the item's command. False, out untouched, when a conversion
// fails or the word is longer than the search box holds (259 bytes).
bool ExpandStaticCommand(const StaticItem& item, const std::string& word, std::string* out);

// Shift-JIS to UTF-8 through the platform's converters (code page 932 to
// UTF-16 to UTF-8); false when a conversion step yields nothing.
bool PlatformCp932ToUtf8(std::string_view cp932, std::string* out);
