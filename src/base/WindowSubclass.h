// A procedure put in front of a window's own: the one way the program
// subclasses a window (the tray icon's owner, a dialog with tooltips, the
// launcher's search box). The objects in front of a window are found from
// the window through one window property; several of them chain in the
// order they were put on, each passing on what it does not keep; the
// window's own procedure comes back when the last one goes, and at the
// latest when the window is destroyed.
#pragma once

#include <windows.h>

#include <functional>

class CWindowSubclass {
 public:
  using Handler = std::function<LRESULT(HWND window, UINT message, WPARAM wParam, LPARAM lParam)>;

  explicit CWindowSubclass(Handler handler);
  ~CWindowSubclass();
  CWindowSubclass(const CWindowSubclass&) = delete;
  CWindowSubclass& operator=(const CWindowSubclass&) = delete;

  // Puts the handler in front of the window's procedure; true when it is
  // there, also when it was before. One window at a time.
  bool Install(HWND window);
  // Takes it away again; nothing when it is on no window.
  void Remove();
  // The window it is on, or nullptr.
  HWND Window() const { return Hooked; }
  // Passes a message on to what came before: the subclass below this one,
  // or the window's own procedure.
  LRESULT CallNext(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;

 private:
  struct Chain;
  static LRESULT CALLBACK ChainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  Handler OnMessage;
  HWND Hooked = nullptr;
};
