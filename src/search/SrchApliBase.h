// The candidate collector and store: all candidates, the last search's
// matches, and the background collection that refills them.
#pragma once

#include <windows.h>

#include <string>

#include "search/AppEntry.h"
#include "search/CollectSettings.h"

class CAppPathsCache;

// Posted to the main window by a collection pass: wParam 1 = started;
// wParam 0 = finished, lParam = the pass's PathList*, owned by the receiver
// (none when the pass was abandoned).
inline constexpr UINT WM_COLLECT_NOTIFY = WM_USER + 30;

class CSrchApliBase {
 public:
  // notifyWindow receives WM_COLLECT_NOTIFY; cacheDir is the folder of
  // "apppaths.ini" (the program's folder, ending with '\').
  CSrchApliBase(HWND notifyWindow, const std::string& cacheDir);
  virtual ~CSrchApliBase();
  CSrchApliBase(const CSrchApliBase&) = delete;
  CSrchApliBase& operator=(const CSrchApliBase&) = delete;

  // Fills the matches from all candidates; false only for a word of 260
  // bytes or more (nothing changes then).
  bool Search(const std::string& word);
  bool Search(const char* word);
  int GetAllCount();
  // The last search's matches; read on the UI thread right after Search.
  const AppEntryList& GetMatchList() const { return *Matches; }

  // Collector half.
  bool SetCollectSettings(const CollectSettings& settings);
  bool StartCollect(bool useCache);
  bool ApplyCollected(PathList* paths);  // takes ownership; none keeps the candidates
  bool IsCollecting();

  CAppPathsCache& Cache() { return *CacheObj; }

 private:
  CAppPathsCache* CacheObj;
  AppEntryList Entries;
  AppEntryList* Matches;
  CRITICAL_SECTION Lock;
  HWND NotifyWindow;
};

// Appends one record per path to target; display names from the shell.
// False, and nothing appended, when paths is empty.
bool AppendEntries(AppEntryList& target, const PathList& paths);
