// The abend report and traces of a real child run as our debuggee, its message box answered.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace {

struct ChildRun { int exitCode = -1; std::vector<std::string> traces; std::string boxText; };

std::string SystemText(DWORD code) {
  char text[512] = {};
  return FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                        MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof text, nullptr), text;
}

ChildRun RunChild(const std::string& mode) {
  ChildRun run;
  PROCESS_INFORMATION pi = {};
  if (!tarn::test::StartProcess("\"" + tarn::test::ExeDir() + "tarn_failure_child.exe\" " + mode, nullptr,
                                DEBUG_ONLY_THIS_PROCESS, &pi))
    return run;
  for (const DWORD start = GetTickCount(); run.exitCode < 0 && GetTickCount() - start < 30000;) {
    DEBUG_EVENT ev = {};
    if (!WaitForDebugEvent(&ev, 50)) {
      // Read without waiting on a child that may be stopped at a debug event.
      HWND box = tarn::test::FindDialogByCaption("アベンド時エラー情報", pi.dwProcessId);
      char buf[4096] = {};
      DWORD_PTR got = 0;
      if (run.boxText.empty() && box &&
          SendMessageTimeoutA(GetDlgItem(box, 0xFFFF), WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf),
                              SMTO_ABORTIFHUNG, 1000, &got) && got)
        run.boxText = buf, PostMessageA(box, WM_COMMAND, IDOK, 0);
      continue;
    }
    const DWORD what = ev.dwDebugEventCode;
    if (what == OUTPUT_DEBUG_STRING_EVENT) {
      std::string text(ev.u.DebugString.nDebugStringLength, '\0');
      if (ReadProcessMemory(pi.hProcess, ev.u.DebugString.lpDebugStringData, text.data(), text.size(), nullptr))
        run.traces.push_back(text.substr(0, text.find('\0')));
    }
    if (what == CREATE_PROCESS_DEBUG_EVENT || what == LOAD_DLL_DEBUG_EVENT)
      CloseHandle(what == LOAD_DLL_DEBUG_EVENT ? ev.u.LoadDll.hFile : ev.u.CreateProcessInfo.hFile);
    if (what == EXIT_PROCESS_DEBUG_EVENT) run.exitCode = static_cast<int>(ev.u.ExitProcess.dwExitCode);
    const bool passOn = what == EXCEPTION_DEBUG_EVENT && ev.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT;
    ContinueDebugEvent(ev.dwProcessId, ev.dwThreadId, passOn ? DBG_EXCEPTION_NOT_HANDLED : DBG_CONTINUE);
  }
  if (run.exitCode < 0) TerminateProcess(pi.hProcess, 99);
  DebugActiveProcessStop(pi.dwProcessId), CloseHandle(pi.hProcess);
  return run;
}

TEST(Failure, AbendReportsAndTraces) {
  const std::string notFound = "WinAPI Error[2, " + SystemText(ERROR_FILE_NOT_FOUND) + "]";
  const struct { std::string mode, box; std::vector<std::string> traces; int exitCode; } cases[] = {
      {"abend-here", "アベンドコード[初期ディレクトリ取得失敗] 位置[FailureChild.cpp, N]\n[追加情報]レジストリ", {}, 1},
      {"abend-thread", "アベンドコード[WinAPI Error] 位置[Walk%d.cpp, 9]\n[追加情報]worker", {}, 1},
      // Traced once before the report.
      {"fatal", "アベンドコード[WinAPI Error] 位置[Cache.cpp, 88]\n[追加情報]" + notFound,
       {"Trace:" + notFound + " [Cache.cpp, 88]"}, 1},
      // Traced, and the process goes on with its last error untouched.
      {"lasterror", "",
       {"Trace:WinAPI Error[5, " + SystemText(ERROR_ACCESS_DENIED) + "] [Tray%s.cpp, 77]", "window 生成\n"}, 0},
  };
  for (const auto& c : cases) {
    ChildRun run = RunChild(c.mode);
    // The line of the child's own source varies.
    if (auto at = run.boxText.find("Child.cpp, "); at != std::string::npos)
      run.boxText.replace(at + 11, run.boxText.find(']', at) - at - 11, "N");
    EXPECT_TRUE(run.boxText == c.box && run.traces == c.traces && run.exitCode == c.exitCode) << c.mode << run.boxText;
  }
}

}  // namespace
