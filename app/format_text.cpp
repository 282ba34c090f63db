// FormatText: measure, make room, format into the string's own buffer.
#include "app/format_text.h"

#include <cstdarg>
#include <cstddef>

#include "app/format_text_platform.h"
#include "app/raised_error.h"

namespace {

void FormatInto(WideString* text, const wchar_t* format, va_list values) {
  va_list measuring;
  va_copy(measuring, values);
  const int length = MeasureFormatted(format, measuring);
  va_end(measuring);
  if (length < 0) {
    throw StringError(kStringInvalidArgument);
  }
  const auto units = static_cast<size_t>(length);
  wchar_t* buffer = text->GetBuffer(units);
  if (WriteFormatted(buffer, units + 1, format, values) != length) {
    throw StringError(kStringFailure);
  }
  text->ReleaseBuffer(units);
}

}  // namespace

WideString FormatText(const wchar_t* format, ...) {
  if (format == nullptr) {
    throw StringError(kStringInvalidArgument);
  }
  WideString text;
  va_list values;
  va_start(values, format);
  try {
    FormatInto(&text, format, values);
  } catch (...) {
    va_end(values);
    throw;
  }
  va_end(values);
  return text;
}
