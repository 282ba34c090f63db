// Strings as JSON string literals, for ktverify's line-per-file JSON output.
#ifndef KT_TOOLS_KTVERIFY_JSON_STRING_H
#define KT_TOOLS_KTVERIFY_JSON_STRING_H

#include <string>

namespace ktverify {

// `text` (UTF-8) between double quotes, with '"' and '\' escaped and every control
// character below U+0020 as \u00XX; everything else, non-ASCII included, as it is.
std::string JsonString(const std::string& text);

}  // namespace ktverify

#endif
