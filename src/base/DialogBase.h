// One small base for every dialog of the program, modeless or modal. Its
// static procedure stores the object at WM_INITDIALOG, forwards each
// message to a small named member and forgets the object when the window
// goes. Modeless dialogs are offered every message of the program's loop
// (keyboard navigation) while they exist.
#pragma once

#include <windows.h>

#include <string>

#include "base/Geometry.h"
#include "base/LifeGuard.h"

class CDialogBase {
 public:
  CDialogBase(const CDialogBase&) = delete;
  CDialogBase& operator=(const CDialogBase&) = delete;

  // The dialog window; null before WM_INITDIALOG and once it is gone.
  HWND Window() const { return Dlg; }

 protected:
  CDialogBase();
  virtual ~CDialogBase();

  // Creates the dialog modeless (not yet shown unless its template says
  // so). Null when the template cannot be made into a window; the object
  // is then still the caller's, and OnFinalMessage was not called.
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
  // The window is gone and the object forgotten: an object that owns
  // itself (a modeless dialog) deletes itself here. Nothing of the base is
  // touched after this call.
  virtual void OnFinalMessage() {}

  // Answers a notification through DWLP_MSGRESULT; returns TRUE for the
  // dialog procedure.
  INT_PTR SetMessageResult(LRESULT result);

  // Taken before a call that can run a nested message loop (a message box,
  // a modal dialog, a launch): that loop may destroy the dialog and delete
  // the object, and code after the call asks the watcher before touching it.
  tarn::LifeGuard::Watcher Watch() const { return Life.Watch(); }

 private:
  static INT_PTR CALLBACK StaticDlgProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

  HWND Dlg = nullptr;
  bool Modeless = false;
  bool Creating = false;
  tarn::LifeGuard Life;
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
