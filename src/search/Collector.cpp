#include "search/Collector.h"

#include <process.h>

#include <memory>
#include <exception>

#include "base/Failure.h"
#include "base/WinHandle.h"
#include "search/AppPathsCache.h"
#include "search/DisplayNames.h"
#include "search/FolderScan.h"
#include "search/SrchApliBase.h"

std::atomic<int32_t> CollectCount{0};
CollectThreadStarter StartCollectPass = &StartCollectThread;

namespace {

unsigned __stdcall CollectThreadEntry(void* arg) {
  CollectThread(static_cast<CollectParams*>(arg));
  return 0;
}

}  // namespace

// Started suspended so that the priority is set before the pass runs and
// while the handle is surely valid.
bool StartCollectThread(CollectParams* params) {
  uintptr_t h = _beginthreadex(nullptr, 0, &CollectThreadEntry, params, CREATE_SUSPENDED, nullptr);
  if (!h) return false;
  HANDLE thread = reinterpret_cast<HANDLE>(h);
  if (!SetThreadPriority(thread, THREAD_PRIORITY_BELOW_NORMAL)) TARN_REPORT_LAST_ERROR(0);
  bool resumed = ResumeThread(thread) != static_cast<DWORD>(-1);
  if (!resumed) {
    // It cannot run: end it before anything of it ran; params stay ours.
    TARN_REPORT_LAST_ERROR(0);
    TerminateThread(thread, 1);
  }
  CloseHandle(thread);
  return resumed;
}

// The records of a pass's paths, named here so that the user-interface
// thread only swaps lists. Names known from the candidates the pass started
// with, or else from the names file, are not asked again.
static AppEntryList* NamePass(const PathList& paths, const CollectParams& params, bool cacheWritten) {
  tarn::ScopedComInit com;
  tarn::CNameMemory memory;
  if (params.Known && !params.Known->empty()) {
    memory = tarn::CNameMemory(params.Known);
  } else {
    std::string cache;
    if (ReadWholeFile(params.CachePath, cache)) ReadNameMemory(params.NamesPath, tarn::CacheTextStamp(cache), memory);
  }
  const tarn::PathViews views(paths.begin(), paths.end());
  auto records = std::make_unique<AppEntryList>(tarn::NameEntries(views, memory, ShellNameSource(), false));
  if (cacheWritten &&
      !WriteWholeFile(params.NamesTempPath, tarn::FormatNamesText(*records, tarn::CacheTextStamp(*records)))) {
    TARN_TRACE("names file not written: %s", params.NamesTempPath.c_str());
  }
  return records.release();
}

void CollectThread(CollectParams* params) {
  std::unique_ptr<CollectParams> owned(params);
  HWND window = params->NotifyWindow;
  std::unique_ptr<PathList> found(params->Result);
  const std::string& tempPath = params->TempPath;
  AppEntryList* result = nullptr;

  try {
    std::vector<tarn::ScanJob> jobs = tarn::PlanPass(params->Settings);
    if (window && !PostMessageA(window, WM_COLLECT_NOTIFY, 1, 0)) TARN_REPORT_LAST_ERROR(0);

    tarn::CCacheFileWriter writer(tempPath);
    tarn::CWin32WalkHost host(&writer);
    tarn::RunCollection(jobs, *found, host);
    const bool written = writer.Finish();
    if (!written) {
      // Leave no half-written file that could pass for a finished one.
      DeleteFileA(tempPath.c_str());
      TARN_TRACE("temporary cache file not written: %s", tempPath.c_str());
    }
    result = NamePass(*found, *params, written);
  } catch (const std::exception& e) {
    // Out of memory, most likely: give the pass back rather than end the
    // program. The receiver hears of its end as of any other, with no list,
    // so that nothing stays busy.
    TARN_TRACE("collection pass abandoned: %s", e.what());
    DeleteFileA(tempPath.c_str());
    DeleteFileA(params->NamesTempPath.c_str());
    delete result;
    if (!window || !PostMessageA(window, WM_COLLECT_NOTIFY, 0, 0)) CollectCount.store(0);
    return;
  }

  // A null window would post to this thread's own queue, which ends with it.
  if (!window || !PostMessageA(window, WM_COLLECT_NOTIFY, 0, reinterpret_cast<LPARAM>(result))) {
    // Nobody will apply this pass: free its list and let the next one start.
    if (window) TARN_REPORT_LAST_ERROR(0);
    TARN_TRACE("collection result not delivered; pass given back");
    delete result;
    CollectCount.store(0);
  }
}

bool CSrchApliBase::SetCollectSettings(const CollectSettings& settings) {
  return CacheObj->SetSettings(settings);
}

bool CSrchApliBase::StartCollect(bool useCache) {
  tarn::ScopedCriticalSection guard(Lock);
  if (CollectCount.load() <= 0 && !(useCache && CacheObj->CacheFileExists())) {
    auto* params = new CollectParams{NotifyWindow,
                                     CacheObj->Settings(),
                                     CacheObj->TempFilePath(),
                                     new PathList,
                                     CacheObj->CacheFilePath(),
                                     CacheObj->NamesFilePath(),
                                     CacheObj->NamesTempPath(),
                                     Entries};
    CollectCount.fetch_add(1);
    if (!StartCollectPass(params)) {
      TARN_REPORT_LAST_ERROR(0);
      TARN_TRACE("collection thread not started");
      delete params->Result;
      delete params;
      CollectCount.store(0);
    }
  }
  if (!Entries->empty()) return true;
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
  if (!owned) return true;
  std::uint64_t size = 0;
  for (const AppEntry& e : *owned) size += e.FullPath.size() + tarn::kCacheLineEnd.size();
  CacheObj->ReplaceNamesFile(CacheObj->ReplaceCacheFile(size));
  TakeRecords(owned.release());
  return true;
}

namespace {

struct CacheLoadParams {
  HWND NotifyWindow;
  std::string CachePath;
  std::string NamesPath;
  std::shared_ptr<std::atomic<bool>> Loading;
};

// The cache file's candidates with the names remembered beside it; the
// shell is asked only for paths the names file does not hold.
AppEntryList* LoadNamedCache(const std::string& cachePath, const std::string& namesPath) {
  auto records = std::make_unique<AppEntryList>();
  std::string text;
  if (!ReadWholeFile(cachePath, text)) return records.release();
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
  return records.release();
}

unsigned __stdcall CacheLoadThread(void* arg) {
  std::unique_ptr<CacheLoadParams> params(static_cast<CacheLoadParams*>(arg));
  AppEntryList* records = nullptr;
  try {
    tarn::ScopedComInit com;
    records = LoadNamedCache(params->CachePath, params->NamesPath);
  } catch (const std::exception& e) {
    TARN_TRACE("cache load abandoned: %s", e.what());
    records = nullptr;
  }
  if (!records || !PostMessageA(params->NotifyWindow, WM_CACHE_LOADED, 0, reinterpret_cast<LPARAM>(records))) {
    delete records;
    params->Loading->store(false);
  }
  return 0;
}

}  // namespace

bool CSrchApliBase::StartCacheLoad() {
  tarn::ScopedCriticalSection guard(Lock);
  if (Loading->load() || !Entries->empty() || !CacheObj->CacheFileExists()) return false;
  if (!NotifyWindow) {
    // Nobody to post to: the caller waits for the names.
    TakeRecords(LoadNamedCache(CacheObj->CacheFilePath(), CacheObj->NamesFilePath()));
    return true;
  }
  Loading->store(true);
  auto* params = new CacheLoadParams{NotifyWindow, CacheObj->CacheFilePath(), CacheObj->NamesFilePath(), Loading};
  const uintptr_t thread = _beginthreadex(nullptr, 0, &CacheLoadThread, params, 0, nullptr);
  if (!thread) {
    TARN_REPORT_LAST_ERROR(0);
    delete params;
    Loading->store(false);
    return false;
  }
  CloseHandle(reinterpret_cast<HANDLE>(thread));
  return true;
}

bool CSrchApliBase::ApplyLoaded(AppEntryList* records) {
  std::unique_ptr<AppEntryList> owned(records);
  tarn::ScopedCriticalSection guard(Lock);
  Loading->store(false);
  if (!owned || !Entries->empty()) return false;
  TakeRecords(owned.release());
  return true;
}

bool CSrchApliBase::IsCollecting() { return CollectCount.load() > 0; }
