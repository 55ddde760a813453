// The settings record: every user setting, the two histories and the last
// launcher dialog rectangle. Field names are the settings-file keys.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct HotKeySetting {
  // A modifier counts only when its field is exactly 1.
  int32_t Alt = 0;
  int32_t Ctrl = 0;
  int32_t Shift = 0;
  int32_t Win = 0;
  uint32_t VKey = 0;

  bool operator==(const HotKeySetting&) const = default;
};

struct StaticItem {
  std::string Name;
  std::string Command;  // the first "%1" takes the search word
  bool UseUrlEncode = false;
  bool UseUTF8 = false;

  bool operator==(const StaticItem&) const = default;
};

struct SrchDirFlags {
  bool StartMenu = false;
  bool DeskTop = false;
  bool NtCom = false;  // "NT-COM" in the file: the all-users counterparts
  bool Any = false;
  bool Favorites = false;
  bool Recent = false;
  bool Path = false;

  bool operator==(const SrchDirFlags&) const = default;
};

struct SpeedTuningFlags {
  bool InitList = false;
  bool Update = false;
  bool LoadIcon = false;

  bool operator==(const SpeedTuningFlags&) const = default;
};

struct DlgRect {
  int32_t left = -1;
  int32_t top = -1;
  int32_t right = -1;
  int32_t bottom = -1;

  bool operator==(const DlgRect&) const = default;
};

struct EnvDlgInfo {
  HotKeySetting HotKey;
  SrchDirFlags SrchDirFlg;
  SpeedTuningFlags SpeedTuning;
  int32_t DefaultSearchMode = 0;
  bool AutocompleteURL = false;
  bool SpaceIsOption = false;
  bool AnyDirSubDir = true;
  std::vector<std::string> AnyDirs;
  int32_t TopDirNumMax = 0;
  std::vector<std::string> TopDirs;
  int32_t ExecListNumMax = 0;
  std::vector<std::string> ExecList;
  DlgRect MainDlgRect;  // all -1: never saved
  std::vector<StaticItem> StaticItems;
  int32_t UpdateTimer = 360;  // minutes
  // Kana typed either way and romaji find kana names (a line after the
  // last one of the layout; off when the file has none).
  bool KanaMatch = false;

  bool operator==(const EnvDlgInfo&) const = default;
};

// What a user without a settings file gets: Ctrl+Alt+W, every source but
// the user folders, histories of 20, one "run by file name" static item.
void ApplyLoadDefaults(EnvDlgInfo& info);

// Bounds the settings dialog keeps user input within.
inline constexpr int32_t kHistoryMaxLimit = 99;
inline constexpr int32_t kUpdateTimerMin = 10;
inline constexpr int32_t kUpdateTimerMax = 9999;
