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

std::string HotKeyText(const HotKeySetting& key, std::string_view otherKeyName) {
  std::string text;
  if (key.Win == 1) text += "Win+";
  if (key.Ctrl == 1) text += "Ctrl+";
  if (key.Alt == 1) text += "Alt+";
  if (key.Shift == 1) text += "Shift+";
  const uint32_t vk = key.VKey;
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return text + static_cast<char>(vk);
  constexpr uint32_t kF1 = 0x70, kF24 = 0x87;
  if (vk >= kF1 && vk <= kF24) return text + "F" + std::to_string(vk - kF1 + 1);
  return text + std::string(otherKeyName);
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
