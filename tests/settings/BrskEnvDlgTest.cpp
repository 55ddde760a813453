// The settings dialogs on the test's own records, driven through their controls.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "base/DialogBase.h"
#include "base/WinHandle.h"
#include "res/SettingsDialogs.h"
#include "settings/BrskEnvDlg.h"
#include "settings/EnvInfoStore.h"
#include "settings/StartupShortcut.h"
#include "settings/StaticItemDlg.h"
#include "support/TestSupport.h"

using namespace tarn::test;
using Rows = std::vector<std::string>;

namespace {

class EnvDialog : public ::testing::Test {
 protected:
  static constexpr UINT kResult = WM_APP + 7;
  EnvDialog() {
    for (const char* folder : {"tools", "表"}) MakeDirs(dir / folder);
    WriteFileBytes(dir / "file.txt", "x"), ApplyLoadDefaults(shared);
    shared.SrchDirFlg.Any = true, shared.AnyDirs = {dir / "tools\\", dir / "表\\"};
  }
  ~EnvDialog() override { CBrskEnvDlg::CloseWithoutNotice(), DestroyWindow(notify); }
  int Open(HINSTANCE module = GetModuleHandleA(nullptr)) { return CBrskEnvDlg::OpenEnvDlg(module, notify, kResult, &shared); }
  static HWND Dlg() { return CBrskEnvDlg::Instance() ? CBrskEnvDlg::Instance()->Window() : nullptr; }
  static HWND Item(int id) { return GetDlgItem(Dlg(), id); }
  static void Click(int id) { SendMessageA(Item(id), BM_CLICK, 0, 0); }
  static void SetText(int id, const std::string& text) { SetWindowTextA(Item(id), text.c_str()); }
  // The message the OK button answers with; empty when the dialog closed.
  static std::string PressOk() { return AnswerMessageBox("Tarn Launcher", [] { SendMessageA(Dlg(), WM_COMMAND, IDOK, 0); }); }
  static void Press(int id, int row) {
    SelectRow(Item(id == IDC_ENV_FOLDER_DELETE ? IDC_ENV_FOLDERS : IDC_ENV_ITEMS), row), Click(id);
  }
  // Edits a folder row in place and ends with Return; answers the message.
  static std::string EditFolder(int row, const std::string& text) {
    return AnswerMessageBox("Tarn Launcher", [&] {
      SetFocus(Item(IDC_ENV_FOLDERS));
      HWND edit = reinterpret_cast<HWND>(SendMessageA(Item(IDC_ENV_FOLDERS), LVM_EDITLABELA, row, 0));
      SetWindowTextA(edit, text.c_str()), SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0), PumpFor(100);
    });
  }
  // The notification the dialog posted to its opener, or 0.
  WPARAM Notified() {
    MSG msg;
    return PeekMessageA(&msg, notify, kResult, kResult, PM_REMOVE) ? msg.wParam : 0;
  }

  TempDir dir;
  EnvDlgInfo shared;
  HWND notify = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
};

TEST_F(EnvDialog, OpensOnceNeverHalfOpenAndGoesWhileItsLoopsRun) {
  // A module without the template: nothing stays open, the next request opens.
  EXPECT_EQ(Open(GetModuleHandleA("kernel32.dll")), -3);
  EXPECT_FALSE(CEnvInfoStore().IsEnvDialogOpen());
  shared.HotKey.Alt = 2;
  EXPECT_EQ(Open(), 0);
  HWND dlg = Dlg();
  EXPECT_TRUE(Open() == -2 && Dlg() == dlg && CEnvInfoStore().IsEnvDialogOpen());
  EXPECT_TRUE(!IsWindowEnabled(Item(IDC_ENV_UPDATE)) && IsWindowEnabled(Item(IDC_ENV_NTCOM)) &&
              IsWindowEnabled(Item(IDC_ENV_AUTOCOMPLETE)));
  // Alt 2 of a hand-edited file is not registered, and not shown either.
  EXPECT_EQ(SendMessageA(Item(IDC_ENV_HOTKEY), HKM_GETHOTKEY, 0, 0), MAKEWORD('W', HOTKEYF_CONTROL));
  // The record goes away while a dialog of its own or a message box runs.
  for (int id : {IDC_ENV_ITEM_ADD, IDOK}) {
    if (!Dlg()) Open();
    SetText(IDC_ENV_INTERVAL, "");
    WhenDialogShows(id == IDOK ? "Tarn Launcher" : "固定候補設定", [](HWND shown) {
      CBrskEnvDlg::CloseWithoutNotice(), PostMessageA(shown, WM_COMMAND, IDOK, 0);
    });
    Click(id);
    EXPECT_EQ(Dlg(), nullptr);
  }
  EXPECT_EQ(Notified(), 0u);
}

TEST_F(EnvDialog, RefusedOkShowsItsMessageAndChangesNothing) {
  const std::string sources = "この設定ではリストが取得できません。\n検索ディレクトリを必ず一つは設定して下さい。",
                    histories = "履歴数には規定の数値を設定して下さい。",
                    interval = "自動更新間隔には規定の数値を設定して下さい。",
                    hotkey = "ホットキーには Ctrl、Alt、Windows キーのどれかを含む組み合わせを設定して下さい。";
  const auto key = [](WORD value) { return [value] { SendMessageA(Item(IDC_ENV_HOTKEY), HKM_SETHOTKEY, value, 0); }; };
  const auto onlyFolders = [] {
    for (int id : {IDC_ENV_STARTMENU, IDC_ENV_DESKTOP, IDC_ENV_FAVORITES, IDC_ENV_RECENT, IDC_ENV_PATH}) Click(id);
  };
  const std::pair<std::function<void()>, std::string> cases[] = {
      {[&] { onlyFolders(), Click(IDC_ENV_ANY); }, sources},  // the all-users box alone does not count
      {[&] { onlyFolders(), EditFolder(0, ""), EditFolder(0, ""); }, sources},
      {[] { SetText(IDC_ENV_TOPDIR_MAX, ""); }, histories},
      {[] { SetText(IDC_ENV_EXECLIST_MAX, "１２"); }, histories},  // pasted past the digits-only edit
      {[] { SetText(IDC_ENV_TOPDIR_MAX, "100"); }, histories},
      {[] { SetText(IDC_ENV_INTERVAL, "9"); }, interval},
      {[] { SetText(IDC_ENV_INTERVAL, "12345"); }, interval},
      {[] { SetText(IDC_ENV_INTERVAL, ""); }, interval},
      {key('W'), hotkey}, {key(MAKEWORD('W', HOTKEYF_SHIFT)), hotkey}, {key(0), hotkey},  // W alone would take every w
  };
  const EnvDlgInfo before = shared;
  for (const auto& [change, message] : cases) {
    Open();
    change();
    EXPECT_EQ(PressOk(), message);
    EXPECT_TRUE(Dlg() && shared == before);  // still open, nothing taken
    CBrskEnvDlg::CloseWithoutNotice();
  }
  EXPECT_EQ(Notified(), 0u);
}

TEST_F(EnvDialog, FolderRowsEditedInPlace) {
  const std::string tools = dir / "tools\\", han = dir / "表\\", file = dir / "file.txt", tooLong(259, 'a');
  const std::string duplicate = "既に同じ設定がされています。\n重複しない内容を指定して下さい。", exts = dir / "表;.exe;.lnk";
  const auto missing = [](const std::string& t) { return "[" + t + "]\nこのディレクトリは存在しません。\n正しいディレクトリ名を指定して下さい。"; };
  const struct { int row; std::string text, message; Rows rows; } cases[] = {
      {2, dir / "TOOLS", duplicate, {tools, han, ""}},  // case and the backslash ignored
      {2, dir / "表", duplicate, {tools, han, ""}},      // the folder ends in 95 5C
      {2, file, missing(file), {tools, han, ""}},
      {2, tooLong, missing(tooLong), {tools, han, ""}},
      {2, exts, "", {tools, han, exts, ""}},
      {3, "", "", {tools, han, exts, ""}},  // the new-entry row stays
      {0, "", "", {han, exts, ""}},
      {1, dir / "tools", "", {han, dir / "tools", ""}},
  };
  Open();
  for (const auto& c : cases) {
    EXPECT_TRUE(EditFolder(c.row, c.text) == c.message && ListTexts(Item(IDC_ENV_FOLDERS)) == c.rows) << c.text;
    // A refused text is offered again to mend.
    HWND again = ListView_GetEditControl(Item(IDC_ENV_FOLDERS));
    EXPECT_EQ(again ? WindowText(again, 300) : "-", c.message.empty() ? "-" : c.text);
    SendMessageA(again, WM_KEYDOWN, VK_ESCAPE, 0);
  }
  // Delete: nothing on the new-entry row; the row above after the last one.
  Press(IDC_ENV_FOLDER_DELETE, 2), Press(IDC_ENV_FOLDER_DELETE, 1);
  EXPECT_TRUE(ListTexts(Item(IDC_ENV_FOLDERS)) == (Rows{han, ""}) && SelectedRow(Item(IDC_ENV_FOLDERS)) == 0);
}

// The static item dialog's fields: name|command|URL-encode UTF-8.
std::string Fields(HWND dlg) {
  return WindowText(GetDlgItem(dlg, IDC_ITEM_NAME), 1000) + "|" + WindowText(GetDlgItem(dlg, IDC_ITEM_COMMAND), 1000) +
         "|" + std::to_string(IsDlgButtonChecked(dlg, IDC_ITEM_URLENCODE) * 10 + IsDlgButtonChecked(dlg, IDC_ITEM_UTF8));
}

// The name box tells its dialog of a change.
void NameChanged(HWND dlg, WORD code) {
  SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_ITEM_NAME, code), reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDC_ITEM_NAME)));
}
void Choose(HWND dlg, int preset) {
  SendDlgItemMessageA(dlg, IDC_ITEM_NAME, CB_SETCURSEL, static_cast<WPARAM>(preset), 0), NameChanged(dlg, CBN_SELENDOK);
}

TEST_F(EnvDialog, StaticItemsMovedEditedAddedAndDeleted) {
  shared.StaticItems = {{"一", "1", false, false}, {"二", "2", true, false}, {"三", "3", false, true}};
  Open();
  Press(IDC_ENV_ITEM_UP, 0), Press(IDC_ENV_ITEM_DOWN, 2), Press(IDC_ENV_ITEM_DOWN, 0);  // first up, last down: no
  EXPECT_TRUE(ListTexts(Item(IDC_ENV_ITEMS)) == (Rows{"二", "一", "三"}) && SelectedRow(Item(IDC_ENV_ITEMS)) == 1);
  std::string long350(150, 'a'), long258 = long350;
  for (int i = 0; i < 100; ++i) long350 += "表", long258 += i < 54 ? "表" : "";  // a 55th would not fit
  // The item dialog driven from inside its own loop; 0 is its close box.
  const std::tuple<int, int, std::function<void(HWND)>, int> presses[] = {
      // A name of no preset changes nothing else.
      {IDC_ENV_ITEM_UPDATE, 0, [](HWND dlg) {
         EXPECT_EQ(Fields(dlg), "二|2|10");
         SetDlgItemTextA(dlg, IDC_ITEM_NAME, "弐"), NameChanged(dlg, CBN_EDITCHANGE);
       }, IDOK},
      {IDC_ENV_ITEM_UPDATE, 1, [](HWND dlg) { Choose(dlg, 2); }, IDCANCEL},
      {IDC_ENV_ITEM_UPDATE, 1, [](HWND) {}, 0},
      {IDC_ENV_ITEM_UPDATE, 2, [](HWND dlg) { Choose(dlg, 0); }, IDOK},  // run by file name clears both boxes
      // Empty fields; a preset fills in the whole item.
      {IDC_ENV_ITEM_ADD, 0, [](HWND dlg) {
         EXPECT_EQ(Fields(dlg), "||0");
         Choose(dlg, 2);
         EXPECT_EQ(Fields(dlg), "Yahoo Japan|https://search.yahoo.co.jp/bin/search?p=%1|10");
         Choose(dlg, 1);
       }, IDOK},
      // An empty name is taken; an overlong command is cut on a character.
      {IDC_ENV_ITEM_ADD, 0, [&](HWND dlg) { SetDlgItemTextA(dlg, IDC_ITEM_COMMAND, long350.c_str()); }, IDOK},
      {IDC_ENV_ITEM_ADD, 0, [](HWND dlg) { SetDlgItemTextA(dlg, IDC_ITEM_NAME, "消"); }, IDOK},
  };
  for (const auto& [button, row, act, close] : presses) {
    WhenDialogShows("固定候補設定", [&](HWND dlg) { act(dlg), PostMessageA(dlg, close ? WM_COMMAND : WM_CLOSE, close, 0); });
    Press(button, row);
  }
  EXPECT_EQ(SelectedRow(Item(IDC_ENV_ITEMS)), 5);
  Press(IDC_ENV_ITEM_DELETE, 5);  // the last: the one above is selected
  EXPECT_TRUE(SelectedRow(Item(IDC_ENV_ITEMS)) == 4 && PressOk().empty());
  EXPECT_EQ(shared.StaticItems, (std::vector<StaticItem>{
                                    {"弐", "2", true, false}, {"一", "1", false, false},
                                    {"ファイル名を指定して実行", "%1", false, false},
                                    {"Google", "https://www.google.co.jp/search?hl=ja&ie=UTF-8&q=%1", true, true},
                                    {"", long258, false, false}}));
}

TEST_F(EnvDialog, OkStoresTheControlsWithTheHistoriesOfNow) {
  shared.TopDirs = {"a.exe", "b.exe", "c.exe"}, shared.ExecList = {"a", "b"};
  shared.SpeedTuning.Update = true;  // its box is disabled: kept as it is
  Open();
  for (auto [id, text] : {std::pair{IDC_ENV_TOPDIR_MAX, "2"}, std::pair{IDC_ENV_EXECLIST_MAX, "0"},
                          std::pair{IDC_ENV_INTERVAL, "9999"}, std::pair{IDC_ENV_SEARCH_MODE, "^"}})
    SetText(id, text);
  SendMessageA(Item(IDC_ENV_HOTKEY), HKM_SETHOTKEY, MAKEWORD(VK_F7, HOTKEYF_CONTROL | HOTKEYF_SHIFT), 0);
  for (int id : {IDC_ENV_WIN, IDC_ENV_RECENT, IDC_ENV_SUBDIR, IDC_ENV_INITLIST, IDC_ENV_LOADICON, IDC_ENV_SPACE_OPTION,
                 IDC_ENV_AUTOCOMPLETE, IDC_ENV_KANA})
    Click(id);
  // A launch while the dialog is open: new histories and a new rectangle.
  shared.TopDirs.insert(shared.TopDirs.begin(), "new.exe");
  shared.ExecList.insert(shared.ExecList.begin(), "new");
  shared.MainDlgRect = {1, 2, 3, 4};
  EnvDlgInfo expected = shared;
  EXPECT_TRUE(PressOk().empty() && !Dlg() && Notified() == 1u);
  expected.TopDirNumMax = 2, expected.TopDirs = {"new.exe", "a.exe"};
  expected.ExecListNumMax = 0, expected.ExecList.clear();
  expected.UpdateTimer = 9999, expected.DefaultSearchMode = '^', expected.HotKey = {0, 1, 1, 1, VK_F7};
  expected.SrchDirFlg.Recent = expected.AnyDirSubDir = false;
  expected.SpeedTuning = {true, true, true};
  expected.SpaceIsOption = expected.AutocompleteURL = expected.KanaMatch = true;
  EXPECT_EQ(shared, expected);
  // Cancel and the close box leave the record alone.
  for (UINT close : {UINT{WM_COMMAND}, UINT{WM_CLOSE}}) {
    Open();
    SetText(IDC_ENV_INTERVAL, "10");
    SendMessageA(Dlg(), close, close == WM_COMMAND ? IDCANCEL : 0, 0);
    MSG msg;  // the close box posts Cancel to the dialog
    while (Dlg() && PeekMessageA(&msg, Dlg(), 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    EXPECT_TRUE(Notified() == 2u && shared == expected) << close;
  }
}

TEST_F(EnvDialog, StartWithWindowsMakesMendsAndRemovesTheShortcut) {
  const std::string startup = dir / "Startup", own = startup + "\\Tarn Launcher.lnk", mine = startup + "\\mine.lnk";
  const std::string program = tarn::ProgramPath(), recorder = RecorderPath();
  tarn::SetStartupFolder(startup);
  const auto shortcut = [](const std::string& link) {
    std::string target, work;
    return tarn::ReadShortcut(link, target, work) ? target + "|" + work : "none";
  };
  const auto ok = [&](bool wasOn, bool on) {
    Open();
    EXPECT_EQ(IsDlgButtonChecked(Dlg(), IDC_ENV_STARTUP), wasOn ? BST_CHECKED : BST_UNCHECKED);
    if (wasOn != on) Click(IDC_ENV_STARTUP);
    const std::string told = PressOk();
    return told + (Notified() == 1u ? "" : "not saved");
  };
  const std::string wanted = program + "|" + program.substr(0, program.rfind('\\'));
  // Made in a Startup folder yet to be made; mended when it points elsewhere.
  EXPECT_EQ(ok(false, true), "");
  EXPECT_EQ(shortcut(own), wanted);
  ASSERT_TRUE(tarn::SetStartWithWindows(startup, recorder, true) && shortcut(own).starts_with(recorder));
  EXPECT_EQ(ok(false, true), "");
  EXPECT_EQ(shortcut(own), wanted);
  {  // the program's own, started in another folder: mended as well
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    CoInitialize(nullptr);
    ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, reinterpret_cast<void**>(&link)), S_OK);
    link->SetPath(program.c_str()), link->SetWorkingDirectory(startup.c_str());
    link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    EXPECT_EQ(file->Save(std::wstring(own.begin(), own.end()).c_str(), TRUE), S_OK);
    file->Release(), link->Release(), CoUninitialize();
  }
  EXPECT_EQ(ok(true, true), "");
  EXPECT_EQ(shortcut(own), wanted);
  // A shortcut of the user's own that starts it is enough; off removes every one.
  ASSERT_TRUE(MoveFileA(own.c_str(), mine.c_str()));
  EXPECT_EQ(ok(true, true), "");
  EXPECT_TRUE(!FileExists(own) && shortcut(mine) == wanted);
  ASSERT_TRUE(tarn::SetStartWithWindows(startup, recorder, true));
  EXPECT_EQ(ok(true, false), "");
  EXPECT_TRUE(!FileExists(mine) && shortcut(own).starts_with(recorder));  // another program's stays
  // A Startup folder that cannot be written: told, and the settings saved all the same.
  tarn::SetStartupFolder(dir / "file.txt\\Startup");
  EXPECT_EQ(ok(false, true), "スタートアップ フォルダにショートカットを作成できませんでした。\n" + dir / "file.txt\\Startup");
  tarn::SetStartupFolder("");
}

}  // namespace
