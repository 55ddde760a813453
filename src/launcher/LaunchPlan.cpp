#include "launcher/LaunchPlan.h"

#include "base/Cp932.h"
#include "base/Path.h"
#include "launcher/Launch.h"

std::string LaunchDirectoryCandidate(std::string_view path) {
  return std::string(tarn::DirectoryOf(path));
}

std::string OptionText(std::string_view searchWord) {
  std::size_t space = tarn::FindChar(searchWord, ' ');
  if (space == std::string_view::npos) return std::string();
  return std::string(searchWord.substr(space + 1));
}

std::string FallbackCommandLine(std::string_view path, bool fromStaticItem,
                                std::string_view options) {
  std::string line;
  if (fromStaticItem) {
    line.assign(path);
  } else {
    line.reserve(path.size() + options.size() + 3);
    line.push_back('"');
    line.append(path);
    line.push_back('"');
  }
  if (!options.empty()) {
    line.push_back(' ');
    line.append(options);
  }
  return line;
}

std::string SelectInFolderArguments(std::string_view path) {
  std::string args = "/select,\"";
  args.append(path);
  args.push_back('"');
  return args;
}

const char* LaunchFailureText(int resultCode) {
  switch (resultCode) {
    case kLaunchStarted:
    case kLaunchNothing:
    case kLaunchCancelled:  // the user said no: telling them so again helps nobody
      return nullptr;
    case kLaunchNotFound:
      return kLaunchNotFoundText;
    default:
      return kLaunchFailedText;
  }
}
