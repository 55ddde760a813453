// The collection pass for real: a thread, its messages received by a window
// on this thread, the list applied and the cache file replaced.
#include "search/Collector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "search/AppPathsCache.h"
#include "search/CollectSources.h"
#include "search/SrchApliBase.h"
#include "support/TestSupport.h"

using namespace tarn::test;

namespace {

// The receiving end, as the main window does it.
struct Receiver {
  CSrchApliBase* Base = nullptr;
  int Started = 0, Finished = 0;
  std::size_t LastCount = 0;
} g_receiver;

LRESULT CALLBACK ReceiverProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != WM_CACHE_LOADED && msg != WM_COLLECT_NOTIFY) return DefWindowProcA(hwnd, msg, wp, lp);
  Receiver& r = g_receiver;
  auto* list = reinterpret_cast<AppEntryList*>(lp);
  if (msg == WM_COLLECT_NOTIFY && wp == 1) {
    ++r.Started;
    return 0;
  }
  if (msg == WM_COLLECT_NOTIFY) {
    ++r.Finished;
    r.LastCount = list ? list->size() : 0;
  }
  if (!r.Base) {
    delete list;
  } else if (msg == WM_CACHE_LOADED) {
    r.Base->ApplyLoaded(list);
  } else {
    r.Base->ApplyCollected(list);
  }
  return 0;
}

HWND MakeReceiverWindow() {
  static const ATOM atom = [] {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ReceiverProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TarnCollectReceiver";
    return RegisterClassA(&wc);
  }();
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
// only the user folder of a small tree, only .exe files.
class CollectorTest : public ::testing::Test {
 protected:
  void SetUp() override {
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

}  // namespace

TEST_F(CollectorTest, PassHandsItsListOverAndReplacesTheCache) {
  WriteFileBytes(dir + "apppaths.ini", "C:\\old.exe\r\n");
  auto base = Collector(window);
  EXPECT_FALSE(base->SetCollectSettings(settings));
  ASSERT_TRUE(base->StartCollect(false));
  EXPECT_TRUE(base->IsCollecting());
  // A refresh while the pass runs starts nothing.
  ASSERT_TRUE(base->StartCollect(false));
  ASSERT_TRUE(base->StartCollect(true));
  ASSERT_TRUE(Finished(1));
  PumpFor(300);
  EXPECT_EQ(g_receiver.Started, 1);
  EXPECT_EQ(g_receiver.Finished, 1);
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
  ASSERT_TRUE(Finished(2));
  EXPECT_EQ(g_receiver.Started, 2);
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
  const PathList list = {"C:\\a.exe", "C:\\b.exe"};
  const std::string text = Text(list);
  EXPECT_FALSE(cache.ReplaceCacheFile(tarn::CacheTextSize(list)));  // no temporary file
  WriteFileBytes(dir + "apppaths.tmp", text.substr(0, text.size() - 3));
  EXPECT_FALSE(cache.ReplaceCacheFile(tarn::CacheTextSize(list)));  // cut
  EXPECT_EQ(Read("apppaths.ini"), old);
  EXPECT_FALSE(FileExists(dir + "apppaths.tmp"));
  WriteFileBytes(dir + "apppaths.tmp", text);
  EXPECT_TRUE(cache.ReplaceCacheFile(tarn::CacheTextSize(list)));
  EXPECT_EQ(Read("apppaths.ini"), text);
  EXPECT_FALSE(FileExists(dir + "apppaths.tmp"));
  // A missing cache file is no error: the temporary file takes its name.
  DeleteFileA((dir + "apppaths.ini").c_str());
  WriteFileBytes(dir + "apppaths.tmp", text);
  EXPECT_TRUE(cache.ReplaceCacheFile());
  EXPECT_EQ(Read("apppaths.ini"), text);
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
  const std::string tmp = Read("apppaths.tmp");
  tarn::PathViews written;
  tarn::ParseCacheText(tmp, written);
  EXPECT_EQ(Sorted(PathList(written.begin(), written.end())), exes);
  CollectCount.store(0);  // nobody applied it: the main window would be gone too
}

TEST_F(CollectorTest, PassThatDoesNotStartOrIsAbandonedIsGivenBack) {
  WriteFileBytes(dir + "apppaths.ini", "C:\\one.exe\r\n");
  auto base = Collector(window);
  StartCollectPass = [](CollectParams*) { return false; };
  EXPECT_TRUE(base->StartCollect(false));
  StartCollectPass = &StartCollectThread;
  EXPECT_FALSE(base->IsCollecting());
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
