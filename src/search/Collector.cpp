#include "search/Collector.h"

#include <process.h>

#include <memory>
#include <exception>

#include "app/Failure.h"
#include "base/WinHandle.h"
#include "search/AppPathsCache.h"
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

void CollectThread(CollectParams* params) {
  HWND window = params->NotifyWindow;
  PathList* result = params->Result;
  CollectSettings settings = std::move(params->Settings);
  std::string tempPath = std::move(params->TempPath);
  delete params;

  try {
    std::vector<tarn::ScanJob> jobs = tarn::PlanPass(settings);
    if (window && !PostMessageA(window, WM_COLLECT_NOTIFY, 1, 0)) TARN_REPORT_LAST_ERROR(0);

    tarn::CCacheFileWriter writer(tempPath);
    tarn::CWin32WalkHost host(&writer);
    tarn::RunCollection(jobs, *result, host);
    if (!writer.Finish()) {
      // Leave no half-written file that could pass for a finished one.
      DeleteFileA(tempPath.c_str());
      TARN_TRACE("temporary cache file not written: %s", tempPath.c_str());
    }
  } catch (const std::exception& e) {
    // Out of memory, most likely: give the pass back rather than end the
    // program. The receiver hears of its end as of any other, with no list,
    // so that nothing stays busy.
    TARN_TRACE("collection pass abandoned: %s", e.what());
    DeleteFileA(tempPath.c_str());
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
    auto* params = new CollectParams{NotifyWindow, CacheObj->Settings(), CacheObj->TempFilePath(), new PathList};
    CollectCount.fetch_add(1);
    if (!StartCollectPass(params)) {
      TARN_REPORT_LAST_ERROR(0);
      TARN_TRACE("collection thread not started");
      delete params->Result;
      delete params;
      CollectCount.store(0);
    }
  }
  if (!Entries.empty()) return true;

  Entries.clear();
  Matches->clear();
  CacheObj->LoadCache(useCache);
  if (CacheObj->LoadedPaths) {
    AppendEntries(Entries, *CacheObj->LoadedPaths);
    delete CacheObj->LoadedPaths;
    CacheObj->LoadedPaths = nullptr;
  }
  return true;
}

bool CSrchApliBase::ApplyCollected(PathList* paths) {
  std::unique_ptr<PathList> owned(paths);
  tarn::ScopedCriticalSection guard(Lock);
  CollectCount.store(0);
  // An abandoned pass brings no list: the candidates stay as they are.
  if (!owned) return true;
  Entries.clear();
  Matches->clear();
  CacheObj->ReplaceCacheFile(tarn::CacheTextSize(*owned));
  AppendEntries(Entries, *owned);
  return true;
}

bool CSrchApliBase::IsCollecting() { return CollectCount.load() > 0; }
