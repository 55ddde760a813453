// Collection settings, the cache file names and the cache file itself.
#pragma once

#include <cstdint>
#include <string>

#include "search/AppEntry.h"
#include "search/CollectSettings.h"

class CAppPathsCache {
 public:
  // dir: the program's folder, ending with '\'.
  explicit CAppPathsCache(const std::string& dir);
  virtual ~CAppPathsCache();
  CAppPathsCache(const CAppPathsCache&) = delete;
  CAppPathsCache& operator=(const CAppPathsCache&) = delete;

  bool CacheFileExists() const;
  // Reads the cache file into LoadedPaths when useCache; always true.
  bool LoadCache(bool useCache);
  // Puts a finished pass's temporary file in the cache file's place in one
  // step; false, with the cache file left as it was, when there is no
  // temporary file or it cannot be moved.
  bool ReplaceCacheFile();
  // The same, only when the temporary file holds expectedSize bytes: the
  // size of the text of the pass's list. A stale or cut file is removed.
  bool ReplaceCacheFile(std::uint64_t expectedSize);

  // True when the new settings differ from the held ones; stored in any case.
  bool SetSettings(const CollectSettings& settings);
  const CollectSettings& Settings() const { return Held; }

  const std::string& CacheFilePath() const { return CachePath; }
  const std::string& TempFilePath() const { return TempPath; }

  PathList* LoadedPaths = nullptr;  // between LoadCache and StartCollect's cleanup

 private:
  CollectSettings Held;
  std::string CachePath;
  std::string TempPath;
};
