// Which folders a pass walks, in which order, with which patterns, which
// names the walk keeps, and the cache file text.
#include "search/CollectSources.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

using namespace tarn;

namespace {

CollectSettings Flags(const std::function<void(CollectSettings&)>& edit) {
  CollectSettings s;
  edit(s);
  return s;
}

}  // namespace

TEST(CollectSettings, ChangeDetection) {
  const CollectSettings base;  // NtCom and Path on, AnyDirSubDir on
  CollectSettings anyOn = base;
  anyOn.SrchDirFlg.Any = true;
  anyOn.AnyDirs = {"C:\\A", "C:\\B;.txt"};
  struct Case {
    const char* what;
    const CollectSettings& held;
    std::function<void(CollectSettings&)> edit;
    bool changed;
  };
  const Case cases[] = {
      {"same", base, [](CollectSettings&) {}, false},
      {"Update", base, [](CollectSettings& s) { s.Update = true; }, true},
      {"StartMenu", base, [](CollectSettings& s) { s.SrchDirFlg.StartMenu = true; }, true},
      {"DeskTop", base, [](CollectSettings& s) { s.SrchDirFlg.DeskTop = true; }, true},
      {"NtCom", base, [](CollectSettings& s) { s.SrchDirFlg.NtCom = false; }, true},
      {"Favorites", base, [](CollectSettings& s) { s.SrchDirFlg.Favorites = true; }, true},
      {"Recent", base, [](CollectSettings& s) { s.SrchDirFlg.Recent = true; }, true},
      {"Path", base, [](CollectSettings& s) { s.SrchDirFlg.Path = false; }, true},
      {"Any", base, [](CollectSettings& s) { s.SrchDirFlg.Any = true; }, true},
      {"subdir, Any off", base, [](CollectSettings& s) { s.AnyDirSubDir = false; }, false},
      {"dirs, Any off", base, [](CollectSettings& s) { s.AnyDirs = {"C:\\X"}; }, false},
      {"subdir, Any on", anyOn, [](CollectSettings& s) { s.AnyDirSubDir = false; }, true},
      {"reordered", anyOn, [](CollectSettings& s) { std::swap(s.AnyDirs[0], s.AnyDirs[1]); }, true},
      {"one more", anyOn, [](CollectSettings& s) { s.AnyDirs.push_back("C:\\C"); }, true},
      {"case of a byte", anyOn, [](CollectSettings& s) { s.AnyDirs[0] = "C:\\a"; }, true},
      {"same dirs", anyOn, [](CollectSettings&) {}, false},
  };
  for (const Case& c : cases) {
    CollectSettings next = c.held;
    c.edit(next);
    EXPECT_EQ(CollectSettingsDiffer(c.held, next), c.changed) << c.what;
  }
}

TEST(CollectSettings, FromSettingsRecord) {
  EnvDlgInfo info;
  info.SpeedTuning = {true, true, false};
  info.SrchDirFlg = {true, false, true, true, false, true, false};
  info.AnyDirSubDir = false;
  info.AnyDirs = {"D:\\Docs;.txt", "C:\\ソフト表"};
  info.ExecList = {"C:\\unrelated.exe"};
  CollectSettings s = MakeCollectSettings(info);
  EXPECT_TRUE(s.Update);
  EXPECT_EQ(s.SrchDirFlg, info.SrchDirFlg);
  EXPECT_FALSE(s.AnyDirSubDir);
  EXPECT_EQ(s.AnyDirs, info.AnyDirs);
  info.SpeedTuning.Update = false;
  EXPECT_FALSE(MakeCollectSettings(info).Update);
}

TEST(CollectSources, PatternsAndPathSplitting) {
  EXPECT_EQ(ExecPatternsFromPathExt(""), "*.COM;*.EXE;*.BAT;*.CMD");
  EXPECT_EQ(ExecPatternsFromPathExt(".COM;.EXE;.BAT"), "*.COM;*.EXE;*.BAT");
  EXPECT_EQ(ExecPatternsFromPathExt(".com;.exe;.js"), "*.com;*.exe;*.js");
  EXPECT_EQ(DotsToPatterns("表.x;.表"), "表*.x;*.表");
  EXPECT_EQ(DotsToPatterns("txt"), "txt");
  EXPECT_EQ(DotsToPatterns(""), "");

  struct Case { const char* value; PathList dirs; };
  const Case cases[] = {
      {"D:\\A;;D:\\B;", {"D:\\A", "D:\\B"}},
      {"", {}},
      {";;;", {}},
      {"C:\\ソフト表;C:\\表", {"C:\\ソフト表", "C:\\表"}},
      {"C:\\x;C:\\x", {"C:\\x", "C:\\x"}},
      {" C:\\a b ;\"C:\\q\";%WINDIR%", {" C:\\a b ", "\"C:\\q\"", "%WINDIR%"}},
      {"only", {"only"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitPathDirs(c.value), c.dirs) << c.value;
}

TEST(CollectSources, AnyDirEntries) {
  struct Case { const char* entry; const char* folder; const char* patterns; };
  const Case cases[] = {
      {"D:\\Tools;.exe;.lnk", "D:\\Tools", "*.exe;*.lnk"},
      {"D:\\Docs", "D:\\Docs", "EXEC"},
      {"D:\\Docs;.txt", "D:\\Docs", "*.txt"},
      {"D:\\Docs;txt", "D:\\Docs", "txt"},
      {"D:\\Docs;", "D:\\Docs", ""},
      {"C:\\ソフト表;.TXT", "C:\\ソフト表", "*.TXT"},
      {";.txt", "", "*.txt"},
  };
  for (const Case& c : cases) {
    AnyDirEntry e = SplitAnyDirEntry(c.entry, "EXEC");
    EXPECT_EQ(e.Folder, c.folder) << c.entry;
    EXPECT_EQ(e.Patterns, c.patterns) << c.entry;
  }
}

TEST(CollectSources, SpecialFolderTables) {
  auto nt = SpecialFolderTable(true);
  ASSERT_EQ(nt.size(), 6u);
  const int ntCsidl[] = {0x10, 0x19, 0x0B, 0x16, 0x06, 0x08};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(nt[i].Csidl, ntCsidl[i]);
  EXPECT_EQ(nt[1].Source, CollectSource::NtCom);
  EXPECT_EQ(nt[1].PairedWith, CollectSource::DeskTop);
  EXPECT_EQ(nt[3].PairedWith, CollectSource::StartMenu);
  auto w95 = SpecialFolderTable(false);
  ASSERT_EQ(w95.size(), 4u);
  const int w95Csidl[] = {0x10, 0x0B, 0x06, 0x08};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(w95[i].Csidl, w95Csidl[i]);
    EXPECT_NE(w95[i].Source, CollectSource::NtCom);
  }
}

TEST(CollectSources, CollectionOrder) {
  using S = CollectSource;
  const std::vector<SpecialFolder> nt = {{"DESK", S::DeskTop, S::None},  {"ALLDESK", S::NtCom, S::DeskTop},
                                         {"START", S::StartMenu, S::None}, {"ALLSTART", S::NtCom, S::StartMenu},
                                         {"FAV", S::Favorites, S::None},  {"RECENT", S::Recent, S::None}};
  const std::vector<SpecialFolder> w95 = {{"DESK", S::DeskTop, S::None}, {"START", S::StartMenu, S::None},
                                          {"FAV", S::Favorites, S::None}, {"RECENT", S::Recent, S::None}};
  const std::vector<SpecialFolder> noUserDesk = {{"ALLDESK", S::NtCom, S::DeskTop},
                                                 {"START", S::StartMenu, S::None}};
  const PathList dirs = {"P1", "P2", "P1"};
  auto all = [](CollectSettings& s) {
    s.SrchDirFlg = {true, true, true, true, true, true, true};
    s.AnyDirs = {"U1;.txt", "U2"};
  };
  struct Case {
    const char* what;
    std::function<void(CollectSettings&)> edit;
    const std::vector<SpecialFolder>& folders;
    bool ntFamily;
    std::vector<const char*> order;  // folder names; '*' marks a recursive walk
  };
  const Case cases[] = {
      {"start menu with all users",
       [](CollectSettings& s) { s.SrchDirFlg = {true, false, true, false, false, false, false}; }, nt, true,
       {"*START", "*ALLSTART"}},
      {"all users alone collects nothing",
       [](CollectSettings& s) { s.SrchDirFlg = {false, false, true, false, false, false, false}; }, nt, true,
       {}},
      {"desktop without all users",
       [](CollectSettings& s) { s.SrchDirFlg = {false, true, false, false, false, false, false}; }, nt, true,
       {"*DESK"}},
      {"everything on NT", all, nt, true,
       {"*DESK", "*ALLDESK", "*START", "*ALLSTART", "*FAV", "*RECENT", "P1", "P2", "P1", "*U1", "*U2"}},
      {"everything on the 95 family", all, w95, false,
       {"*DESK", "*START", "*FAV", "*RECENT", "P1", "P2", "P1", "*U1", "*U2"}},
      {"NT rows on a 95 system are never walked", all, nt, false,
       {"*DESK", "*START", "*FAV", "*RECENT", "P1", "P2", "P1", "*U1", "*U2"}},
      {"user folders without subfolders",
       [](CollectSettings& s) {
         s.SrchDirFlg = {false, false, false, true, false, false, false};
         s.AnyDirSubDir = false;
         s.AnyDirs = {"U1"};
       },
       nt, true, {"U1"}},
      {"all users desktop when the user's desktop is missing", all, noUserDesk, true,
       {"*ALLDESK", "*START", "P1", "P2", "P1", "*U1", "*U2"}},
  };
  for (const Case& c : cases) {
    CollectSettings s = Flags(c.edit);
    std::vector<ScanJob> jobs = PlanCollection(s, c.folders, dirs, "EXEC", c.ntFamily);
    std::vector<std::string> got;
    for (const ScanJob& j : jobs) got.push_back((j.Recursive ? "*" : "") + j.Folder);
    std::vector<std::string> want(c.order.begin(), c.order.end());
    EXPECT_EQ(got, want) << c.what;
  }
  // Patterns per source.
  CollectSettings s = Flags(all);
  std::vector<ScanJob> jobs = PlanCollection(s, nt, dirs, "EXEC", true);
  ASSERT_EQ(jobs.size(), 11u);
  EXPECT_EQ(jobs[0].Patterns, "*.*");
  EXPECT_EQ(jobs[6].Patterns, "EXEC");
  EXPECT_EQ(jobs[9].Patterns, "*.txt");
  EXPECT_EQ(jobs[10].Patterns, "EXEC");
}

TEST(CollectSources, WildcardPatterns) {
  struct Case { const char* path; const char* patterns; bool match; };
  const Case cases[] = {
      {"C:\\a\\FOO.EXE", "*.exe", true},
      {"C:\\a\\foo.exe", "*.COM;*.EXE;*.BAT", true},
      {"C:\\a\\foo.bat", "*.COM;*.EXE;*.BAT", true},
      {"C:\\a\\foo.exe.txt", "*.exe", false},
      {"C:\\a.exe\\foo", "*.exe", false},
      {"C:\\a\\foo", "*.exe", false},
      {"C:\\a\\b.txt", "txt", false},
      {"C:\\a\\b.txt", "", false},
      {"C:\\a\\b.txt", "*.exe;", false},
      {"C:\\a\\b.txt", "*.exe; *.txt", true},
      {"C:\\a\\b.txt", "*.t?t", true},
      {"C:\\a\\b.tt", "*.t?t", false},
      {"C:\\a\\b.tar.gz", "*.gz", true},
      {"C:\\a\\b.tar.gz", "*.tar", false},
      {"C:\\a\\b.TXT", "C:\\A\\*", true},
      {"C:\\ソフト表\\x.exe", "*表\\x.exe", true},
      {"C:\\ソフト表\\x.exe", "*\\ソフト?\\*", true},
      {"C:\\\x83\x61.exe", "*\x83\x41.exe", false},  // ヂ is no ア with another case
      {"C:\\\xB1.exe", "*\xB1.EXE", true},           // half-width kana
      {"C:\\\x82\x60.exe", "*\x82\x81.exe", false},  // full-width A and a are two characters
      {"C:\\a\\b", "*", true},
      {"C:\\a\\b", "**b", true},
      {"C:\\aaa\\baaab", "*a*b", true},
  };
  for (const Case& c : cases) EXPECT_EQ(MatchSpec(c.path, c.patterns), c.match) << c.path << " ~ " << c.patterns;
}

namespace {

// An in-memory folder tree; names ending in '\' are folders.
class FakeHost : public WalkHost {
 public:
  struct Node {
    std::vector<DirEntry> entries;
    FolderId id;
  };
  std::map<std::string, Node> folders;
  PathList found;
  std::vector<std::string> skipped;

  void Add(const std::string& folder, std::vector<DirEntry> entries, uint64_t id = 0) {
    folders[folder] = {std::move(entries), {1, id ? id : folders.size() + 100}};
  }
  bool ListFolder(const std::string& folder, std::vector<DirEntry>& entries) override {
    auto it = folders.find(folder);
    if (it == folders.end()) return false;
    entries = it->second.entries;
    entries.insert(entries.begin(), {{".", kAttrDirectory}, {"..", kAttrDirectory}});
    return true;
  }
  bool GetFolderId(const std::string& folder, FolderId& id) override {
    auto it = folders.find(folder);
    if (it == folders.end()) return false;
    id = it->second.id;
    return true;
  }
  void Found(const std::string& path) override { found.push_back(path); }
  void Skipped(const std::string& path, const char*) override { skipped.push_back(path); }
};

constexpr uint32_t kDir = kAttrDirectory;
constexpr uint32_t kFile = 0x20;

}  // namespace

TEST(FolderWalk, SubfoldersBeforeFilesAndAttributeFilter) {
  FakeHost h;
  h.Add("C:\\R\\", {{"a.exe", kFile},
                    {"S", kDir},
                    {"hid.exe", kFile | kAttrHidden},
                    {"tmp.exe", kFile | kAttrTemporary},
                    {"off.exe", kFile | kAttrOffline},
                    {"sys.exe", kFile | 0x4},
                    {"H", kDir | kAttrHidden | 0x4},
                    {"noext", kFile},
                    {"b.x.y.EXE", kFile}});
  h.Add("C:\\R\\S\\", {{"s.exe", kFile}, {"T", kDir}});
  h.Add("C:\\R\\S\\T\\", {{"t.lnk", kFile}});
  h.Add("C:\\R\\H\\", {{"h.exe", kFile}});

  PathList out;
  ScanFolder("C:\\R", "*.*", out, h, true);
  const PathList all = {"C:\\R\\S\\T\\t.lnk", "C:\\R\\S\\s.exe", "C:\\R\\H\\h.exe", "C:\\R\\a.exe",
                        "C:\\R\\sys.exe",     "C:\\R\\noext",    "C:\\R\\b.x.y.EXE"};
  EXPECT_EQ(out, all);
  EXPECT_EQ(h.found, all);

  PathList flat;
  ScanFolder("C:\\R\\", "*.exe", flat, h, false);
  EXPECT_EQ(flat, (PathList{"C:\\R\\a.exe", "C:\\R\\sys.exe", "C:\\R\\b.x.y.EXE"}));

  PathList appended = {"before"};
  ScanFolder("C:\\R\\S", "*.LNK", appended, h, true);
  EXPECT_EQ(appended, (PathList{"before", "C:\\R\\S\\T\\t.lnk"}));

  PathList none;
  ScanFolder("", "*.*", none, h, true);
  ScanFolder("C:\\missing", "*.*", none, h, true);
  EXPECT_TRUE(none.empty());
}

TEST(FolderWalk, FolderEndingInA5CTrailByte) {
  FakeHost h;
  for (const char* dir : {"C:\\ソフト表\\", "C:\\\x83\x5C\\", "C:\\\x94\x5C\\", "C:\\\x8F\x5C\\", "C:\\\x97\x5C\\"}) {
    h.Add(dir, {{"x.exe", kFile}});
    std::string given(dir, std::string(dir).size() - 1);  // without the separator
    PathList out;
    ScanFolder(given, "*.exe", out, h, false);
    EXPECT_EQ(out, PathList{std::string(dir) + "x.exe"}) << given;
  }
}

TEST(FolderWalk, PathLengthLimit) {
  FakeHost h;
  const std::string root = "C:\\R\\";
  const std::string fits(kMaxPathBytes - root.size(), 'f');      // 259 bytes with the folder
  const std::string over(kMaxPathBytes - root.size() + 1, 'o');  // 260
  const std::string deep(kMaxPathBytes - root.size() - 2, 'd');  // "deep\*" is 259: walked
  const std::string deeper(kMaxPathBytes - root.size() - 1, 'e');
  h.Add(root, {{fits, kFile}, {over, kFile}, {deep, kDir}, {deeper, kDir}});
  h.Add(root + deep + "\\", {});
  h.Add(root + deeper + "\\", {{"x", kFile}});
  PathList out;
  ScanFolder("C:\\R", "*.*", out, h, true);
  EXPECT_EQ(out, PathList{root + fits});
  EXPECT_EQ(h.skipped, (std::vector<std::string>{root + deeper + "\\", root + over}));

  FakeHost h2;
  PathList none;
  ScanFolder(std::string(kMaxPathBytes - 1, 'z'), "*.*", none, h2, true);
  EXPECT_EQ(h2.skipped.size(), 1u);
}

TEST(FolderWalk, LinkBackIntoTheWalkEnds) {
  FakeHost h;
  // R\A\up links back to R (same id), R\A\side links to a folder elsewhere.
  h.Add("C:\\R\\", {{"A", kDir}, {"r.exe", kFile}}, 1);
  h.Add("C:\\R\\A\\", {{"up", kDir | kAttrReparsePoint}, {"side", kDir | kAttrReparsePoint}}, 2);
  h.Add("C:\\R\\A\\up\\", {{"A", kDir}, {"r.exe", kFile}}, 1);
  h.Add("C:\\R\\A\\side\\", {{"s.exe", kFile}}, 7);
  PathList out;
  ScanFolder("C:\\R", "*.*", out, h, true);
  EXPECT_EQ(out, (PathList{"C:\\R\\A\\side\\s.exe", "C:\\R\\r.exe"}));
  EXPECT_EQ(h.skipped, std::vector<std::string>{"C:\\R\\A\\up\\"});
}

TEST(CacheText, ParsesLineEndsAndSkipsBadLines) {
  const std::string max(kMaxPathBytes, 'm');
  const std::string over(kMaxPathBytes + 1, 'o');
  struct Case { const char* what; std::string text; PathList paths; std::size_t skipped; };
  const Case cases[] = {
      {"CR LF", "C:\\a.exe\r\nC:\\b.exe\r\n", {"C:\\a.exe", "C:\\b.exe"}, 0},
      {"LF only", "C:\\a\nC:\\b\n", {"C:\\a", "C:\\b"}, 0},
      {"CR only", "C:\\a\rC:\\b\r", {"C:\\a", "C:\\b"}, 0},
      {"mixed", "C:\\a\rC:\\b\nC:\\c\r\n", {"C:\\a", "C:\\b", "C:\\c"}, 0},
      {"empty file", "", {}, 0},
      {"third line empty", "a\r\nb\r\n\r\nc\r\n", {"a", "b"}, 0},
      {"empty first line", "\r\nC:\\a\r\n", {}, 0},
      {"cut last line", "C:\\a\r\nC:\\b", {"C:\\a"}, 1},
      {"cut inside line end", "C:\\a\r", {"C:\\a"}, 0},
      {"CR LF across 64 bytes", std::string(63, 'a') + "\r\nb\r\n", {std::string(63, 'a'), "b"}, 0},
      {"259 bytes", max + "\r\n", {max}, 0},
      {"260 bytes skipped, reading goes on", over + "\r\nC:\\b\r\n", {"C:\\b"}, 1},
      {"control bytes", std::string("C:\\a\0b\r\nC:\\\tx\r\nC:\\c\r\n", 21), {"C:\\c"}, 2},
      {"Japanese with 5C", "C:\\ソフト表\\表.exe\r\n", {"C:\\ソフト表\\表.exe"}, 0},
      {"invalid CP932 is kept", "C:\\\x83\x20x\r\nC:\\\x83\r\nC:\\ok\r\n", {"C:\\\x83\x20x", "C:\\\x83", "C:\\ok"}, 0},
      {"half-width kana", "C:\\\xB6\xDE.exe\r\n", {"C:\\\xB6\xDE.exe"}, 0},
  };
  for (const Case& c : cases) {
    PathViews got;
    CacheParseResult r = ParseCacheText(c.text, got);
    EXPECT_EQ(PathList(got.begin(), got.end()), c.paths) << c.what;
    EXPECT_EQ(r.Kept, c.paths.size()) << c.what;
    EXPECT_EQ(r.Skipped, c.skipped) << c.what;
  }
}

TEST(CacheText, RoundTrip) {
  const PathList paths = {"C:\\ソフト表\\表.exe", "D:\\a b\\c.d.e", "E:\\noext", std::string(kMaxPathBytes, 'x')};
  std::string text;
  for (const std::string& p : paths) AppendCacheLine(text, p);
  EXPECT_EQ(text.size(), CacheTextSize(paths));
  EXPECT_EQ(text.substr(0, paths[0].size() + 2), paths[0] + "\r\n");
  PathViews back;
  ParseCacheText(text, back);
  EXPECT_EQ(PathList(back.begin(), back.end()), paths);
}
