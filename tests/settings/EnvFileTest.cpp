// The settings file layout: writer and reader agree, old layouts keep
// loading, and damaged files cost only what is damaged.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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

std::string Lf(const Lines& lines) {
  std::string s;
  for (const std::string& l : lines) s += l + "\n";
  return s;
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
  info.TopDirs = {"C:\\a.exe", "C:\\表\\b.exe", "C:\\c.exe", "C:\\d.exe", "C:\\e.exe"};
  info.ExecListNumMax = 99;
  info.ExecList = {"word", "検索 語", " lead space"};
  info.MainDlgRect = {-1200, -5, 300, 2147483647};
  info.StaticItems = {{"Google で検索", "https://www.google.com/search?q=%1", true, true},
                      {"", "", false, true},
                      {"  spaced  name  ", "notepad.exe %1 ", true, false}};
  info.UpdateTimer = 9999;
  return info;
}

// A file of the given version; every line is present whatever the version.
std::string Versioned(const std::string& version, const std::string& flags) {
  return Lf({"Bre_EnvDlgInfo-Version: " + version, "Bre_HotKey-Version: 0100",
             "KeySetting[Alt,Ctrl,Shift,VKey]: 0 1 1 81 1", "SrchDirFlg: " + flags, "SpeedTuning: 1 1 1 ",
             "AnyDirs-S:", "C:\\x", "AnyDirs-E:", "TopDirNumMax: 5", "TopDirs-S:", "C:\\t.exe", "TopDirs-E:",
             "ExecListNumMax: 6", "ExecList-S:", "w", "ExecList-E:", "MainDlgRect: 10 20 30 40", "AnyDirSubDir: 0",
             "StaticItem-S:", "Name: n", "Command: c", "UseUrlEncode: 1", "UseUTF8: 1", "StaticItem-E:",
             "AutocompleteURL: 1", "DefaultSearchMode: 42", "SpaceIsOption: 1", "UpdateTimer: 15",
             "trailing text that no version reads", "UpdateTimer: 99"});
}

// What Versioned() reads as, for a version that reads every line.
EnvDlgInfo VersionedInfo() {
  EnvDlgInfo info = Loaded();
  info.HotKey = {0, 1, 1, 1, 81};
  info.SpeedTuning = {true, true, true};
  info.AnyDirs = {"C:\\x"};
  info.TopDirNumMax = 5;
  info.TopDirs = {"C:\\t.exe"};
  info.ExecListNumMax = 6;
  info.ExecList = {"w"};
  info.MainDlgRect = {10, 20, 30, 40};
  info.AnyDirSubDir = false;
  info.StaticItems = {{"n", "c", true, true}};
  info.AutocompleteURL = info.SpaceIsOption = true;
  info.DefaultSearchMode = 42;
  info.UpdateTimer = 15;
  return info;
}

TEST(EnvFile, LoadDefaultsWrittenLineByLine) {
  // A second load in one run starts from the same place as the first.
  EnvDlgInfo info = Rich();
  ApplyLoadDefaults(info);
  info.TopDirs = {"C:\\表.exe"};
  EXPECT_EQ(tarn::WriteEnvFile(info),
            "Bre_EnvDlgInfo-Version: 0200\r\n"
            "Bre_HotKey-Version: 0100\r\n"
            "KeySetting[Alt,Ctrl,Shift,VKey]: 1 1 0 87 0\r\n"
            "SrchDirFlg[StartMenu,DeskTop,NT-COM,Any,Favorites,Recent,Path]: 1 1 1 0 1 1 1 \r\n"
            "SpeedTuning[InitList,Update,LoadIcon]: 0 0 0 \r\n"
            "AnyDirs-S:\r\nAnyDirs-E:\r\n"
            "TopDirNumMax: 20\r\n"
            "TopDirs-S:\r\nC:\\\x95\x5C.exe\r\nTopDirs-E:\r\n"
            "ExecListNumMax: 20\r\n"
            "ExecList-S:\r\nExecList-E:\r\n"
            "MainDlgRect[left,top,right,bottom]: -1 -1 -1 -1\r\n"
            "AnyDirSubDir: 1\r\n"
            "StaticItem-S:\r\nName: ファイル名を指定して実行\r\nCommand: %1\r\nUseUrlEncode: 0\r\nUseUTF8: 0\r\n"
            "StaticItem-E:\r\n"
            "AutocompleteURL: 0\r\nDefaultSearchMode: 0\r\nSpaceIsOption: 0\r\nUpdateTimer: 360\r\nKanaMatch: 0\r\n");
}

TEST(EnvFile, RoundTripGivesAnEqualRecordWithHistoriesCutToTheirMaxima) {
  EnvDlgInfo noHistory = Rich();
  noHistory.TopDirNumMax = 0;
  noHistory.ExecListNumMax = -4;
  EnvDlgInfo empty = Rich();
  empty.AnyDirs.clear();
  empty.StaticItems.clear();
  const Lines top3 = {"C:\\a.exe", "C:\\表\\b.exe", "C:\\c.exe"};
  struct Case { const char* name; EnvDlgInfo info; Lines topDirs, execList; };
  const Case cases[] = {{"defaults", Loaded(), {}, {}},
                        {"rich", Rich(), top3, Rich().ExecList},
                        {"no history kept", noHistory, {}, {}},
                        {"empty lists", empty, top3, Rich().ExecList}};
  for (const Case& c : cases) {
    const std::string bytes = tarn::WriteEnvFile(c.info);
    tarn::EnvReadNotes notes;
    const EnvDlgInfo back = Read(bytes, &notes);
    EnvDlgInfo expected = c.info;
    expected.TopDirs = c.topDirs;
    expected.ExecList = c.execList;
    EXPECT_EQ(back, expected) << c.name;
    EXPECT_EQ(notes.total, 0u) << c.name;
    EXPECT_EQ(tarn::WriteEnvFile(back), tarn::WriteEnvFile(expected)) << c.name;
    std::string lf = bytes;
    std::erase(lf, '\r');
    EXPECT_EQ(Read(lf), back) << c.name;
  }
  EXPECT_NE(tarn::WriteEnvFile(noHistory).find("TopDirNumMax: 0\r\nTopDirs-S:\r\nTopDirs-E:\r\n"), std::string::npos);
  // Ctrl+Z ends the file as a text-mode stream would.
  EXPECT_EQ(Read("\x1A" + tarn::WriteEnvFile(Rich())), Loaded());
}

TEST(EnvFile, StaticItemsAreReadByPositionInGroupsOfFour) {
  const std::string n259(259, 'n'), c259(259, 'c');
  struct Case { const char* name; Lines lines; std::vector<StaticItem> items; };
  const Case cases[] = {
      {"spaces kept", {"Name: a  b c ", "Command:  x %1", "UseUrlEncode: 1", "UseUTF8: 0"},
       {{"a  b c ", " x %1", true, false}}},
      {"nothing after the separator", {"Name: ", "Command:", "UseUrlEncode: 0", "UseUTF8: 1"}, {{"", "", false, true}}},
      {"wrong keys, read by position", {"Command: first", "Name: second", "UseUTF8: 1", "UseUrlEncode: 0"},
       {{"first", "second", true, false}}},
      {"a group cut short by the end marker is dropped",
       {"Name: a", "Command: b", "UseUrlEncode: 1", "UseUTF8: 1", "Name: c", "Command: d"}, {{"a", "b", true, true}}},
      {"a blank line inside does not shift the groups",
       {"Name: a", "", "Command: b", "UseUrlEncode: 1", "UseUTF8: 0", "Name: c", "Command: d", "UseUrlEncode: 0",
        "UseUTF8: 1"},
       {{"a", "b", true, false}, {"c", "d", false, true}}},
      {"an overlong name costs only its item",
       {"Name: " + std::string(10000, 'n'), "Command: b", "UseUrlEncode: 1", "UseUTF8: 0", "Name: c", "Command: d",
        "UseUrlEncode: 0", "UseUTF8: 1"},
       {{"c", "d", false, true}}},
      {"259 bytes fit", {"Name: " + n259, "Command: " + c259, "UseUrlEncode: 1", "UseUTF8: 0"},
       {{n259, c259, true, false}}},
  };
  const std::string layout = tarn::WriteEnvFile(Loaded());
  const std::string head = layout.substr(0, layout.find("StaticItem-S:")) + "junk\r\n\r\n";  // skipped
  const std::string tail = "AutocompleteURL: 1\r\n";
  for (const Case& c : cases) {
    Lines section = {"StaticItem-S:"};
    section.insert(section.end(), c.lines.begin(), c.lines.end());
    section.push_back("StaticItem-E:");
    const EnvDlgInfo info = Read(head + Lf(section) + tail);
    EXPECT_EQ(info.StaticItems, c.items) << c.name;
    EXPECT_TRUE(info.AutocompleteURL) << c.name;
  }
  // No start marker in a newer file: the rest stays at the defaults.
  const EnvDlgInfo none = Read(head + tail + "DefaultSearchMode: 47\r\nSpaceIsOption: 1\r\nUpdateTimer: 20\r\n");
  EnvDlgInfo expected = Loaded();
  expected.StaticItems.clear();
  EXPECT_EQ(none, expected);
}

TEST(EnvFile, EachLayoutVersionReadsItsOwnLines) {
  struct Case { std::string version, flags; SrchDirFlags srch; bool statics, v170, v200; };
  const Case cases[] = {
      // Six flags: StartMenu..Recent; Path keeps its default (on).
      {"0100", "0 0 1 1 0 0 ", {false, false, true, true, false, false, true}, false, false, false},
      {"0129", "0 0 1 1 0 0 0 ", {false, false, true, true, false, false, true}, false, false, false},
      {"0130", "0 0 1 1 0 0 0 ", {false, false, true, true, false, false, false}, true, false, false},
      {"0170", "1 0 1 1 0 0 0 ", {true, false, true, true, false, false, false}, true, true, false},
      {"0200", "0 0 1 1 0 1 0 ", {false, false, true, true, false, true, false}, true, true, true},
      {"0300", "0 0 1 1 0 1 0 ", {false, false, true, true, false, true, false}, true, true, true},
      // An unreadable version is the writer's own.
      {"abc", "0 0 1 1 0 1 0 ", {false, false, true, true, false, true, false}, true, true, true},
      {"", "0 0 1 1 0 1 0 ", {false, false, true, true, false, true, false}, true, true, true},
  };
  for (const Case& c : cases) {
    EnvDlgInfo want = VersionedInfo();
    const EnvDlgInfo def = Loaded();
    want.SrchDirFlg = c.srch;
    if (!c.statics) {
      want.StaticItems = def.StaticItems;
      want.AutocompleteURL = false;
    }
    if (!c.v170) {
      want.DefaultSearchMode = 0;
      want.SpaceIsOption = false;
    }
    if (!c.v200) want.UpdateTimer = def.UpdateTimer;
    EXPECT_EQ(Read(Versioned(c.version, c.flags)), want) << c.version;
  }
}

TEST(EnvFile, OneBadLineCostsOnlyItsOwnField) {
  const std::string full = Versioned("0200", "0 0 1 1 0 1 0 ");
  auto replace = [&](const std::string& from, const std::string& to) {
    std::string s = full;
    s.replace(s.find(from), from.size(), to);
    return s;
  };
  const std::string longLine(10000, 'x');
  using Fix = void (*)(EnvDlgInfo&);  // the damaged field as it reads
  struct Case { const char* name; std::string bytes; Fix fix; bool noted = true; };
  const Case cases[] = {
      {"overlong keyed line", replace("KeySetting[Alt,Ctrl,Shift,VKey]: 0 1 1 81 1", "K: 0 1 1 81 1 " + longLine),
       [](EnvDlgInfo& i) { i.HotKey = Loaded().HotKey; }},
      {"overlong list entry", replace("C:\\x\n", "C:\\y\n" + longLine + "\nC:\\x\n"),
       [](EnvDlgInfo& i) { i.AnyDirs = {"C:\\y", "C:\\x"}; }},
      {"260-byte list entry", replace("C:\\t.exe\n", std::string(260, 't') + "\nC:\\t.exe\n"), [](EnvDlgInfo&) {}},
      {"blank lines inside lists", replace("C:\\x\n", "\nC:\\x\n\n\n"), [](EnvDlgInfo&) {}, false},
      {"broken CP932 and control bytes in a list", replace("w\n", "\x95\n" "a\x01" "b\n" "w\n" "\x81\x20" "x\n"),
       [](EnvDlgInfo&) {}},
      {"absurd numbers", replace("MainDlgRect: 10 20 30 40", "MainDlgRect: 7 99999999999 30 40"),
       [](EnvDlgInfo& i) { i.MainDlgRect = {}; }},
      {"negative key code", replace("0 1 1 81 1", "0 1 1 -81 1"), [](EnvDlgInfo& i) { i.HotKey = Loaded().HotKey; }},
      {"half a flag line", replace("SrchDirFlg: 0 0 1 1 0 1 0 ", "SrchDirFlg: 0 0 1 x"),
       [](EnvDlgInfo& i) { i.SrchDirFlg = Loaded().SrchDirFlg; }},
      {"flag out of range", replace("AnyDirSubDir: 0", "AnyDirSubDir: 2"),
       [](EnvDlgInfo& i) { i.AnyDirSubDir = true; }},
      {"overlong number line", replace("UpdateTimer: 15", "UpdateTimer: " + std::string(300, '1')),
       [](EnvDlgInfo& i) { i.UpdateTimer = 360; }},
  };
  const EnvDlgInfo sound = Read(full);
  for (const Case& c : cases) {
    tarn::EnvReadNotes notes;
    EnvDlgInfo expected = sound;
    c.fix(expected);
    EXPECT_EQ(Read(c.bytes, &notes), expected) << c.name;
    EXPECT_EQ(notes.total > 0, c.noted) << c.name;  // skipped lines are told for the trace
  }
}

TEST(EnvFile, TruncatedFilesKeepWholeEntriesAndDefaults) {
  const std::string full = tarn::WriteEnvFile(Rich());
  const EnvDlgInfo whole = Read(full);
  const EnvDlgInfo def = Loaded();
  auto isPrefix = [](const auto& part, const auto& all) {
    return part.size() <= all.size() && std::equal(part.begin(), part.end(), all.begin());
  };
  for (std::size_t n = 0; n <= full.size(); ++n) {
    const EnvDlgInfo info = Read(full.substr(0, n));
    SCOPED_TRACE(n);
    // Lists hold whole entries only: a cut entry is not a path of the user's.
    EXPECT_TRUE(isPrefix(info.AnyDirs, whole.AnyDirs));
    EXPECT_TRUE(isPrefix(info.TopDirs, whole.TopDirs));
    EXPECT_TRUE(isPrefix(info.ExecList, whole.ExecList));
    EXPECT_TRUE(info.StaticItems == def.StaticItems || isPrefix(info.StaticItems, whole.StaticItems));
    if (n == 0 || full[n - 1] == '\n') {
      // Cut at a line end: every field is either read whole or at its default.
      EXPECT_TRUE(info.HotKey == def.HotKey || info.HotKey == whole.HotKey);
      EXPECT_TRUE(info.SrchDirFlg == def.SrchDirFlg || info.SrchDirFlg == whole.SrchDirFlg);
      EXPECT_TRUE(info.MainDlgRect == def.MainDlgRect || info.MainDlgRect == whole.MainDlgRect);
      EXPECT_TRUE(info.UpdateTimer == def.UpdateTimer || info.UpdateTimer == whole.UpdateTimer);
      EXPECT_TRUE(info.DefaultSearchMode == def.DefaultSearchMode ||
                  info.DefaultSearchMode == whole.DefaultSearchMode);
    }
  }
}

TEST(EnvFile, WriterLeavesOutWhatNoReaderCouldTakeBack) {
  EnvDlgInfo info = Loaded();
  info.AnyDirs = {"AnyDirs-E:", "", "a\nb", std::string(260, 'z'), "C:\\ok", "TopDirs-E:"};
  info.StaticItems = {{"two\nlines", "cmd\x1A", false, false}, {std::string(260, 'n'), "c", true, true}};
  EnvDlgInfo expected = info;
  expected.AnyDirs = {"C:\\ok", "TopDirs-E:"};
  expected.StaticItems = {{"twolines", "cmd", false, false}};
  EXPECT_EQ(Read(tarn::WriteEnvFile(info)), expected);
}

TEST(EnvFile, KanaMatchIsALineAfterTheLastAndOffUnlessReadSound) {
  const std::string head = tarn::WriteEnvFile(Loaded());
  const std::string layout = head.substr(0, head.find("KanaMatch: "));
  EXPECT_TRUE(tarn::WriteEnvFile(Rich()).ends_with("UpdateTimer: 9999\r\nKanaMatch: 1\r\n"));
  struct Case { std::string tail; bool kana, noted; };
  const Case cases[] = {
      {"KanaMatch: 1\r\n", true, false}, {"KanaMatch: 1", true, false}, {"KanaMatch: 0\r\n", false, false},
      {"", false, false},                                // written before the line existed
      {"Other: 1\r\nKanaMatch: 1\r\n", false, false},  // someone else's text
      {"KanaMatch: 2\r\n", false, true}, {"KanaMatch: on\r\n", false, true}, {"KanaMatch:1\r\n", false, true},
      {"KanaMatch: " + std::string(300, '1') + "\r\n", false, true},
  };
  for (const Case& c : cases) {
    tarn::EnvReadNotes notes;
    EXPECT_EQ(Read(layout + c.tail, &notes).KanaMatch, c.kana) << c.tail;
    EXPECT_EQ(notes.total > 0, c.noted) << c.tail;
  }
  // Only the newest layout reaches it.
  std::string old = layout + "KanaMatch: 1\r\n";
  old.replace(old.find("0200"), 4, "0170");
  EXPECT_FALSE(Read(old).KanaMatch);
}

TEST(EnvFile, OldFormatGivesKeyInitListAndFolders) {
  struct Case { const char* name; std::string bytes; uint32_t vkey; bool initList; Lines anyDirs; };
  const Case cases[] = {
      {"letter", "q is the key\r\n0\r\nC:\\A\r\nD:\\表\r\n", 'Q', false, {"C:\\A", "D:\\表"}},
      {"upper letter", "Z\n1\n", 'Z', true, {}},
      {"digit", "7\n0\n", 'W', false, {}},
      {"half-width kana is no letter", "\xB1\n", 'W', false, {}},
      {"empty second line", "a\n\nC:\\A", 'A', true, {"C:\\A"}},
      {"empty file", "", 'W', false, {}},
      {"overlong folder line skipped", "b\n0\n" + std::string(300, 'p') + "\nC:\\B\n\n", 'B', false, {"C:\\B"}},
      {"overlong first line", std::string(3000, 'k') + "\n1\nC:\\C\n", 'W', true, {"C:\\C"}},
  };
  for (const Case& c : cases) {
    EnvDlgInfo info = Loaded();
    tarn::ReadOldEnvFile(c.bytes, info);
    // Everything else keeps the load defaults.
    EnvDlgInfo expected = Loaded();
    expected.HotKey.VKey = c.vkey;
    expected.SpeedTuning.InitList = c.initList;
    expected.AnyDirs = c.anyDirs;
    EXPECT_EQ(info, expected) << c.name;
  }
}

}  // namespace
