#include "search/AppPathsCache.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>

#include "base/Failure.h"
#include "base/Path.h"
#include "base/WinHandle.h"
#include "search/DisplayNames.h"

namespace {

// A cache this large is not ours; the reader keeps what fits.
constexpr uint64_t kMaxCacheBytes = 512ull * 1024 * 1024;

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& text) {
  tarn::ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.Valid()) return false;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0) return false;
  uint64_t want = static_cast<uint64_t>(size.QuadPart);
  if (want > kMaxCacheBytes) {
    TARN_TRACE("cache file of %llu bytes; reading the first %llu", static_cast<unsigned long long>(want),
               static_cast<unsigned long long>(kMaxCacheBytes));
    want = kMaxCacheBytes;
  }
  text.resize(static_cast<std::size_t>(want));
  std::size_t have = 0;
  while (have < text.size()) {
    DWORD got = 0;
    DWORD ask = static_cast<DWORD>(std::min<std::size_t>(text.size() - have, 1u << 30));
    if (!ReadFile(file.Get(), text.data() + have, ask, &got, nullptr)) {
      TARN_REPORT_LAST_ERROR(0);
      break;
    }
    if (got == 0) break;  // the file shrank meanwhile
    have += got;
  }
  text.resize(have);
  return true;
}

bool WriteWholeFile(const std::string& path, std::string_view text) {
  bool ok = false;
  {
    tarn::ScopedHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return false;
    ok = true;
    for (std::size_t done = 0; ok && done < text.size();) {
      DWORD wrote = 0;
      const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1u << 30));
      ok = WriteFile(file.Get(), text.data() + done, ask, &wrote, nullptr) && wrote == ask;
      done += wrote;
    }
    ok = ok && FlushFileBuffers(file.Get());
  }
  if (!ok) DeleteFileA(path.c_str());
  return ok;
}

void ReadNameMemory(const std::string& namesPath, std::uint64_t cacheStamp, tarn::CNameMemory& memory) {
  std::string text;
  if (!ReadWholeFile(namesPath, text)) return;
  if (!memory.Load(std::move(text), cacheStamp)) TARN_TRACE("names file %s not used", namesPath.c_str());
}

CAppPathsCache::CAppPathsCache(const std::string& dir)
    : CachePath(tarn::JoinPath(dir, "apppaths.ini")),
      TempPath(CachePath.substr(0, CachePath.size() - 3) + "tmp"),
      NamesPath(tarn::JoinPath(dir, "appnames.ini")),
      NamesTemp(NamesPath.substr(0, NamesPath.size() - 3) + "tmp") {}

bool CAppPathsCache::CacheFileExists() const { return PathFileExistsA(CachePath.c_str()) != FALSE; }

bool CAppPathsCache::ReplaceCacheFile() {
  if (!PathFileExistsA(TempPath.c_str())) {
    TARN_TRACE("no temporary cache file; %s kept", CachePath.c_str());
    return false;
  }
  // One step: the cache file is never missing or half-written under its
  // own name.
  if (!MoveFileExA(TempPath.c_str(), CachePath.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    TARN_REPORT_LAST_ERROR(0);
    TARN_TRACE("cache file not replaced; %s kept", CachePath.c_str());
    return false;
  }
  return true;
}

bool CAppPathsCache::ReplaceCacheFile(std::uint64_t expectedSize) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(TempPath.c_str(), GetFileExInfoStandard, &data)) {
    TARN_TRACE("no temporary cache file; %s kept", CachePath.c_str());
    return false;
  }
  uint64_t size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  if (size != expectedSize) {
    TARN_TRACE("temporary cache file holds %llu bytes, not %llu; %s kept",
               static_cast<unsigned long long>(size), static_cast<unsigned long long>(expectedSize),
               CachePath.c_str());
    DeleteFileA(TempPath.c_str());
    return false;
  }
  return ReplaceCacheFile();
}

void CAppPathsCache::ReplaceNamesFile(bool cacheReplaced) {
  if (!PathFileExistsA(NamesTemp.c_str())) return;
  // Names of a pass whose cache file was not installed belong to no file.
  if (!cacheReplaced ||
      !MoveFileExA(NamesTemp.c_str(), NamesPath.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileA(NamesTemp.c_str());
  }
}

bool CAppPathsCache::SetSettings(const CollectSettings& settings) {
  bool changed = CollectSettingsDiffer(Held, settings);
  Held = settings;
  return changed;
}
