// The candidate store for real: names from the shell, searches, and the
// collection pass (a thread, its messages received by a window on this
// thread, the list applied and the cache file replaced).
#include "search/Collector.h"

#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <tuple>

#include "search/AppEntries.h"
#include "search/AppPathsCache.h"
#include "search/CollectSources.h"
#include "search/DisplayNames.h"
#include "search/FolderWatch.h"
#include "search/SrchApliBase.h"
#include "support/TestSupport.h"

using namespace tarn::test;

namespace {

// The receiving end, as the main window does it.
struct Receiver {
  CSrchApliBase* Base = nullptr;
  int Started = 0, Finished = 0, Loaded = 0, Changed = 0;
  std::size_t LastCount = 0;
} g_receiver;

LRESULT CALLBACK ReceiverProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_FOLDERS_CHANGED) {
    if (++g_receiver.Changed, g_receiver.Base) g_receiver.Base->StartCollect(false);
    return 0;
  }
  if (msg != WM_CACHE_LOADED && msg != WM_COLLECT_NOTIFY) return DefWindowProcA(hwnd, msg, wp, lp);
  Receiver& r = g_receiver;
  auto* list = reinterpret_cast<AppEntryList*>(lp);
  if (msg == WM_COLLECT_NOTIFY) {
    if (wp == 1) return ++r.Started, 0;
    ++r.Finished;
    r.LastCount = list ? list->size() : 0;
  }
  if (msg == WM_CACHE_LOADED) ++r.Loaded;
  if (!r.Base) delete list;
  else if (msg == WM_CACHE_LOADED) r.Base->ApplyLoaded(list);
  else r.Base->ApplyCollected(list);
  return 0;
}

HWND MakeReceiverWindow() {
  static const WNDCLASSA wc = {0, ReceiverProc, 0, 0, GetModuleHandleA(nullptr), {}, {}, {}, nullptr, "TarnCollectReceiver"};
  static const ATOM atom = RegisterClassA(&wc);
  EXPECT_NE(atom, 0);
  return CreateWindowA("TarnCollectReceiver", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

PathList Sorted(PathList p) {
  std::sort(p.begin(), p.end());
  return p;
}

std::string Text(const PathList& paths) {
  std::string text;
  for (const std::string& p : paths) tarn::AppendCacheLine(text, p);
  return text;
}

// Each test has a collector posting to a window of this thread; it walks
// only the user folder of a small tree, only .exe files. Display names come
// from the shell, which wants COM on the calling thread.
class CollectorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // The count of passes is process-wide: no pass of an earlier test may be open.
    ASSERT_TRUE(PumpUntil([] { return CollectCount.load() == 0; }, 30000)) << "a pass is still open";
    MakeDirs(tree + "\\sub");
    for (const char* name : {"a.exe", "b.EXE", "c.txt", "sub\\d.exe", "sub\\表.exe"}) WriteFileBytes(tree + "\\" + name, "x");
    settings.SrchDirFlg = {false, false, true, true, false, false, false};
    settings.AnyDirs = {tree + ";.exe"};
    g_receiver = {};
  }
  void TearDown() override {
    PumpUntil([] { return CollectCount.load() == 0; }, 20000);
    g_receiver = {};
    DestroyWindow(window);
    CoUninitialize();
  }

  std::unique_ptr<CSrchApliBase> Collector(HWND to) {
    auto base = std::make_unique<CSrchApliBase>(to, dir);
    base->SetCollectSettings(settings);
    if (to == window) g_receiver.Base = base.get();
    return base;
  }
  std::string Read(const std::string& name) {
    std::string bytes;
    EXPECT_TRUE(ReadFileBytes(dir + name, &bytes)) << name;
    return bytes;
  }
  // Paths of the candidates; with the store empty, the cached ones come by message.
  static PathList PathsOf(CSrchApliBase& base) {
    base.Search("");
    EXPECT_TRUE(PumpUntil([&] { return !base.IsLoading(); }));
    base.Search("");
    PathList out;
    for (const AppEntry& e : base.GetMatchList()) out.push_back(e.FullPath);
    return out;
  }
  bool Finished(int n) { return PumpUntil([n] { return g_receiver.Finished == n; }, 20000); }

  TempDir t;
  const std::string dir = t.Path() + "\\", tree = t / "tree";
  const PathList exes = Sorted({tree + "\\sub\\d.exe", tree + "\\sub\\表.exe", tree + "\\a.exe", tree + "\\b.EXE"});
  CollectSettings settings;
  HWND window = MakeReceiverWindow();
};

std::vector<std::string> NamesOf(const MatchList& list) {
  std::vector<std::string> names;
  for (const AppEntry& e : list) names.push_back(e.DispName);
  return names;
}

}  // namespace

TEST_F(CollectorTest, PassHandsItsListOverAndReplacesTheCache) {
  WriteFileBytes(dir + "apppaths.ini", "C:\\old.exe\r\n");
  auto base = Collector(window);
  EXPECT_FALSE(base->SetCollectSettings(settings));
  ASSERT_TRUE(base->StartCollect(false));
  EXPECT_TRUE(base->IsCollecting());
  // New sources and refreshes while the pass runs: one more pass when it
  // has been applied, however many were asked, with the sources of now. A
  // search's call, which a cache file serves, asks for none.
  MakeDirs(t / "more"), WriteFileBytes(t / "more\\m.exe", "x");
  settings.AnyDirs.push_back(t / "more;.exe");
  ASSERT_TRUE(base->SetCollectSettings(settings) && base->StartCollect(false));
  ASSERT_TRUE(base->StartCollect(false) && base->StartCollect(true));
  ASSERT_TRUE(Finished(2) && !PumpUntil([] { return g_receiver.Finished > 2; }, 500));
  EXPECT_EQ(g_receiver.Started, 2);
  EXPECT_EQ(base->GetAllCount(), 5);
  settings.AnyDirs.pop_back(), base->SetCollectSettings(settings);
  ASSERT_TRUE(base->StartCollect(false) && Finished(3));
  EXPECT_FALSE(base->IsCollecting());
  const PathList got = PathsOf(*base);
  ASSERT_EQ(Sorted(got), exes);
  EXPECT_EQ(Sorted({got[0], got[1]}), Sorted({tree + "\\sub\\d.exe", tree + "\\sub\\表.exe"}));  // subfolders first
  EXPECT_EQ(Read("apppaths.ini"), Text(got));
  EXPECT_FALSE(FileExists(dir + "apppaths.tmp"));
  // The next refresh starts a new pass; its result replaces the candidates as a whole.
  WriteFileBytes(tree + "\\e.exe", "x");
  ASSERT_TRUE(base->StartCollect(false));
  EXPECT_EQ(base->GetAllCount(), 4);  // the old candidates stay meanwhile
  ASSERT_TRUE(Finished(4));
  EXPECT_EQ(g_receiver.Started, 4);
  EXPECT_EQ(base->GetAllCount(), 5);
  EXPECT_EQ(Read("apppaths.ini"), Text(PathsOf(*base)));
}

TEST_F(CollectorTest, CacheServesTheFirstSearchWhileThePassRuns) {
  WriteFileBytes(dir + "apppaths.ini", "C:\\one.exe\r\nC:\\二\\表.exe\r\n\r\nC:\\after.exe\r\n");
  auto base = Collector(window);
  // The pass is held back until the cache is in.
  static CollectParams* held = nullptr;
  StartCollectPass = [](CollectParams* params) { return (held = params) != nullptr; };
  ASSERT_TRUE(base->StartCollect(false));  // as at start-up: no cache read
  StartCollectPass = &StartCollectThread;
  EXPECT_EQ(base->GetAllCount(), 0);
  base->Search("");
  EXPECT_TRUE(base->GetMatchList().empty());  // the search before the cache is in
  EXPECT_TRUE(base->IsLoading());
  EXPECT_EQ(PathsOf(*base), (PathList{"C:\\one.exe", "C:\\二\\表.exe"}));
  ASSERT_TRUE(StartCollectThread(held));
  ASSERT_TRUE(Finished(1));
  EXPECT_EQ(Sorted(PathsOf(*base)), exes);
}

TEST_F(CollectorTest, FirstSearchStartsAPassOnlyWithoutACache) {
  WriteFileBytes(dir + "apppaths.ini", "C:\\one.exe\nC:\\two.exe\n");
  auto cached = Collector(window);
  EXPECT_EQ(PathsOf(*cached), (PathList{"C:\\one.exe", "C:\\two.exe"}));
  PumpFor(200);
  EXPECT_FALSE(cached->IsCollecting());
  EXPECT_EQ(g_receiver.Started, 0);
  DeleteFileA((dir + "apppaths.ini").c_str());
  auto base = Collector(window);
  base->Search("");
  EXPECT_TRUE(base->IsCollecting());
  ASSERT_TRUE(Finished(1));
  EXPECT_EQ(Read("apppaths.ini"), Text(PathsOf(*base)));
  // Nothing at all, from the cache or from a pass, is an answer: searching
  // it again and again reads nothing again.
  settings.AnyDirs = {t / "tree\\sub;.none"};
  for (bool fromPass : {false, true}) {
    WriteFileBytes(dir + "apppaths.ini", "");
    auto none = Collector(window);
    if (fromPass) {
      ASSERT_TRUE(none->StartCollect(false) && Finished(2));
      DeleteFileA((dir + "apppaths.ini").c_str());  // nor with no cache left to read
    }
    for (int i = 0; i < 3; ++i) none->Search(""), PumpFor(100);
    EXPECT_EQ(std::tuple(g_receiver.Loaded, g_receiver.Started, none->GetAllCount()), std::tuple(2, 1 + fromPass, 0));
  }
}

TEST_F(CollectorTest, TemporaryFileThatFailsOrIsStaleLeavesTheCache) {
  const std::string old = "C:\\old.exe\r\n";
  WriteFileBytes(dir + "apppaths.ini", old);
  // A folder in the temporary file's place: it cannot be created.
  ASSERT_TRUE(CreateDirectoryA((dir + "apppaths.tmp").c_str(), nullptr));
  auto base = Collector(window);
  ASSERT_TRUE(base->StartCollect(false));
  ASSERT_TRUE(Finished(1));
  EXPECT_EQ(Sorted(PathsOf(*base)), exes);  // the list is applied
  EXPECT_EQ(Read("apppaths.ini"), old);     // the cache is kept
  RemoveDirectoryA((dir + "apppaths.tmp").c_str());
  CAppPathsCache cache(dir);
  EXPECT_FALSE(cache.ReplaceCacheFile(20));  // no temporary file
  WriteFileBytes(dir + "apppaths.tmp", "C:\\a.exe\r\nC:\\b");
  EXPECT_FALSE(cache.ReplaceCacheFile(20));  // cut: fewer bytes than the pass wrote
  EXPECT_EQ(Read("apppaths.ini"), old);
  EXPECT_FALSE(FileExists(dir + "apppaths.tmp"));
}

TEST_F(CollectorTest, PassThatCannotReportGivesItselfBack) {
  HWND gone = MakeReceiverWindow();
  ASSERT_TRUE(DestroyWindow(gone));
  for (HWND to : {gone, HWND{}}) {
    auto base = Collector(to);
    ASSERT_TRUE(base->StartCollect(false));
    EXPECT_TRUE(base->IsCollecting());
    ASSERT_TRUE(PumpUntil([&] { return !base->IsCollecting(); }, 20000));
  }
  EXPECT_EQ(g_receiver.Started + g_receiver.Finished, 0);
  // Later passes are not blocked.
  auto base = Collector(window);
  ASSERT_TRUE(base->StartCollect(false));
  ASSERT_TRUE(Finished(1));
  EXPECT_EQ(base->GetAllCount(), 4);
}

TEST_F(CollectorTest, PassOutlivesItsCollector) {
  // At exit the collector goes while the pass runs: the pass needs nothing
  // of it and still writes its own temporary file.
  auto base = Collector(window);
  ASSERT_TRUE(base->StartCollect(false));
  base.reset();
  g_receiver.Base = nullptr;
  ASSERT_TRUE(Finished(1));
  EXPECT_EQ(g_receiver.LastCount, 4u);
  EXPECT_FALSE(FileExists(dir + "apppaths.ini"));
  EXPECT_EQ(Read("apppaths.tmp").size(), tarn::CacheTextSize(exes));
  CollectCount.store(0);  // nobody applied it: the main window would be gone too
}

TEST_F(CollectorTest, PassThatDoesNotStartOrIsAbandonedIsGivenBack) {
  WriteFileBytes(dir + "apppaths.ini", "C:\\one.exe\r\n");
  auto base = Collector(window);
  StartCollectPass = [](CollectParams*) { return false; };
  EXPECT_TRUE(base->StartCollect(false));
  StartCollectPass = &StartCollectThread;
  EXPECT_FALSE(base->IsCollecting());
  FailNextAllocationOnOtherThread();  // a cache load abandoned out of memory is told all the same
  base->Search("");
  ASSERT_TRUE(PumpUntil([] { return g_receiver.Loaded == 1; }));
  EXPECT_FALSE(base->IsLoading());
  EXPECT_EQ(PathsOf(*base), PathList{"C:\\one.exe"});  // the store answers from the cache
  EXPECT_EQ(g_receiver.Started, 0);
  // Out of memory at once: the pass ends like a finished one, with no list.
  FailNextAllocationOnOtherThread();
  ASSERT_TRUE(base->StartCollect(false));
  ASSERT_TRUE(Finished(1));
  EXPECT_EQ(g_receiver.LastCount, 0u);
  EXPECT_FALSE(base->IsCollecting());
  EXPECT_EQ(PathsOf(*base), PathList{"C:\\one.exe"});
  EXPECT_FALSE(FileExists(dir + "apppaths.tmp"));
  // And the next refresh runs.
  ASSERT_TRUE(base->StartCollect(false));
  ASSERT_TRUE(Finished(2));
  EXPECT_EQ(base->GetAllCount(), 4);
}

TEST_F(CollectorTest, RealFilesGetTheShellsFullNameTheCheapestWay) {
  struct Case { std::string file; bool create; std::set<std::string> names; };
  // The shell may or may not hide extensions: both outcomes are right.
  const Case cases[] = {
      {"Foo 2.0.exe", true, {"Foo 2.0"}}, {"メモ帳.txt", true, {"メモ帳"}},
      {"表計算.exe", true, {"表計算"}},  // ends in a 5C trail byte
      {"ｶﾞｲﾄﾞ.exe", true, {"ｶﾞｲﾄﾞ"}}, {"noext", true, {"noext"}},
      {"ghost.exe", false, {"ghost"}},       // no such file: the path names it
      {"Sub.d\\", false, {"Sub.d"}},  // a folder: only the shell names it
      {"Tool.lnk", true, {"Tool"}},  {"Site.url", true, {"Site"}}, {"Node.js.lnk", true, {"Node.js"}},
      {"a.b.c.exe", true, {"a.b.c"}}, {"Loc\\real.exe", true, {"real", "別名"}}};  // renamed by desktop.ini
  MakeDirs(t / "Apps\\Sub.d");
  MakeDirs(t / "Apps\\Loc");
  WriteFileBytes(t / "Apps\\Loc\\desktop.ini", "[LocalizedFileNames]\r\nreal.exe=別名.exe\r\n");
  SetFileAttributesA((t / "Apps\\Loc\\desktop.ini").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  SetFileAttributesA((t / "Apps\\Loc").c_str(), FILE_ATTRIBUTE_SYSTEM);
  PathList paths;
  for (const Case& c : cases) {
    paths.push_back(t / ("Apps\\" + c.file));
    if (c.create) WriteFileBytes(paths.back(), "MZ");
  }
  const AppEntryList named =
      tarn::NameEntries(tarn::PathViews(paths.begin(), paths.end()), tarn::CNameMemory(), ShellNameSource(), false);
  ASSERT_EQ(named.size(), paths.size());
  for (std::size_t i = 0; i < paths.size(); ++i) {
    std::string full;
    const bool shellNamed = ShellNameSource().FullName(paths[i], full) && !full.empty();
    EXPECT_EQ(named[i].DispName, shellNamed ? tarn::DispNameOf(full, paths[i]) : tarn::DispNameOf(paths[i])) << paths[i];
    EXPECT_TRUE(cases[i].names.count(named[i].DispName)) << cases[i].file << " -> " << named[i].DispName;
  }
}

TEST_F(CollectorTest, StoreSearchesTheAppliedCandidates) {
  PathList paths;
  MakeDirs(t / "Apps");
  for (const char* file : {"Excel.exe", "Index.exe", "Excel 2003.exe", "ｶﾞｲﾄﾞ.txt", "表計算.exe"}) {
    paths.push_back(t / (std::string("Apps\\") + file));
    WriteFileBytes(paths.back(), "MZ");
  }
  paths.push_back(paths[0]);  // collected twice
  CSrchApliBase store(nullptr, dir);
  ASSERT_TRUE(store.ApplyCollected(new PathList(paths)));
  EXPECT_EQ(store.GetAllCount(), 6);
  EXPECT_FALSE(store.ApplyReadings(0, new AppEntryList()));  // read from a list since replaced
  // Without the program's resources there is no reading table: names are found as written only.
  EXPECT_TRUE(BuiltInReadings() == nullptr && store.SetReadingOption(true) && !store.SetReadingOption(true));
  EXPECT_TRUE(store.Search("hyoukeisan", {true}) && store.GetMatchList().empty());
  EXPECT_TRUE(store.Search("表計算", {true}) && NamesOf(store.GetMatchList()) == std::vector<std::string>{"表計算"});
  ASSERT_TRUE(store.Search(""));
  ASSERT_EQ(store.GetMatchList().size(), 6u);
  for (std::size_t i = 0; i < paths.size(); ++i) {
    EXPECT_EQ(store.GetMatchList()[i].FullPath, paths[i]);
    EXPECT_EQ(store.GetMatchList()[i].ListIndex, static_cast<int32_t>(i));
  }
  using V = std::vector<std::string>;
  const std::pair<std::string, V> cases[] = {
      {"\\EXCEL", {"Excel", "Excel"}}, {"apps", {}}, {"excel", {"Excel", "Excel 2003", "Excel"}}};  // names, not folders
  for (const auto& [word, names] : cases) {
    EXPECT_TRUE(store.Search(word)) << word;
    EXPECT_EQ(NamesOf(store.GetMatchList()), names) << word;
  }
  // A mode character alone or a word too long for the box keeps the matches.
  for (const std::string& word : {std::string("^"), std::string(260, 'e')}) {
    EXPECT_EQ(store.Search(word), word.size() < 260) << word;
    EXPECT_EQ(NamesOf(store.GetMatchList()), cases[2].second) << word;
  }
  EXPECT_FALSE(store.Search(std::string(260, 'e').c_str()));
  EXPECT_TRUE(store.Search(std::string(259, 'e')));
  EXPECT_TRUE(store.GetMatchList().empty());
  EXPECT_TRUE(store.Search(static_cast<const char*>(nullptr)));
  EXPECT_EQ(store.GetMatchList().size(), 6u);
}

TEST_F(CollectorTest, WatchedFoldersStartFewPassesAndOnlyForChangesThatMatter) {
  FolderWatchTimings = {300, 30000, 600, 120000};
  char recent[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, recent, CSIDL_RECENT, TRUE));
  // The recent-files folder is collected but not watched; a folder that is
  // gone leaves the others watched.
  settings.SrchDirFlg.Recent = true;
  settings.AnyDirs.push_back(t / "gone");
  settings.AnyDirs.push_back(std::string(recent) + ";.lnk");  // watched so named, its changes still count for nothing
  auto base = Collector(window);
  ASSERT_TRUE(base->StartCollect(false) && Finished(1));
  const int before = base->GetAllCount();
  auto watcher = std::make_unique<CFolderWatcher>(window, WM_FOLDERS_CHANGED, dir);
  watcher->Arm(settings);
  ASSERT_TRUE(PumpUntil([&] { return watcher->WatchedCount() >= 0; }));
  EXPECT_EQ(watcher->WatchedCount(), 2);
  const std::string opened = std::string(recent) + "\\tarn watch test.lnk";
  WriteFileBytes(opened, "x");
  DeleteFileA(opened.c_str());
  WriteFileBytes(dir + "apppaths.tmp", "x");  // not watched: the program's own
  PumpFor(1500);
  EXPECT_EQ(g_receiver.Changed, 0);
  // A burst of files in a new subfolder: one pass, at most two.
  MakeDirs(tree + "\\burst");
  for (int i = 0; i < 300; ++i) WriteFileBytes(tree + "\\burst\\f" + std::to_string(i) + ".exe", "x");
  EXPECT_TRUE(PumpUntil([&] { return base->GetAllCount() == before + 300; }, 45000));
  PumpFor(1000);
  EXPECT_TRUE(g_receiver.Changed >= 1 && g_receiver.Changed <= 2 && g_receiver.Started <= 3) << g_receiver.Changed;
  // Removed and renamed, each on its own after a while: the list follows.
  const int passes = g_receiver.Started;
  ASSERT_TRUE(DeleteFileA((tree + "\\a.exe").c_str()));
  EXPECT_TRUE(PumpUntil([&] { return base->GetAllCount() == before + 299; }, 10000));
  PumpFor(1000);
  ASSERT_TRUE(MoveFileA((tree + "\\b.EXE").c_str(), (tree + "\\renamed.exe").c_str()));
  EXPECT_TRUE(PumpUntil([&] {
    const PathList now = PathsOf(*base);
    return std::count(now.begin(), now.end(), tree + "\\renamed.exe") == 1 && base->GetAllCount() == before + 299;
  }, 10000));
  EXPECT_EQ(g_receiver.Started, passes + 2);
  watcher.reset();  // ends with its watches
  WriteFileBytes(tree + "\\late.exe", "x");
  PumpFor(1000);
  EXPECT_EQ(g_receiver.Started, passes + 2);
  FolderWatchTimings = {};
}
