// Shift-JIS to UTF-8 for the native benchmarks, where the platform's
// converters are not at hand: glibc's CP932 table, which holds the same
// NEC and IBM extension characters.
#pragma once

#include <iconv.h>

#include <string>
#include <string_view>

inline bool IconvCp932ToUtf8(std::string_view in, std::string* out) {
  static iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::string buf(in.size() * 3 + 4, '\0');
  char* src = const_cast<char*>(in.data());
  std::size_t srcLeft = in.size();
  char* dst = buf.data();
  std::size_t dstLeft = buf.size();
  if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1)) return false;
  buf.resize(buf.size() - dstLeft);
  *out = std::move(buf);
  return true;
}
