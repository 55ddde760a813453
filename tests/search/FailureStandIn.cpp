// Stand-in for the failure reporting until it lands: traces go to the
// debugger output, an abend ends the test process.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "app/Failure.h"

namespace {
void Out(const char* prefix, const char* file, int line, const char* format, va_list args) {
  char text[1024];
  std::vsnprintf(text, sizeof text, format, args);
  char all[1200];
  std::snprintf(all, sizeof all, "%s%s [%s, %d]\n", prefix, text, file ? file : "", line);
  OutputDebugStringA(all);
}
}  // namespace

void Abend(const char* code, const char* file, int line, const char* format, ...) {
  va_list args;
  va_start(args, format);
  Out(code, file, line, format, args);
  va_end(args);
  std::fprintf(stderr, "abend: %s [%s, %d]\n", code, file, line);
  std::exit(1);
}

void ReportLastError(int fatal, const char* file, int line) {
  char text[128];
  std::snprintf(text, sizeof text, "Trace:last error %lu [%s, %d]\n", GetLastError(), file, line);
  OutputDebugStringA(text);
  if (fatal) {
    std::fprintf(stderr, "abend: last error [%s, %d]\n", file, line);
    std::exit(1);
  }
}

void TraceAt(const char* file, int line, const char* format, ...) {
  va_list args;
  va_start(args, format);
  Out("Trace:", file, line, format, args);
  va_end(args);
}

void Trace(const char* format, ...) {
  va_list args;
  va_start(args, format);
  Out("", nullptr, 0, format, args);
  va_end(args);
}
