#include "app/TrayIcon.h"

#include <map>
#include <string>

#include "base/Cp932.h"
#include "res/resource.h"

namespace {

std::map<UINT, CTrayIcon*>& Registry() {
  static std::map<UINT, CTrayIcon*> icons;
  return icons;
}

UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageA("TaskbarCreated");
  return message;
}

}  // namespace

CTrayIcon::CTrayIcon() : Data{} {
  Data.cbSize = NOTIFYICONDATAA_V1_SIZE;
}

CTrayIcon::~CTrayIcon() {
  if (!Registered) return;
  Registry().erase(Data.uID);
  if (IsShown()) UpdateIcon(nullptr, nullptr);
  if (PrevProc && Data.hWnd) {
    bool shared = false;
    for (const auto& [id, icon] : Registry()) shared |= icon->Data.hWnd == Data.hWnd;
    if (!shared && IsWindow(Data.hWnd))
      SetWindowLongPtrA(Data.hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PrevProc));
  }
}

bool CTrayIcon::Register(UINT id, HINSTANCE instance) {
  if (id == 0 || Registered || Registry().count(id)) return false;
  Data.uID = id;
  Instance = instance;
  Registry()[id] = this;
  Registered = true;
  return true;
}

bool CTrayIcon::Attach(HWND owner, UINT callbackMessage, CTrayIconOwner* owner_) {
  if (!IsWindow(owner) || (callbackMessage != 0 && callbackMessage < WM_USER)) return false;
  TaskbarCreatedMessage();
  WNDPROC previous = nullptr;
  for (const auto& [id, icon] : Registry()) {
    // This icon itself counts too: attaching twice must not subclass the
    // window with its own tray procedure as the previous one.
    if (icon->Data.hWnd == owner && icon->PrevProc) {
      previous = icon->PrevProc;
      break;
    }
  }
  if (!previous) {
    previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TrayWindowProc)));
    if (!previous) return false;
  }
  PrevProc = previous;
  Data.hWnd = owner;
  Data.uCallbackMessage = callbackMessage;
  Owner = owner_;
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

bool CTrayIcon::SetBusy(int busy) {
  Busy = busy;
  return true;
}

void CTrayIcon::Detach() {
  Data.hWnd = nullptr;
  PrevProc = nullptr;
  Owner = nullptr;
}

bool CTrayIcon::OnNotify(WPARAM wParam, LPARAM lParam) {
  if (wParam != Data.uID || (lParam != WM_RBUTTONUP && lParam != WM_LBUTTONDBLCLK)) return false;
  HMENU menu = LoadMenuA(Instance, MAKEINTRESOURCEA(Data.uID));
  if (!menu) return false;
  HMENU popup = GetSubMenu(menu, 0);
  if (!popup) {
    DestroyMenu(menu);
    return false;
  }
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
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_VCENTERALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, owner,
                   nullptr);
    PostMessageA(owner, WM_NULL, 0, 0);
  }
  DestroyMenu(menu);
  return true;
}

LRESULT CALLBACK CTrayIcon::TrayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC previous = nullptr;
  CTrayIcon* target = nullptr;
  for (const auto& [id, icon] : Registry()) {
    if (icon->Data.hWnd != window) continue;
    if (!previous) previous = icon->PrevProc;
    if (!target && icon->Enabled == 1 && icon->Data.uCallbackMessage == message && wParam == id)
      target = icon;
  }
  if (target) {
    CTrayIconOwner* owner = target->Owner;
    target->OnNotify(wParam, lParam);
    if (owner) owner->OnTrayNotify(window, wParam, lParam);
  }
  if (message == TaskbarCreatedMessage()) {
    // The notification area was (re)created: nothing of ours is in it.
    for (const auto& [id, icon] : Registry()) {
      if (icon->Data.hWnd != window || !icon->Wanted) continue;
      // A new task bar has none of our icons: add; where the old one
      // survived (the message came without a restart) adding fails, and
      // the look is set on the icon that is there.
      HICON look = icon->Wanted;
      icon->Data.hIcon = nullptr;
      if (!icon->UpdateIcon(look, nullptr)) {
        icon->Data.hIcon = look;
        icon->UpdateIcon(look, nullptr);
      }
    }
  }
  if (message == WM_DESTROY) {
    for (const auto& [id, icon] : Registry()) {
      if (icon->Data.hWnd != window) continue;
      icon->UpdateIcon(nullptr, nullptr);
      icon->Detach();
    }
    if (previous) SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
  }
  if (!previous) return 0;
  return CallWindowProcA(previous, window, message, wParam, lParam);
}
