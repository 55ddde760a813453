// The part of the settings that decides what a collection pass gathers.
#pragma once

#include <string>
#include <vector>

#include "settings/EnvDlgInfo.h"

struct CollectSettings {
  bool Update = false;
  SrchDirFlags SrchDirFlg{false, false, true, false, false, false, true};
  bool AnyDirSubDir = true;
  std::vector<std::string> AnyDirs;
};

// Built from the settings record when the application applies its settings.
CollectSettings MakeCollectSettings(const EnvDlgInfo& info);

// True when a pass would gather something else (or Update differs). With
// Any off, AnyDirSubDir and AnyDirs are not compared.
bool CollectSettingsDiffer(const CollectSettings& held, const CollectSettings& next);
