// Digit layer: digit product and quotient, squaring, long division on the inputs that
// reach its rare branches, octet conversion and shifts.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "crypto/bignum.h"
#include "tests/support/openssl_reference.h"

namespace {

TEST(DigitDivideTest, QuotientAndRemainderAgreeWith64BitArithmetic) {
  struct Case {
    const char* name;
    uint32_t high;
    uint32_t low;
    uint32_t d;
    int overflow;
  };
  const Case cases[] = {
      {"below divisor", 0x12345678u, 0x9ABCDEF0u, 0x87654321u, 0},
      {"largest without overflow", 0xFFFFFFFEu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0},
      {"high equals d", 0x80000000u, 0x00000001u, 0x80000000u, 1},
      {"high above d", 0xFFFFFFFFu, 0xFFFFFFFFu, 0x80000001u, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const uint64_t u = (static_cast<uint64_t>(c.high) << 32) | c.low;
    const uint32_t dividend[2] = {c.low, c.high};
    uint32_t quotient = 0;
    uint32_t remainder = 0;
    EXPECT_EQ(DigitDivide(&quotient, &remainder, dividend, c.d), c.overflow);
    EXPECT_EQ(quotient, static_cast<uint32_t>(u / c.d));
    EXPECT_EQ(remainder, static_cast<uint32_t>(u % c.d));
  }
}

TEST(DigitDivideTest, DivisorWithClearTopBitIsRefused) {
  const uint32_t dividend[2] = {5, 1};
  uint32_t quotient = 0xDEADBEEFu;
  uint32_t remainder = 0xDEADBEEFu;
  EXPECT_EQ(DigitDivide(&quotient, &remainder, dividend, 0x7FFFFFFFu), -1);
  EXPECT_EQ(quotient, 0u);
  EXPECT_EQ(remainder, 0u);
}

TEST(DigitMultiplyTest, LargestDigits) {
  uint32_t product[2] = {0, 0};
  DigitMultiply(product, 0xFFFFFFFFu, 0xFFFFFFFFu);
  EXPECT_EQ(product[0], 0x00000001u);
  EXPECT_EQ(product[1], 0xFFFFFFFEu);
}

// All-ones digits make every doubled cross product overflow two digits, so the square's
// extra carry bits are needed at every position.
TEST(DigitsSquareTest, AllOnesDigitsMatchMultiplyAndOpenSsl) {
  for (uint32_t n : {1u, 2u, 3u, 17u, 64u}) {
    SCOPED_TRACE(n);
    const Digits x(n, 0xFFFFFFFFu);
    Digits square(2 * static_cast<size_t>(n), 0xA5A5A5A5u);
    Digits product(2 * static_cast<size_t>(n), 0x5A5A5A5Au);
    DigitsSquare(square.data(), x.data(), n);
    DigitsMultiply(product.data(), x.data(), x.data(), n);
    EXPECT_EQ(square, ReferenceProduct(x, x));
    EXPECT_EQ(product, square);
  }
}

struct DivideCase {
  const char* name;
  Digits u;
  Digits v;
};

// Each case takes one of the division's particular paths; the results come from OpenSSL
// and the divisor must read the same afterwards.
TEST(DigitsDivideTest, ParticularPathsGiveExactResultsAndRestoreTheDivisor) {
  const DivideCase cases[] = {
      {"u equals v", {5, 7}, {5, 7}},
      {"u below v, same length", {4, 7}, {5, 7}},
      {"u shorter than v", {9, 0, 0}, {1, 2, 3}},
      {"one significant divisor digit", {0x89ABCDEFu, 0x01234567u, 0xFFFFFFFFu}, {7, 0}},
      {"divisor with leading zero digits", {1, 2, 3, 4}, {0x12345u, 0x6789Au, 0, 0}},
      {"estimate overflow", {0x12345678u, 0, 0x80000000u}, {0xFFFFFFFFu, 0x80000000u}},
      {"overflow with a large remainder",
       {0, 0xFFFFFFFEu, 0x80000000u},
       {0xFFFFFFFFu, 0x80000000u}},
      {"overflow then add back", {0, 0x0000FFFEu, 0, 0x00008000u}, {0x0000FFFFu, 0, 0x00008000u}},
      {"two estimate corrections",
       {0x6D97625Eu, 0x0000003Cu, 0xF6FFC1E9u},
       {0xE558CC8Cu, 0x8000BCC1u}},
      {"add back, unnormalised divisor", {3, 0, 0x80000000u}, {1, 0, 0x20000000u}},
      {"add back with a short quotient", {0, 0, 0x00008000u, 0x00007FFFu}, {1, 0, 0x00008000u}},
  };
  for (const DivideCase& c : cases) {
    SCOPED_TRACE(c.name);
    const auto nu = static_cast<uint32_t>(c.u.size());
    Digits v = c.v;
    Digits q(nu, 0xCCCCCCCCu);
    Digits r(nu, 0xCCCCCCCCu);
    ASSERT_EQ(
        DigitsDivide(q.data(), r.data(), c.u.data(), nu, v.data(), static_cast<uint32_t>(v.size())),
        0);
    Digits expectedQ;
    Digits expectedR;
    ReferenceDivide(c.u, c.v, &expectedQ, &expectedR);
    EXPECT_EQ(q, expectedQ);
    EXPECT_EQ(r, expectedR);
    EXPECT_EQ(v, c.v);
  }
}

TEST(DigitsDivideTest, ZeroDivisorGivesMinusOneWithZeroResults) {
  const Digits u = {1, 2, 3};
  Digits v = {0, 0};
  Digits q(3, 0xCCCCCCCCu);
  Digits r(3, 0xCCCCCCCCu);
  EXPECT_EQ(DigitsDivide(q.data(), r.data(), u.data(), 3, v.data(), 2), -1);
  EXPECT_EQ(q, Digits(3, 0));
  EXPECT_EQ(r, Digits(3, 0));
}

TEST(DigitsDivideShortTest, QuotientAndRemainder) {
  const Digits u = {0x89ABCDEFu, 0x01234567u, 0xFFFFFFFFu};
  Digits q(3, 0);
  const uint32_t remainder = DigitsDivideShort(q.data(), u.data(), 1000003u, 3);
  Digits expectedQ;
  Digits expectedR;
  ReferenceDivide(u, {1000003u}, &expectedQ, &expectedR);
  EXPECT_EQ(q, expectedQ);
  EXPECT_EQ(remainder, expectedR[0]);
}

TEST(DigitsDivideShortTest, ZeroDivisorOrNoDigitsLeavesQuotientAlone) {
  const Digits u = {1, 2};
  Digits q = {0xCCCCCCCCu, 0xCCCCCCCCu};
  EXPECT_EQ(DigitsDivideShort(q.data(), u.data(), 0, 2), 0u);
  EXPECT_EQ(DigitsDivideShort(q.data(), u.data(), 3, 0), 0u);
  EXPECT_EQ(q, Digits(2, 0xCCCCCCCCu));
}

const uint8_t kOneToTen[10] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A};

TEST(DigitsOctetsTest, FromOctetsFillsFromTheLastOctet) {
  struct Case {
    uint32_t n;
    uint32_t filled;
    Digits digits;
  };
  const Case cases[] = {
      {4, 3, {0x0708090Au, 0x03040506u, 0x00000102u, 0}},
      {2, 2, {0x0708090Au, 0x03040506u}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.n);
    Digits a(c.n, 0xCCCCCCCCu);
    EXPECT_EQ(DigitsFromOctets(a.data(), c.n, kOneToTen, sizeof kOneToTen), c.filled);
    EXPECT_EQ(a, c.digits);
  }
}

TEST(DigitsOctetsTest, ToOctetsIsRightAlignedAndReportsTheFullSize) {
  struct Case {
    std::vector<uint8_t> octets;
  };
  const Case cases[] = {
      {{0, 0, 0, 0, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A}},
      {{0x05, 0x06, 0x07, 0x08, 0x09, 0x0A}},
  };
  const Digits a = {0x0708090Au, 0x03040506u, 0x00000102u, 0};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.octets.size());
    std::vector<uint8_t> out(c.octets.size(), 0xCC);
    EXPECT_EQ(DigitsToOctets(a.data(), 4, out.data(), static_cast<uint32_t>(out.size())), 10u);
    EXPECT_EQ(out, c.octets);
  }
}

TEST(DigitsShiftTest, ShiftsReturnTheBitsShiftedOut) {
  struct Case {
    uint32_t s;
    Digits left;
    uint32_t leftOut;
    Digits right;
    uint32_t rightOut;
  };
  const Digits b = {0x80000001u, 0xC0000003u};
  const Case cases[] = {
      {0, b, 0, b, 0},
      {1, {0x00000002u, 0x80000007u}, 1, {0xC0000000u, 0x60000001u}, 0x80000000u},
      {31, {0x80000000u, 0xC0000000u}, 0x60000001u, {0x80000007u, 0x00000001u}, 0x00000002u},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.s);
    Digits a(2, 0);
    EXPECT_EQ(DigitsShiftLeft(a.data(), b.data(), c.s, 2), c.leftOut);
    EXPECT_EQ(a, c.left);
    EXPECT_EQ(DigitsShiftRight(a.data(), b.data(), c.s, 2), c.rightOut);
    EXPECT_EQ(a, c.right);
    // In place gives the same.
    a = b;
    DigitsShiftLeft(a.data(), a.data(), c.s, 2);
    EXPECT_EQ(a, c.left);
    a = b;
    DigitsShiftRight(a.data(), a.data(), c.s, 2);
    EXPECT_EQ(a, c.right);
  }
}

TEST(DigitsSizeTest, SignificantDigitsAndBitLength) {
  struct Case {
    const char* name;
    Digits a;
    uint32_t significant;
    uint32_t bits;
  };
  const Case cases[] = {
      {"empty", {}, 0, 0},
      {"zero", {0, 0}, 0, 0},
      {"one", {1, 0}, 1, 1},
      {"top bit of second digit", {0, 0x80000000u, 0}, 2, 64},
      {"small second digit", {0xFFFFFFFFu, 0x00000100u}, 2, 41},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto n = static_cast<uint32_t>(c.a.size());
    EXPECT_EQ(DigitsSignificant(c.a.data(), n), c.significant);
    EXPECT_EQ(DigitsBitLength(c.a.data(), n), c.bits);
  }
  EXPECT_EQ(DigitsBitLength(nullptr, 4), 0u);
}

TEST(DigitsCompareTest, OrdersFromTheTopDigit) {
  const Digits small = {0xFFFFFFFFu, 1};
  const Digits large = {0, 2};
  EXPECT_EQ(DigitsCompare(small.data(), large.data(), 2), -1);
  EXPECT_EQ(DigitsCompare(large.data(), small.data(), 2), 1);
  EXPECT_EQ(DigitsCompare(large.data(), large.data(), 2), 0);
  EXPECT_EQ(DigitsCompare(small.data(), large.data(), 0), 0);
}

TEST(DigitsWipeTest, ZeroesEveryDigit) {
  Digits a = {1, 2, 3, 4};
  DigitsWipe(a.data(), 4);
  EXPECT_EQ(a, Digits(4, 0));
}

}  // namespace
