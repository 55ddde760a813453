// What a collection pass walks and in which order, which names it keeps,
// and the folder walk itself over an injected directory lister. No system
// calls here: the Windows side lists folders and writes the cache file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "search/AppEntry.h"
#include "search/CollectSettings.h"

namespace tarn {

enum class CollectSource { None, StartMenu, DeskTop, NtCom, Any, Favorites, Recent, Path };

bool SourceOn(const SrchDirFlags& flags, CollectSource source);

// One row of the shell folder table. An all-users row (source NtCom) names
// the user's folder it belongs with.
struct SpecialFolderRow {
  int Csidl;
  CollectSource Source;
  CollectSource PairedWith;
};

// The rows for the running Windows family, in scanning order.
std::vector<SpecialFolderRow> SpecialFolderTable(bool ntFamily);

struct SpecialFolder {
  std::string Path;
  CollectSource Source = CollectSource::None;
  CollectSource PairedWith = CollectSource::None;
};

inline constexpr std::string_view kDefaultExecPatterns = "*.COM;*.EXE;*.BAT;*.CMD";
inline constexpr std::string_view kAllFilesPattern = "*.*";

// ".exe;.lnk" -> "*.exe;*.lnk": every '.' (a character, never a trail
// byte) becomes "*.".
std::string DotsToPatterns(std::string_view extensions);

// Patterns for PATH directories from the PATHEXT value; the default set
// when it is empty.
std::string ExecPatternsFromPathExt(std::string_view pathext);

// The non-empty pieces of a PATH value between ';', with their quotes taken
// out: "C:\Program Files\Tool" names the folder, and a ';' between quotes is
// part of one. Blanks and %VARIABLES% stay.
PathList SplitPathDirs(std::string_view pathValue);

// An AnyDirs entry "D:\Tools;.exe;.lnk": the folder before the first ';'
// and the patterns built from the rest; the executable patterns when there
// is no ';'.
struct AnyDirEntry {
  std::string Folder;
  std::string Patterns;
};
AnyDirEntry SplitAnyDirEntry(std::string_view entry, std::string_view execPatterns);

// One folder to walk.
struct ScanJob {
  std::string Folder;
  std::string Patterns;
  bool Recursive = false;

  bool operator==(const ScanJob&) const = default;
};

// Every folder a pass walks, in order: special folders (an all-users folder
// right after the user's folder of the same kind, NT family only), then the
// PATH directories, then the user folders.
std::vector<ScanJob> PlanCollection(const CollectSettings& settings,
                                    const std::vector<SpecialFolder>& specialFolders,
                                    const PathList& pathDirs, std::string_view execPatterns,
                                    bool ntFamily);

// The shell's wildcard rules on a ';'-separated pattern list: '*' any run,
// '?' any one character, single-byte letters without regard to case,
// leading blanks of each pattern ignored, the whole path against each one.
bool MatchSpec(std::string_view path, std::string_view patterns);

// File attributes as the platform defines them.
inline constexpr uint32_t kAttrHidden = 0x2;
inline constexpr uint32_t kAttrDirectory = 0x10;
inline constexpr uint32_t kAttrTemporary = 0x100;
inline constexpr uint32_t kAttrReparsePoint = 0x400;
inline constexpr uint32_t kAttrOffline = 0x1000;
// Folders, hidden, temporary and offline files never become candidates.
inline constexpr uint32_t kSkipFileMask = kAttrDirectory | kAttrHidden | kAttrTemporary | kAttrOffline;

// Longest path the platform's 260-byte buffers hold.
inline constexpr std::size_t kMaxPathBytes = 259;

struct DirEntry {
  std::string Name;
  uint32_t Attributes = 0;
};

struct FolderId {
  uint32_t Volume = 0;
  uint64_t Index = 0;
  bool operator==(const FolderId&) const = default;
};

// What the walk needs from the system.
class WalkHost {
 public:
  virtual ~WalkHost() = default;
  // Lists folder (ending with '\'), "." and ".." included or not; false
  // when it cannot be enumerated.
  virtual bool ListFolder(const std::string& folder, std::vector<DirEntry>& entries) = 0;
  // Identity of a folder, to see a link leading back; false when unknown.
  virtual bool GetFolderId(const std::string& folder, FolderId& id) = 0;
  // A kept path, in order; written to the cache file.
  virtual void Found(const std::string& path) = 0;
  // A path left out, and why.
  virtual void Skipped(const std::string& path, const char* reason) = 0;
};

// Walks one folder: with recursive, every subfolder (hidden and system ones
// too) before the folder's own files. Keeps files passing the attribute
// filter and the patterns ("*.*" keeps all) and appends them to out.
// Paths the cache cannot hold (longer than 259 bytes, control bytes) and
// links back into the folders being walked are left out.
void ScanFolder(std::string_view folder, std::string_view patterns, PathList& out,
                WalkHost& host, bool recursive);

// Runs the jobs in order.
void RunCollection(const std::vector<ScanJob>& jobs, PathList& out, WalkHost& host);

// --- Cache file text: one path per line, CR LF line ends, an empty line
// ends the list.

inline constexpr std::string_view kCacheLineEnd = "\r\n";

// A path the cache may hold: 1 to 259 bytes, no control bytes. Text that
// is not valid CP932 is kept: the rest of the program copes with it, and
// checking it character by character would cost more than reading the file.
bool IsStorablePath(std::string_view path);

void AppendCacheLine(std::string& text, std::string_view path);

// Size in bytes of the cache text that holds these paths.
std::uint64_t CacheTextSize(const PathList& paths);

struct CacheParseResult {
  std::size_t Kept = 0;
  std::size_t Skipped = 0;  // overlong, control bytes, cut last line
};

// Reads lines ending in CR LF, LF or CR up to the first empty line. Lines
// that are no storable path are skipped and reading goes on; a last line
// without its line end is a cut write and is skipped too.
// The paths are views into text: no copy of any path.
using PathViews = std::vector<std::string_view>;
CacheParseResult ParseCacheText(std::string_view text, PathViews& out);

}  // namespace tarn
