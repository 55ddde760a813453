// Which folders the list follows between passes, which of their changes
// matter, and when a pass is due after changes. No system calls here: the
// folder watcher feeds the changes and the clock.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/CollectSources.h"

namespace tarn {

// One watched root: a folder the pass walks, with its subfolders when it
// walks them, and the patterns of the files it keeps there.
struct WatchRoot {
  std::string Folder;  // ending with '\'
  std::string Patterns;
  bool Subtree = false;

  bool operator==(const WatchRoot&) const = default;
};

// One watch per folder, whatever number of jobs walk it: a folder walked
// twice is watched once, with its subfolders when any job walks them and
// for every file when the jobs' patterns differ.
std::vector<WatchRoot> WatchRootsOf(const std::vector<ScanJob>& jobs);

// The same folder for the platform: ASCII letters without regard to case,
// '/' as '\', a final separator or none.
bool SameFolder(std::string_view a, std::string_view b);
// True when path lies in folder or below it.
bool InFolder(std::string_view path, std::string_view folder);

// Whether a change of name (root-relative, maybe with subfolders) can change
// the candidates: files of the program's own folder that the program writes
// itself and anything inside an ignored folder (the recent-files folder
// changes with every document opened) do not; in a root walked without
// subfolders only the files its patterns keep do.
bool ChangeMatters(const WatchRoot& root, std::string_view name, std::string_view ownFolder,
                   const std::vector<std::string>& ignoredFolders);

struct WatchTimings {
  uint32_t QuietMs = 1000;     // a change starts a pass once the folders were quiet this long
  uint32_t MinGapMs = 30000;   // while changes keep coming, passes at most this often
  uint32_t StreamGapMs = 5000; // changes this soon after a pass still belong to its stream
  uint32_t LongestWaitMs = 120000;  // folders never quiet get a pass this long after their first change
};

// Decides when a pass is due. Changes that begin well after the last pass
// start one after a quiet moment; while changes keep coming (they began
// soon after the last pass), passes start at most once per MinGapMs; and
// changes that never pause start one after LongestWaitMs all the same.
class CWatchPacer {
 public:
  explicit CWatchPacer(WatchTimings timings = {}) : Timings(timings) {}

  void Changed(uint64_t nowMs);
  // When the next pass is due (it may be now or past); none while nothing changed.
  std::optional<uint64_t> DueAt() const;
  // A pass was started for the changes so far.
  void Started(uint64_t nowMs);

 private:
  WatchTimings Timings;
  bool Pending = false;
  uint64_t PendingSince = 0;
  uint64_t LastChange = 0;
  std::optional<uint64_t> LastPass;
};

}  // namespace tarn
