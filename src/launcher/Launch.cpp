#include "launcher/Launch.h"

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "base/SystemLibrary.h"
#include "base/WinHandle.h"
#include "launcher/LaunchPlan.h"
#include "launcher/LaunchShell.h"

namespace {

// Windows error 2 or 3 (and the shell's answers of the same numbers): the
// file or the path is not there.
int CodeFor(DWORD error) {
  return (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) ? kLaunchNotFound
                                                                           : kLaunchFailed;
}

int ShellAnswerCode(HINSTANCE answer) {
  auto value = reinterpret_cast<INT_PTR>(answer);
  if (value > 32) return kLaunchStarted;
  return CodeFor(static_cast<DWORD>(value));
}

// Why the shell did not start a file: only the first two leave room for a
// process start of the same text.
enum class ShellFailure { NotFound, NotAFile, Refused, Other };

ShellFailure ClassifyShellFailure(DWORD error, INT_PTR answer) {
  switch (error) {
    case ERROR_CANCELLED:  // the elevation prompt or a download warning answered no
    case ERROR_ACCESS_DENIED:
    case ERROR_ACCESS_DISABLED_BY_POLICY:
    case ERROR_ACCESS_DISABLED_WEBBLADE:
    case ERROR_ACCESS_DISABLED_WEBBLADE_TAMPER:
      return ShellFailure::Refused;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return ShellFailure::NotFound;
    case ERROR_INVALID_NAME:  // a command line with quotes is no file name
    case ERROR_BAD_PATHNAME:
    case ERROR_NO_ASSOCIATION:
      return ShellFailure::NotAFile;
    default:
      break;
  }
  // The older answer in hInstApp, where the last error says less.
  switch (answer) {
    case SE_ERR_ACCESSDENIED:
      return ShellFailure::Refused;
    case SE_ERR_FNF:
    case SE_ERR_PNF:
      return ShellFailure::NotFound;
    case SE_ERR_NOASSOC:
    case SE_ERR_ASSOCINCOMPLETE:
      return ShellFailure::NotAFile;
    default:
      return ShellFailure::Other;
  }
}

int FailureCode(DWORD error, INT_PTR answer) {
  return (answer == SE_ERR_FNF || answer == SE_ERR_PNF) ? kLaunchNotFound : CodeFor(error);
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsDirectory(const std::string& path) {
  DWORD attrs = GetFileAttributesA(path.c_str());
  return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A NUL inside a text would make the platform see a shorter one: another file.
bool HasNul(const std::string& s) { return s.find('\0') != std::string::npos; }

int StartProcess(const std::string& commandLine) {
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return CodeFor(GetLastError());
  const tarn::ScopedHandle thread(pi.hThread);
  const tarn::ScopedHandle process(pi.hProcess);
  return kLaunchStarted;
}

}  // namespace

std::size_t ShellTextLimit() {
  return tarn::RunningUnderWine() ? kMaxShellTextWine : kMaxShellTextWindows;
}

ShellOpenFn LaunchShellOpen = &ShellExecuteExA;

int StartItem(const LaunchRequest& request) { return StartItemWith(request, LaunchShellOpen); }

int StartItemWith(const LaunchRequest& request, ShellOpenFn shellOpen, std::size_t maxShellText) {
  const std::string& path = request.Path;
  if (path.empty()) return kLaunchNotFound;
  if (HasNul(path) || HasNul(request.SearchWord)) return kLaunchFailed;

  // The item's own folder when there is one (a URL or a bare program name
  // has none), else the launcher's current directory.
  std::string dir = LaunchDirectoryCandidate(path);
  if (dir.empty() || !IsDirectory(dir)) dir.assign(1, '.');

  std::string options;
  if (request.SpaceIsOption && Exists(path)) options = OptionText(request.SearchWord);

  // A text too long for the shell is no file it could open either.
  ShellFailure failure = ShellFailure::NotAFile;
  int code = kLaunchFailed;
  if (path.size() <= maxShellText && options.size() <= maxShellText) {
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    // Failures are told by the launcher's own messages; the shell's prompts
    // (elevation, a downloaded file's warning) still come up.
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpFile = path.c_str();
    info.lpParameters = options.empty() ? nullptr : options.c_str();
    info.lpDirectory = dir.c_str();
    info.nShow = SW_SHOWNORMAL;
    SetLastError(ERROR_SUCCESS);
    if (shellOpen(&info)) return kLaunchStarted;
    const DWORD error = GetLastError();
    const auto answer = reinterpret_cast<INT_PTR>(info.hInstApp);
    failure = ClassifyShellFailure(error, answer);
    code = FailureCode(error, answer);
  }
  if (failure == ShellFailure::Refused) return kLaunchCancelled;
  // The first row may be a typed command line ("notepad c:\a.txt") that the
  // shell cannot open as one file: run it as a process. Anything the shell
  // found and failed to start would fail the same way or, worse, get past
  // a check the shell makes.
  if (!request.RowZero || failure == ShellFailure::Other) return code;
  return StartProcess(FallbackCommandLine(path, request.FromStaticItem, options));
}

int OpenContainingFolderWith(const char* program, const std::string& path) {
  if (path.empty()) return kLaunchNothing;
  if (HasNul(path)) return kLaunchFailed;
  std::string args = SelectInFolderArguments(path);
  if (args.size() > ShellTextLimit()) return kLaunchFailed;
  HINSTANCE answer = ShellExecuteA(nullptr, nullptr, program, args.c_str(), nullptr, SW_SHOWNORMAL);
  return ShellAnswerCode(answer);
}

int OpenContainingFolder(const std::string& path) {
  return OpenContainingFolderWith("explorer", path);
}
