#include "search/Collector.h"

#include <process.h>

#include <exception>
#include <memory>

#include "base/Failure.h"
#include "base/SaveNotice.h"
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
  const tarn::ScopedHandle thread(
      reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &CollectThreadEntry, params, CREATE_SUSPENDED, nullptr)));
  if (!thread.Valid()) return false;
  if (!SetThreadPriority(thread.Get(), THREAD_PRIORITY_BELOW_NORMAL)) TARN_REPORT_LAST_ERROR(0);
  bool resumed = ResumeThread(thread.Get()) != static_cast<DWORD>(-1);
  if (!resumed) {
    // It cannot run: end it before anything of it ran; params stay ours.
    TARN_REPORT_LAST_ERROR(0);
    TerminateThread(thread.Get(), 1);
  }
  return resumed;
}

// The records of a pass's paths, named here so that the user-interface
// thread only swaps lists. Names known from the candidates the pass started
// with, or else from the names file, are not asked again.
static std::unique_ptr<AppEntryList> NamePass(const PathList& paths, const CollectParams& params, bool cacheWritten) {
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
  MakeReadings(*records, params.Readings);
  if (cacheWritten &&
      !WriteWholeFile(params.NamesTempPath, tarn::FormatNamesText(*records, tarn::CacheTextStamp(*records)))) {
    TARN_TRACE("names file not written: %s", params.NamesTempPath.c_str());
  }
  return records;
}

void CollectThread(CollectParams* params) {
  std::unique_ptr<CollectParams> owned(params);
  HWND window = params->NotifyWindow;
  PathList& found = params->Result;
  const std::string& tempPath = params->TempPath;
  std::unique_ptr<AppEntryList> result;

  try {
    std::vector<tarn::ScanJob> jobs = tarn::PlanPass(params->Settings);
    if (window && !PostMessageA(window, WM_COLLECT_NOTIFY, 1, 0)) TARN_REPORT_LAST_ERROR(0);

    tarn::CCacheFileWriter writer(tempPath);
    tarn::CWin32WalkHost host(&writer);
    tarn::RunCollection(jobs, found, host);
    const bool written = writer.Finish();
    if (!written) {
      // Leave no half-written file that could pass for a finished one.
      DeleteFileA(tempPath.c_str());
      TARN_TRACE("temporary cache file not written: %s", tempPath.c_str());
      NoteSaveFailure();
    }
    result = NamePass(found, *params, written);
  } catch (const std::exception& e) {
    // Out of memory, most likely: give the pass back rather than end the
    // program. The receiver hears of its end as of any other, with no list,
    // so that nothing stays busy.
    TARN_TRACE("collection pass abandoned: %s", e.what());
    DeleteFileA(tempPath.c_str());
    DeleteFileA(params->NamesTempPath.c_str());
    if (!window || !PostMessageA(window, WM_COLLECT_NOTIFY, 0, 0)) CollectCount.store(0);
    return;
  }

  // A null window would post to this thread's own queue, which ends with it.
  if (window && PostMessageA(window, WM_COLLECT_NOTIFY, 0, reinterpret_cast<LPARAM>(result.get()))) {
    result.release();  // the receiver's now
    return;
  }
  // Nobody will apply this pass: its list goes, and the next one may start.
  if (window) TARN_REPORT_LAST_ERROR(0);
  TARN_TRACE("collection result not delivered; pass given back");
  CollectCount.store(0);
}
