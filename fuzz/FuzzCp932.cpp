#include "base/Cp932.h"
#include "base/Path.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view s(reinterpret_cast<const char*>(data), size);
  tarn::CharCount(s);
  tarn::LastCharStart(s);
  tarn::IsValidCp932(s);
  tarn::SplitPath(s);
  tarn::BaseFileName(s);
  char buf[16];
  tarn::CopyBounded(buf, sizeof buf, s);
  return 0;
}
