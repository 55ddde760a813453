// The settings dialog on a record of the test's own, driven through its
// controls, its messages answered, closed also while its nested loops run.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/DialogBase.h"
#include "res/SettingsDialogs.h"
#include "settings/BrskEnvDlg.h"
#include "settings/EnvInfoStore.h"
#include "support/TestSupport.h"

using tarn::test::AnswerMessageBox;

namespace {

constexpr UINT kResult = WM_APP + 7;
const char kCaption[] = "Tarn Launcher";

class EnvDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    for (const char* folder : {"tools", "表"}) tarn::test::MakeDirs(dir / folder);
    tarn::test::WriteFileBytes(dir / "file.txt", "x");
    ApplyLoadDefaults(shared);
    shared.SrchDirFlg.Any = true;
    shared.AnyDirs = {dir / "tools\\", dir / "表\\"};
    notify = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  }
  void TearDown() override {
    CBrskEnvDlg::CloseWithoutNotice();
    DestroyWindow(notify);
    CoUninitialize();
  }
  HWND Open() {
    EXPECT_EQ(CBrskEnvDlg::OpenEnvDlg(GetModuleHandleA(nullptr), notify, kResult, &shared), 0);
    return Dlg();
  }
  static HWND Dlg() { return CBrskEnvDlg::Instance() ? CBrskEnvDlg::Instance()->Window() : nullptr; }
  static HWND Item(int id) { return GetDlgItem(Dlg(), id); }
  static void Click(int id) { SendMessageA(Item(id), BM_CLICK, 0, 0); }
  static void SetText(int id, const std::string& text) { SetWindowTextA(Item(id), text.c_str()); }
  // The message the OK button answers with; empty when the dialog closed.
  static std::string PressOk() {
    return AnswerMessageBox(kCaption, [] { SendMessageA(Dlg(), WM_COMMAND, IDOK, 0); });
  }
  static std::vector<std::string> Rows(int id) {
    std::vector<std::string> rows;
    for (int i = 0; i < ListView_GetItemCount(Item(id)); ++i) {
      char text[300] = {};
      ListView_GetItemText(Item(id), i, 0, text, sizeof text);
      rows.push_back(text);
    }
    return rows;
  }
  static int Selected(int id) { return ListView_GetNextItem(Item(id), -1, LVNI_SELECTED); }
  static void Select(int id, int row) {
    ListView_SetItemState(Item(id), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }
  // Edits a folder row in place and ends with Return; answers the message.
  static std::string EditFolder(int row, const std::string& text) {
    return AnswerMessageBox(kCaption, [&] {
      SetFocus(Item(IDC_ENV_FOLDERS));
      HWND edit = reinterpret_cast<HWND>(SendMessageA(Item(IDC_ENV_FOLDERS), LVM_EDITLABELA, row, 0));
      SetWindowTextA(edit, text.c_str());
      SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
      tarn::test::PumpFor(100);
    });
  }
  // The notification the dialog posted to its opener, or 0.
  WPARAM Notified() {
    MSG msg;
    return PeekMessageA(&msg, notify, kResult, kResult, PM_REMOVE) ? msg.wParam : 0;
  }

  tarn::test::TempDir dir;
  EnvDlgInfo shared;
  HWND notify = nullptr;
};

TEST_F(EnvDialog, OpensOnceAndNeverStaysHalfOpen) {
  EXPECT_EQ(CBrskEnvDlg::OpenEnvDlg(GetModuleHandleA(nullptr), notify, kResult, nullptr), -1);
  shared.HotKey.Alt = 2;
  // A module without the template: nothing stays open, the next request opens.
  EXPECT_EQ(CBrskEnvDlg::OpenEnvDlg(GetModuleHandleA("kernel32.dll"), notify, kResult, &shared), -3);
  EXPECT_FALSE(CEnvInfoStore().IsEnvDialogOpen());
  HWND dlg = Open();
  ASSERT_NE(dlg, nullptr);
  EXPECT_TRUE(CEnvInfoStore().IsEnvDialogOpen());
  EXPECT_EQ(CBrskEnvDlg::OpenEnvDlg(GetModuleHandleA(nullptr), notify, kResult, &shared), -2);
  EXPECT_EQ(Dlg(), dlg);
  EXPECT_FALSE(IsWindowEnabled(Item(IDC_ENV_UPDATE)));
  EXPECT_TRUE(IsWindowEnabled(Item(IDC_ENV_NTCOM)));
  EXPECT_TRUE(IsWindowEnabled(Item(IDC_ENV_AUTOCOMPLETE)));  // the shell's completion is there
  // Alt 2 of a hand-edited file is not registered, and not shown either.
  EXPECT_EQ(SendMessageA(Item(IDC_ENV_HOTKEY), HKM_GETHOTKEY, 0, 0), MAKEWORD('W', HOTKEYF_CONTROL));
}

TEST_F(EnvDialog, RefusedOkShowsItsMessageAndChangesNothing) {
  const std::string sources = "この設定ではリストが取得できません。\n検索ディレクトリを必ず一つは設定して下さい。";
  const std::string histories = "履歴数には規定の数値を設定して下さい。";
  const std::string interval = "自動更新間隔には規定の数値を設定して下さい。";
  const int sourceBoxes[] = {IDC_ENV_STARTMENU, IDC_ENV_DESKTOP, IDC_ENV_FAVORITES, IDC_ENV_RECENT, IDC_ENV_PATH};
  auto onlyFolders = [&] {
    for (int id : sourceBoxes) Click(id);
  };
  struct Case {
    std::function<void()> change;
    std::string message;
  } cases[] = {
      {[&] { onlyFolders(), Click(IDC_ENV_ANY); }, sources},  // the all-users box alone does not count
      {[&] {
         onlyFolders();
         for (int row : {0, 0}) EditFolder(row, "");
       },
       sources},
      {[] { SetText(IDC_ENV_TOPDIR_MAX, ""); }, histories},
      {[] { SetText(IDC_ENV_EXECLIST_MAX, "１２"); }, histories},  // pasted past the digits-only edit
      {[] { SetText(IDC_ENV_TOPDIR_MAX, "100"); }, histories},
      {[] { SetText(IDC_ENV_INTERVAL, "9"); }, interval},
      {[] { SetText(IDC_ENV_INTERVAL, "12345"); }, interval},
      {[] { SetText(IDC_ENV_INTERVAL, ""); }, interval},
  };
  const EnvDlgInfo before = shared;
  for (const Case& c : cases) {
    Open();
    c.change();
    EXPECT_EQ(PressOk(), c.message);
    EXPECT_NE(Dlg(), nullptr);  // still open
    EXPECT_EQ(shared, before);
    CBrskEnvDlg::CloseWithoutNotice();
  }
  EXPECT_EQ(Notified(), 0u);
}


TEST_F(EnvDialog, FolderRowsEditedInPlace) {
  const std::string tools = dir / "tools\\", han = dir / "表\\", file = dir / "file.txt";
  const std::string duplicate = "既に同じ設定がされています。\n重複しない内容を指定して下さい。";
  auto missing = [](const std::string& text) {
    return "[" + text + "]\nこのディレクトリは存在しません。\n正しいディレクトリ名を指定して下さい。";
  };
  const std::string tooLong(259, 'a');
  const std::string withExtensions = dir / "表;.exe;.lnk";
  struct Case {
    int row;
    std::string text, message;
    std::vector<std::string> rows;
  } cases[] = {
      {2, dir / "TOOLS", duplicate, {tools, han, ""}},  // case and the backslash ignored
      {2, dir / "表", duplicate, {tools, han, ""}},      // the folder ends in 95 5C
      {2, file, missing(file), {tools, han, ""}},
      {2, tooLong, missing(tooLong), {tools, han, ""}},
      {2, withExtensions, "", {tools, han, withExtensions, ""}},
      {3, "", "", {tools, han, withExtensions, ""}},  // the new-entry row stays
      {0, "", "", {han, withExtensions, ""}},
      {1, dir / "tools", "", {han, dir / "tools", ""}},
  };
  Open();
  for (const Case& c : cases) {
    EXPECT_EQ(EditFolder(c.row, c.text), c.message) << c.text;
    EXPECT_EQ(Rows(IDC_ENV_FOLDERS), c.rows) << c.text;
    HWND again = ListView_GetEditControl(Item(IDC_ENV_FOLDERS));
    EXPECT_EQ(again != nullptr, !c.message.empty()) << c.text;
    if (!again) continue;
    EXPECT_EQ(WindowText(again, 300), c.text);  // offered again to mend
    SendMessageA(again, WM_KEYDOWN, VK_ESCAPE, 0);
  }
  // Delete: nothing on the new-entry row; the row above after the last one.
  Select(IDC_ENV_FOLDERS, 2);
  Click(IDC_ENV_FOLDER_DELETE);
  Select(IDC_ENV_FOLDERS, 1);
  Click(IDC_ENV_FOLDER_DELETE);
  EXPECT_EQ(Rows(IDC_ENV_FOLDERS), (std::vector<std::string>{han, ""}));
  EXPECT_EQ(Selected(IDC_ENV_FOLDERS), 0);
}

TEST_F(EnvDialog, StaticItemButtons) {
  shared.StaticItems = {{"一", "1", false, false}, {"二", "2", true, false}, {"三", "3", false, true}};
  Open();
  using Names = std::vector<std::string>;
  auto press = [](int id, int row) {
    Select(IDC_ENV_ITEMS, row);
    Click(id);
  };
  press(IDC_ENV_ITEM_UP, 0);    // nothing above the first
  press(IDC_ENV_ITEM_DOWN, 2);  // nor below the last
  EXPECT_EQ(Rows(IDC_ENV_ITEMS), (Names{"一", "二", "三"}));
  press(IDC_ENV_ITEM_DOWN, 0);
  EXPECT_EQ(Rows(IDC_ENV_ITEMS), (Names{"二", "一", "三"}));
  EXPECT_EQ(Selected(IDC_ENV_ITEMS), 1);
  tarn::test::WhenDialogShows("固定候補設定", [](HWND item) {
    SetDlgItemTextA(item, IDC_ITEM_NAME, "弐");
    PostMessageA(item, WM_COMMAND, IDOK, 0);
  });
  press(IDC_ENV_ITEM_UPDATE, 0);
  tarn::test::WhenDialogShows("固定候補設定", [](HWND item) { PostMessageA(item, WM_COMMAND, IDCANCEL, 0); });
  press(IDC_ENV_ITEM_UPDATE, 1);
  tarn::test::WhenDialogShows("固定候補設定", [](HWND item) {
    SetDlgItemTextA(item, IDC_ITEM_NAME, "四");
    PostMessageA(item, WM_COMMAND, IDOK, 0);
  });
  press(IDC_ENV_ITEM_ADD, 0);
  EXPECT_EQ(Rows(IDC_ENV_ITEMS), (Names{"弐", "一", "三", "四"}));
  EXPECT_EQ(Selected(IDC_ENV_ITEMS), 3);
  press(IDC_ENV_ITEM_DELETE, 3);
  EXPECT_EQ(Selected(IDC_ENV_ITEMS), 2);
  EXPECT_EQ(PressOk(), "");
  EXPECT_EQ(shared.StaticItems,
            (std::vector<StaticItem>{{"弐", "2", true, false}, {"一", "1", false, false}, {"三", "3", false, true}}));
}

TEST_F(EnvDialog, OkStoresTheControlsWithTheHistoriesOfNow) {
  shared.TopDirs = {"a.exe", "b.exe", "c.exe"};
  shared.ExecList = {"a", "b"};
  shared.SpeedTuning.Update = true;  // its box is disabled: kept as it is
  Open();
  SetText(IDC_ENV_TOPDIR_MAX, "2");
  SetText(IDC_ENV_EXECLIST_MAX, "0");
  SetText(IDC_ENV_INTERVAL, "9999");
  SetText(IDC_ENV_SEARCH_MODE, "^");
  SendMessageA(Item(IDC_ENV_HOTKEY), HKM_SETHOTKEY, MAKEWORD(VK_F7, HOTKEYF_CONTROL | HOTKEYF_SHIFT), 0);
  for (int id : {IDC_ENV_WIN, IDC_ENV_RECENT, IDC_ENV_SUBDIR, IDC_ENV_INITLIST, IDC_ENV_LOADICON,
                 IDC_ENV_SPACE_OPTION, IDC_ENV_AUTOCOMPLETE, IDC_ENV_KANA}) {
    Click(id);
  }
  // A launch while the dialog is open: new histories and a new rectangle.
  shared.TopDirs.insert(shared.TopDirs.begin(), "new.exe");
  shared.ExecList.insert(shared.ExecList.begin(), "new");
  shared.MainDlgRect = {1, 2, 3, 4};
  EnvDlgInfo expected = shared;
  EXPECT_EQ(PressOk(), "");
  EXPECT_EQ(Dlg(), nullptr);
  EXPECT_EQ(Notified(), 1u);
  expected.TopDirNumMax = 2;
  expected.TopDirs = {"new.exe", "a.exe"};
  expected.ExecListNumMax = 0;
  expected.ExecList.clear();
  expected.UpdateTimer = 9999;
  expected.DefaultSearchMode = '^';
  expected.HotKey = {0, 1, 1, 1, VK_F7};
  expected.SrchDirFlg.Recent = false;
  expected.AnyDirSubDir = false;
  expected.SpeedTuning = {true, true, true};
  expected.SpaceIsOption = expected.AutocompleteURL = expected.KanaMatch = true;
  EXPECT_EQ(shared, expected);
  // What OK stored reads back from the file as it is.
  CEnvInfoStore store(dir.Path());
  ASSERT_TRUE(store.SaveEnvInfo(&shared));
  store.FreeEnvInfo();
  EnvDlgInfo back;
  ASSERT_TRUE(store.GetEnvInfo(&back));
  store.FreeEnvInfo();
  EXPECT_EQ(back, shared);

  // Cancel and the close box leave the record alone.
  for (UINT close : {UINT{WM_COMMAND}, UINT{WM_CLOSE}}) {
    Open();
    SetText(IDC_ENV_INTERVAL, "10");
    SendMessageA(Dlg(), close, close == WM_COMMAND ? IDCANCEL : 0, 0);
    MSG msg;  // the close box posts Cancel to the dialog
    while (Dlg() && PeekMessageA(&msg, Dlg(), 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    EXPECT_EQ(Notified(), 2u);
    EXPECT_EQ(shared, expected);
  }
}

TEST_F(EnvDialog, ClosedWhileItsNestedLoopsRun) {
  // The record goes away while a dialog of its own or a message box runs.
  for (int id : {IDC_ENV_ITEM_ADD, IDOK}) {
    Open();
    SetText(IDC_ENV_INTERVAL, "");
    tarn::test::WhenDialogShows(id == IDOK ? kCaption : "固定候補設定", [](HWND shown) {
      CBrskEnvDlg::CloseWithoutNotice();
      PostMessageA(shown, WM_COMMAND, IDOK, 0);
    });
    Click(id);
    EXPECT_EQ(Dlg(), nullptr);
  }
  EXPECT_EQ(Notified(), 0u);
}

}  // namespace
