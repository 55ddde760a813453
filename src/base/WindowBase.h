// The small bases of every window and dialog of the program. An object
// stands behind one window: the window's static procedure stores it when
// the window is made (WM_NCCREATE for windows, WM_INITDIALOG for dialogs),
// forwards each message to a small named member and forgets the object
// when the window goes.
#pragma once

#include <windows.h>

#include "base/LifeGuard.h"

// What windows and dialogs share: the tie between object and window, and
// the guard for code that runs a nested message loop.
class CWindowObject {
 public:
  CWindowObject(const CWindowObject&) = delete;
  CWindowObject& operator=(const CWindowObject&) = delete;

  // The window; null before it is made and once it is gone.
  HWND Window() const { return Hwnd; }

 protected:
  // slot: where the window keeps its object (GWLP_USERDATA, DWLP_USER).
  explicit CWindowObject(int slot) : Slot(slot) {}
  // An owner that lets go of the object before its window: the window goes
  // too, and finds no object on its way out.
  virtual ~CWindowObject();

  // The window is gone and the object forgotten: an object that owns
  // itself deletes itself here. Nothing of the base is touched after it.
  virtual void OnFinalMessage() {}

  // Taken before a call that can run a nested message loop (a message box,
  // a modal dialog, a launch): that loop may destroy the window and delete
  // the object, and code after the call asks the watcher before touching it.
  tarn::LifeGuard::Watcher Watch() const { return Life.Watch(); }

  // For the static procedures: ties the window to this object, finds the
  // object of a window, and forgets the window at WM_NCDESTROY (telling
  // OnFinalMessage unless the window died while being created: the
  // creating call tells it once it has returned).
  void Bind(HWND window);
  static CWindowObject* Bound(HWND window, int slot);
  void Unbind();

  // Set around the call that creates the window.
  bool Creating = false;

 private:
  int Slot;
  HWND Hwnd = nullptr;
  tarn::LifeGuard Life;
};

// A window made from a class registered for this base.
class CWindowBase : public CWindowObject {
 protected:
  CWindowBase() : CWindowObject(GWLP_USERDATA) {}

  // Registers a class whose windows are made for objects of this base (no
  // class style, icon or cursor); true when it is registered, also before.
  static bool RegisterWindowClass(HINSTANCE instance, const char* name, HBRUSH background);
  // Makes the window (parent HWND_MESSAGE: a message-only window). Null
  // when it cannot be made; OnFinalMessage has then been called, so an
  // object that owns itself is gone.
  HWND CreateFor(const char* className, const char* title, DWORD style, int x, int y, int width, int height,
                 HINSTANCE instance, HWND parent = nullptr);

  // Every message of the window; by default to the handlers below.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // -1 refuses the window.
  virtual LRESULT OnCreate(CREATESTRUCTA* /*create*/) { return 0; }
  // False: default processing (WM_CLOSE then destroys the window).
  virtual bool OnCommand(int /*id*/, int /*code*/, HWND /*control*/) { return false; }
  virtual bool OnTimer(UINT_PTR /*id*/) { return false; }
  virtual bool OnClose() { return false; }
  virtual void OnDestroy() {}
  // Every other message; default processing unless overridden.
  virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};
