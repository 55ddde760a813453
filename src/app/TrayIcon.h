// An icon in the notification area, attached to an owner window whose
// procedure it subclasses to receive the icon's mouse notifications. All
// icons of the process are listed in one registry keyed by icon id.
#pragma once

#include <windows.h>
#include <shellapi.h>

class CTrayIconOwner {
 public:
  virtual bool OnTrayNotify(HWND window, WPARAM wParam, LPARAM lParam) = 0;

 protected:
  ~CTrayIconOwner() = default;
};

class CTrayIcon {
 public:
  CTrayIcon();
  virtual ~CTrayIcon();
  CTrayIcon(const CTrayIcon&) = delete;
  CTrayIcon& operator=(const CTrayIcon&) = delete;

  // The menu: right click tracks it, double click sends its first command.
  virtual bool OnNotify(WPARAM wParam, LPARAM lParam);

  bool Register(UINT id, HINSTANCE instance);
  bool Attach(HWND owner, UINT callbackMessage, CTrayIconOwner* owner_);
  // Icon and tip of one resource id; 0 removes the icon.
  BOOL SetIcon(UINT resourceId);
  // nullptr icon removes it; nullptr tip keeps the previous tip.
  BOOL UpdateIcon(HICON icon, const char* tip);
  bool SetBusy(int busy);
  void SetEnabled(BYTE enabled) { Enabled = enabled; }

  BYTE IsEnabled() const { return Enabled; }
  int GetBusy() const { return Busy; }
  bool IsShown() const { return Data.hIcon != nullptr; }
  HICON GetShownIcon() const { return Data.hIcon; }
  HICON GetWantedIcon() const { return Wanted; }
  const char* GetTip() const { return Data.szTip; }
  UINT GetId() const { return Data.uID; }

  // Bytes of the tip the first form of the record carries.
  static constexpr size_t kTipBytes = NOTIFYICONDATAA_V1_SIZE - offsetof(NOTIFYICONDATAA, szTip);

 private:
  static LRESULT CALLBACK TrayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Detach();

  BYTE Enabled = 1;
  WNDPROC PrevProc = nullptr;
  NOTIFYICONDATAA Data;
  CTrayIconOwner* Owner = nullptr;
  int Busy = 0;
  HINSTANCE Instance = nullptr;
  bool Registered = false;
  // The look last asked for, kept even when adding it failed, so that it
  // can be added again when the task bar comes (back).
  HICON Wanted = nullptr;
};
