// Display names for collected paths, asked of the shell once per path: a
// name remembered from an earlier pass or run is used again where it cannot
// have changed, the cheap question (the name alone, no file touched) is
// asked where it gives the shell's full answer, the full question elsewhere.
// Portable: the shell is behind CNameSource.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "search/AppEntry.h"
#include "search/CollectSources.h"

namespace tarn {

class CNameSource {
 public:
  virtual ~CNameSource() = default;
  // The shell's display name of the file; false when it has none.
  virtual bool FullName(const std::string& path, std::string& name) = 0;
  // The display name made from the path alone, without touching the file.
  virtual bool QuickName(const std::string& path, std::string& name) = 0;
  // True when the folder (ending with '\') has a desktop.ini, which may give
  // its files other names.
  virtual bool FolderRenamesFiles(const std::string& folder) = 0;
};

// Paths whose shell name does not follow from the path alone: shortcuts and
// the other types the shell always shows without their extension, folders,
// short (8.3) names.
bool NeedsFullQuestion(std::string_view path);

// DispNames by path, from the candidates of a pass or from a names file.
class CNameMemory {
 public:
  CNameMemory() = default;
  // Remembers every record (kept alive here).
  explicit CNameMemory(std::shared_ptr<const AppEntryList> records);
  CNameMemory(const CNameMemory&) = delete;
  CNameMemory& operator=(const CNameMemory&) = delete;
  CNameMemory(CNameMemory&&) = default;
  CNameMemory& operator=(CNameMemory&&) = default;
  // Takes a names file's text. False, and nothing remembered, when it is
  // damaged or was written with another cache file than the one whose
  // stamp is given (see CacheTextStamp).
  bool Load(std::string text, std::uint64_t cacheStamp);

  const std::string_view* Find(std::string_view path) const;
  std::size_t Size() const { return Names.size(); }

 private:
  std::shared_ptr<const AppEntryList> Records;
  std::string Text;
  std::unordered_map<std::string_view, std::string_view> Names;
};

// One record per path, ListIndex = position. Remembered names are used for
// files in folders without a desktop.ini, and everywhere when
// trustRenamedFolders is set (a start-up load, which a pass will correct).
AppEntryList NameEntries(const PathViews& paths, const CNameMemory& memory, CNameSource& source,
                         bool trustRenamedFolders);

// Stamp of a cache file's text; the names file carries the stamp of the
// cache file it was written with.
std::uint64_t CacheTextStamp(std::string_view text);
std::uint64_t CacheTextStamp(const AppEntryList& records);

// Names file text: a header with the stamp, then "path<TAB>name" lines,
// CR LF each, and an empty line at the end. Names that a line cannot hold
// are left out (asked again next time).
std::string FormatNamesText(const AppEntryList& records, std::uint64_t cacheStamp);

}  // namespace tarn
