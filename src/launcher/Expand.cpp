#include <windows.h>

#include <string>

#include "launcher/Launch.h"
#include "launcher/UrlEncode.h"

bool PlatformCp932ToUtf8(std::string_view cp932, std::string* out) {
  if (cp932.empty()) {
    out->clear();
    return true;
  }
  // Every text of the program is code page 932, whatever the system's own.
  constexpr UINT kCodePage = 932;
  int srcLen = static_cast<int>(cp932.size());
  int wideLen = MultiByteToWideChar(kCodePage, MB_PRECOMPOSED, cp932.data(), srcLen, nullptr, 0);
  if (wideLen == 0) return false;
  std::wstring wide(static_cast<std::size_t>(wideLen), L'\0');
  if (MultiByteToWideChar(kCodePage, MB_PRECOMPOSED, cp932.data(), srcLen, wide.data(), wideLen) == 0)
    return false;
  int utf8Len = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLen, nullptr, 0, nullptr, nullptr);
  if (utf8Len == 0) return false;
  std::string utf8(static_cast<std::size_t>(utf8Len), '\0');
  if (WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLen, utf8.data(), utf8Len, nullptr, nullptr) == 0)
    return false;
  *out = std::move(utf8);
  return true;
}

bool ExpandStaticCommand(const StaticItem& item, const std::string& word, std::string* out) {
  return ExpandCommand(item, word, out, &PlatformCp932ToUtf8);
}
