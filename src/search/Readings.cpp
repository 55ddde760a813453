#include "search/Readings.h"

#include <cstring>

#include "base/Cp932.h"
#include "search/Matching.h"

namespace tarn {
namespace {

constexpr std::size_t kHeaderBytes = 20;
constexpr std::size_t kGroupBytes = 8;
constexpr unsigned kEndingFollows = 0x80;
constexpr unsigned char kKanaCodes = 87;  // ァ..ヶ, then ー

uint32_t U32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}
uint16_t U16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t Fnv(const unsigned char* p, std::size_t n) {
  uint32_t h = 2166136261u;
  for (std::size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 16777619u;
  return h;
}

void AppendKana(std::string& out, std::string_view codes) {
  for (char ch : codes) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == kKanaCodes) {
      out += "\x81\x5B";
    } else if (c >= 1 && c < kKanaCodes) {
      const unsigned trail = 0x40 + c - 1;
      out += '\x83';
      out += static_cast<char>(trail >= 0x7F ? trail + 1 : trail);
    }
  }
}

// Characters a word goes on from: after them a kanji that ends words (帳 in
// メモ帳) takes its ending reading; after a space or a symbol, its own.
bool JoinsWord(unsigned char lead, unsigned char trail, bool doubleByte) {
  if (!doubleByte) return (lead >= '0' && lead <= '9') || ((lead | 0x20) >= 'a' && (lead | 0x20) <= 'z') ||
                          (lead >= 0xA6 && lead <= 0xDF);
  if (lead == 0x81) return trail == 0x5B || trail == 0x58;  // ー 々
  return lead == 0x82 || lead == 0x83 || lead >= 0x88;
}

}  // namespace

bool CReadingTable::Open(std::string_view bytes) {
  Groups = nullptr;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  if (bytes.size() < kHeaderBytes || std::memcmp(p, "TRD1", 4) != 0) return false;
  const uint64_t groups = U32(p + 4), blocks = U32(p + 8), data = U32(p + 12);
  const uint64_t groupBytes = (groups + 1) * kGroupBytes, blockBytes = (blocks + 1) * 4;
  if (kHeaderBytes + groupBytes + blockBytes + data != bytes.size()) return false;
  if (Fnv(p + kHeaderBytes, bytes.size() - kHeaderBytes) != U32(p + 16)) return false;
  const unsigned char* g = p + kHeaderBytes;
  const unsigned char* b = g + groupBytes;
  // The look-ups trust the order and the bounds checked here.
  for (uint64_t i = 0; i <= groups; ++i) {
    const unsigned char* e = g + i * kGroupBytes;
    if (U32(e + 4) > blocks || (i > 0 && (U16(e) <= U16(e - kGroupBytes) || U32(e + 4) < U32(e - kGroupBytes + 4))))
      return false;
  }
  if (U32(g + groups * kGroupBytes + 4) != blocks) return false;
  for (uint64_t i = 0; i <= blocks; ++i) {
    if (U32(b + i * 4) > data || (i > 0 && U32(b + i * 4) < U32(b + (i - 1) * 4))) return false;
  }
  if (U32(b + blocks * 4) != data) return false;
  GroupCount = static_cast<uint32_t>(groups);
  BlockCount = static_cast<uint32_t>(blocks);
  Blocks = b;
  Data = std::string_view(reinterpret_cast<const char*>(b + blockBytes), data);
  Groups = g;
  return true;
}

// The word of the group's blocks whose surface after the first character is
// rest. Records are read within their block only.
bool CReadingTable::FindRest(uint32_t firstBlock, uint32_t endBlock, std::string_view rest, Found& found) const {
  auto firstRest = [&](uint32_t block) {
    const uint32_t at = U32(Blocks + block * 4), end = U32(Blocks + (block + 1) * 4);
    if (at >= end) return std::string_view();
    const std::size_t n = static_cast<unsigned char>(Data[at]);
    return Data.substr(at + 1, std::min<std::size_t>(n, end - at - 1));
  };
  // The last block whose first word is not past rest.
  uint32_t lo = firstBlock, hi = endBlock;
  while (hi - lo > 1) {
    const uint32_t mid = lo + (hi - lo) / 2;
    if (firstRest(mid) <= rest) lo = mid; else hi = mid;
  }
  std::size_t at = U32(Blocks + lo * 4);
  const std::size_t end = U32(Blocks + (lo + 1) * 4);
  while (at < end) {
    const std::size_t restLen = static_cast<unsigned char>(Data[at]);
    if (at + 1 + restLen + 1 > end) return false;
    const std::string_view word = Data.substr(at + 1, restLen);
    at += 1 + restLen;
    const unsigned head = static_cast<unsigned char>(Data[at]);
    const std::size_t kanaLen = head & ~kEndingFollows;
    if (at + 1 + kanaLen > end) return false;
    const std::string_view kana = Data.substr(at + 1, kanaLen);
    at += 1 + kanaLen;
    std::string_view ending;
    if (head & kEndingFollows) {
      if (at >= end) return false;
      const std::size_t endingLen = static_cast<unsigned char>(Data[at]);
      if (at + 1 + endingLen > end) return false;
      ending = Data.substr(at + 1, endingLen);
      at += 1 + endingLen;
    }
    if (word == rest) {
      found.Kana = kana;
      found.Ending = ending;
      return true;
    }
    if (word > rest) return false;
  }
  return false;
}

bool CReadingTable::Longest(std::string_view text, std::size_t at, Found& found) const {
  const unsigned code = static_cast<unsigned char>(text[at]) << 8 | static_cast<unsigned char>(text[at + 1]);
  uint32_t lo = 0, hi = GroupCount;
  while (lo < hi) {
    const uint32_t mid = lo + (hi - lo) / 2;
    if (U16(Groups + mid * kGroupBytes) < code) lo = mid + 1; else hi = mid;
  }
  if (lo == GroupCount || U16(Groups + lo * kGroupBytes) != code) return false;
  const unsigned char* group = Groups + lo * kGroupBytes;
  const uint32_t firstBlock = U32(group + 4), endBlock = U32(group + kGroupBytes + 4);
  if (firstBlock == endBlock) return false;
  // Words are made of double-byte characters: the rest can only reach over
  // those that follow.
  std::size_t room = at + 2;
  const std::size_t longest = at + 2 + U16(group + 2);
  while (room + 1 < text.size() && room < longest && IsLeadByte(text[room])) room += 2;
  for (std::size_t end = room; end >= at + 2; end -= 2) {
    if (FindRest(firstBlock, endBlock, text.substr(at + 2, end - at - 2), found)) {
      found.Bytes = end - at;
      return true;
    }
  }
  return false;
}

bool CReadingTable::Read(std::string_view name, std::string& reading) const {
  reading.clear();
  if (!IsOpen() || !IsValidCp932(name)) return false;
  bool read = false;
  bool joins = false;
  for (std::size_t i = 0; i < name.size();) {
    const std::size_t len = CharLength(name, i);
    Found found;
    if (len == 2 && Longest(name, i, found)) {
      AppendKana(reading, found.Bytes == 2 && joins && !found.Ending.empty() ? found.Ending : found.Kana);
      i += found.Bytes;
      read = joins = true;
      continue;
    }
    reading.append(name, i, len);
    joins = JoinsWord(static_cast<unsigned char>(name[i]), len == 2 ? static_cast<unsigned char>(name[i + 1]) : 0,
                      len == 2);
    i += len;
  }
  if (!read) reading.clear();
  return read;
}

void SetReadings(AppEntryList& records, const CReadingTable* table) {
  const bool on = table && table->IsOpen();
  std::string reading;
  CMatchNormalizer fold(true);
  records.ClearReadings();
  if (!on) return;
  for (AppEntry& e : records) {
    bool ok = table->Read(e.DispName, reading);
    std::string_view folded;
    if (ok) {
      folded = fold.Normalize(reading, &ok);
      ok = ok && fold.DoubleByteOnly;
    }
    if (ok) records.SetReading(e, folded);
  }
}

}  // namespace tarn
