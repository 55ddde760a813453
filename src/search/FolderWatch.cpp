#include "search/FolderWatch.h"

#include <process.h>

#include <atomic>
#include <cstddef>
#include <mutex>
#include <optional>

#include "base/Failure.h"
#include "search/FolderScan.h"

tarn::WatchTimings FolderWatchTimings;

namespace {

constexpr DWORD kBufferBytes = 64 * 1024;  // the most a network folder reports at once
constexpr DWORD kNameChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME;

std::string NarrowName(const WCHAR* name, DWORD bytes) {
  const int chars = static_cast<int>(bytes / sizeof(WCHAR));
  const int size = WideCharToMultiByte(CP_ACP, 0, name, chars, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) WideCharToMultiByte(CP_ACP, 0, name, chars, out.data(), size, nullptr, nullptr);
  return out;
}

// What one Arm asks for; the settings are resolved on the thread.
struct ArmRequest {
  std::optional<CollectSettings> Settings;
  std::vector<tarn::WatchRoot> Roots;
  std::vector<std::string> Ignored;
};

}  // namespace

// Everything the watching thread works on, shared with the owner so that
// a thread stuck in opening a folder may outlive it.
class CFolderWatcher::CState {
 public:
  CState(HWND window, UINT message, std::string ownFolder)
      : Window(window), Message(message), OwnFolder(std::move(ownFolder)), Pacer(FolderWatchTimings),
        Wake(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}
  ~CState() {
    if (Wake) CloseHandle(Wake);
  }

  void Ask(ArmRequest request) {
    {
      std::lock_guard<std::mutex> hold(Lock);
      Request = std::move(request);
      Watched.store(-1);
    }
    SetEvent(Wake);
  }
  void Stop() {
    Stopping.store(true);
    SetEvent(Wake);
  }
  int WatchedCount() const { return Watched.load(); }
  bool HasWake() const { return Wake != nullptr; }
  void Run();

 private:
  struct Watch {
    CState* Owner = nullptr;
    tarn::WatchRoot Root;
    HANDLE Dir = INVALID_HANDLE_VALUE;
    OVERLAPPED Overlapped = {};
    bool Pending = false;
    bool Closing = false;
    std::unique_ptr<DWORD[]> Buffer{new DWORD[kBufferBytes / sizeof(DWORD)]};
  };

  static void CALLBACK Done(DWORD error, DWORD bytes, OVERLAPPED* overlapped) {
    auto* watch = static_cast<Watch*>(overlapped->hEvent);
    watch->Owner->OnDone(*watch, error, bytes);
  }

  void ApplyRequest(ArmRequest request);
  bool Open(const tarn::WatchRoot& root);
  bool Issue(Watch& watch);
  void OnDone(Watch& watch, DWORD error, DWORD bytes);
  void Close(Watch& watch);
  void CloseAll();

  HWND Window;
  UINT Message;
  std::string OwnFolder;
  tarn::CWatchPacer Pacer;
  HANDLE Wake;
  std::mutex Lock;
  std::optional<ArmRequest> Request;
  std::atomic<bool> Stopping{false};
  std::atomic<int> Watched{-1};
  std::vector<std::string> Ignored;
  std::vector<std::unique_ptr<Watch>> Watches;
};

void CFolderWatcher::CState::Run() {
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    DWORD wait = INFINITE;
    if (const std::optional<uint64_t> due = Pacer.DueAt()) {
      if (*due <= now) {
        Pacer.Started(now);
        if (!Stopping.load() && !PostMessageA(Window, Message, 0, 0)) TARN_REPORT_LAST_ERROR(0);
        continue;
      }
      wait = static_cast<DWORD>(*due - now);
    }
    const DWORD woke = WaitForSingleObjectEx(Wake, wait, TRUE);
    if (woke == WAIT_FAILED) {
      TARN_REPORT_LAST_ERROR(0);
      break;
    }
    if (Stopping.load()) break;
    std::optional<ArmRequest> request;
    {
      std::lock_guard<std::mutex> hold(Lock);
      request.swap(Request);
    }
    if (request) ApplyRequest(std::move(*request));
  }
  CloseAll();
}

void CFolderWatcher::CState::ApplyRequest(ArmRequest request) {
  CloseAll();
  if (request.Settings) {
    // The recent-files folder changes with every document opened: the
    // refresh timer covers it, and changes inside it count for nothing.
    CollectSettings settings = *request.Settings;
    settings.SrchDirFlg.Recent = false;
    std::vector<tarn::SpecialFolder> special;
    tarn::GetSpecialFolders(special);
    for (const tarn::SpecialFolder& folder : special) {
      if (folder.Source == tarn::CollectSource::Recent) request.Ignored.push_back(folder.Path);
    }
    request.Roots = tarn::WatchRootsOf(tarn::PlanPass(settings, special));
  }
  Ignored = std::move(request.Ignored);
  int watched = 0;
  for (const tarn::WatchRoot& root : request.Roots) {
    if (Stopping.load()) break;
    if (Open(root)) ++watched;
  }
  std::lock_guard<std::mutex> hold(Lock);
  // A newer request waits: its count is the one to tell.
  if (!Request) Watched.store(watched);
}

bool CFolderWatcher::CState::Open(const tarn::WatchRoot& root) {
  auto watch = std::make_unique<Watch>();
  watch->Owner = this;
  watch->Root = root;
  watch->Overlapped.hEvent = watch.get();  // free for the caller's use with a completion routine
  watch->Dir = CreateFileA(root.Folder.c_str(), FILE_LIST_DIRECTORY,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
  if (watch->Dir == INVALID_HANDLE_VALUE || !Issue(*watch)) {
    // Gone, not a folder, or a share that reports nothing: the refresh
    // timer keeps it current.
    TARN_TRACE("folder not watched (%lu): %s", GetLastError(), root.Folder.c_str());
    if (watch->Dir != INVALID_HANDLE_VALUE) CloseHandle(watch->Dir);
    return false;
  }
  Watches.push_back(std::move(watch));
  return true;
}

bool CFolderWatcher::CState::Issue(Watch& watch) {
  watch.Pending = ReadDirectoryChangesW(watch.Dir, watch.Buffer.get(), kBufferBytes, watch.Root.Subtree,
                                        kNameChanges, nullptr, &watch.Overlapped, &Done) != FALSE;
  return watch.Pending;
}

void CFolderWatcher::CState::OnDone(Watch& watch, DWORD error, DWORD bytes) {
  watch.Pending = false;
  if (watch.Closing || error == ERROR_OPERATION_ABORTED) return;
  bool matters = false;
  if (error != ERROR_SUCCESS || bytes == 0) {
    // More changes than the buffer held, or the folder itself went: what
    // changed is unknown.
    matters = true;
  } else {
    const BYTE* at = reinterpret_cast<const BYTE*>(watch.Buffer.get());
    const BYTE* end = at + std::min<DWORD>(bytes, kBufferBytes);
    while (!matters && at + sizeof(FILE_NOTIFY_INFORMATION) <= end) {
      const auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(at);
      const auto room = static_cast<DWORD>(end - at - offsetof(FILE_NOTIFY_INFORMATION, FileName));
      const DWORD nameBytes = std::min<DWORD>(info->FileNameLength, room);
      matters = tarn::ChangeMatters(watch.Root, NarrowName(info->FileName, nameBytes), OwnFolder, Ignored);
      if (info->NextEntryOffset == 0) break;
      at += info->NextEntryOffset;
    }
  }
  if (matters) Pacer.Changed(GetTickCount64());
  if (error == ERROR_SUCCESS || error == ERROR_NOTIFY_ENUM_DIR) {
    if (Issue(watch)) return;
  }
  TARN_TRACE("folder no longer watched (%lu): %s", error == ERROR_SUCCESS ? GetLastError() : error,
             watch.Root.Folder.c_str());
  Close(watch);
}

void CFolderWatcher::CState::Close(Watch& watch) {
  if (watch.Dir == INVALID_HANDLE_VALUE) return;
  watch.Closing = true;
  if (watch.Pending) CancelIo(watch.Dir);
  CloseHandle(watch.Dir);
  watch.Dir = INVALID_HANDLE_VALUE;
}

void CFolderWatcher::CState::CloseAll() {
  for (auto& watch : Watches) Close(*watch);
  // A cancelled read still completes into its buffer: the buffers stay
  // until every completion has run here.
  const ULONGLONG limit = GetTickCount64() + 2000;
  auto pending = [this] {
    for (const auto& watch : Watches) {
      if (watch->Pending) return true;
    }
    return false;
  };
  while (pending() && GetTickCount64() < limit) SleepEx(10, TRUE);
  if (pending()) {
    TARN_TRACE("%s", "folder watches not ended; their buffers are left");
    for (auto& watch : Watches) {
      if (watch->Pending) watch.release();
    }
  }
  Watches.clear();
}

namespace {

unsigned __stdcall WatchThread(void* arg) {
  std::unique_ptr<std::shared_ptr<CFolderWatcher::CState>> state(
      static_cast<std::shared_ptr<CFolderWatcher::CState>*>(arg));
  (*state)->Run();
  return 0;
}

}  // namespace

CFolderWatcher::CFolderWatcher(HWND window, UINT message, const std::string& ownFolder)
    : State(std::make_shared<CState>(window, message, ownFolder)) {
  if (!State->HasWake()) {
    TARN_REPORT_LAST_ERROR(0);
    return;
  }
  auto* shared = new std::shared_ptr<CState>(State);
  Thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &WatchThread, shared, 0, nullptr));
  if (!Thread) {
    TARN_REPORT_LAST_ERROR(0);
    delete shared;
    return;
  }
  SetThreadPriority(Thread, THREAD_PRIORITY_BELOW_NORMAL);
}

CFolderWatcher::~CFolderWatcher() {
  State->Stop();
  if (!Thread) return;
  if (WaitForSingleObject(Thread, 3000) != WAIT_OBJECT_0) TARN_TRACE("%s", "folder watch thread left running");
  CloseHandle(Thread);
}

void CFolderWatcher::Arm(const CollectSettings& settings) { State->Ask(ArmRequest{settings, {}, {}}); }

void CFolderWatcher::Arm(std::vector<tarn::WatchRoot> roots, std::vector<std::string> ignored) {
  State->Ask(ArmRequest{std::nullopt, std::move(roots), std::move(ignored)});
}

int CFolderWatcher::WatchedCount() const { return State->WatchedCount(); }

bool CFolderWatcher::Running() const { return Thread != nullptr; }
