// Owner of one COM interface pointer: released once, when the owner goes.
#ifndef KT_APP_WIN32_COM_POINTER_H
#define KT_APP_WIN32_COM_POINTER_H

#include <unknwn.h>

template <typename Interface>
class ComPointer {
 public:
  ComPointer() noexcept = default;
  ComPointer(const ComPointer&) = delete;
  ComPointer& operator=(const ComPointer&) = delete;
  ~ComPointer() {
    if (pointer_ != nullptr) {
      pointer_->Release();
    }
  }

  // The out-parameter of CoCreateInstance or QueryInterface; only on an empty owner.
  void** Receive() noexcept { return reinterpret_cast<void**>(&pointer_); }

  Interface* operator->() const noexcept { return pointer_; }

 private:
  Interface* pointer_ = nullptr;
};

#endif
