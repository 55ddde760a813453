// The application object and the hidden main window: start-up, the single
// instance, settings taking effect, collection status, hotkey and refresh
// timer, and the fixed teardown.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/TrayIcon.h"
#include "base/WinHandle.h"
#include "launcher/LauncherHost.h"
#include "search/CollectSettings.h"
#include "res/LauncherDialog.h"
#include "settings/EnvDlgInfo.h"

class CAppListView;
class CFolderWatcher;
class CSrchApliBase;

inline constexpr UINT WM_ENV_DIALOG_RESULT = WM_USER + 10;
// A file in the program's folder could not be written (base/SaveNotice.h).
inline constexpr UINT WM_SAVE_FAILED = WM_USER + 11;
inline constexpr UINT WM_TRAY_NOTIFY = WM_USER + 20;
inline constexpr int kHotKeyId = 1;
inline constexpr UINT_PTR kRefreshTimerId = 3;
inline constexpr char kMainWindowClass[] = "Tarn_Launcher";

// What the main window tells the application object about itself. The
// launcher dialog's own controls are named by res/LauncherDialog.h.
struct AppInfo {
  HINSTANCE Instance = nullptr;
  HWND MainWindow = nullptr;
  // Of the settings and cache files, ending with '\'.
  std::string Folder;
  UINT NameId = IDS_PRODUCT_NAME;
  std::string ProductName;
  WORD DialogTemplateId = 0;
  std::string DialogTemplateName = "DLG_BRSK";
  int SearchComboId = IDC_LAUNCHER_SEARCH;
  int ExitCommand = IDC_EXIT;
  int SettingsCommand = IDC_SETTINGS;
  int RefreshCommand = IDC_REFRESH;
  UINT TrayIconId = IDM_TRAY;
};

class CBriskApp final : public CTrayIconOwner, public CLauncherHost {
 public:
  CBriskApp();
  ~CBriskApp();
  CBriskApp(const CBriskApp&) = delete;
  CBriskApp& operator=(const CBriskApp&) = delete;

  bool OnTrayNotify(HWND window, WPARAM wParam, LPARAM lParam) override;

  bool Init(const AppInfo& info);
  bool PreProcessMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  bool ShowLauncher();
  bool ApplySettings(int n) override;
  bool OnCollectionStatus(WPARAM wParam, LPARAM lParam);
  // The cache file's candidates, named off this thread (WM_CACHE_LOADED).
  bool OnCacheLoaded(LPARAM lParam);
  // The watched folders changed and have settled (WM_FOLDERS_CHANGED).
  void OnFoldersChanged();
  // Tells the user that the program's folder cannot be written (posted the
  // first time in a run); the program carries on.
  void OnSaveFailed();
  // The candidates read again after kana matching was turned on or off.
  bool OnReadingsMade(WPARAM wParam, LPARAM lParam);
  void Refresh();
  void BeginBusy();
  void EndBusy();
  bool EnableHotKey(bool on);
  bool EnableTimer(bool on);
  void EnableDialogButtons(int busy);
  void Teardown();

  // Exit waits while a call that runs a message loop of its own is under
  // way (a message box of this object, a launch of the launcher dialog):
  // an exit asked for meanwhile is asked again when the last one is done.
  void HoldExit(bool hold) override;
  // True when the exit has to wait (and will be asked again).
  bool DeferExit();

  // The launcher dialog's side of the application.
  HINSTANCE GetInstance() const override;
  const char* GetDialogTemplate() const override;
  unsigned GetFilterDelay() const override;
  EnvDlgInfo& GetSettings() override { return Settings; }
  const EnvDlgInfo& GetSettings() const { return Settings; }
  CAppListView* GetListView() const override { return ListView.get(); }
  CSrchApliBase* GetCollector() const override { return Collector.get(); }
  HWND GetLauncherWindow() const override { return LauncherWindow; }
  void SetLauncherWindow(HWND window) override { LauncherWindow = window; }
  const std::string& GetSearchWord() const override { return SearchWord; }
  void SetSearchWord(const std::string& word) override { SearchWord = word; }
  void ForwardCommand(int command) override;

  int GetBusy() const { return Busy; }
  const AppInfo* GetAppInfo() const { return Info ? &*Info : nullptr; }
  CTrayIcon* GetTrayIcon() const { return Tray.get(); }
  // The launcher dialog's current search word.
  std::string SearchWord;

 private:
  void RebuildList();
  void StopMessage(const char* text);
  // Names the hotkey of Settings: shown after ApplySettings.
  void ShowFirstStartBalloon();

  HWND LauncherWindow = nullptr;
  int Busy = 0;
  uint32_t TimerPeriod = 0;  // of the running refresh timer; 0 while it is off
  int ExitHolds = 0;
  bool ExitAsked = false;
  bool HotKeyRegistered = false;
  EnvDlgInfo Settings;
  tarn::ScopedHandle Mutex;
  // Declared in the reverse of the fixed teardown order (the application
  // info, the list view, the collector, the tray icon), which destruction
  // follows too when Init did not get far.
  std::unique_ptr<CTrayIcon> Tray;
  std::unique_ptr<CSrchApliBase> Collector;
  std::unique_ptr<CAppListView> ListView;
  std::optional<AppInfo> Info;
  // Goes first: its thread posts to the main window.
  std::unique_ptr<CFolderWatcher> Watcher;
  std::optional<CollectSettings> Watching;  // what the watches were armed for
};

// Creates the launcher dialog for the application and answers its window;
// the launcher module installs it. Without one, the launcher cannot open.
using LauncherFactory = HWND (*)(CLauncherHost* host);
void SetLauncherFactory(LauncherFactory factory);

// Entry pieces shared by WinMain and the tests. dir is the folder of the
// settings and cache files, ending with '\'.
bool RegisterMainWindowClass(HINSTANCE instance);
HWND CreateMainWindow(HINSTANCE instance, const std::string& dir);
// True when the last CreateMainWindow made no window because another
// instance runs (the user has been told).
bool IsSecondInstance();
int RunMessageLoop();

HWND GetMainWindow();
CBriskApp* GetBriskApp();
// Deferred filtering delay of the launcher dialog in milliseconds.
unsigned GetKeyboardDelay();
const std::string& GetProductName();
