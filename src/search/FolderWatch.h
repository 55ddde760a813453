// Follows the folders a collection pass walks, on a thread of its own: a
// change of file names there tells the main window, once the folders have
// been quiet for a moment, that a pass is due.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "search/CollectSettings.h"
#include "search/WatchRules.h"

// Posted to the main window when changes call for a pass.
inline constexpr UINT WM_FOLDERS_CHANGED = WM_USER + 40;

// The pace of the watchers made from now on; tests shorten it.
extern tarn::WatchTimings FolderWatchTimings;

class CFolderWatcher {
 public:
  // window receives message; ownFolder holds the program's own files,
  // whose changes are its own doing.
  CFolderWatcher(HWND window, UINT message, const std::string& ownFolder);
  // Ends the watches; a thread still busy opening a folder ends on its own.
  ~CFolderWatcher();
  CFolderWatcher(const CFolderWatcher&) = delete;
  CFolderWatcher& operator=(const CFolderWatcher&) = delete;

  // Watches what a pass with these settings walks, but the recent-files
  // folder, in place of what was watched. The folders are looked up and
  // opened on the watching thread.
  void Arm(const CollectSettings& settings);
  // The same for given roots, changes inside ignored folders left aside.
  void Arm(std::vector<tarn::WatchRoot> roots, std::vector<std::string> ignored);
  // The roots being watched once the last Arm has taken effect; -1 before.
  int WatchedCount() const;
  // False when no thread could be started: the refresh timer alone keeps
  // the list current then.
  bool Running() const;

  class CState;

 private:
  std::shared_ptr<CState> State;
  HANDLE Thread = nullptr;
};
