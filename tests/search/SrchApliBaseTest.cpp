#include "search/SrchApliBase.h"

#include <objbase.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "search/AppEntries.h"
#include "search/DisplayNames.h"
#include "support/TestSupport.h"

using namespace tarn::test;

namespace {

// Display names come from the shell, which wants COM on the calling thread.
class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  void TearDown() override { CoUninitialize(); }

  TempDir temp;
};

std::vector<std::string> NamesOf(const MatchList& list) {
  std::vector<std::string> names;
  for (const AppEntry& e : list) names.push_back(e.DispName);
  return names;
}

}  // namespace

TEST_F(ShellTest, RealFilesGetTheShellsFullNameTheCheapestWay) {
  struct Case { std::string file; bool create; std::set<std::string> names; };
  // The shell may or may not hide extensions: both outcomes are right.
  const Case cases[] = {
      {"Foo 2.0.exe", true, {"Foo 2.0", "Foo 2"}}, {"メモ帳.txt", true, {"メモ帳"}},
      {"表計算.exe", true, {"表計算"}},  // ends in a 5C trail byte
      {"ｶﾞｲﾄﾞ.exe", true, {"ｶﾞｲﾄﾞ"}}, {"noext", true, {"noext"}},
      {"ghost.exe", false, {"ghost"}},       // no such file: the path names it
      {"Sub.d\\", false, {"Sub.d", "Sub"}},  // a folder: only the shell names it
      {"Tool.lnk", true, {"Tool"}},          {"Site.url", true, {"Site"}},
      {"a.b.c.exe", true, {"a.b.c", "a.b"}}, {"Loc\\real.exe", true, {"real", "別名"}},  // renamed by desktop.ini
  };
  MakeDirs(temp / "Apps\\Sub.d");
  MakeDirs(temp / "Apps\\Loc");
  WriteFileBytes(temp / "Apps\\Loc\\desktop.ini", "[LocalizedFileNames]\r\nreal.exe=別名.exe\r\n");
  SetFileAttributesA((temp / "Apps\\Loc\\desktop.ini").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  SetFileAttributesA((temp / "Apps\\Loc").c_str(), FILE_ATTRIBUTE_SYSTEM);
  PathList paths;
  for (const Case& c : cases) {
    paths.push_back(temp / ("Apps\\" + c.file));
    if (c.create) WriteFileBytes(paths.back(), "MZ");
  }
  const AppEntryList named =
      tarn::NameEntries(tarn::PathViews(paths.begin(), paths.end()), tarn::CNameMemory(), ShellNameSource(), false);
  ASSERT_EQ(named.size(), paths.size());
  for (std::size_t i = 0; i < paths.size(); ++i) {
    std::string full;
    const bool shellNamed = ShellNameSource().FullName(paths[i], full) && !full.empty();
    EXPECT_EQ(named[i].DispName, tarn::DispNameOf(shellNamed ? full : paths[i])) << paths[i];
    EXPECT_TRUE(cases[i].names.count(named[i].DispName)) << cases[i].file << " -> " << named[i].DispName;
  }
}

TEST_F(ShellTest, StoreSearchesTheAppliedCandidates) {
  PathList paths;
  MakeDirs(temp / "Apps");
  for (const char* file : {"Excel.exe", "Index.exe", "Excel 2003.exe", "ｶﾞｲﾄﾞ.txt", "表計算.exe"}) {
    paths.push_back(temp / (std::string("Apps\\") + file));
    WriteFileBytes(paths.back(), "MZ");
  }
  paths.push_back(paths[0]);  // collected twice
  CSrchApliBase store(nullptr, temp.Path() + "\\");
  ASSERT_TRUE(store.ApplyCollected(new PathList(paths)));
  EXPECT_EQ(store.GetAllCount(), 6);
  ASSERT_TRUE(store.Search(""));
  ASSERT_EQ(store.GetMatchList().size(), 6u);
  for (std::size_t i = 0; i < paths.size(); ++i) {
    EXPECT_EQ(store.GetMatchList()[i].FullPath, paths[i]);
    EXPECT_EQ(store.GetMatchList()[i].ListIndex, static_cast<int32_t>(i));
  }
  using V = std::vector<std::string>;
  const std::pair<std::string, V> cases[] = {
      {"\\EXCEL", {"Excel", "Excel"}}, {"ガイド", {"ｶﾞｲﾄﾞ"}}, {"計算", {"表計算"}}, {"apps", {}},  // not the folder
      {"excel", {"Excel", "Excel 2003", "Excel"}},
  };
  for (const auto& [word, names] : cases) {
    EXPECT_TRUE(store.Search(word)) << word;
    EXPECT_EQ(NamesOf(store.GetMatchList()), names) << word;
  }
  // A mode character alone or a word too long for the box keeps the matches.
  for (const std::string& word : {std::string("^"), std::string("\\"), std::string("*"), std::string("$"), std::string(260, 'e')}) {
    EXPECT_EQ(store.Search(word), word.size() < 260) << word;
    EXPECT_EQ(NamesOf(store.GetMatchList()), cases[4].second) << word;
  }
  EXPECT_FALSE(store.Search(std::string(260, 'e').c_str()));
  EXPECT_TRUE(store.Search(std::string(259, 'e')));
  EXPECT_TRUE(store.GetMatchList().empty());
  EXPECT_TRUE(store.Search(static_cast<const char*>(nullptr)));
  EXPECT_EQ(store.GetMatchList().size(), 6u);
  // A new collection replaces the candidates as a whole.
  ASSERT_TRUE(store.ApplyCollected(new PathList{paths[1]}));
  EXPECT_EQ(store.GetAllCount(), 1);
  EXPECT_TRUE(store.Search("e"));
  EXPECT_EQ(NamesOf(store.GetMatchList()), V{"Index"});
}
