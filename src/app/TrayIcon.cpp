#include "app/TrayIcon.h"

#include <set>
#include <string>

#include "base/Cp932.h"
#include "base/WinHandle.h"
#include "res/resource.h"

namespace {

std::set<UINT>& Registry() {
  static std::set<UINT> ids;
  return ids;
}

UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageA("TaskbarCreated");
  return message;
}

}  // namespace

CTrayIcon::CTrayIcon()
    : Subclass([this](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        return OwnerWindowProc(window, message, wParam, lParam);
      }),
      Data{} {
  Data.cbSize = NOTIFYICONDATAA_V1_SIZE;
}

CTrayIcon::~CTrayIcon() {
  if (!Registered) return;
  Registry().erase(Data.uID);
  if (IsShown()) UpdateIcon(nullptr, nullptr);
}

bool CTrayIcon::Register(UINT id, HINSTANCE instance) {
  if (id == 0 || Registered || !Registry().insert(id).second) return false;
  Data.uID = id;
  Instance = instance;
  Registered = true;
  return true;
}

bool CTrayIcon::Attach(HWND window, UINT callbackMessage, CTrayIconOwner* owner) {
  if (!IsWindow(window) || (callbackMessage != 0 && callbackMessage < WM_USER)) return false;
  TaskbarCreatedMessage();
  if (!Subclass.Install(window)) return false;
  Data.hWnd = window;
  Data.uCallbackMessage = callbackMessage;
  Owner = owner;
  return true;
}
BOOL CTrayIcon::SetIcon(UINT resourceId) {
  const WORD id = LOWORD(resourceId);
  if (id == 0) return UpdateIcon(nullptr, nullptr);
  HICON icon = static_cast<HICON>(LoadImageA(Instance, MAKEINTRESOURCEA(id), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  char text[256] = {};
  LoadStringA(Instance, id, text, sizeof text);
  return UpdateIcon(icon, text);
}

BOOL CTrayIcon::UpdateIcon(HICON icon, const char* tip) {
  DWORD operation;
  Data.uFlags = 0;
  if (icon) {
    operation = IsShown() ? NIM_MODIFY : NIM_ADD;
    Data.hIcon = icon;
    Data.uFlags |= NIF_ICON;
  } else {
    Wanted = nullptr;
    if (!IsShown()) return TRUE;
    operation = NIM_DELETE;
  }
  Wanted = icon;
  if (tip) tarn::CopyBounded(Data.szTip, kTipBytes, tip);
  if (Data.szTip[0] != '\0') Data.uFlags |= NIF_TIP;
  if (Data.uCallbackMessage && Data.hWnd) Data.uFlags |= NIF_MESSAGE;
  const BOOL result = Shell_NotifyIconA(operation, &Data);
  if (operation != NIM_DELETE && result) return result;
  Data.hIcon = nullptr;
  return result;
}

BOOL CTrayIcon::ShowBalloon(const char* title, const char* text) {
  if (!IsShown()) return FALSE;
  // The balloon fields come with the second form of the record; the icon
  // itself keeps the first.
  NOTIFYICONDATAA balloon = {};
  balloon.cbSize = NOTIFYICONDATAA_V2_SIZE;
  balloon.hWnd = Data.hWnd;
  balloon.uID = Data.uID;
  balloon.uFlags = NIF_INFO;
  balloon.dwInfoFlags = NIIF_INFO;
  tarn::CopyBounded(balloon.szInfo, sizeof balloon.szInfo, text);
  tarn::CopyBounded(balloon.szInfoTitle, sizeof balloon.szInfoTitle, title);
  return Shell_NotifyIconA(NIM_MODIFY, &balloon);
}

bool CTrayIcon::SetBusy(int busy) {
  Busy = busy;
  return true;
}

bool CTrayIcon::OnNotify(WPARAM wParam, LPARAM lParam) {
  if (wParam != Data.uID || (lParam != WM_RBUTTONUP && lParam != WM_LBUTTONDBLCLK)) return false;
  tarn::ScopedMenu menu(LoadMenuA(Instance, MAKEINTRESOURCEA(Data.uID)));
  HMENU popup = menu.Get() ? GetSubMenu(menu.Get(), 0) : nullptr;
  if (!popup) return false;
  if (Busy == 1) {
    EnableMenuItem(popup, IDC_REFRESH, MF_BYCOMMAND | MF_GRAYED);
    EnableMenuItem(popup, IDC_SETTINGS, MF_BYCOMMAND | MF_GRAYED);
  }
  HWND owner = Data.hWnd;
  if (lParam == WM_LBUTTONDBLCLK) {
    SendMessageA(owner, WM_COMMAND, GetMenuItemID(popup, 0), 0);
  } else {
    SetMenuDefaultItem(popup, 0, TRUE);
    POINT at = {};
    GetCursorPos(&at);
    // Without this the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(owner);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_VCENTERALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, owner, nullptr);
    PostMessageA(owner, WM_NULL, 0, 0);
  }
  return true;
}

LRESULT CTrayIcon::OwnerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (Enabled == 1 && Data.uCallbackMessage == message && wParam == Data.uID) {
    CTrayIconOwner* owner = Owner;
    OnNotify(wParam, lParam);
    if (owner) owner->OnTrayNotify(window, wParam, lParam);
  }
  if (message == TaskbarCreatedMessage() && Wanted) {
    // A new task bar has none of our icons: add; where the old one
    // survived (the message came without a restart) adding fails, and the
    // look is set on the icon that is there.
    HICON look = Wanted;
    Data.hIcon = nullptr;
    if (!UpdateIcon(look, nullptr)) {
      Data.hIcon = look;
      UpdateIcon(look, nullptr);
    }
  }
  if (message == WM_DESTROY) {
    // The icon goes with its window. The owner may delete this object while
    // it handles the message: the icon lets go of everything first.
    UpdateIcon(nullptr, nullptr);
    Data.hWnd = nullptr;
    Owner = nullptr;
  }
  return Subclass.CallNext(window, message, wParam, lParam);
}
