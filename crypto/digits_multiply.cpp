// The digit layer's products: multiply-and-subtract (the core of long division),
// schoolbook multiplication and squaring. These loops carry nearly all of the cost of an
// RSA operation, so each keeps its carry in one 64-bit accumulator.
#include "crypto/bignum.h"
#include "crypto/digit_ops.h"

uint32_t DigitsMultiplySubtract(uint32_t t, uint32_t* w, const uint32_t* v, uint32_t q,
                                uint32_t n) {
  if (q == 0) {
    return t;
  }
  // One signed accumulator takes the digit, minus the low half of this product and the high
  // half of the previous one; its arithmetic shift is the borrow into the next digit. The
  // product halves come off the multiplier outside the carry chain, which is one add and
  // one shift per digit.
  int64_t accumulator = 0;
  uint32_t previousHigh = 0;
  for (uint32_t i = 0; i < n; ++i) {
    const uint64_t product = DigitProduct(q, v[i]);
    accumulator += static_cast<int64_t>(w[i]) - LowDigit(product) - previousHigh;
    previousHigh = HighDigit(product);
    w[i] = static_cast<uint32_t>(accumulator);
    accumulator >>= kDigitBits;  // arithmetic: 0 or a negative borrow
  }
  return t - previousHigh + static_cast<uint32_t>(accumulator);
}

void DigitsMultiply(uint32_t* w, const uint32_t* u, const uint32_t* v, uint32_t n) {
  for (uint32_t k = 0; k < 2 * n; ++k) {
    w[k] = 0;
  }
  for (uint32_t j = 0; j < n; ++j) {
    const uint32_t vj = v[j];
    if (vj == 0) {
      continue;  // w[j + n] is still zero from above.
    }
    uint32_t* row = w + j;
    uint32_t carry = 0;
    for (uint32_t i = 0; i < n; ++i) {
      // At most (2^32 - 1)^2 + 2 (2^32 - 1) = 2^64 - 1: never overflows.
      const uint64_t sum = DigitProduct(u[i], vj) + row[i] + carry;
      row[i] = LowDigit(sum);
      carry = HighDigit(sum);
    }
    row[n] = carry;
  }
}

void DigitsSquare(uint32_t* w, const uint32_t* x, uint32_t n) {
  for (uint32_t k = 0; k < 2 * n; ++k) {
    w[k] = 0;
  }
  // A doubled cross product is up to 2^65, so the carry out of a position is a digit plus
  // a high part of at most two bits. The digit goes into the next position and the high
  // part, worth 2^64 here, into the one after it; keeping the two apart keeps the doubling's
  // overflow test off the digit carry's chain. Whatever a row leaves for the positions
  // above its end is added in where the next row ends, one digit higher.
  uint32_t pendingHigh = 0;
  for (uint32_t i = 0; i < n; ++i) {
    const uint32_t xi = x[i];
    uint32_t* row = w + i;  // row[j] is position i + j
    const uint64_t square = DigitProduct(xi, xi) + row[i];
    row[i] = LowDigit(square);
    uint32_t carry = HighDigit(square);
    uint32_t high = 0;      // due one position up, beside carry
    uint32_t highNext = 0;  // due at the current position
    for (uint32_t j = i + 1; j < n; ++j) {
      const uint64_t product = DigitProduct(xi, x[j]);
      const uint64_t small = static_cast<uint64_t>(row[j]) + carry + highNext;
      const uint64_t sum = (product << 1) + small;
      row[j] = LowDigit(sum);
      carry = HighDigit(sum);
      highNext = high;
      high = (HighDigit(product) >> (kDigitBits - 1)) + (sum < small ? 1u : 0u);
    }
    // carry and highNext are due at position i + n, high one above it.
    const uint64_t top = static_cast<uint64_t>(carry) + highNext + pendingHigh;
    row[n] = LowDigit(top);
    pendingHigh = HighDigit(top) + high;
  }
}
