// The two errors the front end raises instead of returning: a string operation's COM-style
// result code, and the system error code of a failed mutex creation. The entry point catches
// both and turns them into an exit code that cannot be mistaken for one of the flows' codes.
#ifndef KT_APP_RAISED_ERROR_H
#define KT_APP_RAISED_ERROR_H

#include <cstdint>
#include <exception>

// COM-style result codes of the string type.
constexpr uint32_t kStringOutOfMemory = 0x8007000E;
constexpr uint32_t kStringInvalidArgument = 0x80070057;
constexpr uint32_t kStringFailure = 0x80004005;

// Raised by WideString and the text routines with one of the codes above.
class StringError : public std::exception {
 public:
  explicit StringError(uint32_t code) noexcept : code_(code) {}
  uint32_t Code() const noexcept { return code_; }
  const char* what() const noexcept override { return "string error"; }

 private:
  uint32_t code_;
};

// Raised by a failed mutex creation with the system's error code (GetLastError).
class SystemError : public std::exception {
 public:
  explicit SystemError(uint32_t code) noexcept : code_(code) {}
  uint32_t Code() const noexcept { return code_; }
  const char* what() const noexcept override { return "system error"; }

 private:
  uint32_t code_;
};

#endif
