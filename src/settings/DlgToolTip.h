// Help balloons for every control of a dialog. A control's text is the
// string resource with the control's id, so a dialog gains tips by having
// strings under its controls' ids. One object per dialog window, created at
// its initialisation and destroyed with it.
#pragma once

#include <windows.h>

#include <map>
#include <memory>

class CDlgToolTip {
 public:
  CDlgToolTip();
  // Only resets the object: the owner calls Destroy first.
  virtual ~CDlgToolTip();
  CDlgToolTip(const CDlgToolTip&) = delete;
  CDlgToolTip& operator=(const CDlgToolTip&) = delete;

  // Handler for the messages of the subclassed dialog.
  virtual LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  // Creates the tooltip control and attaches to the dialog (call at
  // WM_INITDIALOG, after the controls are filled).
  bool Create(HWND dialog);
  // Destroys the tooltip control and detaches; always true.
  bool Destroy();
  // Attaches to a dialog, or detaches with nullptr.
  bool Attach(HWND dialog);

  HWND ToolTipWindow() const { return m_hToolTip; }
  HWND DialogWindow() const { return m_hDlg; }

  // Number of attached objects and whether the message hook is in place;
  // for diagnostics and tests.
  static int AttachedCount() { return s_attachedCount; }
  static bool HookInstalled() { return s_hook != nullptr; }

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static BOOL CALLBACK AddToolProc(HWND child, LPARAM object);
  static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
  bool IsAttached() const;
  void AnswerTextRequest(NMHDR* header);

  WNDPROC m_oldWndProc;
  HWND m_hDlg;
  HWND m_hToolTip;

  static std::map<HWND, CDlgToolTip*> s_map;
  static HHOOK s_hook;
  static int s_attachedCount;
  static char s_text[256];
};

// A dialog's hold on its tooltip object: letting go destroys and deletes it.
struct CDlgToolTipRelease {
  void operator()(CDlgToolTip* tip) const {
    tip->Destroy();
    delete tip;
  }
};
using DlgToolTipHolder = std::unique_ptr<CDlgToolTip, CDlgToolTipRelease>;
