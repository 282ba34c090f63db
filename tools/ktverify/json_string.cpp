// JSON string literals: the escapes that JSON requires and no others, so non-ASCII names stay
// readable.
#include "tools/ktverify/json_string.h"

#include <cstdio>

namespace ktverify {

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      char escape[7];
      std::snprintf(escape, sizeof escape, "\\u%04x", byte);
      out += escape;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

}  // namespace ktverify
