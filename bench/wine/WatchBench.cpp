// Times how soon the real TarnLauncher.exe follows its folders, from
// outside, and prints each figure beside its goal. Run by hand:
//   scripts/wine-exec build/win/bench/tarn_watch_bench.exe [exe] [count]
// count defaults to 20000; the files are those of tarn_startup_bench
// (%TEMP%\tarn_files_N, made once). Give it a Wine prefix of its own
// (TARN_WINEPREFIX) so that no test run meets its single-instance mutex.
//
// With the launcher open on a word that matches only the new files: a
// file's arrival to its row painted (three times, apart), and a removed
// file's row gone. Then a burst of 10 000 new files in a new subfolder:
// the collection passes it started, counted as the busy phases of the
// launcher's refresh button until 45 s after the burst.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "base/DialogBase.h"
#include "res/LauncherDialog.h"

#include "BenchFiles.h"

namespace {

using tarn::test::CounterFor;
using tarn::test::NowMs;
using tarn::test::Line;
using tarn::test::WaitFor;

constexpr char kCaption[] = "Tarn Launcher";

std::string Counter(HWND dlg) { return WindowText(GetDlgItem(dlg, IDC_LAUNCHER_COUNTER)); }

bool Painted(HWND dlg) {
  HWND list = GetDlgItem(dlg, IDC_LAUNCHER_LIST);
  DWORD_PTR r = 0;
  SendMessageTimeoutA(list, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &r);
  return !GetUpdateRect(list, nullptr, FALSE);
}

bool Busy(HWND dlg) { return !IsWindowEnabled(GetDlgItem(dlg, IDC_REFRESH)); }

void MakeFile(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
}

void Run(const std::string& exe, int count) {
  const std::string root = tarn::test::BenchFilesRoot(count), prog = root + "\\watchprog";
  tarn::test::MakeDirs(root);
  tarn::test::PrepareBenchFiles(root, count);
  tarn::test::PrepareBenchProgram(root, prog);
  CopyFileA(exe.c_str(), (prog + "\\TarnLauncher.exe").c_str(), FALSE);

  PROCESS_INFORMATION pi = {};
  if (!tarn::test::StartProcess("\"" + prog + "\\TarnLauncher.exe\"", prog.c_str(), 0, &pi)) {
    std::printf("cannot start %s\n", exe.c_str());
    return;
  }
  HWND main = nullptr, dlg = nullptr;
  WaitFor([&] { return (main = tarn::test::FindMainWindow(pi.dwProcessId)) != nullptr; }, 60000);
  // The launcher open and the first pass over: every file shows.
  WaitFor([&] {
    if (!(dlg = tarn::test::FindDialogByCaption(kCaption, pi.dwProcessId))) PostMessageA(main, WM_HOTKEY, 1, 0), Sleep(250);
    return dlg && !Busy(dlg) && Counter(dlg) == CounterFor(count, count);
  }, 900000);
  if (!dlg) {
    std::printf("the launcher never showed %d files\n", count);
    TerminateProcess(pi.hProcess, 0);
    return;
  }
  Sleep(2000);
  HWND edit = FindWindowExA(GetDlgItem(dlg, IDC_LAUNCHER_SEARCH), nullptr, "Edit", nullptr);
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("zzwatch"));
  WaitFor([&] { return Counter(dlg) == CounterFor(0, count); }, 10000);

  std::printf("%d files, the launcher open\n", count);
  const std::string folder = root + "\\files\\d7\\";
  std::vector<double> arrivals;
  int total = count;
  for (char c : {'a', 'b', 'c'}) {
    const double t0 = NowMs();
    MakeFile(folder + "zzwatch" + c + ".exe");
    ++total;
    const int shown = total - count;
    const bool seen = WaitFor([&] { return Counter(dlg) == CounterFor(shown, total) && Painted(dlg); }, 60000);
    arrivals.push_back(seen ? NowMs() - t0 : -1);
    std::printf("  arrival -> row painted: %.0f ms\n", arrivals.back());
    Sleep(8000);  // apart from the last pass: a change of its own
  }
  std::sort(arrivals.begin(), arrivals.end());
  Line("file arrival -> row in the open launcher (median of 3)", arrivals[1], "ms", 5000);
  double t0 = NowMs();
  DeleteFileA((folder + "zzwatchb.exe").c_str());
  --total;
  const bool gone = WaitFor([&] { return Counter(dlg) == CounterFor(total - count, total) && Painted(dlg); }, 60000);
  Line("file removed -> row gone", gone ? NowMs() - t0 : -1, "ms", 5000);
  Sleep(8000);

  // The burst, in a new subfolder as an unpacked archive makes it.
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%lu", GetTickCount());
  const std::string burst = root + "\\files\\burst" + stamp;
  int passes = 0;
  bool busy = Busy(dlg);
  const auto look = [&] {
    const bool now = Busy(dlg);
    if (now && !busy) ++passes;
    busy = now;
  };
  t0 = NowMs();
  CreateDirectoryA(burst.c_str(), nullptr);
  for (int i = 0; i < 10000; ++i) {
    MakeFile(burst + "\\zzburst" + std::to_string(i) + ".exe");
    if (i % 50 == 0) look();
  }
  const double made = NowMs() - t0;
  total += 10000;
  const int matching = total - count - 10000;  // the burst's names do not match the word
  const double end = NowMs();
  double allShown = -1;
  while (NowMs() - end < 45000) {
    look();
    if (allShown < 0 && !busy && Counter(dlg) == CounterFor(matching, total)) allShown = NowMs() - end;
    Sleep(1);
  }
  std::printf("  10 000 files made in %.1f s; all shown %.1f s after the last\n", made / 1000, allShown / 1000);
  Line("collection passes the burst of 10 000 files started", passes, "", 2);

  TerminateProcess(pi.hProcess, 0);
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hProcess);
  for (char c : {'a', 'c'}) DeleteFileA((folder + "zzwatch" + c + ".exe").c_str());
  for (int i = 0; i < 10000; ++i) DeleteFileA((burst + "\\zzburst" + std::to_string(i) + ".exe").c_str());
  RemoveDirectoryA(burst.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  std::string exe = tarn::test::ExeDir() + "..\\src\\app\\TarnLauncher.exe";
  int count = 20000;
  for (int i = 1; i < argc; ++i) {
    if (std::atoi(argv[i]) > 0) {
      count = std::atoi(argv[i]);
    } else {
      exe = argv[i];
    }
  }
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  Run(exe, count);
  return 0;
}
