// The application object and the hidden main window: start-up, the single
// instance, settings taking effect, collection status, hotkey and refresh
// timer, and the fixed teardown.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "app/TrayIcon.h"
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
  UINT NameId = 102;
  std::string ProductName;
  WORD DialogTemplateId = 0;
  std::string DialogTemplateName = "DLG_BRSK";
  int ListId = 1002;
  int SearchComboId = 1008;
  int CounterId = 1018;
  int OptionsId = 1023;
  int RunId = 1004;
  int CloseId = 2;
  int ExitCommand = 4004;
  int SettingsCommand = 4005;
  int RefreshCommand = 4006;
  int AboutCommand = 4003;
  UINT TrayIconId = 110;
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
