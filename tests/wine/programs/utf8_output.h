// Output helpers of the test programs: wide text to UTF-8 and whole writes through one
// handle. WriteFile, not the C run-time's streams, so no newline is translated and no code
// page stands between the program and what the test reads.
#ifndef KT_TESTS_WINE_PROGRAMS_UTF8_OUTPUT_H
#define KT_TESTS_WINE_PROGRAMS_UTF8_OUTPUT_H

#include <windows.h>

#include <cwchar>
#include <string>

inline std::string Utf8(const wchar_t* text, int units) {
  if (units <= 0) {
    return std::string();
  }
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, units, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, units, &out[0], size, nullptr, nullptr);
  return out;
}

inline std::string Utf8(const wchar_t* text) {
  return Utf8(text, static_cast<int>(std::wcslen(text)));
}

inline std::string Utf8(const std::wstring& text) {
  return Utf8(text.data(), static_cast<int>(text.size()));
}

// Writes all of `bytes`; false when a write fails or stops short.
inline bool WriteAll(HANDLE handle, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(bytes.size() - done);
    if (!WriteFile(handle, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
      return false;
    }
    done += written;
  }
  return true;
}

#endif
