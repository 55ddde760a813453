// The static item dialog driven from inside its own loop: presets, the two
// modes, Cancel and the close box, fields longer than the file holds.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "base/DialogBase.h"
#include "res/SettingsDialogs.h"
#include "settings/StaticItemDlg.h"
#include "support/TestSupport.h"

namespace {

std::string Text(HWND dlg, int id) { return WindowText(GetDlgItem(dlg, id), 1000); }
bool Checked(HWND dlg, int id) { return IsDlgButtonChecked(dlg, id) == BST_CHECKED; }

void Choose(HWND dlg, int preset) {
  HWND combo = GetDlgItem(dlg, IDC_ITEM_NAME);
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(preset), 0);
  SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_ITEM_NAME, CBN_SELENDOK), reinterpret_cast<LPARAM>(combo));
}

void TypeName(HWND dlg, const std::string& text) {
  SetDlgItemTextA(dlg, IDC_ITEM_NAME, text.c_str());
  SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_ITEM_NAME, CBN_EDITCHANGE),
               reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDC_ITEM_NAME)));
}

void Press(HWND dlg, int id) { PostMessageA(dlg, WM_COMMAND, id, 0); }

const StaticItem kDictionary{"辞書", "https://dict.example/?q=%1", true, false};

TEST(StaticItemDlg, PresetsModesAndOverlongFields) {
  std::string long350(150, 'a'), long259 = long350;
  for (int i = 0; i < 100; ++i) long350 += "表";
  for (int i = 0; i < 54; ++i) long259 += "表";  // 258 bytes: the next one would not fit
  struct Case {
    bool update;
    std::function<void(HWND)> act;
    bool ok;
    StaticItem expected;
  } cases[] = {
      {false,  // empty fields; Google fills in the whole item
       [](HWND dlg) {
         EXPECT_EQ(Text(dlg, IDC_ITEM_NAME) + Text(dlg, IDC_ITEM_COMMAND), "");
         EXPECT_FALSE(Checked(dlg, IDC_ITEM_URLENCODE) || Checked(dlg, IDC_ITEM_UTF8));
         // Every web preset sends the words encrypted.
         Choose(dlg, 2);
         EXPECT_EQ(Text(dlg, IDC_ITEM_COMMAND), "https://search.yahoo.co.jp/bin/search?p=%1");
         Choose(dlg, 3);
         EXPECT_EQ(Text(dlg, IDC_ITEM_COMMAND), "https://cinema.intercritique.com/movie.cgi?name=%1");
         Choose(dlg, 1);
         Press(dlg, IDOK);
       },
       true, {"Google", "https://www.google.co.jp/search?hl=ja&ie=UTF-8&q=%1", true, true}},
      {true,  // the item's values; a name of no preset changes nothing else
       [](HWND dlg) {
         EXPECT_EQ(Text(dlg, IDC_ITEM_NAME) + Text(dlg, IDC_ITEM_COMMAND), "辞書https://dict.example/?q=%1");
         EXPECT_TRUE(Checked(dlg, IDC_ITEM_URLENCODE) && !Checked(dlg, IDC_ITEM_UTF8));
         TypeName(dlg, "Google 辞書");
         Press(dlg, IDOK);
       },
       true, {"Google 辞書", "https://dict.example/?q=%1", true, false}},
      {true,  // run by file name clears both boxes
       [](HWND dlg) {
         Choose(dlg, 0);
         Press(dlg, IDOK);
       },
       true, {"ファイル名を指定して実行", "%1", false, false}},
      {true,  // cancel after a preset leaves the item
       [](HWND dlg) {
         Choose(dlg, 2);
         Press(dlg, IDCANCEL);
       },
       false, kDictionary},
      {true, [](HWND dlg) { PostMessageA(dlg, WM_CLOSE, 0, 0); }, false, kDictionary},
      {false,  // an empty name is taken; an overlong command is cut on a character
       [&](HWND dlg) {
         SetDlgItemTextA(dlg, IDC_ITEM_COMMAND, long350.c_str());
         Press(dlg, IDOK);
       },
       true, {"", long259, false, false}},
  };
  for (const Case& c : cases) {
    StaticItem item = kDictionary;
    tarn::test::WhenDialogShows("固定候補設定", c.act);
    CStaticItemDlg dialog;
    const bool ok = c.update ? dialog.UpdateItem(item, GetModuleHandleA(nullptr), nullptr)
                             : dialog.AddItem(item, GetModuleHandleA(nullptr), nullptr);
    EXPECT_EQ(ok, c.ok) << c.expected.Name;
    EXPECT_EQ(item, c.expected) << c.expected.Name;
  }
}

}  // namespace
