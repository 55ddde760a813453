// Timing of the folder walk under the platform, beside a minimal recursive
// FindFirstFileA walk of the same tree in the same run, and of the shell's
// display-name lookups for every path found. Run by hand:
//   scripts/wine-exec build/win/bench/tarn_walk_bench.exe [folder [names]]
// names: how many paths get display-name lookups (all by default).
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <objbase.h>

#include <algorithm>
#include <cstdlib>
#include <vector>
#include <cstdio>
#include <string>

#include "search/CollectSources.h"
#include "search/FolderScan.h"

#include "Timing.h"

namespace {

void Touch(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
}

// 40 folders of 49 subfolders each (2 000 folders), 25 files in each.
void MakeTree(const std::string& root) {
  std::string marker = root + "\\tree.done";
  if (GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES) return;
  static const char* const ext[] = {".exe", ".lnk", ".txt", ".url", ".bat"};
  CreateDirectoryA(root.c_str(), nullptr);
  int folder = 0;
  auto fill = [&](const std::string& dir) {
    CreateDirectoryA(dir.c_str(), nullptr);
    for (int f = 0; f < 25; ++f) {
      std::string name = (f % 7 == 0 ? "ソフト表" : "file") + std::to_string(folder * 25 + f) + ext[f % 5];
      Touch(dir + "\\" + name);
    }
    ++folder;
  };
  for (int a = 0; a < 40; ++a) {
    std::string top = root + "\\group" + std::to_string(a);
    fill(top);
    for (int b = 0; b < 49; ++b) fill(top + "\\" + (b % 5 == 0 ? "能力" : "sub") + std::to_string(b));
  }
  Touch(marker);
  std::printf("tree made: %d folders\n", folder);
}

std::size_t PlainWalk(const std::string& dir) {
  std::size_t files = 0;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return 0;
  do {
    if (fd.cFileName[0] == '.' && (!fd.cFileName[1] || (fd.cFileName[1] == '.' && !fd.cFileName[2]))) continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      files += PlainWalk(dir + "\\" + fd.cFileName);
    } else {
      ++files;
    }
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string root = argc > 1 ? argv[1] : std::string(temp) + "tarn_walkbench";
  MakeTree(root);
  std::string tmpFile = std::string(temp) + "tarn_walkbench.tmp";

  double plainBest = 1e30, oursBest = 1e30, oursPatBest = 1e30;
  std::size_t plainCount = 0;
  PathList found;
  for (int round = 0; round < 5; ++round) {
    double t0 = tarn::test::NowMs();
    plainCount = PlainWalk(root);
    double t1 = tarn::test::NowMs();
    PathList out;
    {
      tarn::CCacheFileWriter writer(tmpFile);
      tarn::CWin32WalkHost host(&writer);
      tarn::ScanFolder(root, "*.*", out, host, true);
      writer.Finish();
    }
    double t2 = tarn::test::NowMs();
    PathList exes;
    {
      tarn::CCacheFileWriter writer(tmpFile);
      tarn::CWin32WalkHost host(&writer);
      tarn::ScanFolder(root, "*.exe;*.lnk;*.bat", exes, host, true);
      writer.Finish();
    }
    double t3 = tarn::test::NowMs();
    plainBest = std::min(plainBest, t1 - t0);
    oursBest = std::min(oursBest, t2 - t1);
    oursPatBest = std::min(oursPatBest, t3 - t2);
    found.swap(out);
  }
  DeleteFileA(tmpFile.c_str());
  std::printf("plain FindFirstFileA walk: %zu files, best %.1f ms\n", plainCount, plainBest);
  std::printf("ScanFolder *.* + cache file: %zu paths, best %.1f ms (%.2fx)\n", found.size(), oursBest,
              oursBest / plainBest);
  std::printf("ScanFolder 3 patterns + cache file: best %.1f ms (%.2fx)\n", oursPatBest, oursPatBest / plainBest);

  if (argc > 2) found.resize(std::min<std::size_t>(found.size(), std::strtoul(argv[2], nullptr, 10)));
  CoInitialize(nullptr);
  std::vector<std::string> names;
  double d0 = tarn::test::NowMs();
  std::size_t named = 0;
  for (const std::string& p : found) {
    SHFILEINFOA info = {};
    if (SHGetFileInfoA(p.c_str(), 0, &info, sizeof info, SHGFI_DISPLAYNAME) && info.szDisplayName[0]) ++named;
    names.push_back(info.szDisplayName);
  }
  double d1 = tarn::test::NowMs();
  std::size_t same = 0;
  for (std::size_t i = 0; i < found.size(); ++i) {
    SHFILEINFOA info = {};
    SHGetFileInfoA(found[i].c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                   SHGFI_DISPLAYNAME | SHGFI_USEFILEATTRIBUTES);
    if (names[i] == info.szDisplayName) {
      ++same;
    } else if (i - same < 3) {
      std::printf("  differs: %s -> \"%s\" / \"%s\"\n", found[i].c_str(), names[i].c_str(), info.szDisplayName);
    }
  }
  double d2 = tarn::test::NowMs();
  for (const std::string& p : found) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    GetFileAttributesExA(p.c_str(), GetFileExInfoStandard, &data);
  }
  double d3 = tarn::test::NowMs();
  for (const std::string& p : found) {
    LPITEMIDLIST pidl = ILCreateFromPathA(p.c_str());
    if (pidl) ILFree(pidl);
  }
  double d4 = tarn::test::NowMs();
  std::printf("SHGetFileInfoA SHGFI_DISPLAYNAME: %zu of %zu named, %.1f ms (%.1f us each)\n", named, found.size(),
              d1 - d0, (d1 - d0) * 1000.0 / static_cast<double>(found.size()));
  std::printf("  the same with SHGFI_USEFILEATTRIBUTES (no file access): %.1f ms, %zu names equal\n", d2 - d1,
              same);
  std::printf("  GetFileAttributesExA of each path: %.1f ms\n", d3 - d2);
  std::printf("  ILCreateFromPathA of each path (the shell's parse alone): %.1f ms\n", d4 - d3);
  CoUninitialize();
  return 0;
}
