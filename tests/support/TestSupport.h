// Helpers for the Win32 and GUI tests: real temporary folders and files,
// child processes, and message boxes found and answered by caption.
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
  // Path of a file or folder inside (name may contain '\').
  std::string operator/(const std::string& name) const;

 private:
  std::string path_;
};

void WriteFileBytes(const std::string& path, const std::string& bytes);
bool ReadFileBytes(const std::string& path, std::string* bytes);
bool FileExists(const std::string& path);
void MakeDirs(const std::string& path);
void RemoveTree(const std::string& path);

// Folder of the running test program, ending with '\'.
std::string ExeDir();

// Path of the recorder helper program built beside the tests.
std::string RecorderPath();

// Runs a process (command line as given) and waits up to timeoutMs; answers
// its exit code, or -1 on failure or timeout (the process is then killed).
// While waiting, onIdle is called about every 50 ms (for answering dialogs).
int RunProcess(const std::string& commandLine, DWORD timeoutMs = 30000,
               const std::function<void(DWORD pid)>& onIdle = {});

// Finds a top-level dialog (class #32770) with this caption, optionally
// belonging to one process; nullptr when there is none.
HWND FindDialogByCaption(const std::string& caption, DWORD pid = 0);

// The program's hidden main window (of one process, or of any with pid 0).
HWND FindMainWindow(DWORD pid = 0);

// Text of the static control of a message box.
std::string MessageBoxText(HWND box);

// Waits up to timeoutMs for a dialog with this caption, pumping this
// thread's messages meanwhile; nullptr on timeout.
HWND WaitForDialog(const std::string& caption, DWORD timeoutMs = 10000, DWORD pid = 0);

// Calls act once with the dialog, from inside whatever message loop this
// thread runs, as soon as a visible dialog of this process has the caption:
// for answering modal dialogs and message boxes. One at a time.
void WhenDialogShows(const std::string& caption, std::function<void(HWND)> act);

// Runs action; a message box with the caption that this thread shows
// meanwhile is read and answered with OK. Answers its text, empty when none
// came.
std::string AnswerMessageBox(const std::string& caption, const std::function<void()>& action);

// Pumps this thread's messages for about ms milliseconds.
void PumpFor(DWORD ms);

// Pumps messages until pred() is true or timeoutMs passes; answers pred().
bool PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs = 10000);

// The tests' operator delete fills freed blocks with 0xDD, so that using a
// deleted object fails at once. Their operator new can be made to throw
// std::bad_alloc (out of memory) for the next allocation of another thread.
void FailNextAllocationOnOtherThread();

}  // namespace tarn::test
