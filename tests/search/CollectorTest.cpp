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

using tarn::test::TempDir;

namespace {

// The receiving end, as the main window does it.
struct Receiver {
  CSrchApliBase* Base = nullptr;
  int Started = 0;
  int Finished = 0;
  std::size_t LastCount = 0;
};
Receiver* g_receiver = nullptr;

LRESULT CALLBACK ReceiverProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CACHE_LOADED) {
    auto* list = reinterpret_cast<AppEntryList*>(lp);
    if (g_receiver && g_receiver->Base) g_receiver->Base->ApplyLoaded(list); else delete list;
    return 0;
  }
  if (msg == WM_COLLECT_NOTIFY && g_receiver) {
    if (wp == 1) {
      ++g_receiver->Started;
    } else {
      ++g_receiver->Finished;
      auto* list = reinterpret_cast<AppEntryList*>(lp);
      g_receiver->LastCount = list ? list->size() : 0;
      if (g_receiver->Base) {
        g_receiver->Base->ApplyCollected(list);
      } else {
        delete list;
      }
    }
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

HWND MakeReceiverWindow() {
  static ATOM atom = [] {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ReceiverProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TarnCollectReceiver";
    return RegisterClassA(&wc);
  }();
  EXPECT_NE(atom, 0);
  return CreateWindowA("TarnCollectReceiver", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr),
                       nullptr);
}

class CollectorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A pass that an earlier test started without a window gives itself back.
    ASSERT_TRUE(tarn::test::PumpUntil([] { return CollectCount.load() == 0; }, 30000))
        << "a pass of an earlier test is still open";
    dir = t.Path() + "\\";
    tree = t / "tree";
    tarn::test::MakeDirs(tree + "\\sub");
    for (const char* name : {"a.exe", "b.EXE", "c.txt", "sub\\d.exe", "sub\\表.exe"}) {
      tarn::test::WriteFileBytes(tree + "\\" + name, "x");
    }
    window = MakeReceiverWindow();
    ASSERT_NE(window, nullptr);
    g_receiver = &receiver;
  }
  void TearDown() override {
    // No pass may outlive its test: the count is process-wide.
    tarn::test::PumpUntil([] { return CollectCount.load() == 0; }, 20000);
    g_receiver = nullptr;
    if (window) DestroyWindow(window);
  }

  // Only the user folder of the test tree, only .exe files.
  CollectSettings TreeOnly() const {
    CollectSettings s;
    s.SrchDirFlg = {false, false, true, true, false, false, false};
    s.AnyDirs = {tree + ";.exe"};
    return s;
  }
  PathList TreeExes() const {
    return {tree + "\\sub\\d.exe", tree + "\\sub\\表.exe", tree + "\\a.exe", tree + "\\b.EXE"};
  }
  std::string Read(const std::string& name) {
    std::string bytes;
    EXPECT_TRUE(tarn::test::ReadFileBytes(dir + name, &bytes)) << name;
    return bytes;
  }
  static std::string Text(const PathList& paths) {
    std::string text;
    for (const std::string& p : paths) tarn::AppendCacheLine(text, p);
    return text;
  }
  static PathList Sorted(PathList p) {
    std::sort(p.begin(), p.end());
    return p;
  }
  // A search with the store empty; the cached candidates come by message.
  static PathList CachedPathsOf(CSrchApliBase& base) {
    base.Search("");
    EXPECT_TRUE(tarn::test::PumpUntil([&] { return !base.IsLoading(); }));
    return PathsOf(base);
  }
  static PathList PathsOf(CSrchApliBase& base) {
    base.Search("");
    PathList out;
    for (const AppEntry& e : base.GetMatchList()) out.push_back(e.FullPath);
    return out;
  }

  TempDir t;
  std::string dir, tree;
  HWND window = nullptr;
  Receiver receiver;
};

}  // namespace

TEST_F(CollectorTest, PassHandsItsListOverAndReplacesTheCache) {
  tarn::test::WriteFileBytes(dir + "apppaths.ini", "C:\\old.exe\r\n");
  CSrchApliBase base(window, dir);
  receiver.Base = &base;
  EXPECT_TRUE(base.SetCollectSettings(TreeOnly()));
  EXPECT_FALSE(base.SetCollectSettings(TreeOnly()));

  ASSERT_TRUE(base.StartCollect(false));
  EXPECT_TRUE(base.IsCollecting());
  // A refresh while the pass runs starts nothing.
  ASSERT_TRUE(base.StartCollect(false));
  ASSERT_TRUE(base.StartCollect(true));
  ASSERT_TRUE(tarn::test::PumpUntil([&] { return receiver.Finished == 1; }, 20000));
  tarn::test::PumpFor(300);
  EXPECT_EQ(receiver.Started, 1);
  EXPECT_EQ(receiver.Finished, 1);
  EXPECT_FALSE(base.IsCollecting());

  PathList got = PathsOf(base);
  EXPECT_EQ(Sorted(got), Sorted(TreeExes()));
  // Subfolders first.
  ASSERT_EQ(got.size(), 4u);
  EXPECT_EQ(Sorted({got[0], got[1]}), Sorted({tree + "\\sub\\d.exe", tree + "\\sub\\表.exe"}));
  EXPECT_EQ(Read("apppaths.ini"), Text(got));
  EXPECT_FALSE(tarn::test::FileExists(dir + "apppaths.tmp"));

  // The next refresh starts a new pass; its result replaces the candidates
  // as a whole.
  tarn::test::WriteFileBytes(tree + "\\e.exe", "x");
  ASSERT_TRUE(base.StartCollect(false));
  EXPECT_EQ(base.GetAllCount(), 4);  // the old candidates stay meanwhile
  ASSERT_TRUE(tarn::test::PumpUntil([&] { return receiver.Finished == 2; }, 20000));
  EXPECT_EQ(receiver.Started, 2);
  EXPECT_EQ(base.GetAllCount(), 5);
  EXPECT_EQ(Read("apppaths.ini"), Text(PathsOf(base)));
}

TEST_F(CollectorTest, CacheServesTheFirstSearchWhileThePassRuns) {
  tarn::test::WriteFileBytes(dir + "apppaths.ini", "C:\\one.exe\r\nC:\\二\\表.exe\r\n\r\nC:\\after.exe\r\n");
  CSrchApliBase base(window, dir);
  receiver.Base = &base;
  base.SetCollectSettings(TreeOnly());
  // The pass is held back until the cache is in.
  static CollectParams* held = nullptr;
  StartCollectPass = [](CollectParams* params) { return (held = params) != nullptr; };
  ASSERT_TRUE(base.StartCollect(false));  // as at start-up: no cache read
  StartCollectPass = &StartCollectThread;
  EXPECT_EQ(base.GetAllCount(), 0);
  EXPECT_TRUE(PathsOf(base).empty());  // the search before the cache is in
  EXPECT_TRUE(base.IsLoading());
  EXPECT_EQ(CachedPathsOf(base), (PathList{"C:\\one.exe", "C:\\二\\表.exe"}));
  ASSERT_TRUE(StartCollectThread(held));
  ASSERT_TRUE(tarn::test::PumpUntil([&] { return receiver.Finished == 1; }, 20000));
  EXPECT_EQ(receiver.Started, 1);
  EXPECT_EQ(Sorted(PathsOf(base)), Sorted(TreeExes()));
}

TEST_F(CollectorTest, ExistingCacheAndNoPassRunning) {
  tarn::test::WriteFileBytes(dir + "apppaths.ini", "C:\\one.exe\nC:\\two.exe\n");
  {
    CSrchApliBase base(window, dir);
    receiver.Base = &base;
    EXPECT_EQ(CachedPathsOf(base), (PathList{"C:\\one.exe", "C:\\two.exe"}));
    tarn::test::PumpFor(200);
    EXPECT_EQ(receiver.Started, 0);  // the cache was enough
    EXPECT_FALSE(base.IsCollecting());
  }
  DeleteFileA((dir + "apppaths.ini").c_str());
  CSrchApliBase base(window, dir);
  receiver.Base = &base;
  base.SetCollectSettings(TreeOnly());
  EXPECT_TRUE(PathsOf(base).empty());  // no cache: a pass starts
  EXPECT_TRUE(base.IsCollecting());
  ASSERT_TRUE(tarn::test::PumpUntil([&] { return receiver.Finished == 1; }, 20000));
  EXPECT_EQ(Read("apppaths.ini"), Text(PathsOf(base)));
}

TEST_F(CollectorTest, TemporaryFileThatFailsLeavesTheCache) {
  const std::string old = "C:\\old.exe\r\n";
  tarn::test::WriteFileBytes(dir + "apppaths.ini", old);
  // A folder in the temporary file's place: it cannot be created.
  ASSERT_TRUE(CreateDirectoryA((dir + "apppaths.tmp").c_str(), nullptr));
  CSrchApliBase base(window, dir);
  receiver.Base = &base;
  base.SetCollectSettings(TreeOnly());
  ASSERT_TRUE(base.StartCollect(false));
  ASSERT_TRUE(tarn::test::PumpUntil([&] { return receiver.Finished == 1; }, 20000));
  EXPECT_EQ(Sorted(PathsOf(base)), Sorted(TreeExes()));  // the list is applied
  EXPECT_EQ(Read("apppaths.ini"), old);                  // the cache is kept
  RemoveDirectoryA((dir + "apppaths.tmp").c_str());
}

TEST_F(CollectorTest, StaleOrCutTemporaryFileIsNotInstalled) {
  const std::string old = "C:\\old.exe\r\n";
  tarn::test::WriteFileBytes(dir + "apppaths.ini", old);
  CAppPathsCache cache(dir);
  EXPECT_EQ(cache.CacheFilePath(), dir + "apppaths.ini");
  EXPECT_EQ(cache.TempFilePath(), dir + "apppaths.tmp");
  const PathList list = {"C:\\a.exe", "C:\\b.exe"};
  const std::string text = Text(list);

  EXPECT_FALSE(cache.ReplaceCacheFile(tarn::CacheTextSize(list)));  // no temporary file
  EXPECT_EQ(Read("apppaths.ini"), old);
  tarn::test::WriteFileBytes(dir + "apppaths.tmp", text.substr(0, text.size() - 3));
  EXPECT_FALSE(cache.ReplaceCacheFile(tarn::CacheTextSize(list)));  // cut
  EXPECT_EQ(Read("apppaths.ini"), old);
  EXPECT_FALSE(tarn::test::FileExists(dir + "apppaths.tmp"));
  tarn::test::WriteFileBytes(dir + "apppaths.tmp", text);
  EXPECT_TRUE(cache.ReplaceCacheFile(tarn::CacheTextSize(list)));
  EXPECT_EQ(Read("apppaths.ini"), text);
  EXPECT_FALSE(tarn::test::FileExists(dir + "apppaths.tmp"));
  // A missing cache file is no error: the temporary file takes its name.
  DeleteFileA((dir + "apppaths.ini").c_str());
  tarn::test::WriteFileBytes(dir + "apppaths.tmp", text);
  EXPECT_TRUE(cache.ReplaceCacheFile());
  EXPECT_EQ(Read("apppaths.ini"), text);
}

TEST_F(CollectorTest, FinishThatCannotBePostedGivesThePassBack) {
  HWND gone = MakeReceiverWindow();
  ASSERT_TRUE(DestroyWindow(gone));
  {
    CSrchApliBase base(gone, dir);
    base.SetCollectSettings(TreeOnly());
    ASSERT_TRUE(base.StartCollect(false));
    EXPECT_TRUE(base.IsCollecting());
    ASSERT_TRUE(tarn::test::PumpUntil([&] { return !base.IsCollecting(); }, 20000));
  }
  // Later passes are not blocked.
  CSrchApliBase base(window, dir);
  receiver.Base = &base;
  base.SetCollectSettings(TreeOnly());
  ASSERT_TRUE(base.StartCollect(false));
  ASSERT_TRUE(tarn::test::PumpUntil([&] { return receiver.Finished == 1; }, 20000));
  EXPECT_EQ(base.GetAllCount(), 4);
}

TEST_F(CollectorTest, PassWithoutAWindowGivesItselfBack) {
  CSrchApliBase base(nullptr, dir);
  base.SetCollectSettings(TreeOnly());
  ASSERT_TRUE(base.StartCollect(false));
  ASSERT_TRUE(tarn::test::PumpUntil([&] { return !base.IsCollecting(); }, 20000));
  EXPECT_EQ(receiver.Started + receiver.Finished, 0);
}

TEST_F(CollectorTest, PassOutlivesItsCollector) {
  // At exit the collector goes while the pass runs: the pass needs nothing
  // of it and still writes its own temporary file.
  auto base = std::make_unique<CSrchApliBase>(window, dir);
  base->SetCollectSettings(TreeOnly());
  ASSERT_TRUE(base->StartCollect(false));
  base.reset();
  ASSERT_TRUE(tarn::test::PumpUntil([&] { return receiver.Finished == 1; }, 20000));
  EXPECT_EQ(receiver.LastCount, 4u);
  EXPECT_FALSE(tarn::test::FileExists(dir + "apppaths.ini"));
  std::string tmp = Read("apppaths.tmp");
  tarn::PathViews written;
  tarn::ParseCacheText(tmp, written);
  EXPECT_EQ(Sorted(PathList(written.begin(), written.end())), Sorted(TreeExes()));
  CollectCount.store(0);  // nobody applied it: the main window would be gone too
}

TEST_F(CollectorTest, PassThatDoesNotStartOrIsAbandonedIsGivenBack) {
  tarn::test::WriteFileBytes(dir + "apppaths.ini", "C:\\one.exe\r\n");
  CSrchApliBase base(window, dir);
  receiver.Base = &base;
  base.SetCollectSettings(TreeOnly());
  StartCollectPass = [](CollectParams*) { return false; };
  EXPECT_TRUE(base.StartCollect(false));
  StartCollectPass = &StartCollectThread;
  EXPECT_FALSE(base.IsCollecting());
  tarn::test::PumpFor(200);
  EXPECT_EQ(receiver.Started, 0);
  EXPECT_EQ(CachedPathsOf(base), PathList{"C:\\one.exe"});  // the store answers from the cache
  // Out of memory at once: the pass ends like a finished one, with no list.
  tarn::test::FailNextAllocationOnOtherThread();
  ASSERT_TRUE(base.StartCollect(false));
  ASSERT_TRUE(tarn::test::PumpUntil([&] { return receiver.Finished == 1; }, 20000));
  EXPECT_EQ(receiver.LastCount, 0u);
  EXPECT_FALSE(base.IsCollecting());
  EXPECT_EQ(PathsOf(base), PathList{"C:\\one.exe"});
  EXPECT_FALSE(tarn::test::FileExists(dir + "apppaths.tmp"));
  // And the next refresh runs.
  ASSERT_TRUE(base.StartCollect(false));
  ASSERT_TRUE(tarn::test::PumpUntil([&] { return receiver.Finished == 2; }, 20000));
  EXPECT_EQ(base.GetAllCount(), 4);
}
