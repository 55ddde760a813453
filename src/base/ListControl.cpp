#include "base/ListControl.h"

#include <commctrl.h>

int SelectedListRow(HWND list) {
  return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void SelectListRow(HWND list, int row, bool scroll) {
  LVITEMA state = {};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
  if (scroll) SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

void FitFirstColumn(HWND list) {
  RECT client;
  if (GetClientRect(list, &client)) SendMessageA(list, LVM_SETCOLUMNWIDTH, 0, client.right - client.left);
}
