// Starting what the user chose: a candidate by its path, or a static item's
// expanded command; and opening the explorer on a candidate.
#pragma once

#include <string>

#include "settings/EnvDlgInfo.h"

// Result codes of a launch attempt.
enum LaunchResult : int {
  kLaunchStarted = 0,
  kLaunchNotFound = 20,  // file or path not found
  kLaunchFailed = 30,    // any other failure
  kLaunchNothing = 40,   // nothing was started (no row, empty word, bad expansion)
};

struct LaunchRequest {
  std::string Path;            // a candidate's full path, or an expanded static command
  std::string SearchWord;      // the whole word the list was filtered with
  bool SpaceIsOption = false;  // text after the first space goes to the program
  bool RowZero = false;        // the first row: a plain process start is tried when the shell fails
  bool FromStaticItem = false; // an expanded command is a command line as it stands
};

// Starts the request; answers kLaunchStarted, kLaunchNotFound or kLaunchFailed.
int StartItem(const LaunchRequest& request);

// Opens the explorer with the file selected.
int OpenContainingFolder(const std::string& path);

// Puts the (optionally UTF-8, optionally URL-encoded) word in place of the
// first "%1" of the item's command. False, out untouched, when a conversion
// fails.
bool ExpandStaticCommand(const StaticItem& item, const std::string& word, std::string* out);
