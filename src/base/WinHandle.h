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

// A handle of the user interface or the loader, freed by one call when the
// guard goes.
template <class Handle, auto Free>
class ScopedResource {
 public:
  explicit ScopedResource(Handle h = nullptr) : Value(h) {}
  ~ScopedResource() { Reset(); }
  ScopedResource(const ScopedResource&) = delete;
  ScopedResource& operator=(const ScopedResource&) = delete;
  Handle Get() const { return Value; }
  void Reset(Handle h = nullptr) {
    if (Value) Free(Value);
    Value = h;
  }

 private:
  Handle Value;
};

using ScopedGdiObject = ScopedResource<HGDIOBJ, &DeleteObject>;
// A library loaded by the program.
using ScopedLibrary = ScopedResource<HMODULE, &FreeLibrary>;
// A menu loaded from the resources.
using ScopedMenu = ScopedResource<HMENU, &DestroyMenu>;

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

// The running program's file. Empty when the module file name cannot be
// had whole within 260 bytes: a cut name would be another file.
std::string ProgramPath(HMODULE module = nullptr);

// Drive and directory of the running program, ending with '\'; empty as
// ProgramPath is.
std::string ProgramDirectory(HMODULE module = nullptr);

}  // namespace tarn
