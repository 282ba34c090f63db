// Internal to verify/: little-endian fields of the signature formats, read byte by byte so that
// neither the host's byte order nor the buffer's alignment matters.
#ifndef KT_VERIFY_LITTLE_ENDIAN_H
#define KT_VERIFY_LITTLE_ENDIAN_H

#include <cstdint>

inline uint16_t ReadU16Le(const uint8_t* bytes) {
  return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

inline uint32_t ReadU32Le(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
         (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

inline void WriteU32Le(uint8_t* bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    bytes[i] = static_cast<uint8_t>(value >> (8 * i));
  }
}

#endif
