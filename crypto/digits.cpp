// The digit layer's basic operations: digit products and quotients, addition, comparison,
// sizes, copying, wiping and shifts over arrays of 32-bit digits.
#include <cstddef>

#include "crypto/bignum.h"
#include "crypto/common.h"
#include "crypto/digit_ops.h"

void DigitMultiply(uint32_t out[2], uint32_t a, uint32_t b) {
  const uint64_t product = DigitProduct(a, b);
  out[0] = LowDigit(product);
  out[1] = HighDigit(product);
}

int DigitDivide(uint32_t* quotient, uint32_t* remainder, const uint32_t u[2], uint32_t d) {
  if ((d & kDigitTopBit) == 0) {
    *quotient = 0;
    *remainder = 0;
    return -1;
  }
  uint32_t high = u[1];
  int overflow = 0;
  if (high >= d) {
    // Bit 32 of the quotient; what is left of the high digit is below d, so the rest of
    // the quotient fits in one digit.
    high -= d;
    overflow = 1;
  }
  const uint64_t dividend = (static_cast<uint64_t>(high) << kDigitBits) | u[0];
  *quotient = static_cast<uint32_t>(dividend / d);
  *remainder = static_cast<uint32_t>(dividend % d);
  return overflow;
}

uint32_t DigitsAdd(uint32_t* w, const uint32_t* u, const uint32_t* v, uint32_t n) {
  uint64_t carry = 0;
  for (uint32_t i = 0; i < n; ++i) {
    const uint64_t sum = static_cast<uint64_t>(u[i]) + v[i] + carry;
    w[i] = LowDigit(sum);
    carry = sum >> kDigitBits;
  }
  return static_cast<uint32_t>(carry);
}

int DigitsCompare(const uint32_t* a, const uint32_t* b, uint32_t n) {
  for (uint32_t i = n; i-- > 0;) {
    if (a[i] != b[i]) {
      return a[i] > b[i] ? 1 : -1;
    }
  }
  return 0;
}

uint32_t DigitsSignificant(const uint32_t* a, uint32_t n) {
  while (n > 0 && a[n - 1] == 0) {
    --n;
  }
  return n;
}

uint32_t DigitsBitLength(const uint32_t* a, uint32_t n) {
  if (a == nullptr) {
    return 0;
  }
  const uint32_t significant = DigitsSignificant(a, n);
  if (significant == 0) {
    return 0;
  }
  return kDigitBits * significant - DigitLeadingZeros(a[significant - 1]);
}

void DigitsCopy(uint32_t* dst, const uint32_t* src, uint32_t n) {
  for (uint32_t i = 0; i < n; ++i) {
    dst[i] = src[i];
  }
}

void DigitsWipe(uint32_t* a, uint32_t n) {
  Wipe(a, sizeof(uint32_t) * static_cast<size_t>(n));
}

void DigitsSetDigit(uint32_t* a, uint32_t d, uint32_t n) {
  if (n == 0) {
    return;
  }
  a[0] = d;
  for (uint32_t i = 1; i < n; ++i) {
    a[i] = 0;
  }
}

uint32_t DigitsShiftLeft(uint32_t* a, const uint32_t* b, uint32_t s, uint32_t n) {
  if (n == 0) {
    return 0;
  }
  if (s == 0) {
    DigitsCopy(a, b, n);
    return 0;
  }
  const uint32_t out = b[n - 1] >> (kDigitBits - s);
  // From the top down, so that a may be b: b[i - 1] is still unshifted when a[i] is made.
  for (uint32_t i = n - 1; i > 0; --i) {
    a[i] = (b[i] << s) | (b[i - 1] >> (kDigitBits - s));
  }
  a[0] = b[0] << s;
  return out;
}

uint32_t DigitsShiftRight(uint32_t* a, const uint32_t* b, uint32_t s, uint32_t n) {
  if (n == 0) {
    return 0;
  }
  if (s == 0) {
    DigitsCopy(a, b, n);
    return 0;
  }
  const uint32_t out = b[0] << (kDigitBits - s);
  // From the bottom up, so that a may be b: b[i + 1] is still unshifted when a[i] is made.
  for (uint32_t i = 0; i + 1 < n; ++i) {
    a[i] = (b[i] >> s) | (b[i + 1] << (kDigitBits - s));
  }
  a[n - 1] = b[n - 1] >> s;
  return out;
}
