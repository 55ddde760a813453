#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launcher/ListOrder.h"

namespace {

MatchList Entries(const std::vector<std::string>& paths) {
  auto list = std::make_shared<AppEntryList>();
  MatchList::Positions at;
  for (const auto& p : paths) {
    at.push_back(static_cast<int32_t>(list->size()));
    list->push_back({"name " + p, p, at.back()});
  }
  return MatchList(list, at);
}

}  // namespace

TEST(ListOrder, HistoryMovesToFront) {
  using V = std::vector<std::string>;
  const struct Case { const char* what; V candidates, topDirs, expected; int front; } cases[] = {
      {"no history", {"a", "b", "c"}, {}, {"a", "b", "c"}, 0}, {"empty list", {}, {"a", "a"}, {}, 0},
      {"most recent first", {"a", "b", "c", "d"}, {"c", "a"}, {"c", "a", "b", "d"}, 2},
      {"not a candidate", {"a", "b"}, {"x", "b"}, {"b", "a"}, 1},
      {"a candidate twice: the first only", {"a", "b", "a2", "b"}, {"b"}, {"b", "a", "a2", "b"}, 1},
      {"twice in the history", {"a", "b", "c"}, {"b", "c", "b"}, {"b", "c", "a"}, 2},
      {"byte for byte", {"C:\\\x95\x5C.exe", "C:\\\x95\x5D.exe"}, {"C:\\\x95\x5D.exe"},
       {"C:\\\x95\x5D.exe", "C:\\\x95\x5C.exe"}, 1}};
  for (const auto& c : cases) {
    MatchList shown = Entries(c.candidates);
    EXPECT_EQ(MoveHistoryToFront(shown, c.topDirs), c.front) << c.what;
    V paths;
    for (const auto& e : shown) paths.push_back(e.FullPath);
    EXPECT_EQ(paths, c.expected) << c.what;
  }
}

TEST(ListOrder, RowsSelectionAndCounter) {
  // History rows only with InitList and an empty word; never more rows than candidates.
  EXPECT_EQ(CandidateRowsToInsert(2, 2, true, true), 2);
  EXPECT_TRUE(CandidateRowsToInsert(5, 1, true, true) == 1 && CandidateRowsToInsert(1, 3, true, true) == 1);
  EXPECT_TRUE(CandidateRowsToInsert(5, 1, true, false) == 5 && CandidateRowsToInsert(5, 1, false, true) == 5);
  const struct Case { int selected, staticRows, matches; bool clamp; int expected; } cases[] = {
      {-1, 3, 5, true, 3}, {-1, 3, 0, true, 0},  // none: the first candidate, else row 0
      {1, 3, 5, true, 3},  {1, 3, 0, true, 1},   // a static row while typing: the first candidate
      {20, 3, 5, true, 7}, {8, 3, 5, true, 7},  {20, 3, 0, true, 0}, {5, 3, 5, true, 5},
      {20, 3, 5, false, 20}, {1, 3, 5, false, 1}};
  for (const auto& c : cases)
    EXPECT_EQ(ChooseSelection(c.selected, c.staticRows, c.matches, c.clamp), c.expected) << c.selected << c.clamp;
  EXPECT_TRUE(ClampToRows(7, 4) == 3 && ClampToRows(2, 0) == 0 && ClampToRows(-1, 4) == 0);
  struct Row { int row, staticRows; std::size_t shown; int index; };
  const Row rows[] = {{0, 2, 3, -1}, {1, 2, 3, -1}, {2, 2, 3, 0}, {4, 2, 3, 2}, {5, 2, 3, -1},
                      {-1, 0, 3, -1}, {0, 0, 0, -1}, {2147483647, 0, 3, -1}};
  for (const Row& r : rows) EXPECT_EQ(CandidateIndexForRow(r.row, r.staticRows, r.shown), r.index) << r.row;
  EXPECT_EQ(FormatCounter(0, 0), "[    0 /     0]");
  EXPECT_EQ(FormatCounter(12, 34567), "[   12 / 34567]");
  EXPECT_EQ(FormatCounter(123456, 123456), "[123456 / 123456]");
}

TEST(ListOrder, RefillOnlyForInitListKanaMatchOrStaticItems) {
  EnvDlgInfo info;
  info.StaticItems = {{"検索", "http://x/?q=%1", true, true}};
  const ListSettings held = MakeListSettings(info);
  EXPECT_FALSE(ListSettingsNeedRefill(held, held));
  auto changed = [&](auto edit) {
    ListSettings next = held;
    edit(next);
    return ListSettingsNeedRefill(held, next);
  };
  EXPECT_TRUE(changed([](ListSettings& s) { s.InitList = true; }) && changed([](ListSettings& s) { s.KanaMatch = true; }));
  EXPECT_TRUE(changed([](ListSettings& s) { s.StaticItems.push_back({}); }) &&
              changed([](ListSettings& s) { s.StaticItems[0].UseUTF8 = false; }));
  EXPECT_FALSE(changed([](ListSettings& s) { s.LoadIcon = true; }) || changed([](ListSettings& s) { s.TopDirs = {"b"}; }) ||
               changed([](ListSettings& s) { s.SpaceIsOption = true; }));
}
