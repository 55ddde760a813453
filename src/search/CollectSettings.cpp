#include "search/CollectSettings.h"

CollectSettings MakeCollectSettings(const EnvDlgInfo& info) {
  CollectSettings s;
  s.Update = info.SpeedTuning.Update;
  s.SrchDirFlg = info.SrchDirFlg;
  s.AnyDirSubDir = info.AnyDirSubDir;
  s.AnyDirs = info.AnyDirs;
  return s;
}

bool CollectSettingsDiffer(const CollectSettings& held, const CollectSettings& next) {
  if (held.SrchDirFlg != next.SrchDirFlg || held.Update != next.Update) return true;
  // The user folders matter only while they are collected.
  if (!next.SrchDirFlg.Any) return false;
  return held.AnyDirSubDir != next.AnyDirSubDir || held.AnyDirs != next.AnyDirs;
}
