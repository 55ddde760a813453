// URL encoding of a search word for static item commands, and putting the
// encoded word in place of the first "%1".
//
// Both encoders share one protocol: with no destination or a size of 0 they
// only measure (size = encoded length + 1); otherwise they write the encoded
// text and its terminator and set size the same way, or answer false without
// writing past size bytes when it does not fit. Callers measure, allocate
// exactly that much, and write.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "settings/EnvDlgInfo.h"

// Rules flag of UrlEncode: exactly 1 selects the UTF-8 rules, anything else
// the code-page rules.
inline constexpr int kUrlRulesAnsi = 0;
inline constexpr int kUrlRulesUtf8 = 1;

bool UrlEncode(const char* src, char* dst, std::size_t& size, int rules);

// Code-page (Shift-JIS) bytes: letters, digits and "-.*_" pass, a space
// becomes "+", every other byte, each byte of a double-byte character and
// every byte of 0x80 and above included, becomes "%XX".
bool UrlEncodeAnsi(const char* src, char* dst, std::size_t& size);

// UTF-8 bytes: ASCII letters, digits and "-.*_" pass, a space becomes "+",
// every other byte becomes "%XX".
bool UrlEncodeUtf8(const char* src, char* dst, std::size_t& size);

// The encoded text as a string (measure, allocate once, write).
std::string UrlEncodeToString(std::string_view src, int rules);

// Replaces the first "%1" of command by replacement; answers command
// unchanged when there is none. A byte-wise search is safe here: no trail
// byte of code page 932 is '%'.
std::string ReplaceFirstPlaceholder(std::string_view command, std::string_view replacement);

// Converts Shift-JIS text to UTF-8 into *out; false when the conversion
// fails. The program uses the platform's converter; tests and benchmarks
// on other systems pass their own.
using Cp932ToUtf8Fn = bool (*)(std::string_view cp932, std::string* out);

// Longest search word that is expanded: what the search box can hold.
inline constexpr std::size_t kMaxSearchWord = 259;

// The item's command with the search word (optionally UTF-8, optionally
// URL-encoded) in place of the first "%1". False, out untouched, when the
// word is longer than kMaxSearchWord or the conversion fails. Both texts end
// at a NUL byte, like the window texts they come from.
bool ExpandCommand(const StaticItem& item, std::string_view word, std::string* out,
                   Cp932ToUtf8Fn toUtf8);
