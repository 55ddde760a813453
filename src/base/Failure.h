// Failure reporting: the abend report (message box, then exit code 1) for
// failures the program cannot work around, and traces to the debugger output
// for the rest. Callable from any thread; keeps no state.
#pragma once

#include <string_view>

// Codes shown in brackets in the abend report.
inline constexpr const char* kAbendWinApi = "WinAPI Error";

// Shows "アベンド時エラー情報" with the code, location and the expanded
// format, then ends the process with exit code 1.
[[noreturn]] void Abend(const char* code, const char* file, int line, const char* format, ...);

// Reports the calling thread's last Windows error with the system's text as
// a trace; when fatal is non-zero, also as an abend.
void ReportLastError(int fatal, const char* file, int line);

// "Trace:<format> [<file>, <line>]" to the debugger output.
void TraceAt(const char* file, int line, const char* format, ...);

// The expanded format to the debugger output.
void Trace(const char* format, ...);

#define TARN_TRACE(...) TraceAt(__FILE__, __LINE__, __VA_ARGS__)
#define TARN_ABEND(code, ...) Abend(code, __FILE__, __LINE__, __VA_ARGS__)
#define TARN_REPORT_LAST_ERROR(fatal) ReportLastError(fatal, __FILE__, __LINE__)
