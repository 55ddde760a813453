// The About dialog's picture button types by whole characters; the dialog
// closes two seconds after the last one while the program keeps answering.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/AboutDlg.h"
#include "base/Cp932.h"
#include "base/DialogBase.h"
#include "res/SettingsDialogs.h"
#include "support/TestSupport.h"
#include "tarn_version.h"

TEST(AboutDlg, TypesByCharactersAndClosesWithoutFreezing) {
  const auto typed = [] { return WindowText(GetDlgItem(CAboutDlg::OpenWindow(), IDC_ABOUT_TYPED), 100); };
  const auto click = [] { SendDlgItemMessageA(CAboutDlg::OpenWindow(), IDC_ABOUT_PICTURE, BM_CLICK, 0, 0); };
  // Shown once however often asked; closed while typing, the next one
  // starts empty.
  CAboutDlg::Show(GetModuleHandleA(nullptr));
  HWND dlg = CAboutDlg::OpenWindow();
  CAboutDlg::Show(GetModuleHandleA(nullptr));
  ASSERT_EQ(CAboutDlg::OpenWindow(), dlg);
  EXPECT_NE(WindowText(GetDlgItem(dlg, IDC_ABOUT_TITLE)).find("\nVersion " TARN_VERSION_STRING), std::string::npos);
  click();
  tarn::test::PumpUntil([&] { return typed().size() > 4; });
  SendMessageA(dlg, WM_CLOSE, 0, 0);
  EXPECT_TRUE(tarn::test::PumpUntil([] { return CAboutDlg::OpenWindow() == nullptr; }));
  CAboutDlg::Show(GetModuleHandleA(nullptr));
  ASSERT_NE(dlg = CAboutDlg::OpenWindow(), nullptr);
  EXPECT_EQ(typed(), "");

  click();
  std::string seen;
  DWORD last = GetTickCount(), longestGap = 0, whole = 0;
  while (IsWindow(dlg) && GetTickCount() - last < 5000) {
    tarn::test::PumpFor(20);
    const DWORD now = GetTickCount();
    longestGap = std::max(longestGap, now - last);
    last = now;
    if (!IsWindow(dlg) || typed() == seen) continue;
    // Each step adds one whole character (or one line break) to the last.
    const std::string text = typed(), added = text.substr(std::min(seen.size(), text.size()));
    EXPECT_TRUE(text.starts_with(seen) && tarn::CharCount(added) == (added == "\r\n" ? 2u : 1u)) << text;
    seen = text;
    whole = now;
  }
  EXPECT_FALSE(IsWindow(dlg));
  EXPECT_GT(tarn::CharCount(seen), 10u);
  EXPECT_GE(last - whole, 1900u);  // it stayed two seconds after the last character
  EXPECT_LT(longestGap, 1000u);    // and the thread kept answering meanwhile
}
