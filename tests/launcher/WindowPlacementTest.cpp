// Placing a real window: centring inside the work area and restoring a
// saved rectangle, brought back onto the screen when none shows it.
#include <windows.h>

#include <gtest/gtest.h>

#include "launcher/WindowPlacement.h"

namespace {

struct Window {
  HWND hwnd = CreateWindowExA(0, "STATIC", "placement", WS_POPUP | WS_CAPTION | WS_THICKFRAME, 10, 10,
                              400, 500, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ~Window() { DestroyWindow(hwnd); }
  tarn::Rect32 Rect() const {
    RECT r;
    GetWindowRect(hwnd, &r);
    return ToRect32(r);
  }
};

tarn::Rect32 WorkArea() {
  RECT r;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
  return ToRect32(r);
}

TEST(WindowPlacement, WorkAreasListThePrimaryFirst) {
  std::vector<tarn::Rect32> areas = MonitorWorkAreas();
  ASSERT_FALSE(areas.empty());
  EXPECT_EQ(areas.front(), WorkArea());
}

TEST(WindowPlacement, CentresOverTheDesktopInsideTheWorkArea) {
  Window w;
  ASSERT_NE(w.hwnd, nullptr);
  CenterWindowInWorkArea(w.hwnd, GetDesktopWindow());
  tarn::Rect32 r = w.Rect();
  EXPECT_EQ(r.Width(), 400);
  EXPECT_EQ(r.Height(), 500);
  int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_EQ(r.left, (screenW - 400) / 2);
  EXPECT_EQ(r.top, (screenH - 500) / 2);
  tarn::Rect32 work = WorkArea();
  EXPECT_GE(r.left, work.left);
  EXPECT_LE(r.bottom, work.bottom);
}

TEST(WindowPlacement, SavedRectangleComesBackOnScreen) {
  const tarn::Rect32 work = WorkArea();
  const tarn::Size32 minimum{250, 330};
  struct Case {
    const char* what;
    tarn::Rect32 saved;
    tarn::Rect32 expected;
  } cases[] = {
      {"on screen, restored exactly", {100, 120, 480, 620}, {100, 120, 480, 620}},
      {"right of the screen", {work.right + 500, 100, work.right + 880, 600},
       {work.right - 380, 100, work.right, 600}},
      {"above the screen", {200, work.top - 900, 580, work.top - 400}, {200, work.top, 580, work.top + 500}},
      {"degenerate", {300, 300, 300, 300}, {300, 300, 550, 630}},
      {"oversized", {-100, -100, work.right + 5000, work.bottom + 5000}, work},
  };
  for (const Case& c : cases) {
    Window w;
    RestoreSavedRect(w.hwnd, c.saved, minimum);
    EXPECT_EQ(w.Rect(), c.expected) << c.what;
  }
}

}  // namespace
