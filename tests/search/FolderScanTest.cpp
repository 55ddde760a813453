// The folder walk on real folder trees: listings, attributes, Japanese
// names, PATH, shell folders, folder links and the cache file writer.
#include "search/FolderScan.h"

#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

#include "search/DisplayNames.h"
#include "search/SrchApliBase.h"
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

// Runs a shell command of the host (Wine starts its programs too), which
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

// The host's name of a folder of ours.
std::string UnixPath(const std::string& winPath) {
  auto fn = reinterpret_cast<char*(CDECL*)(LPCWSTR)>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  wchar_t w[1024];
  char* u = fn && MultiByteToWideChar(CP_ACP, 0, winPath.c_str(), -1, w, 1024) ? fn(w) : nullptr;
  std::string s = u ? u : "";
  if (u) HeapFree(GetProcessHeap(), 0, u);
  return s;
}

}  // namespace

TEST(FolderScan, RealTreeWithAttributesAndJapaneseNames) {
  TempDir t;
  const std::string r = t.Path() + "\\";
  tarn::test::MakeDirs(r + "hid");
  tarn::test::MakeDirs(r + "ソフト表\\能");
  for (const char* f : {"a.EXE", "noext", "hid\\h.exe", "ソフト表\\能\\十.txt", "hidden.exe", "sys.exe"}) Touch(r + f);
  ASSERT_TRUE(SetFileAttributesA((r + "hidden.exe").c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(SetFileAttributesA((r + "sys.exe").c_str(), FILE_ATTRIBUTE_SYSTEM));
  ASSERT_TRUE(SetFileAttributesA((r + "hid").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  EXPECT_EQ(Walk(t.Path(), "*.*", true),
            (PathList{r + "a.EXE", r + "hid\\h.exe", r + "noext", r + "sys.exe", r + "ソフト表\\能\\十.txt"}));
  EXPECT_TRUE(Walk(r + "missing", "*.*", true).empty());
  // Names code page 932 cannot spell come by their short names, which open,
  // and the shell names them by their long ones.
  const std::wstring w = std::wstring(r.begin(), r.end()) + L"u\\";  // the temporary folder is ASCII here
  CreateDirectoryW(w.c_str(), nullptr);
  CreateDirectoryW((w + L"Sub\u00e9 dir").c_str(), nullptr);
  for (const wchar_t* f : {L"caf\u00e9 tool.exe", L"x\U0001F600.lnk", L"wave\u301c.txt", L"m\u2212.txt", L"Sub\u00e9 dir\\in.exe"})
    CloseHandle(CreateFileW((w + f).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  std::string sub;  // a shell folder so named is walked by its short name
  EXPECT_TRUE(AnsiPathOf((w + L"Sub\u00e9 dir").c_str(), sub) && PathIsDirectoryA(sub.c_str())) << sub;
  const PathList odd = Walk(r + "u", "*.*", true);
  ASSERT_EQ(odd.size(), 5u);
  const AppEntryList named = NameEntries(PathViews(odd.begin(), odd.end()), CNameMemory(), ShellNameSource(), false);
  for (const AppEntry& e : named) {
    EXPECT_NE(GetFileAttributesA(e.FullPath.c_str()), INVALID_FILE_ATTRIBUTES) << e.FullPath;
    EXPECT_EQ(e.DispName.find('~'), std::string::npos) << e.FullPath << " -> " << e.DispName;
  }
}

TEST(FolderScan, PathAndShellFoldersFound) {
  struct Restore {
    const char* name;
    std::string value = GetEnvVar(name);
    ~Restore() { SetEnvironmentVariableA(name, value.empty() ? nullptr : value.c_str()); }
  } path{"PATH"}, pathext{"PATHEXT"}, var{"TARN_B"};
  TempDir t;
  const std::string a = t / "A", b = t / "B";
  tarn::test::MakeDirs(a + "\\sub");
  tarn::test::MakeDirs(b);
  for (const std::string& f : {a + "\\x.exe", a + "\\y.CMD", a + "\\z.txt", a + "\\sub\\deep.exe", b + "\\w.bat"})
    Touch(f);
  // Quoted, and through a variable, as installers write them.
  ASSERT_TRUE(SetEnvironmentVariableA("TARN_B", b.c_str()));
  ASSERT_TRUE(SetEnvironmentVariableA("PATH", ("\"" + a + "\";;%TARN_B%;" + a + ";").c_str()));
  ASSERT_TRUE(SetEnvironmentVariableA("PATHEXT", nullptr));
  CollectSettings s;
  s.SrchDirFlg = {false, false, true, false, false, false, true};
  PathList out;
  CWin32WalkHost host(nullptr);
  RunCollection(PlanPass(s), out, host);
  // The same directory twice gives its files twice; never its subfolders;
  // the patterns are the default ones while PATHEXT is not set.
  ASSERT_EQ(out.size(), 5u);
  std::sort(out.begin(), out.begin() + 2);
  std::sort(out.begin() + 3, out.end());
  EXPECT_EQ(out, (PathList{a + "\\x.exe", a + "\\y.CMD", b + "\\w.bat", a + "\\x.exe", a + "\\y.CMD"}));
  ASSERT_TRUE(SetEnvironmentVariableA("PATHEXT", ".TXT"));
  EXPECT_EQ(GetExecPatterns(), "*.TXT");
  ASSERT_TRUE(SetEnvironmentVariableA("PATH", ""));
  PathList dirs;
  EXPECT_FALSE(GetPathDirs(dirs));
  // Shell folders, in order; those that cannot be located are left out.
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
  ASSERT_TRUE(ResolveSpecialFolders({{0x7F, S::DeskTop, S::None}, {0x7E, S::Recent, S::None}}, folders));
  EXPECT_TRUE(folders.empty());
}

TEST(FolderScan, FolderLinkLoopEnds) {
  TempDir t;
  const std::string r = t.Path() + "\\";
  tarn::test::MakeDirs(r + "a\\b");
  tarn::test::MakeDirs(r + "elsewhere");
  for (const char* f : {"top.exe", "a\\b\\in.exe", "elsewhere\\e.exe"}) Touch(r + f);
  // Two links back into the walk and one to a folder beside it, made by the host.
  const std::string u = UnixPath(t.Path());
  const std::string links[][2] = {{".", "a/b/up"}, {".", "a/up2"}, {"elsewhere", "a/side"}};
  std::string make = "true", remove = "rm -f";
  for (const auto& [target, link] : links) {
    make += " && ln -s " + u + "/" + target + " " + u + "/" + link;  // in order: the last one made shows all are
    remove += " " + u + "/" + link;
  }
  if (u.empty() || !OnHost(make, [&] { return PathIsDirectoryA((r + "a\\side").c_str()); }))
    GTEST_SKIP() << "no folder link could be made here";
  const PathList got = Walk(t.Path(), "*.exe", true);
  ASSERT_TRUE(OnHost(remove, [&] { return !tarn::test::FileExists(r + "a\\side"); }));
  // The loops are cut where they lead back; the side link is followed.
  EXPECT_EQ(got, (PathList{r + "a\\b\\in.exe", r + "a\\side\\e.exe", r + "elsewhere\\e.exe", r + "top.exe"}));
}

TEST(FolderScan, CacheFileWriter) {
  TempDir t;
  CCacheFileWriter w(t / "apppaths.tmp");
  std::string expect;
  for (int i = 0; i < 5000; ++i) {  // more than one buffer
    const std::string p = "C:\\ソフト表\\" + std::to_string(i) + ".exe";
    w.Write(p);
    AppendCacheLine(expect, p);
  }
  ASSERT_TRUE(w.Good() && w.Finish());
  std::string bytes;
  ASSERT_TRUE(tarn::test::ReadFileBytes(t / "apppaths.tmp", &bytes));
  EXPECT_EQ(bytes, expect);
  CCacheFileWriter bad(t / "missing\\apppaths.tmp");
  bad.Write("C:\\x");
  EXPECT_FALSE(bad.Good() || bad.Finish());
}
