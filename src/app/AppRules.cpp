#include "app/AppRules.h"

#include <algorithm>

unsigned HotKeyModifiers(const HotKeySetting& key) {
  unsigned mask = 0;
  if (key.Alt == 1) mask |= 1;
  if (key.Ctrl == 1) mask |= 2;
  if (key.Shift == 1) mask |= 4;
  if (key.Win == 1) mask |= 8;
  return mask;
}

uint32_t RefreshPeriodMs(int32_t updateTimerMinutes) {
  const int32_t minutes = std::clamp(updateTimerMinutes, kUpdateTimerMin, kUpdateTimerMax);
  return static_cast<uint32_t>(minutes) * 60000u;
}

unsigned FilterDelayMs(bool readOk, int keyboardDelay) {
  if (!readOk || keyboardDelay < 0 || keyboardDelay > 3) return 300;
  return 300u + 250u * static_cast<unsigned>(keyboardDelay);
}

std::string ExitQuestionText(const std::string& productName) {
  return productName + " を終了しますか？";
}

std::string ExitQuestionCaption(const std::string& productName) {
  return productName + " 終了確認";
}

bool CModelessRegistry::Add(void* window) {
  if (Used == 0) std::fill(std::begin(Windows), std::end(Windows), nullptr);
  if (Used >= kMax || !window) return false;
  if (std::find(Windows, Windows + Used, window) != Windows + Used) return false;
  Windows[Used++] = window;
  return true;
}

bool CModelessRegistry::Remove(void* window) {
  void** end = Windows + Used;
  void** it = std::find(Windows, end, window);
  if (it == end || !window) return false;
  std::move(it + 1, end, it);
  Windows[--Used] = nullptr;
  return true;
}
