#include "search/CollectSources.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/Cp932.h"

namespace tarn {

bool SourceOn(const SrchDirFlags& f, CollectSource source) {
  switch (source) {
    case CollectSource::StartMenu: return f.StartMenu;
    case CollectSource::DeskTop: return f.DeskTop;
    case CollectSource::NtCom: return f.NtCom;
    case CollectSource::Any: return f.Any;
    case CollectSource::Favorites: return f.Favorites;
    case CollectSource::Recent: return f.Recent;
    case CollectSource::Path: return f.Path;
    case CollectSource::None: break;
  }
  return false;
}

std::vector<SpecialFolderRow> SpecialFolderTable(bool ntFamily) {
  using S = CollectSource;
  constexpr int kDesktopDirectory = 0x10, kCommonDesktopDirectory = 0x19, kStartMenu = 0x0B,
                kCommonStartMenu = 0x16, kFavorites = 0x06, kRecent = 0x08;
  if (ntFamily) {
    return {{kDesktopDirectory, S::DeskTop, S::None},   {kCommonDesktopDirectory, S::NtCom, S::DeskTop},
            {kStartMenu, S::StartMenu, S::None},        {kCommonStartMenu, S::NtCom, S::StartMenu},
            {kFavorites, S::Favorites, S::None},        {kRecent, S::Recent, S::None}};
  }
  return {{kDesktopDirectory, S::DeskTop, S::None},
          {kStartMenu, S::StartMenu, S::None},
          {kFavorites, S::Favorites, S::None},
          {kRecent, S::Recent, S::None}};
}

std::string DotsToPatterns(std::string_view extensions) {
  std::string out;
  out.reserve(extensions.size() + 16);
  for (std::size_t i = 0; i < extensions.size(); i = NextChar(extensions, i)) {
    std::size_t len = CharLength(extensions, i);
    if (len == 1 && extensions[i] == '.') {
      out += "*.";
    } else {
      out.append(extensions.substr(i, len));
    }
  }
  return out;
}

std::string ExecPatternsFromPathExt(std::string_view pathext) {
  if (pathext.empty()) return std::string(kDefaultExecPatterns);
  return DotsToPatterns(pathext);
}

PathList SplitPathDirs(std::string_view value) {
  PathList dirs;
  std::string dir;
  bool quoted = false;
  for (std::size_t i = 0; i <= value.size();) {
    const std::size_t next = NextChar(value, i);
    if (i == value.size() || (value[i] == ';' && !quoted)) {
      if (!dir.empty()) dirs.push_back(std::move(dir));
      dir.clear();
      if (i == value.size()) break;
    } else if (value[i] == '"') {
      quoted = !quoted;
    } else {
      dir.append(value.substr(i, next - i));
    }
    i = next;
  }
  return dirs;
}

AnyDirEntry SplitAnyDirEntry(std::string_view entry, std::string_view execPatterns) {
  std::size_t semi = FindChar(entry, ';');
  if (semi == std::string_view::npos) return {std::string(entry), std::string(execPatterns)};
  return {std::string(entry.substr(0, semi)), DotsToPatterns(entry.substr(semi + 1))};
}

std::vector<ScanJob> PlanCollection(const CollectSettings& settings,
                                    const std::vector<SpecialFolder>& specialFolders,
                                    const PathList& pathDirs, std::string_view execPatterns,
                                    bool ntFamily) {
  const SrchDirFlags& flags = settings.SrchDirFlg;
  std::vector<ScanJob> jobs;
  for (const SpecialFolder& sf : specialFolders) {
    // An all-users folder goes with the user's folder of its kind, decided
    // by the flags rather than by its neighbour in the list, so a user
    // folder the shell could not locate does not shift the pairing.
    bool on = sf.Source == CollectSource::NtCom
                  ? ntFamily && flags.NtCom && SourceOn(flags, sf.PairedWith)
                  : SourceOn(flags, sf.Source);
    if (on && !sf.Path.empty()) jobs.push_back({sf.Path, std::string(kAllFilesPattern), true});
  }
  if (flags.Path) {
    for (const std::string& dir : pathDirs) jobs.push_back({dir, std::string(execPatterns), false});
  }
  if (flags.Any) {
    for (const std::string& entry : settings.AnyDirs) {
      AnyDirEntry e = SplitAnyDirEntry(entry, execPatterns);
      jobs.push_back({std::move(e.Folder), std::move(e.Patterns), settings.AnyDirSubDir});
    }
  }
  return jobs;
}

namespace {

unsigned char FoldAscii(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 0x20 : c; }

bool MatchOne(std::string_view s, std::string_view p) {
  std::size_t si = 0, pi = 0;
  std::size_t starP = std::string_view::npos, starS = 0;
  while (si < s.size()) {
    if (pi < p.size() && p[pi] == '*') {
      starP = pi++;
      starS = si;
      continue;
    }
    if (pi < p.size()) {
      std::size_t pl = CharLength(p, pi), sl = CharLength(s, si);
      bool same;
      if (pl == 1 && p[pi] == '?') {
        same = true;
      } else if (pl != sl) {
        same = false;
      } else if (pl == 1) {
        same = FoldAscii(static_cast<unsigned char>(p[pi])) == FoldAscii(static_cast<unsigned char>(s[si]));
      } else {
        same = p[pi] == s[si] && p[pi + 1] == s[si + 1];
      }
      if (same) {
        si += sl;
        pi += pl;
        continue;
      }
    }
    if (starP == std::string_view::npos) return false;
    // Let the last '*' take one more character and try again.
    starS = NextChar(s, starS);
    si = starS;
    pi = starP + 1;
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

}  // namespace

bool MatchSpec(std::string_view path, std::string_view patterns) {
  std::size_t start = 0;
  while (start < patterns.size()) {
    std::size_t semi = FindChar(patterns, ';', start);
    std::size_t end = semi == std::string_view::npos ? patterns.size() : semi;
    std::string_view one = patterns.substr(start, end - start);
    while (!one.empty() && one.front() == ' ') one.remove_prefix(1);
    if (MatchOne(path, one)) return true;
    if (semi == std::string_view::npos) break;
    start = semi + 1;
  }
  return false;
}

namespace {

class Walker {
 public:
  Walker(std::string_view patterns, PathList& out, WalkHost& host)
      : Patterns(patterns), MatchAll(patterns == kAllFilesPattern), Out(out), Host(host) {}

  void Walk(const std::string& folder, bool recursive) {
    std::vector<DirEntry> entries;
    if (!Host.ListFolder(folder, entries)) return;
    if (recursive) {
      Chain.push_back(Level{folder, false, false, {}});
      for (const DirEntry& e : entries) {
        if (!(e.Attributes & kAttrDirectory) || e.Name == "." || e.Name == "..") continue;
        std::string sub = folder + e.Name + '\\';
        // The folder's listing pattern (sub + "*") must fit the platform's
        // buffers; every file inside would be too long anyway.
        if (sub.size() + 1 > kMaxPathBytes) {
          Host.Skipped(sub, "path too long");
          continue;
        }
        if ((e.Attributes & kAttrReparsePoint) && LeadsBack(sub)) {
          Host.Skipped(sub, "link back into the walked folders");
          continue;
        }
        Walk(sub, true);
      }
      Chain.pop_back();
    }
    for (const DirEntry& e : entries) {
      if (e.Attributes & kSkipFileMask) continue;
      std::string path = folder + e.Name;
      // A control byte would break the cache's line (CR, LF) or end its list.
      if (!IsStorablePath(path)) {
        Host.Skipped(path, path.size() > kMaxPathBytes ? "path too long" : "control byte in the name");
        continue;
      }
      if (!MatchAll && !MatchSpec(path, Patterns)) continue;
      Out.push_back(std::move(path));
      Host.Found(Out.back());
    }
  }

 private:
  struct Level {
    std::string Folder;
    bool Tried = false;
    bool Known = false;
    FolderId Id;
  };

  bool LeadsBack(const std::string& sub) {
    FolderId id;
    if (!Host.GetFolderId(sub, id)) return false;
    for (Level& level : Chain) {
      if (!level.Tried) {
        level.Tried = true;
        level.Known = Host.GetFolderId(level.Folder, level.Id);
      }
      if (level.Known && level.Id == id) return true;
    }
    return false;
  }

  std::string_view Patterns;
  bool MatchAll;
  PathList& Out;
  WalkHost& Host;
  std::vector<Level> Chain;
};

}  // namespace

void ScanFolder(std::string_view folder, std::string_view patterns, PathList& out, WalkHost& host,
                bool recursive) {
  if (folder.empty()) return;
  std::string dir(folder);
  // The last character, not the last byte: "ソフト表" ends in the byte 5C.
  if (!EndsWithChar(dir, '\\') && !EndsWithChar(dir, '/')) dir += '\\';
  if (dir.size() + 1 > kMaxPathBytes) {
    host.Skipped(dir, "path too long");
    return;
  }
  Walker(patterns, out, host).Walk(dir, recursive);
}

void RunCollection(const std::vector<ScanJob>& jobs, PathList& out, WalkHost& host) {
  for (const ScanJob& job : jobs) ScanFolder(job.Folder, job.Patterns, out, host, job.Recursive);
}

namespace {

// One bit for each byte below 0x20 (a line end or another control byte)
// among the 64 from at, or up to n.
inline std::uint64_t ControlMask(const char* data, std::size_t at, std::size_t n) {
#if defined(__SSE2__)
  if (at + 64 <= n) {
    const __m128i limit = _mm_set1_epi8(0x1F);
    auto bits = [&](std::size_t offset) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at + offset));
      return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(v, limit), v))));
    };
    return bits(0) | bits(16) << 16 | bits(32) << 32 | bits(48) << 48;
  }
#endif
  std::uint64_t mask = 0;
  for (std::size_t i = 0; i < 64 && at + i < n; ++i) {
    if (static_cast<unsigned char>(data[at + i]) < 0x20) mask |= std::uint64_t{1} << i;
  }
  return mask;
}

// Index of the first control byte at or after pos; n when there is none.
std::size_t FindControl(const char* data, std::size_t pos, std::size_t n) {
  for (; pos < n; pos += 64) {
    if (const std::uint64_t mask = ControlMask(data, pos, n)) return pos + static_cast<std::size_t>(__builtin_ctzll(mask));
  }
  return n;
}

}  // namespace

bool IsStorablePath(std::string_view path) {
  return !path.empty() && path.size() <= kMaxPathBytes && FindControl(path.data(), 0, path.size()) == path.size();
}

void AppendCacheLine(std::string& text, std::string_view path) {
  text.append(path);
  text.append(kCacheLineEnd);
}

std::uint64_t CacheTextSize(const PathList& paths) {
  std::uint64_t size = 0;
  for (const std::string& p : paths) size += p.size() + kCacheLineEnd.size();
  return size;
}

CacheParseResult ParseCacheText(std::string_view text, PathViews& out) {
  CacheParseResult result;
  // Paths run to about 80 bytes: room for most lists at once.
  out.reserve(out.size() + text.size() / 64);
  const char* data = text.data();
  const std::size_t n = text.size();
  // One walk over the control bytes, 64 bytes at a time: a line costs a few
  // steps beyond its bytes. A line ends at CR LF, LF or CR; any other
  // control byte spoils it.
  std::size_t pos = 0;
  bool bad = false;
  for (std::size_t block = 0; block < n; block += 64) {
    for (std::uint64_t mask = ControlMask(data, block, n); mask; mask &= mask - 1) {
      const std::size_t at = block + static_cast<std::size_t>(__builtin_ctzll(mask));
      if (at < pos) continue;  // the LF of a CR LF across two blocks
      const char c = data[at];
      if (c != '\n' && c != '\r') {
        bad = true;
        continue;
      }
      if (at == pos) return result;  // an empty line ends the list
      if (bad || at - pos > kMaxPathBytes) {
        ++result.Skipped;
      } else {
        out.emplace_back(data + pos, at - pos);
        ++result.Kept;
      }
      bad = false;
      if (c == '\r' && at + 1 < n && data[at + 1] == '\n') {
        pos = at + 2;
        mask &= ~(std::uint64_t{2} << (at - block));  // its LF (none past the block's end)
      } else {
        pos = at + 1;
      }
    }
  }
  if (pos < n) ++result.Skipped;  // no line end: the write was cut off
  return result;
}

}  // namespace tarn
