// The folder walk on real folder trees: listings, attributes, Japanese
// names, PATH, shell folders, folder links and the cache file writer.
#include "search/FolderScan.h"

#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

#include "support/TestSupport.h"

using namespace tarn;
using tarn::test::TempDir;

namespace {

void Touch(const std::string& path) { tarn::test::WriteFileBytes(path, "x"); }

PathList Walk(const std::string& folder, const std::string& patterns, bool recursive) {
  PathList out;
  CWin32WalkHost host(nullptr);
  ScanFolder(folder, patterns, out, host, recursive);
  std::sort(out.begin(), out.end());
  return out;
}

// Runs a command of the host system (Wine starts its programs too), which
// cannot be waited for: waits until done() holds.
bool OnHost(const std::string& command, const std::function<bool()>& done) {
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  std::string line = "/bin/sh -c \"" + command + "\"";
  if (!CreateProcessA("/bin/sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  for (int i = 0; i < 100 && !done(); ++i) Sleep(50);
  return done();
}

// The host's name of a path of ours.
std::string UnixPath(const std::string& winPath) {
  using Fn = char*(CDECL*)(LPCWSTR);
  auto fn = reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  wchar_t w[1024];
  if (!fn || !MultiByteToWideChar(CP_ACP, 0, winPath.c_str(), -1, w, 1024)) return {};
  char* u = fn(w);
  std::string s = u ? u : "";
  if (u) HeapFree(GetProcessHeap(), 0, u);
  return s;
}

}  // namespace

TEST(FolderScan, RealTreeWithAttributesAndJapaneseNames) {
  TempDir t;
  const std::string r = t.Path() + "\\";
  tarn::test::MakeDirs(r + "sub\\deep");
  tarn::test::MakeDirs(r + "hid");
  tarn::test::MakeDirs(r + "ソフト表\\能");
  for (const char* f : {"a.EXE", "noext", "b.x.y.exe", "sub\\s.exe", "sub\\deep\\d.lnk", "hid\\h.exe",
                        "ソフト表\\表.exe", "ソフト表\\能\\十.txt", "hidden.exe", "sys.exe"})
    Touch(r + f);
  ASSERT_TRUE(SetFileAttributesA((r + "hidden.exe").c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(SetFileAttributesA((r + "sys.exe").c_str(), FILE_ATTRIBUTE_SYSTEM));
  ASSERT_TRUE(SetFileAttributesA((r + "hid").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  EXPECT_EQ(Walk(t.Path(), "*.*", true),
            (PathList{r + "a.EXE", r + "b.x.y.exe", r + "hid\\h.exe", r + "noext", r + "sub\\deep\\d.lnk",
                      r + "sub\\s.exe", r + "sys.exe", r + "ソフト表\\能\\十.txt", r + "ソフト表\\表.exe"}));
  EXPECT_EQ(Walk(r, "*.EXE;*.LNK", false), (PathList{r + "a.EXE", r + "b.x.y.exe", r + "sys.exe"}));
  EXPECT_EQ(Walk(r + "ソフト表", "*.txt", true), PathList{r + "ソフト表\\能\\十.txt"});
  EXPECT_TRUE(Walk(r + "missing", "*.*", true).empty());
}

TEST(FolderScan, PathDirectoriesAndPatterns) {
  struct Restore {
    const char* name;
    std::string value = GetEnvVar(name);
    ~Restore() { SetEnvironmentVariableA(name, value.empty() ? nullptr : value.c_str()); }
  } path{"PATH"}, pathext{"PATHEXT"};
  TempDir t;
  const std::string a = t / "A", b = t / "B";
  tarn::test::MakeDirs(a + "\\sub");
  tarn::test::MakeDirs(b);
  for (const std::string& f : {a + "\\x.exe", a + "\\y.CMD", a + "\\z.txt", a + "\\sub\\deep.exe", b + "\\w.bat"})
    Touch(f);
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
  std::sort(out.begin(), out.begin() + 2);
  std::sort(out.begin() + 3, out.end());
  EXPECT_EQ(out, (PathList{a + "\\x.exe", a + "\\y.CMD", b + "\\w.bat", a + "\\x.exe", a + "\\y.CMD"}));
  ASSERT_TRUE(SetEnvironmentVariableA("PATHEXT", ".TXT"));
  EXPECT_EQ(GetExecPatterns(), "*.TXT");
  ASSERT_TRUE(SetEnvironmentVariableA("PATH", ""));
  EXPECT_FALSE(GetPathDirs(dirs));
}

TEST(FolderScan, ShellFoldersAndOnesThatCannotBeLocated) {
  using S = CollectSource;
  EXPECT_TRUE(IsNtFamily());
  std::vector<SpecialFolder> folders;
  ASSERT_TRUE(GetSpecialFolders(folders));
  const S order[] = {S::DeskTop, S::NtCom, S::StartMenu, S::NtCom, S::Favorites, S::Recent};
  ASSERT_EQ(folders.size(), std::size(order));
  for (std::size_t i = 0; i < folders.size(); ++i) {
    EXPECT_EQ(folders[i].Source, order[i]);
    EXPECT_TRUE(PathIsDirectoryA(folders[i].Path.c_str())) << folders[i].Path;
  }
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

TEST(FolderScan, FolderLinkLoopEnds) {
  TempDir t;
  const std::string r = t.Path() + "\\";
  tarn::test::MakeDirs(r + "a\\b");
  tarn::test::MakeDirs(r + "elsewhere");
  for (const char* f : {"top.exe", "a\\b\\in.exe", "elsewhere\\e.exe"}) Touch(r + f);
  // Two links back into the walk and one to a folder beside it, made by the host.
  const std::string links[][2] = {
      {t.Path(), r + "a\\b\\up"}, {t.Path(), r + "a\\up2"}, {r + "elsewhere", r + "a\\side"}};
  std::string make = "true", remove = "rm -f";
  for (const auto& [target, link] : links) {
    make += " && ln -s " + UnixPath(target) + " " + UnixPath(link);
    remove += " " + UnixPath(link);
  }
  auto linked = [&] {
    return std::all_of(std::begin(links), std::end(links), [](auto& l) { return PathIsDirectoryA(l[1].c_str()); });
  };
  if (!OnHost(make, linked)) GTEST_SKIP() << "no folder link could be made here";
  const PathList got = Walk(t.Path(), "*.exe", true);
  ASSERT_TRUE(OnHost(remove, [&] { return !tarn::test::FileExists(r + "a\\side"); }));
  // The loops are cut where they lead back; the side link is followed.
  EXPECT_EQ(got, (PathList{r + "a\\b\\in.exe", r + "a\\side\\e.exe", r + "elsewhere\\e.exe", r + "top.exe"}));
}

TEST(FolderScan, CacheFileWriter) {
  TempDir t;
  const std::string file = t / "apppaths.tmp";
  CCacheFileWriter w(file);
  ASSERT_TRUE(w.Good());
  std::string expect;
  for (int i = 0; i < 5000; ++i) {  // more than one buffer
    const std::string p = "C:\\ソフト表\\" + std::to_string(i) + ".exe";
    w.Write(p);
    AppendCacheLine(expect, p);
  }
  ASSERT_TRUE(w.Finish());
  std::string bytes;
  ASSERT_TRUE(tarn::test::ReadFileBytes(file, &bytes));
  EXPECT_EQ(bytes, expect);
  CCacheFileWriter bad(t / "missing\\apppaths.tmp");
  EXPECT_FALSE(bad.Good());
  bad.Write("C:\\x");
  EXPECT_FALSE(bad.Finish());
}
