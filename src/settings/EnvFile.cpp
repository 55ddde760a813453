#include "settings/EnvFile.h"

#include <charconv>
#include <cstdint>

#include "base/Cp932.h"

namespace tarn {

namespace {

constexpr std::string_view kVersionKey = "Bre_EnvDlgInfo-Version: ";
constexpr std::string_view kHotKeyVersionKey = "Bre_HotKey-Version: ";
constexpr std::string_view kKeySettingKey = "KeySetting[Alt,Ctrl,Shift,VKey]: ";
constexpr std::string_view kSrchDirFlgKey =
    "SrchDirFlg[StartMenu,DeskTop,NT-COM,Any,Favorites,Recent,Path]: ";
constexpr std::string_view kSpeedTuningKey = "SpeedTuning[InitList,Update,LoadIcon]: ";
constexpr std::string_view kAnyDirsStart = "AnyDirs-S:";
constexpr std::string_view kAnyDirsEnd = "AnyDirs-E:";
constexpr std::string_view kTopDirNumMaxKey = "TopDirNumMax: ";
constexpr std::string_view kTopDirsStart = "TopDirs-S:";
constexpr std::string_view kTopDirsEnd = "TopDirs-E:";
constexpr std::string_view kExecListNumMaxKey = "ExecListNumMax: ";
constexpr std::string_view kExecListStart = "ExecList-S:";
constexpr std::string_view kExecListEnd = "ExecList-E:";
constexpr std::string_view kMainDlgRectKey = "MainDlgRect[left,top,right,bottom]: ";
constexpr std::string_view kAnyDirSubDirKey = "AnyDirSubDir: ";
constexpr std::string_view kStaticStart = "StaticItem-S:";
constexpr std::string_view kStaticEnd = "StaticItem-E:";
constexpr std::string_view kNameKey = "Name: ";
constexpr std::string_view kCommandKey = "Command: ";
constexpr std::string_view kUseUrlEncodeKey = "UseUrlEncode: ";
constexpr std::string_view kUseUtf8Key = "UseUTF8: ";
constexpr std::string_view kAutocompleteUrlKey = "AutocompleteURL: ";
constexpr std::string_view kDefaultSearchModeKey = "DefaultSearchMode: ";
constexpr std::string_view kSpaceIsOptionKey = "SpaceIsOption: ";
constexpr std::string_view kUpdateTimerKey = "UpdateTimer: ";
constexpr std::string_view kKanaMatchKey = "KanaMatch: ";

// Lines as a text-mode stream of the platform delivers them: LF or CR LF
// ends a line, Ctrl+Z ends the file, and a line ends at a NUL byte as a
// C string would. None of these bytes can be a CP932 trail byte.
class LineReader {
 public:
  explicit LineReader(std::string_view bytes) : Data(bytes.substr(0, bytes.find('\x1A'))) {}

  bool Next(std::string_view& line) {
    if (Pos >= Data.size()) return false;
    std::size_t nl = Data.find('\n', Pos);
    std::size_t end = nl == std::string_view::npos ? Data.size() : nl;
    line = Data.substr(Pos, end - Pos);
    Pos = nl == std::string_view::npos ? Data.size() : nl + 1;
    Ended = nl != std::string_view::npos;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = line.substr(0, line.find('\0'));
    ++Line;
    return true;
  }

  std::size_t LineNo() const { return Line; }
  // False when the last line ran into the end of the file without a line
  // end: inside a section, where an end marker must still follow, that is
  // the cut tail of a truncated file.
  bool Terminated() const { return Ended; }

 private:
  std::string_view Data;
  std::size_t Pos = 0;
  std::size_t Line = 0;
  bool Ended = true;
};

constexpr bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Reads whitespace-separated numbers after the first word of a keyed line,
// the way a stream would: once one value fails, every later one fails too.
class ValueReader {
 public:
  explicit ValueReader(std::string_view line) : Text(line) {
    SkipSpace();
    if (At == Text.size()) Failed = true;
    while (At < Text.size() && !IsSpace(Text[At])) ++At;
  }

  bool Int(int64_t lo, int64_t hi, int64_t& out) {
    if (Failed) return false;
    SkipSpace();
    std::size_t j = At;
    bool negative = false;
    if (j < Text.size() && (Text[j] == '+' || Text[j] == '-')) negative = Text[j++] == '-';
    std::size_t digits = j;
    int64_t v = 0;
    bool overflow = false;
    while (j < Text.size() && Text[j] >= '0' && Text[j] <= '9') {
      if (v > (INT64_MAX - 9) / 10) overflow = true;
      else v = v * 10 + (Text[j] - '0');
      ++j;
    }
    if (j == digits || overflow) return Fail();
    if (negative) v = -v;
    if (v < lo || v > hi) return Fail();
    At = j;
    out = v;
    return true;
  }

  bool Int32(int32_t& field) {
    int64_t v;
    if (!Int(INT32_MIN, INT32_MAX, v)) return false;
    field = static_cast<int32_t>(v);
    return true;
  }
  bool UInt32(uint32_t& field) {
    int64_t v;
    if (!Int(0, UINT32_MAX, v)) return false;
    field = static_cast<uint32_t>(v);
    return true;
  }
  bool Flag(bool& field) {
    int64_t v;
    if (!Int(0, 1, v)) return false;
    field = v != 0;
    return true;
  }

 private:
  void SkipSpace() {
    while (At < Text.size() && IsSpace(Text[At])) ++At;
  }
  bool Fail() {
    Failed = true;
    return false;
  }

  std::string_view Text;
  std::size_t At = 0;
  bool Failed = false;
};

// The text after the first word and the one separator character after it.
std::string_view TextAfterKey(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size() && IsSpace(line[i])) ++i;
  while (i < line.size() && !IsSpace(line[i])) ++i;
  if (i < line.size()) ++i;
  return line.substr(i);
}

class EnvReader {
 public:
  EnvReader(std::string_view bytes, EnvDlgInfo& info, EnvReadNotes* notes)
      : Lines(bytes), Info(info), Notes(notes) {}

  int Read() {
    std::string_view line;
    int version = kEnvFileVersion;
    if (!Lines.Next(line)) return version;
    {
      int64_t v;
      ValueReader values(line);
      if (line.size() <= kMaxEnvKeyedLine && values.Int(INT32_MIN, INT32_MAX, v)) {
        // Later layouts only add lines at the end: read what this one knows.
        version = v > kEnvFileVersion ? kEnvFileVersion : static_cast<int>(v);
      } else {
        Note("unreadable version, read as 0200");
      }
    }
    const bool has130 = version >= 130;

    if (!Lines.Next(line)) return version;  // the hotkey layout version is not used
    if (!Keyed(line)) return version;
    if (LineOk) {
      // Lines of several values are taken whole or not at all: half a
      // hotkey or half a rectangle is a setting the user never had.
      ValueReader v(line);
      HotKeySetting k = Info.HotKey;
      if (v.Int32(k.Alt) && v.Int32(k.Ctrl) && v.Int32(k.Shift) && v.UInt32(k.VKey) && v.Int32(k.Win))
        Info.HotKey = k;
      else
        BadValue();
    }
    if (!Keyed(line)) return version;
    if (LineOk) {
      ValueReader v(line);
      SrchDirFlags f = Info.SrchDirFlg;
      if (v.Flag(f.StartMenu) && v.Flag(f.DeskTop) && v.Flag(f.NtCom) && v.Flag(f.Any) &&
          v.Flag(f.Favorites) && v.Flag(f.Recent) && (!has130 || v.Flag(f.Path)))
        Info.SrchDirFlg = f;
      else
        BadValue();
    }
    if (!Keyed(line)) return version;
    if (LineOk) {
      ValueReader v(line);
      SpeedTuningFlags f = Info.SpeedTuning;
      if (v.Flag(f.InitList) && v.Flag(f.Update) && v.Flag(f.LoadIcon))
        Info.SpeedTuning = f;
      else
        BadValue();
    }

    if (!Lines.Next(line)) return version;  // "AnyDirs-S:"
    if (!List(kAnyDirsEnd, Info.AnyDirs)) return version;
    if (!Int32Line(Info.TopDirNumMax)) return version;
    if (!Lines.Next(line)) return version;  // "TopDirs-S:"
    if (!List(kTopDirsEnd, Info.TopDirs)) return version;
    if (!Int32Line(Info.ExecListNumMax)) return version;
    if (!Lines.Next(line)) return version;  // "ExecList-S:"
    if (!List(kExecListEnd, Info.ExecList)) return version;
    if (!Keyed(line)) return version;
    if (LineOk) {
      ValueReader v(line);
      DlgRect rc = Info.MainDlgRect;
      if (v.Int32(rc.left) && v.Int32(rc.top) && v.Int32(rc.right) && v.Int32(rc.bottom))
        Info.MainDlgRect = rc;
      else
        BadValue();
    }
    if (!FlagLine(Info.AnyDirSubDir)) return version;
    if (!has130) return version;

    if (!StaticItems()) return version;
    if (!FlagLine(Info.AutocompleteURL)) return version;
    if (version < 170) return version;
    if (!Int32Line(Info.DefaultSearchMode)) return version;
    if (!FlagLine(Info.SpaceIsOption)) return version;
    if (version < 200) return version;
    if (Int32Line(Info.UpdateTimer)) KanaMatchLine();
    return version;
  }

 private:
  // Takes the next keyed line; LineOk tells whether it is short enough to be
  // read. Answers false at the end of the file.
  bool Keyed(std::string_view& line) {
    if (!Lines.Next(line)) return false;
    LineOk = line.size() <= kMaxEnvKeyedLine;
    if (!LineOk) Note("overlong line skipped");
    return true;
  }

  // One keyed line holding one value, read by the given ValueReader member.
  template <typename T>
  bool ValueLine(T& field, bool (ValueReader::*read)(T&)) {
    std::string_view line;
    if (!Keyed(line)) return false;
    if (LineOk) {
      ValueReader v(line);
      if (!(v.*read)(field)) BadValue();
    }
    return true;
  }
  bool Int32Line(int32_t& field) { return ValueLine(field, &ValueReader::Int32); }
  bool FlagLine(bool& field) { return ValueLine(field, &ValueReader::Flag); }

  // A list section up to its end marker; blank lines inside are skipped,
  // so that a stray one does not end the section and shift every later
  // line. Answers false when the file ends first.
  bool List(std::string_view endMarker, std::vector<std::string>& list) {
    list.clear();
    std::string_view line;
    while (Lines.Next(line)) {
      if (line == endMarker) return true;
      if (!Lines.Terminated()) break;
      if (line.empty()) continue;
      if (!IsStorableListEntry(line, endMarker)) {
        Note(line.size() > kMaxEnvTextLength ? "overlong list entry skipped"
                                             : "damaged list entry skipped");
      } else if (list.size() >= kMaxEnvListEntries) {
        Note("list entry beyond the limit skipped");
      } else {
        list.emplace_back(line);
      }
    }
    Note("file ends inside a list");
    return false;
  }

  // Groups of four lines taken by position: name, command, two flags.
  bool StaticItems() {
    Info.StaticItems.clear();
    std::string_view line;
    for (;;) {
      if (!Lines.Next(line)) return false;
      if (line == kStaticStart) break;
    }
    StaticItem item;
    int pos = 0;
    bool sound = true;
    for (;;) {
      if (!Lines.Next(line)) return false;
      if (line == kStaticEnd) return true;
      if (!Lines.Terminated()) return false;
      if (line.empty()) continue;
      switch (pos) {
        case 0:
        case 1: {
          std::string_view text = TextAfterKey(line);
          if (text.size() > kMaxEnvTextLength) {
            Note("overlong static item line, item skipped");
            sound = false;
          } else {
            (pos == 0 ? item.Name : item.Command) = text;
          }
          break;
        }
        case 2:
        case 3: {
          bool& field = pos == 2 ? item.UseUrlEncode : item.UseUTF8;
          if (line.size() > kMaxEnvKeyedLine) {
            Note("overlong line skipped");
          } else {
            ValueReader v(line);
            if (!v.Flag(field)) BadValue();
          }
          break;
        }
      }
      if (++pos == 4) {
        if (sound && Info.StaticItems.size() >= kMaxEnvListEntries) {
          Note("static item beyond the limit skipped");
        } else if (sound) {
          Info.StaticItems.push_back(item);
        }
        item = StaticItem{};
        pos = 0;
        sound = true;
      }
    }
  }

  // Added after the last line of the layout without a new version, so that
  // older readers pass over it: read only where its key stands; any other
  // text there is none of ours.
  void KanaMatchLine() {
    std::string_view line;
    const std::string_view key = kKanaMatchKey.substr(0, kKanaMatchKey.size() - 1);
    if (!Lines.Next(line) || line.substr(0, key.size()) != key) return;
    if (line.size() > kMaxEnvKeyedLine) {
      Note("overlong line skipped");
      return;
    }
    ValueReader v(line);
    if (!v.Flag(Info.KanaMatch)) BadValue();
  }

  void BadValue() { Note("value not read, field unchanged"); }
  void Note(std::string_view what) {
    if (Notes) Notes->Add(Lines.LineNo(), what);
  }

  LineReader Lines;
  EnvDlgInfo& Info;
  EnvReadNotes* Notes;
  bool LineOk = false;
};

void PutLine(std::string& out, std::string_view key, std::string_view value = {}) {
  out += key;
  out += value;
  out += "\r\n";
}

std::string Number(int64_t v) {
  char buf[24];
  auto res = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, res.ptr);
}

std::string Flags(std::initializer_list<bool> flags) {
  std::string s;
  for (bool f : flags) s += f ? "1 " : "0 ";
  return s;
}

// A static item text with the bytes removed that would end its line (or the
// file) early.
std::string LineSafe(std::string_view text) {
  std::string s;
  for (char c : text)
    if (c != '\n' && c != '\0' && c != '\x1A') s += c;
  return s;
}

void PutList(std::string& out, std::string_view start, std::string_view end,
             const std::vector<std::string>& list, std::size_t count) {
  PutLine(out, start);
  for (std::size_t i = 0; i < count && i < list.size(); ++i)
    if (IsStorableListEntry(list[i], end)) PutLine(out, list[i]);
  PutLine(out, end);
}

std::size_t HistoryCount(int32_t max) { return max > 0 ? static_cast<std::size_t>(max) : 0; }

}  // namespace

void EnvReadNotes::Add(std::size_t lineNo, std::string_view what) {
  ++Total;
  if (Kept.size() < kKept) Kept.push_back("line " + std::to_string(lineNo) + ": " + std::string(what));
}

bool IsStorableListEntry(std::string_view entry, std::string_view endMarker) {
  if (entry.empty() || entry.size() > kMaxEnvTextLength || entry == endMarker) return false;
  for (char c : entry)
    if (static_cast<unsigned char>(c) < 0x20) return false;
  if (!IsValidCp932(entry)) return false;
  // A lead byte without its trail byte would join the line end.
  std::size_t last = LastCharStart(entry);
  return !(last == entry.size() - 1 && IsLeadByte(entry[last]));
}

int ReadEnvFile(std::string_view bytes, EnvDlgInfo& info, EnvReadNotes* notes) {
  return EnvReader(bytes, info, notes).Read();
}

std::string WriteEnvFile(const EnvDlgInfo& info) {
  std::string out;
  out.reserve(4096);
  PutLine(out, kVersionKey, "0200");
  PutLine(out, kHotKeyVersionKey, "0100");
  const HotKeySetting& k = info.HotKey;
  PutLine(out, kKeySettingKey,
          Number(k.Alt) + ' ' + Number(k.Ctrl) + ' ' + Number(k.Shift) + ' ' + Number(k.VKey) + ' ' +
              Number(k.Win));
  const SrchDirFlags& f = info.SrchDirFlg;
  PutLine(out, kSrchDirFlgKey,
          Flags({f.StartMenu, f.DeskTop, f.NtCom, f.Any, f.Favorites, f.Recent, f.Path}));
  const SpeedTuningFlags& t = info.SpeedTuning;
  PutLine(out, kSpeedTuningKey, Flags({t.InitList, t.Update, t.LoadIcon}));
  PutList(out, kAnyDirsStart, kAnyDirsEnd, info.AnyDirs, info.AnyDirs.size());
  PutLine(out, kTopDirNumMaxKey, Number(info.TopDirNumMax));
  PutList(out, kTopDirsStart, kTopDirsEnd, info.TopDirs, HistoryCount(info.TopDirNumMax));
  PutLine(out, kExecListNumMaxKey, Number(info.ExecListNumMax));
  PutList(out, kExecListStart, kExecListEnd, info.ExecList, HistoryCount(info.ExecListNumMax));
  const DlgRect& rc = info.MainDlgRect;
  PutLine(out, kMainDlgRectKey,
          Number(rc.left) + ' ' + Number(rc.top) + ' ' + Number(rc.right) + ' ' + Number(rc.bottom));
  PutLine(out, kAnyDirSubDirKey, info.AnyDirSubDir ? "1" : "0");
  PutLine(out, kStaticStart);
  for (const StaticItem& item : info.StaticItems) {
    std::string name = LineSafe(item.Name);
    std::string command = LineSafe(item.Command);
    // The reader would drop such an item; writing it would only cost lines.
    if (name.size() > kMaxEnvTextLength || command.size() > kMaxEnvTextLength) continue;
    PutLine(out, kNameKey, name);
    PutLine(out, kCommandKey, command);
    PutLine(out, kUseUrlEncodeKey, item.UseUrlEncode ? "1" : "0");
    PutLine(out, kUseUtf8Key, item.UseUTF8 ? "1" : "0");
  }
  PutLine(out, kStaticEnd);
  PutLine(out, kAutocompleteUrlKey, info.AutocompleteURL ? "1" : "0");
  PutLine(out, kDefaultSearchModeKey, Number(info.DefaultSearchMode));
  PutLine(out, kSpaceIsOptionKey, info.SpaceIsOption ? "1" : "0");
  PutLine(out, kUpdateTimerKey, Number(info.UpdateTimer));
  PutLine(out, kKanaMatchKey, info.KanaMatch ? "1" : "0");
  return out;
}

void ReadOldEnvFile(std::string_view bytes, EnvDlgInfo& info, EnvReadNotes* notes) {
  LineReader r(bytes);
  std::string_view line;
  auto note = [&](std::string_view what) {
    if (notes) notes->Add(r.LineNo(), what);
  };
  if (!r.Next(line)) return;
  if (line.size() > kMaxOldEnvHeadLine) {
    note("overlong line skipped");
  } else {
    // Letters only in the plain ASCII sense: a half-width kana byte is no key.
    char c = line.empty() ? '\0' : line[0];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    info.HotKey.VKey = (c >= 'A' && c <= 'Z') ? static_cast<uint32_t>(c) : 'W';
  }
  if (!r.Next(line)) return;
  if (line.size() > kMaxOldEnvHeadLine) {
    note("overlong line skipped");
  } else {
    info.SpeedTuning.InitList = line.empty() || line[0] != '0';
  }
  info.AnyDirs.clear();
  while (r.Next(line)) {
    if (line.empty()) continue;
    if (!IsStorableListEntry(line, {})) {
      note(line.size() > kMaxEnvTextLength ? "overlong list entry skipped" : "damaged list entry skipped");
    } else if (info.AnyDirs.size() >= kMaxEnvListEntries) {
      note("list entry beyond the limit skipped");
    } else {
      info.AnyDirs.emplace_back(line);
    }
  }
}

}  // namespace tarn
