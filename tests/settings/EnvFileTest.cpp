// The settings file layout: writer and reader agree, old layouts keep
// loading, and damaged files cost only what is damaged.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/EnvDialogRules.h"
#include "settings/EnvDlgInfo.h"
#include "settings/EnvFile.h"

namespace {

using Lines = std::vector<std::string>;

EnvDlgInfo Loaded() {
  EnvDlgInfo info;
  ApplyLoadDefaults(info);
  return info;
}

EnvDlgInfo Read(const std::string& bytes, tarn::EnvReadNotes* notes = nullptr) {
  EnvDlgInfo info = Loaded();
  tarn::ReadEnvFile(bytes, info, notes);
  return info;
}

// Everything away from its defaults, with texts whose trail bytes are '\'
// (表, ソ) and spaces in the static item texts.
EnvDlgInfo Rich() {
  EnvDlgInfo info;
  info.HotKey = {2, 1, 1, 1, 0x7A};
  info.SrchDirFlg = {false, true, false, true, false, true, false};
  info.SpeedTuning = {true, false, true};
  info.DefaultSearchMode = -93;
  info.AutocompleteURL = info.SpaceIsOption = info.KanaMatch = true;
  info.AnyDirSubDir = false;
  info.AnyDirs = {"C:\\Tools\\ソフト表\\;.exe;.lnk", "D:\\Games", std::string(259, 'a')};
  info.TopDirNumMax = 3;
  info.TopDirs = {"C:\\a.exe", "C:\\表\\b.exe", "C:\\c.exe"};
  info.ExecListNumMax = 99;
  info.ExecList = {"word", "検索 語", " lead space"};
  info.MainDlgRect = {-1200, -5, 300, 2147483647};
  info.StaticItems = {{"Google で検索", "https://www.google.com/search?q=%1", true, true},
                      {"", "", false, true}, {"  spaced  name  ", "notepad.exe %1 ", true, false}};
  info.UpdateTimer = 9999;
  return info;
}

// The file with the line that starts with key replaced.
std::string WithLine(std::string bytes, const std::string& key, const std::string& line) {
  const std::size_t at = bytes.find(key);
  return bytes.replace(at, bytes.find("\r\n", at) - at, line);
}

}  // namespace

TEST(EnvFile, LoadDefaultsWrittenLineByLine) {
  // A second load in one run starts from the same place as the first.
  EnvDlgInfo info = Rich();
  ApplyLoadDefaults(info);
  info.TopDirs = {"C:\\表.exe"};
  EXPECT_EQ(tarn::WriteEnvFile(info),
            "Bre_EnvDlgInfo-Version: 0200\r\nBre_HotKey-Version: 0100\r\nKeySetting[Alt,Ctrl,Shift,VKey]: 1 1 0 87 0\r\n"
            "SrchDirFlg[StartMenu,DeskTop,NT-COM,Any,Favorites,Recent,Path]: 1 1 1 0 1 1 1 \r\n"
            "SpeedTuning[InitList,Update,LoadIcon]: 0 0 0 \r\nAnyDirs-S:\r\nAnyDirs-E:\r\nTopDirNumMax: 20\r\n"
            "TopDirs-S:\r\nC:\\\x95\x5C.exe\r\nTopDirs-E:\r\nExecListNumMax: 20\r\nExecList-S:\r\nExecList-E:\r\n"
            "MainDlgRect[left,top,right,bottom]: -1 -1 -1 -1\r\nAnyDirSubDir: 1\r\n"
            "StaticItem-S:\r\nName: ファイル名を指定して実行\r\nCommand: %1\r\nUseUrlEncode: 0\r\nUseUTF8: 0\r\n"
            "StaticItem-E:\r\nAutocompleteURL: 0\r\nDefaultSearchMode: 0\r\nSpaceIsOption: 0\r\nUpdateTimer: 360\r\n"
            "KanaMatch: 0\r\n");
}

TEST(EnvFile, RoundTripGivesAnEqualRecordOfWhatCanBeStoredWithHistoriesCut) {
  EnvDlgInfo noHistory = Rich();
  noHistory.TopDirNumMax = 0;
  noHistory.ExecListNumMax = -4;
  EnvDlgInfo empty = Rich();
  empty.AnyDirs.clear();
  empty.StaticItems.clear();
  EnvDlgInfo longer = Rich();
  longer.TopDirs.push_back("C:\\d.exe");
  const struct Case { const char* name; EnvDlgInfo info; Lines topDirs, execList; } cases[] = {
      {"defaults", Loaded(), {}, {}}, {"rich", longer, Rich().TopDirs, Rich().ExecList},
      {"no history kept", noHistory, {}, {}}, {"empty lists", empty, Rich().TopDirs, Rich().ExecList}};
  for (const Case& c : cases) {
    const std::string bytes = tarn::WriteEnvFile(c.info);
    tarn::EnvReadNotes notes;
    const EnvDlgInfo back = Read(bytes, &notes);
    EnvDlgInfo expected = c.info;
    expected.TopDirs = c.topDirs;
    expected.ExecList = c.execList;
    EXPECT_EQ(back, expected) << c.name;
    EXPECT_EQ(notes.Total, 0u) << c.name;
    std::string lf = bytes;
    std::erase(lf, '\r');
    EXPECT_EQ(Read(lf), back) << c.name;
  }
  EXPECT_NE(tarn::WriteEnvFile(noHistory).find("TopDirNumMax: 0\r\nTopDirs-S:\r\nTopDirs-E:\r\n"), std::string::npos);
  // Ctrl+Z ends the file as a text-mode stream would.
  EXPECT_EQ(Read("\x1A" + tarn::WriteEnvFile(Rich())), Loaded());
  // The writer leaves out what no reader could take back.
  EnvDlgInfo info = Loaded();
  info.AnyDirs = {"AnyDirs-E:", "", "a\nb", std::string(260, 'z'), "C:\\ok", "TopDirs-E:"};
  info.StaticItems = {{"two\nlines", "cmd\x1A", false, false}, {std::string(260, 'n'), "c", true, true}};
  EnvDlgInfo expected = info;
  expected.AnyDirs = {"C:\\ok", "TopDirs-E:"};
  expected.StaticItems = {{"twolines", "cmd", false, false}};
  EXPECT_EQ(Read(tarn::WriteEnvFile(info)), expected);
}

TEST(EnvFile, StaticItemsAreReadByPositionInGroupsOfFour) {
  // Spaces kept, nothing after a separator, keys not looked at, a blank line
  // that shifts nothing, an overlong name that costs only its item, 259
  // bytes that fit, and a group cut short by the end marker.
  const std::string n259(259, 'n'), c259(259, 'c');
  const Lines section = {"junk", "", "StaticItem-S:",
                         "Name: a  b c ", "Command:  x %1", "UseUrlEncode: 1", "", "UseUTF8: 0",
                         "Command: ", "Name:", "UseUTF8: 0", "UseUrlEncode: 1",
                         "Name: " + std::string(10000, 'n'), "Command: b", "UseUrlEncode: 1", "UseUTF8: 0",
                         "Name: " + n259, "Command: " + c259, "UseUrlEncode: 0", "UseUTF8: 1",
                         "Name: c", "Command: d", "StaticItem-E:", "AutocompleteURL: 1"};
  const std::string layout = tarn::WriteEnvFile(Loaded());
  const std::string head = layout.substr(0, layout.find("StaticItem-S:"));
  std::string bytes = head;
  for (const std::string& l : section) bytes += l + "\r\n";
  const EnvDlgInfo info = Read(bytes);
  EXPECT_EQ(info.StaticItems, (std::vector<StaticItem>{
                                  {"a  b c ", " x %1", true, false}, {"", "", false, true}, {n259, c259, false, true}}));
  EXPECT_TRUE(info.AutocompleteURL);
  // No start marker in a newer file: the rest stays at the defaults.
  EnvDlgInfo expected = Loaded();
  expected.StaticItems.clear();
  EXPECT_EQ(Read(head + "AutocompleteURL: 1\r\nDefaultSearchMode: 47\r\nSpaceIsOption: 1\r\nUpdateTimer: 20\r\n"),
            expected);
}

TEST(EnvFile, EachLayoutVersionReadsItsOwnLinesAndKanaMatchOnlyWhereItStands) {
  // Every line is there whatever the version, and a line after the layout too.
  const std::string bytes = tarn::WriteEnvFile(Rich()) + "UpdateTimer: 99\r\n";
  struct Case { std::string version; int reads; };
  const Case cases[] = {{"0129", 100}, {"0130", 130}, {"0170", 170}, {"0200", 200},
                        {"0300", 200}, {"abc", 200},  {"", 200}};  // an unreadable version is the writer's own
  const EnvDlgInfo def = Loaded();
  for (const Case& c : cases) {
    EnvDlgInfo want = Rich();
    if (c.reads < 130) {
      want.SrchDirFlg.Path = def.SrchDirFlg.Path;  // six flags then: Path keeps its default
      want.StaticItems = def.StaticItems;
      want.AutocompleteURL = false;
    }
    if (c.reads < 170) {
      want.DefaultSearchMode = 0;
      want.SpaceIsOption = false;
    }
    if (c.reads < 200) {
      want.UpdateTimer = def.UpdateTimer;
      want.KanaMatch = false;
    }
    EXPECT_EQ(Read(WithLine(bytes, "Bre_EnvDlgInfo-Version:", "Bre_EnvDlgInfo-Version: " + c.version)), want)
        << c.version;
  }
  // KanaMatch is a line after the last, off unless read sound.
  const std::string head = tarn::WriteEnvFile(Loaded());
  const std::string layout = head.substr(0, head.find("KanaMatch: "));
  EXPECT_TRUE(tarn::WriteEnvFile(Rich()).ends_with("UpdateTimer: 9999\r\nKanaMatch: 1\r\n"));
  const struct Tail { std::string tail; bool kana, noted; } tails[] = {
      {"KanaMatch: 1", true, false}, {"", false, false},  // the last line without its end; before the line existed
      {"Other: 1\r\nKanaMatch: 1\r\n", false, false},    // someone else's text
      {"KanaMatch: 2\r\n", false, true}, {"KanaMatch:1\r\n", false, true},
      {"KanaMatch: " + std::string(300, '1') + "\r\n", false, true}};
  for (const Tail& c : tails) {
    tarn::EnvReadNotes notes;
    EXPECT_EQ(Read(layout + c.tail, &notes).KanaMatch, c.kana) << c.tail;
    EXPECT_EQ(notes.Total > 0, c.noted) << c.tail;
  }
}

TEST(EnvFile, BadLinesCostOnlyTheirOwnFields) {
  const std::string longLine(10000, 'x');
  const std::pair<std::string, std::string> damage[] = {
      {"KeySetting", "KeySetting: 0 1 1 -81 1"},             // a negative key code
      {"SrchDirFlg", "SrchDirFlg: 0 0 1 x"},                 // half a flag line
      {"SpeedTuning", "SpeedTuning: 1 1 1 " + longLine},     // an overlong keyed line
      {"D:\\Games", "D:\\Games\r\n" + longLine + "\r\n" + std::string(260, 'x')},  // overlong list entries
      {" lead space", " lead space\r\n\x95\r\na\x01" "b\r\n\x81\x20" "x"},       // broken CP932, control bytes
      {"MainDlgRect", "MainDlgRect: 7 99999999999 30 40"},                     // absurd numbers
      {"AnyDirSubDir", "AnyDirSubDir: 2"},                                     // a flag out of range
      {"UpdateTimer", "UpdateTimer: " + std::string(300, '1')}};               // overlong number line
  std::string bytes = tarn::WriteEnvFile(Rich());
  for (const auto& [key, line] : damage) bytes = WithLine(bytes, key, line);
  tarn::EnvReadNotes notes;
  EnvDlgInfo expected = Rich();
  const EnvDlgInfo def = Loaded();
  expected.HotKey = def.HotKey;
  expected.SrchDirFlg = def.SrchDirFlg;
  expected.SpeedTuning = def.SpeedTuning;
  expected.MainDlgRect = def.MainDlgRect;
  expected.AnyDirSubDir = def.AnyDirSubDir;
  expected.UpdateTimer = def.UpdateTimer;
  EXPECT_EQ(Read(bytes, &notes), expected);
  EXPECT_EQ(notes.Total, 11u);  // each told for the trace
  // Blank lines inside lists are no damage.
  tarn::EnvReadNotes none;
  EXPECT_EQ(Read(WithLine(tarn::WriteEnvFile(Rich()), "D:\\Games", "\r\nD:\\Games\r\n"), &none), Rich());
  EXPECT_EQ(none.Total, 0u);
}

TEST(EnvFile, TruncatedFilesKeepWholeEntriesAndDefaults) {
  const std::string full = tarn::WriteEnvFile(Rich());
  const EnvDlgInfo whole = Read(full), def = Loaded();
  auto isPrefix = [](const auto& part, const auto& all) {
    return part.size() <= all.size() && std::equal(part.begin(), part.end(), all.begin());
  };
  for (std::size_t n = 0; n <= full.size(); ++n) {
    const EnvDlgInfo info = Read(full.substr(0, n));
    // Lists hold whole entries only: a cut entry is not a path of the user's.
    EXPECT_TRUE(isPrefix(info.AnyDirs, whole.AnyDirs) && isPrefix(info.TopDirs, whole.TopDirs) &&
                isPrefix(info.ExecList, whole.ExecList) &&
                (info.StaticItems == def.StaticItems || isPrefix(info.StaticItems, whole.StaticItems))) << n;
    // Cut at a line end: every field is either read whole or at its default.
    EXPECT_TRUE((n && full[n - 1] != '\n') ||
                ((info.HotKey == def.HotKey || info.HotKey == whole.HotKey) &&
                 (info.MainDlgRect == def.MainDlgRect || info.MainDlgRect == whole.MainDlgRect) &&
                 (info.UpdateTimer == def.UpdateTimer || info.UpdateTimer == whole.UpdateTimer))) << n;
  }
}

TEST(EnvFile, OldFormatGivesKeyInitListAndFolders) {
  const struct Case { std::string bytes; uint32_t vkey; bool initList; Lines anyDirs; } cases[] = {
      {"q is the key\r\n0\r\nC:\\A\r\nD:\\表\r\n", 'Q', false, {"C:\\A", "D:\\表"}},
      {"Z\n1\n", 'Z', true, {}}, {"", 'W', false, {}},
      {"7\n0\n", 'W', false, {}}, {"\xB1\n", 'W', false, {}},  // a digit is no letter, nor is half-width kana
      {"a\n\nC:\\A", 'A', true, {"C:\\A"}},  // an empty second line
      {"b\n0\n" + std::string(300, 'p') + "\nC:\\B\n\n", 'B', false, {"C:\\B"}},  // an overlong folder line skipped
      {std::string(3000, 'k') + "\n1\nC:\\C\n", 'W', true, {"C:\\C"}}};
  for (const Case& c : cases) {
    EnvDlgInfo info = Loaded();
    tarn::ReadOldEnvFile(c.bytes, info);
    // Everything else keeps the load defaults.
    EnvDlgInfo expected = Loaded();
    expected.HotKey.VKey = c.vkey;
    expected.SpeedTuning.InitList = c.initList;
    expected.AnyDirs = c.anyDirs;
    EXPECT_EQ(info, expected) << c.bytes;
  }
}

TEST(EnvDialogRules, OkNeedsASourceThenHistorySizesThenTheInterval) {
  // Sources by letter: s Start menu, d desktop, f favourites, r recent, p PATH, n NT-COM, a the user
  // folders with an empty list, A with one folder.
  using P = tarn::EnvProblem;
  const struct Case { std::string sources, top, exec, timer; P problem; } cases[] = {
      {"s", "20", "20", "60", P::kNone}, {"d", "20", "20", "60", P::kNone}, {"f", "20", "20", "60", P::kNone},
      {"r", "20", "20", "60", P::kNone}, {"p", "20", "20", "60", P::kNone}, {"A", "20", "20", "60", P::kNone},
      {"", "20", "20", "60", P::kSources}, {"a", "20", "20", "60", P::kSources}, {"n", "20", "20", "60", P::kSources},
      {"", "100", "20", "9", P::kSources},  // the first that fails
      {"p", "99", "0", "10", P::kNone}, {"p", "0", "99", "9999", P::kNone}, {"p", "100", "20", "60", P::kHistories},
      {"p", "20", "100", "60", P::kHistories}, {"p", "", "20", "60", P::kHistories}, {"p", "20", "+1", "9", P::kHistories},
      {"p", "20", "20", "9", P::kInterval}, {"p", "20", "20", "10000", P::kInterval}, {"p", "20", "20", "", P::kInterval},
      {"pW", "20", "20", "60", P::kHotKey}, {"pW", "20", "20", "9", P::kInterval}};  // W: the key alone
  for (const Case& c : cases) {
    auto has = [&](char k) { return c.sources.find(k) != std::string::npos; };
    EnvDlgInfo info;
    info.SrchDirFlg = {has('s'), has('d'), has('n'), has('a') || has('A'), has('f'), has('r'), has('p')};
    info.AnyDirs = has('A') ? Lines{"C:\\Tools"} : Lines{};
    info.HotKey = {!has('W'), !has('W'), 0, 0, 'W'};
    EXPECT_EQ(tarn::ValidateEnv(info, {c.top, c.exec, c.timer}), c.problem)
        << c.sources << " " << c.top << " " << c.exec << " " << c.timer;
  }
}
