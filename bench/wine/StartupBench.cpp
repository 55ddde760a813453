// Times the real TarnLauncher.exe from outside, on a folder of real files,
// and prints each figure beside its goal. Run by hand (it creates the files
// once and keeps them in %TEMP%\tarn_files_N):
//   scripts/wine-exec build/win/bench/tarn_startup_bench.exe [exe] [count...]
// exe defaults to the one this build made. "kanji" takes files a third of
// whose names begin with a word in kanji; "kana" turns kana matching on, so
// that the program reads those names.
//
// Per count: a first start without a cache and a second start with the
// cache of the first. For each start: start to a dialog showing every file,
// the longest time the main window took to answer a WM_NULL sent every
// 20 ms from another thread (over the whole start, and around the first
// hotkey and the end of the start's collection pass), and the resident
// memory at the end; after the first start also the hotkey to a filled
// dialog and the refilter (narrow word, back to the empty word) less the
// filter delay. A dialog counts as filled when its counter shows the wanted
// numbers and its list has been repainted. Give it a Wine prefix of its own
// (TARN_WINEPREFIX): tests running meanwhile in the same prefix would meet
// its single-instance mutex.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "res/LauncherDialog.h"

#include "BenchFiles.h"

namespace {

using tarn::test::CounterFor;
using tarn::test::NowMs;
using tarn::test::Line;
using tarn::test::WaitFor;

constexpr char kCaption[] = "Tarn Launcher";
constexpr double kPhaseLimitMs = 900000;

bool g_Kanji = false, g_Kana = false;

void PrepareProgram(const std::string& root, const std::string& exe) {
  const std::string prog = root + "\\prog";
  tarn::test::PrepareBenchProgram(root, prog, g_Kana);
  CopyFileA(exe.c_str(), (prog + "\\TarnLauncher.exe").c_str(), FALSE);
}

struct Launcher {
  PROCESS_INFORMATION Process = {};
  HWND Main = nullptr;
};

HWND Dialog(const Launcher& l) { return tarn::test::FindDialogByCaption(kCaption, l.Process.dwProcessId); }

std::string Counter(HWND dlg) {
  char text[64] = {};
  GetWindowTextA(GetDlgItem(dlg, IDC_LAUNCHER_COUNTER), text, sizeof text);
  return text;
}

int Rows(HWND dlg) {
  return static_cast<int>(SendMessageA(GetDlgItem(dlg, IDC_LAUNCHER_LIST), LVM_GETITEMCOUNT, 0, 0));
}

// True when the list has nothing left to paint. A paint validates the
// window when it begins; a message sent to the list comes back only after
// the paint under way has ended.
bool Painted(HWND dlg) {
  HWND list = GetDlgItem(dlg, IDC_LAUNCHER_LIST);
  if (GetUpdateRect(list, nullptr, FALSE)) return false;
  DWORD_PTR r = 0;
  SendMessageTimeoutA(list, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &r);
  return !GetUpdateRect(list, nullptr, FALSE);
}

// What ShowAll saw, in ms after t0; -1 when not seen. The refresh button
// rests while a collection pass runs: its coming back marks the pass's end.
struct ShowMarks {
  double FirstAsked = -1;
  double DialogAt = -1;
  double PassBusySeen = -1;
  double PassDoneAt = -1;
};

void WatchPass(HWND dlg, double t0, ShowMarks& m) {
  const bool resting = !IsWindowEnabled(GetDlgItem(dlg, IDC_REFRESH));
  if (resting) m.PassBusySeen = NowMs() - t0;
  if (!resting && m.PassBusySeen >= 0 && m.PassDoneAt < 0) m.PassDoneAt = NowMs() - t0;
}

// Asks for the launcher (again every 250 ms while none shows) until its
// list shows all count candidates, painted.
bool ShowAll(const Launcher& l, int count, double limitMs, double t0 = 0, ShowMarks* marks = nullptr) {
  double asked = -1e9;
  const std::string want = CounterFor(count, count);
  ShowMarks ignored;
  ShowMarks& m = marks ? *marks : ignored;
  return WaitFor(
      [&] {
        HWND dlg = Dialog(l);
        if (!dlg) {
          if (NowMs() - asked > 250) {
            PostMessageA(l.Main, WM_HOTKEY, 1, 0);
            asked = NowMs();
            if (m.FirstAsked < 0) m.FirstAsked = asked - t0;
          }
          return false;
        }
        if (m.DialogAt < 0) m.DialogAt = NowMs() - t0;
        WatchPass(dlg, t0, m);
        return Counter(dlg) == want && Rows(dlg) == count && Painted(dlg);
      },
      limitMs);
}

// Waits for the end of a pass seen running.
void WaitForPass(const Launcher& l, double t0, ShowMarks& m) {
  if (m.PassBusySeen < 0) return;
  WaitFor(
      [&] {
        if (HWND dlg = Dialog(l)) WatchPass(dlg, t0, m);
        return m.PassDoneAt >= 0;
      },
      kPhaseLimitMs);
}

void CloseDialog(const Launcher& l) {
  if (HWND dlg = Dialog(l)) PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  WaitFor([&] { return Dialog(l) == nullptr; }, 10000);
}

bool Start(const std::string& root, Launcher& l) {
  const std::string exe = root + "\\prog\\TarnLauncher.exe";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  std::string cmd = "\"" + exe + "\"";
  if (!CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, (root + "\\prog").c_str(), &si,
                      &l.Process)) {
    std::printf("cannot start %s (%lu)\n", exe.c_str(), GetLastError());
    return false;
  }
  return WaitFor([&] { return (l.Main = tarn::test::FindMainWindow(l.Process.dwProcessId)) != nullptr; }, 60000);
}

void Stop(Launcher& l) {
  TerminateProcess(l.Process.hProcess, 0);
  WaitForSingleObject(l.Process.hProcess, 10000);
  CloseHandle(l.Process.hThread);
  CloseHandle(l.Process.hProcess);
}

double ResidentMb(const Launcher& l) {
  PROCESS_MEMORY_COUNTERS pmc = {};
  pmc.cb = sizeof pmc;
  if (!GetProcessMemoryInfo(l.Process.hProcess, &pmc, sizeof pmc)) return -1;
  return static_cast<double>(pmc.WorkingSetSize) / (1024.0 * 1024.0);
}

double Median(std::vector<double> v) {
  if (v.empty()) return -1;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Sets the search box's text as typing would, and times until the counter
// shows the new matches and the list is repainted. The filter timer's own
// lateness counts: the user waits for it too.
double TimeRefilter(HWND dlg, const char* word, const std::string& wantCounter, unsigned delay) {
  HWND edit = FindWindowExA(GetDlgItem(dlg, IDC_LAUNCHER_SEARCH), nullptr, "Edit", nullptr);
  const double t0 = NowMs();
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(word));
  if (!WaitFor([&] { return Counter(dlg) == wantCounter && Painted(dlg); }, 60000)) return -1;
  return NowMs() - t0 - delay;
}

void RunCount(const std::string& exe, int count) {
  std::printf("%d files%s%s\n", count, g_Kanji ? ", a third in kanji" : "", g_Kana ? ", kana matching on" : "");
  const std::string root = tarn::test::BenchFilesRoot(count, g_Kanji);
  tarn::test::MakeDirs(root);
  tarn::test::PrepareBenchFiles(root, count, g_Kanji);
  PrepareProgram(root, exe);

  int delaySetting = 0;
  const unsigned delay =
      SystemParametersInfoA(SPI_GETKEYBOARDDELAY, 0, &delaySetting, 0) ? 300 + 250 * delaySetting : 300;
  const int narrow = (count + 99) / 100;

  for (int run = 0; run < 2; ++run) {
    Launcher l;
    const double t0 = NowMs();
    if (!Start(root, l)) return;
    double all = -1, longest = 0, longestAt = 0, memory = -1, firstHotkey = -1, pass = -1, after = -1;
    std::vector<double> hotkey, refNarrow, refBack;
    ShowMarks marks;
    {
      tarn::test::CPinger pinger(l.Main, t0);
      if (ShowAll(l, count, kPhaseLimitMs, t0, &marks)) all = NowMs() - t0;
      WaitForPass(l, t0, marks);
      if (marks.DialogAt >= 0) firstHotkey = pinger.LongestBetween(marks.FirstAsked, marks.DialogAt);
      // The pass's end shows between the last look that found the button
      // resting and the first that found it back.
      if (marks.PassDoneAt >= 0) pass = pinger.LongestBetween(marks.PassBusySeen, marks.PassDoneAt);
      const double shown = NowMs() - t0;
      if (all >= 0 && run == 0) {
        for (int i = 0; i < 5; ++i) {
          CloseDialog(l);
          Sleep(200);
          const double h0 = NowMs();
          if (!ShowAll(l, count, 60000)) break;
          hotkey.push_back(NowMs() - h0);
        }
        HWND dlg = Dialog(l);
        for (int i = 0; dlg && i < 5; ++i) {
          refNarrow.push_back(TimeRefilter(dlg, "xyz", CounterFor(narrow, count), delay));
          refBack.push_back(TimeRefilter(dlg, "", CounterFor(count, count), delay));
        }
      }
      Sleep(500);
      longest = pinger.Longest();
      longestAt = pinger.LongestAt();
      after = pinger.LongestBetween(shown, NowMs() - t0);
      memory = ResidentMb(l);
    }
    Stop(l);
    std::printf(" %s start (%s)\n", run == 0 ? "first" : "next", run == 0 ? "no cache" : "cache present");
    Line("start -> dialog showing all", all, "ms", run == 0 ? 10000 : 3000);
    Line("longest time the main window answered no message", longest, "ms", 250);
    std::printf("    (from %.0f ms after the start)\n", longestAt);
    Line("  of it, around the first hotkey", firstHotkey, "ms", 250);
    std::printf("    (asked at %.0f ms, dialog at %.0f ms)\n", marks.FirstAsked, marks.DialogAt);
    if (pass >= 0) {
      Line("  of it, around the end of the collection pass", pass, "ms", 250);
      std::printf("    (between %.0f and %.0f ms)\n", marks.PassBusySeen, marks.PassDoneAt);
    } else {
      std::printf("  %-52s   (the pass ended before the dialog showed)\n", "  of it, around the end of the collection pass");
    }
    if (run == 0) Line("  of it, once the dialog showed all", after, "ms", 250);
    if (run == 0) {
      Line("warm hotkey -> filled dialog (median of 5)", Median(hotkey), "ms", 150);
      Line("refilter narrow word, less the filter delay (median)", Median(refNarrow), "ms", 50);
      Line("refilter back to the empty word, less the delay (median)", Median(refBack), "ms", 50);
    }
    Line("resident memory", memory, "MB", 60);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string exe = tarn::test::ExeDir() + "..\\src\\app\\TarnLauncher.exe";
  std::vector<int> counts;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "kanji" || std::string(argv[i]) == "kana") {
      (std::string(argv[i]) == "kana" ? g_Kana : g_Kanji) = true;
    } else if (std::atoi(argv[i]) > 0) {
      counts.push_back(std::atoi(argv[i]));
    } else {
      exe = argv[i];
    }
  }
  if (counts.empty()) counts = {20000, 100000};
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  for (int n : counts) RunCount(exe, n);
  return 0;
}
