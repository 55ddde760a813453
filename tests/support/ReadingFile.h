// The reading table the program carries, read from the source tree by the
// tests, benchmarks and fuzz targets (TARN_READINGS_FILE names it).
#pragma once

#include <fstream>
#include <iterator>
#include <string>

#include "search/Readings.h"

namespace tarn::test {

inline const std::string& SourceReadingBytes() {
  static const std::string bytes = [] {
    std::ifstream in(TARN_READINGS_FILE, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }();
  return bytes;
}

// Not open when the file is missing or damaged: callers say what that means.
inline const CReadingTable& SourceReadingTable() {
  static const CReadingTable table = [] {
    CReadingTable t;
    t.Open(SourceReadingBytes());
    return t;
  }();
  return table;
}

}  // namespace tarn::test
