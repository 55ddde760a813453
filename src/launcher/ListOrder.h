// What the candidate list shows, decided on plain data: the list settings,
// history rows moved to the front, how many rows go into the control, where
// the selection lands and the counter text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "search/AppEntry.h"
#include "settings/EnvDlgInfo.h"

// The list view's copy of the settings.
struct ListSettings {
  bool InitList = false;   // empty word: only history rows go into the control
  bool LoadIcon = false;   // one fixed icon for every candidate row
  bool SpaceIsOption = false;
  int32_t TopDirNumMax = 0;
  std::vector<std::string> TopDirs;  // executed-item history, most recent first
  std::vector<StaticItem> StaticItems;
  int32_t DefaultSearchMode = 0;
  bool AutocompleteURL = false;
  bool KanaMatch = false;  // how the store searches

  bool operator==(const ListSettings&) const = default;
};

ListSettings MakeListSettings(const EnvDlgInfo& info);

// True when the rows must be rebuilt: InitList, KanaMatch or the static
// items changed.
bool ListSettingsNeedRefill(const ListSettings& held, const ListSettings& next);

// Moves the candidates named in topDirs to the front, in topDirs order, and
// answers how many candidates stand there. A path listed twice in topDirs
// still counts its candidate once.
int MoveHistoryToFront(MatchList& shown, const std::vector<std::string>& topDirs);

// Candidate rows to insert: all matches, or only the history rows when
// InitList is on and the word is empty.
int CandidateRowsToInsert(int matches, int historyRows, bool initList, bool wordEmpty);

// The row to select after a fill; selected is -1 when none is.
int ChooseSelection(int selected, int staticRows, int matches, bool clamp);

// Keeps a row index inside a control of rowCount rows (0 when empty).
int ClampToRows(int row, int rowCount);

// Index into the shown candidates for a row of the control, or -1 for a
// static row or a row the candidates do not reach.
int CandidateIndexForRow(int row, int staticRows, std::size_t shownCount);

// "[%5d / %5d]"
std::string FormatCounter(int matches, int total);
