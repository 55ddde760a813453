#include "base/SaveNotice.h"

#include <atomic>

namespace {

std::atomic<HWND> g_Window{nullptr};
std::atomic<UINT> g_Message{0};
// Posted once for each window named: a pass or a launch may fail again
// before the first message is read.
std::atomic<bool> g_Posted{false};

}  // namespace

void SetSaveFailureNotice(HWND window, UINT message) {
  g_Window.store(nullptr);
  g_Message.store(message);
  g_Posted.store(false);
  g_Window.store(window);
}

void NoteSaveFailure() {
  HWND window = g_Window.load();
  if (!window || g_Posted.exchange(true)) return;
  if (!PostMessageA(window, g_Message.load(), 0, 0)) g_Posted.store(false);
}
