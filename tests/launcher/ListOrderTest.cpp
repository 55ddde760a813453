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

std::vector<std::string> Paths(const MatchList& list) {
  std::vector<std::string> out;
  for (const auto& e : list) out.push_back(e.FullPath);
  return out;
}

}  // namespace

TEST(ListOrder, HistoryMovesToFront) {
  struct Case {
    const char* what;
    std::vector<std::string> candidates, topDirs, expected;
    int front;
  };
  const Case cases[] = {
      {"no history", {"a", "b", "c"}, {}, {"a", "b", "c"}, 0},
      {"history order, most recent first", {"a", "b", "c", "d"}, {"c", "a"}, {"c", "a", "b", "d"}, 2},
      {"history path not a candidate", {"a", "b"}, {"x", "b"}, {"b", "a"}, 1},
      {"same path twice among candidates: first one only", {"a", "b", "a2", "b"}, {"b"}, {"b", "a", "a2", "b"}, 1},
      {"same path twice in the history counts once", {"a", "b", "c"}, {"c", "c"}, {"c", "a", "b"}, 1},
      {"repeated history keeps history order", {"a", "b", "c"}, {"b", "c", "b"}, {"b", "c", "a"}, 2},
      {"CP932 path compared byte for byte", {"C:\\\x95\x5C.exe", "C:\\\x95\x5D.exe"}, {"C:\\\x95\x5D.exe"},
       {"C:\\\x95\x5D.exe", "C:\\\x95\x5C.exe"}, 1},
      {"empty list", {}, {"a", "a"}, {}, 0},
  };
  for (const auto& c : cases) {
    MatchList shown = Entries(c.candidates);
    EXPECT_EQ(MoveHistoryToFront(shown, c.topDirs), c.front) << c.what;
    EXPECT_EQ(Paths(shown), c.expected) << c.what;
    EXPECT_LE(c.front, static_cast<int>(shown.size())) << c.what;
  }
}

TEST(ListOrder, RowsToInsertNeverExceedTheCandidates) {
  MatchList shown = Entries({"a", "b"});
  int front = MoveHistoryToFront(shown, {"a", "a", "a", "b", "b"});
  EXPECT_EQ(front, 2);
  EXPECT_EQ(CandidateRowsToInsert(2, front, true, true), 2);
  EXPECT_EQ(CandidateRowsToInsert(5, 1, true, true), 1);
  EXPECT_EQ(CandidateRowsToInsert(5, 1, true, false), 5);
  EXPECT_EQ(CandidateRowsToInsert(5, 1, false, true), 5);
  EXPECT_EQ(CandidateRowsToInsert(0, 0, true, true), 0);
}

TEST(ListOrder, SelectionAfterFill) {
  struct Case {
    int selected, staticRows, matches;
    bool clamp;
    int expected;
  };
  const Case cases[] = {
      {-1, 3, 5, true, 3},   // none: first candidate row
      {-1, 3, 0, true, 0},   // none, no matches: row 0
      {1, 3, 5, true, 3},    // static row while typing: first candidate
      {1, 3, 0, true, 1},    // static row, no matches: stays
      {20, 3, 5, true, 7},   // past the end: last row
      {8, 3, 5, true, 7},    // at the end
      {20, 3, 0, true, 0},   // past the end, no matches: row 0
      {5, 3, 5, true, 5},    // inside: same position
      {20, 3, 5, false, 20}, // no clamping
      {1, 3, 5, false, 1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ChooseSelection(c.selected, c.staticRows, c.matches, c.clamp), c.expected)
        << c.selected << " " << c.staticRows << " " << c.matches << " " << c.clamp;
  EXPECT_EQ(ClampToRows(7, 4), 3);
  EXPECT_EQ(ClampToRows(2, 4), 2);
  EXPECT_EQ(ClampToRows(2, 0), 0);
  EXPECT_EQ(ClampToRows(-1, 4), 0);
}

TEST(ListOrder, RowIndexBounds) {
  EXPECT_EQ(CandidateIndexForRow(0, 2, 3), -1);
  EXPECT_EQ(CandidateIndexForRow(1, 2, 3), -1);
  EXPECT_EQ(CandidateIndexForRow(2, 2, 3), 0);
  EXPECT_EQ(CandidateIndexForRow(4, 2, 3), 2);
  EXPECT_EQ(CandidateIndexForRow(5, 2, 3), -1);
  EXPECT_EQ(CandidateIndexForRow(-1, 0, 3), -1);
  EXPECT_EQ(CandidateIndexForRow(0, 0, 0), -1);
  EXPECT_EQ(CandidateIndexForRow(2147483647, 0, 3), -1);
}

TEST(ListOrder, CounterText) {
  EXPECT_EQ(FormatCounter(0, 0), "[    0 /     0]");
  EXPECT_EQ(FormatCounter(12, 34567), "[   12 / 34567]");
  EXPECT_EQ(FormatCounter(123456, 123456), "[123456 / 123456]");
}

TEST(ListOrder, RefillOnlyForInitListKanaMatchOrStaticItems) {
  EnvDlgInfo info;
  info.StaticItems = {{"検索", "http://x/?q=%1", true, true}};
  info.TopDirs = {"a"};
  const ListSettings held = MakeListSettings(info);
  EXPECT_FALSE(ListSettingsNeedRefill(held, held));

  auto changed = [&](auto edit) {
    ListSettings next = held;
    edit(next);
    return ListSettingsNeedRefill(held, next);
  };
  EXPECT_TRUE(changed([](ListSettings& s) { s.InitList = true; }));
  EXPECT_TRUE(changed([](ListSettings& s) { s.KanaMatch = true; }));
  EXPECT_TRUE(changed([](ListSettings& s) { s.StaticItems.push_back({}); }));
  EXPECT_TRUE(changed([](ListSettings& s) { s.StaticItems[0].Name = "x"; }));
  EXPECT_TRUE(changed([](ListSettings& s) { s.StaticItems[0].Command = "%1"; }));
  EXPECT_TRUE(changed([](ListSettings& s) { s.StaticItems[0].UseUrlEncode = false; }));
  EXPECT_TRUE(changed([](ListSettings& s) { s.StaticItems[0].UseUTF8 = false; }));
  EXPECT_FALSE(changed([](ListSettings& s) { s.LoadIcon = true; }));
  EXPECT_FALSE(changed([](ListSettings& s) { s.TopDirs.push_back("b"); }));
  EXPECT_FALSE(changed([](ListSettings& s) { s.SpaceIsOption = true; }));
}
