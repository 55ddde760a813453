// The GUI tier itself: a real window with a list view control under Xvfb,
// Japanese rows inserted and read back through the control's messages.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "base/WinHandle.h"

TEST(GuiTier, ListViewKeepsCp932Rows) {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
  ASSERT_TRUE(InitCommonControlsEx(&icc));
  HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_OVERLAPPEDWINDOW | LVS_REPORT, 0, 0, 300, 200,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(list, nullptr);
  LVCOLUMNA col = {};
  col.mask = LVCF_TEXT | LVCF_WIDTH;
  col.cx = 200;
  col.pszText = const_cast<char*>("名前");
  ASSERT_EQ(SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&col)), 0);
  LVITEMA item = {};
  item.mask = LVIF_TEXT;
  item.pszText = const_cast<char*>("ソフト表");
  ASSERT_EQ(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)), 0);
  char text[64] = {};
  LVITEMA get = {};
  get.iSubItem = 0;
  get.pszText = text;
  get.cchTextMax = sizeof text;
  SendMessageA(list, LVM_GETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&get));
  EXPECT_EQ(std::string(text), "ソフト表");
  EXPECT_EQ(std::string(text), "\x83\x5C\x83\x74\x83\x67\x95\x5C");
  DestroyWindow(list);
}

TEST(GuiTier, ProgramDirectoryEndsWithSeparator) {
  std::string dir = tarn::ProgramDirectory();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '\\');
}
