// UTF-8 to code points, one wchar_t each (paths on the host are in UTF-8; wchar_t holds a
// whole code point there).
#include "tools/ktverify/wide_path.h"

#include <cstdint>

namespace ktverify {

namespace {

// Length of the sequence that `lead` starts, and the bits it contributes; 0 for no lead.
int SequenceLength(uint8_t lead, uint32_t* bits) {
  if (lead < 0x80) {
    *bits = lead;
    return 1;
  }
  if (lead >= 0xC2 && lead < 0xE0) {
    *bits = lead & 0x1Fu;
    return 2;
  }
  if (lead >= 0xE0 && lead < 0xF0) {
    *bits = lead & 0x0Fu;
    return 3;
  }
  if (lead >= 0xF0 && lead < 0xF5) {
    *bits = lead & 0x07u;
    return 4;
  }
  return 0;
}

}  // namespace

std::optional<std::wstring> WidePath(const std::string& path) {
  static constexpr uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  std::wstring wide;
  for (size_t i = 0; i < path.size();) {
    uint32_t code = 0;
    const int length = SequenceLength(static_cast<uint8_t>(path[i]), &code);
    if (length == 0 || path.size() - i < static_cast<size_t>(length)) {
      return std::nullopt;
    }
    for (int k = 1; k < length; ++k) {
      const auto next = static_cast<uint8_t>(path[i + k]);
      if ((next & 0xC0) != 0x80) {
        return std::nullopt;
      }
      code = (code << 6) | (next & 0x3Fu);
    }
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      return std::nullopt;
    }
    wide.push_back(static_cast<wchar_t>(code));
    i += length;
  }
  return wide;
}

}  // namespace ktverify
