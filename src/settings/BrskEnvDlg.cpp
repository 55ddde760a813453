#include "settings/BrskEnvDlg.h"

#include <commctrl.h>
#include <shlobj.h>

#include "base/Cp932.h"
#include "base/Failure.h"
#include "base/ListControl.h"
#include "base/SystemLibrary.h"
#include "base/WinHandle.h"
#include "res/SettingsDialogs.h"
#include "res/resource.h"
#include "settings/DlgToolTip.h"
#include "settings/StaticItemDlg.h"
#include "settings/StartupShortcut.h"

namespace {

constexpr std::size_t kMaxText = tarn::kMaxPath - 1;
// Posted to itself when an edited folder was refused: the list view cannot
// start a new edit while it is still ending the last one.
constexpr UINT WM_EDIT_FOLDER_AGAIN = WM_APP + 1;
constexpr DWORD kFileSystemCompletion = 0x1;  // SHACF_FILESYSTEM

// The check boxes of SrchDirFlg and SpeedTuning, in the order of the flags.
struct SourceBox {
  int Id;
  bool SrchDirFlags::*Flag;
};
constexpr SourceBox kSourceBoxes[] = {
    {IDC_ENV_STARTMENU, &SrchDirFlags::StartMenu}, {IDC_ENV_DESKTOP, &SrchDirFlags::DeskTop},
    {IDC_ENV_NTCOM, &SrchDirFlags::NtCom},         {IDC_ENV_ANY, &SrchDirFlags::Any},
    {IDC_ENV_FAVORITES, &SrchDirFlags::Favorites}, {IDC_ENV_RECENT, &SrchDirFlags::Recent},
    {IDC_ENV_PATH, &SrchDirFlags::Path},
};
struct SpeedBox {
  int Id;
  bool SpeedTuningFlags::*Flag;
};
constexpr SpeedBox kSpeedBoxes[] = {
    {IDC_ENV_INITLIST, &SpeedTuningFlags::InitList},
    {IDC_ENV_UPDATE, &SpeedTuningFlags::Update},
    {IDC_ENV_LOADICON, &SpeedTuningFlags::LoadIcon},
};

[[noreturn]] void ListFailure(int line, const char* what) { Abend(kAbendWinApi, __FILE__, line, "%s", what); }

void Check(HWND dlg, int id, bool on) { CheckDlgButton(dlg, id, on ? BST_CHECKED : BST_UNCHECKED); }
bool Checked(HWND dlg, int id) { return IsDlgButtonChecked(dlg, id) == BST_CHECKED; }

int RowCount(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

std::string RowText(HWND list, int row) {
  char text[tarn::kMaxPath] = {};
  LVITEMA item = {};
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return std::string(text, tarn::BoundedLength(text, sizeof text));
}

// The one column of a list, grid lines and full-row selection, no rows.
void PrepareList(HWND list, const char* title, int line) {
  LVCOLUMNA column = {};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.cx = 100;
  column.pszText = const_cast<char*>(title);
  if (SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column)) == -1)
    ListFailure(line, "ListView の列の追加");
  SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
  if (!SendMessageA(list, LVM_DELETEALLITEMS, 0, 0)) ListFailure(line, "ListView の全行の削除");
}

// The row to select after a row was deleted at index row: the same index,
// or the one above when that is past the last row allowed.
void SelectAfterDelete(HWND list, int row, int lastAllowed) {
  if (row > 0 && row > lastAllowed) --row;
  SelectListRow(list, row, true);
  FitFirstColumn(list);
}

}  // namespace

CBrskEnvDlg* CBrskEnvDlg::OpenDialog = nullptr;

CBrskEnvDlg::CBrskEnvDlg(HINSTANCE instance, HWND notifyWindow, UINT notifyMessage, EnvDlgInfo* shared)
    : Working(*shared), Module(instance), Shared(shared), NotifyMessage(notifyMessage),
      NotifyWindow(notifyWindow) {}

CBrskEnvDlg::~CBrskEnvDlg() {
  if (OpenDialog == this) OpenDialog = nullptr;
}

int CBrskEnvDlg::OpenEnvDlg(HINSTANCE instance, HWND notifyWindow, UINT notifyMessage, EnvDlgInfo* shared) {
  if (!shared) return -1;
  if (OpenDialog) {
    if (HWND open = OpenDialog->Window()) {
      SetWindowPos(open, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
      SetForegroundWindow(open);
    }
    return -2;
  }
  INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_LISTVIEW_CLASSES | ICC_HOTKEY_CLASS};
  InitCommonControlsEx(&classes);
  // The dialog owns itself once its window exists.
  auto* dialog = new CBrskEnvDlg(instance, notifyWindow, notifyMessage, shared);
  OpenDialog = dialog;
  HWND window = dialog->CreateModeless(instance, MAKEINTRESOURCEA(DLG_BR_ENV), nullptr);
  if (!window) {
    // Nothing stays open: a later request opens anew, and the opener turns
    // back on what it turned off for the dialog.
    TARN_REPORT_LAST_ERROR(0);
    TARN_TRACE("%s\n", "settings dialog not created");
    return -3;
  }
  ShowWindow(window, SW_SHOWNORMAL);
  return 0;
}

void CBrskEnvDlg::CloseWithoutNotice() {
  if (OpenDialog && OpenDialog->Window()) DestroyWindow(OpenDialog->Window());
}

INT_PTR CBrskEnvDlg::OnInit() {
  HWND dlg = Window();
  ShellUtility.Reset(tarn::LoadSystemLibrary("SHLWAPI.DLL"));
  Autocomplete = GetDlgItem(dlg, IDC_ENV_AUTOCOMPLETE);
  SubDir = GetDlgItem(dlg, IDC_ENV_SUBDIR);
  SearchMode = GetDlgItem(dlg, IDC_ENV_SEARCH_MODE);
  TopDirMax = GetDlgItem(dlg, IDC_ENV_TOPDIR_MAX);
  ExecListMax = GetDlgItem(dlg, IDC_ENV_EXECLIST_MAX);
  Interval = GetDlgItem(dlg, IDC_ENV_INTERVAL);
  FolderDelete = GetDlgItem(dlg, IDC_ENV_FOLDER_DELETE);
  LabelEditor = nullptr;
  HotKey = GetDlgItem(dlg, IDC_ENV_HOTKEY);
  Browse = GetDlgItem(dlg, IDC_ENV_BROWSE);
  Folders = GetDlgItem(dlg, IDC_ENV_FOLDERS);
  Items = GetDlgItem(dlg, IDC_ENV_ITEMS);
  FillControls();

  EnableWindow(GetDlgItem(dlg, IDC_ENV_NTCOM), (GetVersion() & 0x80000000u) == 0);
  CenterWindowInWorkArea(dlg, GetDesktopWindow());
  SetWindowPos(dlg, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  HICON big = LoadIconA(Module, MAKEINTRESOURCEA(IDI_PROGRAM));
  HANDLE small = LoadImageA(Module, MAKEINTRESOURCEA(IDI_PROGRAM), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                            GetSystemMetrics(SM_CYSMICON), LR_SHARED);
  SendMessageA(dlg, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  SendMessageA(dlg, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  SendMessageA(SearchMode, EM_LIMITTEXT, 1, 0);
  SendMessageA(TopDirMax, EM_LIMITTEXT, 2, 0);
  SendMessageA(ExecListMax, EM_LIMITTEXT, 2, 0);
  SendMessageA(Interval, EM_LIMITTEXT, 4, 0);
  ToolTip.Create(dlg);
  return TRUE;
}

void CBrskEnvDlg::FillControls() {
  HWND dlg = Window();
  for (const SourceBox& box : kSourceBoxes) Check(dlg, box.Id, Working.SrchDirFlg.*box.Flag);

  PrepareList(Folders, "AnyDir", __LINE__);
  InsertListRow(Folders, "", 0, 0);
  for (std::size_t i = 0; i < Working.AnyDirs.size(); ++i) {
    InsertListRow(Folders, Working.AnyDirs[i], static_cast<int>(i), 0);
  }
  SelectListRow(Folders, 0, true);
  Check(dlg, IDC_ENV_SUBDIR, Working.AnyDirSubDir);
  ApplyAnyEnabling();

  PrepareList(Items, "StaticItems", __LINE__);
  FitFirstColumn(Items);
  for (std::size_t i = 0; i < Working.StaticItems.size(); ++i) {
    const StaticItem& item = Working.StaticItems[i];
    InsertListRow(Items, item.Name, static_cast<int>(i), KeepItem(item));
  }
  SelectListRow(Items, 0, true);

  SendMessageA(HotKey, HKM_SETRULES, HKCOMB_NONE, MAKELPARAM(0, 0));
  // The key as it is registered: a modifier counts only when it is 1, and
  // showing another value as on would make it count after OK.
  const HotKeySetting& key = Working.HotKey;
  BYTE modifiers = 0;
  if (key.Alt == 1) modifiers |= HOTKEYF_ALT;
  if (key.Ctrl == 1) modifiers |= HOTKEYF_CONTROL;
  if (key.Shift == 1) modifiers |= HOTKEYF_SHIFT;
  SendMessageA(HotKey, HKM_SETHOTKEY, MAKEWORD(static_cast<BYTE>(key.VKey), modifiers), 0);
  Check(dlg, IDC_ENV_WIN, key.Win == 1);

  // Half a double-byte character would show as something else and come
  // back as another character on OK.
  const char mode = static_cast<char>(Working.DefaultSearchMode & 0xFF);
  const char modeText[2] = {tarn::IsLeadByte(mode) ? '\0' : mode, '\0'};
  SetWindowTextA(SearchMode, modeText);

  for (const SpeedBox& box : kSpeedBoxes) Check(dlg, box.Id, Working.SpeedTuning.*box.Flag);
  Check(dlg, IDC_ENV_AUTOCOMPLETE, Working.AutocompleteURL);
  if (ShellUtility.Get()) {
    AutoComplete = reinterpret_cast<AutoCompleteFn>(
        reinterpret_cast<void*>(GetProcAddress(ShellUtility.Get(), "SHAutoComplete")));
  }
  EnableWindow(Autocomplete, AutoComplete != nullptr);
  Check(dlg, IDC_ENV_SPACE_OPTION, Working.SpaceIsOption);
  Check(dlg, IDC_ENV_KANA, Working.KanaMatch);
  // No settings line: the Startup folder itself tells.
  StartupFolder = tarn::StartupFolder();
  Check(dlg, IDC_ENV_STARTUP, tarn::StartsWithWindows(StartupFolder, tarn::ProgramPath()));
  EnableWindow(GetDlgItem(dlg, IDC_ENV_STARTUP), !StartupFolder.empty());

  SetDlgItemInt(dlg, IDC_ENV_TOPDIR_MAX, static_cast<UINT>(Working.TopDirNumMax), FALSE);
  SetDlgItemInt(dlg, IDC_ENV_EXECLIST_MAX, static_cast<UINT>(Working.ExecListNumMax), FALSE);
  SetDlgItemInt(dlg, IDC_ENV_INTERVAL, static_cast<UINT>(Working.UpdateTimer), FALSE);
}

int CBrskEnvDlg::InsertListRow(HWND list, const std::string& text, int row, LPARAM data) {
  LVITEMA item = {};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = row;
  item.pszText = const_cast<char*>(text.c_str());
  item.lParam = data;
  int at = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  if (at == -1) ListFailure(__LINE__, "ListView の行の追加");
  SelectListRow(list, at, true);
  FitFirstColumn(list);
  return at;
}

void CBrskEnvDlg::ApplyAnyEnabling() {
  const BOOL on = Checked(Window(), IDC_ENV_ANY) ? TRUE : FALSE;
  for (HWND control : {Folders, Browse, FolderDelete, SubDir}) EnableWindow(control, on);
}

LPARAM CBrskEnvDlg::KeepItem(const StaticItem& item) {
  return reinterpret_cast<LPARAM>(&RowItems.emplace_back(item));
}

StaticItem* CBrskEnvDlg::ItemAt(int row) const {
  if (row < 0) return nullptr;
  LVITEMA item = {};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!SendMessageA(Items, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
  return reinterpret_cast<StaticItem*>(item.lParam);
}

void CBrskEnvDlg::ReadControls() {
  HWND dlg = Window();
  for (const SourceBox& box : kSourceBoxes) Working.SrchDirFlg.*box.Flag = Checked(dlg, box.Id);
  Working.AnyDirs.clear();
  for (int row = 0; row + 1 < RowCount(Folders); ++row) Working.AnyDirs.push_back(RowText(Folders, row));
  Working.AnyDirSubDir = Checked(dlg, IDC_ENV_SUBDIR);
  Working.StaticItems.clear();
  for (int row = 0; row < RowCount(Items); ++row) {
    if (const StaticItem* item = ItemAt(row)) Working.StaticItems.push_back(*item);
  }

  const WORD key = LOWORD(SendMessageA(HotKey, HKM_GETHOTKEY, 0, 0));
  const BYTE modifiers = HIBYTE(key);
  Working.HotKey.VKey = LOBYTE(key);
  Working.HotKey.Alt = (modifiers & HOTKEYF_ALT) ? 1 : 0;
  Working.HotKey.Ctrl = (modifiers & HOTKEYF_CONTROL) ? 1 : 0;
  Working.HotKey.Shift = (modifiers & HOTKEYF_SHIFT) ? 1 : 0;
  Working.HotKey.Win = Checked(dlg, IDC_ENV_WIN) ? 1 : 0;

  // A double-byte character does not fit the one byte kept: no mode.
  const std::string mode = WindowText(SearchMode, 1);
  Working.DefaultSearchMode = mode.empty() ? 0 : static_cast<signed char>(mode[0]);

  for (const SpeedBox& box : kSpeedBoxes) Working.SpeedTuning.*box.Flag = Checked(dlg, box.Id);
  Working.AutocompleteURL = Checked(dlg, IDC_ENV_AUTOCOMPLETE);
  Working.SpaceIsOption = Checked(dlg, IDC_ENV_SPACE_OPTION);
  Working.KanaMatch = Checked(dlg, IDC_ENV_KANA);

  NumberTexts = {WindowText(TopDirMax), WindowText(ExecListMax), WindowText(Interval)};
  auto number = [](const std::string& text) {
    return static_cast<int32_t>(tarn::ReadFieldNumber(text).value_or(0));
  };
  Working.TopDirNumMax = number(NumberTexts.TopDirNumMax);
  Working.ExecListNumMax = number(NumberTexts.ExecListNumMax);
  Working.UpdateTimer = number(NumberTexts.UpdateTimer);
}

bool CBrskEnvDlg::Validate() {
  tarn::EnvProblem problem = tarn::ValidateEnv(Working, NumberTexts);
  if (problem == tarn::EnvProblem::kNone) return true;
  ShowEnvMessage(std::string(tarn::EnvProblemText(problem)));
  return false;
}

void CBrskEnvDlg::ShowEnvMessage(const std::string& text) {
  char caption[256] = {};
  LoadStringA(Module, IDS_PRODUCT_NAME, caption, sizeof caption);
  MessageBoxA(Window(), text.c_str(), caption, MB_OK | MB_ICONHAND | MB_TASKMODAL);
}

bool CBrskEnvDlg::CheckAnyDir(const std::string& text, int row) {
  std::string entry(tarn::TruncateToFit(text, kMaxText));
  for (int pass = 0; pass < 2; ++pass) {
    LVFINDINFOA find = {};
    find.flags = LVFI_STRING;
    find.psz = entry.c_str();
    int at = -1;
    while ((at = static_cast<int>(SendMessageA(Folders, LVM_FINDITEMA, static_cast<WPARAM>(at),
                                               reinterpret_cast<LPARAM>(&find)))) != -1) {
      if (at != row) {
        ShowEnvMessage(std::string(tarn::kDuplicateFolderText));
        return false;
      }
    }
    entry = tarn::ToggleTrailingBackslash(entry);
  }
  const std::string folder(tarn::FolderPart(entry));
  const DWORD attributes = folder.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(folder.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
  ShowEnvMessage(tarn::MissingFolderText(text));
  return false;
}

bool CBrskEnvDlg::BrowseAnyDir(std::string& out) {
  IMalloc* allocator = nullptr;
  HRESULT hr = SHGetMalloc(&allocator);
  if (FAILED(hr) || !allocator) Abend(kAbendWinApi, __FILE__, __LINE__, "SHGetMalloc %08lx", hr);
  LPITEMIDLIST drives = nullptr;
  hr = SHGetSpecialFolderLocation(Window(), CSIDL_DRIVES, &drives);
  if (FAILED(hr) || !drives) Abend(kAbendWinApi, __FILE__, __LINE__, "CSIDL_DRIVES %08lx", hr);
  out.clear();
  char display[MAX_PATH] = {};
  BROWSEINFOA info = {};
  info.hwndOwner = Window();
  info.pidlRoot = drives;
  info.pszDisplayName = display;
  info.lpszTitle = "追加ディレクトリの選択";
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  const tarn::LifeGuard::Watcher alive = Watch();
  for (;;) {
    LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
    if (!chosen) break;
    char path[MAX_PATH] = {};
    const BOOL converted = SHGetPathFromIDListA(chosen, path);
    allocator->Free(chosen);
    if (!alive || !converted) break;
    if (CheckAnyDir(path, -1)) {
      out = path;
      break;
    }
    if (!alive) break;
  }
  allocator->Free(drives);
  allocator->Release();
  return true;
}

INT_PTR CBrskEnvDlg::OnCommand(int id, int code, HWND control) {
  if (control && control == LabelEditor) return FALSE;
  switch (id) {
    case IDOK:
      OnOk();
      return TRUE;
    case IDCANCEL:
      Close(2);
      return TRUE;
    case IDC_ENV_ANY:
      if (code == BN_CLICKED && control == GetDlgItem(Window(), IDC_ENV_ANY)) ApplyAnyEnabling();
      return TRUE;
    case IDC_ENV_BROWSE: {
      const tarn::LifeGuard::Watcher alive = Watch();
      std::string folder;
      BrowseAnyDir(folder);
      if (alive && !folder.empty()) InsertListRow(Folders, folder, RowCount(Folders) - 1, 0);
      return TRUE;
    }
    case IDC_ENV_FOLDER_DELETE:
      DeleteFolderRow();
      return TRUE;
    case IDC_ENV_ITEM_DELETE:
      DeleteStaticItem();
      return TRUE;
    case IDC_ENV_ITEM_ADD:
      AddStaticItem();
      return TRUE;
    case IDC_ENV_ITEM_UPDATE:
      UpdateStaticItem();
      return TRUE;
    case IDC_ENV_ITEM_UP:
      MoveStaticItem(-1);
      return TRUE;
    case IDC_ENV_ITEM_DOWN:
      MoveStaticItem(1);
      return TRUE;
    default:
      return FALSE;
  }
}

void CBrskEnvDlg::OnOk() {
  ReadControls();
  if (!Validate()) return;
  if (Shared != &Working) *Shared = tarn::RecordForOk(Working, *Shared);
  const bool startup = Checked(Window(), IDC_ENV_STARTUP);
  if (!StartupFolder.empty() && !tarn::SetStartWithWindows(StartupFolder, tarn::ProgramPath(), startup)) {
    // The other settings are saved all the same.
    const tarn::LifeGuard::Watcher alive = Watch();
    ShowEnvMessage(std::string(startup ? "スタートアップ フォルダにショートカットを作成できませんでした。\n"
                                       : "スタートアップ フォルダのショートカットを削除できませんでした。\n") +
                   StartupFolder);
    if (!alive) return;
  }
  Close(1);
}

void CBrskEnvDlg::Close(WPARAM result) {
  if (NotifyWindow) PostMessageA(NotifyWindow, NotifyMessage, result, 0);
  DestroyWindow(Window());
}

INT_PTR CBrskEnvDlg::OnNotify(NMHDR* header) {
  if (!header || header->hwndFrom != Folders) return FALSE;
  switch (header->code) {
    case LVN_KEYDOWN: {
      const int row = SelectedListRow(Folders);
      if (reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey == VK_F2 && row >= 0) {
        SetFocus(Folders);
        SendMessageA(Folders, LVM_EDITLABELA, static_cast<WPARAM>(row), 0);
      }
      return FALSE;
    }
    case LVN_BEGINLABELEDITA:
      LabelEditor = reinterpret_cast<HWND>(SendMessageA(Folders, LVM_GETEDITCONTROL, 0, 0));
      SendMessageA(LabelEditor, EM_LIMITTEXT, kMaxText, 0);
      if (AutoComplete) AutoComplete(LabelEditor, kFileSystemCompletion);
      return SetMessageResult(FALSE);
    case LVN_ENDLABELEDITA:
      EndFolderEdit(reinterpret_cast<NMLVDISPINFOA*>(header));
      return TRUE;
    default:
      return FALSE;
  }
}

void CBrskEnvDlg::EndFolderEdit(NMLVDISPINFOA* info) {
  // The list sets no text itself: an accepted one is set here.
  SetMessageResult(FALSE);
  const int row = info->item.iItem;
  std::string text;
  if (info->item.pszText) {
    text = tarn::TruncateToFit(info->item.pszText, kMaxText);
  } else {
    // Some list controls report an emptied label like a cancelled edit;
    // the editor still tells which it was.
    const bool escaped = (GetKeyState(VK_ESCAPE) & 0x8000) != 0;
    if (escaped || !LabelEditor || GetWindowTextLengthA(LabelEditor) != 0) {
      LabelEditor = nullptr;
      return;
    }
  }
  LabelEditor = nullptr;
  if (text.empty()) {
    PostMessageA(Window(), WM_COMMAND, IDC_ENV_FOLDER_DELETE, 0);
    return;
  }
  const tarn::LifeGuard::Watcher alive = Watch();
  if (!CheckAnyDir(text, row)) {
    if (!alive) return;
    RefusedFolder = text;
    PostMessageA(Window(), WM_EDIT_FOLDER_AGAIN, static_cast<WPARAM>(row), 0);
    return;
  }
  LVITEMA item = {};
  item.pszText = const_cast<char*>(text.c_str());
  SendMessageA(Folders, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  if (row == RowCount(Folders) - 1) InsertListRow(Folders, "", RowCount(Folders), 0);
}

void CBrskEnvDlg::DeleteFolderRow() {
  const int row = SelectedListRow(Folders);
  const int count = RowCount(Folders);
  if (row < 0 || row == count - 1) return;
  SendMessageA(Folders, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
  SelectAfterDelete(Folders, row, count - 3);
}

void CBrskEnvDlg::AddStaticItem() {
  StaticItem item;
  CStaticItemDlg editor;
  const tarn::LifeGuard::Watcher alive = Watch();
  const bool ok = editor.AddItem(item, Module, Window());
  if (!alive || !ok) return;
  InsertListRow(Items, item.Name, RowCount(Items), KeepItem(item));
}

void CBrskEnvDlg::UpdateStaticItem() {
  const int row = SelectedListRow(Items);
  StaticItem* stored = ItemAt(row);
  if (!stored) return;
  // Edited on a copy: the row's item goes with the dialog if it closes
  // meanwhile.
  StaticItem item = *stored;
  CStaticItemDlg editor;
  const tarn::LifeGuard::Watcher alive = Watch();
  const bool ok = editor.UpdateItem(item, Module, Window());
  if (!alive || !ok) return;
  *stored = item;
  SendMessageA(Items, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
  InsertListRow(Items, stored->Name, row, reinterpret_cast<LPARAM>(stored));
}

void CBrskEnvDlg::DeleteStaticItem() {
  const int row = SelectedListRow(Items);
  StaticItem* stored = ItemAt(row);
  if (!stored) return;
  SendMessageA(Items, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
  RowItems.remove_if([stored](const StaticItem& item) { return &item == stored; });
  SelectAfterDelete(Items, row, RowCount(Items) - 1);
}

void CBrskEnvDlg::MoveStaticItem(int by) {
  const int row = SelectedListRow(Items);
  const int to = row + by;
  if (row < 0 || to < 0 || to >= RowCount(Items)) return;
  StaticItem* stored = ItemAt(row);
  if (!stored) return;
  SendMessageA(Items, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
  InsertListRow(Items, stored->Name, to, reinterpret_cast<LPARAM>(stored));
}

INT_PTR CBrskEnvDlg::OnMessage(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_CLOSE:
      PostMessageA(Window(), WM_COMMAND, IDCANCEL, 0);
      return TRUE;
    case WM_SHOWWINDOW:
      SetForegroundWindow(Window());
      return FALSE;
    case WM_EDIT_FOLDER_AGAIN: {
      // The row keeps its text; the editor offers the refused one to mend.
      SetFocus(Folders);
      HWND editor = reinterpret_cast<HWND>(SendMessageA(Folders, LVM_EDITLABELA, wParam, 0));
      if (editor) {
        SetWindowTextA(editor, RefusedFolder.c_str());
        SendMessageA(editor, EM_SETSEL, 0, -1);
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

void CBrskEnvDlg::OnDestroy() {
  ToolTip.Destroy();
  SendMessageA(Items, LVM_DELETEALLITEMS, 0, 0);
  RowItems.clear();
  AutoComplete = nullptr;
  ShellUtility.Reset();
}

void CBrskEnvDlg::OnFinalMessage() { delete this; }
