// Stand-in for the candidate store so the collector links and runs on its
// own: the real constructor, destructor, Search, GetAllCount and
// AppendEntries live with the store. AppendEntries here takes the file name
// as the display name, without asking the shell.
#include "base/Path.h"
#include "base/WinHandle.h"
#include "search/AppPathsCache.h"
#include "search/SrchApliBase.h"

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

bool CSrchApliBase::Search(const std::string& word) {
  if (word.size() >= 260) return false;
  tarn::ScopedCriticalSection guard(Lock);
  if (Entries.empty()) StartCollect(true);
  *Matches = Entries;
  return true;
}

bool CSrchApliBase::Search(const char* word) { return Search(std::string(word)); }

int CSrchApliBase::GetAllCount() {
  tarn::ScopedCriticalSection guard(Lock);
  return static_cast<int>(Entries.size());
}

bool AppendEntries(AppEntryList& target, const PathList& paths) {
  if (paths.empty()) return false;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    target.push_back({std::string(tarn::SplitPath(paths[i]).fname), paths[i], static_cast<int32_t>(i)});
  }
  return true;
}
