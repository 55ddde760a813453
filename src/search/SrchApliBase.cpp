#include "search/SrchApliBase.h"

#include <process.h>
#include <shellapi.h>

#include <exception>

#include "base/Cp932.h"
#include "base/Failure.h"
#include "base/Path.h"
#include "base/WinHandle.h"
#include "search/AppPathsCache.h"
#include "search/Collector.h"
#include "search/DisplayNames.h"
#include "search/Matching.h"
#include "search/Readings.h"
#include "res/resource.h"

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

const tarn::CReadingTable* BuiltInReadings() {
  static const tarn::CReadingTable* const opened = []() -> const tarn::CReadingTable* {
    static tarn::CReadingTable table;
    const HMODULE self = GetModuleHandleA(nullptr);
    const HRSRC found = FindResourceA(self, MAKEINTRESOURCEA(IDR_READINGS), MAKEINTRESOURCEA(10));  // RT_RCDATA
    const HGLOBAL loaded = found ? LoadResource(self, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (bytes && table.Open(std::string_view(static_cast<const char*>(bytes), SizeofResource(self, found)))) {
      return &table;
    }
    TARN_TRACE("reading table missing or damaged: names in kanji are not read");
    return nullptr;
  }();
  return opened;
}

void MakeReadings(AppEntryList& records, bool on) {
  if (on || records.HasReadings()) tarn::SetReadings(records, on ? BuiltInReadings() : nullptr);
}

CSrchApliBase::CSrchApliBase(HWND notifyWindow, const std::string& cacheDir)
    : PathsCache(cacheDir),
      Entries(std::make_shared<const AppEntryList>()),
      NotifyWindow(notifyWindow),
      Loading(std::make_shared<std::atomic<bool>>(false)) {
  InitializeCriticalSection(&Lock);
}

CSrchApliBase::~CSrchApliBase() { DeleteCriticalSection(&Lock); }

bool CSrchApliBase::Search(const std::string& word, tarn::MatchOptions options) {
  // Refused before any work: the search box never holds that much.
  if (word.size() >= tarn::kMaxPath) return false;

  tarn::ScopedCriticalSection hold(Lock);
  // First search with nothing collected yet: get the cached candidates
  // coming and a pass going. StartCollect takes the lock again.
  if (!Filled) StartCollect(true);
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

void CSrchApliBase::TakeRecords(AppEntryList* records, bool withReadings) {
  // Only the pointers change hands under the lock; the old records go when
  // the last list showing them lets go.
  Entries = std::shared_ptr<const AppEntryList>(records);
  Matches = MatchList();
  Filled = true;
  ++Generation;
  EntriesRead = withReadings;
  // Made before the option changed: read them again.
  if (withReadings != Readings && !Entries->empty()) StartReadings();
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
  auto records =
      std::make_unique<AppEntryList>(tarn::NameEntries(views, tarn::CNameMemory(known), ShellNameSource(), false));
  MakeReadings(*records, Readings);
  PassReads = Readings;
  return ApplyCollected(records.release());
}

bool CSrchApliBase::SetCollectSettings(const CollectSettings& settings) {
  return PathsCache.SetSettings(settings);
}

bool CSrchApliBase::StartCollect(bool useCache) {
  tarn::ScopedCriticalSection guard(Lock);
  if (CollectCount.load() > 0) {
    // The running pass may have read the sources before they changed.
    if (!useCache) CollectAgain = true;
  } else if (!(useCache && PathsCache.CacheFileExists())) {
    auto params = std::make_unique<CollectParams>(CollectParams{NotifyWindow,
                                                                PathsCache.Settings(),
                                                                PathsCache.TempFilePath(),
                                                                {},
                                                                PathsCache.CacheFilePath(),
                                                                PathsCache.NamesFilePath(),
                                                                PathsCache.NamesTempPath(),
                                                                Entries,
                                                                Readings});
    PassReads = Readings;
    CollectCount.fetch_add(1);
    if (StartCollectPass(params.get())) {
      params.release();  // the pass's own now
    } else {
      TARN_REPORT_LAST_ERROR(0);
      TARN_TRACE("collection thread not started");
      CollectCount.store(0);
    }
  }
  if (Filled) return true;
  Matches = MatchList();
  // The cached candidates arrive by message, named on a thread of their own.
  if (useCache) StartCacheLoad();
  return true;
}

bool CSrchApliBase::ApplyCollected(AppEntryList* records) {
  std::unique_ptr<AppEntryList> owned(records);
  tarn::ScopedCriticalSection guard(Lock);
  CollectCount.store(0);
  // A pass that brought nothing leaves the candidates as they are.
  if (owned) {
    std::uint64_t size = 0;
    for (const AppEntry& e : *owned) size += e.FullPath.size() + tarn::kCacheLineEnd.size();
    PathsCache.ReplaceNamesFile(PathsCache.ReplaceCacheFile(size));
    TakeRecords(owned.release(), PassReads);
  }
  // One more pass for everything asked meanwhile, with the settings of now.
  if (CollectAgain) {
    CollectAgain = false;
    StartCollect(false);
  }
  return true;
}

namespace {

struct CacheLoadParams {
  HWND NotifyWindow;
  std::string CachePath;
  std::string NamesPath;
  std::shared_ptr<std::atomic<bool>> Loading;
  bool Readings;
};

// The cache file's candidates with the names remembered beside it; the
// shell is asked only for paths the names file does not hold.
std::unique_ptr<AppEntryList> LoadNamedCache(const std::string& cachePath, const std::string& namesPath,
                                             bool readings) {
  auto records = std::make_unique<AppEntryList>();
  std::string text;
  if (!ReadWholeFile(cachePath, text)) return records;
  tarn::PathViews paths;
  const tarn::CacheParseResult parsed = tarn::ParseCacheText(text, paths);
  if (parsed.Skipped) {
    TARN_TRACE("cache file: %lu lines skipped, %lu kept", static_cast<unsigned long>(parsed.Skipped),
               static_cast<unsigned long>(parsed.Kept));
  }
  tarn::CNameMemory memory;
  ReadNameMemory(namesPath, tarn::CacheTextStamp(text), memory);
  // A pass will check names that a desktop.ini may have changed since.
  *records = tarn::NameEntries(paths, memory, ShellNameSource(), true);
  MakeReadings(*records, readings);
  return records;
}

unsigned __stdcall CacheLoadThread(void* arg) {
  std::unique_ptr<CacheLoadParams> params(static_cast<CacheLoadParams*>(arg));
  std::unique_ptr<AppEntryList> records;
  try {
    tarn::ScopedComInit com;
    records = LoadNamedCache(params->CachePath, params->NamesPath, params->Readings);
  } catch (const std::exception& e) {
    TARN_TRACE("cache load abandoned: %s", e.what());
    records.reset();
  }
  // An abandoned load is told too (with no list), or the busy look would stay.
  if (PostMessageA(params->NotifyWindow, WM_CACHE_LOADED, 0, reinterpret_cast<LPARAM>(records.get()))) {
    records.release();  // the receiver's now
    return 0;
  }
  params->Loading->store(false);
  return 0;
}

}  // namespace

bool CSrchApliBase::StartCacheLoad() {
  tarn::ScopedCriticalSection guard(Lock);
  if (Loading->load() || Filled || !PathsCache.CacheFileExists()) return false;
  if (!NotifyWindow) {
    // Nobody to post to: the caller waits for the names.
    TakeRecords(LoadNamedCache(PathsCache.CacheFilePath(), PathsCache.NamesFilePath(), Readings).release(), Readings);
    return true;
  }
  Loading->store(true);
  LoadReads = Readings;
  auto params = std::make_unique<CacheLoadParams>(
      CacheLoadParams{NotifyWindow, PathsCache.CacheFilePath(), PathsCache.NamesFilePath(), Loading, Readings});
  const tarn::ScopedHandle thread(
      reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &CacheLoadThread, params.get(), 0, nullptr)));
  if (!thread.Valid()) {
    TARN_REPORT_LAST_ERROR(0);
    Loading->store(false);
    return false;
  }
  params.release();  // the thread's own now
  return true;
}

bool CSrchApliBase::ApplyLoaded(AppEntryList* records) {
  std::unique_ptr<AppEntryList> owned(records);
  tarn::ScopedCriticalSection guard(Lock);
  Loading->store(false);
  if (!owned || Filled) return false;
  TakeRecords(owned.release(), LoadReads);
  return true;
}

namespace {

struct ReadingParams {
  HWND NotifyWindow;
  std::shared_ptr<const AppEntryList> Source;
  WPARAM Generation;
  bool Readings;
};

unsigned __stdcall ReadingThread(void* arg) {
  std::unique_ptr<ReadingParams> params(static_cast<ReadingParams*>(arg));
  std::unique_ptr<AppEntryList> records;
  try {
    records = std::make_unique<AppEntryList>(*params->Source);
    params->Source.reset();
    MakeReadings(*records, params->Readings);
  } catch (const std::exception& e) {
    // The candidates keep the readings they have.
    TARN_TRACE("names not read again: %s", e.what());
    return 0;
  }
  if (PostMessageA(params->NotifyWindow, WM_READINGS_MADE, params->Generation, reinterpret_cast<LPARAM>(records.get())))
    records.release();  // the receiver's now
  return 0;
}

}  // namespace

void CSrchApliBase::StartReadings() {
  tarn::ScopedCriticalSection guard(Lock);
  if (!NotifyWindow) {
    auto records = std::make_unique<AppEntryList>(*Entries);
    MakeReadings(*records, Readings);
    TakeRecords(records.release(), Readings);
    return;
  }
  auto params = std::make_unique<ReadingParams>(ReadingParams{NotifyWindow, Entries, Generation << 1 | Readings, Readings});
  const tarn::ScopedHandle thread(
      reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &ReadingThread, params.get(), 0, nullptr)));
  if (!thread.Valid()) {
    TARN_REPORT_LAST_ERROR(0);
    return;
  }
  params.release();  // the thread's own now
}

bool CSrchApliBase::SetReadingOption(bool on) {
  tarn::ScopedCriticalSection guard(Lock);
  if (on == Readings) return false;
  Readings = on;
  if (EntriesRead != on && !Entries->empty()) StartReadings();
  return true;
}

bool CSrchApliBase::ApplyReadings(WPARAM generation, AppEntryList* records) {
  std::unique_ptr<AppEntryList> owned(records);
  tarn::ScopedCriticalSection guard(Lock);
  // Another list came meanwhile; it is read as it needs.
  if (!owned || generation >> 1 != Generation) return false;
  TakeRecords(owned.release(), (generation & 1) != 0);
  return true;
}

bool CSrchApliBase::IsCollecting() { return CollectCount.load() > 0; }
