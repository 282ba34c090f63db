// The platform's half of FormatText: the C run-time's wide formatting, with "%s" taking a
// wide string. format_text_win32.cpp uses the Windows run-time's own functions;
// format_text_posix.cpp gives the C99 library the same meaning.
#ifndef KT_APP_FORMAT_TEXT_PLATFORM_H
#define KT_APP_FORMAT_TEXT_PLATFORM_H

#include <cstdarg>
#include <cstddef>

// The length in units of the formatted text, or -1 when it cannot be formatted.
int MeasureFormatted(const wchar_t* format, va_list values);

// Formats into `buffer` of `units` units, zero included; the number of units written before
// the zero, or -1 when it does not fit or cannot be formatted.
int WriteFormatted(wchar_t* buffer, size_t units, const wchar_t* format, va_list values);

#endif
