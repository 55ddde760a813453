// URL encoding, "%1" expansion and the search-word history on any bytes:
// no overrun, measure equals write, the encoding decodes back to its source.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "launcher/Histories.h"
#include "launcher/UrlEncode.h"

namespace {

// A stand-in converter: bytes above 0x7F become two UTF-8 bytes; a 0xFD in
// the text makes it fail, as a platform conversion may.
bool FakeToUtf8(std::string_view in, std::string* out) {
  std::string s;
  for (unsigned char c : in) {
    if (c == 0xFD) return false;
    if (c < 0x80) {
      s += static_cast<char>(c);
    } else {
      s += static_cast<char>(0xC0 | (c >> 6));
      s += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  *out = s;
  return true;
}

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

std::string Decode(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '+') {
      out += ' ';
    } else if (c == '%') {
      Check(i + 2 < text.size());
      auto hex = [](char h) { return h <= '9' ? h - '0' : h - 'A' + 10; };
      out += static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2]));
      i += 2;
    } else {
      Check((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
            c == '.' || c == '*' || c == '_');
      out += c;
    }
  }
  return out;
}

void FuzzEncode(const std::string& src, int rules) {
  std::size_t need = 0;
  Check(UrlEncode(src.c_str(), nullptr, need, rules));
  std::string_view upToNul(src.c_str());
  Check(need >= upToNul.size() + 1 && need <= upToNul.size() * 3 + 1);
  // Exact-size heap buffers, so that a byte written past them is caught.
  for (std::size_t cap : {need - 1, need, need + 1}) {
    if (cap == 0) continue;
    std::unique_ptr<char[]> buf(new char[cap]);
    std::size_t size = cap;
    bool ok = UrlEncode(src.c_str(), buf.get(), size, rules);
    Check(ok == (cap >= need));
    if (ok) {
      Check(size == need && buf[need - 1] == '\0');
      Check(Decode(std::string_view(buf.get(), need - 1)) == upToNul);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  unsigned flags = data[0];
  std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
  std::size_t cut = rest.find('\n');
  std::string command = cut == std::string::npos ? rest : rest.substr(0, cut);
  std::string word = cut == std::string::npos ? std::string() : rest.substr(cut + 1);

  FuzzEncode(word, static_cast<int>(flags & 3));

  StaticItem item{"n", command, (flags & 4) != 0, (flags & 8) != 0};
  std::string out = "untouched";
  bool ok = ExpandCommand(item, word, &out, (flags & 16) ? nullptr : &FakeToUtf8);
  std::string_view cmd(command.c_str());
  std::string_view w(word.c_str());
  std::size_t at = cmd.find("%1");
  if (!ok) {
    Check(out == "untouched" && at != std::string_view::npos);
  } else if (at == std::string_view::npos) {
    Check(out == cmd);
  } else {
    Check(w.size() <= kMaxSearchWord);
    Check(out.size() >= cmd.size() - 2);
    Check(std::string_view(out).substr(0, at) == cmd.substr(0, at));
    Check(std::string_view(out).substr(out.size() - (cmd.size() - at - 2)) == cmd.substr(at + 2));
    std::string_view replacement(out.data() + at, out.size() - (cmd.size() - 2));
    if (!item.UseUrlEncode) Check(replacement == w);
    else if (!item.UseUTF8) Check(Decode(replacement) == w);
  }

  // The word history: kept short, the word in front when taken.
  std::vector<std::string> list = {"abc", "ABC", command.substr(0, 40), "x"};
  int max = static_cast<int>(flags >> 5) - 1;
  bool added = AddToExecList(list, max, w);
  if (added) {
    Check(list.front() == w && list.size() <= static_cast<std::size_t>(max));
    for (std::size_t i = 1; i < list.size(); ++i) Check(!EqualIgnoringCase(list[i], w));
  }
  return 0;
}
