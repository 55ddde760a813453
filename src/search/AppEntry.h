// One candidate: a collected file with the name the search compares.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct AppEntry {
  std::string DispName;   // shell display name without its last extension
  std::string FullPath;   // what is started
  int32_t ListIndex = -1; // position in the path list it was built from

  bool operator==(const AppEntry&) const = default;
};

using AppEntryList = std::vector<AppEntry>;
using PathList = std::vector<std::string>;
