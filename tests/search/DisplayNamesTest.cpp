#include "search/DisplayNames.h"

#include <gtest/gtest.h>

#include <string>

#include "search/AppEntries.h"

using namespace tarn;

namespace {

// Names every file "named", except a blank one, and counts each question.
struct CountingSource : CNameSource {
  int Full = 0, Quick = 0, Folders = 0;
  bool Name(const std::string& path, std::string& name) {
    name = path.find("blank") == std::string::npos ? "named" : "";
    return true;
  }
  bool FullName(const std::string& path, std::string& name) override { return ++Full, Name(path, name); }
  bool QuickName(const std::string& path, std::string& name) override { return ++Quick, Name(path, name); }
  bool FolderRenamesFiles(const std::string& folder) override {
    ++Folders;
    return folder == "C:\\Loc\\";
  }
};

const PathViews kPaths = {"C:\\A\\one.exe", "C:\\A\\two.lnk", "C:\\A\\three.URL", "C:\\Loc\\four.exe",
                          "C:\\B\\blank.txt"};

}  // namespace

TEST(DispNameOf, CutsFolderAndLastExtension) {
  struct Case { std::string shown, name; };
  const Case cases[] = {{"Foo 2.0", "Foo 2"}, {"Foo 2.0.exe", "Foo 2.0"}, {"D:\\Tools\\edit.exe", "edit"},
                        {"C:\\表\\ソフト表.exe", "ソフト表"}, {".profile", ".profile"}, {"", ""}};
  for (const Case& c : cases) EXPECT_EQ(DispNameOf(c.shown), c.name) << c.shown;
}

TEST(NameEntries, AsksOncePerPathAndTheCheapWayWherePossible) {
  CountingSource shell;
  const AppEntryList first = NameEntries(kPaths, CNameMemory(), shell, false);
  ASSERT_EQ(first.size(), kPaths.size());
  EXPECT_EQ(first[1].FullPath, kPaths[1]);
  EXPECT_EQ(first[1].ListIndex, 1);
  EXPECT_EQ(first[0].DispName, "named");
  EXPECT_EQ(first[4].DispName, "blank");  // an empty name: the path's own
  // Shortcuts and a folder with a desktop.ini get the full question; an
  // empty quick answer is asked again in full.
  EXPECT_EQ(shell.Quick, 2);
  EXPECT_EQ(shell.Full, 4);
  EXPECT_EQ(shell.Folders, 3);

  // Names of a pass are remembered by the next one, except where a
  // desktop.ini may have renamed the file since; a start-up load trusts them.
  auto known = std::make_shared<AppEntryList>(first);
  (*known)[1].DispName = "remembered";
  for (bool trust : {false, true}) {
    CountingSource again;
    const AppEntryList next = NameEntries(kPaths, CNameMemory(known), again, trust);
    EXPECT_EQ(next[1].DispName, "remembered");
    EXPECT_EQ(again.Quick, 0);
    EXPECT_EQ(again.Full, trust ? 0 : 1);
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

  // Stale or damaged: nothing remembered, every name asked again.
  EXPECT_FALSE(memory.Load(text, stamp + 1));
  EXPECT_EQ(memory.Size(), 0u);
  for (const std::string& bad : {text.substr(0, text.size() - 2), std::string("TarnNames 1 x\r\n\r\n"),
                                 std::string(), text.substr(0, 30) + "no tab\r\n\r\n"}) {
    CNameMemory ignored;
    EXPECT_FALSE(ignored.Load(bad, stamp)) << bad;
    CountingSource asked;
    NameEntries(kPaths, ignored, asked, true);
    EXPECT_GE(asked.Full + asked.Quick, static_cast<int>(kPaths.size()));
  }
}
