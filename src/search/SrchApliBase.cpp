// The store half of the collector: all candidates, the last search's
// matches, and the records built from collected paths.
#include "search/SrchApliBase.h"

#include <shellapi.h>

#include "base/Cp932.h"
#include "base/WinHandle.h"
#include "search/AppEntries.h"
#include "search/AppPathsCache.h"
#include "search/Matching.h"

CSrchApliBase::CSrchApliBase(HWND notifyWindow, const std::string& cacheDir)
    : CacheObj(new CAppPathsCache(cacheDir)), Matches(new AppEntryList), NotifyWindow(notifyWindow) {
  InitializeCriticalSection(&Lock);
}

CSrchApliBase::~CSrchApliBase() {
  delete CacheObj;
  delete Matches;
  Entries.clear();
  DeleteCriticalSection(&Lock);
}

bool CSrchApliBase::Search(const std::string& word, tarn::MatchOptions options) {
  // Refused before any work: the search box never holds that much.
  if (word.size() >= tarn::kMaxPath) return false;

  tarn::ScopedCriticalSection hold(Lock);
  // First search with nothing collected yet: offer the cached candidates at
  // once and get a pass going. StartCollect takes the lock again.
  if (Entries.empty()) StartCollect(true);
  tarn::FilterEntries(Entries, word, *Matches, options);
  return true;
}

bool CSrchApliBase::Search(const char* word) {
  return Search(std::string(word ? word : ""));
}

int CSrchApliBase::GetAllCount() {
  tarn::ScopedCriticalSection hold(Lock);
  return static_cast<int>(Entries.size());
}

bool AppendEntries(AppEntryList& target, const PathList& paths) {
  return tarn::AppendEntriesWith(target, paths, [](const std::string& path, std::string& name) {
    // The shell cannot take a longer path; such a path names itself.
    if (path.size() >= MAX_PATH) return false;
    SHFILEINFOA info{};
    if (!SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_DISPLAYNAME)) return false;
    name.assign(info.szDisplayName, tarn::BoundedLength(info.szDisplayName, sizeof info.szDisplayName));
    return true;
  });
}
