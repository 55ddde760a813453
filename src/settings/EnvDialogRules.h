// Decisions of the settings dialog on plain values: reading its number
// fields, checking what the user entered, the folder entry's forms, and
// the record the OK button stores.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/EnvDlgInfo.h"

namespace tarn {

// A number field's text as an unsigned decimal number: digits only (no
// sign, no full-width digits), none when empty, not a number or beyond
// 32 bits. Pasting gets past a digits-only edit, so anything may arrive.
std::optional<uint32_t> ReadFieldNumber(std::string_view text);

// The texts of the three number fields as the user left them.
struct EnvNumberTexts {
  std::string TopDirNumMax;
  std::string ExecListNumMax;
  std::string UpdateTimer;
};

// What Validate finds first; each has its message.
enum class EnvProblem { kNone, kSources, kHistories, kInterval, kHotKey };

// A key with Ctrl, Alt or the Windows key. A plain key, or one with Shift
// only, would take that key from every program while it is registered.
bool IsUsableHotKey(const HotKeySetting& key);

// Sources first, then the history sizes (0..99), then the interval
// (10..9999), then the hotkey: the first that fails.
EnvProblem ValidateEnv(const EnvDlgInfo& info, const EnvNumberTexts& texts);

// The message shown for a problem; empty for none.
std::string_view EnvProblemText(EnvProblem problem);

inline constexpr std::string_view kDuplicateFolderText =
    "既に同じ設定がされています。\n重複しない内容を指定して下さい。";
// "%s" takes the whole entered text.
std::string MissingFolderText(std::string_view entry);

// The entry with a trailing '\' removed, or with one added when it has none
// and there is room (under 259 bytes). The last character decides: a
// folder ending in "表" (95 5C) does not end with '\'.
std::string ToggleTrailingBackslash(std::string_view entry);

// The folder of an entry: the text before its first ';' (extensions follow).
std::string_view FolderPart(std::string_view entry);

// The record OK stores: the dialog's settings, with the histories and the
// launcher's rectangle as the shared record holds them now (a launch may
// have come while the dialog was open), cut to the new maxima.
EnvDlgInfo RecordForOk(const EnvDlgInfo& edited, const EnvDlgInfo& sharedNow);

}  // namespace tarn
