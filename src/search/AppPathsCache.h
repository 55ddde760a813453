// Collection settings, the cache file names and the cache file itself.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "search/AppEntry.h"
#include "search/CollectSettings.h"

class CAppPathsCache {
 public:
  // dir: the program's folder, ending with '\'.
  explicit CAppPathsCache(const std::string& dir);
  CAppPathsCache(const CAppPathsCache&) = delete;
  CAppPathsCache& operator=(const CAppPathsCache&) = delete;

  bool CacheFileExists() const;
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

  // The names remembered for the cache file's paths ("appnames.ini"): a pass
  // writes them to NamesTempPath, and they take the names file's place in
  // one step right after the cache file took its own.
  const std::string& NamesFilePath() const { return NamesPath; }
  const std::string& NamesTempPath() const { return NamesTemp; }
  void ReplaceNamesFile(bool cacheReplaced);

 private:
  CollectSettings Held;
  std::string CachePath;
  std::string TempPath;
  std::string NamesPath;
  std::string NamesTemp;
};

// The whole of a file (at most 512 MiB); false when it cannot be opened.
bool ReadWholeFile(const std::string& path, std::string& text);
// Writes text to a new file and flushes it to disk; false, with no file
// left behind, when any of it fails.
bool WriteWholeFile(const std::string& path, std::string_view text);

namespace tarn {
class CNameMemory;
}
// The names file, when it was written with the cache file of this stamp.
void ReadNameMemory(const std::string& namesPath, std::uint64_t cacheStamp, tarn::CNameMemory& memory);
