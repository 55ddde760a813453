// The launch sequence against a stand-in launcher dialog: a real dialog with
// the search box (combo box 1008) and the candidate list (list view 1002),
// whose candidate rows answer their texts on request, as the list view does.
// A launch that succeeds records both histories and writes the settings
// file; a launch that fails changes nothing.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launcher/HistoryControls.h"
#include "launcher/Launch.h"
#include "RecordLog.h"
#include "res/LauncherDialog.h"
#include "settings/EnvInfoStore.h"
#include "support/TestSupport.h"

using namespace tarn::test;

namespace {

class StandInDialog {
 public:
  StandInDialog(const std::vector<std::string>& statics, const std::vector<std::string>& paths)
      : statics_(statics), paths_(paths) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    struct {
      DLGTEMPLATE t;
      WORD menu, cls, title;
    } tpl = {};
    tpl.t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    tpl.t.cx = 300;
    tpl.t.cy = 200;
    dlg_ = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &tpl.t, nullptr, &Proc,
                                      reinterpret_cast<LPARAM>(this));
  }
  ~StandInDialog() {
    if (dlg_) DestroyWindow(dlg_);
  }
  StandInDialog(const StandInDialog&) = delete;
  StandInDialog& operator=(const StandInDialog&) = delete;

  HWND Dialog() const { return dlg_; }
  HWND Combo() const { return GetDlgItem(dlg_, IDC_LAUNCHER_SEARCH); }
  HWND List() const { return GetDlgItem(dlg_, IDC_LAUNCHER_LIST); }

  void Select(int row) {
    ListView_SetItemState(List(), -1, 0, LVIS_SELECTED);
    if (row >= 0) ListView_SetItemState(List(), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }
  void Type(const std::string& word) { SetWindowTextA(Combo(), word.c_str()); }
  std::string Word() const {
    char buf[300] = {};
    GetWindowTextA(Combo(), buf, sizeof buf);
    return buf;
  }
  std::vector<std::string> DropDown() const {
    std::vector<std::string> out;
    int n = static_cast<int>(SendMessageA(Combo(), CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
      char buf[300] = {};
      SendMessageA(Combo(), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf));
      out.push_back(buf);
    }
    return out;
  }

 private:
  static INT_PTR CALLBACK Proc(HWND dlg, UINT msg, WPARAM, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
      SetWindowLongPtrA(dlg, GWLP_USERDATA, lp);
      reinterpret_cast<StandInDialog*>(lp)->OnInit(dlg);
      return TRUE;
    }
    auto* self = reinterpret_cast<StandInDialog*>(GetWindowLongPtrA(dlg, GWLP_USERDATA));
    if (msg == WM_NOTIFY && self) {
      auto* info = reinterpret_cast<NMLVDISPINFOA*>(lp);
      if (info->hdr.code == LVN_GETDISPINFOA) {
        // Answer with a pointer to the row's own text, as the list view does.
        std::size_t c = static_cast<std::size_t>(info->item.iItem) - self->statics_.size();
        if (c < self->paths_.size() && (info->item.mask & LVIF_TEXT))
          info->item.pszText = const_cast<char*>(self->paths_[c].c_str());
        return TRUE;
      }
    }
    return FALSE;
  }

  void OnInit(HWND dlg) {
    dlg_ = dlg;
    CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWN | WS_VSCROLL, 5, 5,
                    280, 200, dlg, reinterpret_cast<HMENU>(IDC_LAUNCHER_SEARCH), nullptr, nullptr);
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "",
                                WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                                5, 40, 280, 150, dlg, reinterpret_cast<HMENU>(IDC_LAUNCHER_LIST),
                                nullptr, nullptr);
    LVCOLUMNA col = {};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.cx = 200;
    col.pszText = const_cast<char*>("AppName");
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&col));
    col.cx = 0;
    col.iSubItem = 1;
    col.pszText = const_cast<char*>("AppPath[hide]");
    SendMessageA(list, LVM_INSERTCOLUMNA, 1, reinterpret_cast<LPARAM>(&col));
    int row = 0;
    for (const std::string& name : statics_) {
      LVITEMA item = {};
      item.mask = LVIF_TEXT;
      item.iItem = row++;
      item.pszText = const_cast<char*>(name.c_str());
      SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    for (std::size_t i = 0; i < paths_.size(); ++i) {
      LVITEMA item = {};
      item.mask = LVIF_TEXT;
      item.iItem = row;
      item.pszText = LPSTR_TEXTCALLBACKA;
      SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
      item.iSubItem = 1;
      SendMessageA(list, LVM_SETITEMTEXTA, row++, reinterpret_cast<LPARAM>(&item));
    }
  }

  std::vector<std::string> statics_;
  std::vector<std::string> paths_;
  HWND dlg_ = nullptr;
};

// What the launcher's Run command does with the selected row, the explorer
// replaced by the recorder.
int RunSelected(StandInDialog& d, EnvDlgInfo& info, const std::string& settingsDir, bool shift,
                const std::string& explorer) {
  int row = -1;
  std::string path;
  if (!ReadSelectedRowPath(d.List(), &row, &path)) return kLaunchNothing;
  std::string word = d.Word();
  bool isStatic = row < static_cast<int>(info.StaticItems.size());
  int code;
  if (shift) {
    if (isStatic) return kLaunchNothing;
    code = OpenContainingFolderWith(explorer.c_str(), path);
  } else {
    LaunchRequest r;
    r.SearchWord = word;
    r.SpaceIsOption = info.SpaceIsOption;
    r.RowZero = row == 0;
    if (isStatic) {
      if (word.empty()) return kLaunchNothing;
      if (!ExpandStaticCommand(info.StaticItems[static_cast<std::size_t>(row)], word, &r.Path))
        return kLaunchNothing;
      r.FromStaticItem = true;
    } else {
      r.Path = path;
    }
    code = StartItem(r);
  }
  if (code != kLaunchStarted) return code;
  RecordLaunchHistories(d.Dialog(), info, word);
  CEnvInfoStore(settingsDir).SaveEnvInfo(&info);
  return code;
}

EnvDlgInfo ReadBack(const std::string& dir) {
  CEnvInfoStore store(dir);
  store.FreeEnvInfo();
  EnvDlgInfo info;
  store.GetEnvInfo(&info);
  store.FreeEnvInfo();
  return info;
}

class LaunchSequence : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = tmp_ / "起動 テスト表";
    MakeDirs(folder_);
    settingsDir_ = tmp_ / "設定\\";
    MakeDirs(settingsDir_);
    program_ = folder_ + "\\記録 ソフト.exe";
    ASSERT_TRUE(CopyFileA(RecorderPath().c_str(), program_.c_str(), FALSE));
    log_ = folder_ + "\\recorder.log";
    info_.ExecListNumMax = 3;
    info_.TopDirNumMax = 3;
    info_.ExecList = {"abc", "xyz"};
    info_.TopDirs = {"C:\\old.exe"};
    info_.StaticItems = {{"ファイル名を指定して実行", "%1", false, false},
                         {"検索", folder_ + "\\q=%1.exe", true, true}};
    CEnvInfoStore(settingsDir_).FreeEnvInfo();
  }
  void TearDown() override { CEnvInfoStore(settingsDir_).FreeEnvInfo(); }

  std::string SettingsFile() const { return settingsDir_ + "tlenv.ini"; }

  TempDir tmp_;
  std::string folder_, settingsDir_, program_, log_;
  EnvDlgInfo info_;
};

}  // namespace

TEST_F(LaunchSequence, SuccessRecordsAndSaves) {
  struct Case {
    int row;
    std::string word;
    bool shift;
    std::vector<std::string> execList, topDirs;
    std::string program, args;
  };
  const std::string missing = tmp_ / "無い.exe";
  const std::string second = folder_ + "\\二番目.exe";
  const std::string encoded = folder_ + "\\q=%E8%A1%A8+%EF%BD%B6.exe";
  const std::vector<Case> cases = {
      // A candidate: the word and the path go to the front.
      {3, "ABC", false, {"ABC", "xyz"}, {program_, "C:\\old.exe"}, program_, ""},
      // Row 0, the run-by-name item: a command line through the process start.
      {0, "\"" + program_ + "\" -x 表", false, {"\"" + program_ + "\" -x 表", "ABC", "xyz"},
       {program_, "C:\\old.exe"}, program_, "-x 表"},
      // A static item in UTF-8 naming a file by the encoded word: the word
      // is recorded, the static row is not.
      {1, "表 ｶ", false, {"表 ｶ", "\"" + program_ + "\" -x 表", "ABC"}, {program_, "C:\\old.exe"},
       encoded, ""},
      // Shift: the folder is opened with the file selected; recorded like a launch.
      {3, "xyz", true, {"xyz", "表 ｶ", "\"" + program_ + "\" -x 表"}, {program_, "C:\\old.exe"},
       program_, "/select,\"" + program_ + "\""},
      // An empty word is not recorded; the path still is.
      {4, "", false, {"xyz", "表 ｶ", "\"" + program_ + "\" -x 表"}, {second, program_, "C:\\old.exe"},
       second, ""},
  };
  ASSERT_TRUE(CopyFileA(RecorderPath().c_str(), second.c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(RecorderPath().c_str(), encoded.c_str(), FALSE));
  StandInDialog d({info_.StaticItems[0].Name, info_.StaticItems[1].Name}, {missing, program_, second});
  ASSERT_NE(d.Dialog(), nullptr);
  SyncSearchWordDropDown(d.Combo(), info_.ExecList);
  std::size_t n = 0;
  for (const Case& c : cases) {
    d.Type(c.word);
    d.Select(c.row);
    ASSERT_EQ(RunSelected(d, info_, settingsDir_, c.shift, program_), kLaunchStarted) << c.word;
    auto records = WaitForRecords(log_, ++n);
    ASSERT_EQ(records.size(), n) << c.word;
    EXPECT_EQ(records.back().program, c.program) << c.word;
    EXPECT_EQ(records.back().args, c.args) << c.word;
    EXPECT_EQ(info_.ExecList, c.execList) << c.word;
    EXPECT_EQ(info_.TopDirs, c.topDirs) << c.word;
    EXPECT_EQ(d.DropDown(), info_.ExecList) << c.word;
    EXPECT_EQ(d.Word(), c.word) << "the search box keeps its text";
    EnvDlgInfo saved = ReadBack(settingsDir_);
    EXPECT_EQ(saved.ExecList, c.execList) << c.word;
    EXPECT_EQ(saved.TopDirs, c.topDirs) << c.word;
  }
}

TEST_F(LaunchSequence, FailureChangesNothing) {
  struct Case { int row; std::string word; bool shift; int code; };
  const std::vector<Case> cases = {
      {2, "nothere", false, kLaunchNotFound},  // a missing candidate
      {0, "nothere-either.exe -x", false, kLaunchNotFound},  // shell and process both fail
      {1, "", false, kLaunchNothing},          // a static item without a word
      {1, "w", true, kLaunchNothing},          // the folder of a static row
      {-1, "w", false, kLaunchNothing},        // no row selected
      {1, std::string(300, 'w'), false, kLaunchNothing},  // longer than the search box holds
  };
  StandInDialog d({info_.StaticItems[0].Name, info_.StaticItems[1].Name}, {tmp_ / "無い.exe"});
  ASSERT_NE(d.Dialog(), nullptr);
  SyncSearchWordDropDown(d.Combo(), info_.ExecList);
  const EnvDlgInfo before = info_;
  for (const Case& c : cases) {
    d.Type(c.word);
    d.Select(c.row);
    EXPECT_EQ(RunSelected(d, info_, settingsDir_, c.shift, program_), c.code) << c.row << c.word;
    EXPECT_EQ(info_, before);
    EXPECT_EQ(d.DropDown(), before.ExecList);
    EXPECT_FALSE(FileExists(SettingsFile())) << "settings written after a failure";
  }
  PumpFor(300);
  EXPECT_FALSE(FileExists(log_));
}

TEST_F(LaunchSequence, LongPathColumnIsReadWhole) {
  // A real program at a path of exactly 259 bytes, and a candidate whose
  // longer path starts with those 259 bytes: cut at 259 bytes, the
  // candidate would start the other program.
  std::string base = tmp_.Path() + "\\";
  std::string shortPath = base + std::string(259 - base.size() - 4, 'p') + ".exe";
  ASSERT_EQ(shortPath.size(), 259u);
  ASSERT_TRUE(CopyFileA(RecorderPath().c_str(), shortPath.c_str(), FALSE));
  std::string longPath = shortPath + std::string(141, 'q');
  StandInDialog d({}, {"C:\\first.exe", longPath});
  info_.StaticItems.clear();
  d.Select(1);
  int row = -1;
  std::string path;
  ASSERT_TRUE(ReadSelectedRowPath(d.List(), &row, &path));
  EXPECT_EQ(row, 1);
  EXPECT_EQ(path, longPath);
  d.Type("ppp");
  EXPECT_EQ(RunSelected(d, info_, settingsDir_, false, program_), kLaunchNotFound);
  PumpFor(300);
  EXPECT_FALSE(FileExists(tmp_ / "recorder.log")) << "the cut path was started";
  EXPECT_EQ(info_.TopDirs, std::vector<std::string>{"C:\\old.exe"});
}

TEST_F(LaunchSequence, DropDownFollowsAShortenedHistory) {
  // The settings dialog cut ExecList while the launcher kept a longer drop-down.
  StandInDialog d({}, {"C:\\a.exe"});
  SyncSearchWordDropDown(d.Combo(), {"e", "d", "c", "b", "a"});
  d.Type("typed");
  info_.ExecListNumMax = 2;
  info_.ExecList = {"a", "b"};
  struct Case { std::string word; std::vector<std::string> want; };
  const Case cases[] = {{"A", {"A", "b"}}, {"z", {"z", "A"}}, {"Ｚ", {"Ｚ", "z"}}, {"ｚ", {"ｚ", "z"}}};
  for (const Case& c : cases) {
    AddSearchWord(d.Combo(), info_, c.word);
    EXPECT_EQ(info_.ExecList, c.want) << c.word;
    EXPECT_EQ(d.DropDown(), c.want) << c.word;
  }
  EXPECT_EQ(d.Word(), "typed");
}
