#include "base/WinHandle.h"

#include "base/Path.h"

namespace tarn {

std::string ProgramDirectory(HMODULE module) {
  char buf[MAX_PATH + 1] = {};
  DWORD n = GetModuleFileNameA(module, buf, MAX_PATH + 1);
  if (n == 0 || n >= MAX_PATH) return std::string();
  return std::string(DirectoryOf(std::string_view(buf, n)));
}

}  // namespace tarn
