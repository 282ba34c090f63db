// The digit products with their rows in assembly against the portable C++ loops, on random
// digits and on the operands that make every carry and borrow as large as it gets, at every
// length from 0 to 66 digits and from aligned and unaligned starts; and the rows themselves,
// whose full 64-bit carries the digit functions cut to 32 bits, against OpenSSL. Skipped on
// processors without BMI2 and ADX; builds without the assembly (KT_DIGITS_NARROW) have only a
// skipped placeholder.
#include <gtest/gtest.h>
#include <openssl/bn.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

#include "crypto/digits_multiply.h"
#include "crypto/implementation.h"
#include "tests/support/openssl_reference.h"
#include "tests/support/test_seed.h"

namespace {

#ifdef KT_DIGITS_ADX

constexpr uint32_t kMaxDigits = 66;
// Digits before and after each operand, so that a write beyond it shows. An operand at
// kGuard digits into its buffer is 8-byte aligned, as vector storage is; at kGuard - 1 it
// starts one digit off, as the windows of a long division do every other step.
constexpr uint32_t kGuard = 2;
constexpr uint32_t kOffsets[] = {kGuard, kGuard - 1};
constexpr uint32_t kGuardFill = 0xA5C3F00Fu;

enum class Fill { kRandom, kOnes, kZero };

class DigitsAdxTest : public ::testing::Test {
 protected:
  DigitsAdxTest() : random_(TestSeed()) {}

  void SetUp() override {
    if (!ImplementationSupported(DigitRowsImplementation::kAdx)) {
      GTEST_SKIP() << "this processor lacks BMI2 or ADX";
    }
  }

  uint32_t Digit() { return static_cast<uint32_t>(random_()); }

  Digits Make(uint32_t n, Fill fill) {
    Digits digits(n, fill == Fill::kOnes ? 0xFFFFFFFFu : 0);
    if (fill == Fill::kRandom) {
      std::generate(digits.begin(), digits.end(), [this] { return Digit(); });
    }
    return digits;
  }

  // `n` digits of the given fill at `offset` digits into a guarded buffer.
  Digits Guarded(uint32_t n, Fill fill, uint32_t offset) {
    Digits buffer(n + 2 * kGuard, kGuardFill);
    const Digits digits = Make(n, fill);
    std::copy(digits.begin(), digits.end(), buffer.begin() + offset);
    return buffer;
  }

  std::mt19937_64 random_;
};

struct OperandCase {
  const char* name;
  Fill first;   // w, or u
  Fill second;  // v
  bool largestQ;
};

// All ones gives the largest products and carries; a zero w under all ones gives the largest
// borrows; random digits give everything in between.
const OperandCase kOperandCases[] = {
    {"random", Fill::kRandom, Fill::kRandom, false},
    {"random, largest q", Fill::kRandom, Fill::kRandom, true},
    {"all ones, largest q", Fill::kOnes, Fill::kOnes, true},
    {"zero w, all-ones v, largest q", Fill::kZero, Fill::kOnes, true},
    {"all-ones w, random v", Fill::kOnes, Fill::kRandom, false},
    {"random w, all-ones v, largest q", Fill::kRandom, Fill::kOnes, true},
};

TEST_F(DigitsAdxTest, MultiplySubtractMatchesPortable) {
  for (const OperandCase& c : kOperandCases) {
    for (uint32_t n = 0; n <= kMaxDigits; ++n) {
      for (uint32_t wAt : kOffsets) {
        for (uint32_t vAt : kOffsets) {
          SCOPED_TRACE(testing::Message()
                       << c.name << ", n = " << n << ", w at " << wAt << ", v at " << vAt);
          const Digits w = Guarded(n, c.first, wAt);
          const Digits v = Guarded(n, c.second, vAt);
          const uint32_t q = c.largestQ ? 0xFFFFFFFFu : Digit();
          const uint32_t t = Digit();
          Digits portable = w;
          Digits adx = w;
          const uint32_t expected =
              DigitsMultiplySubtractPortable(t, portable.data() + wAt, v.data() + vAt, q, n);
          EXPECT_EQ(DigitsMultiplySubtractAdx(t, adx.data() + wAt, v.data() + vAt, q, n), expected);
          EXPECT_EQ(adx, portable);
        }
      }
    }
  }
}

TEST_F(DigitsAdxTest, MultiplyAndSquareMatchPortable) {
  for (const OperandCase& c : kOperandCases) {
    for (uint32_t n = 0; n <= kMaxDigits; ++n) {
      for (uint32_t inAt : kOffsets) {
        for (uint32_t outAt : kOffsets) {
          SCOPED_TRACE(testing::Message() << c.name << ", n = " << n << ", operands at " << inAt
                                          << ", result at " << outAt);
          const Digits uBuffer = Guarded(n, c.first, inAt);
          const Digits vBuffer = Guarded(n, c.second, inAt);
          const uint32_t* u = uBuffer.data() + inAt;
          const uint32_t* v = vBuffer.data() + inAt;
          const Digits start(2 * n + 2 * kGuard, kGuardFill);
          Digits portable = start;
          Digits adx = start;
          DigitsMultiplyPortable(portable.data() + outAt, u, v, n);
          DigitsMultiplyAdx(adx.data() + outAt, u, v, n);
          EXPECT_EQ(adx, portable) << "product";
          portable = start;
          adx = start;
          DigitsSquarePortable(portable.data() + outAt, u, n);
          DigitsSquareAdx(adx.data() + outAt, u, n);
          EXPECT_EQ(adx, portable) << "square";
        }
      }
    }
  }
}

// DigitsMultiply skips the rows of zero limbs of v and relies on the zeros already in w above
// them; with the assembly rows around such gaps the product must still be exact.
TEST_F(DigitsAdxTest, ZeroLimbsInTheMultiplierMatchPortable) {
  for (uint32_t n : {2u, 8u, 18u, 64u}) {
    SCOPED_TRACE(n);
    const Digits u = Make(n, Fill::kRandom);
    Digits v = Make(n, Fill::kRandom);
    for (uint32_t i = 0; i < n; i += 4) {
      v[i] = 0;
      if (i + 1 < n) {
        v[i + 1] = 0;
      }
    }
    Digits portable(size_t{2} * n, kGuardFill);
    Digits adx(size_t{2} * n, kGuardFill);
    DigitsMultiplyPortable(portable.data(), u.data(), v.data(), n);
    DigitsMultiplyAdx(adx.data(), u.data(), v.data(), n);
    EXPECT_EQ(adx, portable);
    EXPECT_EQ(adx, ReferenceProduct(u, v));
  }
}

// What the rows compute, exactly, as 2 count + 2 digits: the row's limbs, then the carry.
//   row + u * factor
//   w + q * 2^(64 count) - q * v, whose top part is q minus what is left to subtract
Digits ExpectedRow(const Digits& row, const Digits& u, const Digits& factor, bool subtract) {
  const auto digits = static_cast<uint32_t>(row.size());
  const Digits product = ReferenceProduct(u.empty() ? Digits{0, 0} : u, factor);
  const BnPtr result(BN_new());
  const BnPtr shifted(BN_new());
  EXPECT_TRUE(result != nullptr && shifted != nullptr);
  if (subtract) {
    EXPECT_EQ(BN_lshift(shifted.get(), BnFromDigits(factor).get(), 32 * static_cast<int>(digits)),
              1);
    EXPECT_EQ(BN_add(result.get(), BnFromDigits(row).get(), shifted.get()), 1);
    EXPECT_EQ(BN_sub(result.get(), result.get(), BnFromDigits(product).get()), 1);
  } else {
    EXPECT_EQ(BN_add(result.get(), BnFromDigits(row).get(), BnFromDigits(product).get()), 1);
  }
  return BnToDigits(result.get(), digits + 2);
}

uint64_t DoubleDigit(const Digits& digits, size_t at) {
  return static_cast<uint64_t>(digits[at]) | (static_cast<uint64_t>(digits[at + 1]) << 32);
}

TEST_F(DigitsAdxTest, RowsCarryFullLimbs) {
  struct RowCase {
    const char* name;
    Fill row;
    Fill u;
    Fill factor;
  };
  // All ones everywhere makes the add row's carry 2^64 - 1, the most a limb holds.
  const RowCase cases[] = {
      {"random", Fill::kRandom, Fill::kRandom, Fill::kRandom},
      {"all ones", Fill::kOnes, Fill::kOnes, Fill::kOnes},
      {"zero row, all-ones operands", Fill::kZero, Fill::kOnes, Fill::kOnes},
      {"all-ones row, zero operand", Fill::kOnes, Fill::kZero, Fill::kOnes},
  };
  for (const RowCase& c : cases) {
    for (uint32_t count = 0; count <= kMaxDigits / 2; ++count) {
      SCOPED_TRACE(testing::Message() << c.name << ", " << count << " limbs");
      const Digits row = Make(2 * count, c.row);
      const Digits u = Make(2 * count, c.u);
      const Digits factor = Make(2, c.factor);

      Digits sum = row;
      const uint64_t carry =
          LimbsMultiplyAddAdx(sum.data(), u.data(), DoubleDigit(factor, 0), count);
      const Digits expectedSum = ExpectedRow(row, u, factor, false);
      EXPECT_EQ(sum, Digits(expectedSum.begin(), expectedSum.end() - 2));
      EXPECT_EQ(carry, DoubleDigit(expectedSum, size_t{2} * count));

      const Digits q = {factor[0], 0};
      Digits difference = row;
      const uint64_t borrow = LimbsMultiplySubtractAdx(difference.data(), u.data(), q[0], count);
      const Digits expectedDifference = ExpectedRow(row, u, q, true);
      EXPECT_EQ(difference, Digits(expectedDifference.begin(), expectedDifference.end() - 2));
      EXPECT_EQ(borrow, q[0] - DoubleDigit(expectedDifference, size_t{2} * count));
    }
  }
}

#else

TEST(DigitsAdxTest, NotInThisBuild) {
  GTEST_SKIP() << "built without the assembly rows (KT_DIGITS_NARROW or not x86-64)";
}

#endif

}  // namespace
