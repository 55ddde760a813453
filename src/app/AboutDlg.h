// The About dialog: product name and version, the program icon, a notice,
// and a picture button that types a short text and then closes the dialog.
// Modeless, at most one.
#pragma once

#include <windows.h>

#include <cstddef>

#include "base/DialogBase.h"
#include "base/WinHandle.h"

class CAboutDlg : public CDialogBase {
 public:
  // Opens the dialog, or brings the open one to the front.
  static void Show(HINSTANCE instance);
  // The open dialog's window, or nullptr.
  static HWND OpenWindow();

  // Timer 1 types, timer 2 waits before closing when the text is out.
  static constexpr UINT_PTR kTypingTimer = 1;
  static constexpr UINT_PTR kCloseTimer = 2;
  static constexpr UINT kTypingMs = 80;
  static constexpr UINT kCloseMs = 2000;

 private:
  explicit CAboutDlg(HINSTANCE instance) : Module(instance) {}
  ~CAboutDlg() override;

  INT_PTR OnInit() override;
  INT_PTR OnCommand(int id, int code, HWND control) override;
  void OnTimer(UINT_PTR id) override;
  void OnDestroy() override;
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnFinalMessage() override;

  static CAboutDlg* OpenDialog;

  HINSTANCE Module;
  tarn::ScopedGdiObject Picture;
  std::size_t Typed = 0;  // bytes of the typed text on show
};
