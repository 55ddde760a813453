#include "app/BriskApp.h"

#include <cstdio>

#include "app/AboutDlg.h"
#include "app/AppRules.h"
#include "app/LogonEnvironment.h"
#include "base/DialogBase.h"
#include "base/Failure.h"
#include "base/SaveNotice.h"
#include "base/WindowBase.h"
#include "launcher/AppListView.h"
#include "launcher/LauncherDlg.h"
#include "launcher/LauncherLayout.h"
#include "launcher/ListOrder.h"
#include "search/CollectSettings.h"
#include "search/FolderWatch.h"
#include "search/SrchApliBase.h"
#include "settings/EnvDialogRules.h"
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
  // The last main window was not made because another instance runs.
  bool SecondInstance = false;
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

  // Before anything is written: the first pass writes the cache.
  SetSaveFailureNotice(Info->MainWindow, WM_SAVE_FAILED);
  // Read before the first save can make the file.
  const bool firstStart = !CEnvInfoStore().HasSettingsFile();

  Collector = std::make_unique<CSrchApliBase>(Info->MainWindow, Info->Folder);
  ListView = std::make_unique<CAppListView>();
  ListView->Attach(nullptr, Collector.get());
  Watcher = std::make_unique<CFolderWatcher>(Info->MainWindow, WM_FOLDERS_CHANGED, Info->Folder);

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
  if (firstStart) {
    ShowFirstStartBalloon();
    // The file made now is what makes this the only first start; a folder
    // that cannot be written is told at once.
    CEnvInfoStore().SaveEnvInfo();
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

void CBriskApp::OnSaveFailed() {
  // Posted once per run (base/SaveNotice.h): the first failure is told.
  if (!Info) return;
  const std::string text = "次のフォルダにファイルを保存できませんでした。\n" + Info->Folder +
                           "\n\n設定と履歴、集めた候補の一覧は、終了すると失われます。\n" + Info->ProductName +
                           " は、書き込みのできるフォルダ（C:\\Program Files の下や ZIP ファイルの中は不可）に"
                           "置いて下さい。";
  StopMessage(text.c_str());
}

namespace {

// The name the keyboard gives a key other than a letter, a digit or F1..F24.
std::string KeyName(UINT vk) {
  LONG scan = static_cast<LONG>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)) << 16;
  // These share their scan codes with the number pad's keys.
  switch (vk) {
    case VK_INSERT: case VK_DELETE: case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_DIVIDE:
      scan |= 1 << 24;
      break;
    default:
      break;
  }
  char name[64] = {};
  if (scan == 0 || GetKeyNameTextA(scan, name, sizeof name) <= 0) std::snprintf(name, sizeof name, "0x%02X", vk);
  return name;
}

}  // namespace

// A new notification icon goes into the overflow area of the task bar:
// without a word the first start seems to do nothing at all.
void CBriskApp::ShowFirstStartBalloon() {
  std::string text = "通知領域に常駐しました。";
  if (HotKeyRegistered) text += HotKeyText(Settings.HotKey, KeyName(Settings.HotKey.VKey)) + " を押すか、";
  text += "このアイコンをクリックするとランチャー画面が開きます。";
  Tray->ShowBalloon(Info->ProductName.c_str(), text.c_str());
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
  const CollectSettings collect = MakeCollectSettings(Settings);
  const bool collectChanged = Collector->SetCollectSettings(collect);
  // The watches follow the sources; settings that collect the same leave
  // them as they are.
  if (Watcher && (!Watching || CollectSettingsDiffer(*Watching, collect))) {
    Watching = collect;
    Watcher->Arm(collect);
  }
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

void CBriskApp::OnFoldersChanged() {
  // The same pass as any other: the tray icon and an open launcher follow
  // it through its own messages.
  if (Collector) Collector->StartCollect(false);
}

bool CBriskApp::OnReadingsMade(WPARAM wParam, LPARAM lParam) {
  const bool taken = Collector->ApplyReadings(wParam, reinterpret_cast<AppEntryList*>(lParam));
  if (taken) RebuildList();
  return taken;
}

void CBriskApp::Refresh() {
  if (!ListView) return;
  BeginBusy();
  // A folder that was missing may exist now, and a changed PATH names
  // other folders: the watches are laid again with the pass.
  if (Watcher && Watching) Watcher->Arm(*Watching);
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
    HotKeyRegistered = false;
    return true;
  }
  EnvDlgInfo info;
  store.GetEnvInfo(&info);
  HotKeyRegistered = false;
  // Only a hand-edited file gets here with such a key (the settings dialog
  // refuses it); the tray icon still opens the launcher.
  if (!tarn::IsUsableHotKey(info.HotKey)) {
    TARN_TRACE("hotkey without Ctrl, Alt or Win not registered: %s", HotKeyText(info.HotKey, KeyName(info.HotKey.VKey)).c_str());
    return false;
  }
  if (!RegisterHotKey(Info->MainWindow, kHotKeyId, HotKeyModifiers(info.HotKey), info.HotKey.VKey)) {
    StopMessage("ダイアログ表示表のホットキーの登録に失敗しました。\n"
                "キー登録に重複があるようなので、キー設定を変更して下さい。");
    return false;
  }
  HotKeyRegistered = true;
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
    SetSaveFailureNotice(nullptr, 0);
  }
  Watcher.reset();
  Watching.reset();
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
  CLogonEnvironment Environment;
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
    g_Process.SecondInstance = true;
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
    case WM_SETTINGCHANGE:
      // An installer changed the variables: programs started from now on
      // get them, and a changed PATH is collected again.
      if (Application && lParam && lstrcmpiA(reinterpret_cast<const char*>(lParam), "Environment") == 0 &&
          Environment.Reload() && Application->GetSettings().SrchDirFlg.Path) {
        Application->Refresh();
      }
      break;
    case WM_FOLDERS_CHANGED:
      if (Application) Application->OnFoldersChanged();
      break;
    case WM_SAVE_FAILED:
      if (Application) Application->OnSaveFailed();
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
  g_Process.SecondInstance = false;
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

bool IsSecondInstance() { return g_Process.SecondInstance; }

HWND GetMainWindow() { return g_Process.Main ? g_Process.Main->Window() : nullptr; }
CBriskApp* GetBriskApp() { return g_Process.Main ? g_Process.Main->App() : nullptr; }
unsigned GetKeyboardDelay() { return g_Process.KeyboardDelay; }
const std::string& GetProductName() {
  static const std::string none;
  return g_Process.Main ? g_Process.Main->ProductName() : none;
}
