#include "support/TestSupport.h"

#include "base/Cp932.h"
#include "base/WinHandle.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <malloc.h>
#include <new>
#include <sstream>

namespace tarn::test {

TempDir::TempDir() {
  char base[MAX_PATH];
  DWORD n = GetTempPathA(MAX_PATH, base);
  if (n == 0 || n >= MAX_PATH) lstrcpynA(base, "C:\\", MAX_PATH);
  static LONG counter = 0;
  for (int attempt = 0; attempt < 1000; ++attempt) {
    char name[MAX_PATH];
    std::snprintf(name, sizeof name, "%starn%lu_%ld", base, GetCurrentProcessId(),
                  InterlockedIncrement(&counter));
    if (CreateDirectoryA(name, nullptr)) {
      path_ = name;
      return;
    }
  }
  ADD_FAILURE() << "cannot create a temporary folder";
}

TempDir::~TempDir() {
  if (!path_.empty()) RemoveTree(path_);
}

std::string TempDir::operator/(const std::string& name) const { return path_ + "\\" + name; }

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << "cannot write " << path;
}

bool ReadFileBytes(const std::string& path, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream ss;
  ss << in.rdbuf();
  *bytes = ss.str();
  return true;
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void MakeDirs(const std::string& path) {
  // Separators found character-wise: folder names may end in a 5C trail byte.
  for (size_t i = tarn::FindChar(path, '\\'); i != std::string::npos; i = tarn::FindChar(path, '\\', i + 1)) {
    if (i > 2) CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
  }
  CreateDirectoryA(path.c_str(), nullptr);
}

void RemoveTree(const std::string& path) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string name = fd.cFileName;
      if (name == "." || name == "..") continue;
      std::string child = path + "\\" + name;
      SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
          !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        RemoveTree(child);
      } else if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveDirectoryA(child.c_str());
      } else {
        DeleteFileA(child.c_str());
      }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryA(path.c_str());
}

std::string ExeDir() { return tarn::ProgramDirectory(); }

std::string RecorderPath() {
  // The recorder is built in the tests' own build folder.
  return ExeDir() + "tarn_recorder.exe";
}

int RunProcess(const std::string& commandLine, DWORD timeoutMs,
               const std::function<void(DWORD)>& onIdle) {
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  std::string cmd = commandLine;
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return -1;
  CloseHandle(pi.hThread);
  DWORD waited = 0;
  DWORD rc = WAIT_TIMEOUT;
  while (waited < timeoutMs) {
    rc = WaitForSingleObject(pi.hProcess, 50);
    if (rc != WAIT_TIMEOUT) break;
    waited += 50;
    if (onIdle) onIdle(pi.dwProcessId);
  }
  DWORD code = static_cast<DWORD>(-1);
  if (rc == WAIT_OBJECT_0) {
    GetExitCodeProcess(pi.hProcess, &code);
  } else {
    TerminateProcess(pi.hProcess, 99);
    WaitForSingleObject(pi.hProcess, 5000);
  }
  CloseHandle(pi.hProcess);
  return rc == WAIT_OBJECT_0 ? static_cast<int>(code) : -1;
}

namespace {
struct FindCtx {
  const std::string* caption;
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindProc(HWND hwnd, LPARAM lp) {
  auto* ctx = reinterpret_cast<FindCtx*>(lp);
  char cls[64] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (lstrcmpA(cls, "#32770") != 0) return TRUE;
  if (ctx->pid) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != ctx->pid) return TRUE;
  }
  char text[512] = {};
  GetWindowTextA(hwnd, text, sizeof text);
  if (*ctx->caption == text) {
    ctx->found = hwnd;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

HWND FindDialogByCaption(const std::string& caption, DWORD pid) {
  FindCtx ctx{&caption, pid, nullptr};
  EnumWindows(FindProc, reinterpret_cast<LPARAM>(&ctx));
  return ctx.found;
}

HWND FindMainWindow(DWORD pid) {
  struct Search {
    DWORD pid;
    HWND found;
  } search{pid, nullptr};
  EnumWindows(
      [](HWND w, LPARAM l) -> BOOL {
        auto* s = reinterpret_cast<Search*>(l);
        char cls[64] = {};
        GetClassNameA(w, cls, sizeof cls);
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if ((s->pid == 0 || owner == s->pid) && std::string(cls) == "Tarn_Launcher") {
          s->found = w;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string MessageBoxText(HWND box) {
  // The message text is the static control with id 0xFFFF.
  char text[4096] = {};
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  return text;
}

void PumpFor(DWORD ms) {
  DWORD start = GetTickCount();
  MSG msg;
  while (GetTickCount() - start < ms) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(10);
  }
}

bool PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  MSG msg;
  while (!pred()) {
    if (GetTickCount() - start >= timeoutMs) return false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(10);
  }
  return true;
}

namespace {
// One dialog awaited at a time, served by a thread timer from any loop.
std::string g_Awaited;
std::function<void(HWND)> g_Act;
UINT_PTR g_AwaitTimer = 0;

void StopAwaiting() {
  g_Act = nullptr;
  if (g_AwaitTimer) KillTimer(nullptr, g_AwaitTimer);
  g_AwaitTimer = 0;
}

void CALLBACK ServeAwaited(HWND, UINT, UINT_PTR, DWORD) {
  HWND dialog = FindDialogByCaption(g_Awaited, GetCurrentProcessId());
  if (!g_Act || !dialog || !IsWindowVisible(dialog)) return;
  std::function<void(HWND)> act = std::move(g_Act);  // it may run a loop of its own
  StopAwaiting();
  act(dialog);
}
}  // namespace

void WhenDialogShows(const std::string& caption, std::function<void(HWND)> act) {
  g_Awaited = caption;
  g_Act = std::move(act);
  if (!g_AwaitTimer) g_AwaitTimer = SetTimer(nullptr, 0, 30, ServeAwaited);
}

std::string AnswerMessageBox(const std::string& caption, const std::function<void()>& action) {
  std::string text;
  WhenDialogShows(caption, [&](HWND box) {
    text = MessageBoxText(box);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  });
  action();
  StopAwaiting();  // no box came: a later one is not answered
  return text;
}

HWND WaitForDialog(const std::string& caption, DWORD timeoutMs, DWORD pid) {
  HWND found = nullptr;
  PumpUntil([&] { return (found = FindDialogByCaption(caption, pid)) != nullptr; }, timeoutMs);
  return found;
}

namespace {
std::atomic<DWORD> g_SparedThread{0};
// A crash ends the test program at once, not in a debugger that waits.
const auto g_PreviousFilter = SetUnhandledExceptionFilter([](EXCEPTION_POINTERS* e) -> LONG {
  std::fprintf(stderr, "crashed with exception %08lx\n", e->ExceptionRecord->ExceptionCode);
  return EXCEPTION_EXECUTE_HANDLER;
});
}  // namespace

void FailNextAllocationOnOtherThread() { g_SparedThread.store(GetCurrentThreadId()); }

}  // namespace tarn::test

// The runtime's array forms come here too.
void* operator new(std::size_t size) {
  DWORD spared = tarn::test::g_SparedThread.load();
  if (spared && spared != GetCurrentThreadId() && tarn::test::g_SparedThread.compare_exchange_strong(spared, 0))
    throw std::bad_alloc();
  if (void* block = std::malloc(size ? size : 1)) return block;
  throw std::bad_alloc();
}
void operator delete(void* block) noexcept {
  if (block) std::memset(block, 0xDD, _msize(block));
  std::free(block);
}
void operator delete(void* block, std::size_t) noexcept { ::operator delete(block); }
