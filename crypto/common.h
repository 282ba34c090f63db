// Internal to crypto/ and verify/: the sizes and byte helpers that more than one file needs,
// each with this one home, and the one wipe that an optimiser cannot drop.
#ifndef KT_CRYPTO_COMMON_H
#define KT_CRYPTO_COMMON_H

#include <cstddef>
#include <cstdint>
#include <cstring>

constexpr uint32_t kMd5Size = 16;                   // octets of an MD5 digest
constexpr uint32_t kSha256Size = 32;                // octets of a SHA-256 digest
constexpr uint32_t kRsaOctets = 256;                // octets of a 2048-bit key or signature
constexpr uint32_t kRsaHexLength = 2 * kRsaOctets;  // hexadecimal digits of a signature

inline uint16_t LoadLe16(const uint8_t* bytes) {
  return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

inline uint32_t LoadLe32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

inline void StoreLe32(uint8_t* bytes, uint32_t value) {
  bytes[0] = static_cast<uint8_t>(value);
  bytes[1] = static_cast<uint8_t>(value >> 8);
  bytes[2] = static_cast<uint8_t>(value >> 16);
  bytes[3] = static_cast<uint8_t>(value >> 24);
}

inline uint32_t LoadBe32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
         static_cast<uint32_t>(bytes[2]) << 8 | static_cast<uint32_t>(bytes[3]);
}

inline void StoreBe32(uint8_t* bytes, uint32_t value) {
  bytes[0] = static_cast<uint8_t>(value >> 24);
  bytes[1] = static_cast<uint8_t>(value >> 16);
  bytes[2] = static_cast<uint8_t>(value >> 8);
  bytes[3] = static_cast<uint8_t>(value);
}

// Sets `count` bytes to zero where a plain memset would be a dead store that the compiler may
// delete: right before the memory is released or goes out of scope. The empty asm statement
// claims to read that memory, so the stores must be made before it; it emits no instruction.
inline void Wipe(void* bytes, size_t count) {
  std::memset(bytes, 0, count);
  __asm__ __volatile__("" : : "r"(bytes) : "memory");
}

#endif
