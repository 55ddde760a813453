// What the launcher dialog sees of the application: the settings it
// records its histories and rectangle in, the list view and store it
// shows, and the few things it asks of the application. The application
// object implements it; the launcher room knows nothing else of it.
#pragma once

#include <windows.h>

#include <string>

#include "settings/EnvDlgInfo.h"

class CAppListView;
class CSrchApliBase;

class CLauncherHost {
 public:
  // Module of the dialog's template, icons and strings, and the template.
  virtual HINSTANCE GetInstance() const = 0;
  virtual const char* GetDialogTemplate() const = 0;
  // Deferred filtering delay in milliseconds.
  virtual unsigned GetFilterDelay() const = 0;

  virtual EnvDlgInfo& GetSettings() = 0;
  virtual CAppListView* GetListView() const = 0;
  virtual CSrchApliBase* GetCollector() const = 0;

  // The dialog tells of itself while it exists, and of the word it filtered with.
  virtual HWND GetLauncherWindow() const = 0;
  virtual void SetLauncherWindow(HWND window) = 0;
  virtual const std::string& GetSearchWord() const = 0;
  virtual void SetSearchWord(const std::string& word) = 0;

  // The saved settings take effect again (after a launch recorded them).
  virtual bool ApplySettings(int n) = 0;
  // A command of the small buttons (exit, settings, refresh, About), posted
  // to the application: the dialog may be gone by the time it runs.
  virtual void ForwardCommand(int command) = 0;
  // The application waits to exit while the dialog runs a call with a
  // message loop of its own (a launch): everything it owns outlives it.
  virtual void HoldExit(bool hold) = 0;

 protected:
  ~CLauncherHost() = default;
};

// Holds the application's exit for the life of the object.
class CExitHold {
 public:
  explicit CExitHold(CLauncherHost& host) : Host(host) { Host.HoldExit(true); }
  ~CExitHold() { Host.HoldExit(false); }
  CExitHold(const CExitHold&) = delete;
  CExitHold& operator=(const CExitHold&) = delete;

 private:
  CLauncherHost& Host;
};
