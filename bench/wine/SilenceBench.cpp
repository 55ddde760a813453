// Finds where the main window stops answering: runs the program inside this
// process on the timing programs' folder of real files, dispatches its
// messages itself and names every message that kept the thread longer than
// a limit, with the processor time the thread itself spent on it (the rest
// is waiting: for a processor, for the Wine server, for a lock), while
// another thread pings the main window as the outside timing does. Also
// times each refilter from the filter timer's firing to the end of the
// list's repaint. Run by hand, one start per process:
//   scripts/wine-exec build/win/bench/tarn_silence_bench.exe count first|next [limit-ms] [hotkey-after-ms]
// "first" starts without a cache, "next" with the one the last run left;
// hotkey-after-ms holds the first hotkey back that long after the start.
#include <windows.h>
#include <commctrl.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/BriskApp.h"
#include "launcher/LauncherDlg.h"
#include "search/SrchApliBase.h"

#include "BenchFiles.h"

namespace {

using tarn::test::NowMs;

double g_Start = 0;
double g_Limit = 30;

std::string ClassOf(HWND window) {
  char name[64] = {};
  if (window) GetClassNameA(window, name, sizeof name);
  return name;
}

// Processor time of this thread so far, in ms (Wine counts in 10 ms steps).
double ThreadBusyMs() {
  FILETIME created, exited, kernel, user;
  if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
  auto ms = [](FILETIME t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4;
  };
  return ms(kernel) + ms(user);
}

// Dispatches what is queued; names each message that took over the limit.
void PumpOnce(double* timerAt = nullptr) {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) return;
    HWND dialog = GetBriskApp() ? GetBriskApp()->GetLauncherWindow() : nullptr;
    const double t0 = NowMs();
    const double busy0 = ThreadBusyMs();
    if (timerAt && msg.message == WM_TIMER && msg.hwnd == dialog && msg.wParam == kTypingTimer) *timerAt = t0;
    if (!dialog || !IsDialogMessageA(dialog, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    const double took = NowMs() - t0;
    if (took > g_Limit) {
      std::printf("  at %7.0f ms: %5.0f ms (thread busy %3.0f) in message 0x%04x (wParam %llu) to %s\n",
                  t0 - g_Start, took, ThreadBusyMs() - busy0, msg.message,
                  static_cast<unsigned long long>(msg.wParam), ClassOf(msg.hwnd).c_str());
    }
  }
}

bool PumpUntil(bool (*done)(void*), void* arg, double limitMs) {
  const double t0 = NowMs();
  while (!done(arg)) {
    if (NowMs() - t0 > limitMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    PumpOnce();
  }
  return true;
}

std::string Counter(HWND dlg) {
  char text[64] = {};
  GetWindowTextA(GetDlgItem(dlg, 1018), text, sizeof text);
  return text;
}

struct ShowState {
  HWND Main;
  std::string Want;
  double Asked;
};

bool ShowsAll(void* arg) {
  auto* s = static_cast<ShowState*>(arg);
  HWND dlg = GetBriskApp()->GetLauncherWindow();
  if (!dlg) {
    if (NowMs() - s->Asked > 250) {
      PostMessageA(s->Main, WM_HOTKEY, kHotKeyId, 0);
      s->Asked = NowMs();
    }
    return false;
  }
  return Counter(dlg) == s->Want;
}

bool Idle(void*) { return GetQueueStatus(QS_ALLINPUT) == 0; }

// Pumps for ms: the pings must find the thread in its message loop.
void PumpFor(double ms) {
  const double t0 = NowMs();
  while (NowMs() - t0 < ms) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    PumpOnce();
  }
}

// From the filter timer's firing to the list painted and nothing queued.
double TimeRefilter(HWND dlg, const char* word) {
  CLauncherDlg* self = CLauncherDlg::FromWindow(dlg);
  const int before = self->RefilterCount();
  SetDlgItemTextA(dlg, 1008, word);
  double timerAt = -1;
  const double t0 = NowMs();
  while (CLauncherDlg::FromWindow(dlg)->RefilterCount() == before && NowMs() - t0 < 60000) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    PumpOnce(&timerAt);
  }
  PumpUntil(&Idle, nullptr, 60000);
  return timerAt < 0 ? -1 : NowMs() - timerAt;
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 20000;
  const bool first = argc <= 2 || std::string(argv[2]) != "next";
  if (argc > 3) g_Limit = std::atof(argv[3]);
  const double hotkeyAfter = argc > 4 ? std::atof(argv[4]) : 0;
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  setlocale(LC_ALL, "japanese");

  const std::string root = tarn::test::BenchFilesRoot(count);
  tarn::test::MakeDirs(root);
  tarn::test::PrepareBenchFiles(root, count);
  const std::string prog = root + "\\inproc";
  if (first) {
    tarn::test::PrepareBenchProgram(root, prog);
  } else {
    CEnvInfoStore::SetDefaultDirectory(prog + "\\");
  }
  std::printf("%d files, %s start, first hotkey from %.0f ms, messages over %.0f ms:\n", count, first ? "first" : "next",
              hotkeyAfter, g_Limit);

  SetLauncherFactory(&CreateLauncherDialog);
  g_Start = NowMs();
  HWND main = CreateMainWindow(GetModuleHandleA(nullptr), prog + "\\");
  if (!main) {
    std::printf("main window not created\n");
    return 1;
  }
  std::printf("  main window created in %.0f ms\n", NowMs() - g_Start);
  {
    tarn::test::CPinger pinger(main, g_Start);
    PumpFor(hotkeyAfter - (NowMs() - g_Start));
    ShowState show{main, tarn::test::CounterFor(count, count), -1e9};
    if (!PumpUntil(&ShowsAll, &show, 600000)) std::printf("  the dialog never showed all\n");
    std::printf("  dialog showing all at %.0f ms\n", NowMs() - g_Start);
    for (int i = 0; i < 3; ++i) {
      SendMessageA(GetBriskApp()->GetLauncherWindow(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      PumpUntil(&Idle, nullptr, 10000);
      PumpFor(200);
      const double h0 = NowMs();
      show.Asked = -1e9;
      PumpUntil(&ShowsAll, &show, 60000);
      PumpUntil(&Idle, nullptr, 10000);
      std::printf("  hotkey -> filled dialog, painted: %.0f ms\n", NowMs() - h0);
    }
    HWND dlg = GetBriskApp()->GetLauncherWindow();
    for (int i = 0; dlg && i < 3; ++i) {
      const double narrow = TimeRefilter(dlg, "xyz");
      const double back = TimeRefilter(dlg, "");
      std::printf("  refilter from the timer to the repaint: 'xyz' %.0f ms, back to '' %.0f ms\n", narrow, back);
    }
    PumpFor(500);
    std::printf("  longest unanswered ping %.0f ms, sent at %.0f ms\n", pinger.Longest(), pinger.LongestAt());
  }
  DestroyWindow(main);
  return 0;
}
