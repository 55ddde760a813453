// Help balloons for every control of a dialog. A control's text is the
// string resource with the control's id, so a dialog gains tips by having
// strings under its controls' ids. One object per dialog window: the
// dialog creates it at its initialisation and destroys it with itself.
#pragma once

#include <windows.h>

#include "base/WindowSubclass.h"

class CDlgToolTip {
 public:
  CDlgToolTip();
  // Destroys the tooltip control and detaches.
  ~CDlgToolTip();
  CDlgToolTip(const CDlgToolTip&) = delete;
  CDlgToolTip& operator=(const CDlgToolTip&) = delete;

  // Creates the tooltip control and attaches to the dialog (call at
  // WM_INITDIALOG, after the controls are filled).
  bool Create(HWND dialog);
  // Destroys the tooltip control and detaches; always true.
  bool Destroy();
  // Attaches to a dialog, or detaches with nullptr.
  bool Attach(HWND dialog);

  HWND ToolTipWindow() const { return ToolTip; }

  // Number of attached objects and whether the message hook is in place;
  // for diagnostics and tests.
  static int AttachedCount();
  static bool HookInstalled() { return MessageHook != nullptr; }

 private:
  // The dialog's messages, in front of its own procedure.
  LRESULT DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static BOOL CALLBACK AddToolProc(HWND child, LPARAM object);
  static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
  void AnswerTextRequest(NMHDR* header);

  CWindowSubclass Subclass;
  HWND Dialog = nullptr;
  HWND ToolTip = nullptr;
  // The text handed to the tooltip control, which reads it after the answer.
  char TipText[256] = {};
  wchar_t WideTipText[256] = {};

  // Mouse messages reach the tooltip of their dialog through one hook on
  // the thread's messages while any dialog has tips.
  static HHOOK MessageHook;
};
