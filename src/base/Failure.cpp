#include "base/Failure.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <string>

#include "base/FailureText.h"

namespace {

[[noreturn]] void ShowAbendAndExit(const std::string& text) {
  // No owner: the report may come from any thread, with any window state.
  MessageBoxA(nullptr, text.c_str(), "アベンド時エラー情報",
              MB_OK | MB_ICONSTOP | MB_TASKMODAL | MB_TOPMOST);
  // The runtime's streams are flushed; static objects are not torn down,
  // because another thread may still be using them while this one ends the
  // process.
  std::fflush(nullptr);
  ExitProcess(1);
}

}  // namespace

void Abend(const char* code, const char* file, int line, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string details = tarn::ExpandReportV(format, args);
  va_end(args);
  ShowAbendAndExit(tarn::AbendText(code ? code : "", file ? file : "", line, details));
}

void ReportLastError(int fatal, const char* file, int line) {
  // Read before anything else can overwrite it.
  DWORD code = GetLastError();
  char* buffer = nullptr;
  DWORD n = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&buffer), 0,
      nullptr);
  std::string systemText = (n != 0 && buffer != nullptr) ? std::string(buffer, n) : std::string();
  if (buffer != nullptr) LocalFree(buffer);
  std::string details = tarn::WinApiErrorDetails(code, systemText);
  const char* where = file ? file : "";
  OutputDebugStringA(tarn::TraceText(where, line, details).c_str());
  if (fatal != 0) ShowAbendAndExit(tarn::AbendText(kAbendWinApi, where, line, details));
  // The caller may still look at the error it had.
  SetLastError(code);
}

void TraceAt(const char* file, int line, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string details = tarn::ExpandReportV(format, args);
  va_end(args);
  OutputDebugStringA(tarn::TraceText(file ? file : "", line, details).c_str());
}

void Trace(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = tarn::ExpandReportV(format, args);
  va_end(args);
  OutputDebugStringA(text.c_str());
}
