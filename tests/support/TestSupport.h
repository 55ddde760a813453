// Helpers for the Win32 and GUI tests: real temporary folders and files,
// the message pump, and dialogs found and answered by caption.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

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
// The recorder built beside the tests: it appends its command line and
// working directory to recorder.log beside itself.
std::string RecorderPath();

// A top-level dialog (class #32770) with this caption, of one process or of
// any (pid 0); nullptr when there is none.
HWND FindDialogByCaption(const std::string& caption, DWORD pid = 0);
// The program's hidden main window, of one process or of any.
HWND FindMainWindow(DWORD pid = 0);
// Text of a message box.
std::string MessageBoxText(HWND box);

// Pumps this thread's messages as the program's loop does (open dialogs
// see their keys first) until done() or the timeout; answers done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);
void PumpFor(DWORD ms);
// Pumps until a dialog with the caption shows; nullptr on timeout.
HWND WaitForDialog(const std::string& caption, DWORD timeoutMs = 10000, DWORD pid = 0);
// The same for a message box, once its text is in place.
HWND WaitForMessageBox(const std::string& caption, std::string* text, DWORD timeoutMs = 10000, DWORD pid = 0);

// Calls act once with the dialog, from inside whatever message loop this
// thread runs, as soon as a visible dialog of this process has the caption
// (not one open already): for answering modal dialogs and message boxes.
// One at a time.
void WhenDialogShows(const std::string& caption, std::function<void(HWND)> act);
// Runs action; a message box with the caption shown meanwhile is read and
// answered with OK. Answers its text, empty when none came.
std::string AnswerMessageBox(const std::string& caption, const std::function<void()>& action);

// The tests' operator delete fills freed blocks with 0xDD, so that using a
// deleted object fails at once. Their operator new can be made to throw
// std::bad_alloc for the next allocation of another thread.
void FailNextAllocationOnOtherThread();

}  // namespace tarn::test
