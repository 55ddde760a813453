#include <windows.h>

#include <clocale>

#include "app/BriskApp.h"
#include "app/CodePage.h"
#include "base/Failure.h"
#include "base/WinHandle.h"
#include "launcher/LauncherDlg.h"

namespace {

// A start that cannot make its window must not pass for a clean end: the
// reason goes to the debugger output and, where a window can be shown, to
// the user; the process ends with exit code 1.
[[noreturn]] void StartFailed(const char* what) {
  const DWORD error = GetLastError();
  TARN_TRACE("%s", what);
  SetLastError(error);
  TARN_REPORT_LAST_ERROR(1);
  ExitProcess(1);  // not reached: the report ends the process
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // Before anything is made or written.
  if (const int code = CheckCodePage()) return code;
  if (!RegisterMainWindowClass(instance)) StartFailed("main window class not registered");
  // libstdc++ on this platform knows only the "C" std::locale.
  setlocale(LC_ALL, "japanese");
  SetLauncherFactory(&CreateLauncherDialog);
  if (!CreateMainWindow(instance, tarn::ProgramDirectory())) {
    // Another instance runs: leaving is what was asked.
    if (IsSecondInstance()) return 0;
    StartFailed("main window not created");
  }
  Trace("%s\n", "window 生成");
  return RunMessageLoop();
}
