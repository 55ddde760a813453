#include "launcher/HistoryControls.h"

#include <commctrl.h>

#include "base/ListControl.h"
#include "launcher/Histories.h"
#include "res/LauncherDialog.h"

namespace {

bool ComboText(HWND combo, int index, std::string* text) {
  LRESULT len = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (len == CB_ERR) return false;
  std::string buf(static_cast<std::size_t>(len) + 1, '\0');
  LRESULT got = SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                             reinterpret_cast<LPARAM>(buf.data()));
  if (got == CB_ERR) return false;
  buf.resize(static_cast<std::size_t>(got));
  *text = std::move(buf);
  return true;
}

}  // namespace

bool SyncSearchWordDropDown(HWND combo, const std::vector<std::string>& execList) {
  if (combo == nullptr) return false;
  LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
  if (count == CB_ERR) return false;
  std::size_t same = 0;
  std::string text;
  while (same < execList.size() && static_cast<LRESULT>(same) < count &&
         ComboText(combo, static_cast<int>(same), &text) && text == execList[same])
    ++same;
  for (LRESULT i = count; i > static_cast<LRESULT>(same); --i)
    SendMessageA(combo, CB_DELETESTRING, static_cast<WPARAM>(i - 1), 0);
  bool ok = true;
  for (std::size_t i = same; i < execList.size(); ++i) {
    // Inserting at the end keeps the order even in a sorting combo box.
    LRESULT at = SendMessageA(combo, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                              reinterpret_cast<LPARAM>(execList[i].c_str()));
    if (at == CB_ERR || at == CB_ERRSPACE) ok = false;
  }
  return ok;
}

bool AddSearchWord(HWND combo, EnvDlgInfo& info, std::string_view word) {
  bool changed = AddToExecList(info, word);
  if (changed) SyncSearchWordDropDown(combo, info.ExecList);
  return changed;
}

bool ReadSelectedRowPath(HWND list, int* row, std::string* path) {
  if (list == nullptr) return false;
  const int selected = SelectedListRow(list);
  if (selected < 0) return false;
  // The control copies at most the buffer less one byte; a full buffer may
  // mean a longer path, which must never be taken cut short.
  std::string buf;
  for (std::size_t cap = 512; cap <= 65536; cap *= 4) {
    buf.assign(cap, '\0');
    LVITEMA item = {};
    item.iSubItem = 1;
    item.pszText = buf.data();
    item.cchTextMax = static_cast<int>(cap);
    auto got = static_cast<std::size_t>(
        SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(selected),
                     reinterpret_cast<LPARAM>(&item)));
    if (got + 1 < cap) {
      buf.resize(got);
      *row = selected;
      *path = std::move(buf);
      return true;
    }
  }
  return false;
}

void RecordLaunchHistories(HWND dialog, EnvDlgInfo& info, std::string_view word, std::string_view path) {
  AddSearchWord(GetDlgItem(dialog, IDC_LAUNCHER_SEARCH), info, word);
  AddToTopDirs(info, path);
}
