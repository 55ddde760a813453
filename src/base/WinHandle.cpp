#include "base/WinHandle.h"

#include "base/Path.h"

namespace tarn {

std::string ProgramPath(HMODULE module) {
  char buf[MAX_PATH + 1] = {};
  DWORD n = GetModuleFileNameA(module, buf, MAX_PATH + 1);
  if (n == 0 || n >= MAX_PATH) return std::string();
  return std::string(buf, n);
}

std::string ProgramDirectory(HMODULE module) { return std::string(DirectoryOf(ProgramPath(module))); }

}  // namespace tarn
