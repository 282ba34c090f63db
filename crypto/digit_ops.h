// Inline digit primitives shared by the digit-layer files; not part of the public interface.
// The inner loops of multiplication, squaring and division call these per digit, so they must
// compile to a few instructions: one widening multiply and plain 64-bit adds and shifts.
#ifndef KT_CRYPTO_DIGIT_OPS_H
#define KT_CRYPTO_DIGIT_OPS_H

#include <cstdint>

constexpr uint32_t kDigitBits = 32;
constexpr uint32_t kDigitTopBit = 0x80000000u;

// The exact product of two digits. uint64_t is standard on every target we build for; on
// 32-bit x86 it is still a single widening multiply.
inline uint64_t DigitProduct(uint32_t a, uint32_t b) {
  return static_cast<uint64_t>(a) * b;
}

inline uint32_t LowDigit(uint64_t x) {
  return static_cast<uint32_t>(x);
}

inline uint32_t HighDigit(uint64_t x) {
  return static_cast<uint32_t>(x >> kDigitBits);
}

// Number of leading zero bits; 32 for zero. Only used once per division, so a portable
// binary search is fast enough.
inline uint32_t DigitLeadingZeros(uint32_t d) {
  if (d == 0) {
    return kDigitBits;
  }
  uint32_t count = 0;
  for (uint32_t width = kDigitBits / 2; width != 0; width /= 2) {
    if ((d >> (kDigitBits - width)) == 0) {
      count += width;
      d <<= width;
    }
  }
  return count;
}

#endif
