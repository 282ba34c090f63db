// Owner of a kernel object handle: closed once, when the owner goes.
#ifndef KT_APP_WIN32_SCOPED_HANDLE_H
#define KT_APP_WIN32_SCOPED_HANDLE_H

#include <windows.h>

class ScopedHandle {
 public:
  // Takes `handle`; null and INVALID_HANDLE_VALUE (what the calls return on failure) own nothing.
  explicit ScopedHandle(HANDLE handle) noexcept
      : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ~ScopedHandle() {
    if (handle_ != nullptr) {
      CloseHandle(handle_);
    }
  }

  bool IsValid() const noexcept { return handle_ != nullptr; }

 private:
  HANDLE handle_;
};

#endif
