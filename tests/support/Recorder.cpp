// Stand-in for the programs that launches start in tests: it appends its
// command line and working directory to "recorder.log" beside itself (or to
// the file named by TARN_RECORD_FILE) and ends at once.
#include <windows.h>

#include <cstdio>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char logPath[MAX_PATH] = {};
  DWORD n = GetEnvironmentVariableA("TARN_RECORD_FILE", logPath, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) {
    DWORD len = GetModuleFileNameA(nullptr, logPath, MAX_PATH);
    if (len == 0 || len >= MAX_PATH) return 2;
    char* cut = nullptr;
    for (char* p = logPath; *p; ++p) {
      if (IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1]) {
        ++p;
      } else if (*p == '\\') {
        cut = p;
      }
    }
    if (!cut || (cut - logPath) + 13 >= MAX_PATH) return 2;
    std::strcpy(cut + 1, "recorder.log");
  }
  char cwd[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, cwd);
  FILE* f = std::fopen(logPath, "ab");
  if (!f) return 3;
  std::fprintf(f, "cmd=%s\r\ncwd=%s\r\n", GetCommandLineA(), cwd);
  std::fclose(f);
  return 0;
}
