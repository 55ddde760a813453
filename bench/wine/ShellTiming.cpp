// Timings under Wine, run by hand (not a test): start-up of the main window
// up to the tray icon, and filling the candidate list against a bare list
// control of the same size.
//   scripts/wine-exec build/win/bench/tarn_shell_timing.exe
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/BriskApp.h"
#include "launcher/AppListView.h"
#include "search/SrchApliBase.h"
#include "settings/EnvInfoStore.h"
#include "Timing.h"

namespace {

using tarn::test::NowMs;

CAppListView* g_View = nullptr;
LRESULT CALLBACK HostProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_NOTIFY && reinterpret_cast<NMHDR*>(lp)->code == LVN_GETDISPINFOA) {
    if (g_View) {
      g_View->OnGetDispInfo(reinterpret_cast<NMLVDISPINFOA*>(lp));
    } else {
      auto* info = reinterpret_cast<NMLVDISPINFOA*>(lp);
      if (info->item.mask & LVIF_TEXT) info->item.pszText = const_cast<char*>("candidate");
      if (info->item.mask & LVIF_IMAGE) info->item.iImage = 0;
    }
    return 0;
  }
  return DefWindowProcA(w, m, wp, lp);
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

HWND MakeList(HWND host) {
  return CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 600, 400, host,
                         reinterpret_cast<HMENU>(1002), GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

// First calls of the platform services start-up uses, in a fresh process.
void Parts() {
  double t0 = NowMs();
  SHFILEINFOA sfi = {};
  SHGetFileInfoA("C:\\", 0, &sfi, sizeof sfi, SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
  double t1 = NowMs();
  LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(4006), IMAGE_ICON, 16, 16, LR_SHARED);
  double t2 = NowMs();
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  double t3 = NowMs();
  std::printf("first system image list %.1f ms, icon load %.1f ms, COM start %.1f ms\n", (t1 - t0),
              (t2 - t1), (t3 - t2));
}

// One fill of n rows: list view, bare inserts, bare inserts with the path
// column, and the search + copy share, in ms.
void FillOnce(HWND host, const std::string& dir, int n, double out[4]) {
  double bare[2];
  for (int withPath = 0; withPath < 2; ++withPath) {
    // Floor: the same number of callback rows into a bare list control.
    // Painting after each insertion costs far more than the insertion;
    // the floor leaves painting to the end, like the fill does.
    HWND control = MakeList(host);
    LVCOLUMNA col = {};
    col.mask = LVCF_WIDTH;
    col.cx = 300;
    SendMessageA(control, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&col));
    SendMessageA(control, LVM_INSERTCOLUMNA, 1, reinterpret_cast<LPARAM>(&col));
    Pump();
    double b0 = NowMs();
    SendMessageA(control, WM_SETREDRAW, FALSE, 0);
    SendMessageA(control, LVM_SETITEMCOUNT, n, 0);
    for (int i = 0; i < n; ++i) {
      LVITEMA item = {};
      item.mask = LVIF_TEXT | LVIF_IMAGE;
      item.iItem = i;
      item.pszText = LPSTR_TEXTCALLBACKA;
      item.iImage = I_IMAGECALLBACK;
      SendMessageA(control, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
      if (withPath) {
        LVITEMA sub = {};
        sub.iSubItem = 1;
        sub.pszText = LPSTR_TEXTCALLBACKA;
        SendMessageA(control, LVM_SETITEMTEXTA, i, reinterpret_cast<LPARAM>(&sub));
      }
    }
    SendMessageA(control, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(control, nullptr, TRUE);
    UpdateWindow(control);
    bare[withPath] = (NowMs() - b0);
    DestroyWindow(control);
  }

  HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA, 0, 0, 600,
                              400, host, reinterpret_cast<HMENU>(1002), GetModuleHandleA(nullptr), nullptr);
  CSrchApliBase store(host, dir);
  auto* paths = new PathList;
  for (int i = 0; i < n; ++i) paths->push_back("C:\\Programs\\Tool" + std::to_string(i) + ".exe");
  store.ApplyCollected(paths);
  CAppListView view;
  g_View = &view;
  view.Attach(list, &store);
  ListSettings s;
  s.LoadIcon = true;
  view.ApplyListSettings(s);
  Pump();
  // What the fill spends before its first row: the store's search and the
  // copy of its result.
  double s0 = NowMs();
  store.Search("");
  MatchList copy = store.GetMatchList();
  const double searchMs = (NowMs() - s0);
  double v0 = NowMs();
  view.ResetFilter();
  UpdateWindow(list);
  double v1 = NowMs();
  out[0] = (v1 - v0);
  out[1] = bare[0];
  out[2] = bare[1];
  out[3] = searchMs;
  g_View = nullptr;
  DestroyWindow(list);
}

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--parts") {
    Parts();
    return 0;
  }
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  std::string dir = std::string(temp) + "tarn_timing\\";
  CreateDirectoryA(dir.c_str(), nullptr);

  // Start-up: entry to the tray icon added (it happens inside creation).
  double t0 = NowMs();
  HWND main = CreateMainWindow(GetModuleHandleA(nullptr), dir);
  double t1 = NowMs();
  if (!main) return 1;
  std::printf("entry to main window created, tray icon added inside: %.1f ms (icon shown: %s)\n", (t1 - t0),
              GetBriskApp()->GetTrayIcon()->IsShown() ? "yes" : "no");
  DestroyWindow(main);
  Pump();

  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = HostProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TarnTimingHost";
  RegisterClassA(&wc);
  HWND host = CreateWindowExA(0, wc.lpszClassName, "timing", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640,
                              480, nullptr, nullptr, wc.hInstance, nullptr);

  std::vector<int> sizes = {1000, 10000, 100000};
  if (argc > 1) sizes = {std::atoi(argv[1])};
  // The machine is shared: each figure is the best of three runs.
  for (int n : sizes) {
    double best[4] = {1e300, 1e300, 1e300, 1e300};
    for (int rep = 0; rep < 3; ++rep) {
      double f[4];
      FillOnce(host, dir, n, f);
      for (int k = 0; k < 4; ++k) best[k] = f[k] < best[k] ? f[k] : best[k];
    }
    std::printf(
        "fill %6d rows: list view %8.1f ms | bare inserts %8.1f ms (ratio %.2f) | bare inserts + "
        "path column %8.1f ms (ratio %.2f) | of which search + copy %.1f ms\n",
        n, best[0], best[1], best[0] / best[1], best[2], best[0] / best[2], best[3]);
  }
  DestroyWindow(host);
  return 0;
}
