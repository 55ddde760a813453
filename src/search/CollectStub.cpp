// Stand-in for the collector until it lands: no pass is ever started, the
// cache file is never read or written, and a collected path list is applied
// to the store as it comes.
#include "search/AppPathsCache.h"
#include "search/SrchApliBase.h"

#include "base/WinHandle.h"

CAppPathsCache::CAppPathsCache(const std::string& dir)
    : CachePath(dir + "apppaths.ini"), TempPath(dir + "apppaths.tmp") {}

CAppPathsCache::~CAppPathsCache() { delete LoadedPaths; }

bool CAppPathsCache::CacheFileExists() const {
  return GetFileAttributesA(CachePath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool CAppPathsCache::LoadCache(bool) { return true; }

bool CAppPathsCache::ReplaceCacheFile() { return false; }

bool CAppPathsCache::SetSettings(const CollectSettings& settings) {
  Held = settings;
  return false;
}

bool CSrchApliBase::SetCollectSettings(const CollectSettings& settings) {
  return CacheObj->SetSettings(settings);
}

bool CSrchApliBase::StartCollect(bool) { return true; }

bool CSrchApliBase::ApplyCollected(PathList* paths) {
  tarn::ScopedCriticalSection hold(Lock);
  Entries.clear();
  Matches->clear();
  if (paths) AppendEntries(Entries, *paths);
  delete paths;
  return true;
}

bool CSrchApliBase::IsCollecting() { return false; }
