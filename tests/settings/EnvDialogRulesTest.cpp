// The settings dialog's decisions on plain values: number fields as typed
// or pasted, the order of its checks, the folder forms with and without a
// trailing backslash, and the record OK stores.
#include <gtest/gtest.h>

#include "settings/EnvDialogRules.h"

namespace tarn {
namespace {

TEST(EnvDialogRules, NumberFields) {
  struct Case {
    const char* text;
    std::optional<uint32_t> value;
  } cases[] = {
      {"", std::nullopt},   {"0", 0u},           {"0099", 99u},          {"9999", 9999u},
      {"12a", std::nullopt}, {" 5", std::nullopt}, {"-1", std::nullopt},
      {"\x82\x50\x82\x51", std::nullopt},  // full-width "１２" pasted
      {"4294967295", 4294967295u},         {"4294967296", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadFieldNumber(c.text), c.value) << c.text;
}

TEST(EnvDialogRules, ValidateStopsAtTheFirstProblem) {
  EnvDlgInfo none;  // no source at all
  EnvDlgInfo ntOnly;
  ntOnly.SrchDirFlg.NtCom = true;
  EnvDlgInfo anyEmpty;
  anyEmpty.SrchDirFlg.Any = true;
  EnvDlgInfo anyOne = anyEmpty;
  anyOne.AnyDirs = {"C:\\Tools"};
  EnvDlgInfo path;
  path.SrchDirFlg.Path = true;
  const EnvNumberTexts fine{"20", "0", "10"};
  struct Case {
    const EnvDlgInfo& info;
    EnvNumberTexts texts;
    EnvProblem problem;
  } cases[] = {
      {none, fine, EnvProblem::kSources},          {ntOnly, fine, EnvProblem::kSources},
      {anyEmpty, fine, EnvProblem::kSources},      {anyOne, fine, EnvProblem::kNone},
      {path, fine, EnvProblem::kNone},             {none, {"", "", ""}, EnvProblem::kSources},
      {path, {"", "20", "10"}, EnvProblem::kHistories},
      {path, {"20", "100", "10"}, EnvProblem::kHistories},  // pasted past the two digits
      {path, {"99", "x", "10"}, EnvProblem::kHistories},
      {path, {"99", "99", "9"}, EnvProblem::kInterval},
      {path, {"99", "99", "10000"}, EnvProblem::kInterval},
      {path, {"99", "99", ""}, EnvProblem::kInterval},
      {path, {"0", "0", "9999"}, EnvProblem::kNone},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ValidateEnv(c.info, c.texts), c.problem)
        << c.texts.TopDirNumMax << "/" << c.texts.ExecListNumMax << "/" << c.texts.UpdateTimer;
  }
  EXPECT_EQ(EnvProblemText(EnvProblem::kHistories), "履歴数には規定の数値を設定して下さい。");
  EXPECT_EQ(MissingFolderText("D:\\x;.exe"),
            "[D:\\x;.exe]\nこのディレクトリは存在しません。\n正しいディレクトリ名を指定して下さい。");
}

TEST(EnvDialogRules, FolderFormsGoByWholeCharacters) {
  const std::string long258(258, 'a'), long259(259, 'a');
  struct Case {
    std::string entry, toggled;
    std::string_view folder;
  } cases[] = {
      {"C:\\Tools", "C:\\Tools\\", "C:\\Tools"},
      {"C:\\Tools\\", "C:\\Tools", "C:\\Tools\\"},
      {"C:\\\x83\x5C", "C:\\\x83\x5C\\", "C:\\\x83\x5C"},  // ソ
      {"C:\\\x95\x5C", "C:\\\x95\x5C\\", "C:\\\x95\x5C"},  // 表
      {"C:\\\x94\x5C\\", "C:\\\x94\x5C", "C:\\\x94\x5C\\"},  // 能 and a backslash
      {"D:\\\x95\x5C;.exe;.lnk", "D:\\\x95\x5C;.exe;.lnk\\", "D:\\\x95\x5C"},
      {"\x83\x3B;.exe", "\x83\x3B;.exe\\", "\x83\x3B"},  // a trail byte ';' is no separator
      {long258, long258 + "\\", long258},
      {long259, long259, long259},  // no room for another byte
      {"", "\\", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToggleTrailingBackslash(c.entry), c.toggled) << c.entry;
    EXPECT_EQ(ToggleTrailingBackslash(ToggleTrailingBackslash(c.entry)), c.entry.size() < 259 ? c.entry : c.toggled);
    EXPECT_EQ(FolderPart(c.entry), c.folder) << c.entry;
  }
}

TEST(EnvDialogRules, OkTakesTheHistoriesAsTheyAreNow) {
  EnvDlgInfo opened;  // what the dialog copied when it opened
  opened.TopDirs = {"old.exe"};
  opened.ExecList = {"old"};
  EnvDlgInfo edited = opened;
  edited.TopDirNumMax = 2;
  edited.ExecListNumMax = 0;
  edited.UpdateTimer = 30;
  EnvDlgInfo now = opened;  // a launch came meanwhile
  now.TopDirs = {"c.exe", "b.exe", "old.exe"};
  now.ExecList = {"c", "old"};
  now.MainDlgRect = {10, 20, 300, 400};
  const EnvDlgInfo stored = RecordForOk(edited, now);
  EXPECT_EQ(stored.TopDirs, (std::vector<std::string>{"c.exe", "b.exe"}));
  EXPECT_TRUE(stored.ExecList.empty());
  EXPECT_EQ(stored.MainDlgRect, now.MainDlgRect);
  EXPECT_EQ(stored.UpdateTimer, 30);
  edited.TopDirNumMax = -3;  // never more than nothing
  EXPECT_TRUE(RecordForOk(edited, now).TopDirs.empty());
}

}  // namespace
}  // namespace tarn
