// Code page 932 (Shift-JIS) byte strings: lead/trail classification,
// character-wise iteration and bounded copies. Every routine that looks for
// an ASCII byte such as '\\', '/', '.' or '%' must go through these: a trail
// byte may have any of those values ("表" is 95 5C).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarn {

// Path and text buffers of the platform hold 260 bytes with the terminator.
inline constexpr std::size_t kMaxPath = 260;

constexpr bool IsLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
constexpr bool IsLeadByte(char c) { return IsLeadByte(static_cast<unsigned char>(c)); }

constexpr bool IsTrailByte(unsigned char c) {
  return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}
constexpr bool IsTrailByte(char c) { return IsTrailByte(static_cast<unsigned char>(c)); }

// Length in bytes of the character starting at s[i] (i < s.size()): 2 for a
// lead byte followed by another byte, else 1. A lead byte that is the last
// byte counts as a character of its own.
constexpr std::size_t CharLength(std::string_view s, std::size_t i) {
  return (IsLeadByte(s[i]) && i + 1 < s.size()) ? 2 : 1;
}

// Index of the character after the one at i; s.size() at the end.
constexpr std::size_t NextChar(std::string_view s, std::size_t i) {
  return i >= s.size() ? s.size() : i + CharLength(s, i);
}

// Number of characters of s.
std::size_t CharCount(std::string_view s);

// Start of the last character, scanning from the start; npos for "".
std::size_t LastCharStart(std::string_view s);

// True when every lead byte is followed by a valid trail byte. A lead byte
// that is the last byte is accepted (it is copied like any lead byte).
bool IsValidCp932(std::string_view s);

// Character-aware search for a single-byte character: never matches a
// trail byte. npos when absent.
std::size_t FindChar(std::string_view s, char c, std::size_t from = 0);
std::size_t FindLastChar(std::string_view s, char c);
// First/last character that is any of the given single-byte characters.
std::size_t FindFirstCharOf(std::string_view s, std::string_view set, std::size_t from = 0);
std::size_t FindLastCharOf(std::string_view s, std::string_view set);

// True when the last character of s is the single-byte character c.
bool EndsWithChar(std::string_view s, char c);

// Longest prefix of s that fits in max bytes without splitting a character.
std::string_view TruncateToFit(std::string_view s, std::size_t max);

// Copies src into dst (capacity cap bytes, terminator included), never past
// the end and never splitting a character. Answers false when src did not
// fit whole (dst then holds the truncated text); cap 0 writes nothing.
bool CopyBounded(char* dst, std::size_t cap, std::string_view src);

// Length of a NUL-terminated string in a buffer of cap bytes (cap when no
// terminator is found).
std::size_t BoundedLength(const char* s, std::size_t cap);

}  // namespace tarn
