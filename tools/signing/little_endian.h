// Little-endian integers in byte buffers, one octet at a time, whatever the host's order.
#ifndef KT_TOOLS_SIGNING_LITTLE_ENDIAN_H
#define KT_TOOLS_SIGNING_LITTLE_ENDIAN_H

#include <cstdint>

namespace signing {

inline uint16_t LoadU16Le(const uint8_t* bytes) {
  return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

inline uint32_t LoadU32Le(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
         (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

inline void StoreU32Le(uint8_t* bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    bytes[i] = static_cast<uint8_t>(value >> (8 * i));
  }
}

}  // namespace signing

#endif
