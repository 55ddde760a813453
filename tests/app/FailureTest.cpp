// The abend report and the traces of a real process: a child program is run
// as our debuggee, its traces are read from its debug events, its message
// box is found by caption, read and answered, and its exit code checked.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace {

const char kCaption[] = "アベンド時エラー情報";

struct ChildRun {
  int exitCode = -1;
  std::vector<std::string> traces;
  std::string boxText;
  bool boxSeen = false;
};

std::string SystemText(DWORD code) {
  char* buffer = nullptr;
  DWORD n = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&buffer), 0,
      nullptr);
  std::string text = n && buffer ? std::string(buffer, n) : std::string();
  if (buffer) LocalFree(buffer);
  return text;
}

// Reads the box text without waiting on a child that may be stopped at a
// debug event.
bool ReadBox(HWND box, std::string* text) {
  HWND label = GetDlgItem(box, 0xFFFF);
  if (!label) return false;
  char buf[4096] = {};
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(label, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG,
                           1000, &result))
    return false;
  *text = std::string(buf, result);
  return true;
}

ChildRun RunChild(const std::string& mode) {
  ChildRun run;
  std::string cmd = "\"" + tarn::test::ExeDir() + "tarn_failure_child.exe\" " + mode;
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS, nullptr,
                      nullptr, &si, &pi)) {
    ADD_FAILURE() << "cannot start " << cmd << " error " << GetLastError();
    return run;
  }
  CloseHandle(pi.hThread);
  DWORD start = GetTickCount();
  bool done = false;
  while (!done && GetTickCount() - start < 30000) {
    DEBUG_EVENT ev = {};
    if (!WaitForDebugEvent(&ev, 50)) {
      if (!run.boxSeen) {
        HWND box = tarn::test::FindDialogByCaption(kCaption, pi.dwProcessId);
        if (box && ReadBox(box, &run.boxText)) {
          run.boxSeen = true;
          PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
      }
      continue;
    }
    DWORD cont = DBG_CONTINUE;
    switch (ev.dwDebugEventCode) {
      case OUTPUT_DEBUG_STRING_EVENT: {
        const OUTPUT_DEBUG_STRING_INFO& s = ev.u.DebugString;
        std::string text(s.nDebugStringLength, '\0');
        SIZE_T got = 0;
        if (!s.fUnicode &&
            ReadProcessMemory(pi.hProcess, s.lpDebugStringData, text.data(), text.size(), &got)) {
          text.resize(got);
          if (!text.empty() && text.back() == '\0') text.pop_back();
          run.traces.push_back(text);
        }
        break;
      }
      case EXCEPTION_DEBUG_EVENT:
        if (ev.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
          cont = DBG_EXCEPTION_NOT_HANDLED;
        break;
      case CREATE_PROCESS_DEBUG_EVENT:
        if (ev.u.CreateProcessInfo.hFile) CloseHandle(ev.u.CreateProcessInfo.hFile);
        break;
      case LOAD_DLL_DEBUG_EVENT:
        if (ev.u.LoadDll.hFile) CloseHandle(ev.u.LoadDll.hFile);
        break;
      case EXIT_PROCESS_DEBUG_EVENT:
        run.exitCode = static_cast<int>(ev.u.ExitProcess.dwExitCode);
        done = true;
        break;
    }
    ContinueDebugEvent(ev.dwProcessId, ev.dwThreadId, cont);
  }
  if (!done) {
    ADD_FAILURE() << mode << ": the child did not end";
    TerminateProcess(pi.hProcess, 99);
  }
  DebugActiveProcessStop(pi.dwProcessId);
  CloseHandle(pi.hProcess);
  return run;
}

TEST(Failure, AbendShowsTheReportAndEndsWithExitCode1) {
  struct Case {
    const char* mode;
    std::string text;
  } cases[] = {
      {"abend",
       "アベンドコード[Dlg初期化エラー] 位置[Brsk%dDlg.cpp, 321]\n"
       "[追加情報]LVS と CAppListView の接続時 / 42%"},
      {"abend-thread", "アベンドコード[WinAPI Error] 位置[Walk.cpp, 9]\n[追加情報]worker"},
      {"fatal", "アベンドコード[WinAPI Error] 位置[Cache.cpp, 88]\n[追加情報]WinAPI Error[2, " +
                    SystemText(ERROR_FILE_NOT_FOUND) + "]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    ChildRun run = RunChild(c.mode);
    ASSERT_TRUE(run.boxSeen);
    EXPECT_EQ(run.boxText, c.text);
    EXPECT_EQ(run.exitCode, 1);
  }
}

TEST(Failure, AbendLocationIsTheSourceFileName) {
  ChildRun run = RunChild("abend-here");
  ASSERT_TRUE(run.boxSeen);
  EXPECT_EQ(run.boxText.rfind("アベンドコード[初期ディレクトリ取得失敗] 位置[FailureChild.cpp, ", 0), 0u)
      << run.boxText;
  EXPECT_NE(run.boxText.find("]\n[追加情報]レジストリ"), std::string::npos);
  EXPECT_EQ(run.exitCode, 1);
}

TEST(Failure, ReportLastErrorTracesTheErrorAndTheProcessGoesOn) {
  ChildRun run = RunChild("lasterror");
  EXPECT_FALSE(run.boxSeen);
  EXPECT_EQ(run.exitCode, 0);
  const std::vector<std::string> expected = {
      "Trace:WinAPI Error[5, " + SystemText(ERROR_ACCESS_DENIED) + "] [Tray%s.cpp, 77]",
      "window 生成\n"};
  EXPECT_EQ(run.traces, expected);
}

TEST(Failure, FatalReportLastErrorTracesOnceBeforeTheReport) {
  ChildRun run = RunChild("fatal");
  const std::vector<std::string> expected = {"Trace:WinAPI Error[2, " + SystemText(ERROR_FILE_NOT_FOUND) +
                                             "] [Cache.cpp, 88]"};
  EXPECT_EQ(run.traces, expected);
  EXPECT_EQ(run.exitCode, 1);
}

}  // namespace
