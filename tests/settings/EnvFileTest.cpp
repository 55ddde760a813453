// The settings file layout: writer and reader agree, old layouts keep
// loading, and damaged files cost only what is damaged.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/EnvDlgInfo.h"
#include "settings/EnvFile.h"

namespace {

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

EnvDlgInfo ReadOld(const std::string& bytes) {
  EnvDlgInfo info = Loaded();
  tarn::ReadOldEnvFile(bytes, info);
  return info;
}

std::string Lf(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) s += l + "\n";
  return s;
}

// Everything set away from its defaults, with texts whose trail bytes are
// '\\' (表, ソ) and spaces in the static item texts.
EnvDlgInfo Rich() {
  EnvDlgInfo info;
  info.HotKey = {2, 1, 1, 1, 0x7A};
  info.SrchDirFlg = {false, true, false, true, false, true, false};
  info.SpeedTuning = {true, false, true};
  info.DefaultSearchMode = -93;
  info.AutocompleteURL = true;
  info.SpaceIsOption = true;
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
  info.KanaMatch = true;
  return info;
}

TEST(EnvFile, LoadDefaultsAreWhatAUserWithoutAFileGets) {
  EnvDlgInfo info;
  info.SpaceIsOption = true;
  info.MainDlgRect = {1, 2, 3, 4};
  info.UpdateTimer = 10;
  info.AnyDirs = {"x"};
  ApplyLoadDefaults(info);
  EXPECT_EQ(info.HotKey, (HotKeySetting{1, 1, 0, 0, 87}));
  EXPECT_EQ(info.SrchDirFlg, (SrchDirFlags{true, true, true, false, true, true, true}));
  EXPECT_EQ(info.SpeedTuning, SpeedTuningFlags{});
  EXPECT_EQ(info.TopDirNumMax, 20);
  EXPECT_EQ(info.ExecListNumMax, 20);
  ASSERT_EQ(info.StaticItems.size(), 1u);
  EXPECT_EQ(info.StaticItems[0], (StaticItem{"ファイル名を指定して実行", "%1", false, false}));
  // A second load in one run starts from the same place as the first.
  EXPECT_FALSE(info.SpaceIsOption);
  EXPECT_EQ(info.MainDlgRect, DlgRect{});
  EXPECT_EQ(info.UpdateTimer, 360);
  EXPECT_TRUE(info.AnyDirs.empty());
  EXPECT_TRUE(info.AnyDirSubDir);
}

TEST(EnvFile, WriterProducesTheLayoutLineByLine) {
  EnvDlgInfo info = Loaded();
  info.TopDirs = {"C:\\表.exe"};
  const std::string expected =
      "Bre_EnvDlgInfo-Version: 0200\r\n"
      "Bre_HotKey-Version: 0100\r\n"
      "KeySetting[Alt,Ctrl,Shift,VKey]: 1 1 0 87 0\r\n"
      "SrchDirFlg[StartMenu,DeskTop,NT-COM,Any,Favorites,Recent,Path]: 1 1 1 0 1 1 1 \r\n"
      "SpeedTuning[InitList,Update,LoadIcon]: 0 0 0 \r\n"
      "AnyDirs-S:\r\n"
      "AnyDirs-E:\r\n"
      "TopDirNumMax: 20\r\n"
      "TopDirs-S:\r\n"
      "C:\\\x95\x5C.exe\r\n"
      "TopDirs-E:\r\n"
      "ExecListNumMax: 20\r\n"
      "ExecList-S:\r\n"
      "ExecList-E:\r\n"
      "MainDlgRect[left,top,right,bottom]: -1 -1 -1 -1\r\n"
      "AnyDirSubDir: 1\r\n"
      "StaticItem-S:\r\n"
      "Name: ファイル名を指定して実行\r\n"
      "Command: %1\r\n"
      "UseUrlEncode: 0\r\n"
      "UseUTF8: 0\r\n"
      "StaticItem-E:\r\n"
      "AutocompleteURL: 0\r\n"
      "DefaultSearchMode: 0\r\n"
      "SpaceIsOption: 0\r\n"
      "UpdateTimer: 360\r\n"
      "KanaMatch: 0\r\n";
  EXPECT_EQ(tarn::WriteEnvFile(info), expected);
}

TEST(EnvFile, RoundTripGivesAnEqualRecordWithHistoriesCutToTheirMaxima) {
  struct Case {
    const char* name;
    EnvDlgInfo info;
    std::vector<std::string> topDirs;   // as read back
    std::vector<std::string> execList;  // as read back
  };
  EnvDlgInfo noHistory = Rich();
  noHistory.TopDirNumMax = 0;
  noHistory.ExecListNumMax = -4;
  EnvDlgInfo empty = Rich();
  empty.AnyDirs.clear();
  empty.StaticItems.clear();
  const Case cases[] = {
      {"defaults", Loaded(), {}, {}},
      {"rich", Rich(), {"C:\\a.exe", "C:\\表\\b.exe", "C:\\c.exe"}, Rich().ExecList},
      {"no history kept", noHistory, {}, {}},
      {"empty lists", empty, {"C:\\a.exe", "C:\\表\\b.exe", "C:\\c.exe"}, Rich().ExecList},
  };
  for (const Case& c : cases) {
    std::string bytes = tarn::WriteEnvFile(c.info);
    tarn::EnvReadNotes notes;
    EnvDlgInfo back = Read(bytes, &notes);
    EnvDlgInfo expected = c.info;
    expected.TopDirs = c.topDirs;
    expected.ExecList = c.execList;
    EXPECT_EQ(back, expected) << c.name;
    EXPECT_EQ(notes.Total, 0u) << c.name;
    // Written again, the file is the same to the byte.
    EXPECT_EQ(tarn::WriteEnvFile(back), tarn::WriteEnvFile(expected)) << c.name;
  }
}

TEST(EnvFile, TopDirNumMaxZeroWritesAnEmptySection) {
  EnvDlgInfo info = Rich();
  info.TopDirNumMax = 0;
  std::string bytes = tarn::WriteEnvFile(info);
  EXPECT_NE(bytes.find("TopDirNumMax: 0\r\nTopDirs-S:\r\nTopDirs-E:\r\n"), std::string::npos);
}

TEST(EnvFile, LfOnlyFileReadsLikeCrLf) {
  std::string crlf = tarn::WriteEnvFile(Rich());
  std::string lf;
  for (char c : crlf)
    if (c != '\r') lf += c;
  EnvDlgInfo a = Read(crlf);
  EnvDlgInfo b = Read(lf);
  EXPECT_EQ(a, b);
  EXPECT_EQ(b.AnyDirs, Rich().AnyDirs);
}

// A version 0200 file with the given static item section lines.
std::string WithStatics(const std::vector<std::string>& statics,
                        const std::vector<std::string>& tail = {"AutocompleteURL: 1"}) {
  std::vector<std::string> lines = {
      "Bre_EnvDlgInfo-Version: 0200", "Bre_HotKey-Version: 0100", "K: 1 1 0 87 0",
      "S: 1 1 1 0 1 1 1 ",            "T: 0 0 0 ",                "AnyDirs-S:",
      "AnyDirs-E:",                   "TopDirNumMax: 20",         "TopDirs-S:",
      "TopDirs-E:",                   "ExecListNumMax: 20",       "ExecList-S:",
      "ExecList-E:",                  "M: 1 2 3 4",               "AnyDirSubDir: 1"};
  lines.insert(lines.end(), statics.begin(), statics.end());
  lines.insert(lines.end(), tail.begin(), tail.end());
  return Lf(lines);
}

TEST(EnvFile, StaticItemsAreReadByPositionInGroupsOfFour) {
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    std::vector<StaticItem> items;
  } cases[] = {
      {"spaces kept",
       {"StaticItem-S:", "Name: a  b c ", "Command:  x %1", "UseUrlEncode: 1", "UseUTF8: 0",
        "StaticItem-E:"},
       {{"a  b c ", " x %1", true, false}}},
      {"nothing after the separator",
       {"StaticItem-S:", "Name: ", "Command:", "UseUrlEncode: 0", "UseUTF8: 1", "StaticItem-E:"},
       {{"", "", false, true}}},
      {"wrong keys, read by position",
       {"StaticItem-S:", "Command: first", "Name: second", "UseUTF8: 1", "UseUrlEncode: 0",
        "StaticItem-E:"},
       {{"first", "second", true, false}}},
      {"group cut short by the end marker is dropped",
       {"StaticItem-S:", "Name: a", "Command: b", "UseUrlEncode: 1", "UseUTF8: 1", "Name: c",
        "Command: d", "StaticItem-E:"},
       {{"a", "b", true, true}}},
      {"lines before the start marker are skipped",
       {"junk", "", "StaticItem-S:", "Name: a", "Command: b", "UseUrlEncode: 0", "UseUTF8: 0",
        "StaticItem-E:"},
       {{"a", "b", false, false}}},
      {"a blank line inside does not shift the groups",
       {"StaticItem-S:", "Name: a", "", "Command: b", "UseUrlEncode: 1", "UseUTF8: 0", "Name: c",
        "Command: d", "UseUrlEncode: 0", "UseUTF8: 1", "StaticItem-E:"},
       {{"a", "b", true, false}, {"c", "d", false, true}}},
      {"an overlong name costs only its item",
       {"StaticItem-S:", "Name: " + std::string(10000, 'n'), "Command: b", "UseUrlEncode: 1",
        "UseUTF8: 0", "Name: c", "Command: d", "UseUrlEncode: 0", "UseUTF8: 1", "StaticItem-E:"},
       {{"c", "d", false, true}}},
      {"259 bytes fit",
       {"StaticItem-S:", "Name: " + std::string(259, 'n'), "Command: " + std::string(259, 'c'),
        "UseUrlEncode: 1", "UseUTF8: 0", "StaticItem-E:"},
       {{std::string(259, 'n'), std::string(259, 'c'), true, false}}},
  };
  for (const Case& c : cases) {
    EnvDlgInfo info = Read(WithStatics(c.lines));
    EXPECT_EQ(info.StaticItems, c.items) << c.name;
    EXPECT_TRUE(info.AutocompleteURL) << c.name;
  }
}

TEST(EnvFile, NoStaticItemStartInANewerFileLeavesTheRestAtDefaults) {
  EnvDlgInfo info = Read(WithStatics({}, {"AutocompleteURL: 1", "DefaultSearchMode: 47",
                                          "SpaceIsOption: 1", "UpdateTimer: 20"}));
  EXPECT_TRUE(info.StaticItems.empty());
  EXPECT_FALSE(info.AutocompleteURL);
  EXPECT_EQ(info.DefaultSearchMode, 0);
  EXPECT_FALSE(info.SpaceIsOption);
  EXPECT_EQ(info.UpdateTimer, 360);
  EXPECT_EQ(info.MainDlgRect, (DlgRect{1, 2, 3, 4}));
}

// A file of the given version; line 4 holds the given flags, and every
// later line is present whatever the version.
std::string Versioned(const std::string& version, const std::string& flags) {
  return Lf({"Bre_EnvDlgInfo-Version: " + version, "Bre_HotKey-Version: 0100",
             "KeySetting[Alt,Ctrl,Shift,VKey]: 0 1 1 81 1", "SrchDirFlg: " + flags,
             "SpeedTuning: 1 1 1 ", "AnyDirs-S:", "C:\\x", "AnyDirs-E:", "TopDirNumMax: 5",
             "TopDirs-S:", "C:\\t.exe", "TopDirs-E:", "ExecListNumMax: 6", "ExecList-S:", "w",
             "ExecList-E:", "MainDlgRect: 10 20 30 40", "AnyDirSubDir: 0", "StaticItem-S:",
             "Name: n", "Command: c", "UseUrlEncode: 1", "UseUTF8: 1", "StaticItem-E:",
             "AutocompleteURL: 1", "DefaultSearchMode: 42", "SpaceIsOption: 1", "UpdateTimer: 15",
             "trailing text that no version reads", "UpdateTimer: 99"});
}

TEST(EnvFile, EachLayoutVersionReadsItsOwnLines) {
  struct Case {
    std::string version;
    std::string flags;
    SrchDirFlags srch;
    bool statics;  // static items and AutocompleteURL read
    bool v170;     // DefaultSearchMode and SpaceIsOption read
    bool v200;     // UpdateTimer read
  } cases[] = {
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
    EnvDlgInfo info = Read(Versioned(c.version, c.flags));
    EnvDlgInfo def = Loaded();
    SCOPED_TRACE(c.version);
    EXPECT_EQ(info.HotKey, (HotKeySetting{0, 1, 1, 1, 81}));
    EXPECT_EQ(info.SrchDirFlg, c.srch);
    EXPECT_EQ(info.SpeedTuning, (SpeedTuningFlags{true, true, true}));
    EXPECT_EQ(info.AnyDirs, std::vector<std::string>{"C:\\x"});
    EXPECT_EQ(info.TopDirNumMax, 5);
    EXPECT_EQ(info.TopDirs, std::vector<std::string>{"C:\\t.exe"});
    EXPECT_EQ(info.ExecListNumMax, 6);
    EXPECT_EQ(info.ExecList, std::vector<std::string>{"w"});
    EXPECT_EQ(info.MainDlgRect, (DlgRect{10, 20, 30, 40}));
    EXPECT_FALSE(info.AnyDirSubDir);
    if (c.statics) {
      EXPECT_EQ(info.StaticItems, (std::vector<StaticItem>{{"n", "c", true, true}}));
    } else {
      EXPECT_EQ(info.StaticItems, def.StaticItems);
    }
    EXPECT_EQ(info.AutocompleteURL, c.statics);
    EXPECT_EQ(info.DefaultSearchMode, c.v170 ? 42 : 0);
    EXPECT_EQ(info.SpaceIsOption, c.v170);
    EXPECT_EQ(info.UpdateTimer, c.v200 ? 15 : 360);
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
  struct Case {
    const char* name;
    std::string bytes;
    void (*check)(const EnvDlgInfo&);
  } cases[] = {
      {"overlong keyed line",
       replace("KeySetting[Alt,Ctrl,Shift,VKey]: 0 1 1 81 1", "KeySetting: 0 1 1 81 1 " + longLine),
       [](const EnvDlgInfo& i) { EXPECT_EQ(i.HotKey, (HotKeySetting{1, 1, 0, 0, 87})); }},
      {"overlong list entry",
       replace("C:\\x\n", "C:\\y\n" + longLine + "\nC:\\x\n"),
       [](const EnvDlgInfo& i) { EXPECT_EQ(i.AnyDirs, (std::vector<std::string>{"C:\\y", "C:\\x"})); }},
      {"260-byte list entry", replace("C:\\t.exe\n", std::string(260, 't') + "\nC:\\t.exe\n"),
       [](const EnvDlgInfo& i) { EXPECT_EQ(i.TopDirs, std::vector<std::string>{"C:\\t.exe"}); }},
      {"blank lines inside lists", replace("C:\\x\n", "\nC:\\x\n\n\n"),
       [](const EnvDlgInfo& i) { EXPECT_EQ(i.AnyDirs, std::vector<std::string>{"C:\\x"}); }},
      {"broken CP932 and control bytes in a list",
       replace("w\n", "\x95\n" "a\x01" "b\n" "w\n" "\x81\x20" "x\n"),
       [](const EnvDlgInfo& i) { EXPECT_EQ(i.ExecList, std::vector<std::string>{"w"}); }},
      {"absurd numbers", replace("MainDlgRect: 10 20 30 40", "MainDlgRect: 7 99999999999 30 40"),
       [](const EnvDlgInfo& i) { EXPECT_EQ(i.MainDlgRect, DlgRect{}); }},
      {"negative key code", replace("0 1 1 81 1", "0 1 1 -81 1"),
       [](const EnvDlgInfo& i) { EXPECT_EQ(i.HotKey, (HotKeySetting{1, 1, 0, 0, 87})); }},
      {"half a flag line", replace("SrchDirFlg: 0 0 1 1 0 1 0 ", "SrchDirFlg: 0 0 1 x"),
       [](const EnvDlgInfo& i) {
         EXPECT_EQ(i.SrchDirFlg, (SrchDirFlags{true, true, true, false, true, true, true}));
       }},
      {"flag out of range", replace("AnyDirSubDir: 0", "AnyDirSubDir: 2"),
       [](const EnvDlgInfo& i) { EXPECT_TRUE(i.AnyDirSubDir); }},
      {"overlong number line", replace("UpdateTimer: 15", "UpdateTimer: " + std::string(300, '1')),
       [](const EnvDlgInfo& i) { EXPECT_EQ(i.UpdateTimer, 360); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    tarn::EnvReadNotes notes;
    EnvDlgInfo info = Read(c.bytes, &notes);
    c.check(info);
    // What was skipped is told for the trace; blank lines are no damage.
    EXPECT_EQ(notes.Total > 0, std::string(c.name) != "blank lines inside lists");
    // Every other field is read as in the sound file.
    EnvDlgInfo sound = Read(full);
    info.HotKey = sound.HotKey;
    info.SrchDirFlg = sound.SrchDirFlg;
    info.AnyDirs = sound.AnyDirs;
    info.TopDirs = sound.TopDirs;
    info.ExecList = sound.ExecList;
    info.MainDlgRect = sound.MainDlgRect;
    info.AnyDirSubDir = sound.AnyDirSubDir;
    info.UpdateTimer = sound.UpdateTimer;
    EXPECT_EQ(info, sound);
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
    EnvDlgInfo info = Read(full.substr(0, n));
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
  EXPECT_EQ(whole.UpdateTimer, 9999);
}

TEST(EnvFile, GarbageNeverBreaksTheReaderAndWritesBackSound) {
  std::string noise;
  unsigned x = 12345;
  for (int i = 0; i < 20000; ++i) {
    x = x * 1103515245u + 12345u;
    noise += static_cast<char>(x >> 16);
  }
  const std::string inputs[] = {
      "",
      "\r\n\r\n\r\n",
      std::string(10000, '\n'),
      std::string(10000, 'x'),
      noise,
      Lf({"Bre_EnvDlgInfo-Version: 0200", std::string(10000, '\x95'), "AnyDirs-S:"}) + noise,
      "\x1A" + tarn::WriteEnvFile(Rich()),
  };
  for (const std::string& in : inputs) {
    EnvDlgInfo info = Read(in);
    std::string out = tarn::WriteEnvFile(info);
    EXPECT_EQ(Read(out), info);
  }
  // Ctrl+Z ends the file as a text-mode stream would.
  EXPECT_EQ(Read("\x1A" + tarn::WriteEnvFile(Rich())), Loaded());
}

TEST(EnvFile, WriterLeavesOutWhatNoReaderCouldTakeBack) {
  EnvDlgInfo info = Loaded();
  info.AnyDirs = {"AnyDirs-E:", "", "a\nb", std::string(260, 'z'), "C:\\ok", "TopDirs-E:"};
  info.StaticItems = {{"two\nlines", "cmd\x1A", false, false}, {std::string(260, 'n'), "c", true, true}};
  EnvDlgInfo back = Read(tarn::WriteEnvFile(info));
  EXPECT_EQ(back.AnyDirs, (std::vector<std::string>{"C:\\ok", "TopDirs-E:"}));
  EXPECT_EQ(back.StaticItems, (std::vector<StaticItem>{{"twolines", "cmd", false, false}}));
  EXPECT_EQ(back.MainDlgRect, info.MainDlgRect);
  EXPECT_EQ(back.UpdateTimer, info.UpdateTimer);
}

TEST(EnvFile, KanaMatchIsALineAfterTheLastAndOffUnlessReadSound) {
  const std::string head = tarn::WriteEnvFile(Loaded());
  const std::string layout = head.substr(0, head.find("KanaMatch: "));
  EnvDlgInfo on = Rich();
  EXPECT_TRUE(tarn::WriteEnvFile(on).ends_with("UpdateTimer: 9999\r\nKanaMatch: 1\r\n"));
  EXPECT_TRUE(Read(tarn::WriteEnvFile(on)).KanaMatch);
  struct Case { std::string tail; bool kana; bool noted; } cases[] = {
      {"KanaMatch: 1\r\n", true, false},
      {"KanaMatch: 1", true, false},
      {"KanaMatch: 0\r\n", false, false},
      {"", false, false},                       // written before the line existed
      {"Other: 1\r\nKanaMatch: 1\r\n", false, false},  // someone else's text
      {"KanaMatch: 2\r\n", false, true},
      {"KanaMatch: on\r\n", false, true},
      {"KanaMatch:1\r\n", false, true},
      {"KanaMatch: " + std::string(300, '1') + "\r\n", false, true},
  };
  for (const Case& c : cases) {
    tarn::EnvReadNotes notes;
    const EnvDlgInfo info = Read(layout + c.tail, &notes);
    EXPECT_EQ(info.KanaMatch, c.kana) << c.tail;
    EXPECT_EQ(notes.Total > 0, c.noted) << c.tail;
  }
  // Only the newest layout reaches it.
  std::string old = layout + "KanaMatch: 1\r\n";
  old.replace(old.find("0200"), 4, "0170");
  EXPECT_FALSE(Read(old).KanaMatch);
}

TEST(EnvFile, OldFormatGivesKeyInitListAndFolders) {
  struct Case {
    const char* name;
    std::string bytes;
    uint32_t vkey;
    bool initList;
    std::vector<std::string> anyDirs;
  } cases[] = {
      {"letter", "q is the key\r\n0\r\nC:\\A\r\nD:\\表\r\n", 'Q', false, {"C:\\A", "D:\\表"}},
      {"upper letter", "Z\n1\n", 'Z', true, {}},
      {"digit", "7\n0\n", 'W', false, {}},
      {"half-width kana is no letter", "\xB1\n", 'W', false, {}},
      {"empty second line", "a\n\nC:\\A", 'A', true, {"C:\\A"}},
      {"empty file", "", 'W', false, {}},
      {"overlong folder line skipped", "b\n0\n" + std::string(300, 'p') + "\nC:\\B\n\n", 'B', false,
       {"C:\\B"}},
      {"overlong first line", std::string(3000, 'k') + "\n1\nC:\\C\n", 'W', true, {"C:\\C"}},
  };
  for (const Case& c : cases) {
    EnvDlgInfo info = ReadOld(c.bytes);
    EXPECT_EQ(info.HotKey.VKey, c.vkey) << c.name;
    EXPECT_EQ(info.SpeedTuning.InitList, c.initList) << c.name;
    EXPECT_EQ(info.AnyDirs, c.anyDirs) << c.name;
    // Everything else keeps the load defaults.
    EnvDlgInfo rest = info;
    rest.HotKey.VKey = 'W';
    rest.SpeedTuning.InitList = false;
    rest.AnyDirs.clear();
    EXPECT_EQ(rest, Loaded()) << c.name;
  }
}

}  // namespace
