// Reports a failure of the kind named on its command line, for the tests
// that answer its abend report and read its traces as its debugger.
#include <windows.h>

#include <cstring>
#include <thread>

#include "base/Failure.h"

int main(int argc, char** argv) {
  const char* mode = argc > 1 ? argv[1] : "";
  if (std::strcmp(mode, "abend") == 0) {
    // A '%' in the file name must be shown, the caller's placeholders filled.
    Abend("Dlg初期化エラー", "C:\\src\\launcher\\Brsk%dDlg.cpp", 321, "%s / %d%%",
          "LVS と CAppListView の接続時", 42);
  }
  if (std::strcmp(mode, "abend-here") == 0) TARN_ABEND("初期ディレクトリ取得失敗", "%s", "レジストリ");
  if (std::strcmp(mode, "abend-thread") == 0) {
    std::thread worker([] { Abend("WinAPI Error", "C:\\w\\Walk.cpp", 9, "%s", "worker"); });
    worker.join();
    return 0;
  }
  if (std::strcmp(mode, "lasterror") == 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    ReportLastError(0, "C:\\src\\app\\Tray%s.cpp", 77);
    // The process goes on with its last error untouched.
    if (GetLastError() != ERROR_ACCESS_DENIED) return 3;
    Trace("%s\n", "window 生成");
    return 0;
  }
  if (std::strcmp(mode, "fatal") == 0) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    ReportLastError(1, "D:\\cache\\Cache.cpp", 88);
    return 0;
  }
  return 2;
}
