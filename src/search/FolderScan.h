// The system side of a collection pass: shell folders, environment
// variables, folder listings and the temporary cache file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "search/CollectSources.h"

namespace tarn {

// Every system of the NT family, whatever version it reports.
bool IsNtFamily();

// The value of an environment variable; empty when it is not set.
std::string GetEnvVar(const char* name);

// The path in the code page of the ANSI functions: as it is where that
// spells it, else its short (8.3) form; false where neither opens it.
bool AnsiPathOf(const wchar_t* path, std::string& out);

// Resolves every folder of the table. A folder the shell cannot locate, or
// one without a file-system path, is left out with a trace.
bool GetSpecialFolders(std::vector<SpecialFolder>& out);
// The same for the given rows.
bool ResolveSpecialFolders(const std::vector<SpecialFolderRow>& rows, std::vector<SpecialFolder>& out);

// The text with each %VARIABLE% of the environment put in; unknown ones stay.
std::string ExpandEnvText(const std::string& text);

// The PATH directories, unquoted and expanded; false when PATH is not set
// or empty.
bool GetPathDirs(PathList& out);

// The patterns for PATH directories, from PATHEXT.
std::string GetExecPatterns();

// Every folder this pass walks, in order.
std::vector<ScanJob> PlanPass(const CollectSettings& settings);
// The same with the shell folders already looked up.
std::vector<ScanJob> PlanPass(const CollectSettings& settings, const std::vector<SpecialFolder>& special);

// Writes the temporary cache file through a buffer. Once a write fails the
// writer stays failed and writes nothing more.
class CCacheFileWriter {
 public:
  explicit CCacheFileWriter(const std::string& path);
  ~CCacheFileWriter();
  CCacheFileWriter(const CCacheFileWriter&) = delete;
  CCacheFileWriter& operator=(const CCacheFileWriter&) = delete;

  bool Good() const { return Healthy; }
  void Write(std::string_view path);
  // Writes out the buffer, flushes to disk and closes; true when every
  // byte reached the file.
  bool Finish();

 private:
  void Drain();

  HANDLE File;
  bool Healthy;
  std::string Buffer;
};

// Lists folders with FindFirstFileA, hands kept paths to the writer (if
// any) and traces what the walk leaves out.
class CWin32WalkHost : public WalkHost {
 public:
  explicit CWin32WalkHost(CCacheFileWriter* writer) : Writer(writer) {}
  bool ListFolder(const std::string& folder, std::vector<DirEntry>& entries) override;
  bool GetFolderId(const std::string& folder, FolderId& id) override;
  void Found(const std::string& path) override;
  void Skipped(const std::string& path, const char* reason) override;

 private:
  CCacheFileWriter* Writer;
};

}  // namespace tarn
