// The launcher dialog: the search box, the candidate list and the buttons
// that start the chosen row. Made from "DLG_BRSK" each time it is shown and
// destroyed when it closes; the application keeps the settings, the list
// view and the store it works with, and the dialog reaches them through
// its host.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "base/DialogBase.h"
#include "base/WindowSubclass.h"
#include "launcher/LauncherHost.h"
#include "launcher/LauncherLayout.h"
#include "settings/DlgToolTip.h"

// Timers of the dialog: 1 after typing, 2 after choosing a drop-down entry.
inline constexpr UINT_PTR kTypingTimer = 1;
inline constexpr UINT_PTR kDropDownTimer = 2;

// Posted to an open launcher dialog when the candidates changed under it:
// the list is filtered again with the search box's text.
inline constexpr UINT WM_LAUNCHER_REFILTER = WM_USER + 40;

class CLauncherDlg : public CDialogBase {
 public:
  // Creates the dialog for the host (not yet shown); nullptr when the
  // template cannot be made into a window.
  static HWND Create(CLauncherHost* host);
  // The object behind an open launcher dialog, or nullptr.
  static CLauncherDlg* FromWindow(HWND dialog);

  // Stops both timers and filters the list with text (the search box's own
  // text when none is given), at most 259 bytes.
  void RefilterList(const std::optional<std::string>& text, bool clampSelection);
  // Switches on the shell's completion for the search box, once.
  void EnableAutoComplete();

  bool IsAutoCompleteOn() const { return AutoCompleteOn; }
  // How often the list was filtered since the dialog opened.
  int RefilterCount() const { return Refilters; }
  tarn::Size32 MinimumSize() const { return MinTrack; }

  // Library and function looked up for completion; tests point them
  // elsewhere to see the dialog cope without them.
  static void SetAutoCompleteSource(const char* library, const char* function);
  // Calls of the completion function since the source was last set.
  static int AutoCompleteCalls();

 private:
  explicit CLauncherDlg(CLauncherHost* host);
  ~CLauncherDlg() override;

  INT_PTR OnInit() override;
  INT_PTR OnCommand(int id, int code, HWND control) override;
  INT_PTR OnNotify(NMHDR* header) override;
  void OnTimer(UINT_PTR id) override;
  void OnDestroy() override;
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnFinalMessage() override;
  void InitLauncherDlg();
  void LayoutLauncherDlg();
  void RunSelected();
  void CloseLauncher();
  LRESULT OnSearchEditMessage(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);
  void StartTimer(UINT_PTR id);
  std::string ChosenDropDownText(bool* found) const;

  CLauncherHost* Host;
  HWND Search = nullptr;  // the combo box of the search word
  HWND SearchEdit = nullptr;
  // The search box's own keys, in front of its edit's procedure.
  CWindowSubclass EditSubclass;
  HWND List = nullptr;
  CDlgToolTip ToolTip;
  bool AutoCompleteOn = false;
  tarn::Size32 MinTrack = tarn::kFallbackMinimumSize;
  RECT LastRect = {};
  bool HaveLastRect = false;
  UINT FilterDelay = 300;
  int Refilters = 0;
};

// The factory the application calls to show the launcher.
HWND CreateLauncherDialog(CLauncherHost* host);
