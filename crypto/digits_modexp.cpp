// Modular exponentiation over digit arrays: left-to-right binary square-and-multiply, each
// step reduced by a full long division. The only digit operation that allocates.
#include <cstdint>

#include "crypto/bignum.h"
#include "crypto/digit_ops.h"
#include "crypto/digits_alloc.h"

namespace {

// The working arrays of one exponentiation, each owned until ReleaseWork.
struct ModExpWork {
  uint32_t* product;    // 2n digits: square or product before reduction
  uint32_t* quotient;   // 2n digits: discarded quotient of each reduction
  uint32_t* remainder;  // 2n digits: reduced value, low n digits significant
  uint32_t* modulus;    // n digits: private copy, normalised in place by DigitsDivide
  uint32_t* power;      // n digits: the running power
  uint32_t n;
};

// Wipes and releases whatever the work record holds; every exit path goes through here.
void ReleaseWork(ModExpWork* work) {
  ReleaseDigits(&work->product, 2 * work->n);
  ReleaseDigits(&work->quotient, 2 * work->n);
  ReleaseDigits(&work->remainder, 2 * work->n);
  ReleaseDigits(&work->modulus, work->n);
  ReleaseDigits(&work->power, work->n);
}

// power = power * power (or power * x) mod modulus.
void SquareOrMultiplyStep(ModExpWork* work, const uint32_t* x) {
  const uint32_t n = work->n;
  if (x == nullptr) {
    DigitsSquare(work->product, work->power, n);
  } else {
    DigitsMultiply(work->product, work->power, x, n);
  }
  DigitsDivide(work->quotient, work->remainder, work->product, 2 * n, work->modulus, n);
  DigitsCopy(work->power, work->remainder, n);
}

}  // namespace

int DigitsModExp(uint32_t* y, const uint32_t* x, const uint32_t* e, const uint32_t* m, uint32_t n,
                 int* failed) {
  *failed = 0;
  if (n == 0) {
    return -1;
  }
  const uint64_t wide = 2 * static_cast<uint64_t>(n);
  ModExpWork work = {nullptr, nullptr, nullptr, nullptr, nullptr, n};
  work.product = AllocateDigits(wide);
  work.quotient = work.product != nullptr ? AllocateDigits(wide) : nullptr;
  work.remainder = work.quotient != nullptr ? AllocateDigits(wide) : nullptr;
  work.modulus = work.remainder != nullptr ? AllocateDigits(n) : nullptr;
  work.power = work.modulus != nullptr ? AllocateDigits(n) : nullptr;
  if (work.power == nullptr) {
    ReleaseWork(&work);
    *failed = 1;
    return 0;
  }

  DigitsCopy(work.modulus, m, n);
  // Scan e from the bit below its top set bit. An exponent of 0 or 1 has no such bit, so
  // no step runs and y is x as given.
  uint32_t t = DigitsSignificant(e, n);
  uint32_t mask = 0;
  if (t > 0) {
    mask = kDigitTopBit;
    while ((e[t - 1] & mask) == 0) {
      mask >>= 1;
    }
    mask >>= 1;
    if (mask == 0) {
      mask = kDigitTopBit;
      --t;
    }
  }
  DigitsCopy(work.power, x, n);
  while (t > 0) {
    SquareOrMultiplyStep(&work, nullptr);
    if ((e[t - 1] & mask) != 0) {
      SquareOrMultiplyStep(&work, x);
    }
    mask >>= 1;
    if (mask == 0) {
      mask = kDigitTopBit;
      --t;
    }
  }
  DigitsCopy(y, work.power, n);
  ReleaseWork(&work);
  return 0;
}
