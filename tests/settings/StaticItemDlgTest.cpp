// The static item dialog, run modally and driven from inside its own loop
// as a user would: the presets, the two modes, Cancel and the close box,
// and fields longer than the settings file holds.
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

void Type(HWND dlg, int id, const std::string& text) {
  SetDlgItemTextA(dlg, id, text.c_str());
  SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, id == IDC_ITEM_NAME ? CBN_EDITCHANGE : EN_CHANGE),
               reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
}

void Press(HWND dlg, int id) { PostMessageA(dlg, WM_COMMAND, id, 0); }

const StaticItem kDictionary{"辞書", "https://dict.example/?q=%1", true, false};

TEST(StaticItemDlg, PresetsModesAndOverlongFields) {
  const std::string han = "表";
  struct Case {
    const char* what;
    bool update;
    std::function<void(HWND)> act;
    bool ok;
    StaticItem expected;
  } cases[] = {
      {"add: empty fields; Google fills in the whole item", false,
       [](HWND dlg) {
         EXPECT_EQ(Text(dlg, IDC_ITEM_NAME), "");
         EXPECT_EQ(Text(dlg, IDC_ITEM_COMMAND), "");
         EXPECT_FALSE(Checked(dlg, IDC_ITEM_URLENCODE) || Checked(dlg, IDC_ITEM_UTF8));
         Choose(dlg, 1);
         Press(dlg, IDOK);
       },
       true, {"Google", "https://www.google.co.jp/search?hl=ja&ie=UTF-8&q=%1", true, true}},
      {"every web preset sends the words encrypted", false,
       [](HWND dlg) {
         for (int preset : {2, 3}) {
           Choose(dlg, preset);
           EXPECT_EQ(Text(dlg, IDC_ITEM_COMMAND).rfind("https://", 0), 0u) << preset;
         }
         Press(dlg, IDOK);
       },
       true, {"CinemaScape", "https://cinema.intercritique.com/movie.cgi?name=%1", true, false}},
      {"update: the item's values; a name of no preset changes nothing else", true,
       [](HWND dlg) {
         EXPECT_EQ(Text(dlg, IDC_ITEM_NAME), "辞書");
         EXPECT_EQ(Text(dlg, IDC_ITEM_COMMAND), "https://dict.example/?q=%1");
         EXPECT_TRUE(Checked(dlg, IDC_ITEM_URLENCODE));
         EXPECT_FALSE(Checked(dlg, IDC_ITEM_UTF8));
         Type(dlg, IDC_ITEM_NAME, "Google 辞書");
         Press(dlg, IDOK);
       },
       true, {"Google 辞書", "https://dict.example/?q=%1", true, false}},
      {"run by file name clears both boxes", true,
       [](HWND dlg) {
         Choose(dlg, 0);
         Press(dlg, IDOK);
       },
       true, {"ファイル名を指定して実行", "%1", false, false}},
      {"cancel after a preset leaves the item", true,
       [](HWND dlg) {
         Choose(dlg, 2);
         Press(dlg, IDCANCEL);
       },
       false, kDictionary},
      {"the close box cancels", true, [](HWND dlg) { PostMessageA(dlg, WM_CLOSE, 0, 0); }, false, kDictionary},
      {"an empty name is taken; overlong fields are cut on a character", false,
       [&](HWND dlg) {
         Type(dlg, IDC_ITEM_COMMAND, std::string(150, 'a') + [&] {
           std::string s;
           for (int i = 0; i < 100; ++i) s += han;
           return s;
         }());
         Press(dlg, IDOK);
       },
       true, {"", std::string(150, 'a') + [&] {
                std::string s;
                for (int i = 0; i < 54; ++i) s += han;
                return s;
              }(), false, false}},
  };
  for (const Case& c : cases) {
    StaticItem item = kDictionary;
    tarn::test::WhenDialogShows("固定候補設定", c.act);
    CStaticItemDlg dialog;
    const bool ok = c.update ? dialog.UpdateItem(item, GetModuleHandleA(nullptr), nullptr)
                             : dialog.AddItem(item, GetModuleHandleA(nullptr), nullptr);
    EXPECT_EQ(ok, c.ok) << c.what;
    EXPECT_EQ(item, c.expected) << c.what;
  }
}

}  // namespace
