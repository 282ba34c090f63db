// Owner of a block from the local heap (LocalAlloc, or an array a system call made there, such
// as CommandLineToArgvW's): freed with LocalFree when the owner goes.
#ifndef KT_APP_WIN32_SCOPED_LOCAL_H
#define KT_APP_WIN32_SCOPED_LOCAL_H

#include <windows.h>

template <typename T>
class ScopedLocal {
 public:
  // Takes `block`; null owns nothing.
  explicit ScopedLocal(T* block) noexcept : block_(block) {}
  ScopedLocal(const ScopedLocal&) = delete;
  ScopedLocal& operator=(const ScopedLocal&) = delete;
  ~ScopedLocal() {
    if (block_ != nullptr) {
      LocalFree(block_);
    }
  }

  T* Get() const noexcept { return block_; }

 private:
  T* block_;
};

#endif
