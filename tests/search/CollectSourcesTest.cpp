// Which folders a pass walks, in which order, with which patterns, which
// names the walk keeps, the cache file text and the names given to paths.
#include "search/CollectSources.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "search/AppEntries.h"
#include "search/DisplayNames.h"
#include "search/WatchRules.h"

using namespace tarn;

TEST(CollectSettings, ChangeDetectionAndTheSettingsRecord) {
  const CollectSettings base;  // NtCom and Path on, AnyDirSubDir on
  CollectSettings anyOn = base;
  anyOn.SrchDirFlg.Any = true;
  anyOn.AnyDirs = {"C:\\A", "C:\\B;.txt"};
  using Edit = void (*)(CollectSettings&);
  const struct Case { const CollectSettings& held; Edit edit; bool changed; } cases[] = {
      {base, [](CollectSettings& s) { s.Update = true; }, true},
      {base, [](CollectSettings& s) { s.SrchDirFlg.Favorites = true; }, true},  // any folder source
      {base, [](CollectSettings& s) { s.AnyDirSubDir = false; }, false},  // the user folders are off
      {base, [](CollectSettings& s) { s.AnyDirs = {"C:\\X"}; }, false},
      {anyOn, [](CollectSettings& s) { s.AnyDirSubDir = false; }, true},
      {anyOn, [](CollectSettings& s) { std::swap(s.AnyDirs[0], s.AnyDirs[1]); }, true},
      {anyOn, [](CollectSettings& s) { s.AnyDirs.push_back("C:\\C"); }, true},
      {anyOn, [](CollectSettings& s) { s.AnyDirs[0] = "C:\\a"; }, true},  // the case of a byte
      {anyOn, [](CollectSettings&) {}, false}};
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    CollectSettings next = cases[i].held;
    cases[i].edit(next);
    EXPECT_EQ(CollectSettingsDiffer(cases[i].held, next), cases[i].changed) << i;
  }
  EnvDlgInfo info;
  info.SpeedTuning = {true, true, false};
  info.SrchDirFlg = {true, false, true, true, false, true, false};
  info.AnyDirSubDir = false;
  info.AnyDirs = {"D:\\Docs;.txt", "C:\\ソフト表"};
  const CollectSettings s = MakeCollectSettings(info);
  EXPECT_TRUE(s.Update && s.SrchDirFlg == info.SrchDirFlg && !s.AnyDirSubDir && s.AnyDirs == info.AnyDirs);
  info.SpeedTuning.Update = false;
  EXPECT_FALSE(MakeCollectSettings(info).Update);
}

TEST(CollectSources, PatternsPathAndUserFolderEntries) {
  EXPECT_EQ(ExecPatternsFromPathExt(""), "*.COM;*.EXE;*.BAT;*.CMD");
  EXPECT_EQ(ExecPatternsFromPathExt(".com;.exe;.js"), "*.com;*.exe;*.js");
  EXPECT_EQ(DotsToPatterns("表.x;.表"), "表*.x;*.表");
  const struct Split { const char* value; PathList dirs; } splits[] = {
      {"D:\\A;;D:\\B;", {"D:\\A", "D:\\B"}}, {"", {}}, {";;;", {}}, {"C:\\ソフト表;C:\\表", {"C:\\ソフト表", "C:\\表"}},
      {"C:\\x;C:\\x", {"C:\\x", "C:\\x"}},   {" C:\\a b ;\"C:\\q\";%WINDIR%", {" C:\\a b ", "C:\\q", "%WINDIR%"}},
      {"\"C:\\a;b\";\"\";C:\\\"x y\"\\z;\"C:\\表", {"C:\\a;b", "C:\\x y\\z", "C:\\表"}}};
  for (const Split& c : splits) EXPECT_EQ(SplitPathDirs(c.value), c.dirs) << c.value;
  const struct Entry { const char* entry; const char* folder; const char* patterns; } entries[] = {
      {"D:\\Tools;.exe;.lnk", "D:\\Tools", "*.exe;*.lnk"}, {"D:\\Docs", "D:\\Docs", "EXEC"},
      {"D:\\Docs;txt", "D:\\Docs", "txt"},                 {"D:\\Docs;", "D:\\Docs", ""},
      {"C:\\ソフト表;.TXT", "C:\\ソフト表", "*.TXT"},      {";.txt", "", "*.txt"}};
  for (const Entry& c : entries) {
    const AnyDirEntry e = SplitAnyDirEntry(c.entry, "EXEC");
    EXPECT_EQ(e.Folder + "|" + e.Patterns, std::string(c.folder) + "|" + c.patterns) << c.entry;
  }
}

TEST(CollectSources, SpecialFoldersAndCollectionOrder) {
  using S = CollectSource;
  std::vector<int> csidls;
  for (bool nt : {true, false})
    for (const SpecialFolderRow& row : SpecialFolderTable(nt)) csidls.push_back(row.Csidl);
  EXPECT_EQ(csidls, (std::vector<int>{0x10, 0x19, 0x0B, 0x16, 0x06, 0x08, 0x10, 0x0B, 0x06, 0x08}));
  EXPECT_EQ(SpecialFolderTable(true)[1].PairedWith, S::DeskTop);
  EXPECT_EQ(SpecialFolderTable(true)[3].PairedWith, S::StartMenu);
  const std::vector<SpecialFolder> nt = {{"DESK", S::DeskTop, S::None},  {"ALLDESK", S::NtCom, S::DeskTop},
                                         {"START", S::StartMenu, S::None}, {"ALLSTART", S::NtCom, S::StartMenu},
                                         {"FAV", S::Favorites, S::None},  {"RECENT", S::Recent, S::None}};
  const std::vector<SpecialFolder> noUserDesk = {{"ALLDESK", S::NtCom, S::DeskTop}, {"START", S::StartMenu, S::None}}, none;
  const SrchDirFlags all{true, true, true, true, true, true, true};
  const std::map<std::string, std::string> patterns = {{"P1", "EXEC"}, {"P2", "EXEC"}, {"U1", "*.txt"}, {"U2", "EXEC"}};
  struct Case { const char* what; SrchDirFlags flags; bool subDirs; const std::vector<SpecialFolder>& folders;
                bool ntFamily; std::vector<const char*> order; };  // '*' marks a recursive walk
  const Case cases[] = {
      {"start menu with all users", {true, false, true, false, false, false, false}, true, nt, true,
       {"*START", "*ALLSTART"}},
      {"all users alone collects nothing", {false, false, true, false, false, false, false}, true, nt, true, {}},
      {"desktop without all users", {false, true, false, false, false, false, false}, true, nt, true, {"*DESK"}},
      {"everything on NT", all, true, nt, true,
       {"*DESK", "*ALLDESK", "*START", "*ALLSTART", "*FAV", "*RECENT", "P1", "P2", "P1", "*U1", "*U2"}},
      {"NT rows on a 95 system are never walked", all, true, nt, false,
       {"*DESK", "*START", "*FAV", "*RECENT", "P1", "P2", "P1", "*U1", "*U2"}},
      {"user folders without subfolders", {false, false, false, true, false, false, false}, false, nt, true,
       {"U1", "U2"}},
      {"all users desktop when the user's desktop is missing", all, true, noUserDesk, true,
       {"*ALLDESK", "*START", "P1", "P2", "P1", "*U1", "*U2"}},
      {"no shell folder located: PATH and the user folders", all, true, none, true, {"P1", "P2", "P1", "*U1", "*U2"}}};
  for (const Case& c : cases) {
    CollectSettings s;
    s.SrchDirFlg = c.flags;
    s.AnyDirSubDir = c.subDirs;
    s.AnyDirs = {"U1;.txt", "U2"};
    std::vector<std::string> got;
    for (const ScanJob& j : PlanCollection(s, c.folders, {"P1", "P2", "P1"}, "EXEC", c.ntFamily)) {
      got.push_back((j.Recursive ? "*" : "") + j.Folder);
      const auto it = patterns.find(j.Folder);
      EXPECT_EQ(j.Patterns, it == patterns.end() ? "*.*" : it->second) << j.Folder;
    }
    EXPECT_EQ(got, std::vector<std::string>(c.order.begin(), c.order.end())) << c.what;
  }
}

TEST(CollectSources, WildcardPatterns) {
  const struct Case { const char* path; const char* patterns; bool match; } cases[] = {
      {"C:\\a\\FOO.EXE", "*.exe", true},        {"C:\\a\\foo.bat", "*.COM;*.EXE;*.BAT", true},
      {"C:\\a\\foo.exe.txt", "*.exe", false},   {"C:\\a.exe\\foo", "*.exe", false},
      {"C:\\a\\b.txt", "txt", false},           {"C:\\a\\b.txt", "", false},
      {"C:\\a\\b.txt", "*.exe;", false},        {"C:\\a\\b.txt", "*.exe; *.txt", true},
      {"C:\\a\\b.txt", "*.t?t", true},          {"C:\\a\\b.tt", "*.t?t", false},
      {"C:\\a\\b.tar.gz", "*.gz", true},        {"C:\\a\\b.tar.gz", "*.tar", false},
      {"C:\\a\\b.TXT", "C:\\A\\*", true},       {"C:\\ソフト表\\x.exe", "*表\\x.exe", true},
      {"C:\\ソフト表\\x.exe", "*\\ソフト?\\*", true},
      {"C:\\\x83\x61.exe", "*\x83\x41.exe", false},  // ヂ is no ア of another case
      {"C:\\\xB1.exe", "*\xB1.EXE", true},           // half-width kana
      {"C:\\\x82\x60.exe", "*\x82\x81.exe", false},  // full-width A and a are two characters
      {"C:\\a\\b", "**b", true},                {"C:\\aaa\\baaab", "*a*b", true}};
  for (const Case& c : cases) EXPECT_EQ(MatchSpec(c.path, c.patterns), c.match) << c.path << " ~ " << c.patterns;
}

namespace {

// An in-memory folder tree; names ending in '\' are folders.
struct FakeHost : WalkHost {
  struct Node { std::vector<DirEntry> entries; FolderId id; };
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
    if (it != folders.end()) id = it->second.id;
    return it != folders.end();
  }
  void Found(const std::string& path) override { found.push_back(path); }
  void Skipped(const std::string& path, const char*) override { skipped.push_back(path); }
};

constexpr uint32_t kDir = kAttrDirectory;
constexpr uint32_t kFile = 0x20;

// Names every file "named 1.5", except a blank one, and counts each question.
struct CountingSource : CNameSource {
  int Full = 0, Quick = 0, Folders = 0;
  bool Name(const std::string& path, std::string& name) {
    name = path.find("blank") == std::string::npos ? "named 1.5" : "";
    return true;
  }
  bool FullName(const std::string& path, std::string& name) override { return ++Full, Name(path, name); }
  bool QuickName(const std::string& path, std::string& name) override { return ++Quick, Name(path, name); }
  bool FolderRenamesFiles(const std::string& folder) override { return ++Folders, folder == "C:\\Loc\\"; }
};

const PathViews kPaths = {"C:\\A\\one.exe", "C:\\A\\two.lnk", "C:\\A\\three.URL", "C:\\Loc\\four.exe",
                          "C:\\B\\blank.txt", "C:\\A\\CAFETO~1.EXE"};

}  // namespace

TEST(FolderWalk, SubfoldersBeforeFilesAndAttributeFilter) {
  FakeHost h;
  h.Add("C:\\R\\", {{"a.exe", kFile}, {"S", kDir}, {"hid.exe", kFile | kAttrHidden}, {"tmp.exe", kFile | kAttrTemporary},
                    {"off.exe", kFile | kAttrOffline}, {"sys.exe", kFile | 0x4}, {"H", kDir | kAttrHidden | 0x4},
                    {"noext", kFile}, {"b.x.y.EXE", kFile}});
  h.Add("C:\\R\\S\\", {{"s.exe", kFile}, {"T", kDir}});
  h.Add("C:\\R\\S\\T\\", {{"t.lnk", kFile}});
  h.Add("C:\\R\\H\\", {{"h.exe", kFile}});
  PathList out;
  ScanFolder("C:\\R", "*.*", out, h, true);
  const PathList all = {"C:\\R\\S\\T\\t.lnk", "C:\\R\\S\\s.exe", "C:\\R\\H\\h.exe", "C:\\R\\a.exe",
                        "C:\\R\\sys.exe",     "C:\\R\\noext",    "C:\\R\\b.x.y.EXE"};
  EXPECT_EQ(out, all);
  EXPECT_EQ(h.found, all);
  PathList flat = {"before"};
  ScanFolder("C:\\R\\", "*.exe", flat, h, false);
  EXPECT_EQ(flat, (PathList{"before", "C:\\R\\a.exe", "C:\\R\\sys.exe", "C:\\R\\b.x.y.EXE"}));
  PathList none;
  ScanFolder("", "*.*", none, h, true);
  ScanFolder("C:\\missing", "*.*", none, h, true);
  EXPECT_TRUE(none.empty());
  // A folder given without its separator, ending in a 5C trail byte.
  for (const char* dir : {"C:\\ソフト表\\", "C:\\\x83\x5C\\", "C:\\\x94\x5C\\", "C:\\\x8F\x5C\\", "C:\\\x97\x5C\\"}) {
    h.Add(dir, {{"x.exe", kFile}});
    PathList got;
    ScanFolder(std::string(dir, std::string(dir).size() - 1), "*.exe", got, h, false);
    EXPECT_EQ(got, PathList{std::string(dir) + "x.exe"}) << dir;
  }
}

TEST(FolderWalk, PathsTheCacheCannotHoldAndLinksBackIntoTheWalk) {
  FakeHost h;
  const std::string root = "C:\\R\\";
  const std::string fits(kMaxPathBytes - root.size(), 'f');      // 259 bytes with the folder
  const std::string over(kMaxPathBytes - root.size() + 1, 'o');  // 260
  const std::string deep(kMaxPathBytes - root.size() - 2, 'd');  // "deep\*" is 259: walked
  const std::string deeper(kMaxPathBytes - root.size() - 1, 'e');
  h.Add(root, {{fits, kFile}, {over, kFile}, {deep, kDir}, {deeper, kDir}, {"a\rb\n.exe", kFile}});
  h.Add(root + deep + "\\", {});
  h.Add(root + deeper + "\\", {{"x", kFile}});
  PathList out;
  ScanFolder("C:\\R", "*.*", out, h, true);
  EXPECT_EQ(out, PathList{root + fits});
  EXPECT_EQ(h.skipped, (std::vector<std::string>{root + deeper + "\\", root + over, root + "a\rb\n.exe"}));
  ScanFolder(std::string(kMaxPathBytes - 1, 'z'), "*.*", out, h, true);
  EXPECT_EQ(h.skipped.size(), 4u);
  // R\A\up links back to R (same id), R\A\side to a folder elsewhere.
  FakeHost l;
  l.Add("C:\\R\\", {{"A", kDir}, {"r.exe", kFile}}, 1);
  l.Add("C:\\R\\A\\", {{"up", kDir | kAttrReparsePoint}, {"side", kDir | kAttrReparsePoint}}, 2);
  l.Add("C:\\R\\A\\up\\", {{"A", kDir}, {"r.exe", kFile}}, 1);
  l.Add("C:\\R\\A\\side\\", {{"s.exe", kFile}}, 7);
  PathList linked;
  ScanFolder("C:\\R", "*.*", linked, l, true);
  EXPECT_EQ(linked, (PathList{"C:\\R\\A\\side\\s.exe", "C:\\R\\r.exe"}));
  EXPECT_EQ(l.skipped, std::vector<std::string>{"C:\\R\\A\\up\\"});
}

TEST(CacheText, ParsesLineEndsSkipsBadLinesAndRoundTrips) {
  const std::string max(kMaxPathBytes, 'm');
  const std::string over(kMaxPathBytes + 1, 'o');
  const struct Case { const char* what; std::string text; PathList paths; std::size_t skipped; } cases[] = {
      {"LF, CR and CR LF", "C:\\a\rC:\\b\nC:\\c\r\n", {"C:\\a", "C:\\b", "C:\\c"}, 0}, {"empty file", "", {}, 0},
      {"an empty line ends the list", "a\r\nb\r\n\r\nc\r\n", {"a", "b"}, 0}, {"empty first line", "\r\nC:\\a\r\n", {}, 0},
      {"cut last line", "C:\\a\r\nC:\\b", {"C:\\a"}, 1},           {"cut inside line end", "C:\\a\r", {"C:\\a"}, 0},
      {"CR LF across 64 bytes", std::string(63, 'a') + "\r\nb\r\n", {std::string(63, 'a'), "b"}, 0},
      {"260 bytes skipped, reading goes on", over + "\r\nC:\\b\r\n", {"C:\\b"}, 1},
      {"control bytes", std::string("C:\\a\0b\r\nC:\\\tx\r\nC:\\c\r\n", 21), {"C:\\c"}, 2},
      {"Japanese with 5C", "C:\\ソフト表\\表.exe\r\n", {"C:\\ソフト表\\表.exe"}, 0}, {"259 bytes", max + "\r\n", {max}, 0},
      {"space in a short text", "C:\\Program Files\\a.exe\r\n", {"C:\\Program Files\\a.exe"}, 0},
      {"invalid CP932 is kept", "C:\\\x83\x20x\r\nC:\\\x83\r\nC:\\ok\r\n", {"C:\\\x83\x20x", "C:\\\x83", "C:\\ok"}, 0}};
  for (const Case& c : cases) {
    PathViews got;
    const CacheParseResult r = ParseCacheText(c.text, got);
    EXPECT_EQ(PathList(got.begin(), got.end()), c.paths) << c.what;
    EXPECT_EQ(r.Kept, c.paths.size()) << c.what;
    EXPECT_EQ(r.Skipped, c.skipped) << c.what;
  }
  const PathList paths = {"C:\\ソフト表\\表.exe", "D:\\a b\\c.d.e", "E:\\noext", max};
  std::string text;
  for (const std::string& p : paths) AppendCacheLine(text, p);
  EXPECT_EQ(text.size(), CacheTextSize(paths));
  EXPECT_EQ(text.substr(0, paths[0].size() + 2), paths[0] + "\r\n");
  PathViews back;
  ParseCacheText(text, back);
  EXPECT_EQ(PathList(back.begin(), back.end()), paths);
}

TEST(NameEntries, CutsOnlyTheExtensionShownAndAsksOncePerPathTheCheapWay) {
  const std::pair<std::string, std::string> unnamed[] = {{"D:\\Tools\\edit.exe", "edit"},
      {"C:\\表\\ソフト表.exe", "ソフト表"}, {".profile", ".profile"}, {"", ""}};
  for (const auto& [path, name] : unnamed) EXPECT_EQ(DispNameOf(path), name) << path;
  // The shell's name loses the path's own extension only where it shows it.
  const std::tuple<std::string, std::string, std::string> shown[] = {{"Foo 2.0", "C:\\Foo 2.0.exe", "Foo 2.0"},
      {"Foo 2.0.EXE", "C:\\Foo 2.0.exe", "Foo 2.0"}, {"Python 3.12 (64-bit)", "C:\\Python 3.12 (64-bit).lnk",
      "Python 3.12 (64-bit)"}, {"Node.js", "C:\\Node.js.lnk", "Node.js"}, {"表.exe", "C:\\ソ\\表.exe", "表"},
      {".profile", "C:\\.profile", ".profile"}, {"\x83.exe", "C:\\a.exe", "\x83.exe"}, {"a.b", "C:\\a.b\\", "a.b"}};
  for (const auto& [name, path, got] : shown) EXPECT_EQ(DispNameOf(name, path), got) << name;
  CountingSource shell;
  const AppEntryList first = NameEntries(kPaths, CNameMemory(), shell, false);
  ASSERT_EQ(first.size(), kPaths.size());
  EXPECT_TRUE(first[1].FullPath == kPaths[1] && first[1].ListIndex == 1);
  EXPECT_EQ(first[0].DispName + "|" + first[4].DispName, "named 1.5|blank");  // an empty name: the path's own
  // Shortcuts and a folder with a desktop.ini get the full question; an
  // empty quick answer is asked again in full.
  EXPECT_EQ(std::tuple(shell.Quick, shell.Full, shell.Folders), std::tuple(2, 5, 3));
  // Names of a pass are remembered by the next one, except where a
  // desktop.ini may have renamed the file since; a start-up load trusts them.
  auto known = std::make_shared<AppEntryList>(first);
  (*known)[1].DispName = "remembered";
  for (bool trust : {false, true}) {
    CountingSource again;
    const AppEntryList next = NameEntries(kPaths, CNameMemory(known), again, trust);
    EXPECT_EQ(next[1].DispName, "remembered");
    EXPECT_EQ(std::pair(again.Quick, again.Full), std::pair(0, trust ? 0 : 1));
  }
}

TEST(NameEntries, NamesFileOnlyForItsOwnCacheFile) {
  CountingSource shell;
  const AppEntryList records = NameEntries(kPaths, CNameMemory(), shell, false);
  const std::uint64_t stamp = CacheTextStamp(records);
  std::string cache;
  for (const AppEntry& e : records) AppendCacheLine(cache, e.FullPath);
  EXPECT_EQ(CacheTextStamp(cache), stamp);
  const std::string text = FormatNamesText(records, stamp);
  CNameMemory memory;
  ASSERT_TRUE(memory.Load(text, stamp));
  EXPECT_EQ(memory.Size(), kPaths.size());
  CountingSource reused;
  EXPECT_EQ(NameEntries(kPaths, memory, reused, true), records);
  EXPECT_EQ(reused.Full + reused.Quick, 0);
  // Stale or damaged: nothing remembered.
  const std::pair<std::string, std::uint64_t> bad[] = {{text, stamp + 1}, {text.substr(0, text.size() - 2), stamp},
                                                        {"TarnNames 1 x\r\n\r\n", stamp}, {"", stamp},
                                                        {"TarnNames 1" + text.substr(11), stamp},  // names cut by an older build
                                                        {text.substr(0, 30) + "no tab\r\n\r\n", stamp}};
  for (const auto& [bytes, forStamp] : bad) {
    ASSERT_TRUE(memory.Load(text, stamp));
    EXPECT_FALSE(memory.Load(bytes, forStamp)) << bytes;
    EXPECT_EQ(memory.Size(), 0u) << bytes;
  }
}

TEST(FolderWatch, OneWatchPerRootAndOnlyChangesThatCanMatter) {
  using tarn::WatchRoot;
  const std::vector<tarn::ScanJob> jobs = {{"C:\\Menu", "*.*", true}, {"C:\\Bin\\", "*.EXE", false},
                                           {"c:\\bin", "*.EXE", false}, {"D:\\ToolZ", "*.exe", false},
                                           {"d:/toolz/", "*.lnk", true}, {"", "*.*", true},
                                           {"C:\\Menu/Sub/", "*.*", false}};
  EXPECT_EQ(tarn::WatchRootsOf(jobs), (std::vector<WatchRoot>{{"C:\\Menu\\", "*.*", true},
                                                               {"C:\\Bin\\", "*.EXE", false},
                                                               {"D:\\ToolZ\\", "*.*", true},
                                                               {"C:\\Menu/Sub/", "*.*", false}}));
  const WatchRoot bin{"C:\\Prog\\", "*.EXE;*.BAT", false}, menu{"C:\\Users\\u\\", "*.EXE", true};
  const std::vector<std::string> ignored = {"C:\\Users\\u\\Recent\\"};
  const struct { const WatchRoot& root; std::string name; bool matters; } cases[] = {
      {bin, "tool.exe", true},  {bin, "Tool.Bat", true},     {bin, "readme.txt", false},
      {bin, "apppaths.tmp", false}, {bin, "tlenv.ini", false}, {bin, "appnames.ini", false},
      {bin, "apppaths.exe", true},  {bin, "", true},          // overflow: unknown
      {menu, "notes.txt", true}, {menu, "Recent\\a.lnk", false}, {menu, "Recent", false},
      {menu, "Recently\\a.lnk", true}, {menu, "apppaths.tmp", true},  // not the program's folder
      {menu, "\x95\x5C\\a.lnk", true}};  // a folder ending in the trail byte 5C
  for (const auto& c : cases) {
    EXPECT_EQ(tarn::ChangeMatters(c.root, c.name, "c:\\prog", ignored), c.matters) << c.root.Folder << c.name;
  }
  EXPECT_TRUE(tarn::InFolder("C:\\\x95\x5C\\a", "C:\\\x95\x5C"));
  EXPECT_FALSE(tarn::InFolder("C:\\\x95\x5C\\a", "C:\\\x95"));
}

TEST(FolderWatch, PassesAfterAQuietMomentAtMostOncePerGapWhileChangesKeepComing) {
  // Quiet 1 s, gap 30 s, stream 5 s, longest wait 120 s. Each row: changes at these times, then
  // the passes started (at the due time, checked every 100 ms) until 200 s.
  const struct { std::vector<uint64_t> changes; std::vector<uint64_t> passes; } cases[] = {
      {{}, {}},
      {{10000}, {11000}},                                     // one file
      {{10000, 10500, 10900}, {11900}},                       // a short burst: one pass
      {{10000, 20000, 40000}, {11000, 21000, 41000}},         // apart: each its own
      {{10000, 13000}, {11000, 41000}},                       // soon after the pass: the stream goes on
      {{10000, 12000, 14000, 16000, 18000, 44000}, {11000, 41000, 71000}},
  };
  for (const auto& c : cases) {
    tarn::CWatchPacer pacer;
    std::vector<uint64_t> passes;
    std::size_t next = 0;
    for (uint64_t now = 0; now <= 200000; now += 100) {
      while (next < c.changes.size() && c.changes[next] <= now) pacer.Changed(c.changes[next++]);
      if (pacer.DueAt() && *pacer.DueAt() <= now) pacer.Started(now), passes.push_back(now);
    }
    EXPECT_EQ(passes, c.passes) << c.changes.size();
  }
  // Changes that never pause: one pass after they end when they end soon,
  // one each longest wait while they do not, never two within the gap.
  for (const auto& [until, wanted] : {std::pair{70000, std::vector<uint64_t>{71000}},
                                      std::pair{250000, std::vector<uint64_t>{120000, 240100, 270100}}}) {
    tarn::CWatchPacer pacer;
    std::vector<uint64_t> passes;
    for (uint64_t now = 0; now <= 300000; now += 100) {
      if (now <= static_cast<uint64_t>(until)) pacer.Changed(now);
      if (pacer.DueAt() && *pacer.DueAt() <= now) pacer.Started(now), passes.push_back(now);
    }
    EXPECT_EQ(passes, wanted) << until;
  }
}
