// Hexadecimal digits of the text-form block; a character that is no digit reads as 0.
#include "verify/hex.h"

#include <cstddef>

namespace {

uint8_t DigitValue(char c) {
  if (c >= '0' && c <= '9') {
    return static_cast<uint8_t>(c - '0');
  }
  if (c >= 'A' && c <= 'F') {
    return static_cast<uint8_t>(c - 'A' + 10);
  }
  if (c >= 'a' && c <= 'f') {
    return static_cast<uint8_t>(c - 'a' + 10);
  }
  return 0;
}

}  // namespace

uint8_t HexPairToByte(const char* pair) {
  return static_cast<uint8_t>(DigitValue(pair[0]) * 16 + DigitValue(pair[1]));
}

uint32_t HexToU32(const char* text) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) {
    value = (value << 8) | HexPairToByte(text + 2 * i);
  }
  return value;
}

void HexDecode(uint8_t* out, const char* text, uint32_t charCount) {
  for (size_t i = 0; i < charCount >> 1; ++i) {
    out[i] = HexPairToByte(text + 2 * i);
  }
}
