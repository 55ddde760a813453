#include "launcher/LauncherDlg.h"

#include <commctrl.h>

#include <string_view>
#include <vector>

#include "app/BriskApp.h"
#include "base/Cp932.h"
#include "base/Failure.h"
#include "base/SystemLibrary.h"
#include "launcher/AppListView.h"
#include "launcher/HistoryControls.h"
#include "launcher/LaunchPlan.h"
#include "launcher/WindowPlacement.h"
#include "res/LauncherDialog.h"
#include "settings/DlgToolTip.h"
#include "settings/EnvInfoStore.h"

namespace {

constexpr char kAppProperty[] = "CBriskApp";
constexpr std::size_t kMaxText = tarn::kMaxPath - 1;  // 259 bytes of text
constexpr int kSmallButtons[] = {IDC_EXIT, IDC_SETTINGS, IDC_REFRESH, IDC_ABOUT};
// Every flag of the shell's completion: file names, URL history, recent
// URLs, and Tab moving through the suggestions.
constexpr DWORD kAutoCompleteFlags = 0x1 | 0x2 | 0x4 | 0x8;

using AutoCompleteFn = HRESULT(WINAPI*)(HWND, DWORD);
AutoCompleteFn g_AutoComplete = nullptr;
std::string g_AutoCompleteLibrary = "SHLWAPI.DLL";
std::string g_AutoCompleteFunction = "SHAutoComplete";
int g_AutoCompleteCalls = 0;

}  // namespace

// The one launcher dialog of the process while it exists.
CLauncherDlg* CLauncherDlg::g_Open = nullptr;

namespace {

bool KeyDown(const BYTE keys[256], int vk) { return (keys[vk] & 0x80) != 0; }

}  // namespace

HWND CreateLauncherDialog(CBriskApp* app) { return CLauncherDlg::Create(app); }

HWND CLauncherDlg::Create(CBriskApp* app) {
  if (!app || !app->GetAppInfo()) return nullptr;
  const AppInfo& info = *app->GetAppInfo();
  auto* self = new CLauncherDlg(app);
  const char* name = info.DialogTemplateName.empty() ? MAKEINTRESOURCEA(info.DialogTemplateId)
                                                     : info.DialogTemplateName.c_str();
  HWND dlg = self->CreateModeless(info.Instance, name, nullptr);
  if (!dlg) delete self;
  return dlg;
}

CLauncherDlg* CLauncherDlg::FromWindow(HWND dialog) {
  return dialog && g_Open && g_Open->Window() == dialog ? g_Open : nullptr;
}

void CLauncherDlg::SetAutoCompleteSource(const char* library, const char* function) {
  g_AutoCompleteLibrary = library;
  g_AutoCompleteFunction = function;
  g_AutoComplete = nullptr;
  g_AutoCompleteCalls = 0;
}

int CLauncherDlg::AutoCompleteCalls() { return g_AutoCompleteCalls; }

CLauncherDlg::CLauncherDlg(CBriskApp* app) : App(app) {
  unsigned delay = GetKeyboardDelay();
  FilterDelay = delay ? delay : static_cast<UINT>(tarn::FilterDelayMs(std::nullopt));
}

CLauncherDlg::~CLauncherDlg() {
  if (g_Open == this) g_Open = nullptr;
}

INT_PTR CLauncherDlg::OnInit() {
  g_Open = this;
  App->SetLauncherWindow(Window());
  AutoCompleteOn = false;
  InitLauncherDlg();
  ToolTip.reset(new CDlgToolTip);
  ToolTip->Create(Window());
  return TRUE;
}

INT_PTR CLauncherDlg::OnMessage(UINT message, WPARAM, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      LayoutLauncherDlg();
      return FALSE;
    case WM_GETMINMAXINFO: {
      auto* mmi = reinterpret_cast<MINMAXINFO*>(lParam);
      mmi->ptMinTrackSize.x = MinTrack.cx;
      mmi->ptMinTrackSize.y = MinTrack.cy;
      return FALSE;
    }
    case WM_SHOWWINDOW:
      SetForegroundWindow(Window());
      return FALSE;
    case WM_CLOSE:
      PostMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      return TRUE;
    case WM_LAUNCHER_REFILTER:
      RefilterList(std::nullopt, true);
      return TRUE;
    default:
      return FALSE;
  }
}

void CLauncherDlg::OnFinalMessage() { delete this; }

void CLauncherDlg::InitLauncherDlg() {
  const AppInfo& info = *App->GetAppInfo();
  CAppListView* view = App->GetListView();
  List = GetDlgItem(Window(), info.ListId);
  Search = GetDlgItem(Window(), info.SearchComboId);
  if (!List || !view || !view->Attach(List, App->GetCollector())) {
    TARN_ABEND("Dlg初期化エラー", "%s", "LVS と CAppListView の接続時");
  }
  view->SetCounterLabel(GetDlgItem(Window(), info.CounterId));
  view->SetPathField(GetDlgItem(Window(), info.OptionsId));
  RefilterList(std::nullopt, true);

  if (GetWindowRect(Window(), &LastRect)) {
    HaveLastRect = true;
    MinTrack = tarn::MinimumTrackingSize(ToRect32(LastRect));
  } else {
    MinTrack = tarn::kFallbackMinimumSize;
  }

  const DlgRect& saved = App->GetSettings().MainDlgRect;
  if (saved.top != -1) {
    RestoreSavedRect(Window(), {saved.left, saved.top, saved.right, saved.bottom}, MinTrack);
  } else {
    CenterWindowInWorkArea(Window(), GetDesktopWindow());
  }

  char caption[256] = {};
  LoadStringA(info.Instance, info.NameId, caption, sizeof caption);
  SetWindowTextA(Window(), caption);
  SetWindowPos(Window(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

  SendMessageA(Search, CB_LIMITTEXT, kMaxText, 0);
  SearchEdit = FindWindowExA(Search, nullptr, "Edit", nullptr);
  if (SearchEdit) {
    OldEditProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(SearchEdit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StaticEditProc)));
    if (OldEditProc) SetPropA(SearchEdit, kAppProperty, App);
  }

  const EnvDlgInfo& settings = App->GetSettings();
  if (std::optional<char> mode = tarn::DefaultSearchChar(settings.DefaultSearchMode)) {
    const char text[2] = {*mode, '\0'};
    SetWindowTextA(Search, text);
  }
  if (settings.AutocompleteURL) EnableAutoComplete();
  for (auto it = settings.ExecList.rbegin(); it != settings.ExecList.rend(); ++it) {
    SendMessageA(Search, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(it->c_str()));
  }

  HICON big = LoadIconA(info.Instance, MAKEINTRESOURCEA(info.NameId));
  auto small = static_cast<HICON>(LoadImageA(info.Instance, MAKEINTRESOURCEA(info.NameId), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  SendMessageA(Window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  SendMessageA(Window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  for (int id : kSmallButtons) {
    HANDLE icon = LoadImageA(info.Instance, MAKEINTRESOURCEA(id), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                             GetSystemMetrics(SM_CYSMICON), LR_SHARED);
    SendDlgItemMessageA(Window(), id, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
  }
}

void CLauncherDlg::StartTimer(UINT_PTR id) { SetTimer(Window(), id, FilterDelay, nullptr); }

void CLauncherDlg::RefilterList(const std::optional<std::string>& text, bool clampSelection) {
  KillTimer(Window(), kTypingTimer);
  KillTimer(Window(), kDropDownTimer);
  std::string word = text ? *text : WindowText(Search);
  // Never leave half a double-byte character at the end.
  word = std::string(tarn::TruncateToFit(word, kMaxText));
  if (CAppListView* view = App->GetListView()) view->Filter(word, clampSelection, false);
  App->SearchWord = word;
  ++Refilters;
}

std::string CLauncherDlg::ChosenDropDownText(bool* found) const {
  *found = false;
  LRESULT index = SendMessageA(Search, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return {};
  // CB_GETLBTEXT takes no buffer size: ask for the length first.
  LRESULT length = SendMessageA(Search, CB_GETLBTEXTLEN, index, 0);
  if (length == CB_ERR || length < 0) return {};
  std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
  LRESULT got = SendMessageA(Search, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));
  if (got == CB_ERR) return {};
  *found = true;
  return std::string(tarn::TruncateToFit(std::string_view(buffer.data(), tarn::BoundedLength(buffer.data(), buffer.size())), kMaxText));
}

void CLauncherDlg::OnTimer(UINT_PTR id) {
  if (id == kTypingTimer) {
    RefilterList(std::nullopt, true);
  } else if (id == kDropDownTimer) {
    bool found = false;
    std::string chosen = ChosenDropDownText(&found);
    // No entry chosen any more: the box's own text is what the user sees.
    if (found) {
      RefilterList(chosen, true);
    } else {
      RefilterList(std::nullopt, true);
    }
  }
}

INT_PTR CLauncherDlg::OnCommand(int id, int code, HWND control) {
  const AppInfo& info = *App->GetAppInfo();
  if (id == info.RunId) {
    RunSelected();
    return TRUE;
  }
  if (id == info.CloseId) {
    CloseLauncher();
    return TRUE;
  }
  if (id == info.ExitCommand || id == info.SettingsCommand || id == info.RefreshCommand ||
      id == info.AboutCommand) {
    PostMessageA(info.MainWindow, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    return TRUE;
  }
  if (id == info.SearchComboId) {
    if (code == CBN_EDITCHANGE) {
      StartTimer(kTypingTimer);
    } else if (code == CBN_SELCHANGE) {
      StartTimer(kDropDownTimer);
    }
    return TRUE;
  }
  if (code == EN_UPDATE && control && control == SearchEdit) {
    StartTimer(kTypingTimer);
    return TRUE;
  }
  return FALSE;
}

INT_PTR CLauncherDlg::OnNotify(NMHDR* header) {
  CAppListView* view = App->GetListView();
  if (!header || header->hwndFrom != List || !view) return FALSE;
  switch (header->code) {
    case NM_DBLCLK:
    case NM_RETURN:
      SendMessageA(Window(), WM_COMMAND, MAKEWPARAM(App->GetAppInfo()->RunId, BN_CLICKED), 0);
      return FALSE;
    case LVN_ITEMCHANGED:
      view->OnItemChanged();
      return TRUE;
    case LVN_GETDISPINFOA:
      view->OnGetDispInfo(reinterpret_cast<NMLVDISPINFOA*>(header));
      return TRUE;
    case LVN_DELETEALLITEMS:
      // Rows own nothing: no notification for each deleted row.
      return SetMessageResult(TRUE);
    default:
      return TRUE;
  }
}

void CLauncherDlg::RunSelected() {
  CAppListView* view = App->GetListView();
  if (!view) return;
  RefilterList(std::nullopt, false);
  // The shell's own prompts during a launch and the hotkey message of
  // ApplySettings run message loops in which the dialog can be closed and
  // this object deleted.
  const tarn::LifeGuard::Watcher alive = Watch();
  bool started = (GetKeyState(VK_SHIFT) & 0x8000) ? view->OpenSelectedFolder() : view->ExecuteSelected();
  if (!alive) return;
  if (started) {
    EnvDlgInfo& settings = App->GetSettings();
    RecordLaunchHistories(Window(), settings, App->SearchWord);
    CEnvInfoStore().SaveEnvInfo(&settings);
    App->ApplySettings(0);
    if (!alive) return;
    PostMessageA(Window(), WM_COMMAND, MAKEWPARAM(App->GetAppInfo()->CloseId, BN_CLICKED), 0);
    return;
  }
  const char* text = LaunchFailureText(view->GetLastResult());
  if (!text) return;
  char caption[256] = {};
  GetWindowTextA(Window(), caption, sizeof caption);
  MessageBoxA(Window(), text, caption, MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

void CLauncherDlg::CloseLauncher() {
  EnvDlgInfo& settings = App->GetSettings();
  RECT r;
  if (GetWindowRect(Window(), &r)) settings.MainDlgRect = {r.left, r.top, r.right, r.bottom};
  CEnvInfoStore().SaveEnvInfo(&settings);
  if (CAppListView* view = App->GetListView()) view->Detach(true, false);
  DestroyWindow(Window());
}

void CLauncherDlg::OnDestroy() {
  KillTimer(Window(), kTypingTimer);
  KillTimer(Window(), kDropDownTimer);
  ToolTip.reset();
  AutoCompleteOn = false;
  if (App->GetLauncherWindow() == Window()) App->SetLauncherWindow(nullptr);
  HeapCompact(GetProcessHeap(), 0);
}

void CLauncherDlg::LayoutLauncherDlg() {
  RECT now;
  if (!HaveLastRect || !GetWindowRect(Window(), &now)) return;
  int dx = (now.right - now.left) - (LastRect.right - LastRect.left);
  int dy = (now.bottom - now.top) - (LastRect.bottom - LastRect.top);
  LastRect = now;
  for (const tarn::LayoutAnchor& anchor : tarn::kLauncherLayout) {
    HWND control = GetDlgItem(Window(), anchor.id);
    RECT r;
    if (!control || !GetWindowRect(control, &r)) continue;
    tarn::Rect32 moved = tarn::ApplyAnchor(ToRect32(r), anchor, dx, dy);
    POINT topLeft{moved.left, moved.top};
    ScreenToClient(Window(), &topLeft);
    int height = static_cast<int>(moved.Height());
    // A drop-down combo box's window height is its closed height; moving it
    // with that would leave no room for the drop-down list.
    if (control == Search) {
      RECT dropped;
      if (SendMessageA(Search, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped)) &&
          dropped.bottom - dropped.top > height) {
        height = dropped.bottom - dropped.top;
      }
    }
    MoveWindow(control, topLeft.x, topLeft.y, static_cast<int>(moved.Width()), height, FALSE);
  }
  if (CAppListView* view = App->GetListView()) view->FitColumn();
  InvalidateRect(Window(), nullptr, TRUE);
  UpdateWindow(Window());
}

void CLauncherDlg::EnableAutoComplete() {
  if (AutoCompleteOn) return;
  HMODULE library = tarn::LoadSystemLibrary(g_AutoCompleteLibrary.c_str());
  if (!library) return;
  g_AutoComplete = reinterpret_cast<AutoCompleteFn>(
      reinterpret_cast<void*>(GetProcAddress(library, g_AutoCompleteFunction.c_str())));
  if (!g_AutoComplete) {
    FreeLibrary(library);
    return;
  }
  g_AutoComplete(SearchEdit, kAutoCompleteFlags);
  ++g_AutoCompleteCalls;
  AutoCompleteOn = true;
  FreeLibrary(library);
}

LRESULT CALLBACK CLauncherDlg::StaticEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!GetPropA(edit, kAppProperty)) {
    // The application object let go of the box (it is shutting down): the
    // edit still needs its own procedure to finish.
    CLauncherDlg* self = FromWindow(GetParent(GetParent(edit)));
    if (self && self->OldEditProc) {
      WNDPROC previous = self->OldEditProc;
      if (message == WM_DESTROY) SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
      return CallWindowProcA(previous, edit, message, wParam, lParam);
    }
    return 0;
  }
  CLauncherDlg* self = FromWindow(GetParent(GetParent(edit)));
  if (!self || !self->OldEditProc) return DefWindowProcA(edit, message, wParam, lParam);
  return self->OnSearchEditMessage(edit, message, wParam, lParam);
}

LRESULT CLauncherDlg::OnSearchEditMessage(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  WNDPROC previous = OldEditProc;
  switch (message) {
    case WM_SETTEXT:
      StartTimer(kTypingTimer);
      break;
    case WM_DESTROY:
      RemovePropA(edit, kAppProperty);
      SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
      break;
    case WM_SETFOCUS:
      CallWindowProcA(previous, edit, message, wParam, lParam);
      SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(-1), 0);
      return 0;
    case WM_CHAR:
      if (wParam == 1 || wParam == 14 || wParam == 16) return 0;  // Ctrl+A, Ctrl+N, Ctrl+P
      break;
    case WM_KEYDOWN:
      switch (wParam) {
        case VK_DOWN:
        case VK_UP:
        case VK_NEXT:
        case VK_PRIOR:
          if (!SendMessageA(Search, CB_GETDROPPEDSTATE, 0, 0)) {
            SendMessageA(List, WM_KEYDOWN, wParam, lParam);
            return 0;
          }
          break;
        case 'A':
          if (KeyDown(keys, VK_CONTROL)) {
            EnableAutoComplete();
            return 0;
          }
          break;
        case 'N':
          if (KeyDown(keys, VK_CONTROL)) {
            SendMessageA(List, WM_KEYDOWN, VK_DOWN, lParam);
            return 0;
          }
          break;
        case 'P':
          if (KeyDown(keys, VK_CONTROL)) {
            SendMessageA(List, WM_KEYDOWN, VK_UP, lParam);
            return 0;
          }
          break;
        default:
          break;
      }
      break;
    default:
      break;
  }
  return CallWindowProcA(previous, edit, message, wParam, lParam);
}
