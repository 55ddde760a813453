// An icon in the notification area, attached to an owner window whose
// procedure it subclasses to receive the icon's mouse notifications. The
// ids of all icons of the process are listed in one registry: an id is
// taken once.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "base/WindowSubclass.h"

class CTrayIconOwner {
 public:
  virtual bool OnTrayNotify(HWND window, WPARAM wParam, LPARAM lParam) = 0;

 protected:
  ~CTrayIconOwner() = default;
};

class CTrayIcon {
 public:
  CTrayIcon();
  ~CTrayIcon();
  CTrayIcon(const CTrayIcon&) = delete;
  CTrayIcon& operator=(const CTrayIcon&) = delete;

  // The menu: right click tracks it, double click sends its first command.
  bool OnNotify(WPARAM wParam, LPARAM lParam);

  bool Register(UINT id, HINSTANCE instance);
  // Several icons may share one window. Attaching again moves the icon.
  bool Attach(HWND window, UINT callbackMessage, CTrayIconOwner* owner);
  // Icon and tip of one resource id; 0 removes the icon.
  BOOL SetIcon(UINT resourceId);
  // nullptr icon removes it; nullptr tip keeps the previous tip.
  BOOL UpdateIcon(HICON icon, const char* tip);
  bool SetBusy(int busy);
  // A balloon (a notification on newer systems) from the shown icon.
  BOOL ShowBalloon(const char* title, const char* text);
  void SetEnabled(BYTE enabled) { Enabled = enabled; }

  int GetBusy() const { return Busy; }
  bool IsShown() const { return Data.hIcon != nullptr; }
  HICON GetWantedIcon() const { return Wanted; }
  const char* GetTip() const { return Data.szTip; }

  // Bytes of the tip the first form of the record carries.
  static constexpr size_t kTipBytes = NOTIFYICONDATAA_V1_SIZE - offsetof(NOTIFYICONDATAA, szTip);

 private:
  // The owner window's messages, in front of its own procedure.
  LRESULT OwnerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  BYTE Enabled = 1;
  CWindowSubclass Subclass;
  NOTIFYICONDATAA Data;
  CTrayIconOwner* Owner = nullptr;
  int Busy = 0;
  HINSTANCE Instance = nullptr;
  bool Registered = false;
  // The look last asked for, kept even when adding it failed, so that it
  // can be added again when the task bar comes (back).
  HICON Wanted = nullptr;
};
