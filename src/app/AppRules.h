// Small decisions of the application shell on plain values: hotkey mask
// and text, refresh period, the About dialog's typing and the exit question.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/EnvDlgInfo.h"

// Alt 1, Ctrl 2, Shift 4, Win 8 (the system's modifier flags); a modifier
// counts only when its field is exactly 1.
unsigned HotKeyModifiers(const HotKeySetting& key);

// The key as the user reads it, "Ctrl+Alt+W": the modifiers that count, then
// the key; letters, digits and F1..F24 by themselves, any other key by the
// name the keyboard gives it (otherKeyName).
std::string HotKeyText(const HotKeySetting& key, std::string_view otherKeyName);

// Refresh timer period in milliseconds. Hand-edited values outside the
// dialog's bounds are held to 10..9999 minutes here, so the product never
// overflows and a zero or negative value cannot make the timer fire at once.
uint32_t RefreshPeriodMs(int32_t updateTimerMinutes);

// Where the About dialog's typing stands after one more step from shown:
// the end of the next whole character (a CR LF pair is one step), so a
// double-byte character never shows by halves.
std::size_t NextTypingEnd(std::string_view text, std::size_t shown);

// "%s を終了しますか？" and "%s 終了確認" with the product name.
std::string ExitQuestionText(const std::string& productName);
std::string ExitQuestionCaption(const std::string& productName);
