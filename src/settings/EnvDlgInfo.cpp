#include "settings/EnvDlgInfo.h"

void ApplyLoadDefaults(EnvDlgInfo& info) {
  // Start from a fresh record so that a second load in the same run gives
  // exactly what the first one gave: fields that an older file does not
  // hold must not keep the values of the previous load.
  info = EnvDlgInfo{};
  info.HotKey.Alt = 1;
  info.HotKey.Ctrl = 1;
  info.HotKey.VKey = 'W';
  info.SrchDirFlg.StartMenu = true;
  info.SrchDirFlg.DeskTop = true;
  info.SrchDirFlg.NtCom = true;
  info.SrchDirFlg.Favorites = true;
  info.SrchDirFlg.Recent = true;
  info.SrchDirFlg.Path = true;
  info.TopDirNumMax = 20;
  info.ExecListNumMax = 20;
  info.StaticItems.push_back(StaticItem{"ファイル名を指定して実行", "%1", false, false});
}
