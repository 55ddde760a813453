// The collection pass: what StartCollect hands to its thread, and the
// process-wide count of passes whose result has not been applied.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "search/AppEntry.h"
#include "search/CollectSettings.h"

// Passes started and not yet applied (at most one). Atomic: a pass that
// cannot hand its result over gives the pass back from its own thread.
extern std::atomic<int32_t> CollectCount;

// Owned by the pass. It keeps its own copies of the file paths: the
// collector may be gone before the pass ends.
struct CollectParams {
  HWND NotifyWindow = nullptr;
  CollectSettings Settings;
  std::string TempPath;
  PathList Result;             // the paths found, in order
  std::string CachePath;       // the cache file the names file goes with
  std::string NamesPath;       // names remembered by an earlier run
  std::string NamesTempPath;   // names of this pass
  // The candidates when the pass started, whose names it may use again.
  std::shared_ptr<const AppEntryList> Known;
  bool Readings = false;       // the records get the readings of their names
};

// The pass itself; deletes params. Posts WM_COLLECT_NOTIFY (1, 0) when it
// starts and (0, records) when it ends, the records named on this thread,
// or (0, 0) when it was abandoned; when the finish message cannot be posted
// it frees the records and gives the pass back.
void CollectThread(CollectParams* params);

// Starts the pass on a new thread at below-normal priority; false when no
// thread could be started (params then stay the caller's). Replaceable so
// that a failure to start can be tried.
using CollectThreadStarter = bool (*)(CollectParams* params);
bool StartCollectThread(CollectParams* params);
extern CollectThreadStarter StartCollectPass;
