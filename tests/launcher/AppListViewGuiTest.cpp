// The candidate list on a real list control: rows, callbacks, selection,
// counter and the launch result codes the list view decides itself.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "launcher/AppListView.h"
#include "launcher/HistoryControls.h"
#include "launcher/Launch.h"
#include "search/SrchApliBase.h"
#include "support/TestSupport.h"

namespace {

CAppListView* g_View = nullptr;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  if (message == WM_NOTIFY && g_View && header->code == LVN_GETDISPINFOA)
    g_View->OnGetDispInfo(reinterpret_cast<NMLVDISPINFOA*>(lParam));
  else if (message == WM_NOTIFY && g_View && header->code == LVN_ITEMCHANGED)
    g_View->OnItemChanged();
  return DefWindowProcA(window, message, wParam, lParam);
}

class ListViewHost : public ::testing::Test {
 protected:
  ListViewHost() {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSA wc = {0, HostProc, 0, 0, GetModuleHandleA(nullptr), nullptr, nullptr, nullptr, nullptr, "TarnListHost"};
    RegisterClassA(&wc);
    host = CreateWindowExA(0, "TarnListHost", "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    const auto child = [&](const char* cls, DWORD style, int id) {
      return CreateWindowExA(0, cls, "", WS_CHILD | style, 0, 0, 380, 200, host, reinterpret_cast<HMENU>(id), nullptr,
                             nullptr);
    };
    list = child(WC_LISTVIEWA, LVS_ICON | LVS_SORTASCENDING | LVS_OWNERDATA, 1002);
    counter = child("STATIC", 0, 1018);
    pathField = child("EDIT", ES_READONLY, 1023);
    store = std::make_unique<CSrchApliBase>(host, dir.Path() + "\\");
    g_View = &view;
    EXPECT_TRUE(view.Attach(list, store.get()));
    view.SetCounterLabel(counter);
    view.SetPathField(pathField);
  }
  ~ListViewHost() override {
    g_View = nullptr;
    view.Detach(true, true);
    DestroyWindow(host);
  }

  // Candidates named after real files of the temp folder.
  std::vector<std::string> AddCandidates(const std::vector<std::string>& names) {
    std::vector<std::string> paths;
    for (const auto& n : names) {
      paths.push_back(dir / n);
      tarn::test::WriteFileBytes(paths.back(), "x");
    }
    store->ApplyCollected(new PathList(paths));
    return paths;
  }
  void Show(const ListSettings& s, const std::string& word = "") {
    view.ApplyListSettings(s);
    view.Filter(word, true, true);
  }
  std::vector<std::string> Column(int column) const {
    std::vector<std::string> rows;
    char text[MAX_PATH];
    for (int i = 0; i < ListView_GetItemCount(list); ++i) {
      ListView_GetItemText(list, i, column, text, sizeof text);
      rows.push_back(text);
    }
    return rows;
  }
  int Selected() const { return ListView_GetNextItem(list, -1, LVNI_SELECTED); }
  void Select(int row) { ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED); }
  static std::string Text(HWND window) {
    char text[MAX_PATH] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
  }
  static ListSettings WithStatic(int n) {
    ListSettings s;
    for (int i = 0; i < n; ++i) s.StaticItems.push_back({"静的" + std::to_string(i), "http://example.invalid/?q=%1"});
    return s;
  }

  tarn::test::TempDir dir;
  HWND host, list, counter, pathField;
  std::unique_ptr<CSrchApliBase> store;
  CAppListView view;
};

TEST_F(ListViewHost, AttachMakesAReportWithAHiddenPathColumn) {
  const LONG_PTR style = GetWindowLongPtrA(list, GWL_STYLE);
  EXPECT_EQ(style & (LVS_TYPEMASK | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER | LVS_SORTASCENDING),
            LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER);
  EXPECT_EQ(ListView_GetColumnWidth(list, 1), 0);
}

TEST_F(ListViewHost, StaticThenHistoryThenOtherMatches) {
  auto paths = AddCandidates({"alpha1.txt", "alpha2.txt", "alpha3.txt", "beta.txt"});
  ListSettings s = WithStatic(2);
  s.TopDirs = {paths[2], dir / "gone.txt", paths[1], paths[1]};
  Show(s);
  EXPECT_EQ(Column(0), (std::vector<std::string>{"静的0", "静的1", "alpha3", "alpha2", "alpha1", "beta"}));
  EXPECT_EQ(Column(1), (std::vector<std::string>{"", "", paths[2], paths[1], paths[0], paths[3]}));
  EXPECT_EQ(view.GetHistoryRowCount(), 2);
  EXPECT_EQ(Selected(), 2);  // the first candidate
  EXPECT_EQ(Text(counter), "[    4 /     4]");
  // The path field shows the selected candidate's path; static rows none.
  for (auto [row, shown] : {std::pair{3, paths[1]}, std::pair{1, std::string()}}) {
    Select(row);
    EXPECT_EQ(Text(pathField), shown);
  }
  // The first list shows the history rows alone, each once.
  s.InitList = true;
  Show(s);
  EXPECT_EQ(Column(1), (std::vector<std::string>{"", "", paths[2], paths[1]}));
  EXPECT_EQ(Text(counter), "[    4 /     4]");
  // Rows the candidates do not reach are answered empty, never read past.
  char text[16] = "unchanged";
  NMLVDISPINFOA info = {};
  info.item.mask = LVIF_TEXT | LVIF_IMAGE;
  info.item.pszText = text;
  info.item.cchTextMax = sizeof text;
  for (int row : {6, 100000, -5}) {
    info.item.iItem = row;
    view.OnGetDispInfo(&info);
    EXPECT_STREQ(info.item.pszText, "") << row;
  }
}

TEST_F(ListViewHost, SelectionAndRowsFollowTheWord) {
  const auto paths = AddCandidates({"alpha1.txt", "alpha2.txt", "beta1.txt", "note.txt", "beta3.exe"});
  Show(WithStatic(2));
  Select(6);
  view.Filter("alpha", true, false);
  EXPECT_EQ(Selected(), 3);  // clamped to the last row
  Select(0);
  view.Filter("alph", true, false);
  EXPECT_EQ(Selected(), 2);  // typing on a static row moves to the first candidate
  view.Filter("nothing-matches", true, false);
  EXPECT_EQ(Text(counter), "[    0 /     5]");
  // The text after a space is the options: the list stays, also when a
  // pass lands and the list is rebuilt, so Return cannot start another row.
  ListSettings s;
  s.SpaceIsOption = true;
  Show(s, "note");
  for (bool passLands : {false, true}) {
    if (passLands) {
      store->ApplyCollected(new PathList(paths));
      view.ResetFilter();
    }
    view.Filter("note -x", true, false);
    EXPECT_EQ(Column(1), std::vector<std::string>{paths[3]}) << passLands;
    EXPECT_EQ(view.GetSearchWord(), "note -x");
  }
  // The dummy icon: every row the same.
  s.LoadIcon = true;
  Show(s, "beta");
  LVITEMA a = {}, b = {};
  a.mask = b.mask = LVIF_IMAGE;
  b.iItem = 1;
  ListView_GetItem(list, &a);
  ListView_GetItem(list, &b);
  EXPECT_EQ(a.iImage, b.iImage);
}

TEST_F(ListViewHost, NothingStartedAndPathsReadWhole) {
  std::string out = "untouched";
  // A static row without a word, the folder of a static row, no row at all.
  for (int rows : {1, 0}) {
    Show(WithStatic(rows));
    EXPECT_FALSE(view.ExpandStaticCommand(0, &out));
    EXPECT_FALSE(view.ExecuteSelected());
    EXPECT_EQ(view.GetLastResult(), kLaunchNothing);
    EXPECT_FALSE(view.OpenSelectedFolder());
    EXPECT_EQ(view.GetLastResult(), kLaunchNothing);
  }
  Show(WithStatic(1), "word");
  EXPECT_FALSE(view.ExpandStaticCommand(1, &out) || view.ExpandStaticCommand(-1, &out));
  EXPECT_TRUE(view.ExpandStaticCommand(0, &out));
  EXPECT_EQ(out, "http://example.invalid/?q=word");

  // A path longer than a path buffer is read whole: cut, it would name
  // another file.
  const std::string longPath = dir.Path() + "\\" + std::string(400, 'p') + ".exe";
  store->ApplyCollected(new PathList{longPath});
  Show(ListSettings{});
  int row = -1;
  std::string path;
  ASSERT_TRUE(ReadSelectedRowPath(list, &row, &path));
  EXPECT_EQ(path, longPath);

  // Detached, the store's filter is reset and nothing is filled.
  view.Filter("zzz", true, true);
  view.Detach(true, false);
  EXPECT_EQ(view.GetListWindow(), nullptr);
  EXPECT_EQ(store->GetMatchList().size(), 1u);
  EXPECT_FALSE(view.Filter("p", true, true));
}

}  // namespace
