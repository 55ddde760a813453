#include "support/TestSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <shellapi.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>
#include <sstream>

#include "base/Cp932.h"
#include "base/DialogBase.h"
#include "base/WinHandle.h"

namespace tarn::test {

namespace {
HWND FindTop(const char* cls, const std::string* caption, DWORD pid, HWND skip = nullptr) {
  HWND w = nullptr;
  for (DWORD owner = 0; (w = FindWindowExA(nullptr, w, cls, caption ? caption->c_str() : nullptr));)
    if (GetWindowThreadProcessId(w, &owner), w != skip && (!pid || owner == pid)) break;
  return w;
}

// One dialog awaited at a time, served by a thread timer from any loop.
std::string g_Awaited;
HWND g_Open = nullptr;  // open already when the wait began
std::function<void(HWND)> g_Act;
UINT_PTR g_AwaitTimer = 0;

void StopAwaiting() {
  if (g_Act = nullptr, g_AwaitTimer) KillTimer(nullptr, g_AwaitTimer);
  g_AwaitTimer = 0;
}
}  // namespace

TempDir::TempDir() {
  char base[MAX_PATH], name[MAX_PATH];
  if (!GetTempPathA(MAX_PATH, base)) lstrcpynA(base, "C:\\", MAX_PATH);
  static LONG counter = 0;
  for (int attempt = 0; attempt < 1000 && path_.empty(); ++attempt) {
    std::snprintf(name, sizeof name, "%starn%lu_%ld", base, GetCurrentProcessId(), InterlockedIncrement(&counter));
    if (CreateDirectoryA(name, nullptr)) path_ = name;
  }
  if (path_.empty()) ADD_FAILURE() << "cannot create a temporary folder";
}

TempDir::~TempDir() {
  // The whole tree, read-only files included; the list ends with two NULs.
  const std::string from = path_ + std::string(2, '\0');
  SHFILEOPSTRUCTA op = {nullptr, FO_DELETE, from.c_str(), nullptr, FOF_NO_UI, FALSE, nullptr, nullptr};
  if (!path_.empty()) SHFileOperationA(&op);
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << "cannot write " << path;
}

bool ReadFileBytes(const std::string& path, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  return ss << in.rdbuf(), *bytes = ss.str(), static_cast<bool>(in);
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void MakeDirs(const std::string& path) {
  // Separators found character-wise: folder names may end in a 5C trail byte.
  for (size_t i = tarn::FindChar(path, '\\'); i != std::string::npos; i = tarn::FindChar(path, '\\', i + 1))
    if (i > 2) CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
  CreateDirectoryA(path.c_str(), nullptr);
}

std::string ExeDir() { return tarn::ProgramDirectory(); }
std::string RecorderPath() { return ExeDir() + "tarn_recorder.exe"; }
bool StartProcess(std::string commandLine, const char* dir, DWORD flags, PROCESS_INFORMATION* info) {
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, flags, nullptr, dir, &si, info)) return false;
  return CloseHandle(info->hThread), true;
}

HWND FindDialogByCaption(const std::string& caption, DWORD pid) { return FindTop("#32770", &caption, pid); }
HWND FindMainWindow(DWORD pid) { return FindTop("Tarn_Launcher", nullptr, pid); }

std::vector<std::string> ListTexts(HWND list, int column) {
  std::vector<std::string> rows;
  char text[1024];
  for (int i = 0; i < ListView_GetItemCount(list); ++i) {
    ListView_GetItemText(list, i, column, text, sizeof text);
    rows.push_back(text);
  }
  return rows;
}

RECT WindowRect(HWND window) {
  RECT r = {};
  return GetWindowRect(window, &r), r;
}
int SelectedRow(HWND list) { return ListView_GetNextItem(list, -1, LVNI_SELECTED); }
void SelectRow(HWND list, int row) { ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, 0xF); }

std::string MessageBoxText(HWND box) { return WindowText(GetDlgItem(box, 0xFFFF), 4096); }  // its static text

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  for (const DWORD start = GetTickCount();; Sleep(5)) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
      if (!IsModelessDialogMessage(&msg)) TranslateMessage(&msg), DispatchMessageA(&msg);
    if (done()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
  }
}

void PumpFor(DWORD ms) { PumpUntil([] { return false; }, ms); }

HWND WaitForDialog(const std::string& caption, DWORD timeoutMs, DWORD pid) {
  HWND found = nullptr;
  return PumpUntil([&] { return (found = FindDialogByCaption(caption, pid)) != nullptr; }, timeoutMs), found;
}

HWND WaitForMessageBox(const std::string& caption, std::string* text, DWORD timeoutMs, DWORD pid) {
  HWND box = WaitForDialog(caption, timeoutMs, pid);
  return PumpUntil([&] { return !(*text = MessageBoxText(box)).empty(); }, timeoutMs), box;
}

void WhenDialogShows(const std::string& caption, std::function<void(HWND)> act) {
  g_Awaited = caption;
  g_Open = FindDialogByCaption(caption, GetCurrentProcessId());
  g_Act = std::move(act);
  if (g_AwaitTimer) return;
  g_AwaitTimer = SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = FindTop("#32770", &g_Awaited, GetCurrentProcessId(), g_Open);
    if (!g_Act || !dialog || !IsWindowVisible(dialog)) return;
    std::function<void(HWND)> act = std::move(g_Act);  // it may run a loop of its own
    StopAwaiting();
    act(dialog);
  });
}

std::string AnswerMessageBox(const std::string& caption, const std::function<void()>& action) {
  std::string text;
  WhenDialogShows(caption, [&](HWND box) { text = MessageBoxText(box), PostMessageA(box, WM_COMMAND, IDOK, 0); });
  action();
  StopAwaiting();  // no box came: a later one is not answered
  return text;
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
