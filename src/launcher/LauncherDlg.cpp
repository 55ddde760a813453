#include "launcher/LauncherDlg.h"

#include <commctrl.h>

#include <string_view>
#include <vector>

#include "base/Cp932.h"
#include "base/Failure.h"
#include "base/SystemLibrary.h"
#include "base/WinHandle.h"
#include "launcher/AppListView.h"
#include "launcher/HistoryControls.h"
#include "launcher/LaunchPlan.h"
#include "launcher/WindowPlacement.h"
#include "res/LauncherDialog.h"
#include "settings/EnvInfoStore.h"

namespace {

constexpr std::size_t kMaxText = tarn::kMaxPath - 1;  // 259 bytes of text
constexpr int kSmallButtons[] = {IDC_EXIT, IDC_SETTINGS, IDC_REFRESH, IDC_ABOUT};
// Every flag of the shell's completion: file names, URL history, recent
// URLs, and Tab moving through the suggestions.
constexpr DWORD kAutoCompleteFlags = 0x1 | 0x2 | 0x4 | 0x8;

using AutoCompleteFn = HRESULT(WINAPI*)(HWND, DWORD);
std::string g_AutoCompleteLibrary = "SHLWAPI.DLL";
std::string g_AutoCompleteFunction = "SHAutoComplete";
int g_AutoCompleteCalls = 0;

bool KeyDown(const BYTE keys[256], int vk) { return (keys[vk] & 0x80) != 0; }

}  // namespace

HWND CreateLauncherDialog(CLauncherHost* host) { return CLauncherDlg::Create(host); }

HWND CLauncherDlg::Create(CLauncherHost* host) {
  if (!host) return nullptr;
  // The dialog owns itself once its window exists.
  return (new CLauncherDlg(host))->CreateModeless(host->GetInstance(), host->GetDialogTemplate(), nullptr);
}

CLauncherDlg* CLauncherDlg::FromWindow(HWND dialog) {
  return dynamic_cast<CLauncherDlg*>(CDialogBase::FromWindow(dialog));
}

void CLauncherDlg::SetAutoCompleteSource(const char* library, const char* function) {
  g_AutoCompleteLibrary = library;
  g_AutoCompleteFunction = function;
  g_AutoCompleteCalls = 0;
}

int CLauncherDlg::AutoCompleteCalls() { return g_AutoCompleteCalls; }

CLauncherDlg::CLauncherDlg(CLauncherHost* host)
    : Host(host),
      EditSubclass([this](HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
        return OnSearchEditMessage(edit, message, wParam, lParam);
      }),
      FilterDelay(host->GetFilterDelay()) {}

CLauncherDlg::~CLauncherDlg() = default;

INT_PTR CLauncherDlg::OnInit() {
  Host->SetLauncherWindow(Window());
  AutoCompleteOn = false;
  InitLauncherDlg();
  ToolTip.Create(Window());
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
  const HINSTANCE instance = Host->GetInstance();
  CAppListView* view = Host->GetListView();
  List = GetDlgItem(Window(), IDC_LAUNCHER_LIST);
  Search = GetDlgItem(Window(), IDC_LAUNCHER_SEARCH);
  if (!List || !view || !view->Attach(List, Host->GetCollector())) {
    TARN_ABEND("Dlg初期化エラー", "%s", "LVS と CAppListView の接続時");
  }
  view->SetCounterLabel(GetDlgItem(Window(), IDC_LAUNCHER_COUNTER));
  view->SetPathField(GetDlgItem(Window(), IDC_LAUNCHER_PATH));
  RefilterList(std::nullopt, true);

  if (GetWindowRect(Window(), &LastRect)) {
    HaveLastRect = true;
    MinTrack = tarn::MinimumTrackingSize(ToRect32(LastRect));
  } else {
    MinTrack = tarn::kFallbackMinimumSize;
  }

  const DlgRect& saved = Host->GetSettings().MainDlgRect;
  if (saved.top != -1) {
    RestoreSavedRect(Window(), {saved.left, saved.top, saved.right, saved.bottom}, MinTrack);
  } else {
    CenterWindowInWorkArea(Window(), GetDesktopWindow());
  }

  char caption[256] = {};
  LoadStringA(instance, IDS_PRODUCT_NAME, caption, sizeof caption);
  SetWindowTextA(Window(), caption);
  SetWindowPos(Window(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

  SendMessageA(Search, CB_LIMITTEXT, kMaxText, 0);
  SearchEdit = FindWindowExA(Search, nullptr, "Edit", nullptr);
  if (SearchEdit) EditSubclass.Install(SearchEdit);

  const EnvDlgInfo& settings = Host->GetSettings();
  if (std::optional<char> mode = tarn::DefaultSearchChar(settings.DefaultSearchMode)) {
    const char text[2] = {*mode, '\0'};
    SetWindowTextA(Search, text);
  }
  if (settings.AutocompleteURL) EnableAutoComplete();
  for (auto it = settings.ExecList.rbegin(); it != settings.ExecList.rend(); ++it) {
    SendMessageA(Search, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(it->c_str()));
  }

  HICON big = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PROGRAM));
  auto small = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_PROGRAM), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  SendMessageA(Window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  SendMessageA(Window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  for (int id : kSmallButtons) {
    HANDLE icon = LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
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
  if (CAppListView* view = Host->GetListView()) view->Filter(word, clampSelection, false);
  Host->SetSearchWord(word);
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
  switch (id) {
    case IDC_LAUNCHER_RUN:
      RunSelected();
      return TRUE;
    case IDC_LAUNCHER_CLOSE:
      CloseLauncher();
      return TRUE;
    case IDC_EXIT:
    case IDC_SETTINGS:
    case IDC_REFRESH:
    case IDC_ABOUT:
      Host->ForwardCommand(id);
      return TRUE;
    default:
      break;
  }
  if (id == IDC_LAUNCHER_SEARCH) {
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
  CAppListView* view = Host->GetListView();
  if (!header || header->hwndFrom != List || !view) return FALSE;
  switch (header->code) {
    case NM_DBLCLK:
    case NM_RETURN:
      SendMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDC_LAUNCHER_RUN, BN_CLICKED), 0);
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
  CAppListView* view = Host->GetListView();
  if (!view) return;
  RefilterList(std::nullopt, false);
  // The shell's own prompts during a launch and the hotkey message of
  // ApplySettings run message loops in which the dialog can be closed and
  // this object deleted; the application waits to exit until they are done.
  // Typing or a finished pass may refilter the list meanwhile: the
  // histories get what was started, taken now.
  CLauncherHost& host = *Host;
  const std::string word = host.GetSearchWord();
  int row = -1;
  std::string path;
  ReadSelectedRowPath(List, &row, &path);
  const CExitHold hold(host);
  const tarn::LifeGuard::Watcher alive = Watch();
  bool started = (GetKeyState(VK_SHIFT) & 0x8000) ? view->OpenSelectedFolder() : view->ExecuteSelected();
  if (!alive) return;
  if (started) {
    EnvDlgInfo& settings = host.GetSettings();
    RecordLaunchHistories(Window(), settings, word, path);
    CEnvInfoStore().SaveEnvInfo(&settings);
    host.ApplySettings(0);
    if (!alive) return;
    PostMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDC_LAUNCHER_CLOSE, BN_CLICKED), 0);
    return;
  }
  const char* text = LaunchFailureText(view->GetLastResult());
  if (!text) return;
  MessageBoxA(Window(), text, WindowText(Window(), 255).c_str(), MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

void CLauncherDlg::CloseLauncher() {
  EnvDlgInfo& settings = Host->GetSettings();
  RECT r;
  if (GetWindowRect(Window(), &r)) settings.MainDlgRect = {r.left, r.top, r.right, r.bottom};
  CEnvInfoStore().SaveEnvInfo(&settings);
  if (CAppListView* view = Host->GetListView()) view->Detach(true, false);
  DestroyWindow(Window());
}

void CLauncherDlg::OnDestroy() {
  KillTimer(Window(), kTypingTimer);
  KillTimer(Window(), kDropDownTimer);
  ToolTip.Destroy();
  AutoCompleteOn = false;
  if (Host->GetLauncherWindow() == Window()) Host->SetLauncherWindow(nullptr);
  HeapCompact(GetProcessHeap(), 0);
}

void CLauncherDlg::LayoutLauncherDlg() {
  RECT now;
  if (!HaveLastRect || !GetWindowRect(Window(), &now)) return;
  int dx = (now.right - now.left) - (LastRect.right - LastRect.left);
  int dy = (now.bottom - now.top) - (LastRect.bottom - LastRect.top);
  LastRect = now;
  for (const tarn::LayoutAnchor& anchor : tarn::kLauncherLayout) {
    HWND control = GetDlgItem(Window(), anchor.Id);
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
  if (CAppListView* view = Host->GetListView()) view->FitColumn();
  InvalidateRect(Window(), nullptr, TRUE);
  UpdateWindow(Window());
}

void CLauncherDlg::EnableAutoComplete() {
  if (AutoCompleteOn) return;
  const tarn::ScopedLibrary library(tarn::LoadSystemLibrary(g_AutoCompleteLibrary.c_str()));
  if (!library.Get()) return;
  const auto autoComplete = reinterpret_cast<AutoCompleteFn>(
      reinterpret_cast<void*>(GetProcAddress(library.Get(), g_AutoCompleteFunction.c_str())));
  if (!autoComplete) return;
  autoComplete(SearchEdit, kAutoCompleteFlags);
  ++g_AutoCompleteCalls;
  AutoCompleteOn = true;
}

LRESULT CLauncherDlg::OnSearchEditMessage(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  switch (message) {
    case WM_SETTEXT:
      StartTimer(kTypingTimer);
      break;
    case WM_SETFOCUS:
      EditSubclass.CallNext(edit, message, wParam, lParam);
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
  return EditSubclass.CallNext(edit, message, wParam, lParam);
}
