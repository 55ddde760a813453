// Win32 and GUI test helpers: temporary folders and files, the pump, dialogs.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace tarn::test {

// A fresh folder under %TEMP%, removed with everything in it at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

void WriteFileBytes(const std::string& path, const std::string& bytes);
bool ReadFileBytes(const std::string& path, std::string* bytes);
bool FileExists(const std::string& path);
void MakeDirs(const std::string& path);
// Folder of the running test program, ending with '\'.
std::string ExeDir();
// The recorder: appends its command line and folder to recorder.log beside itself.
std::string RecorderPath();

// CreateProcess in the folder (nullptr: ours), the thread handle closed.
bool StartProcess(std::string commandLine, const char* dir, DWORD flags, PROCESS_INFORMATION* info);

// A top-level dialog with the caption, or the hidden main window, of process pid (0: any).
HWND FindDialogByCaption(const std::string& caption, DWORD pid = 0);
HWND FindMainWindow(DWORD pid = 0);
std::string MessageBoxText(HWND box);
RECT WindowRect(HWND window);
// A list control's texts of one column, its selected row, selecting one.
std::vector<std::string> ListTexts(HWND list, int column = 0);
int SelectedRow(HWND list);
void SelectRow(HWND list, int row);

// Pumps as the program's loop does (open dialogs see their keys first) until done() or timeout.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);
void PumpFor(DWORD ms);
// Pumps until a dialog with the caption shows (a message box: with its text).
HWND WaitForDialog(const std::string& caption, DWORD timeoutMs = 10000, DWORD pid = 0);
HWND WaitForMessageBox(const std::string& caption, std::string* text, DWORD timeoutMs = 10000, DWORD pid = 0);

// Calls act once, from any loop, with our first newly shown dialog of the caption; one wait at a time.
void WhenDialogShows(const std::string& caption, std::function<void(HWND)> act);
// Runs action, answering OK to a message box with the caption; answers its text, or empty.
std::string AnswerMessageBox(const std::string& caption, const std::function<void()>& action);

// Freed blocks are filled with 0xDD; the next allocation of another thread can be made to throw.
void FailNextAllocationOnOtherThread();

}  // namespace tarn::test
