// The launcher dialog's candidate list: static rows, then history rows, then
// the other matches. The control is virtual (owner data): a fill only sets
// the row count, and every row's text and icon is handed over when the
// control asks for it (LVN_GETDISPINFO), so a fill costs the same at any
// size.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "launcher/ListOrder.h"
#include "search/AppEntry.h"

class CSrchApliBase;

class CAppListView {
 public:
  CAppListView();
  ~CAppListView();
  CAppListView(const CAppListView&) = delete;
  CAppListView& operator=(const CAppListView&) = delete;

  bool Attach(HWND list, CSrchApliBase* store);
  void SetPathField(HWND edit) { PathField = edit; }
  void SetCounterLabel(HWND label) { CounterLabel = label; }
  void Detach(bool forgetWindows, bool forgetStore);

  bool Filter(const std::string& word, bool clampSelection, bool force);
  bool ResetFilter() { return Filter(std::string(), true, true); }

  bool ApplyListSettings(const ListSettings& settings);
  ListSettings GetListSettings() const { return Settings; }

  void OnItemChanged();
  void OnGetDispInfo(NMLVDISPINFOA* info);
  void FitColumn();

  // Launching the selected row; the result code stays for GetLastResult.
  bool ExecuteSelected();
  bool OpenSelectedFolder();
  int GetLastResult() const { return LastResult; }
  // Expands static item index with the search word; false (code 40) for a
  // row that is no static item, an empty word or a failed expansion.
  bool ExpandStaticCommand(int index, std::string* out);

  HWND GetListWindow() const { return List; }
  const std::string& GetSearchWord() const { return SearchWord; }
  int GetHistoryRowCount() const { return HistoryRows; }
  int GetSelectedRow() const;

 private:
  void SelectRow(int row, bool scroll);
  std::string RowPath(int row) const;
  int IconForFile(const char* path) const;

  HWND PathField = nullptr;
  HWND CounterLabel = nullptr;
  ListSettings Settings;
  std::string SearchWord;
  std::string FilteredWord;  // what the store was last searched with
  bool NeedsFill = false;
  CSrchApliBase* Store = nullptr;
  int LastResult = 0;
  HIMAGELIST SystemImages = nullptr;
  HWND List = nullptr;
  MatchList Shown;
  // Icon of each shown candidate once asked for (-2 before): scrolling back
  // does not ask the shell again.
  mutable std::vector<int> ShownIcons;
  int DummyIcon = -1;
  int StaticRows = 0;
  int HistoryRows = 0;
  int StaticIcon = -1;
  std::string DummyIconPath;
};
