#include "app/BriskApp.h"

#include "app/AboutDlg.h"
#include "app/AppRules.h"
#include "base/DialogBase.h"
#include "base/Failure.h"
#include "base/WindowBase.h"
#include "launcher/AppListView.h"
#include "launcher/LauncherDlg.h"
#include "launcher/LauncherLayout.h"
#include "launcher/ListOrder.h"
#include "search/CollectSettings.h"
#include "search/SrchApliBase.h"
#include "settings/EnvInfoStore.h"

static_assert(MOD_ALT == 1 && MOD_CONTROL == 2 && MOD_SHIFT == 4 && MOD_WIN == 8);

namespace {

class CMainWindow;

// The values the whole process shares, in one place. Touched by the
// user-interface thread only; the collection thread is handed the main
// window's handle instead.
struct ProcessValues {
  // The hidden main window while it exists; the application object, the
  // product name and the instance are its own.
  CMainWindow* Main = nullptr;
  // The application the launcher dialog serves, claimed by Init.
  CBriskApp* LauncherApp = nullptr;
  // Deferred filtering delay, from the system's keyboard delay at start-up.
  unsigned KeyboardDelay = 300;
  LauncherFactory MakeLauncher = nullptr;
};
ProcessValues g_Process;

}  // namespace

CBriskApp::CBriskApp() = default;

CBriskApp::~CBriskApp() {
  // A failed Init may have claimed it.
  if (g_Process.LauncherApp == this) g_Process.LauncherApp = nullptr;
}

bool CBriskApp::Init(const AppInfo& info) {
  if (!IsWindow(info.MainWindow)) TARN_REPORT_LAST_ERROR(1);
  if (g_Process.LauncherApp) return false;
  g_Process.LauncherApp = this;
  Info = info;

  SetLastError(0);
  Mutex.Reset(CreateMutexA(nullptr, TRUE, Info->ProductName.c_str()));
  if (!Mutex.Valid() || GetLastError() == ERROR_ALREADY_EXISTS) {
    MessageBoxA(nullptr, "既に起動されています。", Info->ProductName.c_str(),
                MB_OK | MB_TASKMODAL | MB_ICONEXCLAMATION);
    return false;
  }

  Collector = std::make_unique<CSrchApliBase>(Info->MainWindow, Info->Folder);
  ListView = std::make_unique<CAppListView>();
  ListView->Attach(nullptr, Collector.get());

  Tray = std::make_unique<CTrayIcon>();
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
    StopMessage("設定ファイル tlenv.ini を読み込めませんでした。\n"
                "今回の起動中は、設定と履歴を保存しません。");
  }

  int delay = 0;
  const bool read = SystemParametersInfoA(SPI_GETKEYBOARDDELAY, 0, &delay, 0) != FALSE;
  g_Process.KeyboardDelay =
      static_cast<unsigned>(tarn::FilterDelayMs(read ? std::optional<int32_t>(delay) : std::nullopt));
  return true;
}

void CBriskApp::StopMessage(const char* text) {
  HoldExit(true);
  MessageBoxA(Info->MainWindow, text, Info->ProductName.c_str(), MB_OK | MB_ICONSTOP | MB_TASKMODAL);
  HoldExit(false);
}

void CBriskApp::HoldExit(bool hold) {
  if (hold) {
    ++ExitHolds;
    return;
  }
  if (--ExitHolds > 0 || !ExitAsked) return;
  ExitAsked = false;
  if (Info) PostMessageA(Info->MainWindow, WM_CLOSE, 0, 0);
}

bool CBriskApp::DeferExit() {
  if (ExitHolds == 0) return false;
  ExitAsked = true;
  return true;
}

HINSTANCE CBriskApp::GetInstance() const { return Info ? Info->Instance : nullptr; }

const char* CBriskApp::GetDialogTemplate() const {
  if (!Info) return nullptr;
  return Info->DialogTemplateName.empty() ? MAKEINTRESOURCEA(Info->DialogTemplateId)
                                          : Info->DialogTemplateName.c_str();
}

unsigned CBriskApp::GetFilterDelay() const { return g_Process.KeyboardDelay; }

void CBriskApp::ForwardCommand(int command) {
  if (Info) PostMessageA(Info->MainWindow, WM_COMMAND, MAKEWPARAM(command, 0), 0);
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
  if (!g_Process.MakeLauncher) {
    TARN_TRACE("%s", "launcher dialog not available");
    return false;
  }
  HWND dialog = g_Process.MakeLauncher(this);
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

  const ListSettings next = MakeListSettings(Settings);
  // LoadIcon changes what every row shows, though not which rows.
  const bool iconsChanged = ListView->GetListSettings().LoadIcon != next.LoadIcon;
  const bool listChanged = ListView->ApplyListSettings(next);
  // The names are read again on a thread of their own; the list is
  // refilled now, and again when they come.
  Collector->SetReadingOption(Settings.KanaMatch);
  const bool collectChanged = Collector->SetCollectSettings(MakeCollectSettings(Settings));
  if (collectChanged) {
    Collector->StartCollect(n != 0);
    RebuildList();
  } else if (listChanged || iconsChanged) {
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

bool CBriskApp::OnReadingsMade(WPARAM wParam, LPARAM lParam) {
  const bool taken = Collector->ApplyReadings(wParam, reinterpret_cast<AppEntryList*>(lParam));
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
    StopMessage("ダイアログ表示表のホットキーの登録に失敗しました。\n"
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
  // The open launcher goes first, while everything it may call on its way
  // out still exists.
  if (HWND dialog = LauncherWindow) {
    LauncherWindow = nullptr;
    if (IsWindow(dialog)) DestroyWindow(dialog);
  }
  if (Tray) Tray->UpdateIcon(nullptr, nullptr);
  if (Info) {
    UnregisterHotKey(Info->MainWindow, kHotKeyId);
    EnableTimer(false);
  }
  Info.reset();
  ListView.reset();
  Collector.reset();
  Tray.reset();
  Mutex.Reset();
  if (g_Process.LauncherApp == this) g_Process.LauncherApp = nullptr;
}

// ---- main window -------------------------------------------------------

namespace {

// The hidden main window: the hub that receives the hotkey, the refresh
// timer, the tray icon's notifications, the commands and the collection's
// status, and owns the application object. It owns itself: created by
// CreateMainWindow, deleted when its window has gone.
class CMainWindow final : public CWindowBase {
 public:
  CMainWindow(HINSTANCE instance, std::string folder) : Instance(instance), Folder(std::move(folder)) {}

  static bool Register(HINSTANCE instance) {
    return RegisterWindowClass(instance, kMainWindowClass, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  }
  HWND Create() { return CreateFor(kMainWindowClass, kMainWindowClass, WS_MINIMIZE, 0, 0, 1, 1, Instance); }

  CBriskApp* App() const { return Application.get(); }
  const std::string& ProductName() const { return Product; }

 private:
  ~CMainWindow() override {
    if (g_Process.Main == this) g_Process.Main = nullptr;
  }

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (Application && !Application->PreProcessMessage(Window(), message, wParam, lParam)) return 0;
    return CWindowBase::WindowProc(message, wParam, lParam);
  }
  LRESULT OnCreate(CREATESTRUCTA*) override;
  bool OnClose() override;
  void OnDestroy() override;
  bool OnCommand(int id, int code, HWND control) override;
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnFinalMessage() override { delete this; }
  void ShowEnvDialog();

  HINSTANCE Instance;
  std::string Folder;
  std::string Product;
  std::unique_ptr<CBriskApp> Application;
  std::optional<tarn::ScopedComInit> Com;
  // Made when the settings dialog opens, gone when it reports back.
  std::unique_ptr<CEnvInfoStore> PendingStore;
  bool ExitAsking = false;
};

LRESULT CMainWindow::OnCreate(CREATESTRUCTA*) {
  char name[256] = {};
  LoadStringA(Instance, IDS_PRODUCT_NAME, name, sizeof name);
  Product = name;
  AppInfo info;
  info.Instance = Instance;
  info.MainWindow = Window();
  info.Folder = Folder;
  info.ProductName = Product;
  // Published before Init: the message boxes Init can show run message
  // loops, and the first pass's messages arriving meanwhile must reach it.
  Application = std::make_unique<CBriskApp>();
  if (!Application->Init(info)) {
    // A second instance: the window is not created and the entry ends.
    Application.reset();
    return -1;
  }
  Com.emplace();
  HeapCompact(GetProcessHeap(), 0);
  return 0;
}

bool CMainWindow::OnClose() {
  if (ExitAsking || (Application && Application->DeferExit())) return true;
  ExitAsking = true;
  const tarn::LifeGuard::Watcher alive = Watch();
  const int answer = MessageBoxA(nullptr, ExitQuestionText(Product).c_str(), ExitQuestionCaption(Product).c_str(),
                                 MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL | MB_TOPMOST);
  if (!alive) return true;
  ExitAsking = false;
  return answer != IDYES;
}

void CMainWindow::OnDestroy() {
  if (!Application) return;  // creation was refused
  Com.reset();
  CEnvInfoStore().FreeEnvInfo();
  Application.reset();
  g_Process.Main = nullptr;
  PostQuitMessage(0);
}

void CMainWindow::ShowEnvDialog() {
  PendingStore = std::make_unique<CEnvInfoStore>();
  Application->EnableHotKey(false);
  Application->EnableTimer(false);
  PendingStore->ShowEnvDialog(Window(), WM_ENV_DIALOG_RESULT);
  // No dialog came up (and none will report back): the hotkey and the
  // timer must not stay off for the rest of the run.
  if (!PendingStore->IsEnvDialogOpen()) {
    PendingStore.reset();
    Application->EnableHotKey(true);
    Application->EnableTimer(true);
  }
}

bool CMainWindow::OnCommand(int id, int, HWND) {
  switch (id) {
    case IDC_ABOUT:
      CAboutDlg::Show(Instance);
      return true;
    case IDC_SETTINGS:
      if (Application) ShowEnvDialog();
      return true;
    case IDC_REFRESH:
      if (Application) Application->Refresh();
      return true;
    default:
      return false;
  }
}

LRESULT CMainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ENV_DIALOG_RESULT:
      if (Application) {
        if (wParam == 1) {
          CEnvInfoStore().SaveEnvInfo(nullptr);
          Application->ApplySettings(0);
        } else {
          Application->EnableHotKey(true);
          Application->EnableTimer(true);
        }
      }
      PendingStore.reset();
      break;
    case WM_COLLECT_NOTIFY:
      if (Application) Application->OnCollectionStatus(wParam, lParam);
      break;
    case WM_CACHE_LOADED:
      if (Application) {
        Application->OnCacheLoaded(lParam);
      } else {
        delete reinterpret_cast<AppEntryList*>(lParam);
      }
      break;
    case WM_READINGS_MADE:
      if (Application) {
        Application->OnReadingsMade(wParam, lParam);
      } else {
        delete reinterpret_cast<AppEntryList*>(lParam);
      }
      break;
  }
  return Default(message, wParam, lParam);
}

}  // namespace

void SetLauncherFactory(LauncherFactory factory) { g_Process.MakeLauncher = factory; }

bool RegisterMainWindowClass(HINSTANCE instance) { return CMainWindow::Register(instance); }

HWND CreateMainWindow(HINSTANCE instance, const std::string& dir) {
  if (!RegisterMainWindowClass(instance) || g_Process.Main) return nullptr;
  CEnvInfoStore::SetDefaultDirectory(dir);
  // Recorded before the window exists: everything of the start-up happens
  // inside its creation.
  auto* main = new CMainWindow(instance, dir);
  g_Process.Main = main;
  return main->Create();
}

int RunMessageLoop() {
  MSG msg;
  BOOL got;
  while ((got = GetMessageA(&msg, nullptr, 0, 0)) != 0) {
    if (got == -1) break;
    if (IsModelessDialogMessage(&msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return got == 0 ? static_cast<int>(msg.wParam) : 0;
}

HWND GetMainWindow() { return g_Process.Main ? g_Process.Main->Window() : nullptr; }
CBriskApp* GetBriskApp() { return g_Process.Main ? g_Process.Main->App() : nullptr; }
unsigned GetKeyboardDelay() { return g_Process.KeyboardDelay; }
const std::string& GetProductName() {
  static const std::string none;
  return g_Process.Main ? g_Process.Main->ProductName() : none;
}
