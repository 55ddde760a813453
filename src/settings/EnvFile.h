// The settings file: the line layout of "tlenv.ini" / "tlenv.txt" (reader
// and writer) and the reader of the oldest file "brenv.txt". Works on the
// file's bytes; lines end with CR LF on disk, and LF alone is accepted too.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "settings/EnvDlgInfo.h"

namespace tarn {

// Layout version the writer produces ("0200").
inline constexpr int kEnvFileVersion = 200;

// Longest text of a list entry, static item name or command (the dialogs'
// 260-byte buffers).
inline constexpr std::size_t kMaxEnvTextLength = 259;
// Longest keyed line the reader takes.
inline constexpr std::size_t kMaxEnvKeyedLine = 255;
// Longest first and second line of "brenv.txt".
inline constexpr std::size_t kMaxOldEnvHeadLine = 2047;
// No list of a real file comes near this; it bounds what a damaged file
// can make us hold.
inline constexpr std::size_t kMaxEnvListEntries = 4096;

// What the reader skipped, for the trace; the first few notes are kept.
struct EnvReadNotes {
  static constexpr std::size_t kKept = 16;
  std::vector<std::string> Kept;
  std::size_t Total = 0;

  void Add(std::size_t lineNo, std::string_view what);
};

// Fills info from a settings file image as far as the file goes; fields
// that are missing or do not parse keep their values. Lists that the file
// holds are replaced. Answers the version it read the file as.
int ReadEnvFile(std::string_view bytes, EnvDlgInfo& info, EnvReadNotes* notes = nullptr);

// The file image of info (version 0200, CR LF line ends; KanaMatch is the
// last line, after the layout's own). TopDirs and
// ExecList are cut to their maxima; entries that no reader could take back
// (empty, control characters, broken CP932, longer than 259 bytes, equal to
// their section's end marker) are left out.
std::string WriteEnvFile(const EnvDlgInfo& info);

// Fills VKey, InitList and AnyDirs from a "brenv.txt" image.
void ReadOldEnvFile(std::string_view bytes, EnvDlgInfo& info, EnvReadNotes* notes = nullptr);

// True when entry can stand as one line of a list section ending with
// endMarker and reads back as itself.
bool IsStorableListEntry(std::string_view entry, std::string_view endMarker);

}  // namespace tarn
