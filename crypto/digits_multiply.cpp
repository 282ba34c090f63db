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
  // Two independent carry chains, the product's high digit and the subtraction's borrow,
  // so that neither waits for the other.
  uint32_t productCarry = 0;
  uint32_t borrow = 0;
  for (uint32_t i = 0; i < n; ++i) {
    const uint64_t product = DigitProduct(q, v[i]) + productCarry;
    productCarry = HighDigit(product);
    const uint64_t difference = static_cast<uint64_t>(w[i]) - LowDigit(product) - borrow;
    w[i] = LowDigit(difference);
    borrow = HighDigit(difference) & 1u;
  }
  return t - productCarry - borrow;
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
  // The running carry is a digit plus a high part of at most two bits, kept together in
  // one 64-bit value: a doubled product is up to 2^65, so a row's carry can exceed a digit.
  // The high part of a row's final carry belongs one digit above that row's end, which is
  // where the next row's final carry goes; it is added in there.
  uint32_t pendingHigh = 0;
  for (uint32_t i = 0; i < n; ++i) {
    const uint32_t xi = x[i];
    const uint64_t square = DigitProduct(xi, xi) + w[2 * i];
    w[2 * i] = LowDigit(square);
    uint64_t carry = HighDigit(square);
    for (uint32_t j = i + 1; j < n; ++j) {
      const uint64_t product = DigitProduct(xi, x[j]);
      uint32_t high = HighDigit(product) >> (kDigitBits - 1);
      const uint64_t addend = w[i + j] + carry;
      const uint64_t sum = (product << 1) + addend;
      high += sum < addend ? 1u : 0u;
      w[i + j] = LowDigit(sum);
      carry = (sum >> kDigitBits) | (static_cast<uint64_t>(high) << kDigitBits);
    }
    carry += pendingHigh;
    w[i + n] = LowDigit(carry);
    pendingHigh = HighDigit(carry);
  }
}
