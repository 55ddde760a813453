// Texts of the failure reports, composed without any Windows call so that
// they can be checked byte for byte. Only the caller's own format is ever
// expanded: codes, file names and system texts are copied as they stand, so
// a '%' inside them is shown and never taken for a placeholder.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>
#include <string_view>

namespace tarn {

// Composed report texts hold at most this many bytes (cut on a character
// boundary).
inline constexpr std::size_t kMaxReportText = 4095;

// The file name shown in a location: the part after the last '\', '/' or
// ':' ("/" too, because a cross build's __FILE__ uses it).
std::string_view LocationName(std::string_view file);

// The caller's format expanded with its arguments, cut to kMaxReportText.
// A null format gives "".
std::string ExpandReportV(const char* format, va_list args);
std::string ExpandReport(const char* format, ...);

// "アベンドコード[code] 位置[file, line]\n[追加情報]details"; details is the
// caller's already expanded text.
std::string AbendText(std::string_view code, std::string_view file, int line,
                      std::string_view details);

// "Trace:details [file, line]".
std::string TraceText(std::string_view file, int line, std::string_view details);

// "WinAPI Error[code, systemText]", the details of a Windows error.
std::string WinApiErrorDetails(unsigned long code, std::string_view systemText);

// Cuts text to kMaxReportText bytes without splitting a character.
void CutReportText(std::string& text);

}  // namespace tarn
