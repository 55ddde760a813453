// What the recorder wrote: one record per start.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "base/Cp932.h"
#include "support/TestSupport.h"

namespace tarn::test {

// program: first token of the command line, unquoted; args: the rest; cwd: no final '\'.
struct Record { std::string program, args, cwd; };

inline std::vector<Record> ReadRecords(const std::string& log) {
  std::vector<Record> out;
  std::string text;
  ReadFileBytes(log, &text);
  for (std::size_t c = 0, we; (c = text.find("cmd=", c)) != std::string::npos; c = we + 2) {
    const std::size_t ce = text.find("\r\ncwd=", c);
    if (ce == std::string::npos || (we = text.find("\r\n", ce + 6)) == std::string::npos) break;  // being written
    const std::string cmd = text.substr(c + 4, ce - c - 4);
    const bool quoted = cmd.starts_with('"');
    std::size_t end = std::min(cmd.find(quoted ? '"' : ' ', quoted), cmd.size());
    Record r{cmd.substr(quoted, end - quoted), "", text.substr(ce + 6, we - ce - 6)};
    r.args = cmd.substr(std::min(cmd.find_first_not_of(' ', end + quoted), cmd.size()));
    if (r.cwd.size() > 3 && tarn::EndsWithChar(r.cwd, '\\')) r.cwd.pop_back();
    out.push_back(r);
  }
  return out;
}

// Waits until the log holds count records.
inline std::vector<Record> WaitForRecords(const std::string& log, std::size_t count, DWORD timeoutMs = 15000) {
  std::vector<Record> records;
  return PumpUntil([&] { return (records = ReadRecords(log)).size() >= count; }, timeoutMs), records;
}

}  // namespace tarn::test
