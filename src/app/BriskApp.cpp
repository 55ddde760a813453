#include "app/BriskApp.h"

#include <objbase.h>

#include "app/AppRules.h"
#include "app/Failure.h"
#include "launcher/AppListView.h"
#include "launcher/LauncherLayout.h"
#include "launcher/LauncherDlg.h"
#include "launcher/ListOrder.h"
#include "search/CollectSettings.h"
#include "search/SrchApliBase.h"
#include "settings/EnvInfoStore.h"

namespace {

HINSTANCE g_Instance = nullptr;
HWND g_MainWindow = nullptr;
CBriskApp* g_App = nullptr;
CBriskApp* g_LauncherApp = nullptr;
std::string g_ProductName;
std::string g_Dir;
bool g_ExitAsking = false;
bool g_ComStarted = false;
CEnvInfoStore* g_PendingStore = nullptr;
HWND g_AboutWindow = nullptr;
CModelessRegistry g_Dialogs;
unsigned g_KeyboardDelay = 300;
LauncherFactory g_LauncherFactory = nullptr;

constexpr char kLauncherProperty[] = "CBriskApp";

static_assert(MOD_ALT == 1 && MOD_CONTROL == 2 && MOD_SHIFT == 4 && MOD_WIN == 8);

void StopMessage(HWND owner, const char* text) {
  MessageBoxA(owner, text, g_ProductName.c_str(), MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

}  // namespace

CBriskApp::CBriskApp() = default;

CBriskApp::~CBriskApp() {
  // A failed Init leaves nothing else behind but may have claimed these.
  if (g_LauncherApp == this) g_LauncherApp = nullptr;
  if (Mutex) CloseHandle(Mutex);
  delete ListView;
  delete Collector;
  delete Tray;
  delete Info;
  delete DialogRect;
}

bool CBriskApp::Init(const AppInfo& info) {
  if (!IsWindow(info.MainWindow)) TARN_REPORT_LAST_ERROR(1);
  if (g_LauncherApp) return false;
  g_LauncherApp = this;
  Info = new AppInfo(info);

  SetLastError(0);
  Mutex = CreateMutexA(nullptr, TRUE, Info->ProductName.c_str());
  if (!Mutex || GetLastError() == ERROR_ALREADY_EXISTS) {
    MessageBoxA(nullptr, "既に起動されています。", Info->ProductName.c_str(),
                MB_OK | MB_TASKMODAL | MB_ICONEXCLAMATION);
    return false;
  }

  Collector = new CSrchApliBase(Info->MainWindow, g_Dir);
  ListView = new CAppListView;
  ListView->Attach(nullptr, Collector);

  Tray = new CTrayIcon;
  Tray->Register(Info->TrayIconId, Info->Instance);
  Tray->Attach(Info->MainWindow, WM_TRAY_NOTIFY, this);
  Tray->SetIcon(Info->RefreshCommand);
  Tray->SetEnabled(1);

  ApplySettings(0);
  // The previous run's candidates come in on a thread of their own, so the
  // first hotkey usually finds them; the tray icon looks busy until then.
  // With no cache to load and no pass to wait for, nothing else would make
  // it look idle.
  if (!Collector->StartCacheLoad() && !Collector->IsCollecting()) Tray->SetIcon(Info->NameId);
  if (CEnvInfoStore::IsSavingRefused()) {
    StopMessage(Info->MainWindow,
                "設定ファイル tlenv.ini を読み込めませんでした。\n"
                "今回の起動中は、設定と履歴を保存しません。");
  }

  int delay = 0;
  const bool read = SystemParametersInfoA(SPI_GETKEYBOARDDELAY, 0, &delay, 0) != FALSE;
  g_KeyboardDelay = FilterDelayMs(read, delay);
  return true;
}

bool CBriskApp::PreProcessMessage(HWND window, UINT message, WPARAM wParam, LPARAM) {
  if (!Info) return true;  // Init has not got that far
  switch (message) {
    case WM_HOTKEY:
      if (wParam == kHotKeyId) ShowLauncher();
      return false;
    case WM_TIMER:
      if (wParam != kRefreshTimerId) return true;
      PostMessageA(window, WM_COMMAND, Info->RefreshCommand, 0);
      EnableTimer(true);
      return false;
    case WM_DESTROY:
      Teardown();
      return true;
    case WM_COMMAND:
      if (LOWORD(wParam) != Info->ExitCommand) return true;
      PostMessageA(window, WM_CLOSE, 0, 0);
      return false;
    default:
      return true;
  }
}

bool CBriskApp::OnTrayNotify(HWND, WPARAM, LPARAM lParam) {
  if (lParam == WM_LBUTTONDOWN) ShowLauncher();
  return true;
}

bool CBriskApp::ShowLauncher() {
  if (LauncherWindow) {
    SetForegroundWindow(LauncherWindow);
    return true;
  }
  if (!g_LauncherFactory) {
    TARN_TRACE("%s", "launcher dialog not available");
    return false;
  }
  HWND dialog = g_LauncherFactory(this);
  if (!dialog) return false;
  LauncherWindow = dialog;
  ShowWindow(dialog, SW_SHOWNORMAL);
  EnableDialogButtons(Busy);
  return true;
}

void CBriskApp::RebuildList() {
  if (!ListView) return;
  ListView->ResetFilter();
  // The open dialog refilters itself, so its search word and pending filter
  // timers stay in step with the list.
  if (LauncherWindow && IsWindow(LauncherWindow)) {
    SendMessageA(LauncherWindow, WM_LAUNCHER_REFILTER, 0, 0);
  }
}

bool CBriskApp::ApplySettings(int n) {
  BeginBusy();
  EnvDlgInfo fresh;
  CEnvInfoStore().GetEnvInfo(&fresh);
  Settings = fresh;

  const ListSettings previous = ListView->GetListSettings();
  const ListSettings next = MakeListSettings(Settings);
  const bool listChanged = ListView->ApplyListSettings(next);
  const bool collectChanged = Collector->SetCollectSettings(MakeCollectSettings(Settings));
  if (collectChanged) {
    Collector->StartCollect(n != 0);
    RebuildList();
  } else if (listChanged || previous.InitList != next.InitList || previous.LoadIcon != next.LoadIcon) {
    RebuildList();
  }

  const std::optional<char> mode = tarn::DefaultSearchChar(Settings.DefaultSearchMode);
  if (mode && LauncherWindow) {
    const char text[2] = {*mode, '\0'};
    SetDlgItemTextA(LauncherWindow, Info->SearchComboId, text);
  }
  EnableTimer(true);
  EndBusy();
  return true;
}

bool CBriskApp::OnCollectionStatus(WPARAM wParam, LPARAM lParam) {
  if (wParam == 1) {
    Tray->SetIcon(Info->RefreshCommand);
  } else {
    Tray->SetIcon(Info->NameId);
    auto* records = reinterpret_cast<AppEntryList*>(lParam);
    Collector->ApplyCollected(records);
    if (records) RebuildList();
  }
  Tray->SetEnabled(1);
  EnableDialogButtons(static_cast<int>(wParam));
  Tray->SetBusy(static_cast<int>(wParam));
  return true;
}

bool CBriskApp::OnCacheLoaded(LPARAM lParam) {
  const bool taken = Collector->ApplyLoaded(reinterpret_cast<AppEntryList*>(lParam));
  if (!Collector->IsCollecting()) Tray->SetIcon(Info->NameId);
  if (taken) RebuildList();
  return taken;
}

void CBriskApp::Refresh() {
  if (!ListView) return;
  BeginBusy();
  Collector->StartCollect(false);
  RebuildList();
  EndBusy();
}

void CBriskApp::BeginBusy() {
  if (LauncherWindow) {
    SetClassLongPtrA(LauncherWindow, GCLP_HCURSOR, 0);
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  }
  EnableHotKey(false);
}

void CBriskApp::EndBusy() {
  EnableHotKey(true);
  if (LauncherWindow) {
    SetClassLongPtrA(LauncherWindow, GCLP_HCURSOR,
                     reinterpret_cast<LONG_PTR>(LoadCursorA(nullptr, IDC_ARROW)));
  }
  if (Tray) Tray->SetEnabled(1);
}

bool CBriskApp::EnableHotKey(bool on) {
  CEnvInfoStore store;
  if (store.IsEnvDialogOpen()) return true;
  if (!on) {
    UnregisterHotKey(Info->MainWindow, kHotKeyId);
    return true;
  }
  EnvDlgInfo info;
  store.GetEnvInfo(&info);
  if (!RegisterHotKey(Info->MainWindow, kHotKeyId, HotKeyModifiers(info.HotKey), info.HotKey.VKey)) {
    StopMessage(Info->MainWindow,
                "ダイアログ表示表のホットキーの登録に失敗しました。\n"
                "キー登録に重複があるようなので、キー設定を変更して下さい。");
    return false;
  }
  return true;
}

bool CBriskApp::EnableTimer(bool on) {
  if (CEnvInfoStore().IsEnvDialogOpen()) return true;
  if (!on) {
    KillTimer(Info->MainWindow, kRefreshTimerId);
    TimerPeriod = 0;
    return true;
  }
  // Setting a running timer again starts its period anew: a user who
  // launches something every few hours would never get a timed refresh.
  const uint32_t period = RefreshPeriodMs(Settings.UpdateTimer);
  if (period != TimerPeriod && SetTimer(Info->MainWindow, kRefreshTimerId, period, nullptr))
    TimerPeriod = period;
  return true;
}

void CBriskApp::EnableDialogButtons(int busy) {
  Busy = busy;
  if (!LauncherWindow) return;
  const BOOL enable = busy == 1 ? FALSE : TRUE;
  EnableWindow(GetDlgItem(LauncherWindow, Info->SettingsCommand), enable);
  EnableWindow(GetDlgItem(LauncherWindow, Info->RefreshCommand), enable);
}

void CBriskApp::Teardown() {
  // An open launcher's search box points back at this object: close the
  // dialog while everything it may call on its way out still exists.
  if (LauncherWindow) {
    HWND dialog = LauncherWindow;
    if (HWND combo = GetDlgItem(dialog, Info->SearchComboId)) {
      RemovePropA(combo, kLauncherProperty);
      if (HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr)) RemovePropA(edit, kLauncherProperty);
    }
    if (IsWindow(dialog)) DestroyWindow(dialog);
    LauncherWindow = nullptr;
  }
  if (Tray) Tray->UpdateIcon(nullptr, nullptr);
  UnregisterHotKey(Info->MainWindow, kHotKeyId);
  EnableTimer(false);
  delete Info;
  Info = nullptr;
  delete ListView;
  ListView = nullptr;
  delete Collector;
  Collector = nullptr;
  delete Tray;
  Tray = nullptr;
  delete DialogRect;
  DialogRect = nullptr;
  if (Mutex) {
    CloseHandle(Mutex);
    Mutex = nullptr;
  }
  if (g_LauncherApp == this) g_LauncherApp = nullptr;
}

// ---- main window -------------------------------------------------------

namespace {

void OpenAbout(HWND window) {
  if (g_AboutWindow && IsWindow(g_AboutWindow)) {
    SetForegroundWindow(g_AboutWindow);
    SetWindowPos(g_AboutWindow, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return;
  }
  const std::string caption = g_ProductName + " バージョン情報";
  MessageBoxA(window, (g_ProductName + "\nVersion 1.0.0").c_str(), caption.c_str(),
              MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
}

LRESULT OnCreate(HWND window) {
  g_MainWindow = window;
  char name[256] = {};
  LoadStringA(g_Instance, 102, name, sizeof name);
  g_ProductName = name;
  AppInfo info;
  info.Instance = g_Instance;
  info.MainWindow = window;
  info.ProductName = g_ProductName;
  // Published before Init: the message boxes Init can show run message
  // loops, and the first pass's messages arriving meanwhile must reach it.
  auto* app = new CBriskApp;
  g_App = app;
  if (!app->Init(info)) {
    // A second instance: the window is not created and the entry ends.
    g_App = nullptr;
    delete app;
    return -1;
  }
  g_ComStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  HeapCompact(GetProcessHeap(), 0);
  return 0;
}

LRESULT OnClose(HWND window) {
  if (g_ExitAsking) return 0;
  g_ExitAsking = true;
  const int answer = MessageBoxA(nullptr, ExitQuestionText(g_ProductName).c_str(),
                                 ExitQuestionCaption(g_ProductName).c_str(),
                                 MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL | MB_TOPMOST);
  g_ExitAsking = false;
  if (answer != IDYES) return 0;
  return DefWindowProcA(window, WM_CLOSE, 0, 0);
}

void OnDestroy() {
  if (!g_App) return;  // creation was refused
  if (g_ComStarted) CoUninitialize();
  g_ComStarted = false;
  CEnvInfoStore().FreeEnvInfo();
  delete g_App;
  g_App = nullptr;
  g_MainWindow = nullptr;
  PostQuitMessage(0);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (g_App && !g_App->PreProcessMessage(window, message, wParam, lParam)) return 0;
  switch (message) {
    case WM_CREATE:
      if (OnCreate(window) != 0) {
        g_MainWindow = nullptr;
        return -1;
      }
      break;
    case WM_CLOSE:
      return OnClose(window);
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case 4003:
          OpenAbout(window);
          return 0;
        case 4005:
          delete g_PendingStore;
          g_PendingStore = new CEnvInfoStore;
          if (g_App) {
            g_App->EnableHotKey(false);
            g_App->EnableTimer(false);
          }
          g_PendingStore->ShowEnvDialog(window, WM_ENV_DIALOG_RESULT);
          // No dialog came up (and none will report back): the hotkey and
          // the timer must not stay off for the rest of the run.
          if (!g_PendingStore->IsEnvDialogOpen()) {
            delete g_PendingStore;
            g_PendingStore = nullptr;
            if (g_App) {
              g_App->EnableHotKey(true);
              g_App->EnableTimer(true);
            }
          }
          return 0;
        case 4006:
          if (g_App) g_App->Refresh();
          return 0;
      }
      break;
    case WM_ENV_DIALOG_RESULT:
      if (g_App) {
        if (wParam == 1) {
          CEnvInfoStore().SaveEnvInfo(nullptr);
          g_App->ApplySettings(0);
        } else {
          g_App->EnableHotKey(true);
          g_App->EnableTimer(true);
        }
      }
      delete g_PendingStore;
      g_PendingStore = nullptr;
      break;
    case WM_COLLECT_NOTIFY:
      if (g_App) g_App->OnCollectionStatus(wParam, lParam);
      break;
    case WM_CACHE_LOADED:
      if (g_App) {
        g_App->OnCacheLoaded(lParam);
      } else {
        delete reinterpret_cast<AppEntryList*>(lParam);
      }
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void SetLauncherFactory(LauncherFactory factory) { g_LauncherFactory = factory; }

bool RegisterMainWindowClass(HINSTANCE instance) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = instance;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kMainWindowClass;
  if (RegisterClassA(&wc)) return true;
  return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CreateMainWindow(HINSTANCE instance, const std::string& dir) {
  if (!RegisterMainWindowClass(instance)) return nullptr;
  g_Instance = instance;
  g_Dir = dir;
  CEnvInfoStore::SetDefaultDirectory(dir);
  return CreateWindowExA(0, kMainWindowClass, kMainWindowClass, WS_MINIMIZE, 0, 0, 1, 1, nullptr,
                         nullptr, instance, nullptr);
}

int RunMessageLoop() {
  MSG msg;
  BOOL got;
  while ((got = GetMessageA(&msg, nullptr, 0, 0)) != 0) {
    if (got == -1) break;
    bool taken = false;
    for (std::size_t i = 0; i < g_Dialogs.Count() && !taken; ++i)
      taken = IsDialogMessageA(static_cast<HWND>(g_Dialogs.At(i)), &msg) != FALSE;
    if (taken) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return got == 0 ? static_cast<int>(msg.wParam) : 0;
}

bool AddModelessDialog(HWND dialog) { return g_Dialogs.Add(dialog); }
bool RemoveModelessDialog(HWND dialog) { return g_Dialogs.Remove(dialog); }
HWND GetMainWindow() { return g_MainWindow; }
CBriskApp* GetBriskApp() { return g_App; }
unsigned GetKeyboardDelay() { return g_KeyboardDelay; }
const std::string& GetProductName() { return g_ProductName; }
