#include "base/FailureText.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "base/Cp932.h"
#include "base/Failure.h"
#include "base/Path.h"

namespace tarn {

std::string_view LocationName(std::string_view file) {
  std::string_view name = BaseFileName(file);
  std::size_t slash = FindLastChar(name, '/');
  return slash == std::string_view::npos ? name : name.substr(slash + 1);
}

void CutReportText(std::string& text) {
  if (text.size() > kMaxReportText) text.resize(TruncateToFit(text, kMaxReportText).size());
}

std::string ExpandReportV(const char* format, va_list args) {
  if (format == nullptr) return std::string();
  // One pass into a buffer that usually suffices, a second one when the
  // text is longer; cut afterwards so that no character is split.
  char small[512];
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (n < 0) return std::string();
  std::string out;
  if (static_cast<std::size_t>(n) < sizeof small) {
    out.assign(small, static_cast<std::size_t>(n));
  } else {
    std::vector<char> big(static_cast<std::size_t>(n) + 1);
    va_copy(copy, args);
    int m = std::vsnprintf(big.data(), big.size(), format, copy);
    va_end(copy);
    if (m < 0) return std::string();
    out.assign(big.data(), std::min<std::size_t>(static_cast<std::size_t>(m), big.size() - 1));
  }
  CutReportText(out);
  return out;
}

std::string ExpandReport(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string out = ExpandReportV(format, args);
  va_end(args);
  return out;
}

std::string AbendText(std::string_view code, std::string_view file, int line,
                      std::string_view details) {
  std::string out = "アベンドコード[";
  out += code;
  out += "] 位置[";
  out += LocationName(file);
  out += ", ";
  out += std::to_string(line);
  out += "]\n[追加情報]";
  out += details;
  CutReportText(out);
  return out;
}

std::string TraceText(std::string_view file, int line, std::string_view details) {
  std::string out = "Trace:";
  out += details;
  out += " [";
  out += LocationName(file);
  out += ", ";
  out += std::to_string(line);
  out += "]";
  CutReportText(out);
  return out;
}

std::string WinApiErrorDetails(unsigned long code, std::string_view systemText) {
  std::string out = kAbendWinApi;
  out += "[";
  out += std::to_string(code);
  out += ", ";
  out += systemText;
  out += "]";
  CutReportText(out);
  return out;
}

}  // namespace tarn
