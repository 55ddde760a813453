// The About dialog's picture button types by whole characters; the dialog
// closes two seconds after the last one while the program keeps answering.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/AboutDlg.h"
#include "base/Cp932.h"
#include "base/DialogBase.h"
#include "res/SettingsDialogs.h"
#include "support/TestSupport.h"
#include "tarn_version.h"

namespace {

std::string Typed(HWND dlg) { return WindowText(GetDlgItem(dlg, IDC_ABOUT_TYPED), 100); }

TEST(AboutDlg, TypesByCharactersAndClosesWithoutFreezing) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  CAboutDlg::Show(instance);
  HWND dlg = CAboutDlg::OpenWindow();
  ASSERT_NE(dlg, nullptr);
  EXPECT_NE(WindowText(GetDlgItem(dlg, IDC_ABOUT_TITLE)).find("\nVersion " TARN_VERSION_STRING), std::string::npos);
  // Closed while typing: the next one starts empty.
  SendDlgItemMessageA(dlg, IDC_ABOUT_PICTURE, BM_CLICK, 0, 0);
  tarn::test::PumpUntil([&] { return Typed(dlg).size() > 4; });
  SendMessageA(dlg, WM_CLOSE, 0, 0);
  tarn::test::PumpUntil([] { return CAboutDlg::OpenWindow() == nullptr; });
  EXPECT_FALSE(IsWindow(dlg));
  CAboutDlg::Show(instance);
  dlg = CAboutDlg::OpenWindow();
  ASSERT_NE(dlg, nullptr);
  EXPECT_EQ(Typed(dlg), "");

  SendDlgItemMessageA(dlg, IDC_ABOUT_PICTURE, BM_CLICK, 0, 0);
  std::vector<std::string> seen{""};
  DWORD last = GetTickCount(), longestGap = 0, whole = 0;
  while (IsWindow(dlg) && GetTickCount() - last < 5000) {
    tarn::test::PumpFor(20);
    const DWORD now = GetTickCount();
    longestGap = std::max(longestGap, now - last);
    last = now;
    if (!IsWindow(dlg) || Typed(dlg) == seen.back()) continue;
    seen.push_back(Typed(dlg));
    whole = now;
  }
  EXPECT_FALSE(IsWindow(dlg));
  ASSERT_GT(seen.size(), 10u);
  for (std::size_t i = 1; i < seen.size(); ++i) {
    // Each step adds one whole character (or one line break) to the last.
    const std::string& s = seen[i];
    EXPECT_EQ(s.rfind(seen[i - 1], 0), 0u) << s;
    EXPECT_EQ(tarn::CharCount(s.substr(seen[i - 1].size())), s.substr(seen[i - 1].size()) == "\r\n" ? 2u : 1u) << s;
  }
  EXPECT_GE(last - whole, 1900u);  // it stayed two seconds after the last character
  EXPECT_LT(longestGap, 1000u);    // and the thread kept answering meanwhile
}

}  // namespace
