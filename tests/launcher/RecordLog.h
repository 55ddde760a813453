// Reading what the recorder wrote: one record per start, its command line
// split into the program and the rest, and its working directory.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/Cp932.h"
#include "support/TestSupport.h"

namespace tarn::test {

struct Record {
  std::string program;  // first token of the command line, quotes removed
  std::string args;     // the rest, after the separating spaces
  std::string cwd;      // without a final '\'
};

inline std::vector<Record> ReadRecords(const std::string& log) {
  std::vector<Record> out;
  std::string text;
  if (!ReadFileBytes(log, &text)) return out;
  std::size_t pos = 0;
  while (true) {
    std::size_t c = text.find("cmd=", pos);
    if (c == std::string::npos) break;
    std::size_t ce = text.find("\r\ncwd=", c);
    if (ce == std::string::npos) break;
    std::size_t we = text.find("\r\n", ce + 6);
    if (we == std::string::npos) break;  // still being written
    std::string cmd = text.substr(c + 4, ce - c - 4);
    Record r;
    std::size_t rest;
    if (!cmd.empty() && cmd[0] == '"') {
      std::size_t q = cmd.find('"', 1);
      r.program = cmd.substr(1, q == std::string::npos ? std::string::npos : q - 1);
      rest = q == std::string::npos ? cmd.size() : q + 1;
    } else {
      rest = cmd.find(' ');
      if (rest == std::string::npos) rest = cmd.size();
      r.program = cmd.substr(0, rest);
    }
    while (rest < cmd.size() && cmd[rest] == ' ') ++rest;
    r.args = cmd.substr(rest);
    r.cwd = text.substr(ce + 6, we - ce - 6);
    if (r.cwd.size() > 3 && tarn::EndsWithChar(r.cwd, '\\')) r.cwd.pop_back();
    out.push_back(r);
    pos = we + 2;
  }
  return out;
}

// Waits until the log holds count records.
inline std::vector<Record> WaitForRecords(const std::string& log, std::size_t count,
                                          DWORD timeoutMs = 15000) {
  std::vector<Record> records;
  PumpUntil([&] { return (records = ReadRecords(log)).size() >= count; }, timeoutMs);
  return records;
}

}  // namespace tarn::test
