// The launcher dialog on the real main window: hotkey, typing, the filter
// timer, the search modes on a known candidate set, launching the recorder,
// the histories and rectangle in the settings file, Escape and resizing.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/BriskApp.h"
#include "launcher/AppListView.h"
#include "launcher/LauncherDlg.h"
#include "search/SrchApliBase.h"
#include "settings/EnvInfoStore.h"
#include "support/TestSupport.h"

using tarn::test::PumpUntil;
using tarn::test::ReadFileBytes;
using tarn::test::TempDir;
using tarn::test::WriteFileBytes;

namespace {

constexpr HotKeySetting kTestKey = {1, 1, 1, 0, VK_F11};

// The program's loop offers every message to the open dialog first.
bool Pump(const std::function<bool()>& done, DWORD timeoutMs = 10000) {
  DWORD start = GetTickCount();
  MSG msg;
  for (;;) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      HWND dlg = GetBriskApp() ? GetBriskApp()->GetLauncherWindow() : nullptr;
      if (dlg && IsDialogMessageA(dlg, &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (done()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(5);
  }
}
void PumpFor(DWORD ms) {
  DWORD start = GetTickCount();
  Pump([&] { return GetTickCount() - start >= ms; }, ms + 1000);
}

std::string Text(HWND window) {
  char buffer[1024] = {};
  GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}

class Launcher : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    tarn::test::MakeDirs(dir / "cands");
    tarn::test::MakeDirs(tools);
    for (const char* name : {"alpha.txt", "Alphabet.txt", "beta.txt", "gamma alpha.txt", "表計算.txt"}) {
      WriteFileBytes(dir / ("cands\\" + std::string(name)), "x");
    }
    std::string recorder;
    ASSERT_TRUE(ReadFileBytes(tarn::test::RecorderPath(), &recorder));
    WriteFileBytes(recorderCopy, recorder);
    std::string cache;
    for (const char* name : {"alpha.txt", "Alphabet.txt", "beta.txt", "gamma alpha.txt", "表計算.txt"}) {
      cache += dir / ("cands\\" + std::string(name)) + "\r\n";
    }
    cache += recorderCopy + "\r\n\r\n";
    WriteFileBytes(dir / "apppaths.ini", cache);

    CEnvInfoStore::SetDefaultDirectory(dir.Path() + "\\");
    ApplyLoadDefaults(settings);
    settings.HotKey = kTestKey;
    // What a new collector holds already: no pass starts, the first search
    // reads the cache file.
    settings.SrchDirFlg = {};
    settings.SrchDirFlg.NtCom = true;
    settings.SrchDirFlg.Path = true;
    settings.SpeedTuning = {};
    settings.AnyDirSubDir = true;
    settings.AnyDirs.clear();
    settings.StaticItems.clear();
    settings.ExecList = {"beta", "gamma"};
    settings.ExecListNumMax = 20;
    settings.TopDirs.clear();
    settings.TopDirNumMax = 20;
    settings.AutocompleteURL = false;
  }
  void TearDown() override {
    if (GetMainWindow()) DestroyWindow(GetMainWindow());
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    CoUninitialize();
  }

  // Saves the settings, starts the main window and shows the launcher the
  // way the hotkey does.
  HWND Open() {
    SetLauncherFactory(&CreateLauncherDialog);
    if (!GetMainWindow()) {
      CEnvInfoStore().SaveEnvInfo(&settings);
      if (!CreateMainWindow(GetModuleHandleA(nullptr), dir.Path() + "\\")) return nullptr;
    }
    PostMessageA(GetMainWindow(), WM_HOTKEY, 1, 0);
    Pump([] {
      return Dialog() != nullptr && IsWindowVisible(Dialog()) && !GetBriskApp()->GetCollector()->IsLoading();
    });
    return Dialog();
  }
  static HWND Dialog() { return GetBriskApp() ? GetBriskApp()->GetLauncherWindow() : nullptr; }
  static HWND Item(int id) { return GetDlgItem(Dialog(), id); }
  static HWND Edit() { return FindWindowExA(Item(1008), nullptr, "Edit", nullptr); }

  static std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    HWND list = Item(1002);
    int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      char text[300] = {};
      LVITEMA item = {};
      item.iSubItem = 0;
      item.pszText = text;
      item.cchTextMax = sizeof text;
      SendMessageA(list, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
      rows.push_back(text);
    }
    return rows;
  }
  static int Selected() {
    return static_cast<int>(SendMessageA(Item(1002), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  }

  // Types through the edit's own messages, one character each.
  static void Type(const std::string& text) {
    for (char c : text) SendMessageA(Edit(), WM_CHAR, static_cast<unsigned char>(c), 1);
  }
  // Sets the box's text at once (as for double-byte words) and waits for
  // the filter timer to run.
  static void SearchFor(const std::string& word) {
    SetWindowTextA(Item(1008), word.c_str());
    Pump([&] { return GetBriskApp()->SearchWord == word; });
  }

  EnvDlgInfo Saved() {
    CEnvInfoStore store;
    store.LoadEnvInfo();
    EnvDlgInfo info;
    store.GetEnvInfo(&info);
    return info;
  }

  TempDir dir;
  std::string tools = dir / "表ツール";
  std::string recorderCopy = tools + "\\記録係.exe";
  EnvDlgInfo settings;
};

TEST_F(Launcher, HotkeyOpensTheDialogWithEveryCandidate) {
  HWND dlg = Open();
  ASSERT_NE(dlg, nullptr);
  EXPECT_EQ(Text(dlg), "Tarn Launcher");
  EXPECT_EQ(GetForegroundWindow(), dlg);
  EXPECT_EQ(GetFocus(), Edit());
  EXPECT_EQ(Rows(), (std::vector<std::string>{"alpha", "Alphabet", "beta", "gamma alpha", "表計算", "記録係"}));
  EXPECT_EQ(Text(Item(1018)), "[    6 /     6]");
  EXPECT_EQ(Selected(), 0);
  // The history fills the drop-down, most recent first.
  ASSERT_EQ(SendMessageA(Item(1008), CB_GETCOUNT, 0, 0), 2);
  char first[32] = {};
  SendMessageA(Item(1008), CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
  EXPECT_STREQ(first, "beta");
  EXPECT_EQ(SendMessageA(Item(1008), CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(Text(Item(1008)), "");
  // The hotkey again only brings it forward.
  PostMessageA(GetMainWindow(), WM_HOTKEY, 1, 0);
  PumpFor(100);
  EXPECT_EQ(Dialog(), dlg);
}

TEST_F(Launcher, TypingFiltersOnceAfterThePause) {
  ASSERT_NE(Open(), nullptr);
  CLauncherDlg* launcher = CLauncherDlg::FromWindow(Dialog());
  ASSERT_NE(launcher, nullptr);
  int before = launcher->RefilterCount();
  Type("alp");
  EXPECT_EQ(Text(Item(1008)), "alp");
  EXPECT_EQ(Rows().size(), 6u);  // not yet: the timer waits for a pause
  ASSERT_TRUE(Pump([&] { return GetBriskApp()->SearchWord == "alp"; }));
  EXPECT_EQ(launcher->RefilterCount(), before + 1);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"alpha", "Alphabet", "gamma alpha"}));
  EXPECT_EQ(Text(Item(1018)), "[    3 /     6]");
  PumpFor(GetKeyboardDelay() + 200);
  EXPECT_EQ(launcher->RefilterCount(), before + 1);
}

TEST_F(Launcher, EverySearchModeOnTheKnownCandidates) {
  ASSERT_NE(Open(), nullptr);
  struct Case {
    std::string word;
    std::vector<std::string> rows;
  } cases[] = {
      {"alpha", {"alpha", "Alphabet", "gamma alpha"}},
      {"^alpha", {"alpha", "Alphabet"}},
      {"\\alpha", {"alpha"}},
      {"alpha$", {"alpha", "gamma alpha"}},
      {"*gaa", {"gamma alpha"}},
      {"ＡＬＰＨＡ", {"alpha", "Alphabet", "gamma alpha"}},
      {"表", {"表計算"}},
      {"zzz", {}},
      {"", {"alpha", "Alphabet", "beta", "gamma alpha", "表計算", "記録係"}},
  };
  for (const Case& c : cases) {
    SearchFor(c.word);
    EXPECT_EQ(Rows(), c.rows) << c.word;
    char counter[32];
    wsprintfA(counter, "[%5d / %5d]", static_cast<int>(c.rows.size()), 6);
    EXPECT_EQ(Text(Item(1018)), counter) << c.word;
  }
}

// Closes the launcher while a message owned by the main window is up (the
// main window is disabled meanwhile), then answers the message.
std::string g_HotKeyText;
void CALLBACK CloseLauncherUnderTheMessage(HWND, UINT, UINT_PTR timer, DWORD) {
  if (IsWindowEnabled(GetMainWindow())) return;
  if (HWND launcher = GetBriskApp()->GetLauncherWindow()) SendMessageA(launcher, WM_COMMAND, IDCANCEL, 0);
  HWND box = tarn::test::FindDialogByCaption("Tarn Launcher");
  if (!box) return;
  KillTimer(nullptr, timer);
  g_HotKeyText = tarn::test::MessageBoxText(box);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
}

TEST_F(Launcher, ReturnStartsTheRecorderInItsFolderAndRecords) {
  // A static item in row 0: the first row is never recorded in TopDirs.
  settings.StaticItems = {{"ファイル名を指定して実行", "%1", false, false}};
  ASSERT_NE(Open(), nullptr);
  SearchFor("記録");
  ASSERT_EQ(Rows(), (std::vector<std::string>{"ファイル名を指定して実行", "記録係"}));
  ASSERT_EQ(Selected(), 1);
  // The key is taken now: applying the settings after the launch says so,
  // and the launcher is closed while that message is up.
  ASSERT_TRUE(RegisterHotKey(nullptr, 78, MOD_ALT | MOD_CONTROL | MOD_SHIFT, VK_F10));
  GetBriskApp()->GetSettings().HotKey = {1, 1, 1, 0, VK_F10};
  g_HotKeyText.clear();
  SetTimer(nullptr, 0, 50, CloseLauncherUnderTheMessage);
  // Return on the search box is the Run command, through the dialog loop.
  PostMessageA(Edit(), WM_KEYDOWN, VK_RETURN, 1);
  ASSERT_TRUE(Pump([] { return Dialog() == nullptr; }));
  UnregisterHotKey(nullptr, 78);
  EXPECT_EQ(g_HotKeyText.rfind("ダイアログ表示表のホットキーの登録に失敗しました。", 0), 0u) << g_HotKeyText;
  std::string log;
  ASSERT_TRUE(Pump([&] { return ReadFileBytes(tools + "\\recorder.log", &log) && !log.empty(); }));
  EXPECT_NE(log.find("cwd=" + tools + "\r\n"), std::string::npos) << log;

  EnvDlgInfo saved = Saved();
  EXPECT_EQ(saved.ExecList, (std::vector<std::string>{"記録", "beta", "gamma"}));
  EXPECT_EQ(saved.TopDirs, std::vector<std::string>{recorderCopy});
  EXPECT_NE(saved.MainDlgRect.top, -1);
  // The application object works on with the recorded histories.
  EXPECT_EQ(GetBriskApp()->GetSettings().TopDirs, saved.TopDirs);
}

// Answers the message box from inside its own modal loop.
std::string g_BoxText;
void CALLBACK AnswerBox(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = tarn::test::FindDialogByCaption("Tarn Launcher");
  if (!box || box == GetBriskApp()->GetLauncherWindow()) return;
  KillTimer(nullptr, timer);
  g_BoxText = tarn::test::MessageBoxText(box);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
}

TEST_F(Launcher, FailedLaunchSaysWhyAndStaysOpen) {
  ASSERT_NE(Open(), nullptr);
  SearchFor("beta");
  ASSERT_EQ(Rows().size(), 1u);
  // The candidate vanished after it was collected.
  ASSERT_TRUE(DeleteFileA((dir / "cands\\beta.txt").c_str()));
  g_BoxText.clear();
  SetTimer(nullptr, 0, 50, AnswerBox);
  SendMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(1004, BN_CLICKED), 0);
  EXPECT_EQ(g_BoxText, "実行に失敗しました。\n指定されたファイルはありません。");
  PumpFor(200);
  EXPECT_NE(Dialog(), nullptr);
  EXPECT_EQ(Saved().ExecList, (std::vector<std::string>{"beta", "gamma"}));

  // Nothing selected: nothing happens, no message.
  SearchFor("zzz");
  g_BoxText.clear();
  UINT_PTR timer = SetTimer(nullptr, 0, 50, AnswerBox);
  SendMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(1004, BN_CLICKED), 0);
  PumpFor(200);
  KillTimer(nullptr, timer);
  EXPECT_EQ(g_BoxText, "");
  EXPECT_NE(Dialog(), nullptr);
}

TEST_F(Launcher, EscapeClosesAndSavesTheRectangle) {
  HWND dlg = Open();
  ASSERT_NE(dlg, nullptr);
  SetWindowPos(dlg, nullptr, 150, 120, 420, 560, SWP_NOZORDER);
  RECT r;
  GetWindowRect(dlg, &r);
  PostMessageA(Edit(), WM_KEYDOWN, VK_ESCAPE, 1);
  ASSERT_TRUE(Pump([] { return Dialog() == nullptr; }));
  EXPECT_FALSE(IsWindow(dlg));
  EXPECT_EQ(Saved().MainDlgRect, (DlgRect{r.left, r.top, r.right, r.bottom}));
  // The next showing comes back exactly there.
  dlg = Open();
  ASSERT_NE(dlg, nullptr);
  RECT again;
  GetWindowRect(dlg, &again);
  EXPECT_TRUE(EqualRect(&r, &again));
}

TEST_F(Launcher, ARectangleOffEveryScreenIsBroughtBack) {
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  // Saved on a second monitor that has gone since.
  settings.MainDlgRect = {work.right + 300, 100, work.right + 700, 600};
  HWND dlg = Open();
  ASSERT_NE(dlg, nullptr);
  RECT r;
  GetWindowRect(dlg, &r);
  EXPECT_EQ(r.right, work.right);
  EXPECT_EQ(r.top, 100);
  EXPECT_EQ(r.right - r.left, 400);
  EXPECT_EQ(r.bottom - r.top, 500);
}

TEST_F(Launcher, WideningMovesTheControlsByTheTable) {
  HWND dlg = Open();
  ASSERT_NE(dlg, nullptr);
  auto rectOf = [&](int id) {
    RECT r;
    GetWindowRect(Item(id), &r);
    MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
    return r;
  };
  const int ids[] = {1008, 1002, 1023, 4005, 4006, 4004, 4003, 1004, 2, 1018};
  std::vector<RECT> before;
  for (int id : ids) before.push_back(rectOf(id));
  RECT dropped;
  SendMessageA(Item(1008), CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
  RECT w;
  GetWindowRect(dlg, &w);
  SetWindowPos(dlg, nullptr, 0, 0, w.right - w.left + 40, w.bottom - w.top + 30, SWP_NOMOVE | SWP_NOZORDER);
  struct Expect {
    int dl, dt, dr, db;
  } expect[] = {{0, 0, 40, 0}, {0, 0, 40, 30}, {0, 30, 40, 30}, {0, 30, 0, 30}, {0, 30, 0, 30},
                {0, 30, 0, 30}, {0, 30, 0, 30}, {40, 30, 40, 30}, {40, 30, 40, 30}, {0, 0, 0, 0}};
  for (std::size_t i = 0; i < std::size(ids); ++i) {
    RECT now = rectOf(ids[i]);
    EXPECT_EQ(now.left - before[i].left, expect[i].dl) << ids[i];
    EXPECT_EQ(now.top - before[i].top, expect[i].dt) << ids[i];
    EXPECT_EQ(now.right - before[i].right, expect[i].dr) << ids[i];
    EXPECT_EQ(now.bottom - before[i].bottom, expect[i].db) << ids[i];
  }
  // The drop-down keeps its room.
  RECT droppedNow;
  SendMessageA(Item(1008), CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&droppedNow));
  EXPECT_EQ(droppedNow.bottom - droppedNow.top, dropped.bottom - dropped.top);
  // The list's only visible column fills it.
  RECT client;
  GetClientRect(Item(1002), &client);
  EXPECT_EQ(SendMessageA(Item(1002), LVM_GETCOLUMNWIDTH, 0, 0), client.right);

  // Shrinking below two thirds is refused.
  MINMAXINFO mmi = {};
  SendMessageA(dlg, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  CLauncherDlg* launcher = CLauncherDlg::FromWindow(dlg);
  ASSERT_NE(launcher, nullptr);
  EXPECT_EQ(mmi.ptMinTrackSize.x, launcher->MinimumSize().cx);
  EXPECT_EQ(mmi.ptMinTrackSize.y, launcher->MinimumSize().cy);
  EXPECT_EQ(launcher->MinimumSize().cx, (w.right - w.left) * 2 / 3);
}

TEST_F(Launcher, ChoosingFromTheDropDownFiltersWithThatEntry) {
  ASSERT_NE(Open(), nullptr);
  CLauncherDlg* launcher = CLauncherDlg::FromWindow(Dialog());
  int before = launcher->RefilterCount();
  SendMessageA(Item(1008), CB_SETCURSEL, 0, 0);  // "beta"
  SendMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(1008, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Item(1008)));
  ASSERT_TRUE(Pump([] { return GetBriskApp()->SearchWord == "beta"; }));
  EXPECT_EQ(Rows(), std::vector<std::string>{"beta"});
  PumpFor(GetKeyboardDelay() + 100);
  EXPECT_EQ(launcher->RefilterCount(), before + 1);

  // An entry longer than the box holds (a hand-edited history) is cut to
  // 259 bytes without splitting a character, and nothing is overrun.
  std::string longEntry = std::string(258, 'a') + "表" + std::string(600, 'b');
  LRESULT index = SendMessageA(Item(1008), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(longEntry.c_str()));
  ASSERT_GE(index, 0);
  SendMessageA(Item(1008), CB_SETCURSEL, index, 0);
  SendMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(1008, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Item(1008)));
  ASSERT_TRUE(Pump([] { return GetBriskApp()->SearchWord.size() >= 258; }));
  EXPECT_EQ(GetBriskApp()->SearchWord, std::string(258, 'a'));

  // No entry chosen any more when the timer runs: the box's text counts.
  SendMessageA(Item(1008), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  SetWindowTextA(Item(1008), "gamma");
  SendMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(1008, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Item(1008)));
  ASSERT_TRUE(Pump([] { return GetBriskApp()->SearchWord == "gamma"; }));
  EXPECT_EQ(Rows(), std::vector<std::string>{"gamma alpha"});
}

TEST_F(Launcher, SearchBoxKeysDriveTheList) {
  ASSERT_NE(Open(), nullptr);
  HWND edit = Edit();
  SetFocus(edit);
  Type("a");
  ASSERT_TRUE(Pump([] { return GetBriskApp()->SearchWord == "a"; }));
  ASSERT_EQ(Selected(), 0);
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  struct Step {
    WPARAM key;
    bool ctrl;
    int selected;
  } steps[] = {
      {VK_DOWN, false, 1}, {VK_DOWN, false, 2}, {VK_UP, false, 1},  {'N', true, 2},
      {'P', true, 1},      {VK_DOWN, true, 2},  {'N', false, 2},
  };
  for (const Step& step : steps) {
    keys[VK_CONTROL] = step.ctrl ? 0x80 : 0;
    SetKeyboardState(keys);
    SendMessageA(edit, WM_KEYDOWN, step.key, 1);
    EXPECT_EQ(Selected(), step.selected) << step.key << " ctrl " << step.ctrl;
  }
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  // Ctrl+A, Ctrl+N and Ctrl+P insert nothing; the text stays as typed.
  for (WPARAM c : {1, 14, 16}) SendMessageA(edit, WM_CHAR, c, 1);
  EXPECT_EQ(Text(Item(1008)), "a");

  // With the drop-down open the arrows stay in the drop-down.
  SendMessageA(Item(1008), CB_SHOWDROPDOWN, TRUE, 0);
  int before = Selected();
  SendMessageA(edit, WM_KEYDOWN, VK_DOWN, 1);
  EXPECT_EQ(Selected(), before);
  SendMessageA(Item(1008), CB_SHOWDROPDOWN, FALSE, 0);

  // Focus coming back leaves the text unselected.
  SetFocus(Item(1002));
  SetFocus(edit);
  DWORD start = 1, end = 1;
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, end);
}

TEST_F(Launcher, CtrlASwitchesCompletionOnOnce) {
  ASSERT_NE(Open(), nullptr);
  CLauncherDlg* launcher = CLauncherDlg::FromWindow(Dialog());
  HWND edit = Edit();
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);

  // Without the library or without the function the dialog works on.
  CLauncherDlg::SetAutoCompleteSource("NO_SUCH_SHELL_LIBRARY.DLL", "SHAutoComplete");
  SendMessageA(edit, WM_KEYDOWN, 'A', 1);
  EXPECT_FALSE(launcher->IsAutoCompleteOn());
  CLauncherDlg::SetAutoCompleteSource("KERNEL32.DLL", "SHAutoComplete");
  SendMessageA(edit, WM_KEYDOWN, 'A', 1);
  EXPECT_FALSE(launcher->IsAutoCompleteOn());
  // A library of the looked-up name beside the program is never loaded.
  CLauncherDlg::SetAutoCompleteSource("tarn_plant.dll", "SHAutoComplete");
  SendMessageA(edit, WM_KEYDOWN, 'A', 1);
  EXPECT_FALSE(launcher->IsAutoCompleteOn());
  EXPECT_EQ(CLauncherDlg::AutoCompleteCalls(), 0);

  // The shell's own library has it; what it shows is the shell's affair.
  CLauncherDlg::SetAutoCompleteSource("SHLWAPI.DLL", "SHAutoComplete");
  SendMessageA(edit, WM_KEYDOWN, 'A', 1);
  EXPECT_TRUE(launcher->IsAutoCompleteOn());
  EXPECT_EQ(CLauncherDlg::AutoCompleteCalls(), 1);
  SendMessageA(edit, WM_KEYDOWN, 'A', 1);
  EXPECT_EQ(CLauncherDlg::AutoCompleteCalls(), 1);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  // Ctrl+A selects nothing.
  DWORD start = 1, end = 1;
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, end);
}

TEST_F(Launcher, SettingsTurnCompletionAndTheDefaultCharacterOn) {
  settings.AutocompleteURL = true;
  settings.DefaultSearchMode = '^';
  ASSERT_NE(Open(), nullptr);
  EXPECT_TRUE(CLauncherDlg::FromWindow(Dialog())->IsAutoCompleteOn());
  EXPECT_EQ(Text(Item(1008)), "^");
  // Set by the program, the text still starts the filter timer.
  ASSERT_TRUE(Pump([] { return GetBriskApp()->SearchWord == "^"; }));
}

TEST_F(Launcher, KanaMatchWrittenInTheSettingsFileRefiltersTheOpenList) {
  const std::string memo = dir / "cands\\メモ帳.txt";
  WriteFileBytes(memo, "x");
  std::string cache;
  ASSERT_TRUE(ReadFileBytes(dir / "apppaths.ini", &cache));
  WriteFileBytes(dir / "apppaths.ini", memo + "\r\n" + cache);
  ASSERT_NE(Open(), nullptr);
  SearchFor("memo");
  EXPECT_EQ(Rows(), std::vector<std::string>{});
  // Switched on in the file by hand, read again when the settings apply.
  std::string file;
  ASSERT_TRUE(ReadFileBytes(dir / "tlenv.ini", &file));
  file.replace(file.find("KanaMatch: 0"), 12, "KanaMatch: 1");
  WriteFileBytes(dir / "tlenv.ini", file);
  CEnvInfoStore().FreeEnvInfo();
  GetBriskApp()->ApplySettings(0);
  Pump([] { return !Rows().empty(); }, 3000);
  EXPECT_EQ(Rows(), std::vector<std::string>{"メモ帳"});
}

TEST_F(Launcher, AppliedCollectionRefreshesTheOpenList) {
  ASSERT_NE(Open(), nullptr);
  ASSERT_EQ(Rows().size(), 6u);
  auto* records = new AppEntryList{{"beta", dir / "cands\\beta.txt", 0}, {"alpha", dir / "cands\\alpha.txt", 1}};
  SendMessageA(GetMainWindow(), WM_COLLECT_NOTIFY, 0, reinterpret_cast<LPARAM>(records));
  Pump([] { return Rows().size() == 2; }, 3000);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"beta", "alpha"}));
  EXPECT_EQ(Text(Item(1018)), "[    2 /     2]");
}

TEST_F(Launcher, SearchBeforeTheCacheIsInRefillsWhenItArrives) {
  SetLauncherFactory(&CreateLauncherDialog);
  CEnvInfoStore().SaveEnvInfo(&settings);
  ASSERT_NE(CreateMainWindow(GetModuleHandleA(nullptr), dir.Path() + "\\"), nullptr);
  // No message handled yet: the cache's candidates cannot be in.
  SendMessageA(GetMainWindow(), WM_HOTKEY, 1, 0);
  ASSERT_NE(Dialog(), nullptr);
  EXPECT_TRUE(Rows().empty());
  EXPECT_EQ(Text(Item(1018)), "[    0 /     0]");
  Type("alp");
  ASSERT_TRUE(Pump([] { return Rows().size() == 3; }));
  EXPECT_EQ(Rows(), (std::vector<std::string>{"alpha", "Alphabet", "gamma alpha"}));
  EXPECT_EQ(Text(Item(1018)), "[    3 /     6]");
}

// Answers the exit confirmation with No from inside its modal loop.
std::string g_ExitText;
void CALLBACK DeclineExit(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = tarn::test::FindDialogByCaption("Tarn Launcher 終了確認");
  if (!box) return;
  KillTimer(nullptr, timer);
  g_ExitText = tarn::test::MessageBoxText(box);
  PostMessageA(box, WM_COMMAND, IDNO, 0);
}

TEST_F(Launcher, ExitButtonGoesThroughTheMainWindow) {
  ASSERT_NE(Open(), nullptr);
  g_ExitText.clear();
  SetTimer(nullptr, 0, 50, DeclineExit);
  SendMessageA(Item(4004), BM_CLICK, 0, 0);
  ASSERT_TRUE(Pump([] { return !g_ExitText.empty(); }));
  EXPECT_EQ(g_ExitText, "Tarn Launcher を終了しますか？");
  EXPECT_NE(GetMainWindow(), nullptr);
  EXPECT_NE(Dialog(), nullptr);
}

}  // namespace
