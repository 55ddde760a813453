#include <windows.h>

#include <clocale>

#include "app/BriskApp.h"
#include "app/CodePage.h"
#include "base/Failure.h"
#include "base/WinHandle.h"
#include "launcher/LauncherDlg.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // Before anything is made or written.
  if (const int code = CheckCodePage()) return code;
  if (!RegisterMainWindowClass(instance)) return 0;
  // libstdc++ on this platform knows only the "C" std::locale.
  setlocale(LC_ALL, "japanese");
  SetLauncherFactory(&CreateLauncherDialog);
  if (!CreateMainWindow(instance, tarn::ProgramDirectory())) return 0;
  Trace("%s\n", "window 生成");
  return RunMessageLoop();
}
