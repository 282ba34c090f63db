// A command-line path (UTF-8) as the wide path the verifier takes.
#ifndef KT_TOOLS_KTVERIFY_WIDE_PATH_H
#define KT_TOOLS_KTVERIFY_WIDE_PATH_H

#include <optional>
#include <string>

namespace ktverify {

// One wchar_t per code point; nothing when `path` is not valid UTF-8 (a stray or truncated
// sequence, an overlong form, a surrogate, a value above U+10FFFF), since no wide path could
// name that file exactly.
std::optional<std::wstring> WidePath(const std::string& path);

}  // namespace ktverify

#endif
