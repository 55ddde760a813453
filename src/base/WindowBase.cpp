#include "base/WindowBase.h"

CWindowObject::~CWindowObject() {
  if (HWND window = Hwnd) {
    Hwnd = nullptr;
    SetWindowLongPtrA(window, Slot, 0);
    DestroyWindow(window);
  }
}

void CWindowObject::Bind(HWND window) {
  Hwnd = window;
  SetWindowLongPtrA(window, Slot, reinterpret_cast<LONG_PTR>(this));
}

CWindowObject* CWindowObject::Bound(HWND window, int slot) {
  return reinterpret_cast<CWindowObject*>(GetWindowLongPtrA(window, slot));
}

void CWindowObject::Unbind() {
  if (Hwnd) SetWindowLongPtrA(Hwnd, Slot, 0);
  Hwnd = nullptr;
  if (!Creating) OnFinalMessage();
}

bool CWindowBase::RegisterWindowClass(HINSTANCE instance, const char* name, HBRUSH background) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = StaticWndProc;
  wc.hInstance = instance;
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  if (RegisterClassA(&wc)) return true;
  return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CWindowBase::CreateFor(const char* className, const char* title, DWORD style, int x, int y, int width,
                            int height, HINSTANCE instance, HWND parent) {
  Creating = true;
  HWND window = CreateWindowExA(0, className, title, style, x, y, width, height, parent, nullptr, instance, this);
  Creating = false;
  if (!window) OnFinalMessage();
  return window;
}

LRESULT CALLBACK CWindowBase::StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CWindowBase* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<CWindowBase*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    if (self) self->Bind(window);
  } else {
    self = static_cast<CWindowBase*>(Bound(window, GWLP_USERDATA));
  }
  // Messages before WM_NCCREATE (WM_GETMINMAXINFO among them) find no object.
  if (!self) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    self->Unbind();
    return DefWindowProcA(window, message, wParam, lParam);
  }
  // A handler may destroy the window and with it the object: nothing of
  // self is read after this call.
  return self->WindowProc(message, wParam, lParam);
}

LRESULT CWindowBase::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      if (OnCreate(reinterpret_cast<CREATESTRUCTA*>(lParam)) == -1) return -1;
      break;
    case WM_COMMAND:
      if (OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) return 0;
      break;
    case WM_TIMER:
      if (OnTimer(wParam)) return 0;
      break;
    case WM_CLOSE:
      if (OnClose()) return 0;
      break;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      return OnMessage(message, wParam, lParam);
  }
  return Default(message, wParam, lParam);
}

LRESULT CWindowBase::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return Default(message, wParam, lParam);
}

LRESULT CWindowBase::Default(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(Window(), message, wParam, lParam);
}
