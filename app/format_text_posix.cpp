// FormatText's host half. The C99 library reads "%s" and "%c" in a wide format as narrow
// values, the Windows run-time as wide ones; formatting a copy of the format whose "s" and
// "c" conversions carry the "l" length gives them the Windows meaning here.
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

#include "app/format_text_platform.h"

namespace {

// `format` with "l" put before every s or c conversion that has no length of its own; "%%"
// and everything else stay as they are.
std::wstring WithWideConversions(const wchar_t* format) {
  std::wstring copy;
  const wchar_t* c = format;
  while (*c != L'\0') {
    copy += *c;
    if (*c++ != L'%') {
      continue;
    }
    if (*c == L'%') {
      copy += *c++;
      continue;
    }
    while (*c != L'\0' && std::wcschr(L"-+ #0123456789.*", *c) != nullptr) {
      copy += *c++;
    }
    if (*c == L's' || *c == L'c') {
      copy += L'l';
    }
  }
  return copy;
}

}  // namespace

int MeasureFormatted(const wchar_t* format, va_list values) {
  const std::wstring wide = WithWideConversions(format);
  wchar_t* text = nullptr;
  size_t units = 0;
  std::FILE* stream = open_wmemstream(&text, &units);
  if (stream == nullptr) {
    return -1;
  }
  const int length = std::vfwprintf(stream, wide.c_str(), values);
  std::fclose(stream);
  std::free(text);
  return length;
}

int WriteFormatted(wchar_t* buffer, size_t units, const wchar_t* format, va_list values) {
  return std::vswprintf(buffer, units, WithWideConversions(format).c_str(), values);
}
