// The number layer: a BigNum owns a growable, zero-padded digit array; creation, release,
// resizing, octet conversion and modular exponentiation over it.
#include "crypto/bignum.h"

#include "crypto/digits_alloc.h"
#include "crypto/memory.h"

BigNum* BigNumCreate() {
  auto* number = static_cast<BigNum*>(MemoryAllocate(sizeof(BigNum)));
  if (number == nullptr) {
    return nullptr;
  }
  number->digits = AllocateDigits(1);
  if (number->digits == nullptr) {
    MemoryRelease(number);
    return nullptr;
  }
  number->length = 0;
  number->capacity = 1;
  return number;
}

void BigNumRelease(BigNum** handle) {
  if (handle == nullptr || *handle == nullptr) {
    return;
  }
  BigNum* number = *handle;
  ReleaseDigits(&number->digits, number->capacity);
  number->length = 0;
  number->capacity = 0;
  MemoryRelease(number);
  *handle = nullptr;
}

int BigNumResize(BigNum* number, uint32_t digitCount) {
  if (digitCount < number->length) {
    DigitsWipe(number->digits + digitCount, number->length - digitCount);
    number->length = digitCount;
    return 0;
  }
  if (number->capacity < digitCount) {
    if (number->digits == nullptr) {
      return 1;
    }
    uint32_t* grown = AllocateDigits(digitCount);
    if (grown == nullptr) {
      return 1;
    }
    DigitsCopy(grown, number->digits, number->length);
    // The old block may hold key or signature digits; it is wiped before it is freed.
    ReleaseDigits(&number->digits, number->capacity);
    number->digits = grown;
    number->capacity = digitCount;
  }
  DigitsSetDigit(number->digits + number->length, 0, digitCount - number->length);
  return 0;
}

uint32_t BigNumFromOctets(BigNum* number, const uint8_t* octets, uint32_t count) {
  const uint32_t digitCount = count / 4 + (count % 4 != 0 ? 1 : 0);
  if (BigNumResize(number, digitCount) != 0) {
    return 0;
  }
  const uint32_t filled = DigitsFromOctets(number->digits, digitCount, octets, count);
  number->length = DigitsSignificant(number->digits, filled);
  return filled;
}

uint32_t BigNumToOctets(const BigNum* number, uint8_t* out, uint32_t length) {
  if (out != nullptr && length != 0) {
    return DigitsToOctets(number->digits, number->length, out, length);
  }
  return (DigitsBitLength(number->digits, number->length) + 7) / 8;
}

int BigNumModExp(BigNum* y, BigNum* x, BigNum* e, BigNum* m) {
  uint32_t n = x->length;
  n = e->length > n ? e->length : n;
  n = m->length > n ? m->length : n;
  // y only grows here; a longer y is cut after success, so that a failure leaves its
  // value as it was.
  const uint32_t yDigits = y->length > n ? y->length : n;
  if (BigNumResize(x, n) != 0 || BigNumResize(e, n) != 0 || BigNumResize(m, n) != 0 ||
      BigNumResize(y, yDigits) != 0) {
    return 1;
  }
  int failed = 0;
  if (DigitsModExp(y->digits, x->digits, e->digits, m->digits, n, &failed) != 0 || failed != 0) {
    return 1;
  }
  if (y->length > n) {
    DigitsWipe(y->digits + n, y->length - n);
  }
  y->length = DigitsSignificant(y->digits, n);
  return 0;
}
