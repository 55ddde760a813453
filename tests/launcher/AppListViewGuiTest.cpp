// The candidate list on a real list control: rows, callbacks, selection,
// counter and the launch result codes the list view decides itself.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launcher/AppListView.h"
#include "launcher/Launch.h"
#include "search/SrchApliBase.h"
#include "support/TestSupport.h"

using tarn::test::TempDir;

namespace {

CAppListView* g_View = nullptr;
int g_DispInfoCalls = 0;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY && g_View) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->code == LVN_GETDISPINFOA) {
      ++g_DispInfoCalls;
      g_View->OnGetDispInfo(reinterpret_cast<NMLVDISPINFOA*>(lParam));
      return 0;
    }
    if (header->code == LVN_ITEMCHANGED) g_View->OnItemChanged();
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

class ListViewHost : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TarnListHost";
    RegisterClassA(&wc);
    host = CreateWindowExA(0, "TarnListHost", "host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                           nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(host, nullptr);
    list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_ICON | LVS_SORTASCENDING | LVS_OWNERDATA, 0,
                           0, 380, 200, host, reinterpret_cast<HMENU>(1002), wc.hInstance, nullptr);
    counter = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 210, 200, 20, host,
                              reinterpret_cast<HMENU>(1018), wc.hInstance, nullptr);
    pathField = CreateWindowExA(0, "EDIT", "", WS_CHILD | ES_READONLY, 0, 240, 300, 20, host,
                                reinterpret_cast<HMENU>(1023), wc.hInstance, nullptr);
    ASSERT_NE(list, nullptr);
    store = new CSrchApliBase(host, dir.Path() + "\\");
    view = new CAppListView;
    g_View = view;
    ASSERT_TRUE(view->Attach(list, store));
    view->SetCounterLabel(counter);
    view->SetPathField(pathField);
  }
  void TearDown() override {
    g_View = nullptr;
    delete view;
    delete store;
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

  int Rows() const { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }
  std::string Text(int row, int column) const {
    char text[MAX_PATH] = {};
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
  }
  int Image(int row) const {
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
  }
  int Selected() const {
    return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  }
  void Select(int row) {
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
  }
  std::string Counter() const {
    char text[64] = {};
    GetWindowTextA(counter, text, sizeof text);
    return text;
  }
  static ListSettings WithStatic(int n) {
    ListSettings s;
    for (int i = 0; i < n; ++i)
      s.StaticItems.push_back({"静的" + std::to_string(i), "http://example.invalid/?q=%1", false, false});
    return s;
  }

  TempDir dir;
  HWND host = nullptr, list = nullptr, counter = nullptr, pathField = nullptr;
  CSrchApliBase* store = nullptr;
  CAppListView* view = nullptr;
};

}  // namespace

TEST_F(ListViewHost, AttachSetsReportStylesAndHiddenPathColumn) {
  const LONG_PTR style = GetWindowLongPtrA(list, GWL_STYLE);
  EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_TRUE(style & LVS_SINGLESEL);
  EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
  EXPECT_TRUE(style & LVS_SHAREIMAGELISTS);
  EXPECT_TRUE(style & LVS_NOCOLUMNHEADER);
  EXPECT_FALSE(style & LVS_SORTASCENDING);
  EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0), 0);
  // Set once the shell's image list is built, on a thread of its own.
  EXPECT_TRUE(tarn::test::PumpUntil([&] { return SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0) != 0; }));
}

TEST_F(ListViewHost, EmptyStoreAndStaticRows) {
  view->ApplyListSettings(ListSettings{});
  EXPECT_TRUE(view->ResetFilter());
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(Counter(), "[    0 /     0]");

  view->ApplyListSettings(WithStatic(3));
  view->ResetFilter();
  ASSERT_EQ(Rows(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Text(i, 0), "静的" + std::to_string(i));
    EXPECT_EQ(Text(i, 1), "");
  }
  EXPECT_EQ(Selected(), 0);
  EXPECT_EQ(Counter(), "[    0 /     0]");
}

TEST_F(ListViewHost, StaticThenHistoryThenOtherMatchesByCallback) {
  auto paths = AddCandidates({"alpha1.txt", "alpha2.txt", "alpha3.txt", "beta.txt"});
  ListSettings s = WithStatic(2);
  s.TopDirs = {paths[2], dir / "gone.txt", paths[1]};
  view->ApplyListSettings(s);
  view->ResetFilter();

  MatchList expected = store->GetMatchList();
  ASSERT_EQ(expected.size(), 4u);
  MoveHistoryToFront(expected, s.TopDirs);
  ASSERT_EQ(Rows(), 6);
  EXPECT_EQ(view->GetHistoryRowCount(), 2);
  EXPECT_EQ(Text(2, 1), paths[2]);
  EXPECT_EQ(Text(3, 1), paths[1]);
  g_DispInfoCalls = 0;
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(Text(2 + i, 0), expected[i].DispName);
    EXPECT_EQ(Text(2 + i, 1), expected[i].FullPath);
  }
  EXPECT_GE(g_DispInfoCalls, 8);  // texts come from the callbacks
  EXPECT_EQ(Selected(), 2);       // first candidate row
  EXPECT_EQ(Counter(), "[    4 /     4]");

  // The path field shows the selected candidate's path; static rows none.
  Select(3);
  char shown[MAX_PATH] = {};
  GetWindowTextA(pathField, shown, sizeof shown);
  EXPECT_EQ(std::string(shown), paths[1]);
  Select(1);
  GetWindowTextA(pathField, shown, sizeof shown);
  EXPECT_EQ(std::string(shown), "");
}

TEST_F(ListViewHost, InitListShowsOnlyHistoryRowsEvenWithRepeatedHistory) {
  auto paths = AddCandidates({"one.txt", "two.txt", "three.txt"});
  ListSettings s = WithStatic(1);
  s.InitList = true;
  s.TopDirs = {paths[1], dir / "gone.txt", paths[1], paths[1]};
  view->ApplyListSettings(s);
  view->ResetFilter();
  ASSERT_EQ(Rows(), 2);  // one static row, one candidate row
  EXPECT_EQ(Text(1, 1), paths[1]);
  EXPECT_EQ(Counter(), "[    3 /     3]");

  // A row the candidates do not reach is answered empty, never read past.
  char text[16] = "unchanged";
  NMLVDISPINFOA info = {};
  info.item.mask = LVIF_TEXT | LVIF_IMAGE;
  info.item.pszText = text;
  info.item.cchTextMax = sizeof text;
  for (int row : {4, 100000, -5}) {
    info.item.iItem = row;
    view->OnGetDispInfo(&info);
    EXPECT_STREQ(info.item.pszText, "") << row;
  }
}

TEST_F(ListViewHost, SelectionClampedAndStaticRowLeftForCandidates) {
  AddCandidates({"alpha1.txt", "alpha2.txt", "beta1.txt", "beta2.txt", "beta3.txt"});
  view->ApplyListSettings(WithStatic(2));
  view->ResetFilter();
  ASSERT_EQ(Rows(), 7);
  Select(6);
  view->Filter("alpha", true, false);
  ASSERT_EQ(Rows(), 4);
  EXPECT_EQ(Selected(), 3);  // clamped to the last row
  Select(0);
  view->Filter("alph", true, false);
  EXPECT_EQ(Selected(), 2);  // typing on a static row moves to the first candidate
  view->Filter("nothing-matches", true, false);
  EXPECT_EQ(Rows(), 2);
  EXPECT_EQ(Counter(), "[    0 /     5]");
}

TEST_F(ListViewHost, SpaceIsOptionKeepsListWhileArgumentsAreTyped) {
  const std::vector<std::string> paths = AddCandidates({"alpha.txt", "note.txt"});
  ListSettings s;
  s.SpaceIsOption = true;
  view->ApplyListSettings(s);
  view->Filter("note", true, true);
  ASSERT_EQ(Rows(), 1);
  view->Filter("note -x", true, false);
  EXPECT_EQ(Rows(), 1);
  EXPECT_EQ(view->GetSearchWord(), "note -x");
  EXPECT_EQ(Text(0, 1), dir / "note.txt");
  // A pass lands and the list is rebuilt: the text before the space filters
  // it again, so Return cannot start another row.
  store->ApplyCollected(new PathList(paths));
  view->ResetFilter();
  view->Filter("note -x", true, false);
  ASSERT_EQ(Rows(), 1);
  EXPECT_EQ(Text(0, 1), dir / "note.txt");
  EXPECT_EQ(view->GetSearchWord(), "note -x");
}

TEST_F(ListViewHost, DummyIconGivesEveryRowTheSameIcon) {
  AddCandidates({"a.txt", "b.exe", "c.bat"});
  ListSettings s;
  s.LoadIcon = true;
  view->ApplyListSettings(s);
  view->ResetFilter();
  ASSERT_EQ(Rows(), 3);
  EXPECT_EQ(Image(0), Image(1));
  EXPECT_EQ(Image(1), Image(2));
}

TEST_F(ListViewHost, IconsComeFromTheShellAndStayForTheCandidates) {
  // A folder: the name alone says "file", the shell's full answer differs.
  tarn::test::MakeDirs(dir / "sub");
  store->ApplyCollected(new PathList{dir / "a.txt", dir / "sub"});
  tarn::test::WriteFileBytes(dir / "a.txt", "x");
  SHFILEINFOA sfi = {};
  SHGetFileInfoA((dir / "sub").c_str(), 0, &sfi, sizeof sfi, SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
  view->ApplyListSettings(ListSettings{});
  view->Filter("sub", true, true);
  ASSERT_EQ(Rows(), 1);
  EXPECT_TRUE(tarn::test::PumpUntil([&] { return Image(0) == sfi.iIcon; }, 10000));
  // Back to every candidate: the folder's row has its icon at once.
  view->Filter("", true, false);
  ASSERT_EQ(Rows(), 2);
  EXPECT_EQ(Image(1), sfi.iIcon);
}

TEST_F(ListViewHost, NothingStartedCases) {
  view->ApplyListSettings(WithStatic(1));
  view->ResetFilter();
  // Static row with an empty word.
  Select(0);
  EXPECT_FALSE(view->ExecuteSelected());
  EXPECT_EQ(view->GetLastResult(), kLaunchNothing);
  std::string out = "untouched";
  EXPECT_FALSE(view->ExpandStaticCommand(0, &out));
  EXPECT_EQ(view->GetLastResult(), kLaunchNothing);
  // Folder of a static row.
  EXPECT_FALSE(view->OpenSelectedFolder());
  EXPECT_EQ(view->GetLastResult(), kLaunchNothing);
  // No row at all.
  view->ApplyListSettings(ListSettings{});
  view->ResetFilter();
  EXPECT_FALSE(view->ExecuteSelected());
  EXPECT_EQ(view->GetLastResult(), kLaunchNothing);
  EXPECT_FALSE(view->OpenSelectedFolder());
  EXPECT_EQ(view->GetLastResult(), kLaunchNothing);
  // An index that is no static item.
  view->ApplyListSettings(WithStatic(1));
  view->Filter("word", true, true);
  EXPECT_FALSE(view->ExpandStaticCommand(1, &out));
  EXPECT_FALSE(view->ExpandStaticCommand(-1, &out));
  EXPECT_TRUE(view->ExpandStaticCommand(0, &out));
  EXPECT_EQ(out, "http://example.invalid/?q=word");
}

TEST_F(ListViewHost, DetachForgetsWindowsAndResetsTheStoreFilter) {
  AddCandidates({"alpha.txt", "beta.txt"});
  view->ApplyListSettings(ListSettings{});
  view->Filter("alpha", true, true);
  EXPECT_EQ(store->GetMatchList().size(), 1u);
  std::weak_ptr<const AppEntryList> shown = store->GetMatchList().Source();
  view->Detach(true, false);
  EXPECT_EQ(view->GetListWindow(), nullptr);
  EXPECT_EQ(store->GetMatchList().size(), 2u);
  // A pass applied while detached: the old candidates are not kept.
  store->ApplyCollected(new PathList{dir / "alpha.txt"});
  EXPECT_TRUE(shown.expired());
  EXPECT_FALSE(view->Filter("alpha", true, true));  // detached: nothing to fill
}
