// The tray icon class on a window of the test: subclassing, looks, the
// menu's states, the notifications passed on and the task bar's restart.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/TrayIcon.h"
#include "res/resource.h"

namespace {

constexpr UINT kCallback = WM_USER + 20;
std::vector<LPARAM> g_Messages;  // what reached the window's own procedure
std::vector<WPARAM> g_Commands;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kCallback) g_Messages.push_back(lParam);
  if (message == WM_COMMAND) g_Commands.push_back(LOWORD(wParam));
  return DefWindowProcA(window, message, wParam, lParam);
}

struct Owner : CTrayIconOwner {
  std::vector<LPARAM> seen;
  bool OnTrayNotify(HWND, WPARAM, LPARAM lParam) override { return seen.push_back(lParam), true; }
};

// Menu item states seen while the popup is tracked, then the menu closed.
std::vector<UINT> g_States;
void CALLBACK InspectMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  HWND popup = FindWindowA("#32768", nullptr);
  auto menu = reinterpret_cast<HMENU>(popup ? SendMessageA(popup, 0x01E1 /* MN_GETHMENU */, 0, 0) : 0);
  for (UINT id : {IDC_REFRESH, IDC_SETTINGS, IDC_ABOUT}) g_States.push_back(GetMenuState(menu, id, MF_BYCOMMAND));
  EndMenu();
}

class TrayIcon : public ::testing::Test {
 protected:
  TrayIcon() {
    WNDCLASSA wc = {0, OwnerProc, 0, 0, GetModuleHandleA(nullptr), nullptr, nullptr, nullptr, nullptr, "TarnTray"};
    RegisterClassA(&wc);
    window = CreateWindowExA(0, "TarnTray", "", 0, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
  }
  ~TrayIcon() override { DestroyWindow(window); }
  LONG_PTR Proc() const { return GetWindowLongPtrA(window, GWLP_WNDPROC); }
  bool Attach(CTrayIcon& icon, UINT id, UINT message = kCallback, CTrayIconOwner* owner = nullptr) {
    return icon.Register(id, GetModuleHandleA(nullptr)) && icon.Attach(window, message, owner);
  }
  HWND window;
};

TEST_F(TrayIcon, OneSubclassingSharedAndUndone) {
  {
    CTrayIcon a, b, c, d;
    EXPECT_FALSE(Attach(a, 0) || Attach(b, IDM_TRAY + 5, WM_USER - 1));  // no id, a callback among the system's
    EXPECT_TRUE(Attach(c, IDM_TRAY));
    EXPECT_FALSE(Attach(a, IDM_TRAY));  // the id is taken
    const LONG_PTR subclassed = Proc();
    EXPECT_NE(subclassed, reinterpret_cast<LONG_PTR>(&OwnerProc));
    EXPECT_TRUE(c.Attach(window, kCallback, nullptr) && Attach(d, IDM_TRAY + 1, kCallback + 1));
    EXPECT_EQ(Proc(), subclassed);
    g_Messages.clear();
    SendMessageA(window, kCallback, IDM_TRAY + 9, WM_MOUSEMOVE);
    EXPECT_EQ(g_Messages.size(), 1u);  // once, however often attached
  }
  EXPECT_EQ(Proc(), reinterpret_cast<LONG_PTR>(&OwnerProc));
  CTrayIcon again;
  EXPECT_TRUE(again.Register(IDM_TRAY, GetModuleHandleA(nullptr)));
}

TEST_F(TrayIcon, LooksTipsMenuAndNotifications) {
  Owner owner;
  CTrayIcon icon;
  ASSERT_TRUE(Attach(icon, IDM_TRAY, kCallback, &owner));
  icon.SetIcon(IDC_REFRESH);
  const HICON busyLook = icon.GetWantedIcon();
  icon.SetIcon(IDS_PRODUCT_NAME);
  EXPECT_TRUE(std::string(icon.GetTip()) == "Tarn Launcher" && icon.GetWantedIcon() != busyLook);
  // A tip longer than the record's field is cut on a character boundary;
  // no tip keeps the previous one.
  std::string kana;
  for (std::size_t i = 0; i < CTrayIcon::kTipBytes; ++i) kana += "\x82\xA0";
  icon.UpdateIcon(icon.GetWantedIcon(), kana.c_str());
  icon.UpdateIcon(icon.GetWantedIcon(), nullptr);
  EXPECT_EQ(std::string(icon.GetTip()).size(), CTrayIcon::kTipBytes - 2);

  // Busy: refresh and settings greyed; About is the default item.
  for (int busy : {1, 0}) {
    icon.SetBusy(busy);
    g_States.clear();
    SetTimer(nullptr, 0, 200, InspectMenu);
    SendMessageA(window, kCallback, IDM_TRAY, WM_RBUTTONUP);
    const UINT grey = busy ? MF_GRAYED : 0;
    EXPECT_EQ(g_States, (std::vector<UINT>{grey, grey, MFS_DEFAULT})) << busy;
  }
  // A double click sends the default item's command; other ids, and
  // everything while disabled, only reach the window's own procedure.
  g_Commands.clear();
  g_Messages.clear();
  owner.seen.clear();
  SendMessageA(window, kCallback, IDM_TRAY, WM_LBUTTONDBLCLK);
  SendMessageA(window, kCallback, IDM_TRAY + 7, WM_LBUTTONDOWN);
  icon.SetEnabled(0);
  SendMessageA(window, kCallback, IDM_TRAY, WM_LBUTTONDOWN);
  EXPECT_EQ(g_Commands, std::vector<WPARAM>{IDC_ABOUT});
  EXPECT_EQ(owner.seen, std::vector<LPARAM>{WM_LBUTTONDBLCLK});
  EXPECT_EQ(g_Messages.size(), 3u);
  // The window's end removes the icon.
  DestroyWindow(window);
  EXPECT_FALSE(icon.IsShown());
}

TEST_F(TrayIcon, AddedAgainWhenTheTaskBarComesBack) {
  CTrayIcon icon;
  ASSERT_TRUE(Attach(icon, IDM_TRAY) && icon.SetIcon(IDC_REFRESH));
  NOTIFYICONDATAA probe = {};
  probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
  probe.hWnd = window;
  probe.uID = IDM_TRAY;
  const UINT created = RegisterWindowMessageA("TaskbarCreated");
  // Forgotten by a restarted task bar, kept without a restart, never
  // brought back once removed on purpose.
  for (bool forget : {true, false}) {
    if (forget) {
      ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &probe));
    }
    SendMessageA(window, created, 0, 0);
    EXPECT_TRUE(icon.IsShown() && Shell_NotifyIconA(NIM_MODIFY, &probe)) << forget;
  }
  icon.UpdateIcon(nullptr, nullptr);
  SendMessageA(window, created, 0, 0);
  EXPECT_FALSE(icon.IsShown() || Shell_NotifyIconA(NIM_MODIFY, &probe));
}

}  // namespace
