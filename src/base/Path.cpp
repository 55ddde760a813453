#include "base/Path.h"

#include "base/Cp932.h"

namespace tarn {

PathParts SplitPath(std::string_view path) {
  PathParts p;
  std::string_view rest = path;
  if (rest.size() >= 2 && rest[1] == ':' && !IsLeadByte(rest[0])) {
    p.Drive = rest.substr(0, 2);
    rest.remove_prefix(2);
  }
  std::size_t sep = FindLastCharOf(rest, "\\/");
  if (sep != std::string_view::npos) {
    p.Dir = rest.substr(0, sep + 1);
    rest.remove_prefix(sep + 1);
  }
  std::size_t dot = FindLastChar(rest, '.');
  if (dot != std::string_view::npos) {
    p.Name = rest.substr(0, dot);
    p.Ext = rest.substr(dot);
  } else {
    p.Name = rest;
  }
  return p;
}

std::string_view DirectoryOf(std::string_view path) {
  PathParts p = SplitPath(path);
  return path.substr(0, p.Drive.size() + p.Dir.size());
}

std::string_view BaseFileName(std::string_view path) {
  std::size_t cut = FindLastCharOf(path, "\\:");
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

std::string JoinPath(std::string_view dir, std::string_view name) {
  std::string out(dir);
  if (!out.empty() && !EndsWithChar(out, '\\') && !EndsWithChar(out, '/')) out += '\\';
  out += name;
  return out;
}

}  // namespace tarn
