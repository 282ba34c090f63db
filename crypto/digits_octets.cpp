// Conversion between digit arrays (least significant digit first) and big-endian octet
// strings, the form in which keys and signatures are stored.
#include "crypto/bignum.h"

namespace {
constexpr uint32_t kOctetsPerDigit = 4;
constexpr uint32_t kOctetBits = 8;
}  // namespace

uint32_t DigitsFromOctets(uint32_t* a, uint32_t n, const uint8_t* octets, uint32_t count) {
  for (uint32_t i = 0; i < n; ++i) {
    a[i] = 0;
  }
  // Counting from the last octet: octet k from the end is bits 8 (k mod 4) of digit k / 4.
  for (uint32_t k = 0; k < count && k / kOctetsPerDigit < n; ++k) {
    a[k / kOctetsPerDigit] |= static_cast<uint32_t>(octets[count - 1 - k])
                              << (kOctetBits * (k % kOctetsPerDigit));
  }
  const uint32_t filled = count / kOctetsPerDigit + (count % kOctetsPerDigit != 0 ? 1 : 0);
  return filled < n ? filled : n;
}

uint32_t DigitsToOctets(const uint32_t* a, uint32_t n, uint8_t* out, uint32_t length) {
  for (uint32_t k = 0; k < length; ++k) {
    const uint32_t digit = k / kOctetsPerDigit;
    out[length - 1 - k] =
        digit < n ? static_cast<uint8_t>(a[digit] >> (kOctetBits * (k % kOctetsPerDigit))) : 0;
  }
  return (DigitsBitLength(a, n) + kOctetBits - 1) / kOctetBits;
}
