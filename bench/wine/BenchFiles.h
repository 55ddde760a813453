// The timing programs' folder of real files and the program folder that
// collects them, shared by the outside and the in-process timings.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

#include "settings/EnvInfoStore.h"
#include "support/TestSupport.h"

#include "Timing.h"

namespace tarn::test {

// %TEMP%\tarn_files_<count>: the files, kept between runs.
inline std::string BenchFilesRoot(int count) {
  char base[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, base);
  return std::string(base) + "tarn_files_" + std::to_string(count);
}

// Creates count real files in 50 folders once; a marker says they are all
// there. Each name is unique: the bench waits for every file to show.
inline void PrepareBenchFiles(const std::string& root, int count) {
  const std::string marker = root + "\\files.done";
  if (FileExists(marker)) return;
  const double t0 = NowMs();
  for (int d = 0; d < 50; ++d) MakeDirs(root + "\\files\\d" + std::to_string(d));
  unsigned seed = 12345;
  for (int i = 0; i < count; ++i) {
    const std::string path =
        root + "\\files\\d" + std::to_string(i % 50) + "\\" + BenchName(i, seed) + std::to_string(i) + ".exe";
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      WriteFile(h, "x", 1, &written, nullptr);
      CloseHandle(h);
    }
  }
  WriteFileBytes(marker, "done");
  std::printf("  %d files made in %.1f s\n", count, (NowMs() - t0) / 1000);
}

// Settings in prog that collect exactly the files under root, hotkey
// Ctrl+Alt+Shift+F11; no cache, no names file.
inline void PrepareBenchProgram(const std::string& root, const std::string& prog) {
  MakeDirs(prog);
  CEnvInfoStore::SetDefaultDirectory(prog + "\\");
  EnvDlgInfo info;
  ApplyLoadDefaults(info);
  info.HotKey = {1, 1, 1, 0, VK_F11};
  info.SrchDirFlg = {};
  info.SrchDirFlg.Any = true;
  info.AnyDirSubDir = true;
  info.AnyDirs = {root + "\\files;.exe"};
  info.SpeedTuning = {};
  info.StaticItems.clear();
  info.TopDirs.clear();
  info.ExecList.clear();
  CEnvInfoStore().SaveEnvInfo(&info);
  DeleteFileA((prog + "\\apppaths.ini").c_str());
  DeleteFileA((prog + "\\appnames.ini").c_str());
}

inline std::string CounterFor(int matches, int total) {
  char text[64];
  std::snprintf(text, sizeof text, "[%5d / %5d]", matches, total);
  return text;
}

}  // namespace tarn::test
