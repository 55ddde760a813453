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
class CReadingTable;
}

// Posted to the main window by a collection pass: wParam 1 = started;
// wParam 0 = finished, lParam = the pass's finished records (AppEntryList*),
// owned by the receiver (none when the pass was abandoned).
inline constexpr UINT WM_COLLECT_NOTIFY = WM_USER + 30;
// Posted when the cache file's candidates are named: lParam = their records
// (AppEntryList*), owned by the receiver.
inline constexpr UINT WM_CACHE_LOADED = WM_USER + 31;
// Posted when the candidates were read again after kana matching was turned
// on or off: wParam = the generation of the candidates they were made from,
// lParam = the records (AppEntryList*), owned by the receiver.
inline constexpr UINT WM_READINGS_MADE = WM_USER + 32;

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

  // Whether candidates carry the readings of their names in kanji (with
  // kana matching). Passes and loads started from now on make them or not;
  // the candidates held are read again on a thread of their own when the
  // option changes. False when it did not change.
  bool SetReadingOption(bool on);
  // Takes records read again (owned): true when they became the candidates,
  // which they do only while those are the ones they were made from.
  bool ApplyReadings(WPARAM generation, AppEntryList* records);

 private:
  void TakeRecords(AppEntryList* records, bool withReadings);
  void StartReadings();

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
  bool Readings = false;         // the option
  bool EntriesRead = false;      // how the candidates held were made
  bool PassReads = false;        // how the running pass and load make them
  bool LoadReads = false;
  WPARAM Generation = 0;         // counts the lists the store took
};

// The shell as a name source: SHGetFileInfoA, the full question or the
// cheap one with SHGFI_USEFILEATTRIBUTES, and desktop.ini beside the file.
// The calling thread needs COM.
tarn::CNameSource& ShellNameSource();

// The reading table in the program's resources, opened in place on first
// use; null, with one trace, when it is missing or damaged.
const tarn::CReadingTable* BuiltInReadings();
// The records with the readings of their names from that table when on;
// without any when off.
void MakeReadings(AppEntryList& records, bool on);
