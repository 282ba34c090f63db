// VerifySignedDigest on blocks signed at test time with a fresh OpenSSL key (raw RSA, no
// padding): where the digest sits for each length, the bounds on the length, a leading zero
// octet, a signature above the modulus, and every allocation failure.
#include "crypto/rsa.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "tests/support/memory_fault.h"
#include "tests/support/openssl_reference.h"

namespace {

constexpr uint32_t kBits = 2048;
constexpr size_t kK = kBits / 8;
constexpr size_t kLengthOffset = kK - 16;
constexpr uint8_t kDecodedFill = 0xEE;
constexpr uint8_t kScratchFill = 0xCC;

class VerifySignedDigestTest : public ::testing::Test {
 protected:
  // The L = 0 block starts with MD5(""), d4 1d ...; it can only be signed with a modulus
  // above it, so keys are drawn until the top octet exceeds that (about one in three).
  static void SetUpTestSuite() {
    do {
      key_ = std::make_unique<RsaTestKey>(kBits);
    } while (key_->Modulus()[0] <= 0xD4);
  }
  static void TearDownTestSuite() { key_.reset(); }

  // A block with a non-zero first octet, the message pattern, L at k - 16 and, when asked,
  // the MD5 of the first L octets at digestOffset.
  static Octets MakeBlock(uint32_t length, bool withDigest, size_t digestOffset) {
    Octets block(kK);
    for (size_t i = 0; i < kK; ++i) {
      block[i] = static_cast<uint8_t>(0x31 + 7 * i);
    }
    block[0] = 0x5A;  // below the modulus's top octet, which is at least 0x80
    if (withDigest) {
      const Octets digest = ReferenceMd5(Octets(block.begin(), block.begin() + length));
      std::copy(digest.begin(), digest.end(), block.begin() + static_cast<long>(digestOffset));
    }
    for (size_t i = 0; i < 4; ++i) {
      block[kLengthOffset + i] = static_cast<uint8_t>(length >> (8 * i));
    }
    return block;
  }

  struct Outcome {
    uint32_t result;
    Octets decoded;
    Octets scratch;
  };

  static Outcome Verify(const Octets& signature) {
    Outcome outcome{0, Octets(kK, kDecodedFill), Octets(16, kScratchFill)};
    const Octets modulus = key_->Modulus();
    outcome.result = VerifySignedDigest(signature.data(), outcome.decoded.data(), modulus.data(),
                                        kBits, outcome.scratch.data());
    return outcome;
  }

  static std::unique_ptr<RsaTestKey> key_;
};

std::unique_ptr<RsaTestKey> VerifySignedDigestTest::key_;

struct LengthCase {
  const char* name;
  size_t digestOffset;
  uint32_t length;
  uint32_t result;
  bool withDigest;
  bool flipDigestOctet;
  bool scratchWritten;
};

TEST_F(VerifySignedDigestTest, DigestPositionAndLengthBounds) {
  const LengthCase cases[] = {
      {"L = 174, digest at 176", 176, 174, 174, true, false, true},
      {"L = 224, digest just before the length word", 224, 224, 224, true, false, true},
      {"L = 225 is over the bound", 0, 225, 0, false, false, false},
      {"huge L does not wrap", 0, 0xFFFFFFF0u, 0, false, false, false},
      {"L = 0 matches but yields 0", 0, 0, 0, true, false, true},
      {"L = 1, digest at 16", 16, 1, 1, true, false, true},
      {"L = 16, digest at 16", 16, 16, 16, true, false, true},
      {"L = 17, digest at 32", 32, 17, 17, true, false, true},
      {"flipped digest octet", 176, 174, 0, true, true, true},
  };
  for (const LengthCase& c : cases) {
    SCOPED_TRACE(c.name);
    Octets block = MakeBlock(c.length, c.withDigest, c.digestOffset);
    if (c.flipDigestOctet) {
      block[c.digestOffset + 5] ^= 0x01;
    }
    const Outcome outcome = Verify(key_->PrivateRaw(block));
    EXPECT_EQ(outcome.result, c.result);
    EXPECT_EQ(outcome.decoded, block);
    if (c.scratchWritten) {
      EXPECT_EQ(outcome.scratch, ReferenceMd5(Octets(block.begin(), block.begin() + c.length)));
    } else {
      EXPECT_EQ(outcome.scratch, Octets(16, kScratchFill));
    }
  }
}

// With a zero first octet the value is written one octet shorter; the fields are then read
// one octet nearer the start, and the last octet keeps the caller's fill.
TEST_F(VerifySignedDigestTest, LeadingZeroOctetShiftsTheBlock) {
  Octets shifted = MakeBlock(100, true, 112);  // what the buffer must read
  shifted[kK - 1] = kDecodedFill;
  Octets block(kK, 0);
  std::copy(shifted.begin(), shifted.end() - 1, block.begin() + 1);
  const Outcome outcome = Verify(key_->PrivateRaw(block));
  EXPECT_EQ(outcome.result, 100u);
  EXPECT_EQ(outcome.decoded, shifted);
}

TEST_F(VerifySignedDigestTest, SignatureAboveTheModulusIsReduced) {
  const Octets signature(kK, 0xFF);
  const Outcome outcome = Verify(signature);
  // The expected value, as digits, from OpenSSL's exponentiation of the unreduced input.
  const Octets modulus = key_->Modulus();
  auto toDigits = [](const Octets& octets) {
    Digits digits(octets.size() / 4, 0);
    for (size_t i = 0; i < octets.size(); ++i) {
      digits[i / 4] |= static_cast<uint32_t>(octets[octets.size() - 1 - i]) << (8 * (i % 4));
    }
    return digits;
  };
  Digits e(kK / 4, 0);
  e[0] = 0x10001u;
  const Digits expected = ReferenceModExp(toDigits(signature), e, toDigits(modulus));
  Octets expectedOctets(kK);
  for (size_t i = 0; i < kK; ++i) {
    expectedOctets[kK - 1 - i] = static_cast<uint8_t>(expected[i / 4] >> (8 * (i % 4)));
  }
  // Written without leading zero octets; the rest keeps the caller's fill.
  const auto significant = std::find_if(expectedOctets.begin(), expectedOctets.end(),
                                        [](uint8_t octet) { return octet != 0; });
  Octets expectedBuffer(significant, expectedOctets.end());
  expectedBuffer.resize(kK, kDecodedFill);
  EXPECT_EQ(outcome.decoded, expectedBuffer);
}

TEST_F(VerifySignedDigestTest, AllocationFailureWritesNeitherBuffer) {
  const Octets signature = key_->PrivateRaw(MakeBlock(174, true, 176));
  const Octets modulus = key_->Modulus();
  MemoryFaultArm(0);
  ASSERT_EQ(Verify(signature).result, 174u);
  const uint32_t allocations = MemoryFaultCalls();
  const uint32_t failures = ForEachAllocationFailure([&](uint32_t call) {
    Octets decoded(kK, kDecodedFill);
    Octets scratch(16, kScratchFill);
    const uint32_t result =
        VerifySignedDigest(signature.data(), decoded.data(), modulus.data(), kBits, scratch.data());
    if (MemoryFaultTriggered()) {
      SCOPED_TRACE(call);
      EXPECT_EQ(result, 0u);
      EXPECT_EQ(decoded, Octets(kK, kDecodedFill));
      EXPECT_EQ(scratch, Octets(16, kScratchFill));
      EXPECT_EQ(MemoryFaultLiveBlocks(), 0u);
    }
  });
  EXPECT_EQ(failures, allocations);
  EXPECT_GT(failures, 0u);
}

TEST_F(VerifySignedDigestTest, ModulusTooShortForTheFieldsIsRejectedUntouched) {
  const Octets small(16, 0x7F);
  Octets decoded(16, kDecodedFill);
  Octets scratch(16, kScratchFill);
  EXPECT_EQ(VerifySignedDigest(small.data(), decoded.data(), small.data(), 128, scratch.data()),
            0u);
  EXPECT_EQ(decoded, Octets(16, kDecodedFill));
  EXPECT_EQ(scratch, Octets(16, kScratchFill));
}

}  // namespace
