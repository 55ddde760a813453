#include "launcher/WindowPlacement.h"

namespace {

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  auto* areas = reinterpret_cast<std::vector<tarn::Rect32>*>(data);
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (GetMonitorInfoA(monitor, &info)) {
    tarn::Rect32 area = ToRect32(info.rcWork);
    if (info.dwFlags & MONITORINFOF_PRIMARY) {
      areas->insert(areas->begin(), area);
    } else {
      areas->push_back(area);
    }
  }
  return TRUE;
}

}  // namespace

std::vector<tarn::Rect32> MonitorWorkAreas() {
  std::vector<tarn::Rect32> areas;
  EnumDisplayMonitors(nullptr, nullptr, AddWorkArea, reinterpret_cast<LPARAM>(&areas));
  if (areas.empty()) {
    RECT work;
    if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) areas.push_back(ToRect32(work));
  }
  return areas;
}

void RestoreSavedRect(HWND window, const tarn::Rect32& saved, tarn::Size32 minimum) {
  tarn::Rect32 r = tarn::FitSavedRect(saved, MonitorWorkAreas(), minimum);
  SetWindowPos(window, nullptr, r.left, r.top, static_cast<int>(r.Width()), static_cast<int>(r.Height()),
               SWP_NOZORDER | SWP_NOACTIVATE);
}
