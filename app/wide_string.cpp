// WideString: one heap block per buffer, a header followed by the units, shared between
// copies through a plain count (the helper runs on one thread).
#include "app/wide_string.h"

#include <cstdint>
#include <cwchar>
#include <new>

#include "app/raised_error.h"
#include "app/string_heap.h"

// The block: this header, then `capacity` + 1 units, the last one for the terminating zero.
struct WideString::Buffer {
  size_t references;
  size_t capacity;
  size_t length;

  // Header and units must fit in a size the heap can be asked for; a larger request is a
  // bad length, not a lack of memory.
  static constexpr size_t kMaxCapacity = (SIZE_MAX - sizeof(size_t) * 3) / sizeof(wchar_t) - 1;

  wchar_t* Units() noexcept {
    static_assert(sizeof(Buffer) == sizeof(size_t) * 3, "kMaxCapacity counts this header");
    static_assert(sizeof(Buffer) % alignof(wchar_t) == 0, "the units stay aligned");
    return reinterpret_cast<wchar_t*>(this + 1);
  }

  // A buffer of its own for `length` units of `text` (which may be null when `length` is 0),
  // with room for `capacity` >= `length`.
  static Buffer* CopyOf(const wchar_t* text, size_t length, size_t capacity) {
    if (capacity > kMaxCapacity) {
      throw StringError(kStringInvalidArgument);
    }
    void* block = StringHeapAllocate(sizeof(Buffer) + (capacity + 1) * sizeof(wchar_t));
    if (block == nullptr) {
      throw StringError(kStringOutOfMemory);
    }
    auto* buffer = new (block) Buffer{1, capacity, length};
    if (length != 0) {
      std::wmemcpy(buffer->Units(), text, length);
    }
    buffer->Units()[length] = L'\0';
    return buffer;
  }

  // Gives up one reference; the last one returns the block to the heap.
  static void Drop(Buffer* buffer) noexcept {
    if (buffer != nullptr && --buffer->references == 0) {
      buffer->~Buffer();
      StringHeapRelease(buffer);
    }
  }

  // Appends `count` units of `text` to the string whose buffer is `*slot`, copying the
  // buffer first when it is shared or too small.
  static void Append(Buffer** slot, const wchar_t* text, size_t count) {
    if (count == 0) {
      return;
    }
    Buffer* buffer = *slot;
    const size_t length = buffer == nullptr ? 0 : buffer->length;
    if (count > kMaxCapacity - length) {
      throw StringError(kStringInvalidArgument);
    }
    const size_t total = length + count;
    if (buffer != nullptr && buffer->references == 1 && total <= buffer->capacity) {
      // `text` may be this string's own text; it lies wholly before the units written here.
      std::wmemmove(buffer->Units() + length, text, count);
    } else {
      // The old buffer stays alive until the copy is made: `text` may point into it.
      Buffer* own = CopyOf(buffer == nullptr ? nullptr : buffer->Units(), length, total);
      std::wmemcpy(own->Units() + length, text, count);
      Drop(buffer);
      buffer = own;
      *slot = own;
    }
    buffer->length = total;
    buffer->Units()[total] = L'\0';
  }
};

WideString::WideString(const wchar_t* text) {
  if (text == nullptr) {
    throw StringError(kStringInvalidArgument);
  }
  const size_t length = std::wcslen(text);
  if (length != 0) {
    buffer_ = Buffer::CopyOf(text, length, length);
  }
}

WideString::WideString(const WideString& other) noexcept : buffer_(other.buffer_) {
  if (buffer_ != nullptr) {
    ++buffer_->references;
  }
}

WideString& WideString::operator=(const WideString& other) noexcept {
  // Counting the new reference first keeps self-assignment harmless.
  if (other.buffer_ != nullptr) {
    ++other.buffer_->references;
  }
  Buffer::Drop(buffer_);
  buffer_ = other.buffer_;
  return *this;
}

WideString::WideString(WideString&& other) noexcept : buffer_(other.buffer_) {
  other.buffer_ = nullptr;
}

WideString& WideString::operator=(WideString&& other) noexcept {
  if (this != &other) {
    Buffer::Drop(buffer_);
    buffer_ = other.buffer_;
    other.buffer_ = nullptr;
  }
  return *this;
}

WideString::~WideString() {
  Buffer::Drop(buffer_);
}

size_t WideString::Length() const noexcept {
  return buffer_ == nullptr ? 0 : buffer_->length;
}

const wchar_t* WideString::CStr() const noexcept {
  return buffer_ == nullptr ? L"" : buffer_->Units();
}

wchar_t* WideString::GetBuffer(size_t capacity) {
  if (buffer_ != nullptr && buffer_->references == 1 && capacity <= buffer_->capacity) {
    if (buffer_->length > capacity) {
      buffer_->length = capacity;
      buffer_->Units()[capacity] = L'\0';
    }
    return buffer_->Units();
  }
  const size_t kept = Length() < capacity ? Length() : capacity;
  Buffer* own = Buffer::CopyOf(CStr(), kept, capacity);
  Buffer::Drop(buffer_);
  buffer_ = own;
  return own->Units();
}

void WideString::ReleaseBuffer(size_t length) {
  if (buffer_ == nullptr) {
    if (length != 0) {
      throw StringError(kStringInvalidArgument);
    }
    return;
  }
  // A shared buffer was not handed out by GetBuffer; writing its zero would change the copies.
  if (length > buffer_->capacity || buffer_->references != 1) {
    throw StringError(kStringInvalidArgument);
  }
  buffer_->length = length;
  buffer_->Units()[length] = L'\0';
}

WideString& WideString::operator+=(const wchar_t* text) {
  if (text == nullptr) {
    throw StringError(kStringInvalidArgument);
  }
  Buffer::Append(&buffer_, text, std::wcslen(text));
  return *this;
}

WideString& WideString::operator+=(const WideString& text) {
  Buffer::Append(&buffer_, text.CStr(), text.Length());
  return *this;
}

bool WideString::SharesBufferWith(const WideString& other) const noexcept {
  return buffer_ != nullptr && buffer_ == other.buffer_;
}

WideString operator+(const WideString& left, const wchar_t* right) {
  WideString result(left);
  result += right;
  return result;
}

WideString operator+(const WideString& left, const WideString& right) {
  WideString result(left);
  result += right;
  return result;
}
