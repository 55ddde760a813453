// The tray icon class on a window of the test: registry, subclassing,
// looks, the menu's states and the notifications passed on.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/TrayIcon.h"
#include "res/resource.h"

namespace {

constexpr UINT kCallback = WM_USER + 20;
std::vector<UINT> g_Messages;  // what reached the window's own procedure
std::vector<WPARAM> g_Commands;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kCallback) g_Messages.push_back(static_cast<UINT>(lParam));
  if (message == WM_COMMAND) g_Commands.push_back(wParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

struct Owner : CTrayIconOwner {
  std::vector<LPARAM> seen;
  bool OnTrayNotify(HWND, WPARAM, LPARAM lParam) override {
    seen.push_back(lParam);
    return true;
  }
};

HWND MakeWindow() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = OwnerProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TarnTrayOwner";
  RegisterClassA(&wc);
  return CreateWindowExA(0, "TarnTrayOwner", "", 0, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
}

// Menu item states seen while the popup is tracked, then the menu closed.
UINT g_RefreshState, g_SettingsState, g_AboutState;
bool g_MenuSeen;
void CALLBACK InspectMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  HWND popup = FindWindowA("#32768", nullptr);
  if (popup) {
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(popup, 0x01E1 /* MN_GETHMENU */, 0, 0));
    if (menu) {
      g_MenuSeen = true;
      g_RefreshState = GetMenuState(menu, IDC_REFRESH, MF_BYCOMMAND);
      g_SettingsState = GetMenuState(menu, IDC_SETTINGS, MF_BYCOMMAND);
      g_AboutState = GetMenuState(menu, IDC_ABOUT, MF_BYCOMMAND);
    }
  }
  EndMenu();
}

}  // namespace

TEST(TrayIcon, RegistryAndAttachRules) {
  HWND window = MakeWindow();
  ASSERT_NE(window, nullptr);
  {
    CTrayIcon a, b, c;
    EXPECT_FALSE(a.Register(0, GetModuleHandleA(nullptr)));
    EXPECT_TRUE(a.Register(IDM_TRAY, GetModuleHandleA(nullptr)));
    EXPECT_FALSE(b.Register(IDM_TRAY, GetModuleHandleA(nullptr)));
    EXPECT_FALSE(a.Attach(nullptr, kCallback, nullptr));
    EXPECT_FALSE(a.Attach(window, WM_USER - 1, nullptr));
    const LONG_PTR original = GetWindowLongPtrA(window, GWLP_WNDPROC);
    EXPECT_TRUE(a.Attach(window, kCallback, nullptr));
    EXPECT_NE(GetWindowLongPtrA(window, GWLP_WNDPROC), original);
    // Attaching again keeps one subclassing; messages still get through.
    const LONG_PTR tray = GetWindowLongPtrA(window, GWLP_WNDPROC);
    EXPECT_TRUE(a.Attach(window, kCallback, nullptr));
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), tray);
    g_Messages.clear();
    SendMessageA(window, kCallback, IDM_TRAY + 9, WM_MOUSEMOVE);
    EXPECT_EQ(g_Messages.size(), 1u);
    // A second icon on the same window shares the subclassing.
    EXPECT_TRUE(c.Register(IDM_TRAY + 1, GetModuleHandleA(nullptr)));
    const LONG_PTR subclassed = GetWindowLongPtrA(window, GWLP_WNDPROC);
    EXPECT_TRUE(c.Attach(window, kCallback + 1, nullptr));
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), subclassed);
    // Nothing shown: removing changes nothing and succeeds.
    EXPECT_TRUE(a.UpdateIcon(nullptr, nullptr));
    EXPECT_FALSE(a.IsShown());
  }
  // Both gone: the window has its own procedure back.
  EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&OwnerProc));
  CTrayIcon again;
  EXPECT_TRUE(again.Register(IDM_TRAY, GetModuleHandleA(nullptr)));
  DestroyWindow(window);
}

TEST(TrayIcon, LooksTipsAndMenu) {
  HWND window = MakeWindow();
  Owner owner;
  auto* icon = new CTrayIcon;
  ASSERT_TRUE(icon->Register(IDM_TRAY, GetModuleHandleA(nullptr)));
  ASSERT_TRUE(icon->Attach(window, kCallback, &owner));

  icon->SetIcon(IDC_REFRESH);
  EXPECT_NE(icon->GetWantedIcon(), nullptr);
  EXPECT_STREQ(icon->GetTip(), "リスト再取得(U)");
  HICON busyLook = icon->GetWantedIcon();
  icon->SetIcon(IDS_PRODUCT_NAME);
  EXPECT_STREQ(icon->GetTip(), "Tarn Launcher");
  EXPECT_NE(icon->GetWantedIcon(), busyLook);

  // A tip longer than the record's field is cut on a character boundary.
  std::string kana;
  for (std::size_t i = 0; i < CTrayIcon::kTipBytes; ++i) kana += "\x82\xA0";
  icon->UpdateIcon(icon->GetWantedIcon(), kana.c_str());
  EXPECT_EQ(std::string(icon->GetTip()).size(), CTrayIcon::kTipBytes - 2);
  icon->UpdateIcon(icon->GetWantedIcon(), nullptr);  // no tip: the previous stays
  EXPECT_EQ(std::string(icon->GetTip()).size(), CTrayIcon::kTipBytes - 2);

  // Busy: refresh and settings greyed; idle: enabled again.
  for (int busy : {1, 0}) {
    icon->SetBusy(busy);
    g_MenuSeen = false;
    SetTimer(nullptr, 0, 200, InspectMenu);
    SendMessageA(window, kCallback, IDM_TRAY, WM_RBUTTONUP);
    ASSERT_TRUE(g_MenuSeen) << busy;
    EXPECT_EQ((g_RefreshState & MF_GRAYED) != 0, busy == 1);
    EXPECT_EQ((g_SettingsState & MF_GRAYED) != 0, busy == 1);
    EXPECT_EQ(g_AboutState & MF_GRAYED, 0u);
    EXPECT_TRUE(g_AboutState & MFS_DEFAULT);
  }

  // Double click sends the first item's command; other ids pass through.
  g_Commands.clear();
  g_Messages.clear();
  owner.seen.clear();
  SendMessageA(window, kCallback, IDM_TRAY, WM_LBUTTONDBLCLK);
  ASSERT_EQ(g_Commands.size(), 1u);
  EXPECT_EQ(LOWORD(g_Commands[0]), IDC_ABOUT);
  EXPECT_EQ(owner.seen, std::vector<LPARAM>{WM_LBUTTONDBLCLK});
  SendMessageA(window, kCallback, IDM_TRAY + 7, WM_LBUTTONDOWN);
  EXPECT_EQ(owner.seen.size(), 1u);
  EXPECT_EQ(g_Messages.size(), 2u);  // both reached the window's own procedure

  // Disabled icons pass nothing on.
  icon->SetEnabled(0);
  SendMessageA(window, kCallback, IDM_TRAY, WM_LBUTTONDOWN);
  EXPECT_EQ(owner.seen.size(), 1u);
  icon->SetEnabled(1);

  // Destroying the window removes the icon and restores the procedure.
  DestroyWindow(window);
  EXPECT_FALSE(icon->IsShown());
  EXPECT_EQ(icon->GetWantedIcon(), nullptr);
  delete icon;
}

TEST(TrayIcon, AddedAgainWhenTheTaskBarComesBack) {
  HWND window = MakeWindow();
  CTrayIcon icon;
  ASSERT_TRUE(icon.Register(IDM_TRAY, GetModuleHandleA(nullptr)));
  ASSERT_TRUE(icon.Attach(window, kCallback, nullptr));
  if (!icon.SetIcon(IDC_REFRESH)) GTEST_SKIP() << "no notification area on this display";
  ASSERT_TRUE(icon.IsShown());

  // The shell forgets the icon, as a restarted task bar would.
  NOTIFYICONDATAA probe = {};
  probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
  probe.hWnd = window;
  probe.uID = IDM_TRAY;
  ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &probe));
  SendMessageA(window, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  EXPECT_TRUE(icon.IsShown());
  EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &probe));  // it is there again

  // The message without a restart keeps the icon shown.
  SendMessageA(window, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  EXPECT_TRUE(icon.IsShown());
  EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &probe));

  // Removed on purpose: not brought back.
  icon.UpdateIcon(nullptr, nullptr);
  SendMessageA(window, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  EXPECT_FALSE(icon.IsShown());
  EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &probe));
  DestroyWindow(window);
}

