// The timing programs' folder of real files and the program folder that
// collects them, shared by the outside and the in-process timings.
#pragma once

#include <windows.h>

#include <cstdio>
#include <iterator>
#include <string>

#include "settings/EnvInfoStore.h"
#include "support/TestSupport.h"

#include "Timing.h"

namespace tarn::test {

// %TEMP%\tarn_files_<count>: the files, kept between runs; with kanji,
// tarn_kanji_<count>, where a third of the names begin with a word in kanji.
inline std::string BenchFilesRoot(int count, bool kanji = false) {
  char base[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, base);
  return std::string(base) + (kanji ? "tarn_kanji_" : "tarn_files_") + std::to_string(count);
}

inline const char* const kBenchKanjiWords[] = {"電卓", "設定", "付箋", "拡大鏡", "文字コード表", "弥生会計",
                                               "一太郎", "年賀状作成", "顧客管理", "画像編集", "日本語入力"};

// Creates count real files in 50 folders once; a marker says they are all
// there. Each name is unique: the bench waits for every file to show.
inline void PrepareBenchFiles(const std::string& root, int count, bool kanji = false) {
  const std::string marker = root + "\\files.done";
  if (FileExists(marker)) return;
  const double t0 = NowMs();
  for (int d = 0; d < 50; ++d) MakeDirs(root + "\\files\\d" + std::to_string(d));
  unsigned seed = 12345;
  for (int i = 0; i < count; ++i) {
    const std::string word = kanji && i % 3 == 0 ? kBenchKanjiWords[i / 3 % std::size(kBenchKanjiWords)] : "";
    const std::string path = root + "\\files\\d" + std::to_string(i % 50) + "\\" + word + BenchName(i, seed) +
                             std::to_string(i) + ".exe";
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
inline void PrepareBenchProgram(const std::string& root, const std::string& prog, bool kana = false) {
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
  info.KanaMatch = kana;
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
