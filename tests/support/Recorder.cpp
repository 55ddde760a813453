// Started by launches in tests: appends its command line and folder to recorder.log.
#include <windows.h>

#include <cstdio>

#include "base/WinHandle.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char cwd[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, cwd);
  FILE* f = std::fopen((tarn::ProgramDirectory() + "recorder.log").c_str(), "ab");
  if (!f) return 3;
  std::fprintf(f, "cmd=%s\r\ncwd=%s\r\n", GetCommandLineA(), cwd);
  std::fclose(f);
  return 0;
}
