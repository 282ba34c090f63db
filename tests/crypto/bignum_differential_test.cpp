// Random 2048-bit arithmetic against OpenSSL: exponentiation, long division (with
// constructions that force the quotient estimate to overflow), products and squares.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "crypto/bignum.h"
#include "tests/support/openssl_reference.h"
#include "tests/support/test_seed.h"

namespace {

constexpr uint32_t kDigits = 64;  // 2048 bits

class BignumDifferentialTest : public ::testing::Test {
 protected:
  BignumDifferentialTest() : random_(TestSeed()) {}

  uint32_t Digit() { return static_cast<uint32_t>(random_()); }

  Digits RandomDigits(uint32_t n) {
    Digits digits(n);
    std::generate(digits.begin(), digits.end(), [this] { return Digit(); });
    return digits;
  }

  // An odd modulus of exactly n digits, like an RSA key.
  Digits RandomModulus(uint32_t n) {
    Digits m = RandomDigits(n);
    m[0] |= 1;
    m[n - 1] |= 0x80000000u;
    return m;
  }

  static Digits ModExp(const Digits& x, const Digits& e, const Digits& m) {
    const auto n = static_cast<uint32_t>(m.size());
    Digits y(n, 0);
    int failed = 0;
    EXPECT_EQ(DigitsModExp(y.data(), x.data(), e.data(), m.data(), n, &failed), 0);
    EXPECT_EQ(failed, 0);
    return y;
  }

  static void ExpectDivision(const Digits& u, const Digits& divisor) {
    const auto nu = static_cast<uint32_t>(u.size());
    Digits v = divisor;
    Digits q(nu);
    Digits r(nu);
    ASSERT_EQ(
        DigitsDivide(q.data(), r.data(), u.data(), nu, v.data(), static_cast<uint32_t>(v.size())),
        0);
    Digits expectedQ;
    Digits expectedR;
    ReferenceDivide(u, divisor, &expectedQ, &expectedR);
    EXPECT_EQ(q, expectedQ);
    EXPECT_EQ(r, expectedR);
    EXPECT_EQ(v, divisor) << "divisor not restored";
  }

  std::mt19937_64 random_;
};

Digits Exponent65537() {
  Digits e(kDigits, 0);
  e[0] = 0x10001u;
  return e;
}

TEST_F(BignumDifferentialTest, ModExp65537MatchesOpenSsl) {
  const Digits e = Exponent65537();
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(round);
    const Digits m = RandomModulus(kDigits);
    Digits x = RandomDigits(kDigits);
    x[kDigits - 1] &= 0x7FFFFFFFu;  // below m
    EXPECT_EQ(ModExp(x, e, m), ReferenceModExp(x, e, m));
  }
}

TEST_F(BignumDifferentialTest, ModExpReducesABaseAboveTheModulus) {
  const Digits e = Exponent65537();
  for (int round = 0; round < 5; ++round) {
    SCOPED_TRACE(round);
    Digits m = RandomModulus(kDigits);
    m[kDigits - 1] &= 0xBFFFFFFFu;
    Digits x = RandomDigits(kDigits);
    x[kDigits - 1] |= 0xC0000000u;  // above m
    EXPECT_EQ(ModExp(x, e, m), ReferenceModExp(x, e, m));
  }
}

TEST_F(BignumDifferentialTest, ModExpWithAllOnesBaseAndModulus) {
  const Digits ones(kDigits, 0xFFFFFFFFu);
  Digits almostOnes = ones;
  almostOnes[0] = 0xFFFFFFFDu;
  const Digits e = Exponent65537();
  EXPECT_EQ(ModExp(ones, e, ones), ReferenceModExp(ones, e, ones));
  EXPECT_EQ(ModExp(ones, e, almostOnes), ReferenceModExp(ones, e, almostOnes));
  EXPECT_EQ(ModExp(almostOnes, e, ones), ReferenceModExp(almostOnes, e, ones));
}

TEST_F(BignumDifferentialTest, ModExpWithRandomExponents) {
  for (uint32_t exponentDigits : {1u, 2u, 64u}) {
    SCOPED_TRACE(exponentDigits);
    const Digits m = RandomModulus(kDigits);
    Digits x = RandomDigits(kDigits);
    x[kDigits - 1] &= 0x7FFFFFFFu;
    Digits e(kDigits, 0);
    for (uint32_t i = 0; i < exponentDigits; ++i) {
      e[i] = Digit();
    }
    e[exponentDigits - 1] |= 0x80000000u;  // at least 2
    EXPECT_EQ(ModExp(x, e, m), ReferenceModExp(x, e, m));
  }
}

TEST_F(BignumDifferentialTest, DivisionOfRandomNumbersOfEveryDivisorLength) {
  for (uint32_t t = 1; t <= kDigits; ++t) {
    SCOPED_TRACE(t);
    Digits v = RandomDigits(kDigits);
    std::fill(v.begin() + t, v.end(), 0);
    v[t - 1] >>= Digit() % 32;  // any normalisation shift
    if (v[t - 1] == 0) {
      v[t - 1] = 1;
    }
    ExpectDivision(RandomDigits(2 * kDigits), v);
  }
}

// A dividend whose top digits are v - 1 gives quotient digit 0 first (after an add-back) and
// leaves a remainder whose top digit equals v's, so the next estimate overflows.
TEST_F(BignumDifferentialTest, DivisionWithQuotientEstimateOverflow) {
  for (int round = 0; round < 50; ++round) {
    SCOPED_TRACE(round);
    const uint32_t t = 2 + Digit() % (kDigits - 1);
    Digits v = RandomDigits(t);
    v[0] |= 1;
    v[t - 1] |= 0x80000000u;
    if (round % 2 == 1) {
      v[t - 1] >>= 1 + Digit() % 31;  // unnormalised: the same happens after the shift
      v[t - 1] |= 1;
    }
    Digits u = RandomDigits(2 * kDigits);
    std::copy(v.begin(), v.end(), u.end() - t);
    u[2 * kDigits - t] -= 1;
    ExpectDivision(u, v);
  }
}

// Lengths of both parities: even lengths run two digits at a time where the compiler allows,
// odd ones one digit at a time. Zero digits, single and in aligned pairs, are rows that the
// multiplication skips.
TEST_F(BignumDifferentialTest, ProductsAndSquaresMatchOpenSsl) {
  for (int round = 0; round < 20; ++round) {
    const uint32_t n = round < 10 ? 1 + round : kDigits - (round - 10);
    SCOPED_TRACE(n);
    Digits a = RandomDigits(n);
    Digits b = RandomDigits(n);
    for (uint32_t i = 0; i < n; i += 1 + Digit() % 8) {
      b[i] = 0;
      if (round % 2 == 0 && (i ^ 1) < n) {
        b[i ^ 1] = 0;
      }
      a[i] = 0xFFFFFFFFu;
    }
    Digits product(2 * static_cast<size_t>(n));
    Digits square(2 * static_cast<size_t>(n));
    DigitsMultiply(product.data(), a.data(), b.data(), n);
    DigitsSquare(square.data(), a.data(), n);
    EXPECT_EQ(product, ReferenceProduct(a, b));
    EXPECT_EQ(square, ReferenceProduct(a, a));
  }
}

}  // namespace
