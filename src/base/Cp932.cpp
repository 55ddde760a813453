#include "base/Cp932.h"

#include <cstring>

namespace tarn {

std::size_t CharCount(std::string_view s) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < s.size(); i = NextChar(s, i)) ++n;
  return n;
}

std::size_t LastCharStart(std::string_view s) {
  std::size_t last = std::string_view::npos;
  for (std::size_t i = 0; i < s.size(); i = NextChar(s, i)) last = i;
  return last;
}

bool IsValidCp932(std::string_view s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (IsLeadByte(s[i]) && i + 1 < s.size()) {
      if (!IsTrailByte(s[i + 1])) return false;
      ++i;
    }
  }
  return true;
}

std::size_t FindChar(std::string_view s, char c, std::size_t from) {
  return FindFirstCharOf(s, std::string_view(&c, 1), from);
}

std::size_t FindLastChar(std::string_view s, char c) {
  return FindLastCharOf(s, std::string_view(&c, 1));
}

std::size_t FindFirstCharOf(std::string_view s, std::string_view set, std::size_t from) {
  // Walk from the start so that `from` inside a character is never misread.
  for (std::size_t i = 0; i < s.size(); i = NextChar(s, i)) {
    if (i >= from && CharLength(s, i) == 1 && set.find(s[i]) != std::string_view::npos) return i;
  }
  return std::string_view::npos;
}

std::size_t FindLastCharOf(std::string_view s, std::string_view set) {
  std::size_t hit = std::string_view::npos;
  for (std::size_t i = 0; i < s.size(); i = NextChar(s, i)) {
    if (CharLength(s, i) == 1 && set.find(s[i]) != std::string_view::npos) hit = i;
  }
  return hit;
}

bool EndsWithChar(std::string_view s, char c) {
  std::size_t last = LastCharStart(s);
  return last != std::string_view::npos && last + 1 == s.size() && s[last] == c;
}

std::string_view TruncateToFit(std::string_view s, std::size_t max) {
  if (s.size() <= max) return s;
  std::size_t end = 0;
  for (std::size_t i = 0; i < s.size(); i = NextChar(s, i)) {
    std::size_t next = NextChar(s, i);
    if (next > max) break;
    end = next;
  }
  return s.substr(0, end);
}

bool CopyBounded(char* dst, std::size_t cap, std::string_view src) {
  if (cap == 0) return false;  // no room even for the terminator
  std::string_view fit = TruncateToFit(src, cap - 1);
  std::memcpy(dst, fit.data(), fit.size());
  dst[fit.size()] = '\0';
  return fit.size() == src.size();
}

std::size_t BoundedLength(const char* s, std::size_t cap) {
  const void* nul = std::memchr(s, 0, cap);
  return nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - s) : cap;
}

}  // namespace tarn
