// The application object and the hidden main window: start-up, the single
// instance, settings taking effect, collection status, hotkey and refresh
// timer, and the fixed teardown.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "app/TrayIcon.h"
#include "res/LauncherDialog.h"
#include "settings/EnvDlgInfo.h"

class CAppListView;
class CSrchApliBase;

inline constexpr UINT WM_ENV_DIALOG_RESULT = WM_USER + 10;
inline constexpr UINT WM_TRAY_NOTIFY = WM_USER + 20;
inline constexpr int kHotKeyId = 1;
inline constexpr UINT_PTR kRefreshTimerId = 3;
inline constexpr char kMainWindowClass[] = "Tarn_Launcher";

// What the main window tells the application object about itself.
struct AppInfo {
  virtual ~AppInfo() = default;
  HINSTANCE Instance = nullptr;
  HWND MainWindow = nullptr;
  UINT NameId = IDS_PRODUCT_NAME;
  std::string ProductName;
  WORD DialogTemplateId = 0;
  std::string DialogTemplateName = "DLG_BRSK";
  int ListId = IDC_LAUNCHER_LIST;
  int SearchComboId = IDC_LAUNCHER_SEARCH;
  int CounterId = IDC_LAUNCHER_COUNTER;
  int OptionsId = IDC_LAUNCHER_PATH;
  int RunId = IDC_LAUNCHER_RUN;
  int CloseId = IDC_LAUNCHER_CLOSE;
  int ExitCommand = IDC_EXIT;
  int SettingsCommand = IDC_SETTINGS;
  int RefreshCommand = IDC_REFRESH;
  int AboutCommand = IDC_ABOUT;
  UINT TrayIconId = IDM_TRAY;
};

class CBriskApp : public CTrayIconOwner {
 public:
  CBriskApp();
  virtual ~CBriskApp();
  CBriskApp(const CBriskApp&) = delete;
  CBriskApp& operator=(const CBriskApp&) = delete;

  bool OnTrayNotify(HWND window, WPARAM wParam, LPARAM lParam) override;

  bool Init(const AppInfo& info);
  bool PreProcessMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  bool ShowLauncher();
  bool ApplySettings(int n);
  bool OnCollectionStatus(WPARAM wParam, LPARAM lParam);
  // The cache file's candidates, named off this thread (WM_CACHE_LOADED).
  bool OnCacheLoaded(LPARAM lParam);
  void Refresh();
  void BeginBusy();
  void EndBusy();
  bool EnableHotKey(bool on);
  bool EnableTimer(bool on);
  void EnableDialogButtons(int busy);
  void Teardown();

  // The launcher dialog sets itself here while it exists.
  void SetLauncherWindow(HWND window) { LauncherWindow = window; }
  HWND GetLauncherWindow() const { return LauncherWindow; }
  int GetBusy() const { return Busy; }
  const EnvDlgInfo& GetSettings() const { return Settings; }
  // The launcher dialog records its histories and rectangle here.
  EnvDlgInfo& GetSettings() { return Settings; }
  const AppInfo* GetAppInfo() const { return Info; }
  CTrayIcon* GetTrayIcon() const { return Tray; }
  CAppListView* GetListView() const { return ListView; }
  CSrchApliBase* GetCollector() const { return Collector; }
  std::string SearchWord;
  RECT* DialogRect = nullptr;

 private:
  void RebuildList();

  HWND LauncherWindow = nullptr;
  int Busy = 0;
  uint32_t TimerPeriod = 0;  // of the running refresh timer; 0 while it is off
  EnvDlgInfo Settings;
  AppInfo* Info = nullptr;
  CTrayIcon* Tray = nullptr;
  CAppListView* ListView = nullptr;
  CSrchApliBase* Collector = nullptr;
  HANDLE Mutex = nullptr;
};

// Creates the launcher dialog for the application and answers its window;
// the launcher module installs it. Without one, the launcher cannot open.
using LauncherFactory = HWND (*)(CBriskApp* app);
void SetLauncherFactory(LauncherFactory factory);

// Entry pieces shared by WinMain and the tests. dir is the folder of the
// settings and cache files, ending with '\'.
bool RegisterMainWindowClass(HINSTANCE instance);
HWND CreateMainWindow(HINSTANCE instance, const std::string& dir);
int RunMessageLoop();

HWND GetMainWindow();
CBriskApp* GetBriskApp();
// Deferred filtering delay of the launcher dialog in milliseconds.
unsigned GetKeyboardDelay();
const std::string& GetProductName();
