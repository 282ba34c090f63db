// Texts with placeholders, formatted as the Windows C run-time formats wide strings: "%s"
// takes a wide string, on every platform this code is built for.
#ifndef KT_APP_FORMAT_TEXT_H
#define KT_APP_FORMAT_TEXT_H

#include "app/wide_string.h"

// `format` with the values in place of its placeholders. A null `format` or one that cannot
// be formatted raises the invalid-argument string error; no room, the out-of-memory one.
WideString FormatText(const wchar_t* format, ...);

#endif
