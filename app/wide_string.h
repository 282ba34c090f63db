// The front end's UTF-16 string: a reference-counted buffer that copies share, duplicated
// before a write when it is shared. Memory comes from the string heap (app/string_heap.h);
// running out of it, or a bad length, raises StringError.
#ifndef KT_APP_WIDE_STRING_H
#define KT_APP_WIDE_STRING_H

#include <cstddef>

class WideString {
 public:
  // Empty, without a buffer.
  WideString() noexcept = default;
  // A copy of the zero-terminated `text`; a null `text` raises the invalid-argument error.
  explicit WideString(const wchar_t* text);
  // Shares the other's buffer.
  WideString(const WideString& other) noexcept;
  WideString& operator=(const WideString& other) noexcept;
  WideString(WideString&& other) noexcept;
  WideString& operator=(WideString&& other) noexcept;
  ~WideString();

  size_t Length() const noexcept;
  bool IsEmpty() const noexcept { return Length() == 0; }
  // The zero-terminated text; "" for an empty string, never null.
  const wchar_t* CStr() const noexcept;

  // A writable buffer of at least `capacity` + 1 units that this string alone owns, its
  // current text kept (cut to `capacity`). End the write with ReleaseBuffer.
  wchar_t* GetBuffer(size_t capacity);
  // Sets the length after a write into GetBuffer's buffer and ends the text with a zero;
  // a length beyond the buffer's capacity raises the invalid-argument error.
  void ReleaseBuffer(size_t length);

  // Appends the zero-terminated `text` (null raises the invalid-argument error).
  WideString& operator+=(const wchar_t* text);
  WideString& operator+=(const WideString& text);

  // Whether both strings use the same buffer (the tests' view of sharing).
  bool SharesBufferWith(const WideString& other) const noexcept;

 private:
  struct Buffer;
  Buffer* buffer_ = nullptr;
};

WideString operator+(const WideString& left, const wchar_t* right);
WideString operator+(const WideString& left, const WideString& right);

#endif
