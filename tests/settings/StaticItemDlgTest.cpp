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

std::string Fields(HWND dlg) {
  return WindowText(GetDlgItem(dlg, IDC_ITEM_NAME), 1000) + "|" + WindowText(GetDlgItem(dlg, IDC_ITEM_COMMAND), 1000) +
         "|" + std::to_string(IsDlgButtonChecked(dlg, IDC_ITEM_URLENCODE)) +
         std::to_string(IsDlgButtonChecked(dlg, IDC_ITEM_UTF8));
}

void Choose(HWND dlg, int preset) {
  SendDlgItemMessageA(dlg, IDC_ITEM_NAME, CB_SETCURSEL, static_cast<WPARAM>(preset), 0);
  SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_ITEM_NAME, CBN_SELENDOK),
               reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDC_ITEM_NAME)));
}

TEST(StaticItemDlg, PresetsModesAndOverlongFields) {
  const StaticItem dictionary{"辞書", "https://dict.example/?q=%1", true, false};
  std::string long350(150, 'a'), long258 = long350;
  for (int i = 0; i < 100; ++i) long350 += "表";
  for (int i = 0; i < 54; ++i) long258 += "表";  // the next one would not fit
  const struct {
    bool update;
    std::function<void(HWND)> act;
    int button;
    StaticItem expected;
  } cases[] = {
      // Empty fields; a preset fills in the whole item.
      {false, [](HWND dlg) {
         EXPECT_EQ(Fields(dlg), "||00");
         Choose(dlg, 2);
         EXPECT_EQ(Fields(dlg), "Yahoo Japan|https://search.yahoo.co.jp/bin/search?p=%1|10");
         Choose(dlg, 3);
         EXPECT_EQ(Fields(dlg), "CinemaScape|https://cinema.intercritique.com/movie.cgi?name=%1|10");
         Choose(dlg, 1);
       }, IDOK, {"Google", "https://www.google.co.jp/search?hl=ja&ie=UTF-8&q=%1", true, true}},
      // The item's values; a name of no preset changes nothing else.
      {true, [](HWND dlg) {
         EXPECT_EQ(Fields(dlg), "辞書|https://dict.example/?q=%1|10");
         SetDlgItemTextA(dlg, IDC_ITEM_NAME, "Google 辞書");
         SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_ITEM_NAME, CBN_EDITCHANGE),
                      reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDC_ITEM_NAME)));
       }, IDOK, {"Google 辞書", "https://dict.example/?q=%1", true, false}},
      {true, [](HWND dlg) { Choose(dlg, 0); }, IDOK, {"ファイル名を指定して実行", "%1", false, false}},
      {true, [](HWND dlg) { Choose(dlg, 2); }, IDCANCEL, dictionary},
      {true, [](HWND) {}, 0, dictionary},  // the close box
      // An empty name is taken; an overlong command is cut on a character.
      {false, [&](HWND dlg) { SetDlgItemTextA(dlg, IDC_ITEM_COMMAND, long350.c_str()); }, IDOK, {"", long258, false, false}},
  };
  for (const auto& c : cases) {
    StaticItem item = dictionary;
    tarn::test::WhenDialogShows("固定候補設定", [&](HWND dlg) {
      c.act(dlg);
      PostMessageA(dlg, c.button ? WM_COMMAND : WM_CLOSE, c.button, 0);
    });
    CStaticItemDlg dialog;
    const bool ok = c.update ? dialog.UpdateItem(item, GetModuleHandleA(nullptr), nullptr)
                             : dialog.AddItem(item, GetModuleHandleA(nullptr), nullptr);
    EXPECT_EQ(ok, c.button == IDOK) << c.expected.Name;
    EXPECT_EQ(item, c.expected) << c.expected.Name;
  }
}

}  // namespace
