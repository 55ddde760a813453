// Collection settings, the cache file names and the cache file itself.
#pragma once

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
  // Puts a finished pass's temporary file in the cache file's place.
  bool ReplaceCacheFile();

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
