// Reports the failure its command line names, for the test debugging it.
#include <windows.h>

#include <string>
#include <thread>

#include "base/Failure.h"

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "abend-here") TARN_ABEND("初期ディレクトリ取得失敗", "%s", "レジストリ");
  if (mode == "abend-thread") std::thread([] { Abend("WinAPI Error", "C:\\w\\Walk%d.cpp", 9, "%s", "worker"); }).join();
  if (mode == "lasterror") {
    SetLastError(ERROR_ACCESS_DENIED), ReportLastError(0, "C:\\src\\app\\Tray%s.cpp", 77);
    if (GetLastError() != ERROR_ACCESS_DENIED) return 3;
    Trace("%s\n", "window 生成");
  }
  if (mode == "fatal") SetLastError(ERROR_FILE_NOT_FOUND), ReportLastError(1, "D:\\cache\\Cache.cpp", 88);
  return 0;
}
