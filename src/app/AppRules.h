// Small decisions of the application shell on plain values: hotkey mask,
// refresh period, filter delay, and the registry of modeless dialogs the
// message loop serves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "settings/EnvDlgInfo.h"

// Alt 1, Ctrl 2, Shift 4, Win 8 (the system's modifier flags); a modifier
// counts only when its field is exactly 1.
unsigned HotKeyModifiers(const HotKeySetting& key);

// Refresh timer period in milliseconds. Hand-edited values outside the
// dialog's bounds are held to 10..9999 minutes here, so the product never
// overflows and a zero or negative value cannot make the timer fire at once.
uint32_t RefreshPeriodMs(int32_t updateTimerMinutes);

// 300 ms + 250 ms per step of the keyboard delay (0..3); 300 ms when the
// setting could not be read or is out of its range.
unsigned FilterDelayMs(bool readOk, int keyboardDelay);

// "%s を終了しますか？" and "%s 終了確認" with the product name.
std::string ExitQuestionText(const std::string& productName);
std::string ExitQuestionCaption(const std::string& productName);

// Up to 256 windows of open modeless dialogs, in registration order.
class CModelessRegistry {
 public:
  static constexpr std::size_t kMax = 256;
  bool Add(void* window);
  bool Remove(void* window);
  std::size_t Count() const { return Used; }
  void* At(std::size_t i) const { return Windows[i]; }

 private:
  void* Windows[kMax] = {};
  std::size_t Used = 0;
};
