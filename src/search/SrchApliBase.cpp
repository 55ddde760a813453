// The store half of the collector: all candidates, the last search's
// matches, and the records built from collected paths.
#include "search/SrchApliBase.h"

#include <shellapi.h>

#include "base/Cp932.h"
#include "base/Path.h"
#include "base/WinHandle.h"
#include "search/AppEntries.h"
#include "search/AppPathsCache.h"
#include "search/DisplayNames.h"
#include "search/Matching.h"

namespace {

class CShellNameSource : public tarn::CNameSource {
 public:
  bool FullName(const std::string& path, std::string& name) override { return Ask(path, 0, 0, name); }
  bool QuickName(const std::string& path, std::string& name) override {
    return Ask(path, FILE_ATTRIBUTE_NORMAL, SHGFI_USEFILEATTRIBUTES, name);
  }
  bool FolderRenamesFiles(const std::string& folder) override {
    const std::string ini = tarn::JoinPath(folder, "desktop.ini");
    if (ini.size() >= MAX_PATH) return false;
    const DWORD attributes = GetFileAttributesA(ini.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }

 private:
  static bool Ask(const std::string& path, DWORD attributes, UINT flags, std::string& name) {
    // The shell cannot take a longer path; such a path names itself.
    if (path.size() >= MAX_PATH) return false;
    SHFILEINFOA info{};
    if (!SHGetFileInfoA(path.c_str(), attributes, &info, sizeof info, SHGFI_DISPLAYNAME | flags)) return false;
    name.assign(info.szDisplayName, tarn::BoundedLength(info.szDisplayName, sizeof info.szDisplayName));
    return true;
  }
};

}  // namespace

tarn::CNameSource& ShellNameSource() {
  static CShellNameSource source;
  return source;
}

CSrchApliBase::CSrchApliBase(HWND notifyWindow, const std::string& cacheDir)
    : CacheObj(new CAppPathsCache(cacheDir)),
      Entries(std::make_shared<const AppEntryList>()),
      NotifyWindow(notifyWindow),
      Loading(std::make_shared<std::atomic<bool>>(false)) {
  InitializeCriticalSection(&Lock);
}

CSrchApliBase::~CSrchApliBase() {
  delete CacheObj;
  DeleteCriticalSection(&Lock);
}

bool CSrchApliBase::Search(const std::string& word, tarn::MatchOptions options) {
  // Refused before any work: the search box never holds that much.
  if (word.size() >= tarn::kMaxPath) return false;

  tarn::ScopedCriticalSection hold(Lock);
  // First search with nothing collected yet: get the cached candidates
  // coming and a pass going. StartCollect takes the lock again.
  if (Entries->empty()) StartCollect(true);
  MatchList::Positions found = std::move(Matches.Order());
  if (tarn::FilterEntries(*Entries, word, found, options)) {
    Matches = MatchList(Entries, std::move(found));
  } else {
    Matches.Order() = std::move(found);
  }
  return true;
}

bool CSrchApliBase::Search(const char* word) {
  return Search(std::string(word ? word : ""));
}

int CSrchApliBase::GetAllCount() {
  tarn::ScopedCriticalSection hold(Lock);
  return static_cast<int>(Entries->size());
}

void CSrchApliBase::TakeRecords(AppEntryList* records) {
  // Only the pointers change hands under the lock; the old records go when
  // the last list showing them lets go.
  Entries = std::shared_ptr<const AppEntryList>(records);
  Matches = MatchList();
}

bool CSrchApliBase::ApplyCollected(PathList* paths) {
  std::unique_ptr<PathList> owned(paths);
  if (!owned) return ApplyCollected(static_cast<AppEntryList*>(nullptr));
  std::shared_ptr<const AppEntryList> known;
  {
    tarn::ScopedCriticalSection hold(Lock);
    known = Entries;
  }
  const tarn::PathViews views(owned->begin(), owned->end());
  return ApplyCollected(
      new AppEntryList(tarn::NameEntries(views, tarn::CNameMemory(known), ShellNameSource(), false)));
}

bool AppendEntries(AppEntryList& target, const PathList& paths) {
  return tarn::AppendEntriesWith(target, paths, [](const std::string& path, std::string& name) {
    return ShellNameSource().FullName(path, name);
  });
}
