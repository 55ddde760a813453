#include "launcher/UrlEncode.h"

#include <cstring>

namespace {

// What a byte becomes: copied, '+' (a space) or escaped. Every byte of 0x80
// and above is escaped under both rule sets: half-width katakana and the
// trail bytes of kanji (漢 8A BF) are letters to the code page but are not
// allowed raw in an address. The remaining ASCII bytes are classified alike
// by both rule sets, so one table serves both.
enum ByteClass : unsigned char { kEscape = 0, kCopy = 1, kPlus = 2 };

constexpr ByteClass Classify(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return kCopy;
  if (c == '-' || c == '.' || c == '*' || c == '_') return kCopy;
  if (c == ' ') return kPlus;
  return kEscape;
}

struct ClassTable {
  ByteClass cls[256];
  constexpr ClassTable() : cls() {
    for (int i = 0; i < 256; ++i) cls[i] = Classify(static_cast<unsigned char>(i));
  }
};
constexpr ClassTable kTable;

constexpr char kHex[] = "0123456789ABCDEF";

std::size_t EncodedLength(const unsigned char* s, std::size_t len) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < len; ++i) n += kTable.cls[s[i]] == kEscape ? 3 : 1;
  return n;
}

bool Encode(std::string_view src, char* dst, std::size_t& size) {
  const auto* s = reinterpret_cast<const unsigned char*>(src.data());
  const auto* end = s + src.size();
  std::size_t need = EncodedLength(s, src.size()) + 1;
  if (dst == nullptr || size == 0) {
    size = need;
    return true;
  }
  if (need > size) return false;
  char* out = dst;
  for (; s != end; ++s) {
    switch (kTable.cls[*s]) {
      case kCopy:
        *out++ = static_cast<char>(*s);
        break;
      case kPlus:
        *out++ = '+';
        break;
      case kEscape:
        out[0] = '%';
        out[1] = kHex[*s >> 4];
        out[2] = kHex[*s & 0x0F];
        out += 3;
        break;
    }
  }
  *out = '\0';
  size = need;
  return true;
}

std::string_view UpToNul(std::string_view s) {
  std::size_t nul = s.find('\0');
  return nul == std::string_view::npos ? s : s.substr(0, nul);
}

std::string_view CString(const char* src) { return src ? std::string_view(src) : std::string_view(); }

}  // namespace

bool UrlEncodeAnsi(const char* src, char* dst, std::size_t& size) {
  return Encode(CString(src), dst, size);
}

bool UrlEncodeUtf8(const char* src, char* dst, std::size_t& size) {
  return Encode(CString(src), dst, size);
}

bool UrlEncode(const char* src, char* dst, std::size_t& size, int rules) {
  return rules == kUrlRulesUtf8 ? UrlEncodeUtf8(src, dst, size) : UrlEncodeAnsi(src, dst, size);
}

// The two rule sets classify every byte alike, so the flag cannot change
// the result; callers still name the one they mean.
std::string UrlEncodeToString(std::string_view src, [[maybe_unused]] int rules) {
  src = UpToNul(src);
  std::size_t size = 0;
  Encode(src, nullptr, size);
  std::string encoded(size, '\0');
  if (!Encode(src, encoded.data(), size)) return std::string();
  encoded.resize(size - 1);
  return encoded;
}

std::string ReplaceFirstPlaceholder(std::string_view command, std::string_view replacement) {
  std::size_t at = command.find("%1");
  if (at == std::string_view::npos) return std::string(command);
  std::string result;
  result.reserve(command.size() - 2 + replacement.size());
  result.append(command.substr(0, at));
  result.append(replacement);
  result.append(command.substr(at + 2));
  return result;
}

bool ExpandCommand(const StaticItem& item, std::string_view word, std::string* out,
                   Cp932ToUtf8Fn toUtf8) {
  std::string_view command = UpToNul(item.Command);
  word = UpToNul(word);
  std::size_t at = command.find("%1");
  if (at == std::string_view::npos) {
    *out = std::string(command);
    return true;
  }
  if (word.size() > kMaxSearchWord) return false;
  if (!item.UseUrlEncode) {
    *out = ReplaceFirstPlaceholder(command, word);
    return true;
  }
  std::string_view source = word;
  std::string utf8;
  if (item.UseUTF8) {
    if (!word.empty() && (toUtf8 == nullptr || !toUtf8(word, &utf8))) return false;
    source = UpToNul(utf8);
  }
  // The encoded word is written straight into its place in the command.
  std::size_t need = 0;
  Encode(source, nullptr, need);
  std::size_t tail = command.size() - at - 2;
  std::string result(at + (need - 1) + tail, '\0');
  command.copy(result.data(), at);
  if (!Encode(source, result.data() + at, need)) return false;
  command.copy(result.data() + at + need - 1, tail, at + 2);
  *out = std::move(result);
  return true;
}
