#include "settings/EnvDialogRules.h"

#include <algorithm>

#include "base/Cp932.h"

namespace tarn {

std::optional<uint32_t> ReadFieldNumber(std::string_view text) {
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');
    if (value > UINT32_MAX) return std::nullopt;
  }
  return static_cast<uint32_t>(value);
}

bool IsUsableHotKey(const HotKeySetting& key) {
  return key.VKey != 0 && (key.Ctrl == 1 || key.Alt == 1 || key.Win == 1);
}

EnvProblem ValidateEnv(const EnvDlgInfo& info, const EnvNumberTexts& texts) {
  const SrchDirFlags& f = info.SrchDirFlg;
  const bool someSource = f.StartMenu || f.DeskTop || f.Favorites || f.Recent || f.Path;
  if (!someSource && !(f.Any && !info.AnyDirs.empty())) return EnvProblem::kSources;
  auto history = [](const std::string& text) {
    std::optional<uint32_t> n = ReadFieldNumber(text);
    return n && *n <= static_cast<uint32_t>(kHistoryMaxLimit);
  };
  if (!history(texts.TopDirNumMax) || !history(texts.ExecListNumMax)) return EnvProblem::kHistories;
  std::optional<uint32_t> interval = ReadFieldNumber(texts.UpdateTimer);
  if (!interval || *interval < static_cast<uint32_t>(kUpdateTimerMin) ||
      *interval > static_cast<uint32_t>(kUpdateTimerMax)) {
    return EnvProblem::kInterval;
  }
  if (!IsUsableHotKey(info.HotKey)) return EnvProblem::kHotKey;
  return EnvProblem::kNone;
}

std::string_view EnvProblemText(EnvProblem problem) {
  switch (problem) {
    case EnvProblem::kSources:
      return "この設定ではリストが取得できません。\n検索ディレクトリを必ず一つは設定して下さい。";
    case EnvProblem::kHistories:
      return "履歴数には規定の数値を設定して下さい。";
    case EnvProblem::kInterval:
      return "自動更新間隔には規定の数値を設定して下さい。";
    case EnvProblem::kHotKey:
      return "ホットキーには Ctrl、Alt、Windows キーのどれかを含む組み合わせを設定して下さい。";
    default:
      return {};
  }
}

std::string MissingFolderText(std::string_view entry) {
  return "[" + std::string(entry) + "]\nこのディレクトリは存在しません。\n正しいディレクトリ名を指定して下さい。";
}

std::string ToggleTrailingBackslash(std::string_view entry) {
  if (EndsWithChar(entry, '\\')) return std::string(entry.substr(0, entry.size() - 1));
  if (entry.size() < kMaxPath - 1) return std::string(entry) + '\\';
  return std::string(entry);
}

std::string_view FolderPart(std::string_view entry) {
  return entry.substr(0, std::min(entry.size(), FindChar(entry, ';')));
}

EnvDlgInfo RecordForOk(const EnvDlgInfo& edited, const EnvDlgInfo& sharedNow) {
  EnvDlgInfo out = edited;
  auto cut = [](const std::vector<std::string>& list, int32_t max) {
    const std::size_t keep = std::min(list.size(), static_cast<std::size_t>(std::max<int32_t>(max, 0)));
    return std::vector<std::string>(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(keep));
  };
  out.TopDirs = cut(sharedNow.TopDirs, edited.TopDirNumMax);
  out.ExecList = cut(sharedNow.ExecList, edited.ExecListNumMax);
  out.MainDlgRect = sharedNow.MainDlgRect;
  return out;
}

}  // namespace tarn
