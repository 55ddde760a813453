// TEMPORARY stand-ins for the launch functions, so the shell and its tests
// link until the real ones are merged. Deliberately small; delete this file
// once they have landed.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "launcher/Launch.h"

int StartItem(const LaunchRequest& request) {
  auto r = reinterpret_cast<INT_PTR>(
      ShellExecuteA(nullptr, nullptr, request.Path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (r > 32) return kLaunchStarted;
  return r == 2 || r == 3 ? kLaunchNotFound : kLaunchFailed;
}

int OpenContainingFolder(const std::string&) { return kLaunchFailed; }

bool ExpandStaticCommand(const StaticItem& item, const std::string& word, std::string* out) {
  std::string s = item.Command;
  auto at = s.find("%1");
  if (at != std::string::npos) s.replace(at, 2, word);
  *out = s;
  return true;
}
