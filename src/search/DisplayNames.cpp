#include "search/DisplayNames.h"

#include <cinttypes>
#include <cstdio>

#include "base/Cp932.h"
#include "base/Path.h"
#include "search/AppEntries.h"

namespace tarn {
namespace {

// Version 1 files hold names cut at their last dot whatever the shell
// showed: they are not read, and every name is asked again once.
constexpr std::string_view kNamesHeader = "TarnNames 2 ";

bool SameAsciiNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char c = a[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != b[i]) return false;
  }
  return true;
}

bool HasControl(std::string_view s) {
  for (char c : s) {
    if (static_cast<unsigned char>(c) < 0x20) return true;
  }
  return false;
}

uint64_t Fnv(uint64_t h, std::string_view bytes) {
  for (char c : bytes) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ull;
  }
  return h;
}
constexpr uint64_t kFnvStart = 14695981039346656037ull;

}  // namespace

bool NeedsFullQuestion(std::string_view path) {
  // The types the shell registers as never showing their extension.
  static constexpr std::string_view kAlwaysHidden[] = {
      ".lnk", ".url", ".pif", ".scf", ".shb", ".shs", ".xnk", ".website", ".appref-ms", ".library-ms",
      ".searchconnector-ms"};
  const PathParts parts = SplitPath(path);
  // A folder's name is not the last piece of its path.
  if (parts.Name.empty() && parts.Ext.empty()) return true;
  const std::string_view ext = parts.Ext;
  // A short name ("CAFETO~1.EXE") stands for a name the code page cannot
  // spell; only the shell gives the long one.
  if (parts.Name.size() <= 8 && ext.size() <= 4 && FindChar(parts.Name, '~') != std::string_view::npos) return true;
  for (std::string_view hidden : kAlwaysHidden) {
    if (SameAsciiNoCase(ext, hidden)) return true;
  }
  return false;
}

CNameMemory::CNameMemory(std::shared_ptr<const AppEntryList> records) : Records(std::move(records)) {
  if (!Records) return;
  Names.reserve(Records->size());
  for (const AppEntry& e : *Records) Names.emplace(e.FullPath, e.DispName);
}

bool CNameMemory::Load(std::string text, uint64_t cacheStamp) {
  Names.clear();
  Records.reset();
  Text = std::move(text);
  char header[64];
  std::snprintf(header, sizeof header, "%.*s%016" PRIx64 "\r\n", static_cast<int>(kNamesHeader.size()),
                kNamesHeader.data(), cacheStamp);
  const std::string_view all(Text);
  if (all.substr(0, std::char_traits<char>::length(header)) != header) return false;
  std::size_t pos = std::char_traits<char>::length(header);
  for (;;) {
    const std::size_t end = all.find("\r\n", pos);
    if (end == std::string_view::npos) break;  // cut short: no closing empty line
    if (end == pos) return true;
    const std::string_view line = all.substr(pos, end - pos);
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos || tab == 0) break;
    Names.emplace(line.substr(0, tab), line.substr(tab + 1));
    pos = end + 2;
  }
  Names.clear();
  return false;
}

const std::string_view* CNameMemory::Find(std::string_view path) const {
  auto it = Names.find(path);
  return it == Names.end() ? nullptr : &it->second;
}

AppEntryList NameEntries(const PathViews& paths, const CNameMemory& memory, CNameSource& source,
                         bool trustRenamedFolders) {
  AppEntryList out;
  out.reserve(paths.size());
  std::unordered_map<std::string, bool> renamedFolders;
  std::string lastFolder;
  bool renamed = false;
  bool haveFolder = false;
  std::string name;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const std::string_view path = paths[i];
    // Paths come folder by folder: one look-up per folder.
    const std::string_view folder = DirectoryOf(path);
    if (!haveFolder || folder != lastFolder) {
      lastFolder.assign(folder);
      haveFolder = true;
      auto it = renamedFolders.find(lastFolder);
      if (it == renamedFolders.end()) {
        it = renamedFolders.emplace(lastFolder, !lastFolder.empty() && source.FolderRenamesFiles(lastFolder)).first;
      }
      renamed = it->second;
    }
    AppEntry e;
    e.FullPath.assign(path);
    e.ListIndex = static_cast<int32_t>(i);
    const std::string_view* known = memory.Find(path);
    if (known && (trustRenamedFolders || !renamed)) {
      e.DispName.assign(*known);
    } else {
      name.clear();
      bool named = false;
      if (!renamed && !NeedsFullQuestion(path)) named = source.QuickName(e.FullPath, name) && !name.empty();
      if (!named) named = source.FullName(e.FullPath, name) && !name.empty();
      e.DispName = named ? DispNameOf(name, path) : DispNameOf(path);
    }
    out.push_back(std::move(e));
  }
  return out;
}

uint64_t CacheTextStamp(std::string_view text) { return Fnv(kFnvStart, text); }

uint64_t CacheTextStamp(const AppEntryList& records) {
  uint64_t h = kFnvStart;
  for (const AppEntry& e : records) h = Fnv(Fnv(h, e.FullPath), kCacheLineEnd);
  return h;
}

std::string FormatNamesText(const AppEntryList& records, uint64_t cacheStamp) {
  char header[64];
  std::snprintf(header, sizeof header, "%.*s%016" PRIx64 "\r\n", static_cast<int>(kNamesHeader.size()),
                kNamesHeader.data(), cacheStamp);
  std::string text = header;
  for (const AppEntry& e : records) {
    if (e.FullPath.empty() || HasControl(e.FullPath) || HasControl(e.DispName)) continue;
    text += e.FullPath;
    text += '\t';
    text += e.DispName;
    text += kCacheLineEnd;
  }
  text += kCacheLineEnd;
  return text;
}

}  // namespace tarn
