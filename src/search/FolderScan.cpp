#include "search/FolderScan.h"

#include <shlobj.h>

#include "base/Cp932.h"
#include "base/Failure.h"
#include "base/WinHandle.h"

namespace tarn {

bool IsNtFamily() {
  // The high bit alone tells the families apart; version numbers lie to
  // programs without a manifest.
  return (GetVersion() & 0x80000000u) == 0;
}

std::string GetEnvVar(const char* name) {
  std::string value;
  DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
  // The value may change between the two calls; try again when it grew.
  for (int attempt = 0; attempt < 3 && size > 0; ++attempt) {
    value.assign(size, '\0');
    DWORD got = GetEnvironmentVariableA(name, value.data(), size);
    if (got < size) {
      value.resize(got);
      return value;
    }
    size = got;
  }
  return {};
}

namespace {

// The name in the code page the ANSI functions use, when it comes back to
// the same name; false for one they would get wrong (a '?' or a look-alike
// in its place), which no ANSI call could open.
bool SpellInCodePage(const wchar_t* name, std::string& out) {
  const int wideLength = static_cast<int>(wcslen(name));
  BOOL lossy = FALSE;
  const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name, wideLength, nullptr, 0, nullptr, &lossy);
  if (length <= 0 || lossy) return false;
  out.assign(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name, wideLength, out.data(), length, nullptr, &lossy);
  std::wstring back(static_cast<std::size_t>(wideLength), L'\0');
  return !lossy && MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, out.data(), length, back.data(), wideLength) ==
                       wideLength && back == name;
}

}  // namespace

bool AnsiPathOf(const wchar_t* path, std::string& out) {
  if (SpellInCodePage(path, out)) return true;
  wchar_t shortPath[MAX_PATH] = {};
  const DWORD length = GetShortPathNameW(path, shortPath, MAX_PATH);
  return length > 0 && length < MAX_PATH && SpellInCodePage(shortPath, out);
}

bool GetSpecialFolders(std::vector<SpecialFolder>& out) {
  return ResolveSpecialFolders(SpecialFolderTable(IsNtFamily()), out);
}

bool ResolveSpecialFolders(const std::vector<SpecialFolderRow>& rows, std::vector<SpecialFolder>& out) {
  out.clear();
  for (const SpecialFolderRow& row : rows) {
    LPITEMIDLIST pidl = nullptr;
    HRESULT hr = SHGetSpecialFolderLocation(GetDesktopWindow(), row.Csidl, &pidl);
    if (FAILED(hr) || !pidl) {
      TARN_TRACE("shell folder 0x%02X not found (0x%08lX); left out", row.Csidl,
                 static_cast<unsigned long>(hr));
      continue;
    }
    wchar_t path[MAX_PATH] = {};
    BOOL ok = SHGetPathFromIDListW(pidl, path);
    CoTaskMemFree(pidl);
    std::string ansi;
    if (!ok || !path[0]) continue;
    if (AnsiPathOf(path, ansi)) {
      out.push_back({ansi, row.Source, row.PairedWith});
    } else {
      TARN_TRACE("shell folder 0x%02X named outside the code page, no short name; left out", row.Csidl);
    }
  }
  if (out.empty()) {
    // The other sources still make a useful list.
    TARN_TRACE("初期ディレクトリ取得失敗: %s", "レジストリに有効な値が設定されていない。");
  }
  return true;
}

std::string ExpandEnvText(const std::string& text) {
  if (FindChar(text, '%') == std::string::npos) return text;
  std::string out(text.size() + 1, '\0');
  for (int attempt = 0; attempt < 3; ++attempt) {
    const DWORD need = ExpandEnvironmentStringsA(text.c_str(), out.data(), static_cast<DWORD>(out.size()));
    if (need == 0) return text;
    if (need <= out.size()) {
      out.resize(BoundedLength(out.data(), need));
      return out;
    }
    out.assign(need + 1, '\0');  // the ANSI call may want one more than it said
  }
  return text;
}

bool GetPathDirs(PathList& out) {
  out = SplitPathDirs(GetEnvVar("PATH"));
  // An entry written with a variable (an installer that wrote PATH as a
  // plain string) names the folder the variable gives.
  for (std::string& dir : out) dir = ExpandEnvText(dir);
  return !out.empty();
}

std::string GetExecPatterns() { return ExecPatternsFromPathExt(GetEnvVar("PATHEXT")); }

std::vector<ScanJob> PlanPass(const CollectSettings& settings) {
  std::vector<SpecialFolder> special;
  GetSpecialFolders(special);
  return PlanPass(settings, special);
}

std::vector<ScanJob> PlanPass(const CollectSettings& settings, const std::vector<SpecialFolder>& special) {
  PathList dirs;
  GetPathDirs(dirs);
  return PlanCollection(settings, special, dirs, GetExecPatterns(), IsNtFamily());
}

namespace {
constexpr std::size_t kWriteChunk = 64 * 1024;
}

CCacheFileWriter::CCacheFileWriter(const std::string& path)
    : File(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr)),
      Healthy(File != INVALID_HANDLE_VALUE) {
  if (!Healthy) TARN_REPORT_LAST_ERROR(0);
  Buffer.reserve(kWriteChunk + kMaxPathBytes + 2);
}

CCacheFileWriter::~CCacheFileWriter() {
  if (File != INVALID_HANDLE_VALUE) CloseHandle(File);
}

void CCacheFileWriter::Write(std::string_view path) {
  if (!Healthy) return;
  AppendCacheLine(Buffer, path);
  if (Buffer.size() >= kWriteChunk) Drain();
}

void CCacheFileWriter::Drain() {
  const char* p = Buffer.data();
  std::size_t left = Buffer.size();
  while (Healthy && left > 0) {
    DWORD wrote = 0;
    if (!WriteFile(File, p, static_cast<DWORD>(left), &wrote, nullptr) || wrote == 0) {
      TARN_REPORT_LAST_ERROR(0);
      Healthy = false;
      break;
    }
    p += wrote;
    left -= wrote;
  }
  Buffer.clear();
}

bool CCacheFileWriter::Finish() {
  if (File == INVALID_HANDLE_VALUE) return false;
  Drain();
  if (Healthy && !FlushFileBuffers(File)) {
    TARN_REPORT_LAST_ERROR(0);
    Healthy = false;
  }
  if (!CloseHandle(File)) Healthy = false;
  File = INVALID_HANDLE_VALUE;
  return Healthy;
}

// Listed in UTF-16: a name the code page cannot spell is listed by its
// short name, which the ANSI functions open and the shell names by the long
// one; left out when the volume made none.
bool CWin32WalkHost::ListFolder(const std::string& folder, std::vector<DirEntry>& entries) {
  const std::string pattern = folder + "*";
  std::wstring widePattern(pattern.size() + 1, L'\0');
  const int wideLength = MultiByteToWideChar(CP_ACP, 0, pattern.c_str(), -1, widePattern.data(),
                                             static_cast<int>(widePattern.size()));
  if (wideLength <= 0) return false;
  WIN32_FIND_DATAW fd;
  ScopedFindHandle find(FindFirstFileW(widePattern.c_str(), &fd));
  if (!find.Valid()) return false;
  std::string name;
  do {
    const wchar_t* n = fd.cFileName;
    if (n[0] == L'.' && (n[1] == L'\0' || (n[1] == L'.' && n[2] == L'\0'))) continue;
    if (!SpellInCodePage(n, name) && !SpellInCodePage(fd.cAlternateFileName, name)) {
      char shown[MAX_PATH * 2] = {};
      WideCharToMultiByte(CP_ACP, 0, n, -1, shown, sizeof shown - 1, nullptr, nullptr);
      Skipped(folder + shown, "name outside the code page, no short name");
      continue;
    }
    entries.push_back({name, fd.dwFileAttributes});
  } while (FindNextFileW(find.Get(), &fd));
  return true;
}

bool CWin32WalkHost::GetFolderId(const std::string& folder, FolderId& id) {
  std::string name = folder;
  if (name.size() > 3 && EndsWithChar(name, '\\')) name.pop_back();
  ScopedHandle dir(CreateFileA(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!dir.Valid()) return false;
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(dir.Get(), &info)) return false;
  id.Volume = info.dwVolumeSerialNumber;
  id.Index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return true;
}

void CWin32WalkHost::Found(const std::string& path) {
  if (Writer) Writer->Write(path);
}

void CWin32WalkHost::Skipped(const std::string& path, const char* reason) {
  TARN_TRACE("%s: %s", reason, path.c_str());
}

}  // namespace tarn
