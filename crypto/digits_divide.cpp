// Division of digit arrays: by one digit, and Knuth's long division (Algorithm D) in base
// 2^32 with a normalised divisor.
#include "crypto/bignum.h"
#include "crypto/digit_ops.h"

uint32_t DigitsDivideShort(uint32_t* q, const uint32_t* u, uint32_t d, uint32_t n) {
  if (n == 0 || d == 0) {
    return 0;
  }
  const uint32_t shift = DigitLeadingZeros(d);
  const uint32_t divisor = d << shift;
  uint32_t running[2] = {0, DigitsShiftLeft(q, u, shift, n)};
  for (uint32_t i = n; i-- > 0;) {
    running[0] = q[i];
    // running[1] < divisor, so DigitDivide never reports a quotient overflow here.
    DigitDivide(&q[i], &running[1], running, divisor);
  }
  return running[1] >> shift;
}

namespace {

// Whether qhat * vSecond exceeds the double digit (rhat, uNext): qhat is then too big.
bool EstimateTooBig(uint32_t qhat, uint32_t vSecond, uint32_t rhat, uint32_t uNext) {
  return DigitProduct(qhat, vSecond) > ((static_cast<uint64_t>(rhat) << kDigitBits) | uNext);
}

// The quotient digit for the t + 1 digits (uhi, r[t-1], ..., r[0]) divided by the
// normalised v (t >= 2 digits): at most one too big afterwards, never too small.
uint32_t EstimateQuotientDigit(uint32_t uhi, const uint32_t* r, const uint32_t* v, uint32_t t) {
  const uint32_t vTop = v[t - 1];
  const uint32_t dividend[2] = {r[t - 1], uhi};
  uint32_t qhat = 0;
  uint32_t rhat = 0;
  if (DigitDivide(&qhat, &rhat, dividend, vTop) == 1) {
    // uhi has reached vTop: the estimate is capped at the largest digit, and the remainder
    // it leaves is ulo + vTop; when that does not fit a digit the test below cannot fire.
    qhat = 0xFFFFFFFFu;
    rhat = r[t - 1] + vTop;
    if (rhat < vTop) {
      return qhat;
    }
  }
  if (qhat == 0 || !EstimateTooBig(qhat, v[t - 2], rhat, r[t - 2])) {
    return qhat;
  }
  --qhat;
  rhat += vTop;
  if (rhat >= vTop && EstimateTooBig(qhat, v[t - 2], rhat, r[t - 2])) {
    --qhat;
  }
  return qhat;
}

}  // namespace

int DigitsDivide(uint32_t* q, uint32_t* r, const uint32_t* u, uint32_t nu, uint32_t* v,
                 uint32_t nv) {
  DigitsSetDigit(q, 0, nu);
  DigitsSetDigit(r, 0, nu);
  const uint32_t t = DigitsSignificant(v, nv);
  const uint32_t m = DigitsSignificant(u, nu);
  if (t == 0) {
    return -1;
  }
  if (t == 1) {
    r[0] = DigitsDivideShort(q, u, v[0], nu);
    return 0;
  }
  if (m < t) {
    DigitsCopy(r, u, nu);
    return 0;
  }
  if (m == t) {
    const int order = DigitsCompare(u, v, t);
    if (order < 0) {
      DigitsCopy(r, u, nu);
      return 0;
    }
    if (order == 0) {
      DigitsSetDigit(q, 1, nu);
      return 0;
    }
  }

  // Normalise so that the divisor's top bit is set; the dividend gains an extra top digit.
  const uint32_t shift = DigitLeadingZeros(v[t - 1]);
  DigitsShiftLeft(v, v, shift, t);
  uint32_t uhi = DigitsShiftLeft(r, u, shift, m);

  for (uint32_t j = m - t + 1; j-- > 0;) {
    uint32_t* window = r + j;
    uint32_t qhat = EstimateQuotientDigit(uhi, window, v, t);
    if (DigitsMultiplySubtract(uhi, window, v, qhat, t) != 0) {
      // The subtraction went below zero: qhat was one too big. Adding v back once carries
      // out of the top digit, which cancels the borrow.
      --qhat;
      DigitsAdd(window, window, v, t);
    }
    q[j] = qhat;
    if (j > 0) {
      uhi = r[j + t - 1];
    }
  }

  DigitsSetDigit(r + t, 0, m - t);
  DigitsShiftRight(r, r, shift, t);
  DigitsShiftRight(v, v, shift, t);
  return 0;
}
