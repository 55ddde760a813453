// The modal dialog in which one static item is entered or changed: its
// name, its command with "%1" and the two expansion flags. A drop-down of
// ready-made items fills in a whole item with one choice. Whatever the
// fields hold on OK is taken.
#pragma once

#include <windows.h>

#include "base/DialogBase.h"
#include "settings/DlgToolTip.h"
#include "settings/EnvDlgInfo.h"

// One ready-made item offered in the name box.
struct StaticItemPreset {
  const char* Name;
  const char* Command;
  bool UseUrlEncode;
  bool UseUTF8;
};
inline constexpr StaticItemPreset kStaticItemPresets[] = {
    {"ファイル名を指定して実行", "%1", false, false},
    {"Google", "https://www.google.co.jp/search?hl=ja&ie=UTF-8&q=%1", true, true},
    {"Yahoo Japan", "https://search.yahoo.co.jp/bin/search?p=%1", true, false},
    {"CinemaScape", "https://cinema.intercritique.com/movie.cgi?name=%1", true, false},
};

class CStaticItemDlg : public CDialogBase {
 public:
  CStaticItemDlg();
  ~CStaticItemDlg() override;

  // Add mode: the fields start empty. On OK the entered item goes to item
  // and true is answered; Cancel (or a dialog that could not be shown)
  // answers false and leaves item alone.
  bool AddItem(StaticItem& item, HINSTANCE instance, HWND parent);
  // Update mode: the fields start with item's values; on OK item takes the
  // new ones.
  bool UpdateItem(StaticItem& item, HINSTANCE instance, HWND parent);

 private:
  bool Run(StaticItem& item, HINSTANCE instance, HWND parent);
  INT_PTR OnInit() override;
  INT_PTR OnCommand(int id, int code, HWND control) override;
  void OnDestroy() override;
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  HWND Command = nullptr;
  HWND Name = nullptr;
  bool UpdateMode = false;
  StaticItem Item;
  CDlgToolTip ToolTip;
};
