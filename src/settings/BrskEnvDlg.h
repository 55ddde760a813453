// The settings dialog: every user setting of the shared settings record,
// edited on a private copy and written back only on OK. Modeless, at most
// one at a time; it tells the window that opened it by a posted message
// whether the user confirmed (1) or cancelled (2).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <list>
#include <string>

#include "base/DialogBase.h"
#include "base/WinHandle.h"
#include "settings/DlgToolTip.h"
#include "settings/EnvDialogRules.h"
#include "settings/EnvDlgInfo.h"

class CBrskEnvDlg : public CDialogBase {
 public:
  ~CBrskEnvDlg() override;

  // Opens the dialog on the shared record: 0 when it opened, -1 for no
  // record, -2 when one is open already (it comes to the front), -3 when
  // the dialog could not be created (nothing stays open).
  static int OpenEnvDlg(HINSTANCE instance, HWND notifyWindow, UINT notifyMessage, EnvDlgInfo* shared);
  // The open dialog, or nullptr.
  static CBrskEnvDlg* Instance() { return OpenDialog; }
  // Closes an open dialog without telling its opener: the record it edits
  // is going away.
  static void CloseWithoutNotice();

 private:
  CBrskEnvDlg(HINSTANCE instance, HWND notifyWindow, UINT notifyMessage, EnvDlgInfo* shared);

  INT_PTR OnInit() override;
  INT_PTR OnCommand(int id, int code, HWND control) override;
  INT_PTR OnNotify(NMHDR* header) override;
  void OnDestroy() override;
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnFinalMessage() override;

  void FillControls();
  void ReadControls();
  bool Validate();
  bool CheckAnyDir(const std::string& text, int row);
  bool BrowseAnyDir(std::string& out);
  int InsertListRow(HWND list, const std::string& text, int row, LPARAM data);
  void ShowEnvMessage(const std::string& text);
  void ApplyAnyEnabling();
  void OnOk();
  void Close(WPARAM result);
  void EndFolderEdit(NMLVDISPINFOA* info);
  void DeleteFolderRow();
  void AddStaticItem();
  void UpdateStaticItem();
  void DeleteStaticItem();
  void MoveStaticItem(int by);
  // The item of a row of the static item list: rows point into RowItems.
  LPARAM KeepItem(const StaticItem& item);
  StaticItem* ItemAt(int row) const;

  static CBrskEnvDlg* OpenDialog;

  EnvDlgInfo Working;
  HINSTANCE Module;
  HWND Autocomplete = nullptr;
  CDlgToolTip ToolTip;
  HWND SubDir = nullptr;
  HWND SearchMode = nullptr;
  HWND TopDirMax = nullptr;
  HWND ExecListMax = nullptr;
  HWND Interval = nullptr;
  EnvDlgInfo* Shared;
  UINT NotifyMessage;
  HWND NotifyWindow;
  HWND FolderDelete = nullptr;
  HWND LabelEditor = nullptr;
  HWND HotKey = nullptr;
  HWND Browse = nullptr;
  HWND Folders = nullptr;
  HWND Items = nullptr;
  std::list<StaticItem> RowItems;
  tarn::EnvNumberTexts NumberTexts;
  std::string RefusedFolder;
  std::string StartupFolder;  // empty when the shell knows none
  tarn::ScopedLibrary ShellUtility;
  using AutoCompleteFn = HRESULT(WINAPI*)(HWND, DWORD);
  AutoCompleteFn AutoComplete = nullptr;
};
