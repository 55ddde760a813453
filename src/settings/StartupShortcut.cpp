#include "settings/StartupShortcut.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <optional>
#include <vector>

#include "base/Cp932.h"
#include "base/Failure.h"
#include "base/Path.h"
#include "base/WinHandle.h"

namespace tarn {

namespace {

std::optional<std::string> g_StartupFolder;

std::wstring Wide(const std::string& text) {
  const int size = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(size > 0 ? size : 1), L'\0');
  if (size > 0) MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, out.data(), size);
  out.resize(out.size() - 1);
  return out;
}

// A COM interface released with the holder.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() {
    if (Pointer) Pointer->Release();
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  T* operator->() const { return Pointer; }
  T* Get() const { return Pointer; }
  void** Out() { return reinterpret_cast<void**>(&Pointer); }

 private:
  T* Pointer = nullptr;
};

bool SameFile(const std::string& a, const std::string& b) {
  return !a.empty() && CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_EQUAL;
}

std::string FolderOf(const std::string& file) {
  std::string folder(DirectoryOf(file));
  // A drive's root keeps its separator; any other folder is named without.
  if (folder.size() > 3 && EndsWithChar(folder, '\\')) folder.pop_back();
  return folder;
}

std::vector<std::string> ShortcutsIn(const std::string& folder) {
  std::vector<std::string> links;
  WIN32_FIND_DATAA found;
  ScopedFindHandle find(FindFirstFileA(JoinPath(folder, "*.lnk").c_str(), &found));
  if (!find.Valid()) return links;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      links.push_back(JoinPath(folder, std::string(found.cFileName, BoundedLength(found.cFileName, MAX_PATH))));
  } while (FindNextFileA(find.Get(), &found));
  return links;
}

bool WriteShortcut(const std::string& link, const std::string& program) {
  ScopedComInit com;
  ComPtr<IShellLinkA> shell;
  ComPtr<IPersistFile> file;
  HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, shell.Out());
  if (SUCCEEDED(hr)) hr = shell->SetPath(program.c_str());
  if (SUCCEEDED(hr)) hr = shell->SetWorkingDirectory(FolderOf(program).c_str());
  if (SUCCEEDED(hr)) hr = shell->QueryInterface(IID_IPersistFile, file.Out());
  if (SUCCEEDED(hr)) hr = file->Save(Wide(link).c_str(), TRUE);
  if (FAILED(hr)) TARN_TRACE("shortcut not written (0x%08lX): %s", static_cast<unsigned long>(hr), link.c_str());
  return SUCCEEDED(hr);
}

}  // namespace

std::string StartupFolder() {
  if (g_StartupFolder) return *g_StartupFolder;
  char path[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathA(nullptr, path, CSIDL_STARTUP, FALSE)) return {};
  return path;
}

void SetStartupFolder(const std::string& folder) {
  if (folder.empty()) {
    g_StartupFolder.reset();
  } else {
    g_StartupFolder = folder;
  }
}

bool ReadShortcut(const std::string& link, std::string& target, std::string& workDir) {
  ScopedComInit com;
  ComPtr<IShellLinkA> shell;
  ComPtr<IPersistFile> file;
  HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, shell.Out());
  if (SUCCEEDED(hr)) hr = shell->QueryInterface(IID_IPersistFile, file.Out());
  if (SUCCEEDED(hr)) hr = file->Load(Wide(link).c_str(), STGM_READ);
  char path[MAX_PATH] = {}, dir[MAX_PATH] = {};
  // The raw path: a shortcut is never resolved (which may search the disk).
  if (SUCCEEDED(hr)) hr = shell->GetPath(path, sizeof path, nullptr, SLGP_RAWPATH);
  if (SUCCEEDED(hr)) hr = shell->GetWorkingDirectory(dir, sizeof dir);
  if (FAILED(hr)) return false;
  target.assign(path, BoundedLength(path, sizeof path));
  workDir.assign(dir, BoundedLength(dir, sizeof dir));
  return true;
}

bool StartsWithWindows(const std::string& folder, const std::string& program) {
  if (folder.empty()) return false;
  for (const std::string& link : ShortcutsIn(folder)) {
    std::string target, dir;
    if (ReadShortcut(link, target, dir) && SameFile(target, program)) return true;
  }
  return false;
}

bool SetStartWithWindows(const std::string& folder, const std::string& program, bool on) {
  if (folder.empty() || program.empty()) return false;
  const std::string own = JoinPath(folder, kStartupShortcutName);
  std::string target, dir;
  const bool ownRight = ReadShortcut(own, target, dir) && SameFile(target, program) && SameFile(dir, FolderOf(program));
  if (on) {
    if (ownRight) return true;
    // One shortcut is enough: two would start it twice, the second run
    // only to say that one runs already.
    for (const std::string& link : ShortcutsIn(folder)) {
      if (!SameFile(link, own) && ReadShortcut(link, target, dir) && SameFile(target, program)) return true;
    }
    // Made when missing: a new user's profile may not have one yet.
    if (GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES) CreateDirectoryA(folder.c_str(), nullptr);
    return WriteShortcut(own, program);
  }
  bool removed = true;
  for (const std::string& link : ShortcutsIn(folder)) {
    if (!ReadShortcut(link, target, dir) || !SameFile(target, program)) continue;
    if (!DeleteFileA(link.c_str())) {
      TARN_REPORT_LAST_ERROR(0);
      removed = false;
    }
  }
  return removed;
}

}  // namespace tarn
