#include "base/SystemLibrary.h"

#include <string>
#include <string_view>

#include "base/Cp932.h"
#include "base/Path.h"

namespace tarn {

HMODULE LoadSystemLibrary(const char* name) {
  if (!name || !*name || FindFirstCharOf(name, "\\/:") != std::string_view::npos) return nullptr;
  HMODULE module = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module || GetLastError() != ERROR_INVALID_PARAMETER) return module;
  // A system without the search flags (before the 2011 loader update): the
  // full name in the system folder has the same effect.
  char dir[MAX_PATH] = {};
  UINT length = GetSystemDirectoryA(dir, sizeof dir);
  if (length == 0 || length >= sizeof dir) return nullptr;
  std::string path = JoinPath(std::string_view(dir, length), name);
  if (path.size() >= MAX_PATH) return nullptr;
  return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

bool RunningUnderWine() {
  // Only Wine's ntdll exports its version.
  static const bool wine = [] {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
  }();
  return wine;
}

}  // namespace tarn
