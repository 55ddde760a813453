#include <windows.h>

#include <string>

#include "base/Cp932.h"
#include "launcher/Launch.h"
#include "launcher/UrlEncode.h"

bool PlatformCp932ToUtf8(std::string_view cp932, std::string* out) {
  if (cp932.empty()) {
    out->clear();
    return true;
  }
  // Every text of the program is code page 932, whatever the system's own.
  // Each step converts once into a buffer of its largest possible size (one
  // UTF-16 unit per byte, three UTF-8 bytes per unit) instead of measuring
  // first: a launch is waiting for it.
  constexpr UINT kCodePage = 932;
  if (cp932.size() > 0x10000000) return false;
  int srcLen = static_cast<int>(cp932.size());
  // A search word fits the stack buffer; longer texts take the heap.
  wchar_t local[tarn::kMaxPath];
  std::wstring heap;
  wchar_t* wide = local;
  if (cp932.size() > tarn::kMaxPath) {
    heap.assign(cp932.size(), L'\0');
    wide = heap.data();
  }
  int wideLen = MultiByteToWideChar(kCodePage, MB_PRECOMPOSED, cp932.data(), srcLen, wide, srcLen);
  if (wideLen <= 0) return false;
  std::string utf8(static_cast<std::size_t>(wideLen) * 3, '\0');
  int utf8Len = WideCharToMultiByte(CP_UTF8, 0, wide, wideLen, utf8.data(),
                                    static_cast<int>(utf8.size()), nullptr, nullptr);
  if (utf8Len <= 0) return false;
  utf8.resize(static_cast<std::size_t>(utf8Len));
  *out = std::move(utf8);
  return true;
}

bool ExpandStaticCommand(const StaticItem& item, const std::string& word, std::string* out) {
  return ExpandCommand(item, word, out, &PlatformCp932ToUtf8);
}
