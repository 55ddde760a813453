#include "settings/EnvInfoStore.h"

#include <memory>
#include <string_view>

#include "base/Cp932.h"
#include "base/Failure.h"
#include "base/Path.h"
#include "base/SaveNotice.h"
#include "base/WinHandle.h"
#include "settings/BrskEnvDlg.h"
#include "settings/EnvFile.h"

namespace {

// The one shared record of the process and the folder of stores built
// without one. Only the user-interface thread touches them.
std::unique_ptr<EnvDlgInfo>& Shared() {
  static std::unique_ptr<EnvDlgInfo> shared;
  return shared;
}

// Set when a "tlenv.ini" that exists could not be read: replacing it with
// what was loaded instead (an older file or the defaults) would wipe the
// user's settings, so it is left alone until a later load reads it.
bool& IniUnreadable() {
  static bool unreadable = false;
  return unreadable;
}

std::string& DefaultDirectory() {
  static std::string dir;
  return dir;
}

// A settings file never comes near this; a bigger one is read only this far.
constexpr DWORD kMaxReadBytes = 16u * 1024 * 1024;

std::string FormPath(const std::string& dir, const char* name) {
  if (dir.empty()) return std::string();
  std::string path = tarn::JoinPath(dir, name);
  if (path.size() >= tarn::kMaxPath) {
    TraceAt(__FILE__, __LINE__, "%s: path longer than 259 bytes, file not used\n", name);
    return std::string();
  }
  return path;
}

enum class ReadResult { kRead, kMissing, kUnreadable };

// A virus scanner or a sync tool may hold the file for a moment, at logon
// above all: it is tried again for about a second before it counts as
// unreadable.
constexpr int kOpenAttempts = 5;
constexpr DWORD kOpenRetryMs = 250;

// A read error part way keeps what was read before it.
ReadResult ReadFileImage(const std::string& path, std::string* bytes) {
  if (path.empty()) return ReadResult::kMissing;
  tarn::ScopedHandle file;
  for (int attempt = 1;; ++attempt) {
    file.Reset(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Valid()) break;
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return ReadResult::kMissing;
    TARN_REPORT_LAST_ERROR(0);
    TraceAt(__FILE__, __LINE__, "%s: not opened, attempt %d of %d\n", path.c_str(), attempt, kOpenAttempts);
    if (attempt == kOpenAttempts) return ReadResult::kUnreadable;
    Sleep(kOpenRetryMs);
  }
  bytes->clear();
  char buf[16384];
  for (;;) {
    DWORD want = sizeof buf;
    if (bytes->size() + want > kMaxReadBytes) want = kMaxReadBytes - static_cast<DWORD>(bytes->size());
    if (want == 0) {
      TraceAt(__FILE__, __LINE__, "%s: read only its first %lu bytes\n", path.c_str(),
              static_cast<unsigned long>(kMaxReadBytes));
      break;
    }
    DWORD got = 0;
    if (!ReadFile(file.Get(), buf, want, &got, nullptr)) {
      TARN_REPORT_LAST_ERROR(0);
      break;
    }
    if (got == 0) break;
    bytes->append(buf, got);
  }
  return ReadResult::kRead;
}

void TraceNotes(const std::string& path, const tarn::EnvReadNotes& notes) {
  for (const std::string& note : notes.Kept) TraceAt(__FILE__, __LINE__, "%s %s\n", path.c_str(), note.c_str());
  if (notes.Total > notes.Kept.size())
    TraceAt(__FILE__, __LINE__, "%s: %lu more lines skipped\n", path.c_str(),
            static_cast<unsigned long>(notes.Total - notes.Kept.size()));
}

// Writes the image to tmp, flushes it and moves it over path in one step;
// on any failure path keeps its old content and tmp is removed.
bool ReplaceFileWith(const std::string& path, const std::string& tmp, const std::string& bytes) {
  if (path.empty() || tmp.empty()) return false;
  // A read-only file is the user's word that it stays as it is; Windows
  // refuses to replace it, and so do we wherever we run, without a word.
  DWORD attr = GetFileAttributesA(path.c_str());
  if (attr != INVALID_FILE_ATTRIBUTES && (attr & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
    TraceAt(__FILE__, __LINE__, "%s: read-only or a folder, not replaced\n", path.c_str());
    return false;
  }
  {
    tarn::ScopedHandle file(CreateFileA(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
      TARN_REPORT_LAST_ERROR(0);
      NoteSaveFailure();
      return false;
    }
    DWORD written = 0;
    bool ok = WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size() && FlushFileBuffers(file.Get());
    if (!ok) {
      TARN_REPORT_LAST_ERROR(0);
      file.Reset();
      DeleteFileA(tmp.c_str());
      NoteSaveFailure();
      return false;
    }
    file.Reset();
  }
  if (!MoveFileExA(tmp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    TARN_REPORT_LAST_ERROR(0);
    DeleteFileA(tmp.c_str());
    return false;
  }
  return true;
}

}  // namespace

CEnvInfoStore::CEnvInfoStore(const std::string& dir) {
  Dir = dir.empty() ? DefaultDirectory() : dir;
  if (Dir.empty()) Dir = tarn::ProgramDirectory();
  if (Dir.empty()) {
    TraceAt(__FILE__, __LINE__, "%s\n", "program folder unknown, settings files not used");
  } else if (Dir.size() >= tarn::kMaxPath) {
    TraceAt(__FILE__, __LINE__, "%s\n", "settings folder longer than 259 bytes, settings files not used");
    Dir.clear();
  } else if (!tarn::EndsWithChar(Dir, '\\') && !tarn::EndsWithChar(Dir, '/')) {
    Dir += '\\';
  }
  IniPath = FormPath(Dir, "tlenv.ini");
  TxtPath = FormPath(Dir, "tlenv.txt");
  OldPath = FormPath(Dir, "brenv.txt");
  TmpPath = FormPath(Dir, "tlenv.tmp");
}

CEnvInfoStore::~CEnvInfoStore() = default;

void CEnvInfoStore::SetDefaultDirectory(const std::string& dir) { DefaultDirectory() = dir; }

EnvDlgInfo* CEnvInfoStore::SharedEnvInfo() {
  if (!Shared()) LoadEnvInfo();
  return Shared().get();
}

bool CEnvInfoStore::GetEnvInfo(EnvDlgInfo* out) {
  if (!Shared() && !LoadEnvInfo()) return false;
  if (out == nullptr) return false;
  if (out != Shared().get()) *out = *Shared();
  return true;
}

bool CEnvInfoStore::SaveEnvInfo(const EnvDlgInfo* in) {
  if (!Shared()) LoadEnvInfo();
  // The record takes the new values even when the file cannot be written:
  // callers copy it back into their own, and the histories of this run must
  // not be lost from memory because the disk said no.
  if (in != nullptr && in != Shared().get()) *Shared() = *in;
  if (IniUnreadable() && GetFileAttributesA(IniPath.c_str()) != INVALID_FILE_ATTRIBUTES) {
    TraceAt(__FILE__, __LINE__, "%s: could not be read at load, not replaced\n", IniPath.c_str());
    return false;
  }
  return ReplaceFileWith(IniPath, TmpPath, tarn::WriteEnvFile(*Shared()));
}

bool CEnvInfoStore::LoadEnvInfo() {
  if (!Shared()) Shared() = std::make_unique<EnvDlgInfo>();
  EnvDlgInfo& info = *Shared();
  ApplyLoadDefaults(info);
  std::string bytes;
  tarn::EnvReadNotes notes;
  ReadResult ini = ReadFileImage(IniPath, &bytes);
  IniUnreadable() = ini == ReadResult::kUnreadable;
  if (ini == ReadResult::kRead) {
    tarn::ReadEnvFile(bytes, info, &notes);
    TraceNotes(IniPath, notes);
  } else if (ReadFileImage(TxtPath, &bytes) == ReadResult::kRead) {
    tarn::ReadEnvFile(bytes, info, &notes);
    TraceNotes(TxtPath, notes);
  } else if (ReadFileImage(OldPath, &bytes) == ReadResult::kRead) {
    tarn::ReadOldEnvFile(bytes, info, &notes);
    TraceNotes(OldPath, notes);
  }
  return true;
}

INT_PTR CEnvInfoStore::ShowEnvDialog(HWND owner, UINT notifyMessage) {
  return CBrskEnvDlg::OpenEnvDlg(GetModuleHandleA(nullptr), owner, notifyMessage, SharedEnvInfo());
}

bool CEnvInfoStore::IsEnvDialogOpen() { return CBrskEnvDlg::Instance() != nullptr; }

bool CEnvInfoStore::IsSavingRefused() { return IniUnreadable(); }

bool CEnvInfoStore::HasSettingsFile() const {
  return !IniPath.empty() && GetFileAttributesA(IniPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void CEnvInfoStore::FreeEnvInfo() {
  // An open settings dialog edits the record in place.
  CBrskEnvDlg::CloseWithoutNotice();
  Shared().reset();
  IniUnreadable() = false;
}
