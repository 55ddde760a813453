// The folder walk on real folder trees under the platform: attribute
// filter, patterns, Japanese names, PATH, long paths and folder links.
#include "search/FolderScan.h"

#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "base/Cp932.h"
#include "base/Path.h"
#include "support/TestSupport.h"

using namespace tarn;
using tarn::test::TempDir;

namespace {

void Touch(const std::string& path, DWORD attributes = 0) {
  tarn::test::WriteFileBytes(path, "x");
  if (attributes) {
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), attributes)) << path;
  }
}

PathList Walk(const std::string& folder, const std::string& patterns, bool recursive) {
  PathList out;
  CWin32WalkHost host(nullptr);
  ScanFolder(folder, patterns, out, host, recursive);
  return out;
}

// No file of a folder may come before a file of one of its subfolders.
void ExpectSubfoldersFirst(const PathList& paths) {
  for (std::size_t j = 0; j < paths.size(); ++j) {
    std::string_view dj = DirectoryOf(paths[j]);
    for (std::size_t i = 0; i < j; ++i) {
      std::string_view di = DirectoryOf(paths[i]);
      EXPECT_FALSE(di.size() < dj.size() && dj.substr(0, di.size()) == di)
          << paths[i] << " comes before " << paths[j];
    }
  }
}

// Restores an environment variable at the end of a test.
class EnvGuard {
 public:
  explicit EnvGuard(const char* name) : name_(name) {
    char buf[32768];
    DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
    had_ = n > 0 && n < sizeof buf;
    if (had_) value_.assign(buf, n);
  }
  ~EnvGuard() { SetEnvironmentVariableA(name_, had_ ? value_.c_str() : nullptr); }

 private:
  const char* name_;
  bool had_ = false;
  std::string value_;
};

std::string UnixPath(const std::string& winPath) {
  using Fn = char*(CDECL*)(LPCWSTR);
  auto fn = reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!fn) return {};
  wchar_t w[1024];
  if (!MultiByteToWideChar(CP_ACP, 0, winPath.c_str(), -1, w, 1024)) return {};
  char* u = fn(w);
  std::string s = u ? u : "";
  if (u) HeapFree(GetProcessHeap(), 0, u);
  return s;
}

// Runs a program of the host system (Wine starts those too).
bool RunUnix(const std::string& program, const std::string& args) {
  std::string cmd = program + " " + args;
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  if (!CreateProcessA(program.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return false;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

// A folder link made from the host side: the platform's own link calls do
// not make real links here.
bool MakeFolderLink(const std::string& target, const std::string& link) {
  std::string ut = UnixPath(target), ul = UnixPath(link);
  if (ut.empty() || ul.empty()) return false;
  if (!RunUnix("/bin/ln", "-s " + ut + " " + ul)) return false;
  // The host program cannot be waited for: watch for its result.
  for (int i = 0; i < 100; ++i) {
    DWORD a = GetFileAttributesA(link.c_str());
    if (a != INVALID_FILE_ATTRIBUTES) return (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
    Sleep(50);
  }
  return false;
}

void RemoveFolderLink(const std::string& link) {
  RunUnix("/bin/rm", "-f " + UnixPath(link));
  for (int i = 0; i < 100 && GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) Sleep(50);
}

}  // namespace

TEST(FolderScan, RealTreeWithAttributesAndJapaneseNames) {
  TempDir t;
  const std::string r = t.Path() + "\\";
  tarn::test::MakeDirs(r + "sub\\deep");
  tarn::test::MakeDirs(r + "hid");
  tarn::test::MakeDirs(r + "ソフト表\\能");
  Touch(r + "a.EXE");
  Touch(r + "noext");
  Touch(r + "b.x.y.exe");
  Touch(r + "hidden.exe", FILE_ATTRIBUTE_HIDDEN);
  Touch(r + "tmp.exe", FILE_ATTRIBUTE_TEMPORARY);
  Touch(r + "sys.exe", FILE_ATTRIBUTE_SYSTEM);
  Touch(r + "sub\\s.exe");
  Touch(r + "sub\\deep\\d.lnk");
  Touch(r + "hid\\h.exe");
  Touch(r + "ソフト表\\表.exe");
  Touch(r + "ソフト表\\能\\十.txt");
  ASSERT_TRUE(SetFileAttributesA((r + "hid").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  // Not every file system keeps the temporary attribute; a file without it
  // is an ordinary candidate.
  const bool tmpKept = (GetFileAttributesA((r + "tmp.exe").c_str()) & FILE_ATTRIBUTE_TEMPORARY) != 0;

  std::set<std::string> all = {r + "a.EXE",         r + "noext",          r + "b.x.y.exe",
                                     r + "sys.exe",       r + "sub\\s.exe",     r + "sub\\deep\\d.lnk",
                                     r + "hid\\h.exe",    r + "ソフト表\\表.exe", r + "ソフト表\\能\\十.txt"};
  if (!tmpKept) all.insert(r + "tmp.exe");
  PathList got = Walk(t.Path(), "*.*", true);
  EXPECT_EQ(std::set<std::string>(got.begin(), got.end()), all);
  EXPECT_EQ(got.size(), all.size());
  ExpectSubfoldersFirst(got);

  // Upper-case patterns, no subfolders, a folder given with its separator.
  PathList flat = Walk(r, "*.EXE;*.LNK", false);
  std::sort(flat.begin(), flat.end());
  PathList flatWant = {r + "a.EXE", r + "b.x.y.exe", r + "sys.exe"};
  if (!tmpKept) flatWant.push_back(r + "tmp.exe");
  EXPECT_EQ(flat, flatWant);

  // Folders ending in a 5C trail byte get their separator.
  EXPECT_EQ(Walk(r + "ソフト表", "*.exe", false), PathList{r + "ソフト表\\表.exe"});
  EXPECT_EQ(Walk(r + "ソフト表\\能", "*.TXT", true), PathList{r + "ソフト表\\能\\十.txt"});
  EXPECT_EQ(Walk(r + "ソフト表", "*.txt", true), PathList{r + "ソフト表\\能\\十.txt"});

  EXPECT_TRUE(Walk(r + "missing", "*.*", true).empty());
}

TEST(FolderScan, MatchesLikeTheShell) {
  struct Case { const char* path; const char* patterns; };
  const Case cases[] = {
      {"C:\\a\\FOO.EXE", "*.exe"},       {"C:\\a\\foo.exe", "*.COM;*.EXE"}, {"C:\\a\\foo.exe.txt", "*.exe"},
      {"C:\\a\\foo", "*.exe"},           {"C:\\a\\b.txt", "txt"},          {"C:\\a\\b.txt", "*.exe; *.txt"},
      {"C:\\a\\b.txt", "*.t?t"},         {"C:\\a\\b.tt", "*.t?t"},         {"C:\\a\\b.tar.gz", "*.gz"},
      {"C:\\ソフト表\\x.exe", "*表\\x.exe"}, {"C:\\表\\x.EXE", "*.exe"},       {"C:\\a\\b.txt", "*.exe;"},
      {"C:\\aaa\\baaab", "*a*b"},        {"C:\\a\\b", "C:\\A\\?"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchSpec(c.path, c.patterns), PathMatchSpecA(c.path, c.patterns) != FALSE)
        << c.path << " ~ " << c.patterns;
  }
}

TEST(FolderScan, PathDirectoriesAndPatterns) {
  EnvGuard path("PATH"), pathext("PATHEXT");
  TempDir t;
  const std::string a = t / "A", b = t / "B";
  tarn::test::MakeDirs(a + "\\sub");
  tarn::test::MakeDirs(b);
  Touch(a + "\\x.exe");
  Touch(a + "\\y.CMD");
  Touch(a + "\\z.txt");
  Touch(a + "\\sub\\deep.exe");
  Touch(b + "\\w.bat");

  ASSERT_TRUE(SetEnvironmentVariableA("PATH", (a + ";;" + b + ";" + a + ";").c_str()));
  ASSERT_TRUE(SetEnvironmentVariableA("PATHEXT", nullptr));
  PathList dirs;
  ASSERT_TRUE(GetPathDirs(dirs));
  EXPECT_EQ(dirs, (PathList{a, b, a}));
  EXPECT_EQ(GetExecPatterns(), "*.COM;*.EXE;*.BAT;*.CMD");

  CollectSettings s;
  s.SrchDirFlg = {false, false, true, false, false, false, true};
  PathList out;
  CWin32WalkHost host(nullptr);
  RunCollection(PlanPass(s), out, host);
  // The same directory twice gives its files twice; never its subfolders.
  ASSERT_EQ(out.size(), 5u);
  std::vector<std::string> firstA(out.begin(), out.begin() + 2), lastA(out.begin() + 3, out.end());
  std::sort(firstA.begin(), firstA.end());
  EXPECT_EQ(firstA, (std::vector<std::string>{a + "\\x.exe", a + "\\y.CMD"}));
  EXPECT_EQ(out[2], b + "\\w.bat");
  std::sort(lastA.begin(), lastA.end());
  EXPECT_EQ(lastA, firstA);

  ASSERT_TRUE(SetEnvironmentVariableA("PATHEXT", ".TXT"));
  EXPECT_EQ(GetExecPatterns(), "*.TXT");
  ASSERT_TRUE(SetEnvironmentVariableA("PATH", ""));
  EXPECT_FALSE(GetPathDirs(dirs));
  EXPECT_TRUE(dirs.empty());
}

TEST(FolderScan, ShellFoldersAndVersion) {
  EXPECT_TRUE(IsNtFamily());
  std::vector<SpecialFolder> folders;
  ASSERT_TRUE(GetSpecialFolders(folders));
  ASSERT_EQ(folders.size(), 6u);
  const CollectSource order[] = {CollectSource::DeskTop,   CollectSource::NtCom,    CollectSource::StartMenu,
                                 CollectSource::NtCom,     CollectSource::Favorites, CollectSource::Recent};
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(folders[i].Source, order[i]);
    EXPECT_TRUE(PathIsDirectoryA(folders[i].Path.c_str())) << folders[i].Path;
  }
}

TEST(FolderScan, ShellFolderThatCannotBeLocatedIsLeftOut) {
  using S = CollectSource;
  std::vector<SpecialFolder> folders;
  ASSERT_TRUE(ResolveSpecialFolders({{0x7F, S::DeskTop, S::None}, {0x0B, S::StartMenu, S::None}}, folders));
  ASSERT_EQ(folders.size(), 1u);
  EXPECT_EQ(folders[0].Source, S::StartMenu);
  // None at all: the pass goes on with PATH and the user folders.
  ASSERT_TRUE(ResolveSpecialFolders({{0x7F, S::DeskTop, S::None}, {0x7E, S::Recent, S::None}}, folders));
  EXPECT_TRUE(folders.empty());
  TempDir t;
  Touch(t / "u.exe");
  CollectSettings s;
  s.SrchDirFlg = {true, true, true, true, true, true, false};
  s.AnyDirs = {t.Path()};
  PathList out;
  CWin32WalkHost host(nullptr);
  RunCollection(PlanCollection(s, folders, {}, "*.EXE", true), out, host);
  EXPECT_EQ(out, PathList{t / "u.exe"});
}

TEST(FolderScan, LongPathsAreLeftOut) {
  TempDir t;
  // A folder whose listing pattern still fits, holding names that make
  // paths of 259 and 260 bytes.
  std::string dir = t.Path();
  while (dir.size() < 200) dir += "\\" + std::string(std::min<std::size_t>(40, 200 - dir.size()), 'd');
  tarn::test::MakeDirs(dir);
  const std::string base = dir + "\\";
  std::string fits = base + std::string(kMaxPathBytes - base.size(), 'f');
  std::string over = base + std::string(kMaxPathBytes + 1 - base.size(), 'o');
  for (const std::string& p : {fits, over}) {
    std::wstring w = L"\\\\?\\";
    wchar_t buf[600];
    int n = MultiByteToWideChar(CP_ACP, 0, p.c_str(), -1, buf, 600);
    ASSERT_GT(n, 0);
    w += buf;
    HANDLE h = CreateFileW(w.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << p.size();
    CloseHandle(h);
  }
  EXPECT_EQ(Walk(t.Path(), "*.*", true), PathList{fits});
}

TEST(FolderScan, FolderLinkLoopEnds) {
  TempDir t;
  const std::string r = t.Path() + "\\";
  tarn::test::MakeDirs(r + "a\\b");
  tarn::test::MakeDirs(r + "elsewhere");
  Touch(r + "top.exe");
  Touch(r + "a\\b\\in.exe");
  Touch(r + "elsewhere\\e.exe");
  if (!MakeFolderLink(t.Path(), r + "a\\b\\up") || !MakeFolderLink(t.Path(), r + "a\\up2")) {
    GTEST_SKIP() << "no folder link could be made here";
  }
  ASSERT_TRUE(MakeFolderLink(r + "elsewhere", r + "a\\side"));
  PathList got = Walk(t.Path(), "*.exe", true);
  RemoveFolderLink(r + "a\\b\\up");
  RemoveFolderLink(r + "a\\up2");
  RemoveFolderLink(r + "a\\side");
  // The loops are cut where they lead back; the side link is followed.
  std::multiset<std::string> want = {r + "top.exe", r + "a\\b\\in.exe", r + "elsewhere\\e.exe",
                                     r + "a\\side\\e.exe"};
  EXPECT_EQ(std::multiset<std::string>(got.begin(), got.end()), want);
  ExpectSubfoldersFirst(got);
}

TEST(FolderScan, CacheFileWriter) {
  TempDir t;
  const std::string file = t / "apppaths.tmp";
  {
    CCacheFileWriter w(file);
    ASSERT_TRUE(w.Good());
    std::string expect;
    for (int i = 0; i < 5000; ++i) {  // more than one buffer
      std::string p = "C:\\ソフト表\\" + std::to_string(i) + ".exe";
      w.Write(p);
      AppendCacheLine(expect, p);
    }
    ASSERT_TRUE(w.Finish());
    std::string bytes;
    ASSERT_TRUE(tarn::test::ReadFileBytes(file, &bytes));
    EXPECT_EQ(bytes, expect);
  }
  CCacheFileWriter bad(t / "missing\\apppaths.tmp");
  EXPECT_FALSE(bad.Good());
  bad.Write("C:\\x");
  EXPECT_FALSE(bad.Finish());
}
