// Times the launcher dialog under Wine on large synthetic candidate sets:
// from the hotkey to the dialog shown with its list filled, and from the
// filter timer's expiry to the list repainted. Run by hand:
//   scripts/wine-exec build/win/bench/tarn_launcher_bench.exe [count...]
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/BriskApp.h"
#include "launcher/AppListView.h"
#include "launcher/LauncherDlg.h"
#include "search/SrchApliBase.h"
#include "settings/EnvInfoStore.h"
#include "support/TestSupport.h"

#include "Timing.h"

namespace {

void Drain() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

HWND Dialog() { return GetBriskApp()->GetLauncherWindow(); }

std::string CacheText(int count) {
  std::string text;
  unsigned seed = 12345;
  for (int i = 0; i < count; ++i) {
    text += "C:\\bench\\d" + std::to_string(i % 50) + "\\" + tarn::test::BenchName(i, seed) + ".exe\r\n";
  }
  return text + "\r\n";
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// The filter timer's work for word, and the list painted.
double TimeRefilter(const std::string& word) {
  HWND dlg = Dialog();
  SetDlgItemTextA(dlg, 1008, "");
  SendMessageA(dlg, WM_TIMER, kTypingTimer, 0);
  UpdateWindow(dlg);
  Drain();
  SetDlgItemTextA(dlg, 1008, word.c_str());
  double t0 = tarn::test::NowMs();
  SendMessageA(dlg, WM_TIMER, kTypingTimer, 0);
  UpdateWindow(GetDlgItem(dlg, 1002));
  UpdateWindow(GetDlgItem(dlg, 1018));
  return tarn::test::NowMs() - t0;
}

void Run(int count, int rounds) {
  tarn::test::TempDir dir;
  tarn::test::WriteFileBytes(dir / "apppaths.ini", CacheText(count));
  CEnvInfoStore::SetDefaultDirectory(dir.Path() + "\\");
  EnvDlgInfo info;
  ApplyLoadDefaults(info);
  info.HotKey = {1, 1, 1, 0, VK_F10};
  info.SrchDirFlg = {};
  info.SrchDirFlg.NtCom = true;
  info.SrchDirFlg.Path = true;
  info.SpeedTuning = {};
  info.AnyDirs.clear();
  info.StaticItems.clear();
  CEnvInfoStore().SaveEnvInfo(&info);
  SetLauncherFactory(&CreateLauncherDialog);
  HWND main = CreateMainWindow(GetModuleHandleA(nullptr), dir.Path() + "\\");
  if (!main) {
    std::printf("main window not created\n");
    return;
  }
  // The cache comes in on a thread of its own at start-up; that is not the
  // dialog's work.
  double load0 = tarn::test::NowMs();
  while (GetBriskApp()->GetCollector()->IsLoading()) {
    Drain();
    Sleep(1);
  }
  double load = tarn::test::NowMs() - load0;

  double s0 = tarn::test::NowMs();
  GetBriskApp()->GetCollector()->Search("xyz");
  double s1 = tarn::test::NowMs();
  GetBriskApp()->GetCollector()->Search("q");
  double s2 = tarn::test::NowMs();
  GetBriskApp()->GetCollector()->Search("");
  std::printf("store search alone: 'xyz' %.1f ms, 'q' %.1f ms\n", s1 - s0, s2 - s1);
  std::vector<double> show, three, one;
  for (int round = 0; round < rounds; ++round) {
    double t0 = tarn::test::NowMs();
    SendMessageA(main, WM_HOTKEY, 1, 0);
    HWND dlg = Dialog();
    if (!dlg) break;
    UpdateWindow(dlg);
    show.push_back(tarn::test::NowMs() - t0);
    Drain();
    if (round == 0) {
      // What one notification from the list costs the dialog.
      NMLISTVIEW nm = {};
      nm.hdr.hwndFrom = GetDlgItem(dlg, 1002);
      nm.hdr.idFrom = 1002;
      nm.hdr.code = LVN_INSERTITEM;
      double n0 = tarn::test::NowMs();
      for (int i = 0; i < 5000; ++i) SendMessageA(dlg, WM_NOTIFY, 1002, reinterpret_cast<LPARAM>(&nm));
      std::printf("5000 notifications to the dialog: %.1f ms\n", tarn::test::NowMs() - n0);
      double d0 = tarn::test::NowMs();
      SendMessageA(GetDlgItem(dlg, 1002), WM_SETREDRAW, FALSE, 0);
      SendMessageA(GetDlgItem(dlg, 1002), LVM_DELETEALLITEMS, 0, 0);
      std::printf("deleting every row: %.1f ms\n", tarn::test::NowMs() - d0);
      SendMessageA(GetDlgItem(dlg, 1002), WM_SETREDRAW, TRUE, 0);
      GetBriskApp()->GetListView()->ResetFilter();
    }
    three.push_back(TimeRefilter("xyz"));
    one.push_back(TimeRefilter("q"));
    SendMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
    Drain();
  }
  std::printf("%7d candidates (cache read %.0f ms): shown with list %.1f ms, "
              "refilter+repaint 'xyz' %.1f ms, 'q' %.1f ms (median of %zu)\n",
              GetBriskApp()->GetCollector()->GetAllCount(), load, Median(show), Median(three), Median(one),
              show.size());
  DestroyWindow(main);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

}  // namespace

int main(int argc, char** argv) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  std::vector<int> counts;
  for (int i = 1; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
  if (counts.empty()) counts = {10000, 100000};
  for (int n : counts) Run(n, n > 20000 ? 3 : 5);
  CoUninitialize();
  return 0;
}
