#include "base/DialogBase.h"

#include "base/Cp932.h"
#include "base/ModelessRegistry.h"

namespace {

// Touched by the user-interface thread only.
CModelessRegistry g_Dialogs;

}  // namespace

CDialogBase::CDialogBase() : CWindowObject(DWLP_USER) {}

CDialogBase::~CDialogBase() {
  if (Modeless && Window()) g_Dialogs.Remove(Window());
}

CDialogBase* CDialogBase::FromWindow(HWND dialog) {
  if (!dialog || GetWindowLongPtrA(dialog, DWLP_DLGPROC) != reinterpret_cast<LONG_PTR>(&StaticDlgProc))
    return nullptr;
  return static_cast<CDialogBase*>(Bound(dialog, DWLP_USER));
}

HWND CDialogBase::CreateModeless(HINSTANCE instance, const char* name, HWND parent) {
  Modeless = true;
  Creating = true;
  HWND dlg = CreateDialogParamA(instance, name, parent, StaticDlgProc, reinterpret_cast<LPARAM>(this));
  Creating = false;
  if (!dlg) OnFinalMessage();
  return dlg;
}

INT_PTR CDialogBase::RunModal(HINSTANCE instance, const char* name, HWND parent) {
  Modeless = false;
  return DialogBoxParamA(instance, name, parent, StaticDlgProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CDialogBase::SetMessageResult(LRESULT result) {
  if (Window()) SetWindowLongPtrA(Window(), DWLP_MSGRESULT, result);
  return TRUE;
}

INT_PTR CALLBACK CDialogBase::StaticDlgProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam) {
  CDialogBase* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<CDialogBase*>(lParam);
    if (!self) return FALSE;
    self->Bind(dlg);
    if (self->Modeless) g_Dialogs.Add(dlg);
  } else {
    self = static_cast<CDialogBase*>(Bound(dlg, DWLP_USER));
  }
  // Messages before WM_INITDIALOG (WM_SETFONT among them) find no object.
  if (!self) return FALSE;
  if (message == WM_NCDESTROY) {
    self->Unbind();
    return FALSE;
  }
  // A handler may destroy the window and with it the object: nothing of
  // self is read after this call.
  return self->Dispatch(message, wParam, lParam);
}

INT_PTR CDialogBase::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInit();
    case WM_COMMAND:
      return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_TIMER:
      OnTimer(wParam);
      return FALSE;
    case WM_DESTROY:
      OnDestroy();
      if (Modeless && Window()) g_Dialogs.Remove(Window());
      return FALSE;
    default:
      return OnMessage(message, wParam, lParam);
  }
}

bool IsModelessDialogMessage(MSG* msg) {
  // A dialog may close while it handles the message: the count is read anew.
  for (std::size_t i = 0; i < g_Dialogs.Count(); ++i) {
    if (IsDialogMessageA(static_cast<HWND>(g_Dialogs.At(i)), msg)) return true;
  }
  return false;
}

std::string WindowText(HWND window, std::size_t max) {
  int length = GetWindowTextLengthA(window);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  int got = GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return std::string(tarn::TruncateToFit(text, max));
}

void CenterWindowInWorkArea(HWND window, HWND reference) {
  RECT win, ref;
  if (!GetWindowRect(window, &win) || !GetWindowRect(reference, &ref)) return;
  RECT work;
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {
    work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  tarn::Point32 at = tarn::CenterInWorkArea(ToRect32(win), ToRect32(ref), ToRect32(work));
  SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
