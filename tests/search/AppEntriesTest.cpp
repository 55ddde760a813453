#include "search/AppEntries.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace tarn;

TEST(DispNameOf, CutsFolderAndLastExtension) {
  struct Case { std::string shown; std::string name; };
  const Case cases[] = {
      {"Foo 2.0", "Foo 2"},
      {"Foo 2.0.exe", "Foo 2.0"},
      {"D:\\Tools\\edit.exe", "edit"},
      {"C:/a/b.txt", "b"},
      {"C:\\表\\ソフト表.exe", "ソフト表"},    // 5C trail bytes are no separators
      {"表.txt", "表"},
      {"メモ帳", "メモ帳"},
      {"noext", "noext"},
      {".profile", ".profile"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(DispNameOf(c.shown), c.name) << c.shown;
}

TEST(AppendEntriesWith, OneRecordPerPathInOrder) {
  const std::map<std::string, std::string> shell = {
      {"C:\\a\\Foo 2.0.exe", "Foo 2.0"},
      {"C:\\a\\blank.exe", ""},
  };
  auto source = [&](const std::string& path, std::string& name) {
    auto it = shell.find(path);
    if (it == shell.end()) return false;
    name = it->second;
    return true;
  };
  AppEntryList target = {{"old", "C:\\old.exe", 7}};
  const PathList paths = {"C:\\a\\Foo 2.0.exe", "C:\\a\\blank.exe", "D:\\Tools\\edit.exe", "C:\\a\\Foo 2.0.exe"};
  ASSERT_TRUE(AppendEntriesWith(target, paths, source));
  const AppEntryList want = {
      {"old", "C:\\old.exe", 7},
      {"Foo 2", "C:\\a\\Foo 2.0.exe", 0},
      {"blank", "C:\\a\\blank.exe", 1},    // empty display name: the path's own
      {"edit", "D:\\Tools\\edit.exe", 2},  // no display name
      {"Foo 2", "C:\\a\\Foo 2.0.exe", 3},
  };
  EXPECT_EQ(target, want);
}

TEST(AppendEntriesWith, EmptyPathListAppendsNothing) {
  AppEntryList target = {{"old", "C:\\old.exe", 0}};
  EXPECT_FALSE(AppendEntriesWith(target, {}, nullptr));
  EXPECT_EQ(target.size(), 1u);
  EXPECT_TRUE(AppendEntriesWith(target, {"C:\\x.lnk"}, nullptr));
  EXPECT_EQ(target.back().DispName, "x");
}
