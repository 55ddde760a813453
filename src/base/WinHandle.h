// RAII guards for Win32 handles. Neither copyable nor movable: one owner.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <string>

namespace tarn {

// A kernel handle: file, mutex, thread, process.
class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE h = nullptr) : Handle(h) {}
  ~ScopedHandle() { Reset(); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  HANDLE Get() const { return Handle; }
  bool Valid() const { return Handle != nullptr && Handle != INVALID_HANDLE_VALUE; }
  void Reset(HANDLE h = nullptr) {
    if (Valid()) CloseHandle(Handle);
    Handle = h;
  }

 private:
  HANDLE Handle;
};

class ScopedFindHandle {
 public:
  explicit ScopedFindHandle(HANDLE h) : Handle(h) {}
  ~ScopedFindHandle() {
    if (Valid()) FindClose(Handle);
  }
  ScopedFindHandle(const ScopedFindHandle&) = delete;
  ScopedFindHandle& operator=(const ScopedFindHandle&) = delete;
  HANDLE Get() const { return Handle; }
  bool Valid() const { return Handle != INVALID_HANDLE_VALUE && Handle != nullptr; }

 private:
  HANDLE Handle;
};

class ScopedGdiObject {
 public:
  explicit ScopedGdiObject(HGDIOBJ h = nullptr) : Object(h) {}
  ~ScopedGdiObject() { Reset(); }
  ScopedGdiObject(const ScopedGdiObject&) = delete;
  ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;
  HGDIOBJ Get() const { return Object; }
  void Reset(HGDIOBJ h = nullptr) {
    if (Object) DeleteObject(Object);
    Object = h;
  }

 private:
  HGDIOBJ Object;
};

// A library loaded by the program, freed with the guard.
class ScopedLibrary {
 public:
  explicit ScopedLibrary(HMODULE module = nullptr) : Module(module) {}
  ~ScopedLibrary() { Reset(); }
  ScopedLibrary(const ScopedLibrary&) = delete;
  ScopedLibrary& operator=(const ScopedLibrary&) = delete;
  HMODULE Get() const { return Module; }
  void Reset(HMODULE module = nullptr) {
    if (Module) FreeLibrary(Module);
    Module = module;
  }

 private:
  HMODULE Module;
};

// A menu loaded from the resources, destroyed with the guard.
class ScopedMenu {
 public:
  explicit ScopedMenu(HMENU menu) : Menu(menu) {}
  ~ScopedMenu() {
    if (Menu) DestroyMenu(Menu);
  }
  ScopedMenu(const ScopedMenu&) = delete;
  ScopedMenu& operator=(const ScopedMenu&) = delete;
  HMENU Get() const { return Menu; }

 private:
  HMENU Menu;
};

// COM for this thread (apartment), ended with the guard when it was started.
class ScopedComInit {
 public:
  ScopedComInit() : Started(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ScopedComInit() {
    if (Started) CoUninitialize();
  }
  ScopedComInit(const ScopedComInit&) = delete;
  ScopedComInit& operator=(const ScopedComInit&) = delete;

 private:
  bool Started;
};

class ScopedCriticalSection {
 public:
  explicit ScopedCriticalSection(CRITICAL_SECTION& cs) : Section(cs) { EnterCriticalSection(&Section); }
  ~ScopedCriticalSection() { LeaveCriticalSection(&Section); }
  ScopedCriticalSection(const ScopedCriticalSection&) = delete;
  ScopedCriticalSection& operator=(const ScopedCriticalSection&) = delete;

 private:
  CRITICAL_SECTION& Section;
};

// Drive and directory of the running program, ending with '\'. Empty when
// the module file name cannot be had whole within 260 bytes: a cut name
// would be another folder.
std::string ProgramDirectory(HMODULE module = nullptr);

}  // namespace tarn
