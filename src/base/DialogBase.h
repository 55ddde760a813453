// One small base for every dialog of the program, modeless or modal, on
// the window object of WindowBase.h: the object is stored at
// WM_INITDIALOG. Modeless dialogs are offered every message of the
// program's loop (keyboard navigation) while they exist.
#pragma once

#include <windows.h>

#include <string>

#include "base/Geometry.h"
#include "base/WindowBase.h"

class CDialogBase : public CWindowObject {
 public:
  // The object behind a dialog of this base, or nullptr for any other window.
  static CDialogBase* FromWindow(HWND dialog);

 protected:
  CDialogBase();
  ~CDialogBase() override;

  // Creates the dialog modeless (not yet shown unless its template says
  // so). Null when the template cannot be made into a window; OnFinalMessage
  // has then been called, so a dialog that owns itself is gone.
  HWND CreateModeless(HINSTANCE instance, const char* name, HWND parent);
  // Runs the dialog modally and answers its EndDialog result; -1 or 0 when
  // it could not be shown.
  INT_PTR RunModal(HINSTANCE instance, const char* name, HWND parent);

  // Message handlers; each answers what the dialog procedure answers.
  virtual INT_PTR OnInit() { return TRUE; }
  virtual INT_PTR OnCommand(int /*id*/, int /*code*/, HWND /*control*/) { return FALSE; }
  virtual INT_PTR OnNotify(NMHDR* /*header*/) { return FALSE; }
  virtual void OnTimer(UINT_PTR /*id*/) {}
  virtual void OnDestroy() {}
  // Every other message.
  virtual INT_PTR OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/) { return FALSE; }

  // Answers a notification through DWLP_MSGRESULT; returns TRUE for the
  // dialog procedure.
  INT_PTR SetMessageResult(LRESULT result);

 private:
  static INT_PTR CALLBACK StaticDlgProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

  bool Modeless = false;
};

// Offers a message to every open modeless dialog; true when one took it.
bool IsModelessDialogMessage(MSG* msg);

// The whole text of a window, cut to at most max bytes without splitting a
// character.
std::string WindowText(HWND window, std::size_t max = 259);

inline tarn::Rect32 ToRect32(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// Centres window over reference, kept inside the desktop's work area (the
// whole primary screen when the work area cannot be read).
void CenterWindowInWorkArea(HWND window, HWND reference);
