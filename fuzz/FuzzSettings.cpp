// The settings file readers never fail on any bytes, and whatever they take
// from a file is written back into a file that reads the same.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/EnvDlgInfo.h"
#include "settings/EnvFile.h"

namespace {

void CheckRoundTrip(const EnvDlgInfo& info) {
  std::string out = tarn::WriteEnvFile(info);
  EnvDlgInfo back;
  ApplyLoadDefaults(back);
  tarn::EnvReadNotes notes;
  tarn::ReadEnvFile(out, back, &notes);
  EnvDlgInfo expected = info;
  // A folder line of an old file may equal the section's end marker; such
  // an entry cannot be stored and is left out.
  std::erase_if(expected.AnyDirs,
                [](const std::string& e) { return !tarn::IsStorableListEntry(e, "AnyDirs-E:"); });
  if (expected.TopDirs.size() > static_cast<std::size_t>(std::max(expected.TopDirNumMax, 0)))
    expected.TopDirs.resize(static_cast<std::size_t>(std::max(expected.TopDirNumMax, 0)));
  if (expected.ExecList.size() > static_cast<std::size_t>(std::max(expected.ExecListNumMax, 0)))
    expected.ExecList.resize(static_cast<std::size_t>(std::max(expected.ExecListNumMax, 0)));
  if (!(back == expected) || notes.Total != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  EnvDlgInfo info;
  ApplyLoadDefaults(info);
  tarn::ReadEnvFile(bytes, info);
  CheckRoundTrip(info);

  EnvDlgInfo old;
  ApplyLoadDefaults(old);
  tarn::ReadOldEnvFile(bytes, old);
  CheckRoundTrip(old);
  return 0;
}
