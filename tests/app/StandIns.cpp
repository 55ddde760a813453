// TEMPORARY stand-ins for the collector and the launch functions, so the
// shell and its tests link and see collection passes until the real
// implementations are merged. They take the place of the collector stub in
// src/search (same functions, so the linker never pulls it in). Deliberately
// small; delete this file once they have landed.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <thread>

#include "launcher/Launch.h"
#include "search/AppPathsCache.h"
#include "search/SrchApliBase.h"

CollectSettings MakeCollectSettings(const EnvDlgInfo& info) {
  CollectSettings s;
  s.Update = info.SpeedTuning.Update;
  s.SrchDirFlg = info.SrchDirFlg;
  s.AnyDirSubDir = info.AnyDirSubDir;
  s.AnyDirs = info.AnyDirs;
  return s;
}
bool CollectSettingsDiffer(const CollectSettings& a, const CollectSettings& b) {
  return a.Update != b.Update || !(a.SrchDirFlg == b.SrchDirFlg) || a.AnyDirSubDir != b.AnyDirSubDir ||
         a.AnyDirs != b.AnyDirs;
}

CAppPathsCache::CAppPathsCache(const std::string& dir)
    : CachePath(dir + "apppaths.ini"), TempPath(dir + "apppaths.tmp") {}
CAppPathsCache::~CAppPathsCache() { delete LoadedPaths; }
bool CAppPathsCache::CacheFileExists() const {
  return GetFileAttributesA(CachePath.c_str()) != INVALID_FILE_ATTRIBUTES;
}
bool CAppPathsCache::LoadCache(bool) { return true; }
bool CAppPathsCache::ReplaceCacheFile() {
  return MoveFileExA(TempPath.c_str(), CachePath.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}
bool CAppPathsCache::SetSettings(const CollectSettings& s) {
  bool differ = CollectSettingsDiffer(Held, s);
  Held = s;
  return differ;
}

// The stand-in collector lists the files of AnyDirs (no subfolders) on a
// thread, taking a moment so the busy state can be seen.
namespace {
LONG g_Running = 0;
}

bool CSrchApliBase::SetCollectSettings(const CollectSettings& s) { return CacheObj->SetSettings(s); }
bool CSrchApliBase::IsCollecting() { return g_Running > 0; }
bool CSrchApliBase::StartCollect(bool) {
  HWND window = NotifyWindow;
  std::vector<std::string> dirs = CacheObj->Settings().AnyDirs;
  std::string cache = CacheObj->CacheFilePath();
  InterlockedIncrement(&g_Running);
  std::thread([window, dirs, cache] {
    PostMessageA(window, WM_COLLECT_NOTIFY, 1, 0);
    auto* paths = new PathList;
    for (const auto& dir : dirs) {
      WIN32_FIND_DATAA fd;
      HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
      if (h == INVALID_HANDLE_VALUE) continue;
      do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) paths->push_back(dir + "\\" + fd.cFileName);
      } while (FindNextFileA(h, &fd));
      FindClose(h);
    }
    if (FILE* f = fopen(cache.c_str(), "wb")) {
      for (const auto& p : *paths) fprintf(f, "%s\n", p.c_str());
      fclose(f);
    }
    Sleep(300);
    InterlockedDecrement(&g_Running);
    if (!PostMessageA(window, WM_COLLECT_NOTIFY, 0, reinterpret_cast<LPARAM>(paths))) delete paths;
  }).detach();
  return true;
}
bool CSrchApliBase::ApplyCollected(PathList* paths) {
  EnterCriticalSection(&Lock);
  Entries.clear();
  Matches->clear();
  if (paths) AppendEntries(Entries, *paths);
  LeaveCriticalSection(&Lock);
  delete paths;
  return true;
}

int StartItem(const LaunchRequest& request) {
  auto r = reinterpret_cast<INT_PTR>(
      ShellExecuteA(nullptr, nullptr, request.Path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (r > 32) return kLaunchStarted;
  return r == 2 || r == 3 ? kLaunchNotFound : kLaunchFailed;
}
int OpenContainingFolder(const std::string&) { return kLaunchFailed; }
bool ExpandStaticCommand(const StaticItem& item, const std::string& word, std::string* out) {
  std::string s = item.Command;
  auto at = s.find("%1");
  if (at != std::string::npos) s.replace(at, 2, word);
  *out = s;
  return true;
}
