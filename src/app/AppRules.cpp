#include "app/AppRules.h"

#include <algorithm>

#include "base/Cp932.h"

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

std::size_t NextTypingEnd(std::string_view text, std::size_t shown) {
  if (shown >= text.size()) return text.size();
  if (text[shown] == '\r' && shown + 1 < text.size() && text[shown + 1] == '\n') return shown + 2;
  return tarn::NextChar(text, shown);
}

std::string ExitQuestionText(const std::string& productName) {
  return productName + " を終了しますか？";
}

std::string ExitQuestionCaption(const std::string& productName) {
  return productName + " 終了確認";
}
