// RAII guards for Win32 handles. Neither copyable nor movable: one owner.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <string>

namespace tarn {

class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE h = nullptr) : h_(h) {}
  ~ScopedHandle() { Reset(); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  HANDLE Get() const { return h_; }
  bool Valid() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
  void Reset(HANDLE h = nullptr) {
    if (Valid()) CloseHandle(h_);
    h_ = h;
  }
  HANDLE Release() {
    HANDLE h = h_;
    h_ = nullptr;
    return h;
  }

 private:
  HANDLE h_;
};

class ScopedFindHandle {
 public:
  explicit ScopedFindHandle(HANDLE h) : h_(h) {}
  ~ScopedFindHandle() {
    if (Valid()) FindClose(h_);
  }
  ScopedFindHandle(const ScopedFindHandle&) = delete;
  ScopedFindHandle& operator=(const ScopedFindHandle&) = delete;
  HANDLE Get() const { return h_; }
  bool Valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }

 private:
  HANDLE h_;
};

class ScopedGdiObject {
 public:
  explicit ScopedGdiObject(HGDIOBJ h = nullptr) : h_(h) {}
  ~ScopedGdiObject() {
    if (h_) DeleteObject(h_);
  }
  ScopedGdiObject(const ScopedGdiObject&) = delete;
  ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;
  HGDIOBJ Get() const { return h_; }

 private:
  HGDIOBJ h_;
};

// COM for this thread (apartment), ended with the guard when it was started.
class ScopedComInit {
 public:
  ScopedComInit() : started_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ScopedComInit() {
    if (started_) CoUninitialize();
  }
  ScopedComInit(const ScopedComInit&) = delete;
  ScopedComInit& operator=(const ScopedComInit&) = delete;

 private:
  bool started_;
};

class ScopedCriticalSection {
 public:
  explicit ScopedCriticalSection(CRITICAL_SECTION& cs) : cs_(cs) { EnterCriticalSection(&cs_); }
  ~ScopedCriticalSection() { LeaveCriticalSection(&cs_); }
  ScopedCriticalSection(const ScopedCriticalSection&) = delete;
  ScopedCriticalSection& operator=(const ScopedCriticalSection&) = delete;

 private:
  CRITICAL_SECTION& cs_;
};

// Drive and directory of the running program, ending with '\'. Empty when
// the module file name cannot be had whole within 260 bytes: a cut name
// would be another folder.
std::string ProgramDirectory(HMODULE module = nullptr);

}  // namespace tarn
