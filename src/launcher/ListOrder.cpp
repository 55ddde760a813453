#include "launcher/ListOrder.h"

#include <algorithm>
#include <cstdio>

ListSettings MakeListSettings(const EnvDlgInfo& info) {
  ListSettings s;
  s.InitList = info.SpeedTuning.InitList;
  s.LoadIcon = info.SpeedTuning.LoadIcon;
  s.SpaceIsOption = info.SpaceIsOption;
  s.TopDirNumMax = info.TopDirNumMax;
  s.TopDirs = info.TopDirs;
  s.StaticItems = info.StaticItems;
  s.DefaultSearchMode = info.DefaultSearchMode;
  s.AutocompleteURL = info.AutocompleteURL;
  s.KanaMatch = info.KanaMatch;
  return s;
}

bool ListSettingsNeedRefill(const ListSettings& held, const ListSettings& next) {
  return held.InitList != next.InitList || held.KanaMatch != next.KanaMatch ||
         held.StaticItems != next.StaticItems;
}

int MoveHistoryToFront(MatchList& shown, const std::vector<std::string>& topDirs) {
  // Only positions move: the records stay where the store keeps them.
  MatchList::Positions& order = shown.Order();
  int front = 0;
  for (auto dir = topDirs.rbegin(); dir != topDirs.rend(); ++dir) {
    std::size_t at = 0;
    while (at < order.size() && shown[at].FullPath != *dir) ++at;
    if (at == order.size()) continue;
    // A candidate already in front (its path was listed again) is moved
    // to the very front once more, but not counted twice.
    const bool alreadyFront = at < static_cast<std::size_t>(front);
    std::rotate(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(at),
                order.begin() + static_cast<std::ptrdiff_t>(at) + 1);
    if (!alreadyFront) ++front;
  }
  return front;
}

int CandidateRowsToInsert(int matches, int historyRows, bool initList, bool wordEmpty) {
  if (initList && wordEmpty) return std::min(historyRows, matches);
  return matches;
}

int ChooseSelection(int selected, int staticRows, int matches, bool clamp) {
  if (selected < 0) return matches > 0 ? staticRows : 0;
  if (!clamp) return selected;
  if (selected >= staticRows + matches) return matches > 0 ? staticRows + matches - 1 : 0;
  if (selected < staticRows && matches > 0) return staticRows;
  return selected;
}

int ClampToRows(int row, int rowCount) {
  if (rowCount <= 0 || row < 0) return 0;
  return std::min(row, rowCount - 1);
}

int CandidateIndexForRow(int row, int staticRows, std::size_t shownCount) {
  if (row < staticRows || staticRows < 0) return -1;
  const long long index = static_cast<long long>(row) - staticRows;
  if (index >= static_cast<long long>(shownCount)) return -1;
  return static_cast<int>(index);
}

std::string FormatCounter(int matches, int total) {
  char text[64];
  std::snprintf(text, sizeof text, "[%5d / %5d]", matches, total);
  return text;
}
