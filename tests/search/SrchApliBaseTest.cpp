#include "search/SrchApliBase.h"

#include <objbase.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

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

template <class List>
std::vector<std::string> NamesOf(const List& list) {
  std::vector<std::string> names;
  for (const AppEntry& e : list) names.push_back(e.DispName);
  return names;
}

}  // namespace

TEST_F(ShellTest, AppendEntriesNamesRealFiles) {
  MakeDirs(temp / "Apps");
  struct Case { std::string file; bool create; std::set<std::string> names; };
  // The shell may or may not hide extensions: both outcomes are right.
  const Case cases[] = {
      {"Foo 2.0.exe", true, {"Foo 2.0", "Foo 2"}},
      {"メモ帳.txt", true, {"メモ帳"}},
      {"表計算.exe", true, {"表計算"}},        // ends in a 5C trail byte
      {"ｶﾞｲﾄﾞ.exe", true, {"ｶﾞｲﾄﾞ"}},
      {"noext", true, {"noext"}},
      {"ghost.exe", false, {"ghost"}},          // no such file: the path names it
      {"Sub.d\\", false, {"Sub.d", "Sub"}},     // a folder: only the shell names it
      {"Tool.lnk", true, {"Tool"}},
      {"Site.url", true, {"Site"}},
      {"a.b.c.exe", true, {"a.b.c", "a.b"}},
      {"Loc\\real.exe", true, {"real", "別名"}},  // renamed by the folder's desktop.ini
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
  AppEntryList list = {{"kept", "C:\\kept.exe", 9}};
  ASSERT_TRUE(AppendEntries(list, paths));
  ASSERT_EQ(list.size(), paths.size() + 1);
  EXPECT_EQ(list[0].DispName, "kept");
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const AppEntry& e = list[i + 1];
    EXPECT_TRUE(cases[i].names.count(e.DispName)) << cases[i].file << " -> " << e.DispName;
    EXPECT_EQ(e.FullPath, paths[i]);
    EXPECT_EQ(e.ListIndex, static_cast<int32_t>(i));
  }
  // The cheaper questions give the shell's full answer on every file.
  const tarn::PathViews views(paths.begin(), paths.end());
  const AppEntryList chosen = tarn::NameEntries(views, tarn::CNameMemory(), ShellNameSource(), false);
  for (std::size_t i = 0; i < paths.size(); ++i) EXPECT_EQ(chosen[i].DispName, list[i + 1].DispName) << paths[i];

  EXPECT_FALSE(AppendEntries(list, {}));
  EXPECT_EQ(list.size(), paths.size() + 1);
}

class StoreTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    MakeDirs(temp / "Apps");
    for (const char* file : {"Excel.exe", "Index.exe", "Excel 2003.exe", "ｶﾞｲﾄﾞ.txt", "表計算.exe"}) {
      paths.push_back(temp / (std::string("Apps\\") + file));
      WriteFileBytes(paths.back(), "MZ");
    }
    paths.push_back(paths[0]);  // collected twice
    store = new CSrchApliBase(nullptr, temp.Path() + "\\");
    ASSERT_TRUE(store->ApplyCollected(new PathList(paths)));
  }
  void TearDown() override {
    delete store;
    ShellTest::TearDown();
  }

  std::vector<std::string> Search(const std::string& word) {
    EXPECT_TRUE(store->Search(word)) << word;
    return NamesOf(store->GetMatchList());
  }

  PathList paths;
  CSrchApliBase* store = nullptr;
};

TEST_F(StoreTest, SearchesAppliedCandidates) {
  using V = std::vector<std::string>;
  EXPECT_EQ(store->GetAllCount(), 6);

  EXPECT_EQ(Search("").size(), 6u);
  const MatchList& all = store->GetMatchList();
  for (std::size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(all[i].FullPath, paths[i]);
    EXPECT_EQ(all[i].ListIndex, static_cast<int32_t>(i));
  }

  struct Case { std::string word; V names; };
  const Case cases[] = {
      {"^ex", {"Excel", "Excel 2003", "Excel"}},
      {"\\EXCEL", {"Excel", "Excel"}},
      {"*xl", {"Excel", "Excel 2003", "Excel"}},
      {"03$", {"Excel 2003"}},
      {"ガイド", {"ｶﾞｲﾄﾞ"}},
      {"計算", {"表計算"}},
      {"apps", {}},  // only in the folder of every path
  };
  for (const Case& c : cases) EXPECT_EQ(Search(c.word), c.names) << c.word;
}

TEST_F(StoreTest, RefusedAndModeOnlyWordsKeepTheMatches) {
  const std::vector<std::string> excel = Search("excel");
  ASSERT_EQ(excel.size(), 3u);

  for (const char* word : {"^", "\\", "*", "$"}) {
    EXPECT_TRUE(store->Search(word)) << word;
    EXPECT_EQ(NamesOf(store->GetMatchList()), excel) << word;
  }

  const std::string refused(260, 'e');
  EXPECT_FALSE(store->Search(refused));
  EXPECT_FALSE(store->Search(refused.c_str()));
  EXPECT_EQ(NamesOf(store->GetMatchList()), excel);

  EXPECT_TRUE(store->Search(std::string(259, 'e')));
  EXPECT_TRUE(store->GetMatchList().empty());

  EXPECT_TRUE(store->Search(static_cast<const char*>(nullptr)));
  EXPECT_EQ(store->GetMatchList().size(), 6u);
}

TEST_F(StoreTest, NewCollectionReplacesCandidates) {
  Search("");
  ASSERT_TRUE(store->ApplyCollected(new PathList{paths[1]}));
  EXPECT_EQ(store->GetAllCount(), 1);
  EXPECT_EQ(Search("in"), std::vector<std::string>{"Index"});
  EXPECT_EQ(Search("excel"), std::vector<std::string>{});
}
