#include "settings/StaticItemDlg.h"

#include "res/SettingsDialogs.h"
#include "settings/DlgToolTip.h"

namespace {

constexpr std::size_t kMaxField = 259;

}  // namespace

CStaticItemDlg::CStaticItemDlg() = default;

CStaticItemDlg::~CStaticItemDlg() = default;

bool CStaticItemDlg::AddItem(StaticItem& item, HINSTANCE instance, HWND parent) {
  UpdateMode = false;
  Item = StaticItem{};
  return Run(item, instance, parent);
}

bool CStaticItemDlg::UpdateItem(StaticItem& item, HINSTANCE instance, HWND parent) {
  UpdateMode = true;
  Item = item;
  return Run(item, instance, parent);
}

bool CStaticItemDlg::Run(StaticItem& item, HINSTANCE instance, HWND parent) {
  if (RunModal(instance, "DLG_STATIC_ITEM_SETTING", parent) != IDOK) return false;
  item = Item;
  return true;
}

INT_PTR CStaticItemDlg::OnInit() {
  HWND dlg = Window();
  Name = GetDlgItem(dlg, IDC_ITEM_NAME);
  Command = GetDlgItem(dlg, IDC_ITEM_COMMAND);
  for (const StaticItemPreset& preset : kStaticItemPresets) {
    SendMessageA(Name, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(preset.Name));
  }
  if (UpdateMode) {
    SetWindowTextA(Name, Item.Name.c_str());
    SetWindowTextA(Command, Item.Command.c_str());
    CheckDlgButton(dlg, IDC_ITEM_URLENCODE, Item.UseUrlEncode ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dlg, IDC_ITEM_UTF8, Item.UseUTF8 ? BST_CHECKED : BST_UNCHECKED);
  }
  SendMessageA(Name, CB_LIMITTEXT, kMaxField, 0);
  SendMessageA(Command, EM_LIMITTEXT, kMaxField, 0);
  ToolTip.Create(dlg);
  return TRUE;
}

INT_PTR CStaticItemDlg::OnCommand(int id, int code, HWND) {
  HWND dlg = Window();
  switch (id) {
    case IDOK:
      // The limits count characters on some systems: a field is cut to what
      // the settings file and the launcher hold, never inside a character.
      Item.Name = WindowText(Name, kMaxField);
      Item.Command = WindowText(Command, kMaxField);
      Item.UseUrlEncode = IsDlgButtonChecked(dlg, IDC_ITEM_URLENCODE) == BST_CHECKED;
      Item.UseUTF8 = IsDlgButtonChecked(dlg, IDC_ITEM_UTF8) == BST_CHECKED;
      EndDialog(dlg, IDOK);
      return TRUE;
    case IDCANCEL:
      EndDialog(dlg, IDCANCEL);
      return TRUE;
    case IDC_ITEM_NAME:
      if (code == CBN_SELENDOK || code == CBN_SELENDCANCEL) {
        LRESULT chosen = SendMessageA(Name, CB_GETCURSEL, 0, 0);
        if (chosen >= 0 && static_cast<std::size_t>(chosen) < std::size(kStaticItemPresets)) {
          const StaticItemPreset& preset = kStaticItemPresets[chosen];
          SetWindowTextA(Command, preset.Command);
          CheckDlgButton(dlg, IDC_ITEM_URLENCODE, preset.UseUrlEncode ? BST_CHECKED : BST_UNCHECKED);
          CheckDlgButton(dlg, IDC_ITEM_UTF8, preset.UseUTF8 ? BST_CHECKED : BST_UNCHECKED);
        }
      }
      return FALSE;
    default:
      return FALSE;
  }
}

INT_PTR CStaticItemDlg::OnMessage(UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_SHOWWINDOW:
      SetForegroundWindow(Window());
      return FALSE;
    case WM_CLOSE:
      PostMessageA(Window(), WM_COMMAND, IDCANCEL, 0);
      return TRUE;
    default:
      return FALSE;
  }
}

void CStaticItemDlg::OnDestroy() {
  ToolTip.Destroy();
}
