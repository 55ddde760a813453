// The candidate collector and store: all candidates, the last search's
// matches, and the background collection that refills them.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "search/AppEntry.h"
#include "search/AppPathsCache.h"
#include "search/CollectSettings.h"
#include "search/Matching.h"

namespace tarn {
class CNameSource;
}

// Posted to the main window by a collection pass: wParam 1 = started;
// wParam 0 = finished, lParam = the pass's finished records (AppEntryList*),
// owned by the receiver (none when the pass was abandoned).
inline constexpr UINT WM_COLLECT_NOTIFY = WM_USER + 30;
// Posted when the cache file's candidates are named: lParam = their records
// (AppEntryList*), owned by the receiver.
inline constexpr UINT WM_CACHE_LOADED = WM_USER + 31;

class CSrchApliBase {
 public:
  // notifyWindow receives WM_COLLECT_NOTIFY and WM_CACHE_LOADED; cacheDir is
  // the folder of "apppaths.ini" (the program's folder, ending with '\').
  CSrchApliBase(HWND notifyWindow, const std::string& cacheDir);
  ~CSrchApliBase();
  CSrchApliBase(const CSrchApliBase&) = delete;
  CSrchApliBase& operator=(const CSrchApliBase&) = delete;

  // Fills the matches from all candidates; false only for a word of 260
  // bytes or more (nothing changes then).
  bool Search(const std::string& word, tarn::MatchOptions options = {});
  bool Search(const char* word);
  int GetAllCount();
  // The last search's matches; read on the UI thread right after Search.
  const MatchList& GetMatchList() const { return Matches; }

  // Collector half.
  bool SetCollectSettings(const CollectSettings& settings);
  // Starts a pass unless one runs, or (useCache) a cache file can serve.
  // Asked for while a pass runs (useCache false: new settings, a refresh),
  // one more pass follows when the running one has been applied.
  bool StartCollect(bool useCache);
  // Takes a finished pass's records (owned) in place of the candidates;
  // none (an abandoned pass) keeps the candidates.
  bool ApplyCollected(AppEntryList* records);
  // The same for a bare path list, named here.
  bool ApplyCollected(PathList* paths);
  bool IsCollecting();

  // Names the cache file's candidates on a thread of its own when the store
  // has had no candidates yet and nothing loads; false when no load started.
  bool StartCacheLoad();
  // Takes the loaded records (owned); true when they became the candidates
  // (only a store that has had none takes them: a pass applied meanwhile is
  // newer).
  bool ApplyLoaded(AppEntryList* records);
  bool IsLoading() const { return Loading->load(); }

 private:
  void TakeRecords(AppEntryList* records);

  CAppPathsCache PathsCache;
  std::shared_ptr<const AppEntryList> Entries;
  MatchList Matches;
  // The candidates came from a load or a pass: none at all is an answer
  // too, and must not send the store to the cache again.
  bool Filled = false;
  // A pass was asked for while one ran.
  bool CollectAgain = false;
  CRITICAL_SECTION Lock;
  HWND NotifyWindow;
  // Shared with the load thread, which may outlive the store.
  std::shared_ptr<std::atomic<bool>> Loading;
};

// The shell as a name source: SHGetFileInfoA, the full question or the
// cheap one with SHGFI_USEFILEATTRIBUTES, and desktop.ini beside the file.
// The calling thread needs COM.
tarn::CNameSource& ShellNameSource();
