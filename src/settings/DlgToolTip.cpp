#include "settings/DlgToolTip.h"

#include <commctrl.h>

#include <cstring>

namespace {

const char kPropName[] = "CDlgToolTip";
constexpr int kMaxTipWidth = 320;

// Upper-cases a class name in place, one byte at a time (class names of
// the controls are ASCII).
void ToUpperAscii(char* s) {
  for (; *s; ++s) {
    if (*s >= 'a' && *s <= 'z') *s = static_cast<char>(*s - 'a' + 'A');
  }
}

}  // namespace

std::map<HWND, CDlgToolTip*> CDlgToolTip::s_map;
HHOOK CDlgToolTip::s_hook = nullptr;
int CDlgToolTip::s_attachedCount = 0;
char CDlgToolTip::s_text[256];

CDlgToolTip::CDlgToolTip() : m_oldWndProc(nullptr), m_hDlg(nullptr), m_hToolTip(nullptr) {}

CDlgToolTip::~CDlgToolTip() {
  m_oldWndProc = nullptr;
  m_hDlg = nullptr;
  m_hToolTip = nullptr;
}

bool CDlgToolTip::Create(HWND dialog) {
  InitCommonControls();
  m_hToolTip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr, GetModuleHandleA(nullptr),
                               nullptr);
  if (!m_hToolTip) return false;
  SendMessageA(m_hToolTip, TTM_SETMAXTIPWIDTH, 0, kMaxTipWidth);
  return Attach(dialog);
}

bool CDlgToolTip::Destroy() {
  if (m_hToolTip) {
    DestroyWindow(m_hToolTip);
    m_hToolTip = nullptr;
  }
  Attach(nullptr);
  return true;
}

bool CDlgToolTip::IsAttached() const {
  auto it = s_map.find(m_hDlg);
  return m_hDlg && it != s_map.end() && it->second == this;
}

bool CDlgToolTip::Attach(HWND dialog) {
  if (!dialog) {
    if (!IsAttached()) return true;
    if (s_hook && s_attachedCount == 1) {
      UnhookWindowsHookEx(s_hook);
      s_hook = nullptr;
    }
    s_map.erase(m_hDlg);
    m_hDlg = nullptr;
    --s_attachedCount;
    return true;
  }
  m_hDlg = dialog;
  // A dialog without children enumerates nothing; the enumeration's answer
  // carries no meaning then, so it is not taken for a failure.
  EnumChildWindows(dialog, AddToolProc, reinterpret_cast<LPARAM>(this));
  if (!s_hook) {
    s_hook = SetWindowsHookExA(WH_GETMESSAGE, HookProc, nullptr, GetCurrentThreadId());
    if (!s_hook) return false;
  }
  m_oldWndProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
  SetPropA(dialog, kPropName, this);
  auto [it, added] = s_map.insert_or_assign(dialog, this);
  // Re-attaching the same dialog must not count it twice.
  if (added) ++s_attachedCount;
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
  info.hwnd = self->m_hDlg;
  info.uId = reinterpret_cast<UINT_PTR>(child);
  info.lpszText = LPSTR_TEXTCALLBACKA;
  SendMessageA(self->m_hToolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
  return TRUE;
}

LRESULT CALLBACK CDlgToolTip::HookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code < 0) return CallNextHookEx(s_hook, code, wParam, lParam);
  const MSG* msg = reinterpret_cast<const MSG*>(lParam);
  CDlgToolTip* found = nullptr;
  for (const auto& [dialog, object] : s_map) {
    if (object && IsChild(dialog, msg->hwnd)) {
      found = object;
      break;
    }
  }
  if (found && found->m_hToolTip) {
    switch (msg->message) {
      case WM_MOUSEMOVE:
      case WM_LBUTTONDOWN:
      case WM_LBUTTONUP:
      case WM_RBUTTONDOWN:
      case WM_RBUTTONUP: {
        MSG copy = *msg;
        SendMessageA(found->m_hToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&copy));
        break;
      }
      default:
        break;
    }
  }
  return CallNextHookEx(s_hook, code, wParam, lParam);
}

LRESULT CALLBACK CDlgToolTip::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The map holds the same link as the window property and is asked
  // first: every message of the dialog passes here, and reading a property
  // costs a round trip to the window manager on some systems.
  auto it = s_map.find(window);
  auto* self = it != s_map.end() ? it->second : static_cast<CDlgToolTip*>(GetPropA(window, kPropName));
  if (!self) return 0;
  return self->WindowProc(window, message, wParam, lParam);
}

void CDlgToolTip::AnswerTextRequest(NMHDR* header) {
  HWND control = reinterpret_cast<HWND>(header->idFrom);
  // The tip belongs to the dialog's direct child: the combo box around an
  // edit answers for its edit.
  while (control && GetParent(control) != m_hDlg) control = GetParent(control);
  if (!control) return;
  std::memset(s_text, 0, sizeof s_text);
  LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(GetDlgCtrlID(control)), s_text,
              sizeof s_text);
  if (header->code == TTN_GETDISPINFOA) {
    reinterpret_cast<NMTTDISPINFOA*>(header)->lpszText = s_text;
  } else {
    // A tooltip that talks Unicode gets the same text converted.
    static wchar_t wide[256];
    wide[0] = L'\0';
    MultiByteToWideChar(CP_ACP, 0, s_text, -1, wide, 256);
    reinterpret_cast<NMTTDISPINFOW*>(header)->lpszText = wide;
  }
}

LRESULT CDlgToolTip::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC previous = m_oldWndProc;
  if (message == WM_DESTROY) {
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    RemovePropA(window, kPropName);
  } else if (message == WM_NOTIFY) {
    NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
    if (header && (header->code == TTN_GETDISPINFOA || header->code == TTN_GETDISPINFOW)) {
      AnswerTextRequest(header);
    }
  }
  // The dialog deletes this object while handling WM_DESTROY: nothing of
  // it is read after this call.
  return CallWindowProcA(previous, window, message, wParam, lParam);
}
