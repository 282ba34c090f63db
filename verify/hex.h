// Hexadecimal digits of the text-form signature block. Digits are '0'-'9', 'A'-'F' and
// 'a'-'f'; any other character counts as the digit 0.
#ifndef KT_VERIFY_HEX_H
#define KT_VERIFY_HEX_H

#include <cstdint>

// Two characters to one byte, the first one the high nibble.
uint8_t HexPairToByte(const char* pair);

// Eight characters to a 32-bit value, the first pair the most significant byte.
uint32_t HexToU32(const char* text);

// charCount characters to charCount >> 1 bytes (a trailing odd character is ignored).
void HexDecode(uint8_t* out, const char* text, uint32_t charCount);

#endif
