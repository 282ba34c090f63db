// FormatText's Windows half: the run-time's own wide formatting, where "%s" takes a wide
// string. These two are not among the C99 functions mingw-w64 may replace with its own.
#include <stdio.h>
#include <wchar.h>

#include "app/format_text_platform.h"

int MeasureFormatted(const wchar_t* format, va_list values) {
  return _vscwprintf(format, values);
}

int WriteFormatted(wchar_t* buffer, size_t units, const wchar_t* format, va_list values) {
  return vswprintf_s(buffer, units, format, values);
}
