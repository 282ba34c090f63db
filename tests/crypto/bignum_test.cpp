// Number layer: lifecycle and resizing, octet conversion, and what every allocation
// failure leaves behind (values unchanged, nothing still held).
#include "crypto/bignum.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/support/memory_fault.h"

namespace {

using Octets = std::vector<uint8_t>;

// A number owned for the length of one test.
class BigNumTest : public ::testing::Test {
 public:
  static Octets Value(const BigNum* number) {
    Octets out(BigNumToOctets(number, nullptr, 0));
    if (!out.empty()) {
      BigNumToOctets(number, out.data(), static_cast<uint32_t>(out.size()));
    }
    return out;
  }

 protected:
  void SetUp() override { liveBefore_ = MemoryFaultLiveBlocks(); }
  void TearDown() override {
    for (BigNum*& number : numbers_) {
      BigNumRelease(&number);
    }
    EXPECT_EQ(MemoryFaultLiveBlocks(), liveBefore_);
  }

  BigNum* Make(const Octets& octets) {
    BigNum* number = BigNumCreate();
    EXPECT_NE(number, nullptr);
    numbers_.push_back(number);
    if (!octets.empty()) {
      EXPECT_NE(BigNumFromOctets(number, octets.data(), static_cast<uint32_t>(octets.size())), 0u);
    }
    return number;
  }

  // Digits from length to capacity - 1 must be zero.
  static void ExpectZeroPadded(const BigNum* number) {
    for (uint32_t i = number->length; i < number->capacity; ++i) {
      EXPECT_EQ(number->digits[i], 0u) << "digit " << i;
    }
  }

 private:
  std::vector<BigNum*> numbers_;
  size_t liveBefore_ = 0;
};

const Octets kNineOctets = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99};

TEST_F(BigNumTest, CreateGivesZeroWithOneDigit) {
  BigNum* number = Make({});
  EXPECT_EQ(number->length, 0u);
  EXPECT_EQ(number->capacity, 1u);
  EXPECT_EQ(number->digits[0], 0u);
}

TEST_F(BigNumTest, ReleaseEmptiesTheHandleAndAcceptsAnEmptyOne) {
  BigNum* number = BigNumCreate();
  ASSERT_NE(number, nullptr);
  BigNumRelease(&number);
  EXPECT_EQ(number, nullptr);
  BigNumRelease(&number);
  EXPECT_EQ(number, nullptr);
}

TEST_F(BigNumTest, FromOctetsSetsLengthToTheSignificantDigits) {
  BigNum* number = Make({});
  const Octets leadingZeros = {0, 0, 0, 0, 0, 0, 0x01, 0x02};
  EXPECT_EQ(BigNumFromOctets(number, leadingZeros.data(), 8), 2u);
  EXPECT_EQ(number->length, 1u);
  EXPECT_EQ(number->digits[0], 0x0102u);
  ExpectZeroPadded(number);
}

TEST_F(BigNumTest, ResizeCutsToTheLowDigits) {
  BigNum* number = Make(kNineOctets);
  ASSERT_EQ(number->length, 3u);
  ASSERT_EQ(BigNumResize(number, 1), 0);
  EXPECT_EQ(number->length, 1u);
  EXPECT_EQ(Value(number), (Octets{0x66, 0x77, 0x88, 0x99}));
  ExpectZeroPadded(number);
}

TEST_F(BigNumTest, ResizeGrowsKeepingTheValue) {
  BigNum* number = Make(kNineOctets);
  ASSERT_EQ(BigNumResize(number, 40), 0);
  EXPECT_EQ(number->capacity, 40u);
  EXPECT_EQ(number->length, 3u);
  EXPECT_EQ(Value(number), kNineOctets);
  ExpectZeroPadded(number);
}

TEST_F(BigNumTest, FailedGrowthLeavesTheNumberAsItWas) {
  BigNum* number = Make(kNineOctets);
  const uint32_t* digits = number->digits;
  const uint32_t capacity = number->capacity;
  MemoryFaultArm(1);
  EXPECT_EQ(BigNumResize(number, 40), 1);
  EXPECT_TRUE(MemoryFaultTriggered());
  MemoryFaultArm(0);
  EXPECT_EQ(number->digits, digits);
  EXPECT_EQ(number->capacity, capacity);
  EXPECT_EQ(Value(number), kNineOctets);
}

TEST_F(BigNumTest, GrowingWithoutADigitArrayFails) {
  BigNum detached = {nullptr, 0, 0};
  EXPECT_EQ(BigNumResize(&detached, 2), 1);
  EXPECT_EQ(detached.digits, nullptr);
  EXPECT_EQ(detached.capacity, 0u);
}

TEST_F(BigNumTest, ZeroNeedsNoOctetsAndWritesNone) {
  BigNum* number = Make({0, 0, 0, 0, 0});
  Octets out(4, 0xCC);
  const uint32_t needed = BigNumToOctets(number, nullptr, 0);
  EXPECT_EQ(needed, 0u);
  EXPECT_EQ(BigNumToOctets(number, out.data(), needed), 0u);
  EXPECT_EQ(out, Octets(4, 0xCC));
}

TEST_F(BigNumTest, ModExpIntoALongerResultCutsItToTheValue) {
  // 3^5 mod 7 = 5, with y holding a longer value beforehand.
  BigNum* y = Make(kNineOctets);
  BigNum* x = Make({3});
  BigNum* e = Make({5});
  BigNum* m = Make({7});
  ASSERT_EQ(BigNumModExp(y, x, e, m), 0);
  EXPECT_EQ(y->length, 1u);
  EXPECT_EQ(Value(y), Octets{5});
  ExpectZeroPadded(y);
}

TEST(BigNumFaultTest, CreateFailsCleanlyAtEachAllocation) {
  const uint32_t failures = ForEachAllocationFailure([](uint32_t) {
    BigNum* number = BigNumCreate();
    if (MemoryFaultTriggered()) {
      EXPECT_EQ(number, nullptr);
      EXPECT_EQ(MemoryFaultLiveBlocks(), 0u);
    }
    BigNumRelease(&number);
  });
  EXPECT_EQ(failures, 2u);
}

TEST_F(BigNumTest, FromOctetsFailureReturnsZeroAndKeepsTheValue) {
  BigNum* number = Make({0x42});
  MemoryFaultArm(1);
  EXPECT_EQ(BigNumFromOctets(number, kNineOctets.data(), 9), 0u);
  MemoryFaultArm(0);
  EXPECT_EQ(Value(number), Octets{0x42});
}

// Every allocation that the exponentiation makes, failed in turn on fresh numbers (a
// successful growth would otherwise stick): y keeps its value, x, e and m keep theirs, and
// all working arrays are gone again.
TEST(BigNumFaultTest, ModExpFailsCleanlyAtEachAllocation) {
  const Octets modulus = {0xC5, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0B};
  const Octets inputs[4] = {{0x5E, 0x5E}, {0x7A, 0x11}, {0x01, 0x00, 0x01}, modulus};
  uint32_t modExpFailures = 0;
  ForEachAllocationFailure([&](uint32_t call) {
    BigNum* numbers[4] = {nullptr, nullptr, nullptr, nullptr};
    bool loaded = true;
    for (int i = 0; i < 4 && loaded; ++i) {
      numbers[i] = BigNumCreate();
      loaded =
          numbers[i] != nullptr && BigNumFromOctets(numbers[i], inputs[i].data(),
                                                    static_cast<uint32_t>(inputs[i].size())) != 0;
    }
    if (loaded) {
      const uint32_t callsBefore = MemoryFaultCalls();
      const size_t liveBefore = MemoryFaultLiveBlocks();
      const int result = BigNumModExp(numbers[0], numbers[1], numbers[2], numbers[3]);
      if (MemoryFaultTriggered() && call > callsBefore) {
        SCOPED_TRACE(call);
        ++modExpFailures;
        EXPECT_NE(result, 0);
        for (int i = 0; i < 4; ++i) {
          EXPECT_EQ(BigNumTest::Value(numbers[i]), inputs[i]) << "number " << i;
        }
        EXPECT_EQ(MemoryFaultLiveBlocks(), liveBefore);
      }
    }
    for (BigNum*& number : numbers) {
      BigNumRelease(&number);
    }
    EXPECT_EQ(MemoryFaultLiveBlocks(), 0u);
  });
  // Growing x, e and y to the modulus's three digits, then the five working arrays.
  EXPECT_EQ(modExpFailures, 8u);
}

TEST(DigitsModExpFaultTest, EachWorkingArrayFailureLeavesYAndReleasesTheRest) {
  const uint32_t x[2] = {0x12345678u, 0x9u};
  const uint32_t e[2] = {0x10001u, 0};
  const uint32_t m[2] = {0xFFFFFFFBu, 0xC0000000u};
  const uint32_t failures = ForEachAllocationFailure([&](uint32_t call) {
    uint32_t y[2] = {0xCCCCCCCCu, 0xCCCCCCCCu};
    int failed = -1;
    const int result = DigitsModExp(y, x, e, m, 2, &failed);
    if (MemoryFaultTriggered()) {
      SCOPED_TRACE(call);
      EXPECT_EQ(result, 0);
      EXPECT_EQ(failed, 1);
      EXPECT_EQ(y[0], 0xCCCCCCCCu);
      EXPECT_EQ(y[1], 0xCCCCCCCCu);
      EXPECT_EQ(MemoryFaultLiveBlocks(), 0u);
    } else {
      EXPECT_EQ(failed, 0);
    }
  });
  EXPECT_EQ(failures, 5u);
}

TEST(DigitsModExpTest, NoDigitsGivesMinusOne) {
  int failed = -1;
  EXPECT_EQ(DigitsModExp(nullptr, nullptr, nullptr, nullptr, 0, &failed), -1);
  EXPECT_EQ(failed, 0);
}

}  // namespace
