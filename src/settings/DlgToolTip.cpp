#include "settings/DlgToolTip.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr int kMaxTipWidth = 320;

// The attached objects, for the message hook. User-interface thread only.
std::vector<CDlgToolTip*>& Attached() {
  static std::vector<CDlgToolTip*> attached;
  return attached;
}

// Upper-cases a class name in place, one byte at a time (class names of
// the controls are ASCII).
void ToUpperAscii(char* s) {
  for (; *s; ++s) {
    if (*s >= 'a' && *s <= 'z') *s = static_cast<char>(*s - 'a' + 'A');
  }
}

}  // namespace

HHOOK CDlgToolTip::MessageHook = nullptr;

CDlgToolTip::CDlgToolTip()
    : Subclass([this](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        return DialogProc(window, message, wParam, lParam);
      }) {}

CDlgToolTip::~CDlgToolTip() { Destroy(); }

int CDlgToolTip::AttachedCount() { return static_cast<int>(Attached().size()); }

bool CDlgToolTip::Create(HWND dialog) {
  InitCommonControls();
  ToolTip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!ToolTip) return false;
  SendMessageA(ToolTip, TTM_SETMAXTIPWIDTH, 0, kMaxTipWidth);
  return Attach(dialog);
}

bool CDlgToolTip::Destroy() {
  if (ToolTip) {
    DestroyWindow(ToolTip);
    ToolTip = nullptr;
  }
  Attach(nullptr);
  return true;
}

bool CDlgToolTip::Attach(HWND dialog) {
  std::vector<CDlgToolTip*>& attached = Attached();
  if (!dialog) {
    Subclass.Remove();
    Dialog = nullptr;
    if (std::erase(attached, this) && attached.empty() && MessageHook) {
      UnhookWindowsHookEx(MessageHook);
      MessageHook = nullptr;
    }
    return true;
  }
  Dialog = dialog;
  // A dialog without children enumerates nothing; the enumeration's answer
  // carries no meaning then, so it is not taken for a failure.
  EnumChildWindows(dialog, AddToolProc, reinterpret_cast<LPARAM>(this));
  if (!MessageHook) {
    MessageHook = SetWindowsHookExA(WH_GETMESSAGE, HookProc, nullptr, GetCurrentThreadId());
    if (!MessageHook) return false;
  }
  Subclass.Install(dialog);
  // Re-attaching must not count the object twice.
  if (std::find(attached.begin(), attached.end(), this) == attached.end()) attached.push_back(this);
  return true;
}

BOOL CALLBACK CDlgToolTip::AddToolProc(HWND child, LPARAM object) {
  auto* self = reinterpret_cast<CDlgToolTip*>(object);
  char className[64] = {};
  GetClassNameA(child, className, sizeof className);
  ToUpperAscii(className);
  if (std::strcmp(className, "STATIC") == 0) return TRUE;
  TOOLINFOA info = {};
  // The size the oldest common controls know; every version accepts it.
  info.cbSize = TTTOOLINFOA_V1_SIZE;
  info.uFlags = TTF_IDISHWND;
  info.hwnd = self->Dialog;
  info.uId = reinterpret_cast<UINT_PTR>(child);
  info.lpszText = LPSTR_TEXTCALLBACKA;
  SendMessageA(self->ToolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
  return TRUE;
}

LRESULT CALLBACK CDlgToolTip::HookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code < 0) return CallNextHookEx(MessageHook, code, wParam, lParam);
  const MSG* msg = reinterpret_cast<const MSG*>(lParam);
  CDlgToolTip* found = nullptr;
  for (CDlgToolTip* tip : Attached()) {
    if (IsChild(tip->Dialog, msg->hwnd)) {
      found = tip;
      break;
    }
  }
  if (found && found->ToolTip) {
    switch (msg->message) {
      case WM_MOUSEMOVE:
      case WM_LBUTTONDOWN:
      case WM_LBUTTONUP:
      case WM_RBUTTONDOWN:
      case WM_RBUTTONUP: {
        MSG copy = *msg;
        SendMessageA(found->ToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&copy));
        break;
      }
      default:
        break;
    }
  }
  return CallNextHookEx(MessageHook, code, wParam, lParam);
}

void CDlgToolTip::AnswerTextRequest(NMHDR* header) {
  HWND control = reinterpret_cast<HWND>(header->idFrom);
  // The tip belongs to the dialog's direct child: the combo box around an
  // edit answers for its edit.
  while (control && GetParent(control) != Dialog) control = GetParent(control);
  if (!control) return;
  std::memset(TipText, 0, sizeof TipText);
  LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(GetDlgCtrlID(control)), TipText, sizeof TipText);
  if (header->code == TTN_GETDISPINFOA) {
    reinterpret_cast<NMTTDISPINFOA*>(header)->lpszText = TipText;
  } else {
    // A tooltip that talks Unicode gets the same text converted.
    WideTipText[0] = L'\0';
    MultiByteToWideChar(CP_ACP, 0, TipText, -1, WideTipText, 256);
    reinterpret_cast<NMTTDISPINFOW*>(header)->lpszText = WideTipText;
  }
}

LRESULT CDlgToolTip::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY) {
    NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
    if (header && (header->code == TTN_GETDISPINFOA || header->code == TTN_GETDISPINFOW)) {
      AnswerTextRequest(header);
    }
  }
  // The dialog may delete this object while it handles the message:
  // nothing of it is read after this call.
  return Subclass.CallNext(window, message, wParam, lParam);
}
