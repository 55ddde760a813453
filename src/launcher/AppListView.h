// The launcher dialog's candidate list: static rows, then history rows, then
// the other matches. The control is virtual (owner data): a fill only sets
// the row count, and every row's text and icon is handed over when the
// control asks for it (LVN_GETDISPINFO), so a fill costs the same at any
// size. Icons come from a thread of their own and are kept for as long as
// the candidates stay the same.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "launcher/ListOrder.h"
#include "search/AppEntry.h"

class CIconFetcher;
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
  void UseSystemImages();
  int CandidateIcon(std::size_t record, const std::string& path);
  void OnIconsFetched();

  HWND PathField = nullptr;
  HWND CounterLabel = nullptr;
  ListSettings Settings;
  std::string SearchWord;
  std::string FilteredWord;  // what the store was last searched with
  bool NeedsFill = false;
  // The last fill was for an empty word: with InitList its rows were the
  // history rows alone.
  bool FilledForEmptyWord = false;
  CSrchApliBase* Store = nullptr;
  int LastResult = 0;
  HIMAGELIST SystemImages = nullptr;
  HWND List = nullptr;
  MatchList Shown;
  // Icon of each record of the candidates the list shows, by position in
  // their list, once the shell answered: refilters, scrolling back and the
  // next opening of the dialog do not ask again. Not holding on to the
  // records, which a pass may replace while the dialog is closed.
  // IconBatch tells answers for other candidates apart.
  std::weak_ptr<const AppEntryList> IconRecords;
  std::vector<int> RecordIcons;
  std::uint64_t IconBatch = 0;
  std::unique_ptr<CIconFetcher> Icons;
  int DummyIcon = -1;
  int StaticRows = 0;
  int HistoryRows = 0;
  int StaticIcon = -1;
};
