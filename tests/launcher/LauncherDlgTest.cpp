// The launcher dialog on the real main window, driven through its controls.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/BriskApp.h"
#include "base/DialogBase.h"
#include "launcher/AppListView.h"
#include "launcher/HistoryControls.h"
#include "launcher/LauncherDlg.h"
#include "launcher/LaunchShell.h"
#include "launcher/RecordLog.h"
#include "search/SrchApliBase.h"
#include "settings/DlgToolTip.h"
#include "settings/EnvInfoStore.h"
#include "support/LauncherDrive.h"

using namespace tarn::test;
using Rows = std::vector<std::string>;

namespace {

const Rows kAll = {"alpha", "Alphabet", "beta", "gamma alpha", "表計算", "記録係"};

class Launcher : public AppTest {
 protected:
  Launcher() {
    for (const std::string& folder : {dir / "cands", tools}) MakeDirs(folder);
    for (std::size_t i = 0; i + 1 < kAll.size(); ++i)
      WriteFileBytes(candidates.emplace_back(dir / "cands\\" + kAll[i] + ".txt"), "x");
    CopyFileA(RecorderPath().c_str(), candidates.emplace_back(recorder).c_str(), FALSE);
    settings.ExecList = {"beta", "gamma"}, settings.AutocompleteURL = false;
    settings.StaticItems.clear(), settings.TopDirs.clear();
  }
  // The hotkey's way, the main window created first when there is none.
  HWND Open() {
    if (!GetMainWindow() && !Create(candidates)) return nullptr;
    PostMessageA(GetMainWindow(), WM_HOTKEY, 1, 0);
    PumpUntil([] { return Dlg() && IsWindowVisible(Dlg()) && !GetBriskApp()->GetCollector()->IsLoading(); });
    return Dlg();
  }
  static HWND Dlg() { return LauncherWindow(); }
  static HWND Item(int id) { return GetDlgItem(Dlg(), id); }
  static HWND Edit() { return FindWindowExA(Item(1008), nullptr, "Edit", nullptr); }
  static std::string Text(int id) { return WindowText(Item(id), 1024); }
  static Rows ListRows() { return ListTexts(Item(1002)); }
  static int Selected() { return SelectedRow(Item(1002)); }
  static int SelectedChars() {
    const auto sel = SendMessageA(Edit(), EM_GETSEL, 0, 0);
    return HIWORD(sel) - LOWORD(sel);
  }
  static void Type(const std::string& text) {  // through the edit's own messages
    for (char c : text) SendMessageA(Edit(), WM_CHAR, static_cast<unsigned char>(c), 1);
  }
  static bool Filtered(const std::string& word) { return PumpUntil([&] { return GetBriskApp()->SearchWord == word; }); }
  // Sets the text at once (double-byte words too) and waits for the filter.
  static bool SearchFor(const std::string& word) { return SetWindowTextA(Item(1008), word.c_str()), Filtered(word); }
  // The shell with a prompt of its own: typing goes on while it is up.
  static BOOL WINAPI PromptingShell(SHELLEXECUTEINFOA* info) {
    SearchFor("alpha");
    return ShellExecuteExA(info);
  }
  static void PressCtrl(bool down) {
    BYTE keys[256];
    GetKeyboardState(keys), keys[VK_CONTROL] = down ? 0x80 : 0, SetKeyboardState(keys);
  }

  std::string tools = dir / "表ツール", recorder = tools + "\\記録係.exe";
  std::vector<std::string> candidates;
};

TEST_F(Launcher, HotkeyOpensTheDialogWithEveryCandidate) {
  ASSERT_NE(Create(candidates), nullptr);
  SendMessageA(GetMainWindow(), WM_HOTKEY, 1, 0);  // no message handled yet: the cache cannot be in
  HWND dlg = Dlg();
  ASSERT_NE(dlg, nullptr);
  EXPECT_EQ(Text(1018), "[    0 /     0]");
  // Typed into the empty box meanwhile, the word filters the cache's candidates once they are in.
  Type("alp");
  EXPECT_TRUE(PumpUntil([] { return ListRows().size() == 3; }) && Text(1018) == "[    3 /     6]");
  SearchFor("");
  EXPECT_TRUE(GetForegroundWindow() == dlg && GetFocus() == Edit());
  const RECT r = WindowRect(dlg);  // no rectangle saved yet: centred over the desktop
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2);
  EXPECT_TRUE(ListRows() == kAll && Text(1018) == "[    6 /     6]" && Selected() == 0);
  // The history fills the drop-down, most recent first.
  char first[32] = {};
  SendMessageA(Item(1008), CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
  EXPECT_TRUE(SendMessageA(Item(1008), CB_GETCOUNT, 0, 0) == 2 && std::string(first) == "beta");
}

TEST_F(Launcher, TypingOrChoosingFiltersOnceAfterThePause) {
  ASSERT_NE(Open(), nullptr);
  CLauncherDlg* launcher = CLauncherDlg::FromWindow(Dlg());
  int before = launcher->RefilterCount();
  Type("alp");
  EXPECT_TRUE(Text(1008) == "alp" && ListRows().size() == 6u);  // not yet: the timer waits for a pause
  ASSERT_TRUE(Filtered("alp"));
  EXPECT_TRUE(ListRows() == (Rows{"alpha", "Alphabet", "gamma alpha"}) && Text(1018) == "[    3 /     6]");
  PumpFor(GetKeyboardDelay() + 200);
  EXPECT_EQ(launcher->RefilterCount(), before + 1);
  // The word reaches the store whole, its mode character and wide letters too.
  for (auto [word, rows] : {std::pair{"^ＡＬＰ", Rows{"alpha", "Alphabet"}}, std::pair{"表", Rows{"表計算"}}}) {
    ASSERT_TRUE(SearchFor(word));
    EXPECT_EQ(ListRows(), rows) << word;
  }
  // A drop-down entry too long (hand-edited) is cut to 259 bytes on a character; none chosen: the text.
  const std::string longEntry = std::string(258, 'a') + "表" + std::string(600, 'b');
  const int longIndex = SendMessageA(Item(1008), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(longEntry.c_str()));
  for (auto [entry, word] : {std::pair{0, std::string("beta")}, std::pair{longIndex, std::string(258, 'a')},
                              std::pair{-1, std::string("gamma")}}) {
    before = launcher->RefilterCount();
    SendMessageA(Item(1008), CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
    if (entry < 0) SetWindowTextA(Item(1008), word.c_str());
    SendMessageA(Dlg(), WM_COMMAND, MAKEWPARAM(1008, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Item(1008)));
    ASSERT_TRUE(Filtered(word)) << word;
    EXPECT_EQ(ListRows().size(), entry == longIndex ? 0u : 1u);
    if (entry == 0) PumpFor(GetKeyboardDelay() + 100);
    EXPECT_EQ(launcher->RefilterCount(), before + 1) << word;  // once only
  }
}

TEST_F(Launcher, StaticRowsThenHistoryThenMatches) {
  settings.StaticItems = {{"静的", "%1", false, false}};
  settings.TopDirs = {candidates[2], dir / "gone.txt", candidates[5], candidates[2]};
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(ListRows(), (Rows{"静的", "beta", "記録係", "alpha", "Alphabet", "gamma alpha", "表計算"}));
  EXPECT_EQ(Selected(), 1);  // the first candidate
  // The path field shows the selected candidate's path, a static row none.
  for (auto [row, path] : {std::pair{2, recorder}, std::pair{0, std::string()}}) {
    SelectRow(Item(1002), row);
    EXPECT_EQ(Text(1023), path);
  }
  EXPECT_TRUE(SearchFor("a") && Selected() == 1);  // typing on a static row moves to the first candidate
  // Rows the candidates do not reach are answered empty, never read past.
  for (int row : {7, 100000, -5}) {
    char text[16] = "unchanged";
    NMLVDISPINFOA info = {};
    info.item = {LVIF_TEXT | LVIF_IMAGE, row, 0, 0, 0, text, sizeof text, 0, 0, 0, 0, 0, nullptr, nullptr, 0};
    GetBriskApp()->GetListView()->OnGetDispInfo(&info);
    EXPECT_STREQ(info.item.pszText, "") << row;
  }
  // The first list shows the history rows alone; a word, even one every candidate matches, all of them.
  SearchFor(""), settings.SpeedTuning.InitList = true, Apply();
  EXPECT_TRUE(ListRows() == (Rows{"静的", "beta", "記録係"}) && Text(1018) == "[    6 /     6]");
  for (auto [word, rows] : {std::pair{"^", 7u}, std::pair{"", 3u}}) {
    ASSERT_TRUE(SearchFor(word));
    EXPECT_EQ(ListRows().size(), rows) << word;
  }
  settings.StaticItems.clear(), Apply();  // without static items row 0 is a candidate
  SelectRow(Item(1002), 0);
  EXPECT_EQ(Text(1023), candidates[2]);
}

TEST_F(Launcher, LaunchesStartAndRecordTheHistories) {
  settings.StaticItems = {{"ファイル名を指定して実行", "%1", false, false}, {"道具", tools + "\\%1.exe", false, false}};
  settings.ExecListNumMax = 3;
  const std::string command = "\"" + recorder + "\" -x 表";
  const struct { std::string word; int row; std::string args; Rows execList; bool statics = true; } cases[] = {
      {"記録", 2, "", {"記録", "beta", "gamma"}},          // the candidate, in its own folder
      {"記録係", 1, "", {"記録係", "記録", "beta"}},       // a static item: its row is not recorded
      {command, 0, "-x 表", {command, "記録係", "記録"}},  // row 0: a typed command line
      // No static items: row 0 is a candidate; the shell's prompt lets the list be refiltered meanwhile.
      {"記録", 0, "", {"記録", "beta", "gamma"}, false}};
  // The key taken now: each launch's settings apply says so, the launcher closed under it.
  ASSERT_TRUE(RegisterHotKey(nullptr, 78, MOD_ALT | MOD_CONTROL | MOD_SHIFT, VK_F10));
  for (std::size_t n = 0; const auto& c : cases) {
    if (!c.statics) settings.StaticItems.clear(), Apply(), LaunchShellOpen = &PromptingShell;
    ASSERT_NE(Open(), nullptr);
    GetBriskApp()->GetSettings().HotKey = {1, 1, 1, 0, VK_F10};
    SearchFor(c.word), SelectRow(Item(1002), c.row);
    std::string told;
    WhenDialogShows("Tarn Launcher", [&](HWND box) {
      SendMessageA(Dlg(), WM_COMMAND, IDCANCEL, 0), told = MessageBoxText(box), PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    // Return on the search box is the Run command, through the dialog loop.
    PostMessageA(Edit(), WM_KEYDOWN, VK_RETURN, 1);
    ASSERT_TRUE(PumpUntil([&] { return !Dlg() && !told.empty(); })) << c.word;
    EXPECT_TRUE(told.starts_with("ダイアログ表示表のホットキーの登録に失敗しました。")) << told;
    const auto records = WaitForRecords(tools + "\\recorder.log", ++n);
    ASSERT_EQ(records.size(), n) << c.word;
    EXPECT_TRUE(records.back().args == c.args && (c.row != 2 || records.back().cwd == tools)) << c.word;
    const EnvDlgInfo saved = SavedSettings();
    EXPECT_TRUE(saved.ExecList == c.execList && saved.TopDirs == Rows{recorder}) << c.word;
    EXPECT_EQ(GetBriskApp()->GetSettings().ExecList, saved.ExecList);
  }
  LaunchShellOpen = &ShellExecuteExA;
  UnregisterHotKey(nullptr, 78);
}

TEST_F(Launcher, FailedLaunchSaysWhyAndStaysOpen) {
  ASSERT_NE(Open(), nullptr);
  // A vanished candidate says why; no row, or a static one without a word, starts nothing.
  ASSERT_TRUE(DeleteFileA(candidates[2].c_str()));
  for (auto [word, message] : {std::pair{"beta", "実行に失敗しました。\n指定されたファイルはありません。"},
                               std::pair{"zzz", ""}, std::pair{"", ""}}) {
    if (!*word) settings.StaticItems = {{"静的", "%1", false, false}}, Apply();
    SearchFor(word);
    SelectRow(Item(1002), 0);
    EXPECT_EQ(AnswerMessageBox("Tarn Launcher", [] { SendMessageA(Dlg(), WM_COMMAND, 1004, 0), PumpFor(200); }),
              message);
    // Neither in the file nor in the settings held, which the closing launcher would save.
    const EnvDlgInfo& held = GetBriskApp()->GetSettings();
    EXPECT_TRUE(Dlg() && SavedSettings().ExecList == (Rows{"beta", "gamma"}) && held.ExecList == (Rows{"beta", "gamma"}) &&
                held.TopDirs.empty()) << word;
  }
}

TEST_F(Launcher, ResizingMovesTheControlsAndEscapeSavesTheRectangle) {
  HWND dlg = Open();
  ASSERT_NE(dlg, nullptr);
  const auto rectOf = [&](int id) {
    RECT r = WindowRect(GetDlgItem(dlg, id));
    return MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2), ToRect32(r);
  };
  const auto droppedHeight = [] {
    RECT r;
    return SendMessageA(Item(1008), CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&r)), r.bottom - r.top;
  };
  std::vector<tarn::Rect32> before;
  for (const tarn::LayoutAnchor& a : tarn::kLauncherLayout) before.push_back(rectOf(a.Id));
  const tarn::Rect32 counter = rectOf(1018);
  const LONG dropped = droppedHeight();
  const RECT w = WindowRect(dlg);
  RECT client;
  SetWindowPos(dlg, nullptr, 150, 120, w.right - w.left + 40, w.bottom - w.top + 30, SWP_NOZORDER);
  for (std::size_t i = 0; i < before.size(); ++i)
    EXPECT_EQ(rectOf(tarn::kLauncherLayout[i].Id), tarn::ApplyAnchor(before[i], tarn::kLauncherLayout[i], 40, 30)) << i;
  // The counter stays, the drop-down keeps its room, the list's visible column fills it.
  EXPECT_TRUE(rectOf(1018) == counter && droppedHeight() == dropped);
  GetClientRect(Item(1002), &client);
  EXPECT_TRUE(ListView_GetColumnWidth(Item(1002), 0) == client.right && ListView_GetColumnWidth(Item(1002), 1) == 0);
  // Shrinking below two thirds is refused.
  MINMAXINFO mmi = {};
  SendMessageA(dlg, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  EXPECT_TRUE(mmi.ptMinTrackSize.x == (w.right - w.left) * 2 / 3 && mmi.ptMinTrackSize.y == (w.bottom - w.top) * 2 / 3);
  // Escape saves the rectangle, shown again on the next opening.
  SearchFor("beta");
  const RECT r = WindowRect(dlg);
  PostMessageA(Edit(), WM_KEYDOWN, VK_ESCAPE, 1);
  ASSERT_TRUE(PumpUntil([] { return Dlg() == nullptr; }));
  EXPECT_EQ(SavedSettings().MainDlgRect, (DlgRect{r.left, r.top, r.right, r.bottom}));
  EXPECT_EQ(GetBriskApp()->GetCollector()->GetMatchList().size(), 6u);  // the store's filter reset
  EXPECT_EQ(ToRect32(WindowRect(Open())), ToRect32(r));
  RECT work;  // saved on a second monitor that has gone since
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  SendMessageA(Dlg(), WM_COMMAND, IDCANCEL, 0);
  GetBriskApp()->GetSettings().MainDlgRect = {work.right + 300, 100, work.right + 700, 600};
  EXPECT_EQ(ToRect32(WindowRect(Open())), (tarn::Rect32{work.right - 400, 100, work.right, 600}));
}

TEST_F(Launcher, SearchBoxKeysDriveTheListAndCtrlAStartsCompletionOnce) {
  ASSERT_NE(Open(), nullptr);
  SetFocus(Edit());
  Type("a");
  ASSERT_TRUE(Filtered("a"));
  const struct { WPARAM key; bool ctrl; int selected; } steps[] = {
      {VK_DOWN, false, 1}, {VK_DOWN, false, 2}, {VK_UP, false, 1}, {'N', true, 2}, {'P', true, 1}, {VK_DOWN, true, 2},
      {'N', false, 2}};
  for (const auto& step : steps) {
    PressCtrl(step.ctrl), SendMessageA(Edit(), WM_KEYDOWN, step.key, 1);
    EXPECT_EQ(Selected(), step.selected) << step.key << " ctrl " << step.ctrl;
  }
  PressCtrl(false);
  for (WPARAM c : {1, 14, 16}) SendMessageA(Edit(), WM_CHAR, c, 1);  // Ctrl+A, N, P insert nothing
  EXPECT_EQ(Text(1008), "a");
  // With the drop-down open the arrows stay in the drop-down.
  SendMessageA(Item(1008), CB_SHOWDROPDOWN, TRUE, 0), SendMessageA(Edit(), WM_KEYDOWN, VK_DOWN, 1);
  EXPECT_EQ(Selected(), 2);
  SendMessageA(Item(1008), CB_SHOWDROPDOWN, FALSE, 0);
  SetFocus(Item(1002)), SetFocus(Edit());  // focus coming back leaves the text unselected
  EXPECT_EQ(SelectedChars(), 0);
  // Without the library or function it works on; one of that name beside the program never loads.
  PressCtrl(true);
  for (auto [library, calls] : {std::pair{"NO_SUCH_SHELL_LIBRARY.DLL", 0}, std::pair{"KERNEL32.DLL", 0},
                                std::pair{"tarn_plant.dll", 0}, std::pair{"SHLWAPI.DLL", 1}}) {
    CLauncherDlg::SetAutoCompleteSource(library, "SHAutoComplete");
    for (int twice = 0; twice < 2; ++twice) SendMessageA(Edit(), WM_KEYDOWN, 'A', 1);
    EXPECT_TRUE(CLauncherDlg::FromWindow(Dlg())->IsAutoCompleteOn() == (calls == 1) &&
                CLauncherDlg::AutoCompleteCalls() == calls) << library;
  }
  PressCtrl(false);
  EXPECT_EQ(SelectedChars(), 0);  // Ctrl+A selects nothing
}

TEST_F(Launcher, SettingsTurnCompletionAndTheDefaultCharacterOn) {
  settings.AutocompleteURL = true;
  // Only a character fits the box (256 + '*' would be '*' cut to a byte); applied to it open too.
  for (auto [mode, text] : {std::pair{256 + '*', ""}, std::pair{int32_t{'^'}, "^"}, std::pair{int32_t{'*'}, "*"},
                            std::pair{0xB1, "\xB1"}}) {
    settings.DefaultSearchMode = mode;
    if (GetMainWindow()) Apply();
    ASSERT_NE(Open(), nullptr);
    EXPECT_TRUE(CLauncherDlg::FromWindow(Dlg())->IsAutoCompleteOn());
    EXPECT_EQ(Text(1008), text) << mode;
    EXPECT_TRUE(Filtered(text)) << mode;  // set by the program, it still starts the filter
  }
}

TEST_F(Launcher, OpenListRefiltersWhenSettingsOrCandidatesChange) {
  WriteFileBytes(candidates.emplace_back(dir / "cands\\メモ帳.txt"), "x");
  WriteFileBytes(candidates.emplace_back(dir / "cands\\電卓.txt"), "x");
  settings.SpaceIsOption = true;
  ASSERT_NE(Open(), nullptr);
  SearchFor("memo");
  EXPECT_EQ(ListRows(), Rows{});
  std::string file;  // switched on in the file by hand, read again when the settings apply
  ASSERT_TRUE(ReadFileBytes(dir / "tlenv.ini", &file));
  WriteFileBytes(dir / "tlenv.ini", file.replace(file.find("KanaMatch: 0"), 12, "KanaMatch: 1"));
  CEnvInfoStore().FreeEnvInfo(), GetBriskApp()->ApplySettings(0);
  EXPECT_TRUE(PumpUntil([] { return ListRows() == Rows{"メモ帳"}; }, 3000));
  SearchFor("dentaku");  // names in kanji are read off this thread, and the list refilled then
  EXPECT_TRUE(PumpUntil([] { return ListRows() == Rows{"電卓"}; }, 3000));
  // A pass landing while options follow the word refilters with the text before the space.
  SearchFor("beta -x");
  const std::string longPath = dir.Path() + "\\" + std::string(400, 'b') + ".exe";
  auto* records = new AppEntryList{{"beta", candidates[2], 0}, {"alpha", candidates[0], 1}, {"b", longPath, 2}};
  SendMessageA(GetMainWindow(), WM_COLLECT_NOTIFY, 0, reinterpret_cast<LPARAM>(records));
  EXPECT_TRUE(PumpUntil([] { return Text(1018) == "[    1 /     3]"; }, 3000) && ListRows() == Rows{"beta"});
  SearchFor("\\b");  // a path longer than a path buffer is read whole, not cut to another file's
  int row = -1;
  std::string path;
  EXPECT_TRUE(ReadSelectedRowPath(Item(1002), &row, &path) && path == longPath);
}

TEST_F(Launcher, TipsForEveryControlButLabelsOneHookForAllDialogs) {
  HWND dlg = Open(), tip = nullptr;
  ASSERT_NE(dlg, nullptr);
  while ((tip = FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr)) && GetWindow(tip, GW_OWNER) != dlg) {
  }
  ASSERT_NE(tip, nullptr);
  std::set<HWND> tools, expected = {Edit(), ListView_GetHeader(Item(1002))};
  for (int id : {1008, 1002, 1023, 1004, 4005, 4006, 4004, 4003, IDCANCEL}) expected.insert(Item(id));
  TOOLINFOA info = {};
  info.cbSize = TTTOOLINFOA_V1_SIZE;
  for (int i = 0; SendMessageA(tip, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(&info)); ++i) {
    EXPECT_TRUE((info.uFlags & (TTF_IDISHWND | TTF_SUBCLASS)) == TTF_IDISHWND && info.hwnd == dlg);
    tools.insert(reinterpret_cast<HWND>(info.uId));
  }
  EXPECT_EQ(tools, expected);
  // A tool's text is the string with its id; the box's edit answers for the box.
  const std::string search = "リストを絞り込むための文字列を指定する", about = "バージョン情報...(A)";
  const std::pair<HWND, std::string> texts[] = {{Item(1008), search}, {Edit(), search}, {Item(4003), about},
                                                {Item(1023), ""}, {Item(IDCANCEL), ""}, {GetDesktopWindow(), ""}};
  for (const auto& [tool, text] : texts) {
    NMTTDISPINFOA ask = {};
    ask.hdr = {tip, reinterpret_cast<UINT_PTR>(tool), TTN_GETDISPINFOA}, ask.uFlags = TTF_IDISHWND;
    SendMessageA(dlg, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&ask));
    EXPECT_EQ(ask.lpszText && ask.lpszText != LPSTR_TEXTCALLBACKA ? ask.lpszText : "", text) << GetDlgCtrlID(tool);
  }
  const RECT r = WindowRect(Item(4003));  // the mouse move reaches the tip only through the hook
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  PostMessageA(Item(4003), WM_MOUSEMOVE, 0, MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2));
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(tip) != FALSE; }, 5000));
  EXPECT_EQ(WindowText(tip), about);
  // One hook for every open dialog's tips, gone with the last.
  PostMessageA(GetMainWindow(), WM_COMMAND, 4005, 0);
  HWND settingsDlg = WaitForDialog("Tarn Launcher 環境設定");
  EXPECT_TRUE(CDlgToolTip::AttachedCount() == 2 && CDlgToolTip::HookInstalled());
  SendMessageA(settingsDlg, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(CDlgToolTip::AttachedCount() == 1 && CDlgToolTip::HookInstalled());
  SendMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(CDlgToolTip::AttachedCount() == 0 && !CDlgToolTip::HookInstalled());
}

TEST_F(Launcher, ShellIconsStayWhileTheCandidatesDoAndGoWithTheDialog) {
  MakeDirs(candidates.emplace_back(dir / "sub"));  // by its name a file: the shell's full answer differs
  ASSERT_NE(Open(), nullptr);
  SHFILEINFOA sfi = {};
  SHGetFileInfoA((dir / "sub").c_str(), 0, &sfi, sizeof sfi, SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
  const auto image = [](int row) {
    LVITEMA item = {};
    item.mask = LVIF_IMAGE, item.iItem = row;
    return ListView_GetItem(Item(1002), &item), item.iImage;
  };
  EXPECT_TRUE(PumpUntil([] { return ListView_GetImageList(Item(1002), LVSIL_SMALL) != nullptr; }));
  SearchFor("sub");
  EXPECT_TRUE(PumpUntil([&] { return image(0) == sfi.iIcon; }));
  SearchFor("");
  EXPECT_EQ(image(6), sfi.iIcon);  // at once
  // A pass applied once the dialog is closed frees the shown candidates.
  std::weak_ptr<const AppEntryList> shown = GetBriskApp()->GetCollector()->GetMatchList().Source();
  SendMessageA(Dlg(), WM_COMMAND, IDCANCEL, 0);
  SendMessageA(GetMainWindow(), WM_COLLECT_NOTIFY, 0, reinterpret_cast<LPARAM>(new AppEntryList{}));
  EXPECT_TRUE(shown.expired());
}

}  // namespace
