// Tooltips on a real dialog: which windows become tools, the texts the
// dialog answers, the relay of mouse messages and the shared hook.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "DlgToolTipTestIds.h"
#include "settings/DlgToolTip.h"
#include "support/TestSupport.h"

namespace {

using tarn::test::PumpUntil;

// A dialog that owns a CDlgToolTip the way the program's dialogs do.
INT_PTR CALLBACK TestDlgProc(HWND dlg, UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: {
      auto* tip = new CDlgToolTip;
      tip->Create(dlg);
      SetWindowLongPtrA(dlg, DWLP_USER, reinterpret_cast<LONG_PTR>(tip));
      return TRUE;
    }
    case WM_DESTROY: {
      auto* tip = reinterpret_cast<CDlgToolTip*>(GetWindowLongPtrA(dlg, DWLP_USER));
      if (tip) {
        tip->Destroy();
        delete tip;
        SetWindowLongPtrA(dlg, DWLP_USER, 0);
      }
      return FALSE;
    }
    default:
      return FALSE;
  }
}

HWND OpenTestDialog() {
  HWND dlg = CreateDialogParamA(GetModuleHandleA(nullptr), "DLG_TIPTEST", nullptr, TestDlgProc, 0);
  if (dlg) ShowWindow(dlg, SW_SHOWNORMAL);
  return dlg;
}

// Closes a test dialog however the test ends.
struct DialogGuard {
  HWND dlg;
  ~DialogGuard() {
    if (IsWindow(dlg)) DestroyWindow(dlg);
  }
};

CDlgToolTip* TipOf(HWND dlg) {
  return reinterpret_cast<CDlgToolTip*>(GetWindowLongPtrA(dlg, DWLP_USER));
}

// Asks the dialog for a tool's text the way the tooltip control does.
std::string AskText(HWND dlg, HWND tool) {
  NMTTDISPINFOA info = {};
  info.hdr.hwndFrom = TipOf(dlg)->ToolTipWindow();
  info.hdr.idFrom = reinterpret_cast<UINT_PTR>(tool);
  info.hdr.code = TTN_GETDISPINFOA;
  info.uFlags = TTF_IDISHWND;
  SendMessageA(dlg, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
  return info.lpszText && info.lpszText != LPSTR_TEXTCALLBACKA ? info.lpszText : "";
}

HWND ComboEdit(HWND dlg) { return FindWindowExA(GetDlgItem(dlg, IDC_TIP_COMBO), nullptr, "Edit", nullptr); }

TEST(DlgToolTip, EveryControlButStaticsIsATool) {
  HWND dlg = OpenTestDialog();
  DialogGuard guard{dlg};
  ASSERT_NE(dlg, nullptr);
  HWND tip = TipOf(dlg)->ToolTipWindow();
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(GetWindowLongPtrA(tip, GWL_STYLE) & TTS_ALWAYSTIP, TTS_ALWAYSTIP);
  EXPECT_EQ(SendMessageA(tip, TTM_GETMAXTIPWIDTH, 0, 0), 320);

  std::set<HWND> expected = {GetDlgItem(dlg, IDC_TIP_BUTTON), GetDlgItem(dlg, IDC_TIP_COMBO),
                             ComboEdit(dlg),                  GetDlgItem(dlg, IDC_TIP_EDIT),
                             GetDlgItem(dlg, IDC_TIP_GROUP),  GetDlgItem(dlg, IDOK),
                             GetDlgItem(dlg, IDCANCEL)};
  ASSERT_EQ(expected.count(nullptr), 0u);
  int count = static_cast<int>(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0));
  ASSERT_EQ(count, static_cast<int>(expected.size()));
  std::set<HWND> tools;
  for (int i = 0; i < count; ++i) {
    TOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V1_SIZE;
    ASSERT_TRUE(SendMessageA(tip, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(&info)));
    EXPECT_EQ(info.uFlags & (TTF_IDISHWND | TTF_SUBCLASS), static_cast<UINT>(TTF_IDISHWND));
    EXPECT_EQ(info.hwnd, dlg);
    tools.insert(reinterpret_cast<HWND>(info.uId));
  }
  EXPECT_EQ(tools, expected);
  DestroyWindow(dlg);
}

TEST(DlgToolTip, TextsComeFromTheStringTableById) {
  HWND dlg = OpenTestDialog();
  DialogGuard guard{dlg};
  ASSERT_NE(dlg, nullptr);
  struct Case {
    HWND tool;
    std::string text;
  } cases[] = {
      {GetDlgItem(dlg, IDC_TIP_BUTTON), "ボタンの説明\n二行目"},
      {GetDlgItem(dlg, IDC_TIP_COMBO), "検索文字列の説明"},
      {ComboEdit(dlg), "検索文字列の説明"},  // the edit answers for its combo box
      {GetDlgItem(dlg, IDC_TIP_GROUP), "グループの説明"},
      {GetDlgItem(dlg, IDC_TIP_EDIT), ""},  // no string: no tip
      {GetDlgItem(dlg, IDOK), ""},
      {GetDlgItem(dlg, IDCANCEL), ""},
      {GetDesktopWindow(), ""},  // not inside the dialog
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AskText(dlg, c.tool), c.text) << GetDlgCtrlID(c.tool);
  }
  EXPECT_EQ(AskText(dlg, GetDlgItem(dlg, IDC_TIP_COMBO)), "\x8C\x9F\x8D\xF5\x95\xB6\x8E\x9A\x97\xF1\x82\xCC\x90\xE0\x96\xBE");
  DestroyWindow(dlg);
}

TEST(DlgToolTip, HoveringAControlShowsItsText) {
  HWND dlg = OpenTestDialog();
  DialogGuard guard{dlg};
  ASSERT_NE(dlg, nullptr);
  SetForegroundWindow(dlg);
  HWND button = GetDlgItem(dlg, IDC_TIP_BUTTON);
  HWND tip = TipOf(dlg)->ToolTipWindow();
  RECT r;
  GetWindowRect(button, &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  // The mouse move reaches the tooltip only through the message hook; the
  // tip shows after the initial delay if the cursor is still there.
  PostMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2));
  bool shown = PumpUntil([&] { return IsWindowVisible(tip) != FALSE; }, 5000);
  ASSERT_TRUE(shown);
  char text[256] = {};
  GetWindowTextA(tip, text, sizeof text);
  EXPECT_EQ(std::string(text), "ボタンの説明\n二行目");
  DestroyWindow(dlg);
}

TEST(DlgToolTip, OneHookServesEveryOpenDialog) {
  EXPECT_EQ(CDlgToolTip::AttachedCount(), 0);
  EXPECT_FALSE(CDlgToolTip::HookInstalled());
  HWND first = OpenTestDialog();
  HWND second = OpenTestDialog();
  DialogGuard guard1{first}, guard2{second};
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(CDlgToolTip::AttachedCount(), 2);
  EXPECT_TRUE(CDlgToolTip::HookInstalled());
  DestroyWindow(first);
  EXPECT_EQ(CDlgToolTip::AttachedCount(), 1);
  EXPECT_TRUE(CDlgToolTip::HookInstalled());
  // The remaining dialog still answers through its own object.
  EXPECT_EQ(AskText(second, GetDlgItem(second, IDC_TIP_GROUP)), "グループの説明");
  DestroyWindow(second);
  EXPECT_EQ(CDlgToolTip::AttachedCount(), 0);
  EXPECT_FALSE(CDlgToolTip::HookInstalled());
}

TEST(DlgToolTip, DestroyWithoutCreateChangesNothing) {
  CDlgToolTip tip;
  EXPECT_TRUE(tip.Destroy());
  EXPECT_EQ(CDlgToolTip::AttachedCount(), 0);
  EXPECT_FALSE(CDlgToolTip::HookInstalled());
}

}  // namespace
