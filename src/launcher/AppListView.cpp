#include "launcher/AppListView.h"

#include <shellapi.h>

#include <algorithm>

#include "base/Cp932.h"
#include "base/Failure.h"
#include "base/ListControl.h"
#include "launcher/IconFetcher.h"
#include "launcher/Launch.h"
#include "search/SrchApliBase.h"

namespace {

std::string WindowsFile(const char* name) {
  char dir[MAX_PATH] = {};
  UINT n = GetWindowsDirectoryA(dir, sizeof dir);
  if (n == 0 || n >= sizeof dir) return name;
  std::string path(dir, n);
  if (!tarn::EndsWithChar(path, '\\')) path += '\\';
  return path + name;
}

// Icon states of a record besides the shell's answers (-1 and up).
constexpr int kIconUnknown = -3;
constexpr int kIconAsked = -2;

}  // namespace

CAppListView::CAppListView() = default;

CAppListView::~CAppListView() = default;

bool CAppListView::Attach(HWND list, CSrchApliBase* store) {
  // The shell's image list takes a noticeable time to build the first
  // time in a process. The program attaches its store at start-up without
  // a window: the fetcher's thread builds the list then, so that neither
  // the tray icon nor the first dialog waits for it.
  if (!Icons) {
    Icons = std::make_unique<CIconFetcher>([this] { OnIconsFetched(); },
                                           std::vector<std::string>{WindowsFile("explorer.exe"), WindowsFile("taskman.exe")});
  }
  if (list && IsWindow(list) && list != List) {
    NeedsFill = true;
    List = list;
    LVCOLUMNA col = {};
    col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    col.fmt = LVCFMT_LEFT;
    col.cx = 100;
    col.pszText = const_cast<char*>("AppName");
    col.iSubItem = 0;
    if (SendMessageA(List, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&col)) < 0)
      TARN_REPORT_LAST_ERROR(1);
    col.cx = 0;
    col.pszText = const_cast<char*>("AppPath[hide]");
    col.iSubItem = 1;
    if (SendMessageA(List, LVM_INSERTCOLUMNA, 1, reinterpret_cast<LPARAM>(&col)) < 0)
      TARN_REPORT_LAST_ERROR(1);

    // Owner data is given to the control when it is made (the dialog
    // template has it); the control does not take it later.
    LONG_PTR style = GetWindowLongPtrA(List, GWL_STYLE);
    style &= ~static_cast<LONG_PTR>(LVS_TYPEMASK | LVS_NOSCROLL | LVS_NOSORTHEADER | LVS_ALIGNLEFT |
                                    LVS_SORTASCENDING | LVS_SORTDESCENDING);
    style |= LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | LVS_NOCOLUMNHEADER |
             LVS_OWNERDATA;
    SetLastError(0);
    if (!SetWindowLongPtrA(List, GWL_STYLE, style) && GetLastError() != 0)
      TARN_TRACE("%s", "list style not changed");
    SendMessageA(List, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES,
                 LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    UseSystemImages();
  }
  if (store && store != Store) Store = store;
  return true;
}

void CAppListView::UseSystemImages() {
  // Asked before the fetcher's thread has built it, the shell would keep
  // this thread waiting; the list shows no icons until then.
  if (!SystemImages) {
    SystemImages = Icons->Images();
    if (!SystemImages) return;
    StaticIcon = Icons->FixedIcon(0);
    DummyIcon = Icons->FixedIcon(1);
  }
  if (List && SystemImages && !SendMessageA(List, LVM_GETIMAGELIST, LVSIL_SMALL, 0)) {
    SendMessageA(List, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(SystemImages));
    InvalidateRect(List, nullptr, TRUE);
  }
}

void CAppListView::Detach(bool forgetWindows, bool forgetStore) {
  if (forgetWindows) {
    List = nullptr;
    PathField = nullptr;
    CounterLabel = nullptr;
    // Nothing shows them now: a pass applied meanwhile frees the old
    // candidates at once instead of at the next opening.
    Shown = MatchList();
  }
  if (Store) Store->Search(std::string());
  if (forgetStore) Store = nullptr;
}

int CAppListView::GetSelectedRow() const { return List ? SelectedListRow(List) : -1; }

void CAppListView::SelectRow(int row, bool scroll) { SelectListRow(List, row, scroll); }

bool CAppListView::Filter(const std::string& word, bool clampSelection, bool force) {
  if (!List || !Store) return false;
  SearchWord = word;
  // With options after the first space, the list is filtered with the text
  // before it; typing the options leaves the list as it is.
  std::string filterWord = word;
  if (Settings.SpaceIsOption) {
    filterWord = word.substr(0, std::min(word.size(), tarn::FindChar(word, ' ')));
    if (filterWord.size() < word.size() && !force && !NeedsFill && filterWord == FilteredWord) return true;
  }
  FilteredWord = filterWord;

  const std::size_t before = Shown.size();
  Store->Search(filterWord, tarn::MatchOptions{Settings.KanaMatch});
  const MatchList& found = Store->GetMatchList();
  const int total = Store->GetAllCount();
  // Every candidate matched before and now: the rows stay, unless they hang
  // on the word being empty.
  if (!force && !NeedsFill && static_cast<long long>(before) == total && before == found.size() &&
      (!Settings.InitList || FilledForEmptyWord == filterWord.empty()))
    return true;

  NeedsFill = false;
  FilledForEmptyWord = filterWord.empty();
  Shown = found;
  // Questions about the rows of the last fill are not needed any more.
  Icons->Forget();
  if (Shown.Source() != IconRecords.lock()) {
    IconRecords = Shown.Source();
    RecordIcons.assign(Shown.Source() ? Shown.Source()->size() : 0, kIconUnknown);
    ++IconBatch;
  } else {
    std::replace(RecordIcons.begin(), RecordIcons.end(), kIconAsked, kIconUnknown);
  }
  const int matches = static_cast<int>(Shown.size());
  int selection = ChooseSelection(GetSelectedRow(), StaticRows, matches, clampSelection);

  const int rowsNow = static_cast<int>(SendMessageA(List, LVM_GETITEMCOUNT, 0, 0));
  HistoryRows = 0;
  if (matches > 0 || rowsNow != StaticRows) {
    int rows = StaticRows;
    if (matches > 0) {
      HistoryRows = MoveHistoryToFront(Shown, Settings.TopDirs);
      rows += CandidateRowsToInsert(matches, HistoryRows, Settings.InitList, filterWord.empty());
    }
    // A virtual list has no rows to insert: the count is all it keeps, and
    // it asks for what it paints. (Switching its redraw off and on again
    // would cost more than the fill: the control measures itself anew.)
    if (!SendMessageA(List, LVM_DELETEALLITEMS, 0, 0)) TARN_REPORT_LAST_ERROR(1);
    SendMessageA(List, LVM_SETITEMCOUNT, rows, 0);
    InvalidateRect(List, nullptr, TRUE);
    selection = ClampToRows(selection, rows);
    SelectRow(selection, matches > 0);
  } else {
    SelectRow(selection, false);
  }
  FitColumn();
  if (CounterLabel) SetWindowTextA(CounterLabel, FormatCounter(matches, total).c_str());
  return true;
}

bool CAppListView::ApplyListSettings(const ListSettings& settings) {
  const bool refill = ListSettingsNeedRefill(Settings, settings);
  Settings = settings;
  StaticRows = static_cast<int>(Settings.StaticItems.size());
  return refill;
}

void CAppListView::OnItemChanged() {
  if (!PathField) return;
  SetWindowTextA(PathField, "");
  const int row = GetSelectedRow();
  // Static rows show no path, however many there are (none at all too).
  if (row < StaticRows) return;
  char path[MAX_PATH] = {};
  LVITEMA item = {};
  item.iSubItem = 1;
  item.pszText = path;
  item.cchTextMax = sizeof path;
  SendMessageA(List, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  SetWindowTextA(PathField, path);
}

void CAppListView::OnGetDispInfo(NMLVDISPINFOA* info) {
  LVITEMA& item = info->item;
  if (item.mask & LVIF_PARAM) item.lParam = item.iItem;
  if (item.iItem >= 0 && item.iItem < StaticRows) {
    if ((item.mask & LVIF_IMAGE) && item.iSubItem == 0) item.iImage = StaticIcon;
    if (item.mask & LVIF_TEXT) {
      item.pszText = const_cast<char*>(item.iSubItem == 0 ? Settings.StaticItems[item.iItem].Name.c_str() : "");
    }
    return;
  }
  const int index = CandidateIndexForRow(item.iItem, StaticRows, Shown.size());
  if (index < 0) {
    // A row the candidates do not reach (never expected): answer empty.
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) item.pszText[0] = '\0';
    if (item.mask & LVIF_IMAGE) item.iImage = -1;
    return;
  }
  const AppEntry& entry = Shown[static_cast<std::size_t>(index)];
  if ((item.mask & LVIF_IMAGE) && item.iSubItem == 0) {
    item.iImage = Settings.LoadIcon
                      ? DummyIcon
                      : CandidateIcon(static_cast<std::size_t>(Shown.Order()[static_cast<std::size_t>(index)]),
                                      entry.FullPath);
    item.state = 0;
    item.stateMask = 0;
  }
  if (item.mask & LVIF_TEXT) {
    const std::string& text = item.iSubItem == 1 ? entry.FullPath : entry.DispName;
    item.pszText = const_cast<char*>(text.c_str());
  }
}

int CAppListView::CandidateIcon(std::size_t record, const std::string& path) {
  if (!SystemImages) return I_IMAGENONE;
  if (record >= RecordIcons.size()) return SmallIconIndex(path, true);
  int& icon = RecordIcons[record];
  if (icon >= -1) return icon;
  if (icon == kIconUnknown) {
    icon = kIconAsked;
    Icons->Ask(IconBatch, record, path);
  }
  return SmallIconIndex(path, true);
}

void CAppListView::OnIconsFetched() {
  UseSystemImages();
  bool repaint = false;
  for (const CIconFetcher::Answer& a : Icons->TakeAnswers()) {
    if (a.Batch != IconBatch || a.Key >= RecordIcons.size()) continue;
    if (a.Dropped) {
      if (RecordIcons[a.Key] == kIconAsked) RecordIcons[a.Key] = kIconUnknown;
      continue;
    }
    RecordIcons[a.Key] = a.Icon;
    repaint = repaint || a.Differs;
  }
  if (!repaint || !List) return;
  const LRESULT top = SendMessageA(List, LVM_GETTOPINDEX, 0, 0);
  const LRESULT page = SendMessageA(List, LVM_GETCOUNTPERPAGE, 0, 0);
  SendMessageA(List, LVM_REDRAWITEMS, top, top + page);
}

void CAppListView::FitColumn() {
  if (List) FitFirstColumn(List);
}

std::string CAppListView::RowPath(int row) const {
  const int index = CandidateIndexForRow(row, StaticRows, Shown.size());
  return index < 0 ? std::string() : Shown[static_cast<std::size_t>(index)].FullPath;
}

bool CAppListView::ExpandStaticCommand(int index, std::string* out) {
  if (index < 0 || index >= StaticRows || SearchWord.empty() ||
      !::ExpandStaticCommand(Settings.StaticItems[index], SearchWord, out)) {
    LastResult = kLaunchNothing;
    return false;
  }
  return true;
}

bool CAppListView::ExecuteSelected() {
  const int row = GetSelectedRow();
  LaunchRequest request;
  if (row < 0) {
    LastResult = kLaunchNothing;
    return false;
  }
  if (row < StaticRows) {
    if (!ExpandStaticCommand(row, &request.Path)) return false;
    request.FromStaticItem = true;
  } else {
    request.Path = RowPath(row);
    if (request.Path.empty()) {
      LastResult = kLaunchNothing;
      return false;
    }
  }
  request.SearchWord = SearchWord;
  request.SpaceIsOption = Settings.SpaceIsOption;
  request.RowZero = row == 0;
  LastResult = StartItem(request);
  return LastResult == kLaunchStarted;
}

bool CAppListView::OpenSelectedFolder() {
  const int row = GetSelectedRow();
  const std::string path = row < StaticRows ? std::string() : RowPath(row);
  if (path.empty()) {
    LastResult = kLaunchNothing;
    return false;
  }
  LastResult = OpenContainingFolder(path);
  return LastResult == kLaunchStarted;
}
